// The amounts a stored document states, as the printout and the monthly summary take them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"

namespace {

struct PrzypadekKwot {
    const char* opis;
    const char* rodzaj;
    std::vector<const char*> brutto;         // gross cells of `stawki`, rows 1..3
    std::vector<const char*> bruttoKorekty;  // of `stawki_korekty`
    const char* przed;                       // TekstKwoty of each total
    const char* po;
    const char* doZaplaty;
};

const PrzypadekKwot Przypadki[] = {
    {"faktura",
     "F",
     {"      123.00", "        0.10", "1.005"},
     {"999"},
     "      124.11",
     "        0.00",
     "      124.11"},
    {"korekta w górę",
     "K",
     {"100.00"},
     {"150.00", "  20.50"},
     "      100.00",
     "      170.50",
     "       70.50"},
    {"korekta w dół", "K", {"100.00", "23"}, {"50"}, "      123.00", "       50.00", "      -73.00"},
    {"komórki nieliczbowe czyta się jak formularz",
     "F",
     {"abc", "12,50", ""},
     {},
     "       12.00",
     "        0.00",
     "       12.00"},
    {"rekord innego rodzaju jak faktura",
     "X",
     {"10"},
     {"99"},
     "       10.00",
     "        0.00",
     "       10.00"},
    // An amount too large to write is never counted as 0: every total it takes part in is unknown.
    {"faktura poza zakresem",
     "F",
     {"10.00", "poza zakresem"},
     {},
     "poza zakresem",
     "        0.00",
     "poza zakresem"},
    {"korekta poza zakresem przed",
     "K",
     {"poza zakresem"},
     {"10"},
     "poza zakresem",
     "       10.00",
     "poza zakresem"},
    {"korekta poza zakresem po",
     "K",
     {"10"},
     {"1", "poza zakresem"},
     "       10.00",
     "poza zakresem",
     "poza zakresem"},
};

TEST(KwotyDokumentu, ZKomorekBrutto) {
    for (const PrzypadekKwot& p : Przypadki) {
        TDokument d{};
        d.rodzaj.ustaw(QString::fromUtf8(p.rodzaj));
        for (std::size_t r = 0; r < p.brutto.size(); ++r)
            d.stawki[3][r].ustaw(QString::fromUtf8(p.brutto[r]));
        for (std::size_t r = 0; r < p.bruttoKorekty.size(); ++r)
            d.stawki_korekty[3][r].ustaw(QString::fromUtf8(p.bruttoKorekty[r]));
        const KwotyDokumentu k = ObliczKwotyDokumentu(d);
        EXPECT_EQ(TekstKwoty(k.przedKorekta), p.przed) << p.opis;
        EXPECT_EQ(TekstKwoty(k.poKorekcie), p.po) << p.opis;
        EXPECT_EQ(TekstKwoty(k.doZaplaty), p.doZaplaty) << p.opis;
    }
}

TEST(KwotyDokumentu, KomorkaZDlugosciaPonadPojemnosc) {
    // A length byte written by another program above the capacity reads the 20 bytes there are.
    TTekst<20> komorka{};
    komorka.ustaw(QStringLiteral("00000000000000000012"));
    komorka.dlugosc = 255;
    EXPECT_EQ(KwotaKomorki(komorka), 12.0);
    komorka.ustaw(QStringLiteral("poza zakresem"));
    EXPECT_TRUE(std::isnan(KwotaKomorki(komorka)));
}

}  // namespace
