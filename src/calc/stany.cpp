#include "calc/stany.h"

StanyPrzyciskow RegulyPrzyciskow(const StanOkna& stan) {
    StanyPrzyciskow s;
    s.wstawSzablonWlaczony = stan.nowyDokument;
    s.wstawSzablonWidoczny = !stan.korekta;
    s.zapiszSzablonWlaczony = !stan.nowyDokument;
    s.zapiszSzablonWidoczny = !stan.korekta;
    s.drukujWlaczony = !stan.nowyDokument;
    s.podliczenieWlaczony = !stan.nowyDokument;
    s.wyliczWlaczony = !stan.tekstLata.isEmpty();
    s.notatkaKorektyWidoczna = stan.korekta;
    // The correction views follow the kind of the document last read or saved, not the Korekta flag.
    if (stan.rodzaj == RodzajDokumentu::Korekta) {
        s.widokiKorektyWidoczne = true;
    } else if (stan.rodzaj == RodzajDokumentu::Faktura) {
        s.widokiKorektyWidoczne = false;
    }
    s.zapiszFaktureWlaczony = stan.zapisDozwolony;
    s.usunFaktureWlaczony = stan.usuwanieDozwolone;
    s.terminNaDzisiaj = stan.formaZaplaty == QStringView(u"Gotówka");
    return s;
}
