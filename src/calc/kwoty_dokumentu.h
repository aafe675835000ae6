#pragma once
// The amounts a stored document states, read from its stored summary cells once: the cell reader,
// the sums per rate (a correction: after minus before) and the gross totals. The printout, the
// monthly summary and the exports take them from here.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "calc/dokument.h"
#include "calc/liczby.h"
#include "store/rekordy.h"

struct KwotyDokumentu {
    double przedKorekta = 0;  // the invoice's own summary (`stawki`)
    double poKorekcie = 0;    // the corrected summary (`stawki_korekty`); a correction's only, else 0
    double doZaplaty = 0;     // correction: poKorekcie - przedKorekta; any other record: przedKorekta
};

// A stored amount cell read as KwotaZKomorki reads a grid cell: TekstPozaZakresem is NaN, so that an
// amount too large to write never counts as 0. The summary writes blanks, an optional "-", digits, a
// point and two digits; such a cell is read as whole grosze over 100, which, a division of two exact
// doubles being correctly rounded, is the very double the decimal text denotes. Every other cell
// takes the general reading.
double KwotaKomorkiOgolnie(const TTekst<20>& komorka);
inline double KwotaKomorki(const TTekst<20>& komorka) {
    const std::size_t n = komorka.dlugoscTekstu();
    if (n == 0) return 0;
    std::int64_t grosze = 0;
    bool ujemna = false;
    if (!GroszeZTekstu(komorka.znaki, n, grosze, ujemna)) return KwotaKomorkiOgolnie(komorka);
    const double x = static_cast<double>(ujemna ? -grosze : grosze) / 100.0;
    return ujemna ? -x : x;
}

// One row of a stored VAT summary as the per-rate sum gives it to the caller's grouping.
struct WierszPodsumowania {
    const TTekst<20>& stawka;
    int wiersz;       // 1..3
    bool czytelny;    // false: an amount is TekstPozaZakresem; such a row adds to no group
    bool poKorekcie;  // a row of a correction's corrected summary
    double netto, podatek, brutto;
};

// What the rows of one group add up to, in extended precision; a correction's rows before it are
// subtracted.
struct KwotyGrupy {
    int grupa = 0;
    long double netto = 0, podatek = 0, brutto = 0;
};

struct SumyStawek {
    std::array<KwotyGrupy, 6> grupy{};  // at most three rows per table, in the order they first occur
    std::size_t liczbaGrup = 0;
    bool czytelne = true;  // false: some row that holds something cannot be read
    KwotyDokumentu kwoty;  // the gross totals
};

// Only the gross totals are wanted.
struct BezGrup {};

// The per-rate sum of a document. Every summary row that holds anything (a first row without a rate
// and with zero amounts holds nothing) goes to grupa, in table order (before, then after a
// correction's), which says which of the caller's groups it adds to, or a negative number for none.
// The gross totals are the gross cells of every row added left to right in extended precision, as
// the window's totals are; a NaN cell makes every total it takes part in NaN, so a document whose
// amount cannot be read never states, or adds to a month, a smaller amount than it holds.
template <class Grupa>
SumyStawek SumujStawki(const TDokument& d, Grupa&& grupa) {
    SumyStawek s;
    const auto tabela = [&](const TabelaStawek& t, long double znak, bool poKorekcie) {
        long double suma = 0;
        for (int r = 0; r < 3; ++r) {
            const double brutto = KwotaKomorki(t[3][r]);
            suma = r == 0 ? static_cast<long double>(brutto) : suma + brutto;
            if constexpr (!std::is_same_v<std::decay_t<Grupa>, BezGrup>) {
                if (t[0][r].dlugosc == 0 && t[1][r].dlugosc == 0 && t[2][r].dlugosc == 0 &&
                    t[3][r].dlugosc == 0)
                    continue;
                const double netto = KwotaKomorki(t[1][r]);
                const double podatek = KwotaKomorki(t[2][r]);
                const bool czytelny = !std::isnan(netto) && !std::isnan(podatek) && !std::isnan(brutto);
                if (czytelny && t[0][r].dlugoscTekstu() == 0 && netto == 0 && podatek == 0 && brutto == 0)
                    continue;
                const int g =
                    grupa(WierszPodsumowania{t[0][r], r + 1, czytelny, poKorekcie, netto, podatek, brutto});
                if (!czytelny) {
                    s.czytelne = false;
                    continue;
                }
                if (g < 0) continue;
                std::size_t i = 0;
                while (i < s.liczbaGrup && s.grupy[i].grupa != g) ++i;
                if (i == s.liczbaGrup) s.grupy[s.liczbaGrup++].grupa = g;
                s.grupy[i].netto += znak * netto;
                s.grupy[i].podatek += znak * podatek;
                s.grupy[i].brutto += znak * brutto;
            }
        }
        return suma;
    };
    const long double przed = tabela(d.stawki, JestKorekta(d) ? -1 : 1, false);
    s.kwoty.przedKorekta = static_cast<double>(przed);
    s.kwoty.doZaplaty = s.kwoty.przedKorekta;
    if (JestKorekta(d)) {
        const long double po = tabela(d.stawki_korekty, 1, true);
        s.kwoty.poKorekcie = static_cast<double>(po);
        s.kwoty.doZaplaty = static_cast<double>(po - przed);
    }
    return s;
}

