// A new data folder holds what the module's first start makes, byte for byte, and an existing one
// is never overwritten; the remembered data folder.
#include <gtest/gtest.h>

#include <QDirIterator>

#include "folder_testowy.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/rekordy.h"
#include "store/system_plikow.h"
#include "ustawienia/nowy_katalog.h"
#include "ustawienia/pliki_stron.h"
#include "ustawienia/wiersz_polecen_ustawien.h"
#include "ustawienia/zapamietany_katalog.h"
#include "wspolne/katalog_testowy.h"

namespace {

QStringList PlikiFolderu(const QString& korzen) {
    QStringList pliki;
    QDirIterator it(korzen, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) pliki.append(QDir(korzen).relativeFilePath(it.next()));
    pliki.sort();
    return pliki;
}

TEST(NowyKatalog, TeSameBajtyCoPierwszyStartModulu) {
    FolderTestowy nowy(false);
    const QString katalog = nowy.plik(QStringLiteral("firma/dane 2026"));  // two folders that do not exist
    ASSERT_FALSE(PrzeszkodaNowegoKatalogu(DomyslnySystemPlikow(), katalog));
    EXPECT_EQ(UtworzNowyKatalogDanych(DomyslnySystemPlikow(), katalog, QStringLiteral("2026-03-15")),
              katalog);

    // The module's own first start in a folder that has only "Admini" and "Uslugi".
    KatalogTestowy modul;
    PlatformaTestowa platforma;
    platforma.czas = QDateTime(QDate(2026, 3, 15), QTime(9, 0));
    { auto okno = UruchomOkno(platforma); }
    ASSERT_TRUE(platforma.bledy().empty());

    EXPECT_EQ(PlikiFolderu(katalog),
              (QStringList{"Admini", "Admini/faktura.dat", "Admini/firma.dat", "Admini/info.dat",
                           "Admini/siec.dat", "FONT", "Szablony", "Uslugi", "Uslugi/dokumenty.dat",
                           "Uslugi/klienci.dat", "Uslugi/uslugi.dat"}));
    for (const char* plik : {"Admini/faktura.dat", "Admini/firma.dat", "Admini/info.dat",
                             "Uslugi/dokumenty.dat", "Uslugi/klienci.dat", "Uslugi/uslugi.dat"}) {
        QFile f(katalog + u'/' + QLatin1String(plik));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << plik;
        EXPECT_EQ(f.readAll(), modul.czytaj(QLatin1String(plik))) << plik;
    }
    // "siec.dat" holds no path: the folder the module starts in is the data root. (The module's own
    // first start writes its folder's path.)
    QFile siec(katalog + QStringLiteral("/Admini/siec.dat"));
    ASSERT_TRUE(siec.open(QIODevice::ReadOnly));
    EXPECT_EQ(siec.readAll(), QByteArray(403, '\0'));
    EXPECT_EQ(modul.czytaj("Admini/siec.dat"), Bajty(UstawieniaSieciDlaKatalogu(QDir::currentPath())));

    // The module starts there without an error, on a new invoice: nothing is issued yet.
    QDir::setCurrent(katalog);
    PlatformaTestowa wNowym;
    auto okno = UruchomOkno(wNowym);
    EXPECT_TRUE(wNowym.komunikaty.empty());
    EXPECT_EQ(okno->KatalogDanych, katalog);
    EXPECT_TRUE(okno->NowyDokument);
    EXPECT_EQ(okno->numerator->text(), "1");
    EXPECT_EQ(okno->odbiorca1->text(), "");
}

// A new folder moved or copied elsewhere reads its own files there, in the module, the settings
// program and the export alike; the original may still exist or be gone.
TEST(NowyKatalog, PrzeniesionyLubSkopiowanyCzytaSiebie) {
    for (const bool zostajeOryginal : {true, false}) {
        SCOPED_TRACE(zostajeOryginal ? "kopia" : "przeniesiony");
        FolderTestowy miejsce(false);
        const QString oryginal = miejsce.plik("dane");
        UtworzNowyKatalogDanych(DomyslnySystemPlikow(), oryginal, QStringLiteral("2026-03-15"));
        const QString kopia = miejsce.plik("kopia/dane");
        QDir().mkpath(kopia);
        QDirIterator it(oryginal, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString z = it.next();
            const QString cel = kopia + u'/' + QDir(oryginal).relativeFilePath(z);
            if (it.fileInfo().isDir())
                QDir().mkpath(cel);
            else
                ASSERT_TRUE(QFile::copy(z, cel));
        }
        if (!zostajeOryginal) {
            ASSERT_TRUE(QDir(oryginal).removeRecursively());
        }

        EXPECT_EQ(CzytajKatalogDanych(DomyslnySystemPlikow(), kopia).katalog, kopia);
        EXPECT_EQ(UstalFoldery(DomyslnySystemPlikow(), kopia).danych, kopia);
        QDir::setCurrent(kopia);
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        EXPECT_TRUE(platforma.komunikaty.empty());
        EXPECT_EQ(okno->KatalogDanych, kopia);
        EXPECT_EQ(okno->windowTitle(), "");
    }
}

TEST(NowyKatalog, IstniejacyFolderDanychNieJestNadpisywany) {
    const char* const plikiDanych[] = {"Admini/siec.dat",  "Admini/faktura.dat",   "ADMINI/firma.dat",
                                       "Admini/info.dat",  "Uslugi/dokumenty.dat", "uslugi/klienci.dat",
                                       "Uslugi/uslugi.dat"};
    for (const char* plik : plikiDanych) {
        FolderTestowy folder(false);
        const QString wzgledny = QString::fromLatin1(plik);
        folder.folder(wzgledny.section(u'/', 0, 0));
        folder.zapisz(wzgledny, "moje dane");
        const auto przeszkoda = PrzeszkodaNowegoKatalogu(DomyslnySystemPlikow(), folder.sciezka());
        ASSERT_TRUE(przeszkoda) << plik;
        EXPECT_TRUE(przeszkoda->contains(QStringLiteral("nie jest nadpisywany")))
            << przeszkoda->toStdString();
        EXPECT_THROW(
            UtworzNowyKatalogDanych(DomyslnySystemPlikow(), folder.sciezka(), QStringLiteral("2026-01-01")),
            Odmowa);
        EXPECT_EQ(folder.czytaj(wzgledny), "moje dane");
        EXPECT_EQ(PlikiFolderu(folder.sciezka()).size(), 2) << plik << ": nothing added";
    }
}

TEST(NowyKatalog, SciezkiNiemozliwe) {
    FolderTestowy folder(false);
    folder.zapisz("plik", "x");
    const struct {
        QString katalog;
        const char* powod;
    } przypadki[] = {
        {QString(), "Podaj folder"},
        {QStringLiteral("wzgledny/folder"), "pełną ścieżkę"},
        {folder.plik("a\\b"), "„\\”"},
        {folder.plik("plik"), "jest plikiem"},
        {folder.plik(QString(200, u'x')), "mieści najwyżej 200"},
        {folder.plik(QStringLiteral("Дані")), "Windows-1250"},
    };
    for (const auto& p : przypadki) {
        const auto przeszkoda = PrzeszkodaNowegoKatalogu(DomyslnySystemPlikow(), p.katalog);
        ASSERT_TRUE(przeszkoda) << p.katalog.toStdString();
        EXPECT_TRUE(przeszkoda->contains(QString::fromUtf8(p.powod))) << przeszkoda->toStdString();
    }
}

// A folder the suite prepared ("ADMINI" in capitals, nothing in it) is filled, its spelling kept.
TEST(NowyKatalog, PustyFolderPakietuZostajeUzupelniony) {
    FolderTestowy folder(false);
    folder.folder("ADMINI");
    folder.folder("uslugi");
    ASSERT_FALSE(PrzeszkodaNowegoKatalogu(DomyslnySystemPlikow(), folder.sciezka()));
    UtworzNowyKatalogDanych(DomyslnySystemPlikow(), folder.sciezka() + u'/', QStringLiteral("2026-01-01"));
    const QStringList pliki = PlikiFolderu(folder.sciezka());
    EXPECT_TRUE(pliki.contains("ADMINI/siec.dat"));
    EXPECT_TRUE(pliki.contains("uslugi/klienci.dat"));
    EXPECT_FALSE(pliki.contains("Admini")) << pliki.join(u' ').toStdString();
    EXPECT_EQ(folder.czytaj("ADMINI/siec.dat"), QByteArray(403, '\0'));
}

// The pages work on the folder the module would use when started in the same folder, whatever this
// program's own working directory, and a "siec.dat" the module refuses is refused here too.
TEST(FolderyDanych, JakWModuleZKazdegoKataloguRoboczego) {
    struct Przypadek {
        const char* opis;
        std::uint8_t tryb;
        QString sciezka;     // "%1": the start folder
        const char* danych;  // below the start folder; nullptr: refused
    };
    const Przypadek przypadki[] = {
        {"bieżący katalog", 0, "", ""},
        {"ścieżka względna", 1, "dane", "dane"},
        {"ścieżka względna z ukośnikiem wstecznym", 2, "dane\\rok", "dane/rok"},
        {"ścieżka bezwzględna", 1, "%1/dane", "dane"},
        {"pusta ścieżka", 1, "", nullptr},
        {"brak katalogu", 2, "nie-ma", nullptr},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        FolderTestowy folder;
        folder.folder("dane/rok");
        TUstawieniaSieci siec{};
        siec.tryb = p.tryb;
        (p.tryb == 2 ? siec.sciezka_sieciowa : siec.sciezka_lokalna)
            .ustaw(QString(p.sciezka).replace("%1", folder.sciezka()));
        folder.zapisz("Admini/siec.dat", Bajty(siec));
        QDir::setCurrent(QDir::tempPath());
        if (!p.danych) {
            EXPECT_THROW(UstalFoldery(DomyslnySystemPlikow(), folder.sciezka()), BladPliku);
            continue;
        }
        const FolderyDanych foldery = UstalFoldery(DomyslnySystemPlikow(), folder.sciezka());
        EXPECT_EQ(foldery.startowy, folder.sciezka());
        EXPECT_EQ(foldery.danych, QDir::cleanPath(folder.sciezka() + u'/' + QString::fromUtf8(p.danych)));
    }
}

TEST(ZapamietanyKatalog, PlikWKonfiguracji) {
    FolderTestowy folder;
    const QByteArray dawnyHome = qgetenv("HOME");
    EXPECT_EQ(PlikZapamietanegoKatalogu(), folder.konfiguracja() + QStringLiteral("/faktura/katalog-danych"));
    ZapamietajKatalog(DomyslnySystemPlikow(), folder.plik("Dane Łódź/"));
    QFile plik(PlikZapamietanegoKatalogu());
    ASSERT_TRUE(plik.open(QIODevice::ReadOnly));
    EXPECT_EQ(plik.readAll(), folder.plik("Dane Łódź").toUtf8() + '\n');
    EXPECT_FALSE(QFile::exists(NazwaTymczasowa(PlikZapamietanegoKatalogu())));

    // Without an absolute XDG_CONFIG_HOME: ~/.config.
    for (const char* xdg : {"", "wzgledny"}) {
        qputenv("XDG_CONFIG_HOME", xdg);
        qputenv("HOME", folder.sciezka().toUtf8());
        EXPECT_EQ(PlikZapamietanegoKatalogu(),
                  folder.sciezka() + QStringLiteral("/.config/faktura/katalog-danych"));
    }
    qputenv("HOME", dawnyHome);
}

// What the launcher and --ostatni-katalog read back: only an absolute path counts.
TEST(ZapamietanyKatalog, Odczyt) {
    const struct {
        const char* opis;
        QByteArray zawartosc;  // null: no file
        const char* katalog;   // nullptr: nothing remembered
    } przypadki[] = {
        {"as written", "/dane/Łódź\n", "/dane/Łódź"},
        {"no line end", "/dane", "/dane"},
        {"several line ends", "/dane\n\n", "/dane"},
        {"not clean", "/dane//firma/../2026\n", "/dane/2026"},
        {"blanks kept", "/dane firmy \n", "/dane firmy "},
        {"no file", QByteArray(), nullptr},
        {"empty", "", nullptr},
        {"only a line end", "\n", nullptr},
        {"relative", "dane\n", nullptr},
        {"NUL inside", QByteArray("/da\0ne\n", 7), nullptr},
        {"far too long", "/" + QByteArray(70000, 'a'), nullptr},
    };
    for (const auto& p : przypadki) {
        FolderTestowy folder(false);
        if (!p.zawartosc.isNull()) {
            QDir().mkpath(folder.konfiguracja() + "/faktura");
            QFile f(PlikZapamietanegoKatalogu());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(p.zawartosc);
        }
        const auto katalog = CzytajZapamietanyKatalog(DomyslnySystemPlikow());
        if (p.katalog)
            EXPECT_EQ(katalog.value_or("(nic)"), QString::fromUtf8(p.katalog)) << p.opis;
        else
            EXPECT_FALSE(katalog) << p.opis << ": " << katalog->toStdString();
    }

    // A folder where the file should be is no remembered folder either.
    FolderTestowy folder(false);
    QDir().mkpath(PlikZapamietanegoKatalogu());
    EXPECT_FALSE(CzytajZapamietanyKatalog(DomyslnySystemPlikow()));
}

TEST(ZapamietanyKatalog, FolderStartowy) {
    FolderTestowy folder(false);
    const QByteArray dawnyHome = qgetenv("HOME");
    qputenv("HOME", folder.plik("dom").toUtf8());
    const QString biezacy = folder.plik("biezacy");
    const struct {
        QStringList argumenty;
        QByteArray zapamietany;  // null: no file
        QString katalog;
        bool podany;
    } przypadki[] = {
        {{}, QByteArray(), biezacy, false},
        {{"--nowy-katalog"}, QByteArray(), biezacy, false},
        {{"dane"}, QByteArray(), biezacy + "/dane", true},
        {{"/inne/../dane/"}, QByteArray(), "/dane", true},
        {{"--ostatni-katalog"}, QByteArray(), folder.plik("dom/Faktury"), true},
        {{"--ostatni-katalog"}, "/zapamietany\n", "/zapamietany", true},
        {{"--ostatni-katalog"}, "wzgledny\n", folder.plik("dom/Faktury"), true},
        {{"--nowy-katalog", "--ostatni-katalog"}, "/zapamietany\n", "/zapamietany", true},
        // Without the option the remembered folder plays no part.
        {{}, "/zapamietany\n", biezacy, false},
    };
    for (const auto& p : przypadki) {
        QFile::remove(PlikZapamietanegoKatalogu());
        if (!p.zapamietany.isNull()) {
            QDir().mkpath(folder.konfiguracja() + "/faktura");
            QFile f(PlikZapamietanegoKatalogu());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(p.zapamietany);
        }
        const ArgumentyUstawien a = CzytajArgumentyUstawien(p.argumenty);
        ASSERT_TRUE(a.blad.isEmpty()) << a.blad.toStdString();
        const FolderStartowy f = UstalFolderStartowy(a, DomyslnySystemPlikow(), biezacy);
        const std::string opis = p.argumenty.join(u' ').toStdString() + " / " + p.zapamietany.toStdString();
        EXPECT_EQ(f.katalog, p.katalog) << opis;
        EXPECT_EQ(f.podany, p.podany) << opis;
    }
    EXPECT_EQ(DomyslnyNowyKatalog(), folder.plik("dom/Faktury"));
    qputenv("HOME", dawnyHome);
}

}  // namespace
