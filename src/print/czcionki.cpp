#include "print/czcionki.h"

#include <QGuiApplication>
#include <QScreen>

#include "print/kolory.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"

namespace {

enum BitStylu : std::uint8_t { Pogrubiona = 1, Pochylona = 2, Podkreslona = 4, Przekreslona = 8 };

// Only the first record counts; a file shorter than one record throws BladPliku.
TCzcionka PierwszyRekord(SystemPlikow& system, const QString& sciezka) {
    TCzcionka rekord{};
    CzytajRekord(system, sciezka, rekord);
    return rekord;
}

void PrzyjmijRekord(StanCzcionki& stan, const TCzcionka& rekord) {
    stan.Czcionka = rekord;
    stan.NazwaCzcionki = rekord.nazwa.tekst();
    stan.RozmiarCzcionki = rekord.rozmiar;
}

// A size in whole points, rounded as a multiply-divide does; a font given in pixels is converted at
// the screen's resolution, as a font dialog measures it.
std::int32_t RozmiarWPunktach(const QFont& czcionka) {
    if (czcionka.pointSizeF() > 0) return qRound(czcionka.pointSizeF());
    const QScreen* ekran = QGuiApplication::primaryScreen();
    const double dpi = ekran ? ekran->logicalDotsPerInchY() : 96.0;
    return qRound(czcionka.pixelSize() * 72.0 / dpi);
}

}  // namespace

QString SciezkaFontu(const QString& nazwaPliku) { return QStringLiteral("FONT\\") + nazwaPliku; }

void CzytajFonty(SystemPlikow& system, StanCzcionki& stan, const QString& nazwaPliku) {
    const QString sciezka = SciezkaFontu(nazwaPliku);
    if (!PlikIstnieje(system, sciezka)) return;
    PrzyjmijRekord(stan, PierwszyRekord(system, sciezka));
}

bool ZapiszFonty(SystemPlikow& system, StanCzcionki& stan, const QString& nazwaPliku,
                 const WybierzCzcionke& wybierz) {
    const QString sciezka = SciezkaFontu(nazwaPliku);
    std::optional<WyborCzcionki> poczatkowa;
    if (PlikIstnieje(system, sciezka)) {
        stan.Czcionka = PierwszyRekord(system, sciezka);
        poczatkowa = CzcionkaZRekordu(stan.Czcionka);
    }
    const std::optional<WyborCzcionki> wybor = wybierz(poczatkowa);
    if (!wybor) return false;
    const TCzcionka rekord = RekordCzcionki(*wybor);
    ZapiszRekordAtomowo(system, sciezka, rekord);
    PrzyjmijRekord(stan, rekord);
    return true;
}

TCzcionka RekordCzcionki(const WyborCzcionki& wybor) {
    TCzcionka rekord{};
    rekord.kolor = TColorZKoloru(wybor.kolor);
    rekord.nazwa.ustaw(wybor.czcionka.family());
    rekord.rozmiar = RozmiarWPunktach(wybor.czcionka);
    std::uint8_t styl = 0;
    if (wybor.czcionka.bold()) styl |= Pogrubiona;
    if (wybor.czcionka.italic()) styl |= Pochylona;
    if (wybor.czcionka.underline()) styl |= Podkreslona;
    if (wybor.czcionka.strikeOut()) styl |= Przekreslona;
    rekord.styl = styl;
    return rekord;
}

WyborCzcionki CzcionkaZRekordu(const TCzcionka& rekord) {
    WyborCzcionki wybor;
    wybor.kolor = KolorZTColor(rekord.kolor);
    const QString nazwa = rekord.nazwa.tekst();
    if (!nazwa.isEmpty()) wybor.czcionka.setFamily(nazwa);
    const std::int32_t rozmiar = rekord.rozmiar;
    if (rozmiar > 0) wybor.czcionka.setPointSize(rozmiar);
    const std::uint8_t styl = rekord.styl;
    wybor.czcionka.setBold(styl & Pogrubiona);
    wybor.czcionka.setItalic(styl & Pochylona);
    wybor.czcionka.setUnderline(styl & Podkreslona);
    wybor.czcionka.setStrikeOut(styl & Przekreslona);
    return wybor;
}
