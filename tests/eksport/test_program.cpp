// The whole export run on a data folder: exit codes, messages, damaged input, files that exist,
// failing file operations; the data folder is never written and no output file is left half-made.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "eksport/dane_eksportu.h"
#include "eksport/uruchomienie.h"
#include "eksport/walidacja.h"
#include "store/cale_pliki.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/programy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

const QString Podstawa = QStringLiteral("--podstawa-zwolnienia=art. 43 ust. 1 pkt 29 lit. c ustawy");

QStringList Pliki(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

struct Proces {
    int kod;
    QString wyjscie, bledy;
};

Proces UruchomProgram(const QStringList& argumenty, const QString& folder, bool bezEkranu = false) {
    QProcess proces;
    proces.setWorkingDirectory(folder);
    if (bezEkranu) {
        QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
        for (const char* zmienna : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            srodowisko.remove(QString::fromLatin1(zmienna));
        proces.setProcessEnvironment(srodowisko);
    }
    proces.start(ProgramBudowy(PROGRAM_EKSPORTU), argumenty);
    EXPECT_TRUE(proces.waitForFinished(120000));
    return {proces.exitCode(), QString::fromUtf8(proces.readAllStandardOutput()),
            QString::fromUtf8(proces.readAllStandardError())};
}

class Eksport : public ::testing::Test {
  protected:
    void SetUp() override { ZapiszDane(katalog, ZestawDokumentow()); }
    QString wyniki(const QString& nazwa = QStringLiteral("wyniki")) const {
        return wynikiDir.filePath(nazwa);
    }

    KatalogTestowy katalog;
    QTemporaryDir wynikiDir;
};

TEST_F(Eksport, ProgramPomocIBledyUzycia) {
    const Proces pomoc = UruchomProgram({"--help"}, katalog.sciezka());
    EXPECT_EQ(pomoc.kod, 0);
    EXPECT_TRUE(pomoc.wyjscie.contains(QStringLiteral("Użycie: faktura-eksport POLECENIE")))
        << pomoc.wyjscie.toStdString();
    const Proces nieznane = UruchomProgram({"docx"}, katalog.sciezka());
    EXPECT_EQ(nieznane.kod, 2);
    EXPECT_TRUE(nieznane.bledy.contains(QStringLiteral("nieznane polecenie „docx”")))
        << nieznane.bledy.toStdString();
    EXPECT_EQ(UruchomProgram({}, katalog.sciezka()).kod, 2);
    EXPECT_EQ(UruchomProgram({"pdf", "--dpi", "72", "--do", "x"}, katalog.sciezka()).kod, 2);
}

TEST_F(Eksport, ProgramRysujePdfBezEkranu) {
    const Proces p = UruchomProgram({"pdf", "--do", wyniki(), "--pozycja", "3"}, katalog.sciezka(), true);
    EXPECT_EQ(p.kod, 0) << p.bledy.toStdString();
    EXPECT_EQ(Pliki(wyniki()), QStringList{"F_1_2026.pdf"});
    EXPECT_TRUE(QFile(wyniki() + "/F_1_2026.pdf").size() > 1000);
}

// faktura-eksport draws nothing itself: a pdf export is faktura-eksport-pdf's, found beside it (or in
// ../libexec/faktura/ when installed). Without it the export says so and fails; the others still run.
TEST_F(Eksport, ProgramBezProgramuPdf) {
    QTemporaryDir samotny;
    const QString kopia = samotny.filePath(QStringLiteral("faktura-eksport"));
    ASSERT_TRUE(QFile::copy(ProgramBudowy(PROGRAM_EKSPORTU), kopia));
    const auto uruchom = [&](const QStringList& argumenty) {
        QProcess proces;
        proces.setWorkingDirectory(katalog.sciezka());
        proces.start(kopia, argumenty);
        EXPECT_TRUE(proces.waitForFinished(120000));
        return Proces{proces.exitCode(), QString::fromUtf8(proces.readAllStandardOutput()),
                      QString::fromUtf8(proces.readAllStandardError())};
    };
    const Proces pdf = uruchom({"pdf", "--do", wyniki()});
    EXPECT_EQ(pdf.kod, 1);
    EXPECT_TRUE(
        pdf.bledy.contains(QStringLiteral("faktura-eksport: nie można uruchomić programu eksportu PDF „") +
                           samotny.path() + QStringLiteral("/../libexec/faktura/faktura-eksport-pdf”")))
        << pdf.bledy.toStdString();
    EXPECT_FALSE(QFileInfo::exists(wyniki()));
    const Proces csv = uruchom({"csv"});
    EXPECT_EQ(csv.kod, 0) << csv.bledy.toStdString();
    EXPECT_TRUE(csv.wyjscie.contains(QStringLiteral("Numer;Rodzaj;"))) << csv.wyjscie.left(200).toStdString();
}

TEST_F(Eksport, FolderDanychZostajeNietkniety) {
    katalog.utworzFolder(QStringLiteral("FONT"));
    katalog.zapisz(QStringLiteral("FONT/font_welkaro.dat"), QByteArray(sizeof(TCzcionka), '\0'));
    const auto przed = ZawartoscFolderu(katalog.sciezka());
    EXPECT_EQ(Uruchom({"pdf", "--do", wyniki("pdf")}).kod, 0);
    const Przebieg ksef = Uruchom({"ksef", "--do", wyniki("ksef"), Podstawa});
    EXPECT_EQ(ksef.kod, 0) << ksef.bledy.toStdString();
    EXPECT_EQ(Uruchom({"csv", "--do", wyniki("rejestr.csv")}).kod, 0);
    EXPECT_EQ(ZawartoscFolderu(katalog.sciezka()), przed);
    EXPECT_FALSE(katalog.istnieje(QStringLiteral("Admini/siec.dat")));

    const QStringList nazwy{"F_1_2026.xml", "F_2_2026.xml",   "F_3_2026.xml",  "F_4_2026.xml",
                            "F_9_2025.xml", "K_1_K_2026.xml", "K_2_K_2026.xml"};
    EXPECT_EQ(Pliki(wyniki("ksef")), nazwy);
    EXPECT_EQ(Pliki(wyniki("pdf")).size(), 7);
    QStringList pliki;
    for (const QString& n : nazwy) pliki << wyniki("ksef") + u'/' + n;
    const WynikWalidacji w = Waliduj(pliki);
    EXPECT_EQ(w.kod, 0) << w.opis.toStdString();
    EXPECT_EQ(w.poprawne, pliki);
}

TEST_F(Eksport, OdrzuconyDokumentToJednaLiniaZPowodem) {
    const Przebieg p = Uruchom({"ksef", "--do", wyniki()});
    EXPECT_EQ(p.kod, 1);
    EXPECT_TRUE(
        p.bledy.contains(QStringLiteral("Odrzucono: faktura 3/2026 (rekord 5): stawka „zw” wymaga podstawy "
                                        "zwolnienia (opcja --podstawa-zwolnienia).\n")))
        << p.bledy.toStdString();
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("Wyeksportowano dokumentów: 6 z 7")));
    EXPECT_EQ(Pliki(wyniki()).size(), 6);
    EXPECT_FALSE(QFile::exists(wyniki() + "/F_3_2026.xml"));
}

