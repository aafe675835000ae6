#pragma once
// The printer's drawing surface as the printout needs it. Everything the printout draws goes through
// this interface, so tests can record each primitive with its pixel position and the font in force.
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>

class Plotno {
  public:
    virtual ~Plotno() = default;

    // Pixels per inch of the chosen printer; read after the job has been opened.
    virtual std::int32_t dpiX() const = 0;
    virtual std::int32_t dpiY() const = 0;

    // Only while no job is open.
    virtual void ustawPionowo() = 0;
    virtual void rozpocznijZadanie() = 0;
    virtual void zakonczZadanie() = 0;

    // The current font belongs to the canvas and keeps its values from one job to the next.
    virtual void ustawKrojCzcionki(const QString& kroj) = 0;
    // Negative: character height without internal leading; positive: full cell height; 0: the
    // device's default size.
    virtual void ustawWysokoscCzcionki(std::int32_t piksele) = 0;
    // true: the style set is {bold}; false: plain regular.
    virtual void ustawPogrubienie(bool pogrubiona) = 0;
    virtual void ustawKolorCzcionki(const QColor& kolor) = 0;

    // Text with its top-left corner at the pixel, on an opaque white box; never wrapped or clipped.
    virtual void pisz(std::int32_t x, std::int32_t y, const QString& tekst) = 0;
    // One-pixel black outline through both corner pixels, filled white.
    virtual void prostokat(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
    // A black-and-white image (a QR code) filling the box between both corner pixels, each of its
    // pixels a whole block of device pixels, never smoothed.
    virtual void obraz(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                       const QImage& obraz) = 0;
};
