// The whole-file helpers every program uses: the writer under faults (errors name the target), the
// refusal of an existing target, the reader's limit, the locked change keeping the bytes after the
// record, the folder maker, the data-folder test and the one error message rule.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

#include "pomocnicze.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/pliki_danych.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

struct Ustawienia {
    char bajty[8];
};

Ustawienia U(const char (&tekst)[9]) {
    Ustawienia u;
    std::memcpy(u.bajty, tekst, 8);
    return u;
}

class CalePliki : public ::testing::Test {
  protected:
    QString sciezka(const QString& nazwa) const { return katalog_.filePath(nazwa); }
    QStringList pliki() const { return QDir(katalog_.path()).entryList(QDir::Files, QDir::Name); }
    QTemporaryDir katalog_;
    SystemPlikow& system_ = DomyslnySystemPlikow();
};

// The two writers: the store's own, and content written by name by someone else (the PDF printer).
enum class Pisarz { Wlasny, Przez };

void Zapisz(Pisarz pisarz, SystemPlikow& system, const QString& cel, const QByteArray& dane,
            const OpcjeZapisu& opcje = {}) {
    if (pisarz == Pisarz::Wlasny) {
        ZapiszAtomowo(system, cel, dane, opcje);
        return;
    }
    ZapiszPrzez(
        system, cel,
        [&](const QString& tymczasowy) {
            QFile plik(tymczasowy);
            ASSERT_TRUE(plik.open(QIODevice::WriteOnly));
            plik.write(dane);
        },
        opcje);
}

// Every operation on the temporary file failing: the error names the target and says why, the
// target keeps its old bytes and no temporary file stays behind.
TEST_F(CalePliki, BladZapisuNazywaCelNieTymczasowy) {
    using O = ZawodnySystemPlikow::Operacja;
    const struct {
        Pisarz pisarz;
        O operacja;
        int kod;
    } przypadki[] = {
        {Pisarz::Wlasny, O::Utworzenie, EACCES},  {Pisarz::Wlasny, O::Zapis, ENOSPC},
        {Pisarz::Wlasny, O::Synchronizacja, EIO}, {Pisarz::Wlasny, O::Zamkniecie, EIO},
        {Pisarz::Wlasny, O::ZmianaNazwy, EXDEV},  {Pisarz::Przez, O::OtwarcieDoZapisu, EACCES},
        {Pisarz::Przez, O::Synchronizacja, EIO},  {Pisarz::Przez, O::ZmianaNazwy, EXDEV},
    };
    const QString cel = sciezka(QStringLiteral("faktura.dat"));
    const QString tymczasowy = NazwaTymczasowa(cel);
    for (const auto& p : przypadki) {
        const std::string opis =
            "pisarz " + std::to_string(int(p.pisarz)) + " operacja " + std::to_string(int(p.operacja));
        ZapiszBajty(cel, "stare");
        ZawodnySystemPlikow zawodny;
        zawodny.zawiedz(p.operacja, tymczasowy.mid(tymczasowy.lastIndexOf(u'/') + 1), 1, false, p.kod);
        try {
            Zapisz(p.pisarz, zawodny, cel, "nowa treść");
            ADD_FAILURE() << opis << ": no error";
        } catch (const BladPliku& blad) {
            EXPECT_EQ(blad.sciezka(), cel) << opis;
            EXPECT_EQ(blad.kod(), p.kod) << opis;
            EXPECT_TRUE(blad.komunikat().contains(KomunikatSystemu(p.kod))) << blad.komunikat().toStdString();
            EXPECT_FALSE(blad.komunikat().contains(QStringLiteral(".tmp"))) << blad.komunikat().toStdString();
        }
        EXPECT_EQ(zawodny.liczbaBledow(), 1) << opis;
        EXPECT_EQ(zawodny.liczbaOtwartych(), 0) << opis;
        EXPECT_EQ(BajtyPliku(cel), QByteArray("stare")) << opis;
        EXPECT_EQ(pliki(), QStringList{"faktura.dat"}) << opis;
    }
}

