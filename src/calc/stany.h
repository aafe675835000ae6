// Enabled and visible states of the buttons and labels that follow the window state on every tick.
#pragma once

#include <QString>
#include <optional>

#include "calc/dokument.h"

struct StanOkna {
    bool nowyDokument = false;
    bool korekta = false;
    bool zapisDozwolony = false;
    bool usuwanieDozwolone = false;
    RodzajDokumentu rodzaj = RodzajDokumentu::Inny;  // of Dokument
    QString tekstLata;                               // text of the year combo box
    QString formaZaplaty;                            // text of the payment form combo box
};

struct StanyPrzyciskow {
    bool wstawSzablonWlaczony = false;
    bool wstawSzablonWidoczny = false;
    bool zapiszSzablonWlaczony = false;
    bool zapiszSzablonWidoczny = false;
    bool drukujWlaczony = false;
    bool podliczenieWlaczony = false;
    bool wyliczWlaczony = false;
    bool notatkaKorektyWidoczna = false;
    std::optional<bool> widokiKorektyWidoczne;  // nullopt: leave as they are
    bool zapiszFaktureWlaczony = false;
    bool usunFaktureWlaczony = false;
    bool terminNaDzisiaj = false;  // set the payment term to the start-up date
};

StanyPrzyciskow RegulyPrzyciskow(const StanOkna& stan);
