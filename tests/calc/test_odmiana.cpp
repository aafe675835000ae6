#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "calc/odmiana.h"

namespace {

struct PrzykladOdmiany {
    std::int64_t n;
    const char* wynik;
};

// The forms that follow a count: only exactly one takes the singular; 12-14 are "many" though
// they end in 2-4, while 22-24, 102-104 and 1002 take the "few" form again.
const PrzykladOdmiany PrzykladyOdmiany[] = {
    {0, "0 wierszy"},     {1, "1 wiersz"},        {2, "2 wiersze"},       {3, "3 wiersze"},
    {4, "4 wiersze"},     {5, "5 wierszy"},       {11, "11 wierszy"},     {12, "12 wierszy"},
    {13, "13 wierszy"},   {14, "14 wierszy"},     {15, "15 wierszy"},     {21, "21 wierszy"},
    {22, "22 wiersze"},   {24, "24 wiersze"},     {25, "25 wierszy"},     {101, "101 wierszy"},
    {102, "102 wiersze"}, {111, "111 wierszy"},   {112, "112 wierszy"},   {114, "114 wierszy"},
    {122, "122 wiersze"}, {1002, "1002 wiersze"}, {1012, "1012 wierszy"}, {-1, "-1 wiersz"},
    {-3, "-3 wiersze"},   {-13, "-13 wierszy"},
};

TEST(Odmiana, FormaPoLiczbie) {
    for (const PrzykladOdmiany& p : PrzykladyOdmiany)
        EXPECT_EQ(LiczbaIRzeczownik(p.n, QStringLiteral("wiersz"), QStringLiteral("wiersze"),
                                    QStringLiteral("wierszy")),
                  QString::fromUtf8(p.wynik))
            << p.n;
}

TEST(Odmiana, SkrajneLiczby) {
    const QString jeden = QStringLiteral("wpis"), kilka = QStringLiteral("wpisy"),
                  wiele = QStringLiteral("wpisów");
    // ...808 and ...807: the last two digits decide, also where the count has no positive twin.
    EXPECT_EQ(FormaPoLiczbie(std::numeric_limits<std::int64_t>::min(), jeden, kilka, wiele), wiele);
    EXPECT_EQ(FormaPoLiczbie(std::numeric_limits<std::int64_t>::max(), jeden, kilka, wiele), wiele);
    EXPECT_EQ(FormaPoLiczbie(std::numeric_limits<std::int64_t>::max() - 3, jeden, kilka, wiele), kilka);
}

}  // namespace