// An existing target that is not to be replaced is refused, also when it appears while the new
// content is written; the refusal is a message to show as it is, and nothing of the write stays.
TEST_F(CalePliki, IstniejacyCelNieJestZastepowany) {
    const QString cel = sciezka(QStringLiteral("F_1_2026.pdf"));
    for (const Pisarz pisarz : {Pisarz::Wlasny, Pisarz::Przez}) {
        OpcjeZapisu bezZastepowania;
        bezZastepowania.zastap = false;
        bezZastepowania.sciezkaPakietu = false;
        QFile::remove(cel);

        Zapisz(pisarz, system_, cel, "pierwszy", bezZastepowania);
        EXPECT_EQ(BajtyPliku(cel), QByteArray("pierwszy"));
        try {
            Zapisz(pisarz, system_, cel, "drugi", bezZastepowania);
            ADD_FAILURE() << "no refusal";
        } catch (const CelIstnieje& odmowa) {
            EXPECT_EQ(odmowa.sciezka(), cel);
            EXPECT_TRUE(odmowa.komunikat().contains(cel));
        }
        EXPECT_EQ(BajtyPliku(cel), QByteArray("pierwszy"));

        // Another program creates the target while this one writes.
        QFile::remove(cel);
        ZawodnySystemPlikow system;
        EXPECT_THROW(ZapiszPrzez(
                         system, cel,
                         [&](const QString& tymczasowy) {
                             ZapiszBajty(tymczasowy, "moje");
                             ZapiszBajty(cel, "cudze");
                         },
                         bezZastepowania),
                     CelIstnieje);
        EXPECT_EQ(BajtyPliku(cel), QByteArray("cudze"));
        EXPECT_EQ(pliki(), QStringList{"F_1_2026.pdf"});

        Zapisz(pisarz, system_, cel, "trzeci");
        EXPECT_EQ(BajtyPliku(cel), QByteArray("trzeci")) << "replaced when allowed";
    }
}

// An exact path of this system is taken as given; a path of the suite finds the existing spelling.
TEST_F(CalePliki, SciezkaPakietuIDokladna) {
    ASSERT_TRUE(QDir(katalog_.path()).mkdir(QStringLiteral("ADMINI")));
    ZapiszAtomowo(system_, katalog_.path() + QStringLiteral("\\Admini\\faktura.dat"), QByteArray("pakiet"));
    EXPECT_EQ(BajtyPliku(sciezka(QStringLiteral("ADMINI/faktura.dat"))), QByteArray("pakiet"));

    OpcjeZapisu dokladna;
    dokladna.sciezkaPakietu = false;
    ZapiszBajty(sciezka(QStringLiteral("rejestr.csv")), "stary");
    ZapiszAtomowo(system_, sciezka(QStringLiteral("Rejestr.csv")), QByteArray("nowy"), dokladna);
    EXPECT_EQ(BajtyPliku(sciezka(QStringLiteral("rejestr.csv"))), QByteArray("stary"));
    EXPECT_EQ(BajtyPliku(sciezka(QStringLiteral("Rejestr.csv"))), QByteArray("nowy"));
}

// Many files, one sync of their folder: done once at teraz(), or at the end of the scope when the
// run ends with an error.
TEST_F(CalePliki, JednaSynchronizacjaFolderu) {
    using O = ZawodnySystemPlikow::Operacja;
    OpcjeZapisu bezSynchronizacji;
    bezSynchronizacji.synchronizujFolder = false;
    for (const bool doKonca : {true, false}) {
        QTemporaryDir katalog;
        const QString folder = katalog.path();
        const QString nazwaFolderu = QDir(folder).dirName();
        ZawodnySystemPlikow zawodny;
        // Every folder sync after the first fails: a second one would show as an error.
        zawodny.zawiedz(O::SynchronizacjaKatalogu, nazwaFolderu, 2, true);
        try {
            SynchronizacjaNaKoniec synchronizacja(zawodny, folder);
            for (int i = 0; i < 3; ++i)
                ZapiszAtomowo(zawodny, katalog.filePath(QStringLiteral("%1.xml").arg(i)), QByteArray("x"),
                              bezSynchronizacji);
            if (!doKonca) throw std::runtime_error("przerwany przebieg");
            synchronizacja.teraz();
        } catch (const std::runtime_error&) {
            EXPECT_FALSE(doKonca);
        }
        EXPECT_EQ(zawodny.liczbaBledow(), 0) << "one folder sync only, doKonca=" << doKonca;
        zawodny.symulujAwarie();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), (QStringList{"0.xml", "1.xml", "2.xml"}))
            << "the names survive a crash";
    }
}

