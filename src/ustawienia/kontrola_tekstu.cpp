#include "ustawienia/kontrola_tekstu.h"

#include <QList>

#include "calc/odmiana.h"
#include "store/cp1250.h"

int LiczbaZnakow(const QString& tekst) { return static_cast<int>(tekst.toUcs4().size()); }

std::optional<QString> BladTekstu(const QString& etykieta, const QString& tekst, int pojemnosc) {
    const QList<uint> znaki = tekst.toUcs4();
    // One byte per character, a character without a code becoming '?'.
    const QByteArray bajty = DoCp1250(tekst);
    for (qsizetype i = 0; i < znaki.size(); ++i) {
        const uint znak = znaki[i];
        const QString pokaz = QString::fromUcs4(reinterpret_cast<const char32_t*>(&znak), 1);
        if (znak < 0x20 || znak == 0x7F)
            return QStringLiteral("Pole „%1”: znak sterujący (kod %2) na pozycji %3 nie może być zapisany.")
                .arg(etykieta)
                .arg(znak)
                .arg(i + 1);
        if (i >= bajty.size() || (bajty[i] == '?' && znak != u'?'))
            return QStringLiteral("Pole „%1”: znaku „%2” na pozycji %3 nie ma w kodowaniu Windows-1250.")
                .arg(etykieta, pokaz)
                .arg(i + 1);
    }
    if (znaki.size() > pojemnosc)
        return QStringLiteral("Pole „%1” mieści najwyżej %2, a tekst ma ich %3.")
            .arg(etykieta)
            .arg(LiczbaIRzeczownik(pojemnosc, QStringLiteral("znak"), QStringLiteral("znaki"),
                                   QStringLiteral("znaków")))
            .arg(znaki.size());
    return std::nullopt;
}
