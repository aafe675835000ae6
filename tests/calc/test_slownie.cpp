#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "calc/slownie.h"

namespace {

struct PrzykladSlow {
    std::int32_t n;
    const char* slowo;
    const char* wynik;
};

// The double blanks are intended output.
const PrzykladSlow PrzykladySlow[] = {
    {1, "złoty", "jeden złoty"},
    {2, "złote", "dwa złote"},
    {5, "złotych", "pięć złotych"},
    {10, "złotych", "dziesięć złotych"},
    {11, "złotych", "jedenaście złotych"},
    {15, "złotych", "piętnaście złotych"},
    {20, "złotych", "dwadzieścia  złotych"},
    {21, "złotych", "dwadzieścia jeden złotych"},
    {22, "złotych", "dwadzieścia dwa złotych"},
    {23, "złotych", "dwadzieścia trzy złotych"},
    {100, "złotych", "sto złotych"},
    {101, "złotych", "sto jeden złotych"},
    {120, "złotych", "sto dwadzieścia  złotych"},
    {234, "złotych", "dwieście trzydzieści cztery złotych"},
    {1000, "złotych", "tysiąc złotych"},
    {1001, "złotych", "jeden tysiąc jeden złotych"},
    {1005, "złotych", "jeden tysiąc pięć złotych"},
    {1010, "złotych", "jeden tysiąc dziesięć złotych"},
    {1100, "złotych", "jeden tysiąc sto  złotych"},
    {2000, "złotych", "dwa tysięcy  złotych"},
    {2500, "złotych", "dwa tysięcy pięćset  złotych"},
    {10000, "złotych", "dziesięćtysiecy złotych"},
    {12345, "złotych", "dwanaście tysięcy trzysta czterdzieści pięć złotych"},
    {20000, "złotych", "dwadzieścia  tysięcy  złotych"},
    {100000, "złotych", "stotysiecy złotych"},
    {101000, "złotych", "sto jeden tysięcy  złotych"},
    {1000000, "złotych", "jeden milion  złotych"},
    {2500300, "złotych", "dwa milionów pięćset  tysięcy trzysta  złotych"},
    {3000050, "złotych", "trzy milionów pięćdziesiąt  złotych"},
    {1000000000, "złotych", "jeden miliard  złotych"},
    {2147483647, "złotych",
     "dwa miliardów sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy tysięcy sześćset "
     "czterdzieści siedem złotych"},
    {1, "grosz", "jeden grosz"},
    {3, "grosze", "trzy grosze"},
    {10, "groszy", "dziesięć groszy"},
    {50, "groszy", "pięćdziesiąt  groszy"},
    {62, "groszy", "sześćdziesiąt dwa groszy"},
    {99, "groszy", "dziewięćdziesiąt dziewięć groszy"},
};

TEST(KwotaSlownie, PrzykladySaDokladne) {
    for (const auto& p : PrzykladySlow) {
        EXPECT_EQ(KwotaSlownie(p.n, QString::fromUtf8(p.slowo)).toStdString(), p.wynik) << "n = " << p.n;
    }
}

// Words of a group built straight from the word tables, to check the code against.
std::string SlowaGrupy(int g) {
    static const char* jednosci[] = {"",     "jeden", "dwa",    "trzy",  "cztery",
                                     "pięć", "sześć", "siedem", "osiem", "dziewięć"};
    static const char* nascie[] = {"dziesięć",    "jedenaście",    "dwanaście",  "trzynaście",
                                   "czternaście", "piętnaście",    "szesnaście", "siedemnaście",
                                   "osiemnaście", "dziewiętnaście"};
    static const char* dziesiatki[] = {"",
                                       "",
                                       "dwadzieścia ",
                                       "trzydzieści ",
                                       "czterdzieści ",
                                       "pięćdziesiąt ",
                                       "sześćdziesiąt ",
                                       "siedemdziesiąt ",
                                       "osiemdziesiąt ",
                                       "dziewięćdziesiąt "};
    static const char* setki[] = {"",         "sto ",      "dwieście ",  "trzysta ",  "czterysta ",
                                  "pięćset ", "sześćset ", "siedemset ", "osiemset ", "dziewięćset "};
    const int h = g / 100, t = g / 10 % 10, o = g % 10;
    return std::string(setki[h]) + (t == 1 ? nascie[o] : std::string(dziesiatki[t]) + jednosci[o]);
}

TEST(KwotaSlownie, KazdaLiczbaDoTysiacaToSlowaGrupyIWaluta) {
    const QString slowo = QStringLiteral("złotych");
    for (int n = 1; n <= 999; ++n) {
        // 10 is an exception too, but its text equals the rule's.
        const std::string oczekiwane = n == 100 ? "sto złotych" : SlowaGrupy(n) + " złotych";
        ASSERT_EQ(KwotaSlownie(n, slowo).toStdString(), oczekiwane) << "n = " << n;
    }
}

TEST(KwotaSlownie, PonizejJednegoPustyTekst) {
    for (std::int32_t n : {0, -1, -2147483647 - 1}) EXPECT_TRUE(KwotaSlownie(n, "złotych").isEmpty()) << n;
}

TEST(SlowoWaluty, ZaleznieOdCalejLiczby) {
    struct {
        std::int64_t n;
        const char *zlote, *grosze;
    } const przypadki[] = {{1, "złoty", "grosz"},      {2, "złote", "grosze"},
                           {4, "złote", "grosze"},     {5, "złotych", "groszy"},
                           {12, "złotych", "groszy"},  {22, "złotych", "groszy"},
                           {102, "złotych", "groszy"}, {3000000000, "złotych", "groszy"}};
    for (const auto& p : przypadki) {
        EXPECT_EQ(SlowoZlotych(p.n).toStdString(), p.zlote) << p.n;
        EXPECT_EQ(SlowoGroszy(p.n).toStdString(), p.grosze) << p.n;
    }
}

TEST(KwotaPieniezna, ZloteIGrosze) {
    const double inf = std::numeric_limits<double>::infinity();
    struct {
        double T;
        const char *zlote, *grosze;
    } const przypadki[] = {
        {0.50, "", "pięćdziesiąt  groszy"},
        {1.01, "jeden złoty", "jeden grosz"},
        {7.00, "siedem złotych", ""},
        {1.00, "jeden złoty", ""},
        {2.01, "dwa złote", "jeden grosz"},
        {0.99, "", "dziewięćdziesiąt dziewięć groszy"},
        {22.00, "dwadzieścia dwa złotych", ""},
        {149.16, "sto czterdzieści dziewięć złotych", "szesnaście groszy"},
        {12.30, "dwanaście złotych", "trzydzieści  groszy"},
        {0.00, "", ""},
        // Fraction times 100 exactly half: rounded to even.
        {0.125, "", "dwanaście groszy"},
        {0.375, "", "trzydzieści osiem groszy"},
        // A hair below a whole złoty is that złoty, not "sto groszy".
        {10.9999999999, "jedenaście złotych", ""},
        {0.996, "jeden złoty", ""},
        {999999999999.996, "", ""},
        // Negative amounts are made positive by the caller; here they give nothing.
        {-12.30, "", ""},
        {-0.01, "", ""},
        // Beyond the 32-bit range the same rules go on with a larger billions group.
        {2147483648.5,
         "dwa miliardów sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy tysięcy "
         "sześćset czterdzieści osiem złotych",
         "pięćdziesiąt  groszy"},
        {999999999999.0,
         "dziewięćset dziewięćdziesiąt dziewięć miliardów dziewięćset dziewięćdziesiąt dziewięć milionów "
         "dziewięćset dziewięćdziesiąt dziewięć tysięcy dziewięćset dziewięćdziesiąt dziewięć złotych",
         ""},
        // Too large to say, or not a number: never words of some other amount.
        {1e12, "", ""},
        {1e12 + 0.5, "", ""},
        {1e300, "", ""},
        {inf, "", ""},
        {-inf, "", ""},
        {std::nan(""), "", ""},
    };
    for (const auto& p : przypadki) {
        const KwotaWSlowach s = KwotaPieniezna(p.T);
        EXPECT_EQ(s.zlote.toStdString(), p.zlote) << p.T;
        EXPECT_EQ(s.grosze.toStdString(), p.grosze) << p.T;
    }
}

}  // namespace