// The reader refuses a file above its limit (by its size, without reading it) and reads the rest
// whole; the record reader splits off what follows the record and refuses less than one record.
TEST_F(CalePliki, CzytnikZLimitem) {
    const struct {
        qint64 rozmiar;
        std::uint64_t najwiecej;
        bool czyta;
    } przypadki[] = {{0, 0, true}, {10, 10, true}, {11, 10, false}, {1000, 64 * 1024, true}};
    const QString plik = sciezka(QStringLiteral("katalog-danych"));
    for (const auto& p : przypadki) {
        ZapiszBajty(plik, QByteArray(p.rozmiar, 'a'));
        try {
            EXPECT_EQ(CzytajCalyPlik(system_, plik, p.najwiecej), QByteArray(p.rozmiar, 'a'));
            EXPECT_TRUE(p.czyta) << p.rozmiar;
        } catch (const BladPliku& blad) {
            EXPECT_FALSE(p.czyta) << p.rozmiar;
            EXPECT_EQ(blad.sciezka(), plik);
            EXPECT_TRUE(blad.komunikat().contains(QStringLiteral("za duży")))
                << blad.komunikat().toStdString();
        }
    }
    QFile::remove(plik);
    EXPECT_THROW(CzytajCalyPlik(system_, plik, 10), BladPliku);

    const struct {
        QByteArray bajty;
        bool czyta;
        QByteArray ogon;
    } rekordy[] = {
        {"krotki", false, {}},
        {"12345678", true, {}},
        {"12345678ogon", true, "ogon"},
    };
    for (const auto& r : rekordy) {
        ZapiszBajty(plik, r.bajty);
        PlikZRekordem<Ustawienia> wczytany;
        try {
            CzytajPlikZRekordem(system_, plik, wczytany);
            EXPECT_TRUE(r.czyta) << r.bajty.toStdString();
            EXPECT_EQ(Bajty(*wczytany.rekord), QByteArray("12345678"));
            EXPECT_EQ(wczytany.ogon, r.ogon);
        } catch (const BladPliku& blad) {
            EXPECT_FALSE(r.czyta) << r.bajty.toStdString();
            EXPECT_TRUE(blad.komunikat().contains(QStringLiteral("krótszy niż jeden rekord")));
        }
    }
    // A tail beyond the limit (a sparse file: nothing is read to find out).
    QFile duzy(plik);
    ASSERT_TRUE(duzy.open(QIODevice::ReadWrite));
    ASSERT_TRUE(duzy.resize(static_cast<qint64>(sizeof(Ustawienia) + NajdluzszyOgon + 1)));
    duzy.close();
    PlikZRekordem<Ustawienia> wczytany;
    EXPECT_THROW(CzytajPlikZRekordem(system_, plik, wczytany), BladPliku);
}

// The locked change: the record on the disk goes to the change, the bytes after it stay, a missing
// file starts from the default; a short file is refused unless the caller chose to replace it.
TEST_F(CalePliki, ZmianaPodBlokadaZachowujeOgon) {
    const struct {
        const char* opis;
        std::optional<QByteArray> przed;  // nothing: no file
        KrotszyPlik krotszy;
        bool udana;
        QByteArray naDysku;  // the record returned as it was
        QByteArray po;
    } przypadki[] = {
        {"rekord", QByteArray("abcdefgh"), KrotszyPlik::Blad, true, "abcdefgh", "Xbcdefgh"},
        {"rekord i ogon", QByteArray("abcdefgh-ogon-"), KrotszyPlik::Blad, true, "abcdefgh",
         "Xbcdefgh-ogon-"},
        {"brak pliku", std::nullopt, KrotszyPlik::Blad, true, "domyslny", "Xomyslny"},
        {"krótszy", QByteArray("abc"), KrotszyPlik::Blad, false, {}, "abc"},
        {"krótszy, zastąpiony", QByteArray("abc"), KrotszyPlik::OdDomyslnego, true, "domyslny", "Xomyslny"},
    };
    const QString plik = sciezka(QStringLiteral("faktura.dat"));
    for (const auto& p : przypadki) {
        QFile::remove(plik);
        if (p.przed) ZapiszBajty(plik, *p.przed);
        try {
            const PlikZRekordem<Ustawienia> byl = ZmienPodBlokada<Ustawienia>(
                system_, plik, [](Ustawienia& u) { u.bajty[0] = 'X'; }, U("domyslny"), p.krotszy);
            EXPECT_TRUE(p.udana) << p.opis;
            EXPECT_EQ(Bajty(*byl.rekord), p.naDysku) << p.opis;
            EXPECT_EQ(byl.ogon, p.przed && p.przed->size() > 8 ? p.przed->mid(8) : QByteArray()) << p.opis;
        } catch (const BladPliku& blad) {
            EXPECT_FALSE(p.udana) << p.opis;
            EXPECT_EQ(blad.sciezka(), plik) << p.opis;
        }
        EXPECT_EQ(BajtyPliku(plik), p.po) << p.opis;
        EXPECT_EQ(pliki(), QStringList{"faktura.dat"}) << p.opis;
    }
}

