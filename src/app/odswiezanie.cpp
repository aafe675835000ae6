// The 100 ms refresh: buttons follow the window state, then the VAT summary, the total and the total
// in words are recomputed from the item grid. Every tick recomputes everything, but a control is
// only touched when its value changes, so an idle window costs next to nothing.
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/siatka.h"
#include "calc/podsumowanie.h"
#include "calc/stany.h"

namespace {

void Wlacz(QWidget* w, bool wlaczony) {
    // The widget's own setting, not the one inherited from a disabled button column.
    if (w->testAttribute(Qt::WA_ForceDisabled) == wlaczony) w->setEnabled(wlaczony);
}

void Pokaz(QWidget* w, bool widoczny) {
    if (w->isHidden() == widoczny) w->setVisible(widoczny);
}

}  // namespace

void Tfaktura_f::Timer2Timer() {
    StanOkna stan;
    stan.nowyDokument = NowyDokument;
    stan.korekta = Korekta;
    stan.zapisDozwolony = ZapisDozwolony;
    stan.usuwanieDozwolone = UsuwanieDozwolone;
    stan.rodzaj = Rodzaj(Dokument);
    stan.tekstLata = lata->currentText();
    stan.formaZaplaty = forma_zaplaty->currentText();
    const StanyPrzyciskow stany = RegulyPrzyciskow(stan);

    Wlacz(SpeedButton22, stany.wstawSzablonWlaczony);
    Pokaz(SpeedButton22, stany.wstawSzablonWidoczny);
    Wlacz(SpeedButton21, stany.zapiszSzablonWlaczony);
    Pokaz(SpeedButton21, stany.zapiszSzablonWidoczny);
    Wlacz(SpeedButton20, stany.drukujWlaczony);
    Wlacz(SpeedButton17, stany.podliczenieWlaczony);
    Wlacz(SpeedButton19, stany.wyliczWlaczony);
    Pokaz(Label26, stany.notatkaKorektyWidoczna);
    if (stany.widokiKorektyWidoczne) {
        Pokaz(SpeedButton15, *stany.widokiKorektyWidoczne);
        Pokaz(SpeedButton16, *stany.widokiKorektyWidoczne);
    }
    Wlacz(SpeedButton2, stany.zapiszFaktureWlaczony);
    Wlacz(SpeedButton8, stany.usunFaktureWlaczony);
    if (stany.terminNaDzisiaj && termin_zaplaty->currentText() != DataDzisiaj)
        termin_zaplaty->setEditText(DataDzisiaj);

    std::array<PozycjaTabeli, 3> pozycje;
    for (int r = 1; r <= 3; ++r)
        pozycje[r - 1] = {tabela->komorka(4, r), tabela->komorka(5, r), tabela->komorka(6, r)};
    const WynikPodsumowania wynik = ObliczPodsumowanie(pozycje);
    for (int r = 1; r <= 3; ++r) {
        const WierszStawki& w = wynik.wiersze[r - 1];
        tabela_vat->ustawKomorke(0, r, w.stawka);
        tabela_vat->ustawKomorke(1, r, w.netto);
        tabela_vat->ustawKomorke(2, r, w.kwotaVat);
        tabela_vat->ustawKomorke(3, r, w.brutto);
    }
    KwotaDoZaplaty = wynik.kwotaDoZaplaty;
    UstawTekst(Label17, wynik.kwotaDoZaplaty + QStringLiteral(" PLN"));
    UstawTekst(Label19, wynik.slownie.zlote);
    UstawTekst(Label58, wynik.slownie.grosze);
}
