#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "calc/liczby.h"

namespace {

TEST(LiczbaZTekstu, PostacLiczbyIOdczytZastepczy) {
    struct {
        QString tekst;
        double wartosc;
    } const przypadki[] = {
        // The whole text is a number.
        {"-3.5", -3.5},
        {"12.", 12},
        {".5", 0.5},
        {"1.5e3", 1500},
        {"1E+2", 100},
        {"25e-1", 2.5},
        {"+7", 7},
        {"2.5", 2.5},
        {"1e1", 10},
        {"   22", 22},
        {"0.1", 0.1},
        {"12345678901234567890", 12345678901234567890.0},
        {"0.30000000000000004", 0.30000000000000004},
        // Nothing to read.
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {" +", 0},
        {".", 0},
        {"abc", 0},
        {"e5", 0},
        {"\t5", 0},
        {"１２", 0},  // full-width digits are not digits here
        // Not a number: the digits before the first misfit, joined, without sign or point.
        {"12,50", 12},
        {"22%", 22},
        {"-3,5", 3},
        {"1.5 kg", 15},
        {"12.5 ", 125},
        {"1e5x", 1},
        {"1e", 1},
        {"1e+", 1},
        {"12.5.3", 125},
        {" -0.25 zł", 25},
        {"1.5e3 kg", 15},
        // Beyond the range of a double: counted as 0.
        {"1e400", 0},
        {"-1e400", 0},
        {"1e-400", 0},
        {QString(400, u'9') + ",", 0},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(LiczbaZTekstu(p.tekst), p.wartosc) << '"' << p.tekst.toStdString() << '"';
    }
}

TEST(LiczbaZTekstu, DlugiTekst) {
    EXPECT_EQ(LiczbaZTekstu(QString(200, u'0') + "1.5"), 1.5);
    EXPECT_EQ(LiczbaZTekstu(QString(200, u'0') + "1.5 szt"), 15);
}

TEST(LiczbaWCalosci, CalyTekstCzyTylkoCzesc) {
    struct {
        QString tekst;
        bool wCalosci;
    } const przypadki[] = {
        // Nothing entered yet.
        {"", true},
        {"   ", true},
        // Well-formed numbers.
        {"1.5", true},
        {"  -3.5", true},
        {"+7", true},
        {"12.", true},
        {".5", true},
        {"1.5e3", true},
        {"25E-1", true},
        {"0", true},
        {QString(200, u'0') + "1.5", true},
        // Read in part: the comma, an inner or trailing blank, a unit, a second point, a stray letter.
        {"1,5", false},
        {"150,00", false},
        {"1 234.50", false},
        {"12 34", false},
        {"12.5 ", false},
        {"1.5x", false},
        {"1.5 kg", false},
        {"12.5.3", false},
        {"1e5x", false},
        {"1e", false},
        {"22%", false},
        // Counted as 0 in place of what was typed.
        {"-", false},
        {" +", false},
        {".", false},
        {"x", false},
        {"e5", false},
        {"\t5", false},
        {"１２", false},
        {"1e400", false},
        {"-1e400", false},
        {"1e-400", false},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(LiczbaWCalosci(p.tekst), p.wCalosci) << '"' << p.tekst.toStdString() << '"';
    }
}

TEST(TekstKwoty, ZaokraglenieIPostac) {
    const double inf = std::numeric_limits<double>::infinity();
    struct {
        double x;
        const char* tekst;
    } const przypadki[] = {
        {0, "        0.00"},
        {-0.0, "        0.00"},
        {25.62, "       25.62"},
        {-122, "     -122.00"},
        {0.125, "        0.13"},
        {-0.125, "       -0.13"},
        // The double nearest 2.675 lies just below it.
        {2.675, "        2.67"},
        {1.005, "        1.00"},
        {9.995, "        9.99"},
        {999.995, "     1000.00"},  // this double lies just above
        {0.005, "        0.01"},
        // Below 1 the half is judged on 17 decimal places: the double just below 0.005 rounds up to it.
        {std::nextafter(0.005, 0.0), "        0.01"},
        {0.995, "        1.00"},
        {-0.001, "       -0.00"},
        {-4.6199, "       -4.62"},
        {-4.5649, "       -4.56"},
        {4.5651, "        4.57"},
        {-9.999, "      -10.00"},
        {4.6201, "        4.62"},
        {25.6201, "       25.62"},
        {123456789.125, "123456789.13"},
        {1234567890.5, "1234567890.50"},
        // 18 significant digits, then zeros.
        {1e17, "100000000000000000.00"},
        {123456789012345678.0, "123456789012345680.00"},
        {1e35, "99999999999999996900000000000000000.00"},
        {-1e35, "-99999999999999996900000000000000000.00"},
        {1e36, "poza zakresem"},
        {-1e36, "poza zakresem"},
        {1e300, "poza zakresem"},
        {inf, "poza zakresem"},
        {-inf, "poza zakresem"},
        {std::nan(""), "poza zakresem"},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(TekstKwoty(p.x).toStdString(), p.tekst) << p.x;
    }
}

TEST(CalkowitaZTekstu, CyfryNaPoczatkuINasycenie) {
    struct {
        const char* tekst;
        std::int32_t wartosc;
    } const przypadki[] = {
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"15", 15},
        {"7a", 7},
        {"007", 7},
        {" 3", 3},
        {"-3", -3},
        {"+4", 4},
        {"2.5", 2},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(CalkowitaZTekstu(QString::fromUtf8(p.tekst)), p.wartosc) << '"' << p.tekst << '"';
    }
}

}  // namespace
