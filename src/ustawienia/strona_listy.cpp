#include "ustawienia/strona_listy.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "calc/odmiana.h"
#include "kontrolki/teksty_kontrolek.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "ustawienia/numery.h"

namespace {

// A CSV file of a list is a few MB at most; anything far larger is not one.
constexpr std::uint64_t NajwiekszyCsv = 64ull * 1024 * 1024;
// Rejected lines shown in one message; the rest are counted.
constexpr int PokazanychOdrzucen = 30;

QString Wierszy(std::int64_t n) {
    return LiczbaIRzeczownik(n, QStringLiteral("wiersz"), QStringLiteral("wiersze"),
                             QStringLiteral("wierszy"));
}

}  // namespace

StronaListy::StronaListy(KontekstUstawien& kontekst, RodzajBazy rodzaj, QWidget* rodzic)
    : StronaUstawien(kontekst, rodzaj == RodzajBazy::Klienci ? "strona_klienci" : "strona_uslugi",
                     rodzaj == RodzajBazy::Klienci ? QStringLiteral("Klienci") : QStringLiteral("Usługi"),
                     rodzic),
      rodzaj_(rodzaj) {
    plik_->hide();
    plik_listy = Nazwany(new QLabel(this), "plik_listy", QStringLiteral("Plik listy"));
    plik_listy->setWordWrap(true);
    plik_listy->setTextInteractionFlags(Qt::TextSelectableByMouse);
    uklad_->insertWidget(1, plik_listy);

    dodajPrzyciskiPlikow();
    dodajWyszukiwanie();
    const std::unique_ptr<Lista> wzor = Lista::Nowa(rodzaj_, QString());
    dodajTabele(wzor->pola());
    dodajEdytorWpisu(wzor->pola());
    dodajPrzyciskiZapisu(QStringLiteral("Zapisz listę"));
    pokazListe();
}

void StronaListy::dodajPrzyciskiPlikow() {
    auto* pliki = new QHBoxLayout;
    lista_domyslna = Przycisk(this, "lista_domyslna", QStringLiteral("Lista domyślna"));
    otworz_liste = Przycisk(this, "otworz_liste", QStringLiteral("Otwórz listę…"));
    nowa_lista = Przycisk(this, "nowa_lista", QStringLiteral("Nowa lista…"));
    import_csv = Przycisk(this, "import_csv", QStringLiteral("Import CSV…"));
    eksport_csv = Przycisk(this, "eksport_csv", QStringLiteral("Eksport CSV…"));
    for (QPushButton* p : {lista_domyslna, otworz_liste, nowa_lista, import_csv, eksport_csv})
        pliki->addWidget(p);
    pliki->addStretch();
    uklad_->addLayout(pliki);
}

void StronaListy::dodajWyszukiwanie() {
    auto* wyszukiwanie = new QHBoxLayout;
    auto* etykietaSzukaj = new QLabel(QStringLiteral("Szukaj:"), this);
    etykietaSzukaj->setObjectName(QStringLiteral("etykieta_szukaj"));
    etykietaSzukaj->setAccessibleName(QStringLiteral("Szukaj"));
    szukaj = Nazwany(new QLineEdit(this), "szukaj", QStringLiteral("Szukaj na liście"));
    etykietaSzukaj->setBuddy(szukaj);
    stan_listy = Nazwany(new QLabel(this), "stan_listy", QStringLiteral("Liczba wpisów"));
    wyszukiwanie->addWidget(etykietaSzukaj);
    wyszukiwanie->addWidget(szukaj, 1);
    wyszukiwanie->addWidget(stan_listy);
    uklad_->addLayout(wyszukiwanie);
}

void StronaListy::dodajTabele(const std::vector<OpisPola>& pola) {
    QStringList naglowki{QStringLiteral("Nr")};
    for (const OpisPola& p : pola) naglowki.append(p.etykieta);
    tabela = Nazwany(new QTableWidget(0, static_cast<int>(naglowki.size()), this), "tabela", nazwaListy());
    tabela->setHorizontalHeaderLabels(naglowki);
    tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabela->setSelectionMode(QAbstractItemView::SingleSelection);
    tabela->verticalHeader()->hide();
    // A row is one line high: a name broken into lines would show only its first.
    tabela->setWordWrap(false);
    tabela->horizontalHeader()->setStretchLastSection(true);
    tabela->horizontalHeader()->setObjectName(QStringLiteral("naglowek_tabeli"));
    tabela->horizontalHeader()->setAccessibleName(QStringLiteral("Nagłówek listy"));
    uklad_->addWidget(tabela, 1);
}

