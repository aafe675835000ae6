#pragma once
// A canvas that draws nothing and remembers every job step, text and rectangle, each text with the
// font in force, so tests can compare a printout element by element.
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "print/plotno.h"

struct StanCzcionkiPlotna {
    QString kroj;  // empty: the device's default face
    std::int32_t wysokosc = 0;
    bool pogrubiona = false;
    QColor kolor = QColor(Qt::black);

    bool operator==(const StanCzcionkiPlotna&) const = default;
};

struct ZdarzeniePlotna {
    enum class Rodzaj { Pionowo, PoczatekZadania, KoniecZadania, Tekst, Prostokat, Obraz };

    Rodzaj rodzaj = Rodzaj::Tekst;
    // Text: its top-left pixel in x1, y1. Rectangle: both corners.
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    QString tekst;
    StanCzcionkiPlotna czcionka;  // texts only
    QImage obraz;                 // images only

    bool operator==(const ZdarzeniePlotna&) const = default;
};

// One line per event, for failure messages.
QString OpisZdarzenia(const ZdarzeniePlotna& zdarzenie);

class PlotnoNagrywajace : public Plotno {
  public:
    PlotnoNagrywajace(std::int32_t dpiX, std::int32_t dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    std::int32_t dpiX() const override { return dpiX_; }
    std::int32_t dpiY() const override { return dpiY_; }

    void ustawPionowo() override;
    void rozpocznijZadanie() override;
    void zakonczZadanie() override;

    void ustawKrojCzcionki(const QString& kroj) override { czcionka_.kroj = kroj; }
    void ustawWysokoscCzcionki(std::int32_t piksele) override { czcionka_.wysokosc = piksele; }
    void ustawPogrubienie(bool pogrubiona) override { czcionka_.pogrubiona = pogrubiona; }
    void ustawKolorCzcionki(const QColor& kolor) override { czcionka_.kolor = kolor; }

    void pisz(std::int32_t x, std::int32_t y, const QString& tekst) override;
    void prostokat(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void obraz(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               const QImage& obraz) override;

    const std::vector<ZdarzeniePlotna>& zdarzenia() const { return zdarzenia_; }
    const StanCzcionkiPlotna& czcionka() const { return czcionka_; }
    void wyczysc() { zdarzenia_.clear(); }

  private:
    void dopisz(ZdarzeniePlotna::Rodzaj rodzaj);

    std::int32_t dpiX_;
    std::int32_t dpiY_;
    StanCzcionkiPlotna czcionka_;
    std::vector<ZdarzeniePlotna> zdarzenia_;
};
