// The one table of events of the settings window: every control's event and the handler it runs.
// The handlers are members of the window and of its pages; only the wiring is here.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <functional>

#include "kontrolki/teksty_kontrolek.h"
#include "ustawienia/strona_czcionki.h"
#include "ustawienia/strona_ksef.h"
#include "ustawienia/strona_listy.h"
#include "ustawienia/strona_nowego_katalogu.h"
#include "ustawienia/strona_pol.h"
#include "ustawienia/strona_sieci.h"
#include "ustawienia/ustawienia_f.h"

namespace {

// A button of a page and the handler its click runs; what the handler returns is not used.
template <class T>
struct Klikniecie {
    QPushButton* T::*przycisk;
    std::function<void(T&)> obsluga;
};

using U = StronaUstawien;
using N = StronaNowegoKatalogu;
using S = StronaSieci;
using C = StronaCzcionki;
using L = StronaListy;
using K = StronaKsef;

// Every page with save buttons.
const Klikniecie<U> KliknieciaZapisu[] = {
    {&U::zapisz_, &U::zapisz},        // "Zapisz", "Zapisz listę"
    {&U::cofnij_, &U::cofnijZmiany},  // "Cofnij zmiany"
};

const Klikniecie<N> KliknieciaNowegoKatalogu[] = {
    {&N::wybierz_folder, &N::wybierzFolder},  // "Wybierz…"
    {&N::utworz_katalog, &N::utworz},         // "Utwórz folder danych"
};

const Klikniecie<S> KliknieciaDanych[] = {
    {&S::wybierz_sciezka_lokalna, &S::wybierzSciezkeLokalna},    // "Wybierz…" local folder
    {&S::wybierz_sciezka_sieciowa, &S::wybierzSciezkeSieciowa},  // "Wybierz…" network folder
};

const Klikniecie<C> KliknieciaCzcionki[] = {
    {&C::wybierz_czcionke, &C::wybierzCzcionke},  // "Wybierz czcionkę…"
    {&C::wybierz_kolor, &C::wybierzKolor},        // "Wybierz kolor…"
};

const Klikniecie<L> KliknieciaListy[] = {
    // The list's file
    {&L::lista_domyslna, &L::otworzDomyslna},  // "Lista domyślna"
    {&L::otworz_liste, &L::otworzInna},        // "Otwórz listę…"
    {&L::nowa_lista, &L::nowaLista},           // "Nowa lista…"
    {&L::import_csv, &L::importuj},            // "Import CSV…"
    {&L::eksport_csv, &L::eksportuj},          // "Eksport CSV…"
    // One entry
    {&L::nowy_wpis, &L::nowyWpis},          // "Nowy wpis"
    {&L::zastosuj_wpis, &L::zastosujWpis},  // "Zastosuj"
    {&L::usun_wpis, &L::usunWpis},          // "Usuń wpis"
};

const Klikniecie<K> KliknieciaKsef[] = {
    {&K::wybierz_certyfikat, &K::wybierzCertyfikat},                 // "Wybierz…" certificate
    {&K::wybierz_klucz, &K::wybierzKlucz},                           // "Wybierz…" key
    {&K::wybierz_certyfikat_offline, &K::wybierzCertyfikatOffline},  // "Wybierz…" Offline certificate
    {&K::wybierz_klucz_offline, &K::wybierzKluczOffline},            // "Wybierz…" Offline key
    {&K::sprawdz_polaczenie, &K::sprawdzPolaczenie},                 // "Sprawdź połączenie"
};

}  // namespace

void Tustawienia_f::polaczZdarzenia() {
    using W = Tustawienia_f;
    const auto klikniecia = [](auto* strona, const auto& tabela) {
        for (const auto& k : tabela)
            connect(strona->*k.przycisk, &QPushButton::clicked, strona, [strona, &k] { k.obsluga(*strona); });
    };
    // The character count of an edited text follows the text. A comma typed (or pasted) into a
    // number field becomes the point the files use, as it is typed; a text read from a file is
    // shown as it is.
    const auto licznik = [](PoleTekstu& pole) {
        connect(pole.edycja, &QLineEdit::textChanged, pole.edycja, [&pole] { pole.odswiezLicznik(); });
        if (pole.opis.liczba)
            connect(pole.edycja, &QLineEdit::textEdited, pole.edycja,
                    [&pole] { KropkiZamiastPrzecinkow(pole.edycja); });
    };
    // Every edited text of a page: its count, then the page's handler of the field.
    const auto pola = [&licznik](auto* strona) {
        for (int i = 0; i < strona->liczbaPol(); ++i) {
            licznik(strona->pole(i));
            connect(strona->pole(i).edycja, &QLineEdit::textChanged, strona,
                    [strona, i] { strona->zmienionoPole(i); });
        }
    };

    // The window
    connect(otworz_folder, &QPushButton::clicked, this, &W::wybierzFolder);
    connect(uruchom_modul, &QPushButton::clicked, this, &W::uruchomModul);
    connect(strony, &QListWidget::currentRowChanged, this, &W::wybranoStrone);
    connect(nowy_katalog, &N::utworzono, this, &W::utworzonoKatalog);
    for (StronaUstawien* s : strony_) {
        connect(s, &U::folderyZmienione, this, &W::zmienionoFoldery);
        if (!s->zapisz_) continue;
        klikniecia(s, KliknieciaZapisu);
        connect(s, &U::stanZmieniony, s, &U::odswiezPrzyciskiZapisu);
    }
    // "Nowy katalog danych"
    klikniecia(nowy_katalog, KliknieciaNowegoKatalogu);
    connect(nowy_katalog->sciezka_nowego, &QLineEdit::textChanged, nowy_katalog, &N::odswiezUwage);
    // "Firma", "Faktura", "Płatność i wydruk", "Ewidencja"
    for (StronaPol* s : {firma, faktura, platnosc, ewidencja}) {
        pola(s);
        for (int i = 0; i < s->liczbaPol(); ++i)
            if (QPushButton* wybierz = s->wyborFolderu(i))
                connect(wybierz, &QPushButton::clicked, s, [s, i] { s->wybierzFolder(i); });
    }
    // "Dane"
    klikniecia(dane, KliknieciaDanych);
    for (QRadioButton* tryb : {dane->tryb_lokalny, dane->tryb_sieciowy, dane->tryb_biezacy})
        connect(tryb, &QRadioButton::toggled, dane, &S::zmienionoUstawienie);
    for (PoleTekstu* pole : {dane->sciezka_lokalna.get(), dane->sciezka_sieciowa.get()}) {
        licznik(*pole);
        connect(pole->edycja, &QLineEdit::textChanged, dane, &S::zmienionoUstawienie);
    }
    // "Czcionka wydruku"
    klikniecia(czcionka, KliknieciaCzcionki);
    // "Klienci", "Usługi"
    for (StronaListy* s : {klienci, uslugi}) {
        pola(s);
        klikniecia(s, KliknieciaListy);
        connect(s->szukaj, &QLineEdit::textChanged, s, &L::filtruj);
        connect(s->tabela, &QTableWidget::itemSelectionChanged, s, &L::wyborWTabeli);
        connect(s, &U::stanZmieniony, s, &L::odswiezStan);
    }
    // "KSeF": every choice and every text is a change of the page.
    klikniecia(ksef, KliknieciaKsef);
    for (QRadioButton* r : ksef->findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, ksef, &K::zmienionoUstawienie);
    for (QLineEdit* e : ksef->findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textChanged, ksef, &K::zmienionoUstawienie);
}