void StronaListy::dodajEdytorWpisu(const std::vector<OpisPola>& pola) {
    auto* ramka = Nazwany(new QGroupBox(QStringLiteral("Wpis"), this), "wpis", QStringLiteral("Wpis"));
    auto* ukladWpisu = new QVBoxLayout(ramka);
    edytowany_wpis = Nazwany(new QLabel(ramka), "edytowany_wpis", QStringLiteral("Edytowany wpis"));
    ukladWpisu->addWidget(edytowany_wpis);
    auto* siatka = new QGridLayout;
    siatka->setColumnStretch(1, 1);
    for (int i = 0; i < static_cast<int>(pola.size()); ++i)
        pola_.push_back(std::make_unique<PoleTekstu>(ramka, siatka, i, pola[static_cast<std::size_t>(i)]));
    ukladWpisu->addLayout(siatka);
    auto* przyciskiWpisu = new QHBoxLayout;
    nowy_wpis = Przycisk(ramka, "nowy_wpis", QStringLiteral("Nowy wpis"));
    zastosuj_wpis = Przycisk(ramka, "zastosuj_wpis", QStringLiteral("Zastosuj"));
    usun_wpis = Przycisk(ramka, "usun_wpis", QStringLiteral("Usuń wpis"));
    przyciskiWpisu->addWidget(nowy_wpis);
    przyciskiWpisu->addStretch();
    przyciskiWpisu->addWidget(usun_wpis);
    przyciskiWpisu->addWidget(zastosuj_wpis);
    ukladWpisu->addLayout(przyciskiWpisu);
    uklad_->addWidget(ramka);
}

void StronaListy::zmienionoPole(int i) {
    if (rodzaj_ == RodzajBazy::Klienci && i == 4)
        pole(i).ustawUwage(UwagaONip(pole(i).tekst()).value_or(QString()));
    if (pole(i).opis.liczba) pole(i).ustawUwage(UwagaOLiczbie(pole(i).tekst()));
    emit stanZmieniony();
}

QString StronaListy::domyslnaSciezka() const {
    return SciezkaDanych(foldery().danych,
                         rodzaj_ == RodzajBazy::Klienci ? SciezkaBazyKlientow : SciezkaBazyUslug);
}

QString StronaListy::nazwaListy() const {
    return rodzaj_ == RodzajBazy::Klienci ? QStringLiteral("Lista klientów") : QStringLiteral("Lista usług");
}

OpisDialogu StronaListy::dialogListy(const QString& tytul) const {
    const bool klienci = rodzaj_ == RodzajBazy::Klienci;
    OpisDialogu opis;
    opis.tytul = tytul;
    opis.filtr = nazwaListy() +
                 (klienci ? QStringLiteral(" (*.kli *.dat)") : QStringLiteral(" (*.usl *.dat)")) +
                 QStringLiteral(";;Wszystkie pliki (*)");
    opis.folder =
        RzeczywistaSciezka(kontekst_.pliki, SciezkaDanych(foldery().danych, QStringLiteral("\\Uslugi")));
    opis.domyslneRozszerzenie = klienci ? QStringLiteral("kli") : QStringLiteral("usl");
    return opis;
}

void StronaListy::wczytaj() {
    pokazBladOdczytu({});
    lista_.reset();
    if (PlikIstnieje(pliki(), domyslnaSciezka()))
        otworzPlik(domyslnaSciezka());
    else
        pokazListe();
    wczytana = true;
}

void StronaListy::porzucZmiany() {
    if (lista_ && !lista_->nowa()) {
        otworzPlik(lista_->sciezka());
        return;
    }
    lista_.reset();
    pokazBladOdczytu({});
    pokazListe();
}

bool StronaListy::otworzPlik(const QString& sciezka) {
    pokazBladOdczytu({});
    try {
        ustawListe(Lista::Otworz(rodzaj_, pliki(), sciezka));
        return true;
    } catch (const BladPliku& blad) {
        lista_.reset();
        pokazBladOdczytu(QStringLiteral("Nie można odczytać listy. ") + blad.komunikat());
        pokazListe();
        return false;
    }
}

