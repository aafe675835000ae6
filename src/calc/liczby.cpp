#include "calc/liczby.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

qsizetype PominCyfry(const QChar* p, qsizetype i, qsizetype dl) {
    while (i < dl && Cyfra(p[i])) ++i;
    return i;
}

// Converts the ASCII characters p[od..do_) - only their digits when tylkoCyfry - with a
// locale-independent, correctly rounded conversion. Out of the double range gives 0 and clears
// wZakresie.
double Przelicz(const QChar* p, qsizetype od, qsizetype do_, bool tylkoCyfry, bool& wZakresie) {
    char naStosie[64];
    std::string naStercie;
    char* b = naStosie;
    if (do_ - od > qsizetype(sizeof naStosie)) {
        naStercie.resize(do_ - od);
        b = naStercie.data();
    }
    char* e = b;
    for (qsizetype i = od; i < do_; ++i) {
        if (!tylkoCyfry || Cyfra(p[i])) *e++ = static_cast<char>(p[i].unicode());
    }
    double wynik = 0;
    const auto [koniec, blad] = std::from_chars(b, e, wynik);
    wZakresie = blad == std::errc{} && koniec == e;
    return wZakresie ? wynik : 0;
}

struct Odczyt {
    double wartosc;
    bool calyTekst;  // the value is the number the whole text writes
};

Odczyt Odczytaj(const QString& tekst) {
    const QChar* p = tekst.constData();
    const qsizetype dl = tekst.size();
    qsizetype i = 0;
    while (i < dl && p[i] == u' ') ++i;
    const qsizetype poczatek = i;
    if (i < dl && (p[i] == u'+' || p[i] == u'-')) ++i;
    const qsizetype poZnaku = i;

    i = PominCyfry(p, i, dl);
    bool kropka = false;
    if (i < dl && p[i] == u'.') {
        kropka = true;
        i = PominCyfry(p, i + 1, dl);
    }
    const qsizetype koniecMantysy = i;
    // Without a digit in the mantissa both readings give 0 (empty, blank, sign only, ".", "e5", "x");
    // only a text with nothing but blanks in it means 0.
    if (koniecMantysy - poZnaku - (kropka ? 1 : 0) == 0) return {0, poczatek == dl};

    if (i < dl && (p[i] == u'e' || p[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < dl && (p[j] == u'+' || p[j] == u'-')) ++j;
        const qsizetype cyfryWykladnika = PominCyfry(p, j, dl);
        if (cyfryWykladnika > j) i = cyfryWykladnika;
    }
    bool wZakresie = true;
    if (i == dl) {
        // from_chars takes "-" but not "+".
        const double w = Przelicz(p, p[poczatek] == u'+' ? poczatek + 1 : poczatek, dl, false, wZakresie);
        return {w, wZakresie};
    }
    // Not a well-formed number: the mantissa digits before the first misfit, as one whole number.
    return {Przelicz(p, poZnaku, koniecMantysy, true, wZakresie), false};
}

}  // namespace

double LiczbaZTekstu(const QString& tekst) { return Odczytaj(tekst).wartosc; }

bool LiczbaWCalosci(const QString& tekst) { return Odczytaj(tekst).calyTekst; }

QString TekstKwoty(double x) {
    const double m = std::fabs(x);
    if (!(m < 1e36)) return QString::fromUtf16(TekstPozaZakresem);

    // The decimal expansion the half is judged on: 18 significant digits, 17 decimals below 1.
    char rozwiniecie[48];
    char* koniec;
    // cyfry: the expansion's digits without the point; calkowite: how many of them precede it.
    char cyfry[48];
    int liczbaCyfr = 0, calkowite = 1;
    if (m >= 1) {
        koniec = std::to_chars(rozwiniecie, std::end(rozwiniecie), m, std::chars_format::scientific, 17).ptr;
        // d.ddddddddddddddddde+XX
        const char* e = std::find(rozwiniecie, koniec, 'e');
        for (const char* c = rozwiniecie; c < e; ++c) {
            if (*c != '.') cyfry[liczbaCyfr++] = *c;
        }
        int wykladnik = 0;
        std::from_chars(e + 2, koniec, wykladnik);
        calkowite = wykladnik + 1;
    } else {
        koniec = std::to_chars(rozwiniecie, std::end(rozwiniecie), m, std::chars_format::fixed, 17).ptr;
        for (const char* c = rozwiniecie; c < koniec; ++c) {
            if (*c != '.') cyfry[liczbaCyfr++] = *c;
        }
    }
    // Digits beyond the expansion are zeros; keep the integer part, two decimals and the rounding digit.
    const int potrzebne = calkowite + 3;
    std::fill(cyfry + std::min(liczbaCyfr, potrzebne), cyfry + potrzebne, '0');
    const bool wGore = cyfry[potrzebne - 1] >= '5';

    // Layout of the result, right-aligned: [blanks][-][carry digit][integer digits].[2 decimals]
    char wynik[64];
    char* const koniecWyniku = wynik + sizeof wynik;
    char* w = koniecWyniku;
    bool przeniesienie = wGore;
    for (int k = potrzebne - 2; k >= 0; --k) {
        char c = cyfry[k];
        if (przeniesienie) {
            przeniesienie = c == '9';
            c = przeniesienie ? '0' : c + 1;
        }
        *--w = c;
        if (k == calkowite) *--w = '.';
    }
    if (przeniesienie) *--w = '1';
    if (x < 0) *--w = '-';
    while (koniecWyniku - w < 12) *--w = ' ';
    return QString::fromLatin1(w, koniecWyniku - w);
}

// Below 10^11 PLN the product x * 100 is within a thousandth of a grosz of the exact one, so where
// it is more than a hundredth from a half the nearest whole number is what TekstKwoty rounds to.
// Near a half, and for larger amounts, TekstKwoty itself decides.
char* PiszKwotePliku(char* p, double x, char separator) {
    const double grosze = x * 100.0;
    const double zaokraglone = std::nearbyint(grosze);
    if (std::fabs(x) < 1e11 && std::fabs(grosze - zaokraglone) < 0.49)
        return PiszGroszePliku(p, static_cast<std::int64_t>(zaokraglone), separator);
    QByteArray t = TekstKwoty(x).trimmed().toLatin1().left(NajdluzszaKwotaPliku);
    if (t == "-0.00") t = "0.00";
    for (char c : t) *p++ = c == '.' ? separator : c;
    return p;
}

QString KwotaPliku(double kwota, char separator) {
    char tekst[NajdluzszaKwotaPliku];
    const char* koniec = PiszKwotePliku(tekst, kwota, separator);
    return QString::fromLatin1(tekst, koniec - tekst);
}

std::int32_t CalkowitaZTekstu(const QString& tekst) {
    constexpr std::int64_t Granica = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    const QChar* p = tekst.constData();
    const qsizetype dl = tekst.size();
    qsizetype i = 0;
    while (i < dl && p[i] == u' ') ++i;
    const bool ujemna = i < dl && p[i] == u'-';
    if (i < dl && (p[i] == u'+' || p[i] == u'-')) ++i;
    std::int64_t wartosc = 0;
    for (; i < dl && Cyfra(p[i]); ++i) {
        wartosc = std::min(wartosc * 10 + (p[i].unicode() - u'0'), Granica);
    }
    return static_cast<std::int32_t>(ujemna ? -wartosc : std::min(wartosc, Granica - 1));
}