TEST_F(Eksport, BrakUstawienToZera) {
    QFile::remove(katalog.plik(QStringLiteral("Admini/faktura.dat")));
    QFile::remove(katalog.plik(QStringLiteral("Admini/firma.dat")));
    const Przebieg ksef = Uruchom({"ksef", "--do", wyniki("ksef"), "--rok", "2026", Podstawa});
    EXPECT_EQ(ksef.kod, 1);
    EXPECT_EQ(ksef.bledy.count(QStringLiteral("brak NIP sprzedawcy")), 6) << ksef.bledy.toStdString();
    EXPECT_EQ(Uruchom({"pdf", "--do", wyniki("pdf"), "--pozycja", "3"}).kod, 0);
    EXPECT_FALSE(katalog.istnieje(QStringLiteral("Admini/faktura.dat")));
}

// An empty selection is one case with one message and exit code 0, whichever option made it.
TEST_F(Eksport, ZadenDokumentWyboru) {
    const QString komunikat =
        QStringLiteral("Żaden dokument nie spełnia warunków wyboru; niczego nie wyeksportowano.\n");
    const QStringList wybory[] = {
        {"csv", "--numer", "99/2026"},    {"csv", "--pozycja", "999"},    {"csv", "--rok", "2031"},
        {"ksef", "--miesiac", "2031-01"}, {"ksef", "--numer", "99/2026"}, {"pdf", "--numer", "99/2026"},
        {"pdf", "--rok", "2031"},
    };
    for (const QStringList& wybor : wybory) {
        QStringList argumenty = wybor;
        if (wybor.first() != QLatin1String("csv")) argumenty << "--do" << wyniki(wybor.first());
        const Proces p = UruchomProgram(argumenty, katalog.sciezka());
        EXPECT_EQ(p.kod, 0) << wybor.join(u' ').toStdString();
        EXPECT_EQ(p.bledy, komunikat) << wybor.join(u' ').toStdString();
        EXPECT_TRUE(Pliki(wyniki(wybor.first())).isEmpty());
    }
}

