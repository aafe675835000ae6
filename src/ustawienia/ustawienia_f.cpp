#include "ustawienia/ustawienia_f.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "kontrolki/teksty_kontrolek.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "ustawienia/strona_czcionki.h"
#include "ustawienia/strona_ksef.h"
#include "ustawienia/strona_listy.h"
#include "ustawienia/strona_nowego_katalogu.h"
#include "ustawienia/strona_pol.h"
#include "ustawienia/strona_sieci.h"
#include "ustawienia/zapamietany_katalog.h"

Tustawienia_f::Tustawienia_f(PulpitUstawien& pulpit, SystemPlikow& pliki, const QString& startowy,
                             bool nowyKatalog, bool podany, QWidget* rodzic)
    : QWidget(rodzic), kontekst_{pulpit, pliki, {startowy, startowy}} {
    setObjectName(QStringLiteral("ustawienia_f"));
    setAccessibleName(QStringLiteral("Ustawienia modułu Faktura"));
    setWindowTitle(QStringLiteral("Faktura — ustawienia i listy"));
    resize(960, 680);
    zbudujUklad();
    utworzStrony();
    polaczZdarzenia();
    // Labels with a name of their own show data; their value is their description from the start,
    // and UstawTekst keeps it so.
    for (QLabel* etykieta : findChildren<QLabel*>())
        if (!etykieta->accessibleName().isEmpty())
            etykieta->setAccessibleDescription(OpisWartosci(etykieta->text()));

    ustawFoldery(startowy);
    const bool folderDanych = JestFolderemDanych(pliki, startowy);
    if (folderDanych) zapamietaj();
    Strona pierwsza = Firma;
    if (nowyKatalog || !folderDanych) {
        pierwsza = NowyKatalog;
        if (!folderDanych)
            nowy_katalog->zaproponuj(
                podany ? startowy : QString(),
                QStringLiteral("Folder „%1” nie zawiera danych modułu (nie ma w nim podfolderu "
                               "Admini). Utwórz nowy folder danych albo otwórz istniejący.")
                    .arg(startowy));
        else if (podany)
            nowy_katalog->zaproponuj(startowy);
    }
    przejdzNaStrone(pierwsza);
}

void Tustawienia_f::zbudujUklad() {
    auto* uklad = new QVBoxLayout(this);
    auto* gora = new QHBoxLayout;
    folder_danych = Nazwany(new QLabel(this), "folder_danych", QStringLiteral("Folder danych"));
    folder_danych->setWordWrap(true);
    folder_danych->setTextInteractionFlags(Qt::TextSelectableByMouse);
    otworz_folder = Przycisk(this, "otworz_folder", QStringLiteral("Otwórz folder…"));
    uruchom_modul = Przycisk(this, "uruchom_modul", QStringLiteral("Uruchom moduł"));
    uruchom_modul->setAccessibleName(QStringLiteral("Uruchom moduł Faktura w tym folderze"));
    uruchom_modul->setToolTip(QStringLiteral("Uruchamia moduł Faktura w otwartym folderze danych"));
    gora->addWidget(folder_danych, 1);
    gora->addWidget(otworz_folder);
    gora->addWidget(uruchom_modul);
    uklad->addLayout(gora);

    auto* srodek = new QHBoxLayout;
    strony = Nazwany(new QListWidget(this), "strony", QStringLiteral("Strony ustawień"));
    strony->setMaximumWidth(200);
    stos = Nazwany(new QStackedWidget(this), "stos", QStringLiteral("Strona ustawień"));
    srodek->addWidget(strony);
    srodek->addWidget(stos, 1);
    uklad->addLayout(srodek, 1);

    stan = Nazwany(new QLabel(this), "stan", QStringLiteral("Stan"));
    stan->setWordWrap(true);
    uklad->addWidget(stan);
}

void Tustawienia_f::utworzStrony() {
    nowy_katalog = new StronaNowegoKatalogu(kontekst_, this);
    firma = UtworzStroneFirmy(kontekst_, this);
    faktura = UtworzStroneFaktury(kontekst_, this);
    platnosc = UtworzStronePlatnosci(kontekst_, this);
    dane = new StronaSieci(kontekst_, this);
    czcionka = new StronaCzcionki(kontekst_, this);
    klienci = new StronaListy(kontekst_, RodzajBazy::Klienci, this);
    uslugi = new StronaListy(kontekst_, RodzajBazy::Uslugi, this);
    ewidencja = UtworzStroneEwidencji(kontekst_, this);
    ksef = new StronaKsef(kontekst_, this);
    strony_ = {nowy_katalog, firma, faktura, platnosc, dane, czcionka, klienci, uslugi, ewidencja, ksef};
    for (StronaUstawien* s : strony_) {
        stos->addWidget(s);
        auto* pozycja = new QListWidgetItem(s->tytul(), strony);
        pozycja->setData(Qt::AccessibleTextRole, s->tytul());
    }
}

void Tustawienia_f::przejdzNaStrone(Strona strona) {
    const QSignalBlocker blokada(strony);
    strony->setCurrentRow(strona);
    wybranoStrone(strona);
}

void Tustawienia_f::wybierzFolder() {
    if (const auto folder =
            kontekst_.pulpit.folder(this, QStringLiteral("Folder danych modułu"), foldery().startowy))
        otworzFolder(QDir::cleanPath(*folder));
}

