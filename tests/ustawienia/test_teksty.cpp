// The texts a new user reads in the settings window: counts with their nouns, the header over the
// pages, the preview of the printout font, the list tables and the dialogs' proposals and dates.
#include <gtest/gtest.h>

#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>

#include "folder_testowy.h"
#include "print/wydruk.h"
#include "store/pliki_danych.h"
#include "ustawienia/daty_plikow.h"
#include "ustawienia/strona_czcionki.h"
#include "ustawienia/strona_listy.h"
#include "ustawienia/strona_nowego_katalogu.h"

namespace {

QString Informacja(const PulpitTestowy& pulpit) {
    const QStringList teksty = pulpit.rodzaju(QStringLiteral("informacja"));
    return teksty.isEmpty() ? QString() : teksty.back();
}

TEST(TekstyUstawien, LiczbyZRzeczownikiem) {
    const struct {
        int wierszy;
        const char* wczytano;
        const char* zapisano;
    } przypadki[] = {
        {1, "Wczytano 1 wiersz z pliku", "Zapisano 1 wpis do pliku"},
        {3, "Wczytano 3 wiersze z pliku", "Zapisano 3 wpisy do pliku"},
        {5, "Wczytano 5 wierszy z pliku", "Zapisano 5 wpisów do pliku"},
    };
    for (const auto& p : przypadki) {
        FolderTestowy folder;
        UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
        QByteArray csv = "Nazwa usługi;PKWiU;J.m.;VAT;Netto\n";
        for (int i = 0; i < p.wierszy; ++i) csv += "Usługa " + QByteArray::number(i) + ";;szt.;23;1.00\n";
        folder.zapisz("u.csv", csv);
        PulpitTestowy pulpit;
        auto okno = folder.okno(pulpit);
        okno->pokazStrone(Tustawienia_f::Uslugi);
        StronaListy* s = okno->uslugi;
        pulpit.pliki = {folder.plik("u.csv")};
        pulpit.odpowiedzi = {Odpowiedz::Tak};
        s->import_csv->click();
        EXPECT_TRUE(Informacja(pulpit).startsWith(QString::fromUtf8(p.wczytano)))
            << Informacja(pulpit).toStdString();
        pulpit.pliki = {folder.plik("e.csv")};
        s->eksport_csv->click();
        EXPECT_TRUE(Informacja(pulpit).startsWith(QString::fromUtf8(p.zapisano)))
            << Informacja(pulpit).toStdString();
    }
}

TEST(TekstyUstawien, OdrzuconeWierszeZRzeczownikiem) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    folder.zapisz("zly.csv", "Nazwa usługi;PKWiU;J.m.;VAT;Netto\nZła;;;23 procent;\n");
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Uslugi);
    pulpit.pliki = {folder.plik("zly.csv")};
    pulpit.odpowiedzi = {Odpowiedz::Nie};
    okno->uslugi->import_csv->click();
    ASSERT_EQ(pulpit.bledy().size(), 1);
    EXPECT_TRUE(pulpit.bledy()[0].contains(QStringLiteral("odrzucono 1 wiersz.\n")))
        << pulpit.bledy()[0].toStdString();
}

// "Is also the data folder" only where the module's data are.
TEST(TekstyUstawien, NaglowekMowiPrawdeOFolderze) {
    PulpitTestowy pulpit;
    FolderTestowy pusty(false);
    auto okno = pusty.okno(pulpit);
    EXPECT_FALSE(okno->folder_danych->text().contains(QStringLiteral("jest też folderem danych")))
        << okno->folder_danych->text().toStdString();
    EXPECT_TRUE(okno->folder_danych->text().contains(QStringLiteral("nie ma w nim jeszcze danych modułu")));

    FolderTestowy dane;
    auto drugie = dane.okno(pulpit);
    EXPECT_TRUE(drugie->folder_danych->text().endsWith(QStringLiteral(" (jest też folderem danych)")))
        << drugie->folder_danych->text().toStdString();
}

// What the page says it makes is what a new folder holds.
TEST(TekstyUstawien, NowyKatalogOpisujeToCoTworzy) {
    FolderTestowy folder(false);
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    QString opis;
    for (const QLabel* etykieta : okno->nowy_katalog->findChildren<QLabel*>())
        if (etykieta->text().startsWith(QStringLiteral("Tworzy folder danych"))) opis = etykieta->text();
    ASSERT_FALSE(opis.isEmpty());
    EXPECT_TRUE(opis.contains(QStringLiteral("Folder FONT zostaje pusty")));
    EXPECT_TRUE(opis.contains(QStringLiteral("przy pierwszym otwarciu ewidencji")));

    const QString nowy = folder.plik(QStringLiteral("nowe"));
    okno->nowy_katalog->sciezka_nowego->setText(nowy);
    okno->nowy_katalog->utworz_katalog->click();
    ASSERT_TRUE(QFile::exists(nowy + QStringLiteral("/Uslugi/dokumenty.dat")))
        << pulpit.bledy().join(u' ').toStdString();
    EXPECT_TRUE(QDir(nowy + QStringLiteral("/FONT")).isEmpty());
    EXPECT_FALSE(QFile::exists(nowy + QStringLiteral("/Admini/ewidencja.dat")));
}