// The error stream carries the export's own Polish lines only, never a line of the toolkit.
void BezLiniiBiblioteki(const Proces& p, const QString& opis) {
    for (const char* slad :
         {"QPainter", "QPrinter", "QFont", "qt.", "QStandardPaths", "Returned false", "This "})
        EXPECT_FALSE(p.bledy.contains(QLatin1String(slad)))
            << opis.toStdString() << ": " << p.bledy.toStdString();
}

// A PDF file that cannot be made is named with the system's reason, as the other exports name theirs.
TEST_F(Eksport, PdfDoFolderuBezZapisu) {
    QDir().mkpath(wyniki());
    const QString cel = wyniki() + QStringLiteral("/F_1_2026.pdf");
    ZawodnySystemPlikow z;
    z.zawiedz(ZawodnySystemPlikow::Operacja::Utworzenie, QFileInfo(NazwaTymczasowa(cel)).fileName(), 1, true,
              EACCES);
    const Przebieg p = Uruchom({"pdf", "--do", wyniki(), "--pozycja", "3"}, z);
    EXPECT_EQ(p.kod, 1);
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("„%1”: Brak dostępu").arg(cel))) << p.bledy.toStdString();
    EXPECT_FALSE(p.bledy.contains(QStringLiteral("drukarce"))) << p.bledy.toStdString();
    EXPECT_TRUE(Pliki(wyniki()).isEmpty()) << Pliki(wyniki()).join(u' ').toStdString();
}

