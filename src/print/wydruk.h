#pragma once
// The invoice page: a fixed layout in print units, drawn from plain values that the window collects
// at print time, so the page can be checked element by element without a window or a printer.
#include <QString>
#include <cstdint>

#include "print/czcionki.h"
#include "print/geometria.h"
#include "store/rekordy.h"

struct DaneWydruku {
    // The form's edits and combo boxes, as shown.
    QString miejscowosc, data_wystawienia, numerator, rozszerzenie;
    QString odbiorca1, odbiorca2, odbiorca3, odbiorca4, nip_odbiorcy;
    QString forma_zaplaty, termin_zaplaty, data_uslugi, podpis;
    QString oznaczenie_kopii;  // caption of Label13
    QString stopka;            // caption of Label14
    QString dotyczy;           // caption of Label24: the corrected invoice
    // The in-memory record: its kind and the four tables.
    TDokument dokument{};
    // The seller as read at start-up; the lines whole, not their display forms.
    QString liniaFirmy1, liniaFirmy2, liniaFirmy3, nip, bank, konto;
    // The printout font in force.
    StanCzcionki czcionka;
};

// The amounts a page states, from the gross column of the VAT summaries.
struct KwotyWydruku {
    double przedKorekta = 0;  // the invoice's own summary
    double poKorekcie = 0;    // the corrected summary
    double doZaplaty = 0;     // invoice: przedKorekta; correction: the difference
};

bool JestKorekta(const TDokument& dokument);
KwotyWydruku ObliczKwotyWydruku(const TDokument& dokument);
// "Słownie :   " + sign word + " " + złoty words + " " + grosz words.
QString LiniaSlownie(double kwotaDoZaplaty);

// One page, in the order of the layout; within a table row the frames come before the texts.
void RysujStrone(Drukarka& drukarka, const DaneWydruku& dane);

// The print command after the dialog: the font colour, then liczbaKopii jobs of one identical page
// each (none for 0 or less).
void DrukujKopie(Drukarka& drukarka, const DaneWydruku& dane, std::int32_t liczbaKopii);
