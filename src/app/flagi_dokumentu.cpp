// The document flags: what kind of document the form holds and what may be done with it. They
// change only here, all four at once, one function for each change of the form's state.
#include "app/faktura_f.h"

void Tfaktura_f::ustawFlagi(bool nowy, bool korekta, bool zapis, bool usuwanie) {
    NowyDokument = nowy;
    Korekta = korekta;
    ZapisDozwolony = zapis;
    UsuwanieDozwolone = usuwanie;
}

void Tfaktura_f::StanBezDokumentu() { ustawFlagi(false, false, true, true); }

void Tfaktura_f::StanWczytanegoDokumentu(bool korekta) { ustawFlagi(false, korekta, true, true); }

// Saving is allowed only while ZapisDozwolony, and the kind saved is the one Korekta says.
void Tfaktura_f::StanZapisanegoDokumentu() { StanWczytanegoDokumentu(Korekta); }

void Tfaktura_f::StanNowejFaktury() { ustawFlagi(true, false, true, false); }

void Tfaktura_f::StanNowejKorekty() { ustawFlagi(true, true, true, false); }

// The views are offered for any document whose stored kind is a correction, also while a new one
// is being made, so the other flags stay as they are.
void Tfaktura_f::StanWidokuKorekty(bool edycja) {
    ustawFlagi(NowyDokument, Korekta, edycja, UsuwanieDozwolone);
}

void Tfaktura_f::StanFakturyZSzablonu() {
    ustawFlagi(NowyDokument, false, ZapisDozwolony, UsuwanieDozwolone);
}

void Tfaktura_f::PrzywrocStanDokumentu(const StanDokumentu& stan) {
    ustawFlagi(stan.NowyDokument, stan.Korekta, stan.ZapisDozwolony, stan.UsuwanieDozwolone);
}
