#pragma once
// The amounts a stored document states: the gross totals of its VAT summaries, read from the stored
// cells. The printout, the monthly summary and the exports take them from here.

#include "store/rekordy.h"

struct KwotyDokumentu {
    double przedKorekta = 0;  // the invoice's own summary (`stawki`)
    double poKorekcie = 0;    // the corrected summary (`stawki_korekty`); a correction's only, else 0
    double doZaplaty = 0;     // correction: poKorekcie - przedKorekta; any other record: przedKorekta
};

bool JestKorekta(const TDokument& dokument);
bool JestFaktura(const TDokument& dokument);

// A stored amount cell read as KwotaZKomorki reads a grid cell: TekstPozaZakresem is NaN, so that an
// amount too large to write never counts as 0.
double KwotaKomorki(const TTekst<20>& komorka);

// Sums in extended precision, left to right, as the window's totals are computed. A NaN cell makes
// every total it takes part in NaN, and TekstKwoty writes NaN as TekstPozaZakresem, so a document
// whose amount cannot be read never states, or adds to a month, a smaller amount than it holds.
KwotyDokumentu ObliczKwotyDokumentu(const TDokument& dokument);
