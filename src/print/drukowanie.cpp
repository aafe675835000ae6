// "Drukuj": the document shown is printed on one page, once per copy of the settings.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/faktura_f.h"
#include "app/font_f.h"
#include "app/platforma.h"
#include "print/geometria.h"
#include "print/wydruk.h"
#include "store/cale_pliki.h"
#include "store/pliki_danych.h"
#include "store/stan_ksef.h"
#include "store/uzupelnienia.h"

void Tfaktura_f::SpeedButton20Click() {
    // Read before the dialog: a file that cannot be read is reported and nothing is printed.
    const TUzupelnienia uzupelnienia =
        CzytajLubDomyslny<TUzupelnienia>(pliki(), SciezkaPliku(SciezkaUzupelnien));
    // A document in KSeF carries its verification codes; an unreadable state prints nothing rather
    // than a page without them.
    std::optional<KodyKsefWydruku> kody;
    if (!NowyDokument && !BladKataloguDanych)
        kody = KodyKsefZeStanu(CzytajStanKsef(pliki(), KatalogDanych,
                                              NazwaDokumentu(DokumentZPliku ? *DokumentZPliku : Dokument)));
    Plotno* plotno = platforma().wybierzDrukarke(this);
    if (!plotno) return;
    font_f->CzytajFonty(NazwaFontuWydruku);

    DaneWydruku dane;
    for (std::size_t p = 0; p < LiczbaPolNaglowka; ++p)
        dane.naglowek[p] = TekstPola(static_cast<PoleNaglowka>(p));
    dane.oznaczenie_kopii = Label13->text();
    dane.stopka = Label14->text();
    dane.dotyczy = Label24->text();
    dane.dokument = Dokument;
    dane.liniaFirmy1 = LiniaFirmy1;
    dane.liniaFirmy2 = LiniaFirmy2;
    dane.liniaFirmy3 = LiniaFirmy3;
    dane.nip = DaneFirmy.nip.tekst();
    dane.bank = DaneFirmy.bank.tekst();
    dane.konto = DaneFirmy.konto.tekst();
    dane.czcionka = font_f->Czcionki;
    dane.kontakt = uzupelnienia.kontakt_wydruku.tekst();
    dane.kodyKsef = kody;

    Drukarka drukarka(*plotno);
    DrukujKopie(drukarka, dane, LiczbaKopii);
}
