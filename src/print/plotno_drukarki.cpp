#include "print/plotno_drukarki.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <algorithm>

namespace {

// Larger fonts are of no use on a page and only make the font engine work for nothing; a size read
// from a damaged font file must not get that far.
constexpr std::int32_t NajwiekszaWysokosc = 0x7FFF;

}  // namespace

PlotnoDrukarki::~PlotnoDrukarki() {
    if (malarz_.isActive()) {
        drukarka_.abort();
        malarz_.end();
    }
}

void PlotnoDrukarki::ustawPionowo() { drukarka_.setPageOrientation(QPageLayout::Portrait); }

// A PDF file has no printer name; the message names the file instead.
QString PlotnoDrukarki::celWydruku() const {
    if (!drukarka_.outputFileName().isEmpty())
        return QStringLiteral("do pliku „%1”").arg(drukarka_.outputFileName());
    return QStringLiteral("na drukarce %1").arg(drukarka_.printerName());
}

void PlotnoDrukarki::rozpocznijZadanie() {
    if (!malarz_.begin(&drukarka_))
        throw BladDrukarki(QStringLiteral("Nie można rozpocząć wydruku %1.").arg(celWydruku()));
    czcionkaAktualna_ = false;
}

void PlotnoDrukarki::zakonczZadanie() {
    sprawdzZadanie();
    if (!malarz_.end())
        throw BladDrukarki(QStringLiteral("Nie można zakończyć wydruku %1.").arg(celWydruku()));
}

void PlotnoDrukarki::sprawdzZadanie() const {
    if (!malarz_.isActive())
        throw BladDrukarki(QStringLiteral("Rysowanie na drukarce poza zadaniem wydruku."));
}

void PlotnoDrukarki::ustawKrojCzcionki(const QString& kroj) {
    kroj_ = kroj;
    czcionkaAktualna_ = false;
}

void PlotnoDrukarki::ustawWysokoscCzcionki(std::int32_t piksele) {
    wysokosc_ = std::clamp(piksele, -NajwiekszaWysokosc, NajwiekszaWysokosc);
    czcionkaAktualna_ = false;
}

void PlotnoDrukarki::ustawPogrubienie(bool pogrubiona) {
    pogrubiona_ = pogrubiona;
    czcionkaAktualna_ = false;
}

// A negative height is the height of the characters themselves, which is what Qt calls the pixel size
// of a font. A positive height is the whole cell (ascent plus descent, internal leading included), so
// the pixel size is scaled by the face's own ratio of character height to cell height. Height 0 keeps
// the default size, which Qt gives in points and turns into the printer's pixels.
const QFont& PlotnoDrukarki::czcionkaNaUrzadzeniu() {
    if (czcionkaAktualna_) return czcionka_;
    QFont czcionka;
    if (!kroj_.isEmpty()) czcionka.setFamily(kroj_);
    czcionka.setWeight(pogrubiona_ ? QFont::Bold : QFont::Normal);
    if (wysokosc_ < 0) {
        czcionka.setPixelSize(-wysokosc_);
    } else if (wysokosc_ > 0) {
        czcionka.setPixelSize(wysokosc_);
        const QFontMetricsF miary(czcionka, &drukarka_);
        const double komorka = miary.ascent() + miary.descent();
        if (komorka > 0) czcionka.setPixelSize(std::max(1, qRound(double(wysokosc_) * wysokosc_ / komorka)));
    }
    czcionka_ = czcionka;
    czcionkaAktualna_ = true;
    return czcionka_;
}

void PlotnoDrukarki::pisz(std::int32_t x, std::int32_t y, const QString& tekst) {
    sprawdzZadanie();
    malarz_.setFont(czcionkaNaUrzadzeniu());
    const QFontMetricsF miary(malarz_.font(), malarz_.device());
    // The text box is opaque white so that a later text covers an earlier one where they overlap.
    malarz_.fillRect(QRectF(x, y, miary.horizontalAdvance(tekst), miary.ascent() + miary.descent()),
                     Qt::white);
    malarz_.setPen(kolor_);
    malarz_.drawText(QPointF(x, y + miary.ascent()), tekst);
}

void PlotnoDrukarki::obraz(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                           const QImage& obraz) {
    sprawdzZadanie();
    malarz_.save();
    malarz_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    malarz_.setRenderHint(QPainter::Antialiasing, false);
    malarz_.drawImage(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), obraz);
    malarz_.restore();
}

void PlotnoDrukarki::prostokat(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    sprawdzZadanie();
    malarz_.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    malarz_.setBrush(Qt::white);
    malarz_.drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}
