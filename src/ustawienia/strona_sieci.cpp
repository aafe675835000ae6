#include "ustawienia/strona_sieci.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "kontrolki/teksty_kontrolek.h"
#include "store/blad.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

StronaSieci::StronaSieci(KontekstUstawien& kontekst, QWidget* rodzic)
    : StronaUstawien(kontekst, "strona_dane", QStringLiteral("Dane"), rodzic) {
    dodajOpis(
        QStringLiteral("Gdzie moduł szuka danych. Ten plik („Admini\\siec.dat”) jest zawsze czytany z "
                       "folderu, w którym moduł jest uruchamiany, a nie z folderu danych; wszystkie "
                       "pozostałe pliki moduł czyta z folderu danych wybranego poniżej."));

    tryb_lokalny = Nazwany(new QRadioButton(QStringLiteral("Dane w folderze lokalnym"), this), "tryb_lokalny",
                           QStringLiteral("Dane w folderze lokalnym"));
    tryb_sieciowy = Nazwany(new QRadioButton(QStringLiteral("Dane w folderze sieciowym"), this),
                            "tryb_sieciowy", QStringLiteral("Dane w folderze sieciowym"));
    tryb_biezacy =
        Nazwany(new QRadioButton(QStringLiteral("Dane w folderze, w którym moduł jest uruchamiany"), this),
                "tryb_biezacy", QStringLiteral("Dane w folderze uruchomienia"));
    auto* grupa = new QButtonGroup(this);
    for (QRadioButton* r : {tryb_lokalny, tryb_sieciowy, tryb_biezacy}) {
        grupa->addButton(r);
        uklad_->addWidget(r);
    }

    auto* siatka = new QGridLayout;
    siatka->setColumnStretch(1, 1);
    const auto& pola = PolaSieci();
    sciezka_lokalna = std::make_unique<PoleTekstu>(this, siatka, 0, pola[0].opis);
    sciezka_sieciowa = std::make_unique<PoleTekstu>(this, siatka, 1, pola[1].opis);
    int wiersz = 0;
    for (auto [p, wybierz] : {std::pair{sciezka_lokalna.get(), &wybierz_sciezka_lokalna},
                              std::pair{sciezka_sieciowa.get(), &wybierz_sciezka_sieciowa}}) {
        const QByteArray nazwa = (QStringLiteral("wybierz_") + p->opis.nazwa).toUtf8();
        *wybierz = Przycisk(this, nazwa.constData(), QStringLiteral("Wybierz…"));
        (*wybierz)->setAccessibleName(QStringLiteral("Wybierz: ") + p->opis.etykieta);
        siatka->addWidget(*wybierz, 2 * wiersz++, 3);
    }
    uklad_->addLayout(siatka);
    folder_wynikowy =
        Nazwany(new QLabel(this), "folder_wynikowy", QStringLiteral("Folder danych po zapisie"));
    folder_wynikowy->setWordWrap(true);
    uklad_->addWidget(folder_wynikowy);
    uklad_->addStretch();
    dodajPrzyciskiZapisu();
}

void StronaSieci::zmienionoUstawienie() {
    odswiezWynik();
    emit stanZmieniony();
}

void StronaSieci::wybierzSciezkeLokalna() { wybierzFolder(*sciezka_lokalna); }

void StronaSieci::wybierzSciezkeSieciowa() { wybierzFolder(*sciezka_sieciowa); }

void StronaSieci::wybierzFolder(PoleTekstu& pole) {
    if (const auto folder = pulpit().folder(this, pole.opis.etykieta, pole.tekst())) pole.ustawTekst(*folder);
}

QString StronaSieci::sciezka() const { return SciezkaDanych(foldery().startowy, SciezkaUstawienSieci); }

RodzajTrybu StronaSieci::wybranyTryb() const {
    if (tryb_lokalny->isChecked()) return RodzajTrybu::Lokalny;
    if (tryb_sieciowy->isChecked()) return RodzajTrybu::Sieciowy;
    return RodzajTrybu::Biezacy;
}

TUstawieniaSieci StronaSieci::nowyRekord() const {
    TUstawieniaSieci rekord = *plik_.rekord;
    rekord.tryb = NowyTryb(rekord.tryb, wybranyTryb());
    Zastosuj(rekord, PolaSieci(), {sciezka_lokalna->tekst(), sciezka_sieciowa->tekst()});
    return rekord;
}

