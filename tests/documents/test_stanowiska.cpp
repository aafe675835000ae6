// What saving and deleting do when a write tears, a later step fails, a data file is not a file,
// the data root is refused, another workstation holds the lock or changed the document shown.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <map>
#include <set>

#include "app/siatka.h"
#include "documents/okno_na_danych.h"
#include "store/blokada.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "wspolne/programy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

using O = ZawodnySystemPlikow::Operacja;

const std::vector<TDokument> TrzyDokumentyStanowisk = {DokumentZTabela("F", "1", "A", "A"),
                                                       DokumentZTabela("K", "2", "B", "B"),
                                                       DokumentZTabela("F", "3", "C", "C")};

QString Nazwa(const QString& sciezka) { return sciezka.mid(sciezka.lastIndexOf(u'/') + 1); }

// The last component of the temporary name under which a file of the folder is replaced.
QString Tymczasowy(const KatalogTestowy& katalog, const QString& wzgledna) {
    return Nazwa(NazwaTymczasowa(QFileInfo(katalog.plik(wzgledna)).absoluteFilePath()));
}

std::string Bledy(const PlatformaTestowa& p) {
    QStringList l;
    for (const QString& b : p.bledy()) l << b;
    return l.join(u'\n').toStdString();
}

struct Przypadek {
    const char* opis;
    bool wMiejscu;  // replace record 2 in place; else append a new invoice
};
const Przypadek ZapisyWMiejscuIDopisanie[] = {{"w miejscu", true}, {"dopisanie", false}};

void PrzygotujZapis(Tfaktura_f& okno, bool wMiejscu) {
    if (wMiejscu) {
        WczytajZListy(okno, 1);
    } else {
        okno.SpeedButton6Click();
    }
    okno.odbiorca3->setText(QStringLiteral("zmieniony"));
    okno.tabela->ustawKomorke(1, 3, QStringLiteral("nowa pozycja"));
}

// A torn write whose restore fails too (a share that drops mid-write): after the next start the
// record is whole, the old one or the new one, never a mix of both.
TEST(Niezawodnosc, RozdartyZapisINieudanePrzywrocenie) {
    for (const Przypadek& p : ZapisyWMiejscuIDopisanie) {
        SCOPED_TRACE(p.opis);
        KatalogTestowy katalog;
        katalog.zapiszRekordy(PlikDokumentow, TrzyDokumentyStanowisk);
        TDokument nowy{};
        {
            ZawodnySystemPlikow zawodny;
            PlatformaTestowa platforma;
            auto okno = UruchomOkno(platforma, zawodny);
            PrzygotujZapis(*okno, p.wMiejscu);
            zawodny.zawiedz(O::Zapis, QStringLiteral("dokumenty.dat"), 1, true);
            Zapisz(*okno, platforma);
            EXPECT_GE(zawodny.liczbaBledow(), 2) << "the write and its second try";
            EXPECT_FALSE(platforma.bledy().empty());
            nowy = okno->Dokument;
        }
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        EXPECT_TRUE(platforma.bledy().empty()) << Bledy(platforma);
        const std::vector<TDokument> po = Rekordy(katalog.czytaj(PlikDokumentow));
        ASSERT_EQ(po.size(), p.wMiejscu ? 3u : 4u) << "the torn half is completed";
        const TDokument& rekord = p.wMiejscu ? po[1] : po[3];
        const bool stary = p.wMiejscu && Bajty(rekord) == Bajty(TrzyDokumentyStanowisk[1]);
        EXPECT_TRUE(stary || Bajty(rekord) == Bajty(nowy)) << "never a mix";
        EXPECT_EQ(QDir(katalog.plik("Uslugi")).entryList(QDir::Files), PlikiUslug);
    }
}