TEST_F(Eksport, BledyTylkoWlasne) {
    QFile plik(wynikiDir.filePath(QStringLiteral("plik")));
    ASSERT_TRUE(plik.open(QIODevice::WriteOnly));
    plik.close();
    // A target of the PDF's own name that is a folder: the rename over it fails.
    QDir().mkpath(wyniki(QStringLiteral("zajete")) + QStringLiteral("/F_1_2026.pdf"));
    const QStringList przebiegi[] = {
        {"pdf", "--do", wyniki(QStringLiteral("pdf")), "--pozycja", "3"},
        {"pdf", "--do", wynikiDir.filePath(QStringLiteral("plik"))},
        {"pdf", "--do", wyniki(QStringLiteral("zajete")), "--pozycja", "3", "--nadpisz"},
        {"ksef", "--do", wyniki(QStringLiteral("ksef"))},
        {"ksef", "--do", wynikiDir.filePath(QStringLiteral("plik"))},
        {"csv"},
        {"csv", "--do", wynikiDir.filePath(QStringLiteral("plik"))},
    };
    for (const QStringList& argumenty : przebiegi) {
        const Proces p = UruchomProgram(argumenty, katalog.sciezka(), true);
        BezLiniiBiblioteki(p, argumenty.join(u' '));
        for (const QString& linia : p.bledy.split(u'\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(linia.startsWith(QLatin1String("faktura-eksport: ")) ||
                        linia.startsWith(QLatin1String("Odrzucono: ")) ||
                        linia.startsWith(QLatin1String("Wyeksportowano ")))
                << argumenty.join(u' ').toStdString() << ": " << linia.toStdString();
    }
    const Proces zajete = UruchomProgram(przebiegi[2], katalog.sciezka(), true);
    EXPECT_EQ(zajete.kod, 1);
    EXPECT_TRUE(zajete.bledy.contains(wyniki(QStringLiteral("zajete")) + QStringLiteral("/F_1_2026.pdf”")))
        << zajete.bledy.toStdString();

    // Without its graphics plugin the toolkit ends the program; that too is said in Polish.
    QProcess proces;
    proces.setWorkingDirectory(katalog.sciezka());
    QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
    srodowisko.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("nie-ma-takiej"));
    proces.setProcessEnvironment(srodowisko);
    proces.start(ProgramBudowy(PROGRAM_EKSPORTU), {"pdf", "--do", wyniki(QStringLiteral("bez"))});
    ASSERT_TRUE(proces.waitForFinished(120000));
    const Proces bezWtyczki{proces.exitCode(), QString(), QString::fromUtf8(proces.readAllStandardError())};
    BezLiniiBiblioteki(bezWtyczki, QStringLiteral("QT_QPA_PLATFORM=nie-ma-takiej"));
    EXPECT_TRUE(bezWtyczki.bledy.startsWith(QStringLiteral("faktura-eksport: nie ma wtyczki grafiki Qt")))
        << bezWtyczki.bledy.toStdString();
}

TEST_F(Eksport, UrwanyPlikDokumentow) {
    QByteArray dane = katalog.czytaj(QStringLiteral("Uslugi/dokumenty.dat"));
    dane.append(QByteArray(100, 'x'));
    katalog.zapisz(QStringLiteral("Uslugi/dokumenty.dat"), dane);
    const QString uwaga = QStringLiteral("kończy się niepełnym rekordem (100 B), który pominięto.");
    const Przebieg csv = Uruchom({"csv", "--do", wyniki("r.csv")});
    EXPECT_EQ(csv.kod, 0) << csv.bledy.toStdString();
    EXPECT_TRUE(csv.bledy.contains(uwaga)) << csv.bledy.toStdString();
    EXPECT_TRUE(csv.bledy.contains(QStringLiteral("Wyeksportowano dokumentów: 7 z 7")));
    const Przebieg ksef = Uruchom({"ksef", "--do", wyniki("ksef"), Podstawa});
    EXPECT_EQ(ksef.kod, 0) << ksef.bledy.toStdString();
    EXPECT_TRUE(ksef.bledy.contains(uwaga));
}

TEST_F(Eksport, DziennikZmianyJestZgloszony) {
    katalog.zapisz(QStringLiteral("Uslugi/dokumenty.dat.dziennik"), QByteArray(6531, '\0'));
    const Przebieg p = Uruchom({"csv", "--do", wyniki("r.csv")});
    EXPECT_EQ(p.kod, 0) << p.bledy.toStdString();
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("dziennik niedokończonej zmiany"))) << p.bledy.toStdString();
    EXPECT_TRUE(katalog.istnieje(QStringLiteral("Uslugi/dokumenty.dat.dziennik")));
    ASSERT_TRUE(QFile::remove(katalog.plik(QStringLiteral("Uslugi/dokumenty.dat.dziennik"))));
    EXPECT_FALSE(Uruchom({"csv", "--do", wyniki("r3.csv")}).bledy.contains(QStringLiteral("dziennik")));
}

