#include "ustawienia/strona_nowego_katalogu.h"

#include <QDir>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "calc/dokument.h"
#include "kontrolki/teksty_kontrolek.h"
#include "ustawienia/nowy_katalog.h"

StronaNowegoKatalogu::StronaNowegoKatalogu(KontekstUstawien& kontekst, QWidget* rodzic)
    : StronaUstawien(kontekst, "strona_nowy_katalog", QStringLiteral("Nowy katalog danych"), rodzic) {
    plik_->hide();
    dodajOpis(QStringLiteral(
        "Tworzy folder danych modułu: podfoldery Admini, Uslugi, Szablony i FONT oraz pliki, które moduł "
        "tworzy przy pierwszym uruchomieniu (ustawienia w Admini, puste listy klientów i usług oraz plik "
        "dokumentów w Uslugi). Folder FONT zostaje pusty, dopóki strona „Czcionka wydruku” nie zapisze "
        "czcionki (do tego czasu wydruk używa domyślnej), a ustawienia ewidencji sprzedaży "
        "(Admini\\ewidencja.dat) moduł zapisuje przy pierwszym otwarciu ewidencji. Istniejący folder "
        "danych nigdy nie jest nadpisywany. Po utworzeniu folder zostaje otwarty: uzupełnij strony Firma "
        "i Faktura, a potem uruchom moduł przyciskiem „Uruchom moduł” u góry okna. Folder nie zapamiętuje "
        "swojego położenia, więc można go przenieść lub skopiować."));

    auto* rzad = new QHBoxLayout;
    auto* etykieta = new QLabel(QStringLiteral("Folder:"), this);
    etykieta->setObjectName(QStringLiteral("etykieta_sciezka_nowego"));
    etykieta->setAccessibleName(QStringLiteral("Folder nowych danych"));
    sciezka_nowego = Nazwany(new QLineEdit(this), "sciezka_nowego", QStringLiteral("Folder nowych danych"));
    etykieta->setBuddy(sciezka_nowego);
    wybierz_folder = Przycisk(this, "wybierz_folder", QStringLiteral("Wybierz…"));
    wybierz_folder->setAccessibleName(QStringLiteral("Wybierz folder nowych danych"));
    rzad->addWidget(etykieta);
    rzad->addWidget(sciezka_nowego, 1);
    rzad->addWidget(wybierz_folder);
    uklad_->addLayout(rzad);

    uwaga_nowego = Nazwany(new QLabel(this), "uwaga_nowego", QStringLiteral("Uwaga o folderze"));
    uwaga_nowego->setWordWrap(true);
    uklad_->addWidget(uwaga_nowego);

    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    utworz_katalog = Przycisk(this, "utworz_katalog", QStringLiteral("Utwórz folder danych"));
    przyciski->addWidget(utworz_katalog);
    uklad_->addLayout(przyciski);
    uklad_->addStretch();
}

void StronaNowegoKatalogu::wybierzFolder() {
    const QString poczatkowy = sciezka_nowego->text().isEmpty() ? QDir::homePath() : sciezka_nowego->text();
    if (const auto folder = pulpit().folder(this, QStringLiteral("Folder nowych danych"), poczatkowy))
        sciezka_nowego->setText(QDir::toNativeSeparators(*folder));
}

void StronaNowegoKatalogu::odswiezUwage() {
    const QString tekst = sciezka_nowego->text().trimmed();
    const auto przeszkoda =
        tekst.isEmpty() ? std::nullopt : PrzeszkodaNowegoKatalogu(pliki(), QDir(tekst).absolutePath());
    UstawTekst(uwaga_nowego, przeszkoda.value_or(QString()));
    // A folder with data is opened, never made again.
    utworz_katalog->setEnabled(tekst.isEmpty() || !ZawieraDaneModulu(pliki(), QDir(tekst).absolutePath()));
}

void StronaNowegoKatalogu::wczytaj() {
    odswiezUwage();
    wczytana = true;
}

void StronaNowegoKatalogu::zaproponuj(const QString& katalog, const QString& uwaga) {
    sciezka_nowego->setText(katalog);
    odswiezUwage();
    if (!uwaga.isEmpty())
        UstawTekst(uwaga_nowego,
                   uwaga_nowego->text().isEmpty() ? uwaga : uwaga + u'\n' + uwaga_nowego->text());
}

bool StronaNowegoKatalogu::utworz() {
    const QString tekst = sciezka_nowego->text().trimmed();
    const QString katalog = tekst.isEmpty() ? QString() : QDir::cleanPath(QDir(tekst).absolutePath());
    if (const auto przeszkoda = PrzeszkodaNowegoKatalogu(pliki(), katalog)) {
        pulpit().blad(this, *przeszkoda);
        return false;
    }
    const QString data = TekstDaty(pulpit().dzisiaj());
    if (!Chron(pulpit(), this, [&] { UtworzNowyKatalogDanych(pliki(), katalog, data); })) return false;
    odswiezUwage();
    emit utworzono(katalog);
    pulpit().informacja(
        this, QStringLiteral("Utworzono folder danych „%1”. Uzupełnij teraz strony Firma i Faktura, "
                             "a potem uruchom moduł w tym folderze przyciskiem „Uruchom moduł”.")
                  .arg(katalog));
    return true;
}
