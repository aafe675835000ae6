// "Drukuj": the document shown is printed on one page, once per copy of the settings.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "print/font_f.h"
#include "print/geometria.h"
#include "print/wydruk.h"

void Tfaktura_f::SpeedButton20Click() {
    Plotno* plotno = platforma().wybierzDrukarke(this);
    if (!plotno) return;
    font_f->CzytajFonty(QStringLiteral("font_welkaro.dat"));

    DaneWydruku dane;
    dane.miejscowosc = miejscowosc->text();
    dane.data_wystawienia = data_wystawienia->text();
    dane.numerator = numerator->text();
    dane.rozszerzenie = rozszerzenie->text();
    dane.odbiorca1 = odbiorca1->text();
    dane.odbiorca2 = odbiorca2->text();
    dane.odbiorca3 = odbiorca3->text();
    dane.odbiorca4 = odbiorca4->text();
    dane.nip_odbiorcy = nip_odbiorcy->text();
    dane.forma_zaplaty = forma_zaplaty->currentText();
    dane.termin_zaplaty = termin_zaplaty->currentText();
    dane.data_uslugi = data_uslugi->text();
    dane.podpis = podpis->text();
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

    Drukarka drukarka(*plotno);
    DrukujKopie(drukarka, dane, LiczbaKopii);
}
