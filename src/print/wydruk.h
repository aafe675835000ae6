#pragma once
// The invoice page: a fixed layout in print units, drawn from plain values that the window collects
// at print time, so the page can be checked element by element without a window or a printer.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "print/czcionki.h"
#include "print/geometria.h"
#include "store/naglowek.h"
#include "store/rekordy.h"
#include "store/stan_ksef.h"

// The KSeF verification codes of a document that has a KSeF state: KOD I always, KOD II for one
// issued offline.
struct KodyKsefWydruku {
    QString linkI;
    QString podpisI;  // the KSeF number once accepted, otherwise "OFFLINE"
    QString linkII;   // empty: no KOD II
};

// The codes a document's KSeF state gives its printout: none without a state or a kept link; the
// label under KOD I is the KSeF number once KSeF accepted the document.
std::optional<KodyKsefWydruku> KodyKsefZeStanu(const std::optional<StanKsef>& stan);

struct DaneWydruku {
    // The form's edits and combo boxes, as shown (or a record's header texts).
    std::array<QString, LiczbaPolNaglowka> naglowek;
    QString& pole(PoleNaglowka p) { return naglowek[static_cast<std::size_t>(p)]; }
    const QString& pole(PoleNaglowka p) const { return naglowek[static_cast<std::size_t>(p)]; }
    QString oznaczenie_kopii;  // caption of Label13
    QString stopka;            // caption of Label14
    QString dotyczy;           // caption of Label24: the corrected invoice
    // The in-memory record: its kind and the four tables.
    TDokument dokument{};
    // The seller as read at start-up; the lines whole, not their display forms.
    QString liniaFirmy1, liniaFirmy2, liniaFirmy3, nip, bank, konto;
    // The printout font in force.
    StanCzcionki czcionka;
    // The contact text after the program's name in the last line ("uzupelnienia.dat"); empty: the
    // name alone.
    QString kontakt;
    // Drawn in the free band above the footer rule; nothing else of the page moves for them.
    std::optional<KodyKsefWydruku> kodyKsef;
};

// What the print command would collect from a window that shows this stored document: the header
// texts, kind and tables of the record, the copy marker and footer of "faktura.dat", the seller of
// "firma.dat", the printout font and the contact text of the last line.
DaneWydruku DaneWydrukuZRekordu(const TDokument& dokument, const TUstawieniaFaktury& ustawienia,
                                const TDaneFirmy& firma, const StanCzcionki& czcionka,
                                const QString& kontakt = {});

// The last line of the printout: the program's name, then eight blanks and the contact text when
// there is one.
QString LiniaProgramu(const QString& kontakt);

// An amount as the page prints it: TekstKwoty + " PLN".
QString TekstKwotyPln(double kwota);

// "Słownie :   " + sign word + " " + złoty words + " " + grosz words.
QString LiniaSlownie(double kwotaDoZaplaty);

// One page, in the order of the layout; within a table row the frames come before the texts.
void RysujStrone(Drukarka& drukarka, const DaneWydruku& dane);

// The print command after the dialog: the font colour, then liczbaKopii jobs of one identical page
// each (none for 0 or less).
void DrukujKopie(Drukarka& drukarka, const DaneWydruku& dane, std::int32_t liczbaKopii);