// The preview prints the user's own seller, and the amount and its words as the printout does.
TEST(TekstyUstawien, PodgladCzcionkiJakWydruk) {
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Czcionka);
    StronaCzcionki* s = okno->czcionka;
    auto linia = [&](int n) {
        return s->findChild<QLabel*>(QStringLiteral("podglad_linia%1").arg(n))->text();
    };
    EXPECT_EQ(linia(2), QStringLiteral("Sprzedawca :  (uzupełnij stronę Firma)"));
    EXPECT_EQ(linia(4), QStringLiteral("Do zapłaty :   ") + TekstKwotyPln(1230.0));
    EXPECT_EQ(linia(5), LiniaSlownie(1230.0));
    for (int n = 1; n <= 5; ++n)
        EXPECT_FALSE(linia(n).contains(QStringLiteral("/100"))) << linia(n).toStdString();

    TDaneFirmy firma{};
    firma.linia1.ustaw(QStringLiteral("Usługi Ślusarskie Żak"));
    folder.zapisz("Admini/firma.dat", Bajty(firma));
    // Shown again after the "Firma" page was saved.
    okno->show();
    okno->pokazStrone(Tustawienia_f::Firma);
    okno->pokazStrone(Tustawienia_f::Czcionka);
    EXPECT_EQ(linia(2), QStringLiteral("Sprzedawca :  Usługi Ślusarskie Żak"));
}

// Long names keep one line and their width; the dialog proposes the list's own name.
TEST(TekstyUstawien, TabelaListyIProponowanyPlik) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    const QString nazwa = QStringLiteral("Przedsiębiorstwo Handlowo-Usługowe „Długa Nazwa” Sp. z o.o.");
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Klienci);
    StronaListy* s = okno->klienci;
    ASSERT_TRUE(s->lista());
    QStringList naglowek;
    for (const OpisPola& p : s->lista()->pola()) naglowek.append(p.etykieta);
    const QString reszta(naglowek.size() - 1, u';');
    folder.zapisz("k.csv", (naglowek.join(u';') + u'\n' + nazwa + reszta + u'\n').toUtf8());
    pulpit.pliki = {folder.plik("k.csv")};
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    s->import_csv->click();
    ASSERT_EQ(s->tabela->rowCount(), 1) << pulpit.bledy().join(u' ').toStdString();
    EXPECT_FALSE(s->tabela->wordWrap());
    const QFontMetrics miary(s->tabela->font());
    EXPECT_GE(s->tabela->columnWidth(1), miary.horizontalAdvance(nazwa));
    EXPECT_LT(s->tabela->columnWidth(0), s->tabela->columnWidth(1));

    pulpit.pliki = {std::nullopt};
    s->eksport_csv->click();
    ASSERT_FALSE(pulpit.dialogi.empty());
    EXPECT_EQ(pulpit.dialogi.back().plik, QStringLiteral("klienci.csv"));
    EXPECT_EQ(pulpit.dialogi.back().folder, okno->foldery().danych);
}

// Dates and sizes of the file dialogs in Polish, whatever the session's language.
TEST(TekstyUstawien, DatyPlikowPoPolsku) {
    FolderTestowy folder;
    folder.zapisz("plik.csv", QByteArray(2048, 'x'));
    QFileSystemModel pliki;
    QSignalSpy wczytany(&pliki, &QFileSystemModel::directoryLoaded);
    const QModelIndex korzen = pliki.setRootPath(folder.sciezka());
    PolskieDatyPlikow polskie;
    polskie.setSourceModel(&pliki);
    ASSERT_TRUE(wczytany.wait(10000));
    const QModelIndex plik = pliki.index(folder.plik("plik.csv"));
    ASSERT_TRUE(plik.isValid());
    Q_UNUSED(korzen);
    const QString data = polskie.data(polskie.mapFromSource(plik.siblingAtColumn(3))).toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,2}\\.\\d{2}\\.\\d{4} \\d{1,2}:\\d{2}$"))
                    .match(data)
                    .hasMatch())
        << data.toStdString();
    EXPECT_EQ(
        data,
        QLocale(QLocale::Polish, QLocale::Poland).toString(pliki.lastModified(plik), QLocale::ShortFormat));
    EXPECT_EQ(polskie.data(polskie.mapFromSource(plik.siblingAtColumn(1))).toString(),
              QStringLiteral("2,00 KiB"));
    EXPECT_EQ(polskie.data(polskie.mapFromSource(plik)).toString(), QStringLiteral("plik.csv"));
}

}  // namespace
