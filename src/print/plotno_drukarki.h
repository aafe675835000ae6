#pragma once
// The printout's canvas on a Qt printer: every copy is one job of its own (one begin/end of a
// QPainter on the printer), coordinates are device pixels of the printable area.
#include <QFont>
#include <QPainter>
#include <QPrinter>

#include "print/plotno.h"
#include "store/blad.h"

// A printer that refuses to start or finish a job; its message is shown as it is.
class BladDrukarki : public Odmowa {
  public:
    using Odmowa::Odmowa;
};

class PlotnoDrukarki : public Plotno {
  public:
    explicit PlotnoDrukarki(QPrinter& drukarka) : drukarka_(drukarka) {}
    // A job still open (the page failed half-way) is cancelled, not sent half drawn.
    ~PlotnoDrukarki() override;
    PlotnoDrukarki(const PlotnoDrukarki&) = delete;
    PlotnoDrukarki& operator=(const PlotnoDrukarki&) = delete;

    std::int32_t dpiX() const override { return drukarka_.logicalDpiX(); }
    std::int32_t dpiY() const override { return drukarka_.logicalDpiY(); }

    void ustawPionowo() override;
    void rozpocznijZadanie() override;
    void zakonczZadanie() override;

    void ustawKrojCzcionki(const QString& kroj) override;
    void ustawWysokoscCzcionki(std::int32_t piksele) override;
    void ustawPogrubienie(bool pogrubiona) override;
    void ustawKolorCzcionki(const QColor& kolor) override { kolor_ = kolor; }

    void pisz(std::int32_t x, std::int32_t y, const QString& tekst) override;
    void prostokat(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void obraz(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               const QImage& obraz) override;

  private:
    void sprawdzZadanie() const;
    QString celWydruku() const;
    const QFont& czcionkaNaUrzadzeniu();

    QPrinter& drukarka_;
    QPainter malarz_;
    QString kroj_;  // empty until a face is chosen: the default face stays
    std::int32_t wysokosc_ = 0;
    bool pogrubiona_ = false;
    QColor kolor_ = QColor(Qt::black);
    // The font built from the values above, kept until one of them changes.
    QFont czcionka_;
    bool czcionkaAktualna_ = false;
};
