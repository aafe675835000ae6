// The client and service lists: read from a list file the user picks, shown in the pick-list
// panel, and a chosen entry copied into the form.
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "app/faktura_f.h"
#include "app/lista_linii.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "registers/linia_listy.h"
#include "registers/linie_listy.h"
#include "store/plik_rekordow.h"

namespace {

// The first record of the file into the buffer kept for the whole run, in one read.
template <class TBaza>
void CzytajBaze(Tfaktura_f& okno, const QString& sciezka, std::unique_ptr<TBaza>& baza) {
    if (!baza) baza = std::make_unique<TBaza>();
    PlikRekordow plik(okno.pliki(), sciezka, sizeof(TBaza));
    plik.otworzDoOdczytu();
    plik.czytaj(*baza);
    plik.zamknij();
}

void LinieKlientow(const TBazaKlientow& b, LinieListy& linie, std::vector<int>& sloty) {
    for (int s = 0; s < TBazaKlientow::LiczbaMiejsc; ++s) {
        if (b.odbiorca1[s].dlugoscTekstu() == 0) continue;
        LiniaListy linia;
        linia << b.numer[s] << ' ' << b.odbiorca1[s] << ' ' << b.odbiorca2[s] << ' ' << b.nip_odbiorcy[s]
              << ' ' << b.odbiorca4[s] << ' ' << b.odbiorca3[s];
        linie.dodaj(linia);
        sloty.push_back(s);
    }
}

void LinieUslug(const TBazaUslug& b, LinieListy& linie, std::vector<int>& sloty) {
    for (int s = 0; s < TBazaUslug::LiczbaMiejsc; ++s) {
        if (b.nazwa_uslugi[s].dlugoscTekstu() == 0) continue;
        LiniaListy linia;
        linia << b.numer[s] << ' ' << b.nazwa_uslugi[s] << ' ' << b.pkwiu[s] << ' ' << b.netto[s] << ' '
              << b.vat[s];
        linie.dodaj(linia);
        sloty.push_back(s);
    }
}

// Opens a list in the pick-list panel from a file the user picks. When the file cannot be read no
// list is shown and the button column is usable again.
template <class TBaza>
void OtworzListe(Tfaktura_f& okno, const OpisDialoguPliku& dialog, RodzajListy tryb, const QString& tytul,
                 std::unique_ptr<TBaza>& baza, void (*linie)(const TBaza&, LinieListy&, std::vector<int>&)) {
    okno.ZDialogiem([&] {
        const std::optional<QString> wybrany = okno.platforma().plikDoOtwarcia(&okno, dialog);
        if (!wybrany) return;
        const QString sciezka = QFileInfo(*wybrany).absoluteFilePath();
        okno.Panel1->setEnabled(false);
        okno.TrybListy = tryb;
        try {
            okno.Label20->setText(tytul + sciezka);
            okno.lista->clear();
            okno.SlotyListy.clear();
            CzytajBaze(okno, sciezka, baza);
            LinieListy wiersze;
            linie(*baza, wiersze, okno.SlotyListy);
            okno.lista->ustawLinie(std::move(wiersze));
            okno.lista->setCurrentRow(0);
            okno.PokazPanelListy();
        } catch (...) {
            okno.Panel1->setEnabled(true);
            throw;
        }
    });
}

}  // namespace

void Tfaktura_f::WstawWpisBazy(int indeks) {
    Tfaktura_f& okno = *this;
    if (indeks < 0 || indeks >= static_cast<int>(okno.SlotyListy.size())) return;
    const int s = okno.SlotyListy[static_cast<std::size_t>(indeks)];
    if (okno.TrybListy == RodzajListy::Klienci && okno.BazaKlientow) {
        const TBazaKlientow& b = *okno.BazaKlientow;
        okno.odbiorca1->setText(b.odbiorca1[s].tekst());
        okno.odbiorca2->setText(b.odbiorca2[s].tekst());
        okno.odbiorca3->setText(b.odbiorca3[s].tekst());
        okno.odbiorca4->setText(b.odbiorca4[s].tekst());
        okno.nip_odbiorcy->setText(b.nip_odbiorcy[s].tekst());
    } else if (okno.TrybListy == RodzajListy::Uslugi && okno.BazaUslug) {
        // The invoice's tables shown before a correction are read-only.
        if (!okno.tabela->isEnabled()) return;
        // Without a cursor the grid stands on its first item row.
        const int r = std::clamp(okno.tabela->wierszKursora(), 1, 3);
        const TBazaUslug& b = *okno.BazaUslug;
        okno.tabela->ustawKomorke(1, r, b.nazwa_uslugi[s].tekst());
        okno.tabela->ustawKomorke(2, r, b.pkwiu[s].tekst());
        okno.tabela->ustawKomorke(3, r, b.jm[s].tekst());
        okno.tabela->ustawKomorke(5, r, b.netto[s].tekst());
        okno.tabela->ustawKomorke(6, r, b.vat[s].tekst());
    }
}

// The dialogs also offer the default list that the settings program fills (klienci.dat,
// uslugi.dat beside the chosen lists in "Uslugi"), so the list a person entered is there to pick.
OpisDialoguPliku Tfaktura_f::OpenDialog2() {
    return {QStringLiteral("Lista klientów|*.kli;klienci.dat"), QStringLiteral("*.kli"),
            QStringLiteral("Uslugi"), QString(), false};
}

void Tfaktura_f::CzytajBazeKlientow(const QString& sciezka) { CzytajBaze(*this, sciezka, BazaKlientow); }

void Tfaktura_f::SpeedButton5Click() {
    OtworzListe(*this, OpenDialog2(), RodzajListy::Klienci, QStringLiteral("Baza klientów "), BazaKlientow,
                &LinieKlientow);
}

void Tfaktura_f::SpeedButton13Click() {
    const OpisDialoguPliku dialog{QStringLiteral("Lista usług|*.usl;uslugi.dat"), QStringLiteral("*.usl"),
                                  QStringLiteral("Uslugi"), QString(), false};
    OtworzListe(*this, dialog, RodzajListy::Uslugi, QStringLiteral("Lista usług "), BazaUslug, &LinieUslug);
}

void Tfaktura_f::odbiorca1DblClick() {
    TrybListy = RodzajListy::Klienci;
    SpeedButton5Click();
}

void Tfaktura_f::odbiorca2DblClick() { odbiorca1DblClick(); }
void Tfaktura_f::odbiorca3DblClick() { odbiorca1DblClick(); }
void Tfaktura_f::odbiorca4DblClick() { odbiorca1DblClick(); }

void Tfaktura_f::tabelaDblClick() {
    TrybListy = RodzajListy::Uslugi;
    SpeedButton13Click();
}