// Folders made with every missing one above; an existing one is no error, a file in the way is
// named; every new folder survives a crash.
TEST_F(CalePliki, UtworzKatalogi) {
    const QString gleboki = sciezka(QStringLiteral("a/b/c"));
    ZawodnySystemPlikow zawodny;
    UtworzKatalogi(zawodny, gleboki);
    zawodny.symulujAwarie();
    EXPECT_TRUE(QFileInfo(gleboki).isDir());
    UtworzKatalogi(zawodny, gleboki);
    EXPECT_TRUE(QFileInfo(gleboki).isDir());

    ZapiszBajty(sciezka(QStringLiteral("plik")), "x");
    for (const QString& wzgledna : {QStringLiteral("plik"), QStringLiteral("plik/pod")}) {
        try {
            UtworzKatalogi(system_, sciezka(wzgledna));
            ADD_FAILURE() << wzgledna.toStdString();
        } catch (const BladPliku& blad) {
            EXPECT_EQ(blad.sciezka(), sciezka(QStringLiteral("plik"))) << blad.komunikat().toStdString();
        }
    }
}

// A data folder is one with its settings folder, spelt any way, as a folder.
TEST_F(CalePliki, JestFolderemDanych) {
    const struct {
        const char* folder;  // made below the test folder, or nullptr
        const char* plik;    // a file made there, or nullptr
        bool danych;
    } przypadki[] = {
        {nullptr, nullptr, false},  {"Admini", nullptr, true},
        {"ADMINI", nullptr, true},  {"aDmInI", "aDmInI/siec.dat", true},
        {"Uslugi", nullptr, false}, {nullptr, "Admini", false},  // a file of that name
    };
    for (const auto& p : przypadki) {
        QTemporaryDir folder;
        if (p.folder) {
            ASSERT_TRUE(QDir(folder.path()).mkdir(QString::fromLatin1(p.folder)));
        }
        if (p.plik) ZapiszBajty(folder.filePath(QString::fromLatin1(p.plik)), "x");
        EXPECT_EQ(JestFolderemDanych(system_, folder.path()), p.danych)
            << (p.folder ? p.folder : "-") << " " << (p.plik ? p.plik : "-");
    }
    EXPECT_FALSE(JestFolderemDanych(system_, QString()));
}

// Every error becomes its message the same way: file errors and refusals as they are (never as
// unexpected), anything else as an unexpected error of the program.
struct OdmowaPochodna : Odmowa {
    using Odmowa::Odmowa;
};

TEST(KomunikatBledu, JednaRegula) {
    const BladPliku plik(QStringLiteral("otwarcie"), QStringLiteral("/d/Uslugi/dokumenty.dat"), ENOENT);
    const struct {
        std::function<void()> rzuc;
        QString komunikat;
    } przypadki[] = {
        {[&] { throw plik; }, plik.komunikat()},
        {[] { throw Odmowa(QStringLiteral("Folder zawiera już dane modułu.")); },
         QStringLiteral("Folder zawiera już dane modułu.")},
        {[] { throw CelIstnieje(QStringLiteral("/w/F_1.pdf")); },
         QStringLiteral("Plik „/w/F_1.pdf” już istnieje.")},
        // A refusal of a higher layer (the printer's) derives from Odmowa and is shown as it is.
        {[] { throw OdmowaPochodna(QStringLiteral("Nie można rozpocząć wydruku na drukarce X.")); },
         QStringLiteral("Nie można rozpocząć wydruku na drukarce X.")},
        {[] { throw std::bad_alloc(); }, QStringLiteral("Zabrakło pamięci.")},
        {[] { throw std::logic_error("zły stan"); }, QStringLiteral("Nieoczekiwany błąd programu: zły stan")},
        {[] { throw 7; }, QStringLiteral("Nieoczekiwany błąd programu.")},
    };
    for (const auto& p : przypadki) {
        try {
            p.rzuc();
            ADD_FAILURE();
        } catch (...) {
            EXPECT_EQ(KomunikatBiezacegoBledu(), p.komunikat);
        }
    }
}

}  // namespace