// The document was appended, but "faktura.dat" could not be written: the user learns that the
// document is saved, and the next new invoice, now and after a restart, follows its number.
TEST(Niezawodnosc, ZapisanyDokumentBezZapisanegoNumeru) {
    KatalogTestowy katalog;
    katalog.zapiszRekordy(PlikDokumentow, TrzyDokumentyStanowisk);
    TUstawieniaFaktury u{};
    u.numerator.ustaw(QStringLiteral("41"));
    u.rozszerzenie.ustaw(QStringLiteral("2026"));
    katalog.zapiszRekordy(PlikUstawienFaktury, std::vector{u});
    {
        ZawodnySystemPlikow zawodny;
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma, zawodny);
        okno->SpeedButton6Click();
        EXPECT_EQ(okno->numerator->text(), "42");
        zawodny.zawiedz(O::Utworzenie, Tymczasowy(katalog, PlikUstawienFaktury), 1, true, ENOSPC);
        Zapisz(*okno, platforma);
        ASSERT_EQ(platforma.bledy().size(), 1u);
        const QString blad = platforma.bledy()[0];
        EXPECT_TRUE(blad.startsWith("Dokument został zapisany, ale jego numeru nie udało się zapisać"))
            << blad.toStdString();
        EXPECT_TRUE(blad.contains("faktura.dat") && blad.contains("Brak wolnego miejsca"))
            << blad.toStdString();
        EXPECT_FALSE(blad.contains(".tmp")) << blad.toStdString();
        EXPECT_EQ(Rekordy(katalog.czytaj(PlikDokumentow)).size(), 4u);
        EXPECT_EQ(katalog.rekord<TUstawieniaFaktury>(PlikUstawienFaktury).numerator.tekst(), "41");
        EXPECT_FALSE(okno->NowyDokument) << "the window shows the stored document";
        EXPECT_EQ(okno->PozycjaDokumentu, 4);
        zawodny.napraw();
        Kliknij(*okno, &Tfaktura_f::SpeedButton6Click);
        EXPECT_EQ(okno->numerator->text(), "43");
    }
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    Kliknij(*okno, &Tfaktura_f::SpeedButton6Click);
    EXPECT_EQ(okno->numerator->text(), "43") << "after a restart too";
}

// The rebuilt file replaced the old one, then the folder's sync failed: the message says the
// document is gone, and the window shows what the file now holds, as after a delete that went well.
TEST(Niezawodnosc, BladPoUsunieciuMowiZeUsunieto) {
    OknoNaDanych dane(TrzyDokumentyStanowisk);
    ZawodnySystemPlikow zawodny;
    dane.okno = UruchomOkno(dane.platforma, zawodny);
    Tfaktura_f& okno = *dane.okno;
    WczytajZListy(okno, 1);
    zawodny.zawiedz(O::SynchronizacjaKatalogu, QStringLiteral("Uslugi"));
    Usun(okno, dane.platforma);
    ASSERT_EQ(dane.platforma.bledy().size(), 1u);
    EXPECT_TRUE(dane.platforma.bledy()[0].startsWith("Dokument został usunięty, ale"))
        << dane.platforma.bledy()[0].toStdString();
    const std::vector<TDokument> po = Rekordy(dane.dokumenty());
    ASSERT_EQ(po.size(), 2u);
    EXPECT_EQ(okno.PozycjaDokumentu, 2);
    EXPECT_EQ(okno.numerator->text(), "3");
    EXPECT_EQ(okno.Label22->text(), "Edycja wczytanej faktury Vat");
    // A second press asks about the document now shown; "Nie" deletes nothing more.
    dane.platforma.komunikaty.clear();
    Usun(okno, dane.platforma, false);
    ASSERT_EQ(dane.platforma.komunikaty.size(), 1u);
    EXPECT_EQ(dane.platforma.komunikaty[0].tekst, "Usunąć dokument ?");
    EXPECT_EQ(Rekordy(dane.dokumenty()).size(), 2u);
}

// A file that cannot be opened for writing is reported with the open's own reason.
TEST(Niezawodnosc, PlikIFolderTylkoDoOdczytu) {
    const struct {
        O rodzaj;
        const char* plik;  // "" : the temporary name of faktura.dat
        int kod;
        bool wMiejscu;
        const char* powod;
    } przypadki[] = {
        {O::OtwarcieDoZapisu, "dokumenty.dat", EACCES, true, "Brak dostępu"},
        {O::OtwarcieDoZapisu, "dokumenty.dat", EROFS, true, "System plików tylko do odczytu"},
        {O::OtwarcieDoZapisu, "dokumenty.dat", EROFS, false, "System plików tylko do odczytu"},
        {O::Utworzenie, "", EACCES, false, "Brak dostępu"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.powod);
        OknoNaDanych dane(TrzyDokumentyStanowisk);
        ZawodnySystemPlikow zawodny;
        dane.okno = UruchomOkno(dane.platforma, zawodny);
        PrzygotujZapis(*dane.okno, p.wMiejscu);
        const QString nazwa =
            *p.plik ? QString::fromLatin1(p.plik) : Tymczasowy(dane.katalog, PlikUstawienFaktury);
        zawodny.zawiedz(p.rodzaj, nazwa, 1, true, p.kod);
        const QByteArray przed = dane.dokumenty();
        Zapisz(*dane.okno, dane.platforma);
        ASSERT_EQ(dane.platforma.bledy().size(), 1u);
        const QString blad = dane.platforma.bledy()[0];
        EXPECT_TRUE(blad.contains(QString::fromUtf8(p.powod))) << blad.toStdString();
        EXPECT_FALSE(blad.contains("uchwyt")) << blad.toStdString();
        EXPECT_TRUE(blad.contains(*p.plik ? "dokumenty.dat" : "faktura.dat")) << blad.toStdString();
        if (*p.plik) {
            EXPECT_EQ(dane.dokumenty(), przed);
        }
    }
}

