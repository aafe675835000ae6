// The pick-list panel over the document panel: the list of stored documents, the search, taking a
// line and leaving the panel.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <vector>

#include "app/faktura_f.h"
#include "app/lista_linii.h"
#include "app/platforma.h"
#include "registers/linia_listy.h"
#include "registers/linie_listy.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

// The document file is read this many records at a time: few system calls for a large file, and
// a block that stays in the processor's cache while its lines are made.
constexpr std::size_t RekordowWBloku = 32;

LiniaListy LiniaDokumentu(const TDokument& d) {
    LiniaListy linia;
    linia << d.rodzaj << ' ' << d.numerator << '/' << d.rozszerzenie << ' ' << d.odbiorca1;
    return linia;
}

// One line per whole record, in file order, read through buffers of its own: Dokument holds the
// document of the form and must not change until a line is taken. A long file is read in two
// halves at once, so that filling the list costs about what reading the file does.
LinieListy LinieDokumentow(SystemPlikow& system, const QString& sciezka) {
    std::array<LinieListy, 2> czesci;
    WCzesciachNaRaz(system, LiczbaRekordow<TDokument>(system, sciezka),
                    [&](int numer, std::int64_t od, std::int64_t doRekordu) {
                        KazdyRekordZakresu<TDokument>(
                            system, sciezka, od, doRekordu, RekordowWBloku,
                            [&linie = czesci[numer]](const TDokument& d, std::int64_t) {
                                linie.dodaj(LiniaDokumentu(d));
                            });
                    });
    czesci[0].dolacz(std::move(czesci[1]));
    return std::move(czesci[0]);
}

void PrzywrocStanSprzedListy(Tfaktura_f& okno) {
    if (!okno.StanPrzedListaFaktur) return;
    const Tfaktura_f::StanDokumentu& stan = *okno.StanPrzedListaFaktur;
    okno.PrzywrocStanDokumentu(stan);
    okno.SpeedButton6->setEnabled(stan.NowaFakturaWlaczona);
    okno.StanPrzedListaFaktur.reset();
}

// The stored document behind line `indeks` of the invoice list becomes the document of the form.
void WczytajDokument(Tfaktura_f& okno, int indeks) {
    PlikRekordow plik(okno.pliki(), okno.SciezkaPliku(SciezkaDokumentow), sizeof(TDokument));
    plik.otworzDoOdczytu();
    plik.szukaj(indeks);
    // Dokument and its position change together, and only once the record has been read whole.
    TDokument dokument{};
    plik.czytaj(dokument);
    okno.Dokument = dokument;
    okno.PozycjaDokumentu = indeks + 1;
    okno.StanPrzedListaFaktur.reset();
    okno.PokazWczytanyDokument();
    plik.zamknij();
}

}  // namespace

void Tfaktura_f::PokazPanelListy() { PokazNad(Panel3, MiejscePanelu3); }

void Tfaktura_f::SpeedButton3Click() {
    if (!StanPrzedListaFaktur)
        StanPrzedListaFaktur = StanDokumentu{NowyDokument, Korekta, ZapisDozwolony, UsuwanieDozwolone,
                                             !SpeedButton6->testAttribute(Qt::WA_ForceDisabled)};
    Panel1->setEnabled(false);
    StanBezDokumentu();
    SpeedButton6->setEnabled(true);
    TrybListy = RodzajListy::Dokumenty;
    Label20->setText(QStringLiteral("Lista faktur"));
    lista->clear();
    SlotyListy.clear();
    try {
        lista->ustawLinie(LinieDokumentow(pliki_, SciezkaPliku(SciezkaDokumentow)));
    } catch (...) {
        // No list is shown: the window goes back to the document it was editing.
        PrzywrocStanSprzedListy(*this);
        Panel1->setEnabled(true);
        throw;
    }
    lista->setCurrentRow(0);
    PokazPanelListy();
}

void Tfaktura_f::SpeedButton12Click() {
    const QString fraza = szukaj->text();
    // The first line is never searched, and an empty phrase finds nothing.
    if (!fraza.isEmpty()) {
        if (const long long wiersz = lista->linie().znajdz(fraza, 1);
            wiersz >= 0 && wiersz < lista->count()) {
            lista->setCurrentRow(static_cast<int>(wiersz));
            return;
        }
    }
    platforma_.informacja(this, QStringLiteral("Informacja"),
                          QStringLiteral("Brak danych spełniających zadane kryteria."));
    lista->setCurrentRow(0);
}

void Tfaktura_f::SpeedButton11Click() {
    const int indeks = lista->wybranyWiersz();
    // Only an empty list has no selected line: nothing can be taken and the panel stays open for
    // "Powrót".
    if (indeks < 0) return;
    if (TrybListy == RodzajListy::Klienci || TrybListy == RodzajListy::Uslugi)
        WstawWpisBazy(indeks);
    else if (TrybListy == RodzajListy::Dokumenty)
        WczytajDokument(*this, indeks);
    Panel3->hide();
    Panel1->setEnabled(true);
}

void Tfaktura_f::listaDblClick() { SpeedButton11Click(); }

void Tfaktura_f::SpeedButton10Click() {
    Panel3->hide();
    Panel1->setEnabled(true);
    // The form still shows the document it showed when the invoice list opened; saving it must
    // neither write it over another record nor turn a correction into an invoice.
    PrzywrocStanSprzedListy(*this);
}