inline KwotyDokumentu ObliczKwotyDokumentu(const TDokument& dokument) {
    return SumujStawki(dokument, BezGrup{}).kwoty;
}

// The per-rate sum in whole grosze, for when every amount cell of the document is empty or of the
// plain form of at most 10^9 PLN: the sums then stay far below 10^11 PLN, where PiszKwotePliku of
// SumujStawki's extended-precision sums writes exactly these grosze. The rows, their groups and
// their order are SumujStawki's; grupa(stawka) is called only once every cell has been read, so a
// document that needs SumujStawki (false) has added to no group here.
// Only the first liczbaGrup groups are set.
struct KwotyGrupyWGroszach {
    int grupa;
    std::int64_t netto, podatek, brutto;
};

struct SumyStawekWGroszach {
    std::array<KwotyGrupyWGroszach, 6> grupy;
    std::size_t liczbaGrup = 0;
    std::int64_t doZaplaty = 0;
};

template <class Grupa>
bool SumujStawkiWGroszach(const TDokument& d, Grupa&& grupa, SumyStawekWGroszach& s) {
    constexpr std::int64_t Granica = 100'000'000'000;  // 10^9 PLN
    const bool korekta = JestKorekta(d);
    // [table][column][row]
    std::int64_t kwoty[2][4][3];
    for (int t = 0; t < (korekta ? 2 : 1); ++t) {
        const TabelaStawek& tabela = t == 0 ? d.stawki : d.stawki_korekty;
        for (int k = 1; k < 4; ++k)
            for (int r = 0; r < 3; ++r) {
                const TTekst<20>& komorka = tabela[k][r];
                const std::size_t n = komorka.dlugoscTekstu();
                std::int64_t g = 0;
                bool ujemna = false;
                if (n != 0 && (!GroszeZTekstu(komorka.znaki, n, g, ujemna) || g >= Granica || g <= -Granica))
                    return false;
                kwoty[t][k][r] = g;
            }
    }
    s.liczbaGrup = 0;
    std::int64_t brutto[2] = {0, 0};
    for (int t = 0; t < (korekta ? 2 : 1); ++t) {
        const TabelaStawek& tabela = t == 0 ? d.stawki : d.stawki_korekty;
        const std::int64_t znak = t == 0 && korekta ? -1 : 1;
        for (int r = 0; r < 3; ++r) {
            brutto[t] += kwoty[t][3][r];
            if (tabela[0][r].dlugosc == 0 && tabela[1][r].dlugosc == 0 && tabela[2][r].dlugosc == 0 &&
                tabela[3][r].dlugosc == 0)
                continue;
            if (tabela[0][r].dlugoscTekstu() == 0 && kwoty[t][1][r] == 0 && kwoty[t][2][r] == 0 &&
                kwoty[t][3][r] == 0)
                continue;
            const int g = grupa(tabela[0][r]);
            if (g < 0) continue;
            std::size_t i = 0;
            while (i < s.liczbaGrup && s.grupy[i].grupa != g) ++i;
            if (i == s.liczbaGrup) s.grupy[s.liczbaGrup++] = {g, 0, 0, 0};
            s.grupy[i].netto += znak * kwoty[t][1][r];
            s.grupy[i].podatek += znak * kwoty[t][2][r];
            s.grupy[i].brutto += znak * kwoty[t][3][r];
        }
    }
    s.doZaplaty = korekta ? brutto[1] - brutto[0] : brutto[0];
    return true;
}
