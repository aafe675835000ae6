#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "calc/liczby.h"
#include "calc/podsumowanie.h"

namespace {

// An amount as the grids show it: blank-filled on the left to 12 characters.
std::string K(const std::string& kwota) {
    return std::string(12 - std::min<size_t>(12, kwota.size()), ' ') + kwota;
}

using Wiersz = std::array<std::string, 4>;
const Wiersz Pusty{};
const std::string Poza = "poza zakresem";

struct PrzypadekPodsumowania {
    const char* nazwa;
    std::array<PozycjaTabeli, 3> pozycje;
    std::array<Wiersz, 3> wiersze;
    std::string kwota;
    const char* zlote;
    const char* grosze;
};

const PrzypadekPodsumowania PrzypadkiPodsumowania[] = {
    {"pusta tabela", {}, {{{"", K("0.00"), K("0.00"), K("0.00")}, Pusty, Pusty}}, K("0.00"), "", ""},
    {"jedna linia",
     {{{"2", "10.50", "22"}, {}, {}}},
     {{{"22", K("21.00"), K("4.62"), K("25.62")}, Pusty, Pusty}},
     K("25.62"),
     "dwadzieścia pięć złotych",
     "sześćdziesiąt dwa groszy"},
    {"linie 1 i 2 scalone",
     {{{"1", "100", "22"}, {"3", "33.33", "22"}, {}}},
     {{{"22", K("199.99"), K("44.00"), K("243.99")}, Pusty, Pusty}},
     K("243.99"),
     "dwieście czterdzieści trzy złotych",
     "dziewięćdziesiąt dziewięć groszy"},
    {"linie 1 i 3 scalone ponad inna linia 2",
     {{{"1", "100", "22"}, {"2", "12.5", "7"}, {"1", "0.333", "22"}}},
     {{{"22", K("100.33"), K("22.07"), K("122.41")}, {"7", K("25.00"), K("1.75"), K("26.75")}, Pusty}},
     K("149.16"),
     "sto czterdzieści dziewięć złotych",
     "szesnaście groszy"},
    {"trzy stawki",
     {{{"1", "100", "22"}, {"2", "12.5", "7"}, {"4", "2.5", "0"}}},
     {{{"22", K("100.00"), K("22.00"), K("122.00")},
       {"7", K("25.00"), K("1.75"), K("26.75")},
       {"0", K("10.00"), K("0.00"), K("10.00")}}},
     K("158.75"),
     "sto pięćdziesiąt osiem złotych",
     "siedemdziesiąt pięć groszy"},
    // Rates are grouped by their text, not their value.
    {"22 i 22.0",
     {{{"1", "100", "22"}, {"1", "100", "22.0"}, {}}},
     {{{"22", K("100.00"), K("22.00"), K("122.00")}, {"22.0", K("100.00"), K("22.00"), K("122.00")}, Pusty}},
     K("244.00"),
     "dwieście czterdzieści cztery złotych",
     ""},
    {"stawka z jednej spacji",
     {{{"1", "100", "22"}, {"1", "10", " "}, {"1", "5", " "}}},
     {{{"22", K("100.00"), K("22.00"), K("122.00")}, {" ", K("15.00"), K("0.00"), K("15.00")}, Pusty}},
     K("137.00"),
     "sto trzydzieści siedem złotych",
     ""},
    // Shown cut to 20 characters, grouped by the whole text.
    {"stawka dluzsza niz 20",
     {{{"1", "100", "22 stawka podstawowa, towary"},
       {"1", "10", "22 stawka podstawowa, towary"},
       {"1", "1", "22 stawka podstawowa, usługi"}}},
     {{{"22 stawka podstawowa", K("110.00"), K("24.20"), K("134.20")},
       {"22 stawka podstawowa", K("1.00"), K("0.22"), K("1.22")},
       Pusty}},
     K("135.42"),
     "sto trzydzieści pięć złotych",
     "czterdzieści dwa groszy"},
    {"linia 2 bez stawki",
     {{{"1", "100", "22"}, {"5", "20", ""}, {"1", "10", "7"}}},
     {{{"22", K("100.00"), K("22.00"), K("122.00")}, {"7", K("10.00"), K("0.70"), K("10.70")}, Pusty}},
     K("132.70"),
     "sto trzydzieści dwa złotych",
     "siedemdziesiąt  groszy"},
    {"linia 2 scalona, linia 3 inna trafia do S2",
     {{{"1", "100", "22"}, {"1", "50", "22"}, {"1", "10", "7"}}},
     {{{"22", K("150.00"), K("33.00"), K("183.00")}, {"7", K("10.00"), K("0.70"), K("10.70")}, Pusty}},
     K("193.70"),
     "sto dziewięćdziesiąt trzy złotych",
     "siedemdziesiąt  groszy"},
    {"linia 3 scalona z S2",
     {{{"1", "100", "22"}, {"1", "10.004", "7"}, {"1", "0.004", "7"}}},
     {{{"22", K("100.00"), K("22.00"), K("122.00")}, {"7", K("10.00"), K("0.70"), K("10.70")}, Pusty}},
     K("132.70"),
     "sto trzydzieści dwa złotych",
     "siedemdziesiąt  groszy"},
    {"linia 1 bez stawki",
     {{{"1", "0.5", ""}, {}, {}}},
     {{{"", K("0.50"), K("0.00"), K("0.50")}, Pusty, Pusty}},
     K("0.50"),
     "",
     "pięćdziesiąt  groszy"},
    // Lines 1 and 2 merge on the unrounded nets, line 3 on the rounded group net.
    {"scalenie linii 2 przed zaokragleniem",
     {{{"1", "0.004", "22"}, {"1", "0.004", "22"}, {}}},
     {{{"22", K("0.01"), K("0.00"), K("0.01")}, Pusty, Pusty}},
     K("0.01"),
     "",
     "jeden grosz"},
    {"scalenie linii 3 po zaokragleniu",
     {{{"1", "0.004", "22"}, {"1", "1", "7"}, {"1", "0.004", "22"}}},
     {{{"22", K("0.00"), K("0.00"), K("0.00")}, {"7", K("1.00"), K("0.07"), K("1.07")}, Pusty}},
     K("1.07"),
     "jeden złoty",
     "siedem groszy"},
    {"ilosci z kropka, wykladnikiem i spacjami",
     {{{"2.5", "1e1", "0"}, {"   ", "100", "0"}, {"1e1", "1,5", "0"}}},
     {{{"0", K("35.00"), K("0.00"), K("35.00")}, Pusty, Pusty}},
     K("35.00"),
     "trzydzieści pięć złotych",
     ""},
    {"ujemna ilosc",
     {{{"-1", "100", "22"}, {}, {}}},
     {{{"22", K("-100.00"), K("-22.00"), K("-122.00")}, Pusty, Pusty}},
     K("-122.00"),
     "",
     ""},
    // The added 0.0001 moves a negative VAT towards zero.
    {"ujemna kwota netto -21",
     {{{"-1", "21", "22"}, {}, {}}},
     {{{"22", K("-21.00"), K("-4.62"), K("-25.62")}, Pusty, Pusty}},
     K("-25.62"),
     "",
     ""},
    {"ujemna i dodatnia kwota netto 20.75",
     {{{"1", "-20.75", "22"}, {"1", "20.75", "22%"}, {}}},
     {{{"22", K("-20.75"), K("-4.56"), K("-25.31")}, {"22%", K("20.75"), K("4.57"), K("25.32")}, Pusty}},
     K("0.01"),
     "",
     "jeden grosz"},
    // Products and the VAT are evaluated with a 64-bit mantissa; in plain double these give
    // 19.18 for the net and 2.05 for the VAT.
    {"iloczyn w rozszerzonej precyzji",
     {{{"0.1", "191.85", "22"}, {}, {}}},
     {{{"22", K("19.19"), K("4.22"), K("23.41")}, Pusty, Pusty}},
     K("23.41"),
     "dwadzieścia trzy złotych",
     "czterdzieści jeden groszy"},
    {"VAT w rozszerzonej precyzji",
     {{{"1", "9.295", "22"}, {}, {}}},
     {{{"22", K("9.29"), K("2.04"), K("11.34")}, Pusty, Pusty}},
     K("11.34"),
     "jedenaście złotych",
     "trzydzieści cztery groszy"},
    // A cell holds 20 characters: decimals may go, integer digits may not.
    {"kwota na granicy komorki",
     {{{"1e18", "1", "0"}, {}, {}}},
     {{{"0", "1000000000000000000.", K("0.00"), "1000000000000000000."}, Pusty, Pusty}},
     "1000000000000000000.00",
     "",
     ""},
    {"kwota za dluga na komorke",
     {{{"1e25", "1", "0"}, {"1", "10", "7"}, {}}},
     {{{"0", Poza, K("0.00"), Poza}, {"7", K("10.00"), K("0.70"), K("10.70")}, Pusty}},
     Poza,
     "",
     ""},
    {"iloczyn poza zakresem double",
     {{{"1e300", "1e300", "22"}, {}, {}}},
     {{{"22", Poza, Poza, Poza}, Pusty, Pusty}},
     Poza,
     "",
     ""},
};

TEST(ObliczPodsumowanie, Przypadki) {
    for (const PrzypadekPodsumowania& p : PrzypadkiPodsumowania) {
        SCOPED_TRACE(p.nazwa);
        const WynikPodsumowania w = ObliczPodsumowanie(p.pozycje);
        for (int i = 0; i < 3; ++i) {
            const WierszStawki& s = w.wiersze[i];
            const Wiersz faktyczny{s.stawka.toStdString(), s.netto.toStdString(), s.kwotaVat.toStdString(),
                                   s.brutto.toStdString()};
            EXPECT_EQ(faktyczny, p.wiersze[i]) << "wiersz S" << i + 1;
        }
        EXPECT_EQ(w.kwotaDoZaplaty.toStdString(), p.kwota);
        EXPECT_EQ(w.slownie.zlote.toStdString(), p.zlote);
        EXPECT_EQ(w.slownie.grosze.toStdString(), p.grosze);
    }
}

TEST(ObliczPodsumowanie, SumaZTekstowBrutto) {
    const auto w = ObliczPodsumowanie({{{"1", "100", "22"}, {"2", "12.5", "7"}, {"1", "0.333", "22"}}});
    EXPECT_EQ(w.suma, 122.41 + 26.75);
    EXPECT_TRUE(std::isnan(ObliczPodsumowanie({{{"1e300", "1e300", "22"}, {}, {}}}).suma));
}

TEST(KwotaZKomorki, PozaZakresemToNaN) {
    EXPECT_EQ(KwotaZKomorki("       25.62"), 25.62);
    EXPECT_EQ(KwotaZKomorki(""), 0);
    EXPECT_TRUE(std::isnan(KwotaZKomorki(QString::fromUtf16(TekstPozaZakresem))));
}

}  // namespace