// A record with every length byte at 255: each text is read as its whole capacity.
TEST_F(Eksport, DlugosciTekstow255) {
    std::vector<TDokument> zestaw = ZestawDokumentow();
    TDokument smieci;
    std::memset(&smieci, 0xFF, sizeof smieci);
    smieci.rodzaj.ustaw(QStringLiteral("F"));
    TDokument zera{};
    auto* bajty = reinterpret_cast<unsigned char*>(&zera);
    // Length bytes of a zero-filled record: every text's first byte.
    KazdePoleNaglowka(zera, [&](PoleNaglowka, auto& tekst) { tekst.dlugosc = 255; });
    for (auto& kolumna : zera.pozycje)
        for (auto& komorka : kolumna) komorka.dlugosc = 255;
    for (auto& kolumna : zera.stawki)
        for (auto& komorka : kolumna) komorka.dlugosc = 255;
    zera.dotyczy.dlugosc = 255;
    zera.rodzaj.ustaw(QStringLiteral("K"));
    EXPECT_EQ(bajty[0], 255);
    zestaw.push_back(smieci);
    zestaw.push_back(zera);
    katalog.zapiszRekordy(QStringLiteral("Uslugi/dokumenty.dat"), zestaw);

    const Przebieg ksef = Uruchom({"ksef", "--do", wyniki("ksef"), Podstawa});
    EXPECT_EQ(ksef.kod, 1);
    EXPECT_TRUE(ksef.bledy.contains(QStringLiteral("Odrzucono: faktura "))) << ksef.bledy.toStdString();
    EXPECT_TRUE(ksef.bledy.contains(QStringLiteral("(rekord 9): "))) << ksef.bledy.toStdString();
    EXPECT_TRUE(ksef.bledy.contains(QStringLiteral("(rekord 10): "))) << ksef.bledy.toStdString();
    EXPECT_EQ(Pliki(wyniki("ksef")).size(), 7);

    const Przebieg csv = Uruchom({"csv", "--do", wyniki("r.csv")});
    EXPECT_EQ(csv.kod, 0) << csv.bledy.toStdString();
    QFile plik(wyniki("r.csv"));
    ASSERT_TRUE(plik.open(QIODevice::ReadOnly));
    const QList<QByteArray> wiersze = plik.readAll().split('\n');
    ASSERT_EQ(wiersze.size(), 11);  // header, nine rows, nothing after the last line break
    // No control character reaches the file, so every row keeps the header's number of cells.
    for (const QByteArray& w : wiersze.mid(0, 10)) {
        EXPECT_EQ(w.count(';'), wiersze[0].count(';')) << w.toStdString();
        for (char c : w) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\r') << int(c);
    }

    katalog.utworzFolder(QStringLiteral("FONT"));
    const Przebieg pdf = Uruchom({"pdf", "--do", wyniki("pdf"), "--pozycja", "9"});
    EXPECT_EQ(pdf.kod, 0) << pdf.bledy.toStdString();
    EXPECT_EQ(Pliki(wyniki("pdf")), QStringList{"F_bez_numeru.pdf"});
}

TEST_F(Eksport, PustyPlikCzcionki) {
    katalog.utworzFolder(QStringLiteral("FONT"));
    katalog.zapisz(QStringLiteral("FONT/font_welkaro.dat"), QByteArray());
    const Przebieg p = Uruchom({"pdf", "--do", wyniki()});
    EXPECT_EQ(p.kod, 1);
    EXPECT_TRUE(p.bledy.startsWith(QStringLiteral("faktura-eksport: Błąd pliku"))) << p.bledy.toStdString();
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("font_welkaro.dat"))) << p.bledy.toStdString();
    EXPECT_FALSE(QFile::exists(wyniki()));
}