void StronaListy::ustawListe(std::unique_ptr<Lista> lista) {
    lista_ = std::move(lista);
    pokazListe();
}

void StronaListy::pokazListe() {
    if (!lista_) {
        UstawTekst(
            plik_listy,
            PlikIstnieje(pliki(), domyslnaSciezka())
                ? QStringLiteral("Nie otwarto listy.")
                : QStringLiteral(
                      "Lista domyślna „%1” jeszcze nie istnieje (moduł tworzy ją pustą przy starcie). "
                      "Przycisk „Lista domyślna” przygotuje ją do zapisu; można też otworzyć inną listę.")
                      .arg(RzeczywistaSciezka(pliki(), domyslnaSciezka())));
    } else {
        QString tekst = nazwaListy() + QStringLiteral(": ") + RzeczywistaSciezka(pliki(), lista_->sciezka());
        if (lista_->nowa()) tekst += QStringLiteral(" (nowa, jeszcze nie zapisana)");
        UstawTekst(plik_listy, tekst);
    }
    wypelnijTabele();
    edytuj(std::nullopt);
}

void StronaListy::wypelnijTabele() {
    const QSignalBlocker blokada(tabela);
    tabela->setUpdatesEnabled(false);
    tabela->clearContents();
    const std::vector<int> miejsca = lista_ ? lista_->uzyteMiejsca() : std::vector<int>{};
    tabela->setRowCount(static_cast<int>(miejsca.size()));
    for (int w = 0; w < static_cast<int>(miejsca.size()); ++w)
        wypelnijWiersz(w, miejsca[static_cast<std::size_t>(w)]);
    // Each column as wide as its longest text (Qt looks at the first thousand rows), so that the
    // narrow number column leaves the names their room.
    tabela->resizeColumnsToContents();
    tabela->setUpdatesEnabled(true);
    filtruj();
}

void StronaListy::wypelnijWiersz(int wiersz, int miejsce) {
    auto* numer = new QTableWidgetItem(lista_->numer(miejsce));
    numer->setData(Qt::UserRole, miejsce);
    tabela->setItem(wiersz, 0, numer);
    const QStringList wartosci = lista_->wpis(miejsce);
    for (int k = 0; k < static_cast<int>(wartosci.size()); ++k)
        tabela->setItem(wiersz, k + 1, new QTableWidgetItem(wartosci[k]));
}

int StronaListy::wierszMiejsca(int miejsce) const {
    for (int w = 0; w < tabela->rowCount(); ++w)
        if (tabela->item(w, 0) && tabela->item(w, 0)->data(Qt::UserRole).toInt() == miejsce) return w;
    return -1;
}

void StronaListy::filtruj() {
    const QString fraza = szukaj->text().trimmed();
    for (int w = 0; w < tabela->rowCount(); ++w) {
        bool pasuje = fraza.isEmpty();
        for (int k = 0; !pasuje && k < tabela->columnCount(); ++k)
            pasuje = tabela->item(w, k) && tabela->item(w, k)->text().contains(fraza, Qt::CaseInsensitive);
        tabela->setRowHidden(w, !pasuje);
    }
    odswiezStan();
}

void StronaListy::odswiezStan() {
    const bool jest = lista_ != nullptr;
    if (jest) {
        int widoczne = 0;
        for (int w = 0; w < tabela->rowCount(); ++w) widoczne += tabela->isRowHidden(w) ? 0 : 1;
        QString tekst =
            QStringLiteral("Wpisów: %1 z %2 miejsc").arg(tabela->rowCount()).arg(lista_->liczbaMiejsc());
        if (widoczne != tabela->rowCount()) tekst += QStringLiteral(" (widocznych %1)").arg(widoczne);
        UstawTekst(stan_listy, tekst);
    } else {
        UstawTekst(stan_listy, QString());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{import_csv, eksport_csv, nowy_wpis, szukaj, tabela})
        w->setEnabled(jest);
    const bool edycja = jest && miejsce_.has_value();
    for (const auto& p : pola_) p->edycja->setEnabled(edycja);
    zastosuj_wpis->setEnabled(edycja && edytorZmieniony());
    usun_wpis->setEnabled(edycja && lista_->uzyte(*miejsce_));
    if (zapisz_) {
        zapisz_->setEnabled(zmieniona());
        cofnij_->setEnabled(zmieniona());
    }
}

