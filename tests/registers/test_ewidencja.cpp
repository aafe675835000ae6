// The sales-register hand-off: the command line and the arguments it gives, the settings file, the
// panel, and the start of a real program in its folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "app/faktura_f.h"
#include "registers/wiersz_polecen.h"
#include "wspolne/katalog_testowy.h"

namespace {

const QString Kwota = QStringLiteral("      123.00");

TEST(PodzialWiersza, RegulyWindows) {
    const struct {
        const char* wiersz;
        QStringList argumenty;
    } przypadki[] = {
        {R"(p "abc" d e)", {"p", "abc", "d", "e"}},
        {R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
        {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
        {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
        {R"(p a"b"" c d)", {"p", R"(ab" c d)"}},
        {"p \t x  \t y ", {"p", "x", "y"}},
        {R"(p "")", {"p", ""}},
        {R"("C:\Program Files\x.exe" a)", {R"(C:\Program Files\x.exe)", "a"}},
        {R"(C:\x\"y.exe a)", {R"(C:\x\y.exe a)"}},
        {"", {""}},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(PodzielWierszWindows(QString::fromUtf8(p.wiersz)), p.argumenty) << p.wiersz;
}

TEST(WierszEwidencji, Przypadki) {
    const QString dlugi(229, u'9');  // with the rest the line is exactly 250 characters
    const struct {
        const char* nazwa;
        QString data, kwota, odniesienie;
        QString wiersz;  // empty: refused
        QStringList argumenty;
    } przypadki[] = {
        {"firma",
         "2010-03-15",
         Kwota,
         "*F* 12/2010",
         R"(ewidencja.exe 15       123.00 "*F* 12/2010")",
         {"15", "123.00", "*F* 12/2010"}},
        {"indywidualny",
         "2010-03-15",
         Kwota,
         "*I* 12/2010",
         R"(ewidencja.exe 15       123.00 "*I* 12/2010")",
         {"15", "123.00", "*I* 12/2010"}},
        {"polskie litery i ukośnik w środku",
         "2010-03-05",
         "-5.00",
         "*F* 7/Łódź\\A",
         R"(ewidencja.exe 05 -5.00 "*F* 7/Łódź\A")",
         {"05", "-5.00", "*F* 7/Łódź\\A"}},
        {"dokładnie 250 znaków",
         "2010-03-15",
         "1",
         dlugi,
         "ewidencja.exe 15 1 \"" + dlugi + "\"",
         {"15", "1", dlugi}},
        {"251 znaków", "2010-03-15", "12", dlugi, {}, {}},
        {"data bez dnia", "2010-03-1", Kwota, "*F* 1/2", {}, {}},
        {"dzień nie z cyfr", "2010-03- 5", Kwota, "*F* 1/2", {}, {}},
        {"pusta data", "", Kwota, "*F* 1/2", {}, {}},
        {"odstęp wewnątrz kwoty", "2010-03-15", "1 234.00", "*F* 1/2", {}, {}},
        {"pusta kwota", "2010-03-15", "   ", "*F* 1/2", {}, {}},
        {"cudzysłów w numerze", "2010-03-15", Kwota, "*F* 1\"/2", {}, {}},
        {"ukośnik na końcu rozszerzenia", "2010-03-15", Kwota, "*F* 1/2\\", {}, {}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        const WierszEwidencji w = ZbudujWierszEwidencji(p.data, p.kwota, p.odniesienie);
        if (p.wiersz.isEmpty()) {
            EXPECT_FALSE(w.blad.isEmpty());
            EXPECT_TRUE(w.argumenty.isEmpty());
            continue;
        }
        EXPECT_TRUE(w.blad.isEmpty()) << w.blad.toStdString();
        EXPECT_EQ(w.wiersz, p.wiersz);
        EXPECT_EQ(w.wiersz.size() <= MaksDlugoscWiersza, true);
        EXPECT_EQ(w.argumenty, p.argumenty);
    }
}

class Ewidencja : public ::testing::Test {
  protected:
    void SetUp() override {
        okno = UruchomOkno(platforma);
        okno->numerator->setText("12");
        okno->rozszerzenie->setText("2010");
        okno->data_wystawienia->setText("2010-03-15");
        okno->KwotaDoZaplaty = Kwota;
    }

    // A program that writes its working directory and arguments, one a line, to "wywolanie.txt".
    QString ProgramTestowy(const QString& folder) {
        katalog.utworzFolder(folder);
        const QString sciezka = katalog.plik(folder + "/ewidencja.exe");
        katalog.zapisz(folder + "/ewidencja.exe",
                       "#!/bin/sh\n"
                       "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > wywolanie.tmp\n"
                       "mv wywolanie.tmp wywolanie.txt\n");
        QFile::setPermissions(sciezka, QFile::permissions(sciezka) | QFileDevice::ExeOwner);
        return katalog.plik(folder);
    }

    // What the test program wrote, once it has run.
    static QStringList Wywolanie(const QString& folder) {
        const QString wynik = folder + "/wywolanie.txt";
        QElapsedTimer czas;
        czas.start();
        while (!QFile::exists(wynik) && czas.elapsed() < 10000) QTest::qWait(20);
        QFile plik(wynik);
        if (!plik.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(plik.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    TEwidencja Ustawienia() const { return katalog.rekord<TEwidencja>("Admini/ewidencja.dat"); }

    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    std::unique_ptr<Tfaktura_f> okno;
};

TEST_F(Ewidencja, PierwszeOtwarcieTworzyPustyPlik) {
    okno->ro2->setChecked(true);
    okno->SpeedButton28->click();
    ASSERT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();
    EXPECT_EQ(katalog.czytaj("Admini/ewidencja.dat"), QByteArray(251, '\0'));
    EXPECT_TRUE(okno->folder->text().isEmpty());
    EXPECT_EQ(okno->kwota_brutto->text(), Kwota);
    EXPECT_EQ(okno->Label92->text(), "12\\2010");
    EXPECT_TRUE(okno->ro1->isChecked());
    EXPECT_FALSE(okno->ro2->isChecked());
    EXPECT_FALSE(okno->Panel6->isHidden());
    EXPECT_EQ(okno->Panel6->geometry(), QRect(201, 123, 526, 279));
    EXPECT_TRUE(okno->Panel1->isEnabled());
}

TEST_F(Ewidencja, ZapisanyFolderWracaPrzyOtwarciu) {
    TEwidencja zapisane{};
    zapisane.folder.ustaw("C:\\Ewid");
    katalog.zapiszRekordy<TEwidencja>("Admini/ewidencja.dat", {zapisane});
    okno->SpeedButton28->click();
    EXPECT_EQ(okno->folder->text(), "C:\\Ewid");
    okno->SpeedButton29->click();
    EXPECT_TRUE(okno->Panel6->isHidden());
}

TEST_F(Ewidencja, BrakProgramuPoZapisieFolderu) {
    okno->SpeedButton28->click();
    okno->folder->setText(katalog.plik("Pusty"));
    QDir::setCurrent(katalog.plik("Uslugi"));
    okno->SpeedButton30->click();
    ASSERT_EQ(platforma.komunikaty.size(), 1u);
    EXPECT_EQ(platforma.komunikaty[0].rodzaj, "informacja");
    EXPECT_EQ(platforma.komunikaty[0].tytul, "Informacja");
    EXPECT_EQ(platforma.komunikaty[0].tekst,
              "W podanej lokalizacji nie znaleziono programu Ewidencja sprzedzaży.");
    EXPECT_EQ(Ustawienia().folder.tekst(), katalog.plik("Pusty"));
    EXPECT_FALSE(okno->Panel6->isHidden());
    EXPECT_TRUE(platforma.uruchomienia.empty());
    EXPECT_EQ(QDir::currentPath(), okno->KatalogDanych);
}

TEST_F(Ewidencja, FolderDluzszyNiz250ZnakowZapisanyObciety) {
    okno->SpeedButton28->click();
    QString dlugi = "/nie/ma/";
    while (dlugi.size() < 300) dlugi += QChar(char16_t(u'a' + dlugi.size() % 26));
    okno->folder->setText(dlugi);
    okno->SpeedButton30->click();
    const TEwidencja zapisane = Ustawienia();
    EXPECT_EQ(zapisane.folder.dlugosc, 250);
    EXPECT_EQ(zapisane.folder.tekst(), dlugi.left(250));
    EXPECT_EQ(katalog.czytaj("Admini/ewidencja.dat").size(), 251);
    EXPECT_EQ(QDir(katalog.plik("Admini")).entryList({"*.tmp"}, QDir::Files), QStringList());
}

// The real start: the program runs detached in its folder and gets the day, the amount and the
// reference as its arguments.
TEST_F(Ewidencja, UruchomienieWFolderzeProgramu) {
    const QString folder = ProgramTestowy("Ewid");
    okno->SpeedButton28->click();
    okno->folder->setText(folder);
    platforma.uruchamiajNaprawde = true;
    okno->SpeedButton30->click();
    ASSERT_TRUE(platforma.komunikaty.empty()) << platforma.komunikaty.front().tekst.toStdString();
    EXPECT_TRUE(okno->Panel6->isHidden());
    ASSERT_EQ(platforma.uruchomienia.size(), 1u);
    EXPECT_EQ(platforma.uruchomienia[0].program, folder + "/ewidencja.exe");
    EXPECT_EQ(platforma.uruchomienia[0].katalogRoboczy, folder);
    EXPECT_EQ(QDir::currentPath(), okno->KatalogDanych);

    const QStringList linie = Wywolanie(folder);
    ASSERT_EQ(linie.size(), 4) << linie.join('|').toStdString();
    EXPECT_EQ(QDir(linie[0]).canonicalPath(), QDir(folder).canonicalPath());
    EXPECT_EQ(linie.mid(1), QStringList({"15", "123.00", "*F* 12/2010"}));
}

TEST_F(Ewidencja, IndywidualnyIPozostalePrzypadki) {
    const QString folder = ProgramTestowy("Ewid");
    const struct {
        const char* nazwa;
        bool indywidualny;
        const char* data;
        QString rozszerzenie;
        bool wynikUruchomienia;
        QStringList argumenty;  // empty: nothing started
        bool panelZamkniety;
    } przypadki[] = {
        {"indywidualny", true, "2010-03-15", "2010", true, {"15", "123.00", "*I* 12/2010"}, true},
        {"data bez dnia", false, "2010-03", "2010", true, {}, false},
        {"wiersz za długi", false, "2010-03-15", QString(240, u'x'), true, {}, false},
        {"program nie wystartował",
         false,
         "2010-03-15",
         "2010",
         false,
         {"15", "123.00", "*F* 12/2010"},
         false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        platforma.komunikaty.clear();
        platforma.uruchomienia.clear();
        platforma.wynikUruchomienia = p.wynikUruchomienia;
        okno->SpeedButton28->click();
        okno->folder->setText(folder);
        okno->data_wystawienia->setText(p.data);
        okno->rozszerzenie->setText(p.rozszerzenie);
        (p.indywidualny ? okno->ro2 : okno->ro1)->setChecked(true);
        okno->SpeedButton30->click();
        if (p.argumenty.isEmpty()) {
            EXPECT_TRUE(platforma.uruchomienia.empty());
        } else {
            ASSERT_EQ(platforma.uruchomienia.size(), 1u);
            EXPECT_EQ(platforma.uruchomienia[0].argumenty, p.argumenty);
        }
        EXPECT_EQ(platforma.komunikaty.empty(), p.panelZamkniety);
        for (const Komunikat& k : platforma.komunikaty) EXPECT_EQ(k.tytul, "Informacja");
        EXPECT_EQ(okno->Panel6->isHidden(), p.panelZamkniety);
        EXPECT_EQ(Ustawienia().folder.tekst(), folder);
    }
}

TEST_F(Ewidencja, WskazanieProgramu) {
    const struct {
        std::optional<QString> wybrany;
        const char* folder;
    } przypadki[] = {
        {"C:\\Ewid\\ewidencja.exe", "C:\\Ewid"},
        {"/opt/ewid/ewidencja.exe", "/opt/ewid"},
        {"\\ewidencja.exe", ""},
        {"ewidencja.exe", "bez zmian"},
        {std::nullopt, "bez zmian"},
    };
    okno->SpeedButton28->click();
    for (const auto& p : przypadki) {
        okno->folder->setText("bez zmian");
        platforma.wybranePliki = {p.wybrany};
        okno->SpeedButton27->click();
        EXPECT_EQ(okno->folder->text(), p.folder) << p.wybrany.value_or("(anulowano)").toStdString();
    }
    ASSERT_FALSE(platforma.dialogi.empty());
    EXPECT_EQ(platforma.dialogi[0].domyslneRozszerzenie, "*.exe");
    EXPECT_EQ(platforma.dialogi[0].nazwaPliku, "ewidencja.exe");
}

// The real desktop: a program of this system starts; a file that is no program does not, even when
// marked executable, unless wine could take it, and here there is no wine on the search path.
TEST_F(Ewidencja, PulpitUruchamiaTylkoProgramy) {
    const QString folder = ProgramTestowy("Ewid");
    const QByteArray sciezkaProgramow = qgetenv("PATH");
    qputenv("PATH", katalog.plik("Pusty").toLocal8Bit());
    katalog.zapisz("Ewid/dane.exe", "MZ to nie jest program tego systemu");
    EXPECT_FALSE(PlatformaPulpitu().uruchomProgram(folder + "/dane.exe", {}, folder));
    // A Windows share may mark every file executable.
    QFile::setPermissions(folder + "/dane.exe",
                          QFile::permissions(folder + "/dane.exe") | QFileDevice::ExeOwner);
    EXPECT_FALSE(PlatformaPulpitu().uruchomProgram(folder + "/dane.exe", {}, folder));
    qputenv("PATH", sciezkaProgramow);
    EXPECT_TRUE(PlatformaPulpitu().uruchomProgram(folder + "/ewidencja.exe", {"1"}, folder));
    EXPECT_EQ(Wywolanie(folder).mid(1), QStringList({"1"}));
}

}  // namespace
