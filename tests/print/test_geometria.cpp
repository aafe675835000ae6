#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <ostream>

#include "print/geometria.h"
#include "wspolne/plotno_nagrywajace.h"

namespace {

using R = ZdarzeniePlotna::Rodzaj;

struct PrzykladRozdzielczosci {
    std::int32_t dpi;
    std::int32_t punktyNaMm;
    // Pisz(10, 5) and Pisz(100, 100)
    std::int32_t x10, y5, x100;
    // Prostokat(10, 15, 180, 1)
    std::int32_t rx1, ry1, rx2, ry2;
    // UstawCzcionke for 9, 10 and 3 points
    std::int32_t wys9, wys10, wys3;
};

const PrzykladRozdzielczosci Rozdzielczosci[] = {
    {600, 24, 240, 120, 2400, 240, 360, 4560, 384, -75, -83, -25},
    {300, 12, 120, 60, 1200, 120, 180, 2280, 192, -38, -42, -12},  // 37.5 -> 38, 12.5 -> 12
    {360, 14, 140, 70, 1400, 140, 210, 2660, 224, -45, -50, -15},
    {203, 8, 80, 40, 800, 80, 120, 1520, 128, -25, -28, -8},
    {96, 4, 40, 20, 400, 40, 60, 760, 64, -12, -13, -4},
    // Below 13 dpi a unit has no pixels: everything lands on the origin.
    {12, 0, 0, 0, 0, 0, 0, 0, 0, -2, -2, 0},
};

void PrintTo(const PrzykladRozdzielczosci& p, std::ostream* os) { *os << p.dpi << " dpi"; }

class GeometriaRozdzielczosci : public ::testing::TestWithParam<PrzykladRozdzielczosci> {};

TEST_P(GeometriaRozdzielczosci, PikseleProstokatyIWysokosci) {
    const PrzykladRozdzielczosci& p = GetParam();
    PlotnoNagrywajace plotno(p.dpi, p.dpi);
    Drukarka drukarka(plotno);
    drukarka.ObliczMiaryStrony();
    EXPECT_EQ(drukarka.miary().dpiX, p.dpi);
    EXPECT_EQ(drukarka.miary().punktyNaMmX, p.punktyNaMm);
    EXPECT_EQ(drukarka.miary().punktyNaMmY, p.punktyNaMm);

    drukarka.Pisz(10, 5, QStringLiteral("a"));
    drukarka.Pisz(100, 100, QStringLiteral("b"));
    drukarka.Prostokat(10, 15, 180, 1);
    const auto& z = plotno.zdarzenia();
    ASSERT_EQ(z.size(), 3u);
    EXPECT_EQ(z[0].x1, p.x10);
    EXPECT_EQ(z[0].y1, p.y5);
    EXPECT_EQ(z[1].x1, p.x100);
    EXPECT_EQ(z[1].y1, p.x100);
    EXPECT_EQ(z[2].rodzaj, R::Prostokat);
    EXPECT_EQ((std::array{z[2].x1, z[2].y1, z[2].x2, z[2].y2}), (std::array{p.rx1, p.ry1, p.rx2, p.ry2}));

    drukarka.UstawCzcionke(QStringLiteral("Courier New"), 9);
    EXPECT_EQ(plotno.czcionka().wysokosc, p.wys9);
    drukarka.UstawCzcionke(QStringLiteral("Courier New"), 10);
    EXPECT_EQ(plotno.czcionka().wysokosc, p.wys10);
    drukarka.UstawCzcionke(QStringLiteral("Courier New"), 3);
    EXPECT_EQ(plotno.czcionka().wysokosc, p.wys3);
}

INSTANTIATE_TEST_SUITE_P(Drukarki, GeometriaRozdzielczosci, ::testing::ValuesIn(Rozdzielczosci),
                         [](const auto& info) { return std::to_string(info.param.dpi) + "dpi"; });

TEST(Geometria, RozneRozdzielczosciPoziomaIPionowa) {
    PlotnoNagrywajace plotno(600, 300);
    Drukarka drukarka(plotno);
    drukarka.ObliczMiaryStrony();
    drukarka.Pisz(10, 10, QString());
    drukarka.UstawCzcionke(QStringLiteral("Arial"), 9);
    EXPECT_EQ(plotno.zdarzenia().at(0).x1, 240);
    EXPECT_EQ(plotno.zdarzenia().at(0).y1, 120);
    EXPECT_EQ(plotno.czcionka().wysokosc, -38);  // from the vertical resolution
}

struct PrzykladWysokosci {
    std::int32_t rozmiar;
    std::int32_t dpiY;
    std::int32_t wysokosc;
};

// Size 0 asks for the device's default; a negative size gives a positive (cell) height; sizes from an
// unchecked file may be huge and must saturate rather than overflow.
const PrzykladWysokosci Wysokosci[] = {
    {0, 600, 0},
    {-1, 300, 4},
    {-2, 600, 17},
    {std::numeric_limits<std::int32_t>::max(), 600, std::numeric_limits<std::int32_t>::min()},
    {std::numeric_limits<std::int32_t>::min(), 600, std::numeric_limits<std::int32_t>::max()},
};

TEST(Geometria, WysokosciCzcionkiNaGranicach) {
    for (const PrzykladWysokosci& p : Wysokosci)
        EXPECT_EQ(WysokoscCzcionki(p.rozmiar, p.dpiY), p.wysokosc)
            << p.rozmiar << " pt, " << p.dpiY << " dpi";
}

TEST(Geometria, OgromnePolozeniaNieprzepelniajaLiczb) {
    PlotnoNagrywajace plotno(600, 600);
    Drukarka drukarka(plotno);
    drukarka.ObliczMiaryStrony();
    constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    drukarka.Prostokat(Max, Max, Max, Max);
    const ZdarzeniePlotna& z = plotno.zdarzenia().at(0);
    EXPECT_EQ((std::array{z.x1, z.y1, z.x2, z.y2}), (std::array{Max, Max, Max, Max}));
}

TEST(Geometria, KrojCzcionki) {
    PlotnoNagrywajace plotno(300, 300);
    Drukarka drukarka(plotno);
    drukarka.ObliczMiaryStrony();
    drukarka.UstawCzcionke(QStringLiteral("Times New Roman"), 10);
    drukarka.UstawCzcionke(QString(), 12);
    EXPECT_EQ(plotno.czcionka().kroj, QStringLiteral("Times New Roman"));
    EXPECT_EQ(plotno.czcionka().wysokosc, -50);

    const QString dluga = QStringLiteral("Bardzo Długa Nazwa Kroju Czcionki Na Drukarce");
    drukarka.UstawCzcionke(dluga, 10);
    EXPECT_EQ(plotno.czcionka().kroj, dluga.left(31));
}

TEST(Geometria, Pogrubienie) {
    PlotnoNagrywajace plotno(300, 300);
    Drukarka drukarka(plotno);
    struct Krok {
        std::uint8_t wartosc;
        bool pogrubiona;
    };
    // 2 and 255 change nothing.
    const Krok kroki[] = {{1, true}, {2, true}, {0, false}, {255, false}, {1, true}};
    for (const Krok& k : kroki) {
        drukarka.Pogrubienie(k.wartosc);
        EXPECT_EQ(plotno.czcionka().pogrubiona, k.pogrubiona) << int(k.wartosc);
    }
}

}  // namespace
