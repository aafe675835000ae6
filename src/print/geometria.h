#pragma once
// Printout coordinates: whole print units (a twenty-fifth of an inch rounded to whole printer pixels)
// from the top-left corner of the printable area, and the four drawing steps the printout is built of.
#include <QString>
#include <cstdint>

#include "print/plotno.h"

struct TMiaryDrukarki {
    std::int32_t dpiX = 0;
    std::int32_t dpiY = 0;
    std::int32_t punktyNaMmX = 0;
    std::int32_t punktyNaMmY = 0;
};

// Pixels per print unit for a resolution: dpi / 25 rounded, halves to even.
std::int32_t PunktyNaMm(std::int32_t dpi);
// Canvas font height for a size in points: -(rozmiar * dpiY / 72) rounded, halves to even.
std::int32_t WysokoscCzcionki(std::int32_t rozmiar, std::int32_t dpiY);

// The chosen printer with its metrics. The metrics are zero until the first copy and measured anew
// after every job has been opened, so a printer chosen anew is measured before anything is drawn.
class Drukarka {
  public:
    explicit Drukarka(Plotno& plotno) : plotno_(plotno) {}
    // Back to the printer's own face, as before any face was chosen.
    void DomyslnyKroj();

    const TMiaryDrukarki& miary() const { return MiaryDrukarki; }

    void UstawPionowo();
    void OtworzZadanie();
    void ZamknijZadanie();
    void ObliczMiaryStrony();

    // An empty face leaves the face as it is; a longer one than the printer takes is cut.
    void UstawCzcionke(const QString& nazwa, std::int32_t rozmiar);
    // 1: bold; 0: plain regular; anything else: no change.
    void Pogrubienie(std::uint8_t pogrubiony);
    // Colour in the font files' encoding.
    void UstawKolor(std::int32_t kolor);
    void Pisz(std::int32_t x, std::int32_t y, const QString& tekst);
    void Prostokat(std::int32_t x, std::int32_t y, std::int32_t szer, std::int32_t wys);
    // A square image at most `bok` units wide, its pixels whole blocks of printer pixels; an image
    // wider than the box in printer pixels is drawn one printer pixel per image pixel.
    void ObrazKwadratowy(std::int32_t x, std::int32_t y, std::int32_t bok, const QImage& obraz);

  private:
    Plotno& plotno_;
    TMiaryDrukarki MiaryDrukarki;
};