TEST_F(Eksport, FolderWynikowNieDoUtworzenia) {
    QFile przeszkoda(wyniki("plik"));
    ASSERT_TRUE(przeszkoda.open(QIODevice::WriteOnly));
    przeszkoda.close();
    for (const QStringList& argumenty :
         {QStringList{"pdf", "--do", wyniki("plik/pdf")}, QStringList{"ksef", "--do", wyniki("plik/ksef")},
          QStringList{"csv", "--do", wyniki("plik/rejestr.csv")}}) {
        const Przebieg p = Uruchom(argumenty);
        EXPECT_EQ(p.kod, 1) << argumenty[0].toStdString();
        EXPECT_TRUE(p.bledy.contains(QStringLiteral("utworzenie katalogu"))) << p.bledy.toStdString();
    }
    EXPECT_EQ(Pliki(wynikiDir.path()), QStringList{"plik"});
}

TEST_F(Eksport, BrakPlikuDokumentow) {
    QFile::remove(katalog.plik(QStringLiteral("Uslugi/dokumenty.dat")));
    const Przebieg p = Uruchom({"csv"});
    EXPECT_EQ(p.kod, 1);
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("nie ma pliku dokumentów"))) << p.bledy.toStdString();
    EXPECT_TRUE(p.wyjscie.isEmpty());
}

TEST_F(Eksport, IstniejacePlikiZastepujeTylkoNadpisz) {
    ASSERT_EQ(Uruchom({"ksef", "--do", wyniki(), Podstawa}).kod, 0);
    const auto pierwsze = ZawartoscFolderu(wyniki());
    const QDateTime pozniej = CzasTestow.addDays(1);
    const Przebieg drugi = Uruchom({"ksef", "--do", wyniki(), Podstawa}, DomyslnySystemPlikow(), pozniej);
    EXPECT_EQ(drugi.kod, 1);
    EXPECT_EQ(drugi.bledy.count(QStringLiteral("już istnieje (--nadpisz go zastąpi)")), 7)
        << drugi.bledy.toStdString();
    EXPECT_EQ(ZawartoscFolderu(wyniki()), pierwsze);
    const Przebieg trzeci =
        Uruchom({"ksef", "--do", wyniki(), Podstawa, "--nadpisz"}, DomyslnySystemPlikow(), pozniej);
    EXPECT_EQ(trzeci.kod, 0) << trzeci.bledy.toStdString();
    const auto nowe = ZawartoscFolderu(wyniki());
    ASSERT_EQ(nowe.size(), pierwsze.size());
    EXPECT_NE(nowe, pierwsze);

    ASSERT_EQ(Uruchom({"csv", "--do", wyniki("r.csv")}).kod, 0);
    const Przebieg csv = Uruchom({"csv", "--rok", "2025", "--do", wyniki("r.csv")});
    EXPECT_EQ(csv.kod, 1);
    EXPECT_TRUE(csv.bledy.contains(QStringLiteral("już istnieje"))) << csv.bledy.toStdString();
    EXPECT_EQ(Uruchom({"csv", "--rok", "2025", "--do", wyniki("r.csv"), "--nadpisz"}).kod, 0);
    QFile r(wyniki("r.csv"));
    ASSERT_TRUE(r.open(QIODevice::ReadOnly));
    EXPECT_EQ(r.readAll().count('\n'), 2);
}

TEST_F(Eksport, RejestrNigdyNieZastepujePlikuDanych) {
    const QByteArray przed = katalog.czytaj(QStringLiteral("Uslugi/dokumenty.dat"));
    for (const char* cel : {"Uslugi/dokumenty.dat", "uslugi/DOKUMENTY.dat", "Admini/firma.dat"}) {
        const Przebieg p = Uruchom({"csv", "--do", QString::fromLatin1(cel), "--nadpisz"});
        EXPECT_EQ(p.kod, 1) << cel;
        EXPECT_TRUE(p.bledy.contains(QStringLiteral("jest plikiem danych"))) << p.bledy.toStdString();
    }
    EXPECT_EQ(katalog.czytaj(QStringLiteral("Uslugi/dokumenty.dat")), przed);
}

