#include "calc/slownie.h"

#include <QStringView>
#include <cmath>

namespace {

// Index = digit; a digit 0 has no word.
constexpr const char16_t* Jednosci[] = {u"",     u"jeden", u"dwa",    u"trzy",  u"cztery",
                                        u"pięć", u"sześć", u"siedem", u"osiem", u"dziewięć"};
constexpr const char16_t* RdzenieNascie[] = {u"",     u"jede", u"dwa",    u"trzy",  u"czter",
                                             u"pięt", u"szes", u"siedem", u"osiem", u"dziewięt"};
constexpr const char16_t* Dziesiatki[] = {u"",
                                          u"",
                                          u"dwadzieścia ",
                                          u"trzydzieści ",
                                          u"czterdzieści ",
                                          u"pięćdziesiąt ",
                                          u"sześćdziesiąt ",
                                          u"siedemdziesiąt ",
                                          u"osiemdziesiąt ",
                                          u"dziewięćdziesiąt "};
constexpr const char16_t* Setki[] = {u"",         u"sto ",      u"dwieście ",  u"trzysta ",  u"czterysta ",
                                     u"pięćset ", u"sześćset ", u"siedemset ", u"osiemset ", u"dziewięćset "};

struct Skala {
    std::int64_t dzielnik;
    const char16_t* jeden;
    const char16_t* wiele;
};
constexpr Skala Skale[] = {{1'000'000'000, u" miliard ", u" miliardów "},
                           {1'000'000, u" milion ", u" milionów "},
                           {1'000, u" tysiąc ", u" tysięcy "}};

struct Wyjatek {
    std::int64_t n;
    const char16_t* tekst;
};
constexpr Wyjatek Wyjatki[] = {{10, u"dziesięć "},
                               {100, u"sto "},
                               {1000, u"tysiąc "},
                               {10000, u"dziesięćtysiecy "},
                               {100000, u"stotysiecy "}};

// Largest whole number said in words: the billions group holds at most 999.
constexpr std::int64_t GranicaSlow = 1'000'000'000'000;

void DopiszGrupe(QString& wynik, int g) {
    const int setki = g / 100, dziesiatki = g / 10 % 10, jednosci = g % 10;
    wynik += QStringView(Setki[setki]);
    if (dziesiatki == 1) {
        if (jednosci == 0) {
            wynik += QStringView(u"dziesięć");
        } else {
            wynik += QStringView(RdzenieNascie[jednosci]);
            wynik += QStringView(u"naście");
        }
        return;
    }
    wynik += QStringView(Dziesiatki[dziesiatki]);
    wynik += QStringView(Jednosci[jednosci]);
}

// The word rules for 1 <= n < GranicaSlow; anything else gives an empty text.
QString Slownie(std::int64_t n, const QString& slowo) {
    if (n < 1 || n >= GranicaSlow) return {};
    for (const Wyjatek& w : Wyjatki) {
        if (n == w.n) return QString::fromUtf16(w.tekst) + slowo;
    }
    QString wynik;
    wynik.reserve(160);
    for (const Skala& s : Skale) {
        const int grupa = static_cast<int>(n / s.dzielnik % 1000);
        if (grupa == 0) continue;
        DopiszGrupe(wynik, grupa);
        wynik += QStringView(grupa == 1 ? s.jeden : s.wiele);
    }
    DopiszGrupe(wynik, static_cast<int>(n % 1000));
    wynik += u' ';
    wynik += slowo;
    return wynik;
}

}  // namespace

QString KwotaSlownie(std::int32_t n, const QString& slowo) { return Slownie(n, slowo); }

QString SlowoZlotych(std::int64_t n) {
    if (n == 1) return QStringLiteral("złoty");
    return n >= 2 && n <= 4 ? QStringLiteral("złote") : QStringLiteral("złotych");
}

QString SlowoGroszy(std::int64_t n) {
    if (n == 1) return QStringLiteral("grosz");
    return n >= 2 && n <= 4 ? QStringLiteral("grosze") : QStringLiteral("groszy");
}

KwotaWSlowach KwotaPieniezna(double T) {
    // Also keeps NaN and inf away from the integer conversions below.
    if (!(T >= 0 && T < static_cast<double>(GranicaSlow))) return {};
    const double calkowita = std::trunc(T);
    auto zlote = static_cast<std::int64_t>(calkowita);
    // The fraction times 100 is exact in extended precision, so the tie test is exact too.
    const long double setne = (static_cast<long double>(T) - calkowita) * 100;
    auto grosze = static_cast<std::int64_t>(std::nearbyint(setne));
    // A sum a hair below a whole złoty (10.9999999...) rounds to 100 grosze: that is one more złoty,
    // as the figures show it, not "sto groszy".
    if (grosze == 100) {
        ++zlote;
        grosze = 0;
        if (zlote >= GranicaSlow) return {};
    }
    return {Slownie(zlote, SlowoZlotych(zlote)), Slownie(grosze, SlowoGroszy(grosze))};
}
