// The VAT summary of the item table, the total to pay and the total in words.
#pragma once

#include <QString>
#include <array>

#include "calc/slownie.h"

// The cells of one item line that the summary uses: quantity, unit net price, VAT rate.
struct PozycjaTabeli {
    QString ilosc;
    QString netto;
    QString vat;
};

// One row of the summary grid: rate text, net, VAT and gross amount texts (each at most 20
// characters, the capacity of a stored summary cell). A row is complete or entirely empty.
struct WierszStawki {
    QString stawka;
    QString netto;
    QString kwotaVat;
    QString brutto;
};

struct WynikPodsumowania {
    std::array<WierszStawki, 3> wiersze;
    // Sum of the gross cells as written; NaN when one of them is TekstPozaZakresem.
    double suma = 0;
    QString kwotaDoZaplaty;  // TekstKwoty(suma)
    KwotaWSlowach slownie;   // KwotaPieniezna(suma)
};

// Groups the three item lines by their rate text into at most three summary rows, in the order the
// rates first occur. Line 1 always forms the first row; lines 2 and 3 without a rate text are left out.
WynikPodsumowania ObliczPodsumowanie(const std::array<PozycjaTabeli, 3>& pozycje);

// An amount cell of the summary read back as a number: LiczbaZTekstu, but NaN for
// TekstPozaZakresem, so that an amount too large to write is never counted as 0.
double KwotaZKomorki(const QString& komorka);
