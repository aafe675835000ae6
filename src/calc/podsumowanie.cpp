#include "calc/podsumowanie.h"

#include <limits>

#include "calc/liczby.h"

// Amounts are doubles; every expression is evaluated in long double (64-bit mantissa on x86-64)
// and rounded to double where its result is kept, which is what the stored summaries were made with.

namespace {

constexpr qsizetype PojemnoscKomorki = 20;

// An amount text as a summary cell holds it. Cutting to the cell's capacity drops decimals first;
// an amount whose integer part does not fit would read back as a different amount, so it is
// written as out of range instead.
QString KomorkaKwoty(double x) {
    QString tekst = TekstKwoty(x);
    if (tekst.size() <= PojemnoscKomorki) return tekst;
    const qsizetype kropka = tekst.indexOf(u'.');
    if (kropka < 0 || kropka > PojemnoscKomorki) return QString::fromUtf16(TekstPozaZakresem);
    tekst.truncate(PojemnoscKomorki);
    return tekst;
}

// Net x at rate v: VAT = v / 100 * x + 0.0001 (the 0.0001 whatever the sign), gross = x + VAT;
// each rounded only when written.
void WpiszKwoty(WierszStawki& wiersz, double x, double v) {
    const double vat = static_cast<long double>(v) / 100 * x + 0.0001L;
    const double brutto = static_cast<long double>(x) + vat;
    wiersz.netto = KomorkaKwoty(x);
    wiersz.kwotaVat = KomorkaKwoty(vat);
    wiersz.brutto = KomorkaKwoty(brutto);
}

void WpiszWiersz(WierszStawki& wiersz, const QString& stawka, double x, double v) {
    wiersz.stawka = stawka.left(PojemnoscKomorki);
    WpiszKwoty(wiersz, x, v);
}

}  // namespace

double KwotaZKomorki(const QString& komorka) {
    if (komorka == QStringView(TekstPozaZakresem)) return std::numeric_limits<double>::quiet_NaN();
    return LiczbaZTekstu(komorka);
}

WynikPodsumowania ObliczPodsumowanie(const std::array<PozycjaTabeli, 3>& pozycje) {
    const QString& r1 = pozycje[0].vat;
    const QString& r2 = pozycje[1].vat;
    const QString& r3 = pozycje[2].vat;
    const auto netto = [&](int i) -> double {
        return static_cast<long double>(LiczbaZTekstu(pozycje[i].ilosc)) * LiczbaZTekstu(pozycje[i].netto);
    };
    const double v1 = LiczbaZTekstu(r1);

    WynikPodsumowania wynik;
    auto& [s1, s2, s3] = wynik.wiersze;
    const double n1 = netto(0);
    WpiszWiersz(s1, r1, n1, v1);

    if (!r2.isEmpty()) {
        if (r2 == r1) {
            // Lines 1 and 2 merge on their unrounded nets.
            WpiszKwoty(s1, static_cast<long double>(n1) + netto(1), v1);
        } else {
            WpiszWiersz(s2, r2, netto(1), LiczbaZTekstu(r2));
        }
    }

    if (!r3.isEmpty()) {
        // Line 3 merges with the group net as already written (rounded to two decimals).
        if (r3 == r1) {
            WpiszKwoty(s1, static_cast<long double>(KwotaZKomorki(s1.netto)) + netto(2), v1);
        } else if (r3 == r2) {
            WpiszKwoty(s2, static_cast<long double>(KwotaZKomorki(s2.netto)) + netto(2), LiczbaZTekstu(r2));
        } else {
            WpiszWiersz(s2.stawka.isEmpty() ? s2 : s3, r3, netto(2), LiczbaZTekstu(r3));
        }
    }

    // The total is the sum of the gross texts as shown, empty cells counting 0.
    wynik.suma = static_cast<long double>(KwotaZKomorki(s1.brutto)) + KwotaZKomorki(s2.brutto) +
                 KwotaZKomorki(s3.brutto);
    wynik.kwotaDoZaplaty = TekstKwoty(wynik.suma);
    wynik.slownie = KwotaPieniezna(wynik.suma);
    return wynik;
}