struct Awaria {
    const char* nazwa;
    QStringList argumenty;
    QString wynik;  // the folder or file the run writes
};

// Every file operation failing in turn, once and for good, and a disk that fills up: afterwards
// every output file is whole (the bytes of a clean run) and no temporary file is left behind.
TEST_F(Eksport, AwariaZapisuNieZostawiaPolowek) {
    katalog.utworzFolder(QStringLiteral("FONT"));
    const std::vector<Awaria> przypadki = {
        {"ksef", {"ksef", "--do", wyniki("ksef"), Podstawa, "--nadpisz"}, wyniki("ksef")},
        {"csv", {"csv", "--do", wyniki("csv/r.csv"), "--nadpisz"}, wyniki("csv")},
        {"pdf", {"pdf", "--do", wyniki("pdf"), "--numer", "1/2026", "--nadpisz"}, wyniki("pdf")},
    };
    for (const Awaria& a : przypadki) {
        ZawodnySystemPlikow licznik;
        ASSERT_EQ(Uruchom(a.argumenty, licznik).kod, 0) << a.nazwa;
        const int operacji = licznik.liczbaOperacji();
        std::map<QString, QByteArray> czyste = ZawartoscFolderu(a.wynik);
        ASSERT_FALSE(czyste.empty());
        const bool pdf = QString::fromLatin1(a.nazwa) == "pdf";

        // Only a dead disk, which cannot remove it either, may keep a temporary file.
        auto sprawdz = [&](const Przebieg& p, const ZawodnySystemPlikow& z, bool martwyDysk,
                           const QString& opis) {
            EXPECT_TRUE(p.kod == 0 || p.kod == 1) << opis.toStdString();
            if (p.kod == 1) {
                EXPECT_TRUE(p.bledy.startsWith(QStringLiteral("faktura-eksport: "))) << opis.toStdString();
            }
            EXPECT_EQ(z.liczbaOtwartych(), 0) << opis.toStdString();
            for (const auto& [nazwa, tresc] : ZawartoscFolderu(a.wynik)) {
                if (nazwa.endsWith(QStringLiteral(".tmp"))) {
                    EXPECT_TRUE(martwyDysk) << opis.toStdString() << " " << nazwa.toStdString();
                    continue;
                }
                ASSERT_TRUE(czyste.count(nazwa)) << opis.toStdString() << " " << nazwa.toStdString();
                // A PDF file carries its moment of creation, so only its completeness is compared.
                if (pdf)
                    EXPECT_TRUE(tresc.trimmed().endsWith("%%EOF")) << opis.toStdString();
                else
                    EXPECT_EQ(tresc, czyste[nazwa]) << opis.toStdString() << " " << nazwa.toStdString();
            }
        };
        for (int k = 1; k <= operacji; ++k) {
            for (const bool naZawsze : {false, true}) {
                QDir(a.wynik).removeRecursively();
                ZawodnySystemPlikow z;
                z.zawiedzOd(k, naZawsze);
                const Przebieg p = Uruchom(a.argumenty, z);
                sprawdz(p, z, naZawsze,
                        QStringLiteral("%1, operacja %2%3")
                            .arg(a.nazwa)
                            .arg(k)
                            .arg(naZawsze ? " na zawsze" : ""));
            }
        }
        if (pdf) continue;  // the PDF printer writes its file past the file-system seam
        for (const std::uint64_t wolne : {0ull, 100ull, 1000ull}) {
            QDir(a.wynik).removeRecursively();
            ZawodnySystemPlikow z;
            z.ustawWolneMiejsce(wolne);
            const Przebieg p = Uruchom(a.argumenty, z);
            EXPECT_EQ(p.kod, 1) << a.nazwa << " " << wolne;
            sprawdz(p, z, false, QStringLiteral("%1, wolne %2 B").arg(a.nazwa).arg(wolne));
        }
    }
}