// A pipe in place of a data file never stops the program: start-up and every file picked in a
// dialog refuse it with a Polish message that names it.
TEST(Niezawodnosc, PotokZamiastPliku) {
    for (const char* plik : {"Admini/siec.dat", "Admini/faktura.dat", "Admini/firma.dat", "Admini/info.dat",
                             "Uslugi/dokumenty.dat"}) {
        SCOPED_TRACE(plik);
        KatalogTestowy katalog;
        ASSERT_EQ(::mkfifo(QFile::encodeName(katalog.plik(plik)).constData(), 0644), 0);
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        ASSERT_EQ(platforma.bledy().size(), 1u);
        EXPECT_TRUE(platforma.bledy()[0].contains("potok") && platforma.bledy()[0].contains(plik))
            << platforma.bledy()[0].toStdString();
    }
    OknoNaDanych dane(TrzyDokumentyStanowisk);
    Tfaktura_f& okno = dane.uruchom();
    const QString potok = dane.katalog.plik("Uslugi/potok.kli");
    ASSERT_EQ(::mkfifo(QFile::encodeName(potok).constData(), 0644), 0);
    for (auto obsluga : {&Tfaktura_f::SpeedButton5Click, &Tfaktura_f::SpeedButton13Click,
                         &Tfaktura_f::SpeedButton22Click, &Tfaktura_f::SpeedButton24Click}) {
        dane.platforma.komunikaty.clear();
        dane.platforma.wybranePliki.push_back(potok);
        if (obsluga == &Tfaktura_f::SpeedButton24Click) Kliknij(okno, &Tfaktura_f::SpeedButton17Click);
        Kliknij(okno, obsluga);
        ASSERT_EQ(dane.platforma.bledy().size(), 1u);
        EXPECT_TRUE(dane.platforma.bledy()[0].contains("potok") && dane.platforma.bledy()[0].contains(potok))
            << dane.platforma.bledy()[0].toStdString();
        okno.Panel1->setEnabled(true);
    }
    // The printout font, read by "Drukuj" from the folder FONT.
    dane.katalog.utworzFolder("FONT");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dane.katalog.plik("FONT/font_welkaro.dat")).constData(), 0644), 0);
    dane.platforma.komunikaty.clear();
    Kliknij(okno, &Tfaktura_f::SpeedButton20Click);
    ASSERT_EQ(dane.platforma.bledy().size(), 1u);
    EXPECT_TRUE(dane.platforma.bledy()[0].contains("font_welkaro.dat")) << Bledy(dane.platforma);
}