QStringList StronaListy::wartosciEdytora() const {
    QStringList wartosci;
    for (const auto& p : pola_) wartosci.append(p->tekst());
    return wartosci;
}

bool StronaListy::edytorZmieniony() const { return miejsce_ && wartosciEdytora() != wartosciWpisu_; }

void StronaListy::edytuj(std::optional<int> miejsce) {
    miejsce_ = lista_ ? miejsce : std::nullopt;
    wartosciWpisu_ = miejsce_ ? lista_->wpis(*miejsce_) : QStringList();
    for (int i = 0; i < liczbaPol(); ++i) pole(i).ustawTekst(wartosciWpisu_.value(i));
    if (!miejsce_)
        UstawTekst(edytowany_wpis,
                   lista_ ? QStringLiteral("Wybierz wpis na liście albo dodaj nowy.") : QString());
    else if (lista_->uzyte(*miejsce_))
        UstawTekst(edytowany_wpis, QStringLiteral("Wpis nr %1").arg(lista_->numer(*miejsce_)));
    else
        UstawTekst(edytowany_wpis, QStringLiteral("Nowy wpis (miejsce nr %1)").arg(lista_->numer(*miejsce_)));
    wartosciWpisu_ = wartosciEdytora();
    emit stanZmieniony();
}

bool StronaListy::rozstrzygnijEdytor() {
    if (!edytorZmieniony()) return true;
    switch (pulpit().pytanie(this,
                             QStringLiteral("Zmiany wpisu nr %1 nie zostały zastosowane. Zastosować je?")
                                 .arg(lista_->numer(*miejsce_)),
                             true)) {
        case Odpowiedz::Tak:
            return zastosujWpis();
        case Odpowiedz::Nie:
            edytuj(std::nullopt);
            return true;
        case Odpowiedz::Anuluj:
            break;
    }
    return false;
}

void StronaListy::wyborWTabeli() {
    const QList<QTableWidgetItem*> wybrane = tabela->selectedItems();
    std::optional<int> miejsce;
    if (!wybrane.isEmpty()) miejsce = tabela->item(wybrane.front()->row(), 0)->data(Qt::UserRole).toInt();
    if (miejsce == miejsce_) return;
    if (!rozstrzygnijEdytor()) {
        // Back to the slot whose changes are kept.
        const QSignalBlocker blokada(tabela);
        tabela->clearSelection();
        if (const int w = miejsce_ ? wierszMiejsca(*miejsce_) : -1; w >= 0) tabela->selectRow(w);
        return;
    }
    if (miejsce) {
        // Applying the other slot may have moved the selection.
        const QSignalBlocker blokada(tabela);
        tabela->selectRow(wierszMiejsca(*miejsce));
    }
    edytuj(miejsce);
}

void StronaListy::otworzDomyslna() {
    if (!rozstrzygnijEdytor()) return;
    if (zmieniona() &&
        pulpit().pytanie(this,
                         QStringLiteral("Lista ma niezapisane zmiany, które przepadną. Otworzyć "
                                        "listę domyślną?"),
                         false) != Odpowiedz::Tak)
        return;
    if (PlikIstnieje(pliki(), domyslnaSciezka()))
        otworzPlik(domyslnaSciezka());
    else
        ustawListe(Lista::Nowa(rodzaj_, domyslnaSciezka()));
}

void StronaListy::otworzInna() {
    if (!rozstrzygnijEdytor()) return;
    if (zmieniona() &&
        pulpit().pytanie(this,
                         QStringLiteral("Lista ma niezapisane zmiany, które przepadną. Otworzyć inną listę?"),
                         false) != Odpowiedz::Tak)
        return;
    const auto wybrany =
        pulpit().plikDoOtwarcia(this, dialogListy(QStringLiteral("Otwórz: ") + nazwaListy()));
    if (wybrany) otworzPlik(*wybrany);
}