void StronaSieci::odswiezWynik() {
    QString folder = foldery().startowy;
    if (tryb_lokalny->isChecked()) folder = sciezka_lokalna->tekst();
    if (tryb_sieciowy->isChecked()) folder = sciezka_sieciowa->tekst();
    QString tekst =
        QStringLiteral("Folder danych: %1").arg(folder.isEmpty() ? QStringLiteral("(pusty)") : folder);
    if (folder.isEmpty() || !PlikIstnieje(pliki(), folder))
        tekst += QStringLiteral("\nUwaga: taki folder nie istnieje; moduł nie odczyta z niego danych.");
    else if (!JestFolderemDanych(pliki(), folder))
        tekst += QStringLiteral(
            "\nUwaga: w tym folderze nie ma podfolderu Admini, więc nie są w nim dane modułu.");
    else if (InnyKatalogDanych(pliki(), foldery().startowy, folder))
        tekst += QStringLiteral(
                     "\nUwaga: to inny folder niż folder uruchomienia „%1”: moduł i eksport czytają i "
                     "zapisują dane tamtego folderu, nie tego. Jeśli ten folder jest kopią lub został "
                     "przeniesiony, a ma używać własnych danych, wybierz „Dane w folderze, w którym moduł "
                     "jest uruchamiany” i zapisz.")
                     .arg(foldery().startowy);
    UstawTekst(folder_wynikowy, tekst);
}

void StronaSieci::wczytaj() {
    odczytNieudany_ = false;
    pokazBladOdczytu({});
    QString uwaga;
    if (!PlikIstnieje(pliki(), sciezka())) {
        *plik_.rekord = UstawieniaSieciDlaKatalogu(foldery().startowy);
        plik_.ogon.clear();
        uwaga = QStringLiteral(
            "Pliku jeszcze nie ma: moduł przy pierwszym starcie utworzy go z pokazanymi "
            "wartościami (folder lokalny = folder uruchomienia).");
    } else {
        try {
            CzytajPlikZRekordem(pliki(), sciezka(), plik_);
        } catch (const BladPliku& blad) {
            *plik_.rekord = UstawieniaSieciDlaKatalogu(foldery().startowy);
            plik_.ogon.clear();
            odczytNieudany_ = true;
            pokazBladOdczytu(QStringLiteral("Nie można odczytać pliku. ") + blad.komunikat());
        }
    }
    pokazPlik(sciezka(), uwaga);
    const TUstawieniaSieci& r = *plik_.rekord;
    {
        const QSignalBlocker b1(tryb_lokalny), b2(tryb_sieciowy), b3(tryb_biezacy);
        const RodzajTrybu rodzaj = RodzajZTrybu(r.tryb);
        tryb_lokalny->setChecked(rodzaj == RodzajTrybu::Lokalny);
        tryb_sieciowy->setChecked(rodzaj == RodzajTrybu::Sieciowy);
        tryb_biezacy->setChecked(rodzaj == RodzajTrybu::Biezacy);
    }
    sciezka_lokalna->ustawTekst(r.sciezka_lokalna.tekst());
    sciezka_sieciowa->ustawTekst(r.sciezka_sieciowa.tekst());
    odswiezWynik();
    wczytana = true;
    emit stanZmieniony();
}

bool StronaSieci::zmieniona() const {
    if (RodzajZTrybu(plik_.rekord->tryb) != wybranyTryb()) return true;
    return QStringList{sciezka_lokalna->tekst(), sciezka_sieciowa->tekst()} !=
           Wartosci(*plik_.rekord, PolaSieci());
}

bool StronaSieci::zapisz() {
    if (!sprawdzBledy(
            BledyZmian(*plik_.rekord, PolaSieci(), {sciezka_lokalna->tekst(), sciezka_sieciowa->tekst()})))
        return false;
    if (odczytNieudany_ && !zastapicNieczytelny(sciezka())) return false;
    const TUstawieniaSieci rekord = nowyRekord();
    if (!Chron(pulpit(), this, [&] { ZapiszPlikZRekordem(pliki(), sciezka(), rekord, plik_.ogon); }))
        return false;
    // The data root may have moved: every page reads its files anew.
    emit folderyZmienione(foldery().startowy);
    pokazPlik(sciezka(), QStringLiteral("Zapisano."));
    return true;
}
