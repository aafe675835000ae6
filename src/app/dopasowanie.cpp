#include "app/dopasowanie.h"

#include <QFontInfo>
#include <QFontMetricsF>

namespace {

bool Miesci(const QFontMetricsF& metryka, const QString& tekst, qreal szerokosc) {
    return metryka.horizontalAdvance(tekst) <= szerokosc;
}

qsizetype WiodaceSpacje(const QString& tekst) {
    qsizetype n = 0;
    while (n < tekst.size() && tekst[n] == u' ') ++n;
    return n;
}

}  // namespace

TekstWidoczny TekstWSzerokosci(const QString& tekst, const QFontMetricsF& metryka, qreal szerokosc,
                               bool kwota) {
    if (Miesci(metryka, tekst, szerokosc)) return {tekst, false};
    QString bezSpacji = tekst;
    if (kwota) {
        const qsizetype spacje = WiodaceSpacje(tekst);
        for (qsizetype usuniete = 1; usuniete <= spacje; ++usuniete) {
            bezSpacji = tekst.mid(usuniete);
            if (Miesci(metryka, bezSpacji, szerokosc)) return {bezSpacji, false};
        }
    }
    return {metryka.elidedText(bezSpacji, Qt::ElideRight, szerokosc), true};
}

TekstDopasowany DopasujDoSzerokosci(const QString& tekst, const QFont& czcionka, int szerokosc) {
    const TekstWidoczny wlasny = TekstWSzerokosci(tekst, QFontMetricsF(czcionka), szerokosc, true);
    if (!wlasny.obciety) return {czcionka, wlasny.tekst, false, false};

    const QString bezSpacji = tekst.mid(WiodaceSpacje(tekst));
    // Fonts are drawn in whole pixels, so the sizes between are tried pixel by pixel.
    QFont najmniejsza = czcionka;
    najmniejsza.setPointSizeF(NajmniejszaCzcionkaPunkty);
    const int najmniejszyPiksel = QFontInfo(najmniejsza).pixelSize();
    const int wlasnyPiksel = QFontInfo(czcionka).pixelSize();
    QFont mniejsza = czcionka;
    for (int piksel = wlasnyPiksel - 1; piksel >= najmniejszyPiksel; --piksel) {
        mniejsza.setPixelSize(piksel);
        if (Miesci(QFontMetricsF(mniejsza), bezSpacji, szerokosc)) return {mniejsza, bezSpacji, true, false};
    }
    if (najmniejszyPiksel >= wlasnyPiksel) return {czcionka, wlasny.tekst, false, true};
    mniejsza.setPixelSize(najmniejszyPiksel);
    const TekstWidoczny obciety = TekstWSzerokosci(bezSpacji, QFontMetricsF(mniejsza), szerokosc, false);
    return {mniejsza, obciety.tekst, true, obciety.obciety};
}