void StronaListy::nowaLista() {
    if (!rozstrzygnijEdytor()) return;
    if (zmieniona() &&
        pulpit().pytanie(this,
                         QStringLiteral("Lista ma niezapisane zmiany, które przepadną. Utworzyć nową listę?"),
                         false) != Odpowiedz::Tak)
        return;
    const auto wybrany = pulpit().plikDoZapisu(this, dialogListy(QStringLiteral("Nowa lista")));
    if (!wybrany) return;
    if (PlikIstnieje(pliki(), *wybrany)) {
        pulpit().blad(this, QStringLiteral("Plik „%1” już istnieje i nie zostanie nadpisany. Aby go zmienić, "
                                           "otwórz go przyciskiem „Otwórz listę…”.")
                                .arg(*wybrany));
        return;
    }
    pokazBladOdczytu({});
    ustawListe(Lista::Nowa(rodzaj_, *wybrany));
}

void StronaListy::nowyWpis() {
    if (!lista_ || !rozstrzygnijEdytor()) return;
    const std::optional<int> wolne = lista_->wolneMiejsce();
    if (!wolne) {
        pulpit().informacja(this,
                            QStringLiteral("Lista jest pełna: zajęte są wszystkie %1. Usuń wpis, "
                                           "aby zwolnić miejsce.")
                                .arg(LiczbaIRzeczownik(lista_->liczbaMiejsc(), QStringLiteral("miejsce"),
                                                       QStringLiteral("miejsca"), QStringLiteral("miejsc"))));
        return;
    }
    {
        const QSignalBlocker blokada(tabela);
        tabela->clearSelection();
    }
    edytuj(*wolne);
    pole(0).edycja->setFocus();
}

bool StronaListy::zastosujWpis() {
    if (!lista_ || !miejsce_) return false;
    const int miejsce = *miejsce_;
    const QStringList wartosci = wartosciEdytora();
    const QStringList bledy = lista_->bledyWpisu(miejsce, wartosci);
    if (!bledy.isEmpty()) {
        pulpit().blad(this,
                      QStringLiteral("Wpis nr %1 nie został zmieniony, bo:\n").arg(lista_->numer(miejsce)) +
                          bledy.join(u'\n'));
        return false;
    }
    const bool byl = lista_->uzyte(miejsce);
    lista_->ustawWpis(miejsce, wartosci);
    const QSignalBlocker blokada(tabela);
    int wiersz = wierszMiejsca(miejsce);
    if (!byl) {
        // Rows stay in slot order.
        wiersz = 0;
        while (wiersz < tabela->rowCount() && tabela->item(wiersz, 0)->data(Qt::UserRole).toInt() < miejsce)
            ++wiersz;
        tabela->insertRow(wiersz);
    }
    wypelnijWiersz(wiersz, miejsce);
    filtruj();
    tabela->selectRow(wiersz);
    edytuj(miejsce);
    return true;
}

void StronaListy::usunWpis() {
    if (!lista_ || !miejsce_ || !lista_->uzyte(*miejsce_)) return;
    const int miejsce = *miejsce_;
    if (pulpit().pytanie(this,
                         QStringLiteral("Usunąć wpis nr %1 „%2”? Jego miejsce na liście zostanie opróżnione.")
                             .arg(lista_->numer(miejsce), lista_->wpis(miejsce).value(0)),
                         false) != Odpowiedz::Tak)
        return;
    lista_->usunWpis(miejsce);
    {
        const QSignalBlocker blokada(tabela);
        if (const int w = wierszMiejsca(miejsce); w >= 0) tabela->removeRow(w);
        tabela->clearSelection();
    }
    edytuj(std::nullopt);
}