// Started outside a data folder, the program says so rather than naming a missing document file.
TEST_F(Eksport, PozaFolderemDanychMowiToWprost) {
    const Proces p = UruchomProgram({"csv"}, wynikiDir.path(), true);
    EXPECT_EQ(p.kod, 1);
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("„%1” nie jest folderem danych").arg(wynikiDir.path())))
        << p.bledy.toStdString();
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("faktura-ustawienia"))) << p.bledy.toStdString();
    EXPECT_FALSE(p.bledy.contains(QStringLiteral("nie ma pliku dokumentów"))) << p.bledy.toStdString();
    EXPECT_TRUE(p.wyjscie.isEmpty());
}

// The data root found as the module finds it: one "siec.dat" naming another data folder (a copy still
// naming its original) is followed and said, one naming no folder is refused with its reason.
TEST_F(Eksport, FolderDanychZSiecDatJakWModule) {
    QTemporaryDir inny;
    for (const char* f : {"Admini", "Uslugi"}) QDir(inny.path()).mkpath(QString::fromLatin1(f));
    ASSERT_TRUE(QFile::copy(katalog.plik(QStringLiteral("Uslugi/dokumenty.dat")),
                            inny.filePath(QStringLiteral("Uslugi/dokumenty.dat"))));
    const struct {
        const char* opis;
        std::uint8_t tryb;
        QString sciezka;
        int kod;
        const char* komunikat;  // in the messages; nullptr: no note at all
    } przypadki[] = {
        {"bieżący", 0, inny.path(), 0, nullptr},
        {"lokalna: ten folder", 1, katalog.sciezka(), 0, nullptr},
        {"lokalna: inny folder", 1, inny.path(), 0, "Uwaga: Dane są czytane i zapisywane w folderze „%1”"},
        {"sieciowa: inny folder", 2, inny.path(), 0, "Uwaga: Dane są czytane i zapisywane w folderze „%1”"},
        {"lokalna: nie ma folderu", 1, QStringLiteral("/nie/ma/takiego"), 1,
         "katalog „/nie/ma/takiego” nie istnieje"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        TUstawieniaSieci siec{};
        siec.tryb = p.tryb;
        siec.sciezka_lokalna.ustaw(p.sciezka);
        siec.sciezka_sieciowa.ustaw(p.sciezka);
        katalog.zapiszRekordy<TUstawieniaSieci>(QStringLiteral("Admini/siec.dat"), {siec});
        const Przebieg wynik = Uruchom({"csv"});
        EXPECT_EQ(wynik.kod, p.kod) << wynik.bledy.toStdString();
        if (p.komunikat) {
            EXPECT_TRUE(wynik.bledy.contains(QString::fromUtf8(p.komunikat).arg(inny.path())))
                << wynik.bledy.toStdString();
        } else {
            EXPECT_FALSE(wynik.bledy.contains(QStringLiteral("Uwaga"))) << wynik.bledy.toStdString();
        }
        EXPECT_EQ(wynik.wyjscie.isEmpty(), p.kod != 0);
    }
    // The copy's own document file is not the one read: gone, the other folder's still exports.
    QFile::remove(katalog.plik(QStringLiteral("Uslugi/dokumenty.dat")));
    TUstawieniaSieci siec{};
    siec.tryb = 1;
    siec.sciezka_lokalna.ustaw(inny.path());
    katalog.zapiszRekordy<TUstawieniaSieci>(QStringLiteral("Admini/siec.dat"), {siec});
    EXPECT_EQ(Uruchom({"csv"}).kod, 0);
}

}  // namespace