void Tustawienia_f::uruchomModul() {
    const QString folder = foldery().startowy;
    if (!JestFolderemDanych(kontekst_.pliki, folder)) {
        kontekst_.pulpit.blad(this, KomunikatNieFolderDanych(folder));
        return;
    }
    // The module reads the files: what the page shows unsaved it would not see.
    if (StronaUstawien* s = strona(biezaca()); s && s->zmieniona()) {
        switch (kontekst_.pulpit.pytanie(
            this,
            QStringLiteral("Na stronie „%1” są niezapisane zmiany. Zapisać je przed uruchomieniem modułu?")
                .arg(s->tytul()),
            true)) {
            case Odpowiedz::Tak:
                if (!s->zapisz()) return;
                break;
            case Odpowiedz::Nie:
                break;
            case Odpowiedz::Anuluj:
                return;
        }
    }
    // Installed, and built, beside this program.
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("faktura"));
    if (kontekst_.pulpit.uruchomProgram(program, {}, folder))
        UstawTekst(stan, QStringLiteral("Uruchomiono moduł w folderze „%1”.").arg(folder));
    else
        kontekst_.pulpit.blad(this, QStringLiteral("Nie udało się uruchomić modułu „%1”.").arg(program));
}

void Tustawienia_f::zmienionoFoldery(const QString& startowy) {
    ustawFoldery(startowy);
    zapamietaj();
}

void Tustawienia_f::utworzonoKatalog(const QString& katalog) {
    ustawFoldery(katalog);
    zapamietaj();
    przejdzNaStrone(Firma);
}

void Tustawienia_f::ustawFoldery(const QString& startowy) {
    kontekst_.foldery = {startowy, startowy};
    Chron(kontekst_.pulpit, this, [&] { kontekst_.foldery = UstalFoldery(kontekst_.pliki, startowy); });
    for (StronaUstawien* s : strony_) s->wczytana = false;
    odswiezNaglowek();
    if (StronaUstawien* s = strona(biezaca()); s && stos->count() == static_cast<int>(strony_.size())) {
        s->wczytaj();
    }
}

void Tustawienia_f::zapamietaj() {
    try {
        ZapamietajKatalog(kontekst_.pliki, foldery().startowy);
        UstawTekst(stan, QString());
    } catch (const BladPliku& blad) {
        UstawTekst(stan, QStringLiteral("Nie udało się zapamiętać folderu danych: ") + blad.komunikat());
    }
}

void Tustawienia_f::odswiezNaglowek() {
    const FolderyDanych& f = foldery();
    QString tekst = QStringLiteral("Folder uruchomienia modułu: %1").arg(f.startowy);
    // Only a folder that holds the module's data is called one; a new or foreign folder is not yet.
    if (f.danych != f.startowy)
        tekst += QStringLiteral(
                     "\nUwaga: dane są czytane i zapisywane w innym folderze: %1 (według "
                     "Admini\\siec.dat; zobacz stronę „Dane”)")
                     .arg(f.danych);
    else if (JestFolderemDanych(kontekst_.pliki, f.danych))
        tekst += QStringLiteral(" (jest też folderem danych)");
    else
        tekst += QStringLiteral(" (nie ma w nim jeszcze danych modułu)");
    UstawTekst(folder_danych, tekst);
    uruchom_modul->setEnabled(JestFolderemDanych(kontekst_.pliki, f.startowy));
}

bool Tustawienia_f::moznaOpuscic() {
    StronaUstawien* s = strona(biezaca());
    if (!s || !s->zmieniona()) return true;
    switch (kontekst_.pulpit.pytanie(
        this, QStringLiteral("Na stronie „%1” są niezapisane zmiany. Zapisać je?").arg(s->tytul()), true)) {
        case Odpowiedz::Tak:
            return s->zapisz();
        case Odpowiedz::Nie:
            s->porzucZmiany();
            return true;
        case Odpowiedz::Anuluj:
            break;
    }
    return false;
}

void Tustawienia_f::wybranoStrone(int wiersz) {
    if (wiersz < 0 || wiersz >= static_cast<int>(strony_.size())) return;
    if (wiersz != stos->currentIndex() && !moznaOpuscic()) {
        const QSignalBlocker blokada(strony);
        strony->setCurrentRow(stos->currentIndex());
        return;
    }
    stos->setCurrentIndex(wiersz);
    StronaUstawien* s = strona(static_cast<Strona>(wiersz));
    if (!s->wczytana) s->wczytaj();
}

bool Tustawienia_f::pokazStrone(Strona strona) {
    strony->setCurrentRow(strona);
    return biezaca() == strona;
}

bool Tustawienia_f::otworzFolder(const QString& startowy) {
    if (!moznaOpuscic()) return false;
    ustawFoldery(startowy);
    if (JestFolderemDanych(kontekst_.pliki, startowy)) {
        zapamietaj();
    } else {
        nowy_katalog->zaproponuj(
            startowy, QStringLiteral("Folder „%1” nie zawiera danych modułu (nie ma w nim podfolderu "
                                     "Admini).")
                          .arg(startowy));
        przejdzNaStrone(NowyKatalog);
    }
    return true;
}

void Tustawienia_f::closeEvent(QCloseEvent* zdarzenie) {
    if (moznaOpuscic())
        zdarzenie->accept();
    else
        zdarzenie->ignore();
}