void StronaListy::importuj() {
    if (!lista_ || !rozstrzygnijEdytor()) return;
    OpisDialogu opis;
    opis.tytul = QStringLiteral("Import CSV");
    opis.filtr = QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)");
    opis.folder = foldery().danych;
    const auto wybrany = pulpit().plikDoOtwarcia(this, opis);
    if (!wybrany) return;
    // The file is read and checked before the question, so that a file that cannot be taken is
    // refused at once. Replacing the list leaves the most room: a row refused then is refused
    // either way.
    QByteArray dane;
    if (!Chron(pulpit(), this, [&] { dane = CzytajCalyPlik(pliki(), *wybrany, NajwiekszyCsv); })) return;
    WynikImportu wynik = ImportCsv(*lista_, dane, true);
    if (!wynik.odrzucone.empty()) return odrzucImport(*wybrany, wynik);
    const Odpowiedz tryb = pulpit().pytanie(
        this,
        QStringLiteral(
            "Czy wiersze pliku mają zastąpić całą listę?\n\n"
            "Tak — na liście zostaną tylko wiersze pliku (pozostałe wpisy zostaną usunięte).\n"
            "Nie — wiersze pliku zostaną dodane na wolne miejsca; wiersz z numerem zastąpi wpis o tym "
            "numerze.\n"
            "Anuluj — nic nie zmieniaj."),
        true);
    if (tryb == Odpowiedz::Anuluj) return;
    const bool zastap = tryb == Odpowiedz::Tak;
    if (!zastap) {
        // Added to the entries kept, the rows may find no free slot.
        wynik = ImportCsv(*lista_, dane, false);
        if (!wynik.odrzucone.empty()) return odrzucImport(*wybrany, wynik);
    }
    ZastosujImport(*lista_, wynik, zastap);
    wypelnijTabele();
    edytuj(std::nullopt);
    pulpit().informacja(this, QStringLiteral("Wczytano %1 z pliku „%2”. Zapisz listę, aby zmiany trafiły "
                                             "do jej pliku.")
                                  .arg(Wierszy(static_cast<std::int64_t>(wynik.wpisy.size())))
                                  .arg(*wybrany));
}

void StronaListy::odrzucImport(const QString& plik, const WynikImportu& wynik) {
    QStringList linie;
    for (std::size_t i = 0; i < wynik.odrzucone.size() && i < PokazanychOdrzucen; ++i)
        linie.append(
            QStringLiteral("wiersz %1: %2").arg(wynik.odrzucone[i].linia).arg(wynik.odrzucone[i].powod));
    if (wynik.odrzucone.size() > PokazanychOdrzucen)
        linie.append(
            QStringLiteral("… i jeszcze %1.")
                .arg(LiczbaIRzeczownik(static_cast<std::int64_t>(wynik.odrzucone.size() - PokazanychOdrzucen),
                                       QStringLiteral("inny wiersz"), QStringLiteral("inne wiersze"),
                                       QStringLiteral("innych wierszy"))));
    pulpit().blad(this, QStringLiteral("Lista nie została zmieniona: w pliku „%1” odrzucono %2.\n\n")
                                .arg(plik)
                                .arg(Wierszy(static_cast<std::int64_t>(wynik.odrzucone.size()))) +
                            linie.join(u'\n'));
}

void StronaListy::eksportuj() {
    if (!lista_ || !rozstrzygnijEdytor()) return;
    OpisDialogu opis;
    opis.tytul = QStringLiteral("Eksport CSV");
    opis.filtr = QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)");
    opis.folder = foldery().danych;
    opis.domyslneRozszerzenie = QStringLiteral("csv");
    // The list's own name: "klienci.dat" is proposed as "klienci.csv".
    const QString nazwaPliku = lista_->sciezka().section(u'\\', -1).section(u'/', -1);
    const QString podstawa = QFileInfo(nazwaPliku).completeBaseName();
    opis.plik = (podstawa.isEmpty() ? nazwaListy() : podstawa) + QStringLiteral(".csv");
    const auto wybrany = pulpit().plikDoZapisu(this, opis);
    if (!wybrany) return;
    const QByteArray dane = EksportCsv(*lista_);
    if (Chron(pulpit(), this, [&] {
            ZapiszAtomowo(pliki(), *wybrany, dane.constData(), static_cast<std::size_t>(dane.size()));
        }))
        pulpit().informacja(
            this, QStringLiteral("Zapisano %1 do pliku „%2”.")
                      .arg(LiczbaIRzeczownik(static_cast<std::int64_t>(lista_->uzyteMiejsca().size()),
                                             QStringLiteral("wpis"), QStringLiteral("wpisy"),
                                             QStringLiteral("wpisów")))
                      .arg(*wybrany));
}

bool StronaListy::zmieniona() const {
    return lista_ && (lista_->zmieniona() || lista_->nowa() || edytorZmieniony());
}

bool StronaListy::zapisz() {
    if (!lista_) return true;
    if (edytorZmieniony() && !zastosujWpis()) return false;
    if (!Chron(pulpit(), this, [&] { lista_->zapisz(pliki()); })) return false;
    pokazListe();
    UstawTekst(plik_listy, plik_listy->text() + QStringLiteral(" — zapisano."));
    emit stanZmieniony();
    return true;
}
