#pragma once
// Documents for the export tests, filled as the window stores them: the summary of every table is
// what the window's refresh computes from its lines.
#include <QString>
#include <vector>

#include "store/rekordy.h"

struct Linia {
    const char* nazwa;
    const char* pkwiu;
    const char* jm;
    const char* ilosc;
    const char* cena;
    const char* stawka;
};

struct Naglowek {
    const char* numer;
    const char* rozszerzenie;
    const char* data;
    const char* odbiorca1;
    const char* nip;
    const char* forma;
    const char* termin;
    const char* dataUslugi = "";
};

TDokument NowaFaktura(const Naglowek& n, const std::vector<Linia>& linie);
// A correction of `faktura` as the window makes one: the invoice's tables kept, the new ones beside
// them, `dotyczy` the invoice's printed number.
TDokument NowaKorekta(const TDokument& faktura, const Naglowek& n, const std::vector<Linia>& linie);

// The seller of every test (NIP 999-999-99-99) and the invoice settings (copy marker, footer, two
// copies).
TDaneFirmy FirmaTestowa();
TUstawieniaFaktury UstawieniaTestowe();

// Invoices and corrections (raising and lowering), three rates, "zw", 0 % and "np", a private and
// an EU buyer, payment in cash, by transfer and by card, terms in days, as a date and as free text;
// the first record of the file first, one invoice of another year.
std::vector<TDokument> ZestawDokumentow();
