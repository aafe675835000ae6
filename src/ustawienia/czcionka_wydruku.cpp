#include "ustawienia/czcionka_wydruku.h"

#include <QStringList>

#include "ustawienia/kontrola_tekstu.h"

namespace {
constexpr std::uint8_t BityStylu = 0x0F;
}

WartosciCzcionki WartosciZRekordu(const TCzcionka& rekord) {
    return {rekord.nazwa.tekst(), rekord.rozmiar, static_cast<std::uint8_t>(rekord.styl & BityStylu),
            rekord.kolor};
}

std::optional<QString> BladCzcionki(const WartosciCzcionki& wartosci) {
    return BladTekstu(QStringLiteral("Krój czcionki"), wartosci.nazwa, 60);
}

TCzcionka ZmienionaCzcionka(const TCzcionka& dawna, const WartosciCzcionki& wartosci) {
    TCzcionka rekord = dawna;
    if (rekord.nazwa.tekst() != wartosci.nazwa) rekord.nazwa.ustaw(wartosci.nazwa);
    rekord.rozmiar = wartosci.rozmiar;
    rekord.styl = static_cast<std::uint8_t>((dawna.styl & ~BityStylu) | (wartosci.styl & BityStylu));
    rekord.kolor = wartosci.kolor;
    return rekord;
}

QString OpisStylu(std::uint8_t styl) {
    QStringList cechy;
    if (styl & 1) cechy.append(QStringLiteral("pogrubiona"));
    if (styl & 2) cechy.append(QStringLiteral("pochylona"));
    if (styl & 4) cechy.append(QStringLiteral("podkreślona"));
    if (styl & 8) cechy.append(QStringLiteral("przekreślona"));
    return cechy.isEmpty() ? QStringLiteral("zwykła") : cechy.join(QStringLiteral(", "));
}