// A data root that "siec.dat" names wrongly is refused at start-up, naming the file and the fault,
// and no later operation writes anywhere else.
TEST(Niezawodnosc, ZlaSciezkaWSiecDat) {
    const bool korzenMialUslugi = QFileInfo::exists("/Uslugi");
    const struct {
        const char* opis;
        std::uint8_t tryb;
        QString sciezka;
        const char* powod;
    } przypadki[] = {
        {"NUL", 1, QStringLiteral("/tmp") + QChar(0) + QStringLiteral("x"), "znak NUL na pozycji 5"},
        {"pusta lokalna", 1, QString(), "ścieżka jest pusta"},
        {"pusta sieciowa", 2, QString(), "ścieżka jest pusta"},
        {"brak katalogu", 2, QStringLiteral("/nie/ma/takiego/katalogu"), "nie istnieje"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        KatalogTestowy katalog;
        TUstawieniaSieci u{};
        u.tryb = p.tryb;
        (p.tryb == 1 ? u.sciezka_lokalna : u.sciezka_sieciowa).ustaw(p.sciezka);
        katalog.zapiszRekordy("Admini/siec.dat", std::vector{u});
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        ASSERT_EQ(platforma.bledy().size(), 1u);
        const QString blad = platforma.bledy()[0];
        EXPECT_TRUE(blad.contains("siec.dat") && blad.contains(QString::fromUtf8(p.powod)))
            << blad.toStdString();
        EXPECT_FALSE(blad.contains(".tmp"));
        // Nothing is written after the refusal, not even below "/".
        platforma.komunikaty.clear();
        Kliknij(*okno, &Tfaktura_f::SpeedButton6Click);
        Zapisz(*okno, platforma);
        EXPECT_EQ(platforma.bledy().size(), 2u) << Bledy(platforma);
        EXPECT_EQ(QDir(katalog.plik("Uslugi")).entryList(QDir::Files), QStringList());
        EXPECT_EQ(QFileInfo::exists("/Uslugi"), korzenMialUslugi);
    }
}

// Another workstation holds the document file's lock for good: every change says so, names the
// file, and changes nothing.
TEST(Stanowiska, ZajetaBlokadaNicNieZmienia) {
    UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(100));
    for (const char* operacja : {"nowa", "w miejscu", "usunięcie"}) {
        SCOPED_TRACE(operacja);
        OknoNaDanych dane(TrzyDokumentyStanowisk);
        ZawodnySystemPlikow zawodny;
        dane.okno = UruchomOkno(dane.platforma, zawodny);
        Tfaktura_f& okno = *dane.okno;
        const QByteArray przed = dane.dokumenty(), fakturaPrzed = dane.katalog.czytaj(PlikUstawienFaktury);
        zawodny.odmawiajBlokad(true);
        const std::string co = operacja;
        if (co == "nowa") {
            okno.SpeedButton6Click();
            Zapisz(okno, dane.platforma);
            EXPECT_TRUE(okno.NowyDokument) << "still the new document, to be saved again";
        } else if (co == "w miejscu") {
            WczytajZListy(okno, 1);
            okno.odbiorca2->setText(QStringLiteral("zmiana"));
            Zapisz(okno, dane.platforma);
        } else {
            WczytajZListy(okno, 1);
            Usun(okno, dane.platforma);
            EXPECT_EQ(okno.PozycjaDokumentu, 2);
        }
        ASSERT_EQ(dane.platforma.bledy().size(), 1u);
        EXPECT_EQ(dane.platforma.bledy()[0],
                  QStringLiteral("Plik „%1” jest używany na innym stanowisku; spróbuj ponownie")
                      .arg(QFileInfo(dane.katalog.plik(PlikDokumentow)).absoluteFilePath()));
        EXPECT_EQ(dane.dokumenty(), przed);
        EXPECT_EQ(dane.katalog.czytaj(PlikUstawienFaktury), fakturaPrzed);
    }
    UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(5000));
}

// The document shown was changed on another workstation after it was loaded: neither saving in
// place nor deleting touches the record that took its place.
TEST(Stanowiska, ZmienionyGdzieIndziejDokumentNieJestNadpisanyAniUsuniety) {
    for (const bool usuwanie : {false, true}) {
        OknoNaDanych dane(TrzyDokumentyStanowisk);
        Tfaktura_f& okno = dane.uruchom();
        WczytajZListy(okno, 1);
        std::vector<TDokument> inne = TrzyDokumentyStanowisk;
        inne[1].odbiorca1.ustaw(QStringLiteral("zmieniony na innym stanowisku"));
        dane.katalog.zapiszRekordy(PlikDokumentow, inne);
        okno.odbiorca2->setText(QStringLiteral("moja zmiana"));
        if (usuwanie)
            Usun(okno, dane.platforma);
        else
            Zapisz(okno, dane.platforma);
        ASSERT_EQ(dane.platforma.bledy().size(), 1u);
        EXPECT_TRUE(dane.platforma.bledy()[0].contains("na innym stanowisku") &&
                    dane.platforma.bledy()[0].contains("wczytaj"))
            << dane.platforma.bledy()[0].toStdString();
        EXPECT_EQ(dane.dokumenty(), Bajty(inne));
    }
}

