#include "print/geometria.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "print/kolory.h"

namespace {

// Longest face name the printer fonts take.
constexpr qsizetype NajdluzszyKroj = 31;

// Font sizes come from a file that is not checked, so products and sums are taken in 64 bits and
// brought back into range instead of overflowing.
std::int32_t DoZakresu(double wartosc) {
    constexpr double Min = std::numeric_limits<std::int32_t>::min();
    constexpr double Max = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(wartosc)) return 0;
    return static_cast<std::int32_t>(std::clamp(wartosc, Min, Max));
}

std::int32_t DoZakresu(std::int64_t wartosc) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        wartosc, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Round with halves to even, as the printer metrics are defined.
double ZaokraglijDoParzystej(double x) { return std::nearbyint(x); }

std::int32_t Piksel(std::int32_t jednostki, std::int32_t punktyNaMm) {
    return DoZakresu(std::int64_t{jednostki} * punktyNaMm);
}

}  // namespace

std::int32_t PunktyNaMm(std::int32_t dpi) { return DoZakresu(ZaokraglijDoParzystej(dpi / 25.0)); }

std::int32_t WysokoscCzcionki(std::int32_t rozmiar, std::int32_t dpiY) {
    const std::int64_t iloczyn = std::int64_t{rozmiar} * dpiY;
    return DoZakresu(-ZaokraglijDoParzystej(static_cast<double>(iloczyn) / 72.0));
}

void Drukarka::UstawPionowo() { plotno_.ustawPionowo(); }

void Drukarka::OtworzZadanie() { plotno_.rozpocznijZadanie(); }

void Drukarka::ZamknijZadanie() { plotno_.zakonczZadanie(); }

void Drukarka::ObliczMiaryStrony() {
    MiaryDrukarki.dpiX = plotno_.dpiX();
    MiaryDrukarki.dpiY = plotno_.dpiY();
    MiaryDrukarki.punktyNaMmX = PunktyNaMm(MiaryDrukarki.dpiX);
    MiaryDrukarki.punktyNaMmY = PunktyNaMm(MiaryDrukarki.dpiY);
}

void Drukarka::UstawCzcionke(const QString& nazwa, std::int32_t rozmiar) {
    if (!nazwa.isEmpty()) plotno_.ustawKrojCzcionki(nazwa.left(NajdluzszyKroj));
    plotno_.ustawWysokoscCzcionki(WysokoscCzcionki(rozmiar, MiaryDrukarki.dpiY));
}

void Drukarka::DomyslnyKroj() { plotno_.ustawKrojCzcionki(QString()); }

void Drukarka::Pogrubienie(std::uint8_t pogrubiony) {
    if (pogrubiony == 0 || pogrubiony == 1) plotno_.ustawPogrubienie(pogrubiony == 1);
}

void Drukarka::UstawKolor(std::int32_t kolor) { plotno_.ustawKolorCzcionki(KolorZTColor(kolor)); }

void Drukarka::Pisz(std::int32_t x, std::int32_t y, const QString& tekst) {
    plotno_.pisz(Piksel(x, MiaryDrukarki.punktyNaMmX), Piksel(y, MiaryDrukarki.punktyNaMmY), tekst);
}

void Drukarka::ObrazKwadratowy(std::int32_t x, std::int32_t y, std::int32_t bok, const QImage& obraz) {
    if (obraz.isNull() || obraz.width() <= 0) return;
    const std::int64_t piksele = std::int64_t{bok} * MiaryDrukarki.punktyNaMmX;
    const std::int64_t naModul = std::max<std::int64_t>(1, piksele / obraz.width());
    const std::int32_t x1 = Piksel(x, MiaryDrukarki.punktyNaMmX), y1 = Piksel(y, MiaryDrukarki.punktyNaMmY);
    const std::int64_t bokPikseli = naModul * obraz.width();
    plotno_.obraz(x1, y1, DoZakresu(x1 + bokPikseli), DoZakresu(y1 + bokPikseli), obraz);
}

void Drukarka::Prostokat(std::int32_t x, std::int32_t y, std::int32_t szer, std::int32_t wys) {
    const std::int64_t x2 = std::int64_t{x} + szer;
    const std::int64_t y2 = std::int64_t{y} + wys;
    plotno_.prostokat(Piksel(x, MiaryDrukarki.punktyNaMmX), Piksel(y, MiaryDrukarki.punktyNaMmY),
                      DoZakresu(x2 * MiaryDrukarki.punktyNaMmX), DoZakresu(y2 * MiaryDrukarki.punktyNaMmY));
}