// Another workstation saved an invoice and a correction between "Nowa faktura" and saving here:
// the document is saved with the user's number, an information box names the number used there,
// and the correction sequence stored there is kept.
TEST(Stanowiska, NumerZapisanyWMiedzyczasieJestZgloszony) {
    OknoNaDanych dane(TrzyDokumentyStanowisk);
    TUstawieniaFaktury u{};
    u.numerator.ustaw(QStringLiteral("7"));
    u.rozszerzenie.ustaw(QStringLiteral("2026"));
    u.numerator_korekty.ustaw(QStringLiteral("2"));
    dane.ustawienia(u);
    Tfaktura_f& okno = dane.uruchom();
    okno.SpeedButton6Click();
    EXPECT_EQ(okno.numerator->text(), "8");
    TUstawieniaFaktury tam = u;
    tam.numerator.ustaw(QStringLiteral("8"));
    tam.numerator_korekty.ustaw(QStringLiteral("3"));
    // Settings changed meanwhile by the settings program.
    tam.liczba_kopii.ustaw(QStringLiteral("3"));
    tam.stopka.ustaw(QStringLiteral("Nowa stopka"));
    tam.oznaczenie_kopii.ustaw(QStringLiteral("KOPIA"));
    dane.ustawienia(tam);
    Zapisz(okno, dane.platforma);
    EXPECT_TRUE(dane.platforma.bledy().empty()) << Bledy(dane.platforma);
    const auto info = std::find_if(dane.platforma.komunikaty.begin(), dane.platforma.komunikaty.end(),
                                   [](const Komunikat& k) { return k.rodzaj == "informacja"; });
    ASSERT_NE(info, dane.platforma.komunikaty.end());
    EXPECT_TRUE(info->tekst.contains("nr 8/2026")) << info->tekst.toStdString();
    EXPECT_EQ(Rekordy(dane.dokumenty()).back().numerator.tekst(), "8");
    const TUstawieniaFaktury po = dane.ustawieniaNaDysku();
    EXPECT_EQ(po.numerator.tekst(), "8");
    EXPECT_EQ(po.numerator_korekty.tekst(), "3") << "the correction stored there keeps its number";
    EXPECT_EQ(po.liczba_kopii.tekst(), "3");
    EXPECT_EQ(po.stopka.tekst(), "Nowa stopka");
    EXPECT_EQ(po.oznaczenie_kopii.tekst(), "KOPIA");
}

// Two copies of the module, as two processes, on one folder: each saves new invoices, changes and
// deletes its own in a loop. Afterwards every document that either was told it saved (and did not
// delete) is in the file exactly once, whole and as last changed, and no other document is there.
TEST(Stanowiska, DwaProcesyNaJednymFolderze) {
    KatalogTestowy katalog;
    {
        PlatformaTestowa platforma;
        UruchomOkno(platforma);
    }  // the first start creates the files
    const QStringList znaczniki = {QStringLiteral("A"), QStringLiteral("B")};
    std::vector<std::unique_ptr<QProcess>> procesy;
    for (int i = 0; i < znaczniki.size(); ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(ProgramBudowy(STANOWISKO_TESTOWE),
                 {katalog.sciezka(), znaczniki[i], QStringLiteral("3000"), QString::number(17 + i)});
        procesy.push_back(std::move(p));
    }
    std::map<QString, QString> zapisane;  // buyer line 1 -> line 2 as last changed
    std::set<QString> usuniete;
    int zapisow = 0, zmian = 0, usuniec = 0;
    for (auto& p : procesy) {
        ASSERT_TRUE(p->waitForFinished(120000));
        ASSERT_EQ(p->exitCode(), 0);
        const QStringList linie =
            QString::fromUtf8(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(linie.isEmpty());
        EXPECT_EQ(linie.back(), "KONIEC");
        for (const QString& linia : linie) {
            const QStringList czesci = linia.split(u' ');
            if (czesci[0] == "ZAPISANY") {
                zapisane[czesci[1]] = QString();
                ++zapisow;
            } else if (czesci[0] == "ZMIENIONY") {
                zapisane[czesci[1]] = czesci[2];
                ++zmian;
            } else if (czesci[0] == "USUNIETY") {
                zapisane.erase(czesci[1]);
                usuniete.insert(czesci[1]);
                ++usuniec;
            } else if (czesci[0] == "BLAD") {
                ADD_FAILURE() << linia.toStdString();
            }
        }
    }
    EXPECT_GT(zapisow, 10);
    EXPECT_GT(zmian, 0);
    EXPECT_GT(usuniec, 0);
    std::map<QString, int> wPliku;
    const QByteArray plik = katalog.czytaj(PlikDokumentow);
    ASSERT_EQ(plik.size() % qsizetype(sizeof(TDokument)), 0);
    const std::vector<TDokument> rekordy = Rekordy(plik);
    for (std::size_t i = 1; i < rekordy.size(); ++i) {
        const QString nazwa = rekordy[i].odbiorca1.tekst();
        ++wPliku[nazwa];
        ASSERT_TRUE(zapisane.count(nazwa)) << nazwa.toStdString() << ": in the file, but not as saved";
        EXPECT_EQ(rekordy[i].odbiorca2.tekst(), zapisane[nazwa]) << nazwa.toStdString();
        EXPECT_EQ(rekordy[i].rodzaj.tekst(), "F");
    }
    for (const auto& [nazwa, zmiana] : zapisane) EXPECT_EQ(wPliku[nazwa], 1) << nazwa.toStdString();
    EXPECT_EQ(rekordy.size(), zapisane.size() + 1);
    EXPECT_EQ(QDir(katalog.plik("Uslugi")).entryList(QDir::Files), PlikiUslug);
}

}  // namespace
