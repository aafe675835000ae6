// The KSeF files of a data folder: the "klucz=wartość" reader and writer, the document's state kept
// across rewrites with keys of a newer version, damaged files named, the FA(3) bytes kept once
// whatever other writers do, the locks, and the KSeF settings.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <atomic>
#include <thread>
#include <vector>

#include "pomocnicze.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/pary.h"
#include "store/pliki_danych.h"
#include "store/stan_ksef.h"
#include "store/ustawienia_ksef.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

class StanKsefTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(katalog_.isValid());
        ASSERT_TRUE(QDir(katalog_.path()).mkpath(QStringLiteral("Admini")));
        UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(100));
    }
    void TearDown() override { UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(5000)); }

    QString dane() const { return katalog_.path(); }
    QString plik(const QString& wzgledna) const { return katalog_.filePath(wzgledna); }

    QTemporaryDir katalog_;
    SystemPlikow& system_ = DomyslnySystemPlikow();
};

StanKsef PelnyStan() {
    StanKsef s;
    s.stan = StanWysylki::Odrzucony;
    s.srodowisko = QStringLiteral("https://api-test.ksef.mf.gov.pl/v2");
    s.skrot = QStringLiteral("q1w2e3r4t5y6u7i8o9p0==");
    s.rozmiar = 123456789012;
    s.numerSesji = QStringLiteral("20260101-SE-1234567890-ABCDEF0123-45");
    s.numerFaktury = QStringLiteral("20260101-EE-1234567890-ABCDEF0123-46");
    s.numerKsef = QStringLiteral("5265877635-20260101-0100A0000000-1F");
    s.dataPrzyjecia = QDateTime(QDate(2026, 1, 1), QTime(10, 20, 30, 456), QTimeZone::utc());
    s.kod = 450;
    s.powod = QStringLiteral("Błąd weryfikacji semantyki:\nNIP nabywcy = „zły” \\ linia 2\r\nkoniec");
    s.maUpo = true;
    s.trybOffline = QStringLiteral("offline24");
    s.terminOffline = QDate(2026, 1, 2);
    return s;
}

void OczekujRowne(const StanKsef& a, const StanKsef& b) {
    EXPECT_EQ(a.stan, b.stan);
    EXPECT_EQ(a.srodowisko, b.srodowisko);
    EXPECT_EQ(a.skrot, b.skrot);
    EXPECT_EQ(a.rozmiar, b.rozmiar);
    EXPECT_EQ(a.numerSesji, b.numerSesji);
    EXPECT_EQ(a.numerFaktury, b.numerFaktury);
    EXPECT_EQ(a.numerKsef, b.numerKsef);
    EXPECT_EQ(a.dataPrzyjecia, b.dataPrzyjecia);
    EXPECT_EQ(a.kod, b.kod);
    EXPECT_EQ(a.powod, b.powod);
    EXPECT_EQ(a.maUpo, b.maUpo);
    EXPECT_EQ(a.trybOffline, b.trybOffline);
    EXPECT_EQ(a.terminOffline, b.terminOffline);
}

TEST(ParyKsef, ZapisIOdczytZachowujaWartosciKomentarzeIKolejnosc) {
    struct P {
        const char* klucz;
        QString wartosc;
    };
    const std::vector<P> przypadki{
        {"zwykly", QStringLiteral("tekst")},
        {"polski", QStringLiteral("zażółć gęślą jaźń")},
        {"rowna_sie", QStringLiteral("a=b=c")},
        {"wiersze", QStringLiteral("pierwszy\ndrugi\r\ntrzeci")},
        {"ukosniki", QStringLiteral("\\n to nie wiersz \\\\")},
        {"pusty", QString()},
        {"spacje", QStringLiteral("  na brzegach  ")},
    };
    Pary pary = Pary::Z("# komentarz na początku\n", QStringLiteral("x"));
    for (const P& p : przypadki) pary.ustaw(QLatin1String(p.klucz), p.wartosc);
    const Pary odczytane = Pary::Z(pary.bajty(), QStringLiteral("x"));
    ASSERT_EQ(odczytane.linie().size(), przypadki.size() + 1);
    EXPECT_EQ(odczytane.linie()[0].klucz, QString());
    EXPECT_EQ(odczytane.linie()[0].wartosc, QStringLiteral("# komentarz na początku"));
    for (std::size_t i = 0; i < przypadki.size(); ++i) {
        EXPECT_EQ(odczytane.linie()[i + 1].klucz, QLatin1String(przypadki[i].klucz));
        EXPECT_EQ(odczytane.wartosc(QLatin1String(przypadki[i].klucz)), przypadki[i].wartosc)
            << przypadki[i].klucz;
    }
    // Every value stays on its own line.
    EXPECT_EQ(pary.bajty().count('\n'), static_cast<qsizetype>(przypadki.size() + 1));
}

TEST(ParyKsef, UszkodzonyPlikJestBledemPlikuZNazwa) {
    struct P {
        const char* opis;
        QByteArray bajty;
        const char* wSlowach;
    };
    const std::vector<P> przypadki{
        {"bez znaku =", "a=1\nsamo słowo\n", "wiersz 2"},
        {"pusty klucz", "=1\n", "pusty klucz"},
        {"powtórzony klucz", "a=1\nb=2\na=3\n", "powtórzony"},
        {"błędny znak ucieczki", "a=x\\t\n", "\\"},
        {"ukośnik na końcu", "a=x\\\n", "\\"},
        {"nie UTF-8", "a=\xB9\xE6\n", "UTF-8"},
        {"bajt zerowy", QByteArray("a=1\nb=\0\n", 8), "bajt zerowy"},
    };
    for (const P& p : przypadki) {
        try {
            Pary::Z(p.bajty, QStringLiteral("/dane/KSeF/F_1.stan"));
            ADD_FAILURE() << p.opis << ": przyjęty";
        } catch (const BladPliku& blad) {
            EXPECT_EQ(blad.sciezka(), QStringLiteral("/dane/KSeF/F_1.stan")) << p.opis;
            EXPECT_TRUE(blad.komunikat().contains(QString::fromUtf8(p.wSlowach)))
                << p.opis << blad.komunikat().toStdString();
        }
    }
    // Blank lines and CR LF ends are no damage.
    EXPECT_EQ(Pary::Z("\r\n  \na=1\r\n", QString()).wartosc(QStringLiteral("a")), QStringLiteral("1"));
}

TEST_F(StanKsefTest, StanZapisanyJestOdczytanyTakiSamZCzasemIStanowiskiem) {
    EXPECT_FALSE(CzytajStanKsef(system_, dane(), QStringLiteral("F_1_2026")).has_value());
    EXPECT_FALSE(QDir(plik(QStringLiteral("KSeF"))).exists()) << "the reader creates nothing";
    const QDateTime przed = QDateTime::currentDateTimeUtc().addSecs(-1);
    const StanKsef zapisany =
        ZmienStanKsef(system_, dane(), QStringLiteral("F_1_2026"), [](std::optional<StanKsef>& s) {
            EXPECT_FALSE(s.has_value());
            s = PelnyStan();
        });
    const std::optional<StanKsef> odczytany = CzytajStanKsef(system_, dane(), QStringLiteral("F_1_2026"));
    ASSERT_TRUE(odczytany.has_value());
    OczekujRowne(*odczytany, PelnyStan());
    EXPECT_EQ(odczytany->czasZmiany, zapisany.czasZmiany);
    EXPECT_GE(odczytany->czasZmiany, przed);
    EXPECT_EQ(odczytany->czasZmiany.timeSpec(), Qt::UTC);
    EXPECT_EQ(odczytany->stanowisko, NazwaStanowiska());
    const QByteArray bajty = BajtyPliku(plik(QStringLiteral("KSeF/F_1_2026.stan")));
    EXPECT_TRUE(bajty.startsWith("stan=odrzucony\n")) << bajty.constData();
    EXPECT_TRUE(bajty.contains("data_przyjecia=2026-01-01T10:20:30.456Z\n")) << bajty.constData();
    EXPECT_TRUE(bajty.contains("termin_offline=2026-01-02\n")) << bajty.constData();

    // Every state word reads back as itself; a default state leaves out what it does not have.
    for (StanWysylki rodzaj : {StanWysylki::Niewyslany, StanWysylki::Wysylany, StanWysylki::Wyslany,
                               StanWysylki::Przyjety, StanWysylki::Odrzucony, StanWysylki::Offline}) {
        ZmienStanKsef(system_, dane(), QStringLiteral("K_2_K_2026"), [&](std::optional<StanKsef>& s) {
            s = StanKsef{};
            s->stan = rodzaj;
        });
        const auto s = CzytajStanKsef(system_, dane(), QStringLiteral("K_2_K_2026"));
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(s->stan, rodzaj);
        EXPECT_EQ(StanZeSlowa(SlowoStanu(rodzaj)), rodzaj);
        EXPECT_FALSE(BajtyPliku(plik(QStringLiteral("KSeF/K_2_K_2026.stan"))).contains("numer_ksef"));
    }
}

TEST_F(StanKsefTest, JestWKsefTylkoWyslanyIPrzyjety) {
    const std::vector<std::pair<StanWysylki, bool>> przypadki{
        {StanWysylki::Niewyslany, false}, {StanWysylki::Wysylany, true},   {StanWysylki::Wyslany, true},
        {StanWysylki::Przyjety, true},    {StanWysylki::Odrzucony, false}, {StanWysylki::Offline, false},
    };
    for (const auto& [rodzaj, wKsef] : przypadki) {
        StanKsef s;
        s.stan = rodzaj;
        EXPECT_EQ(JestWKsef(s), wKsef) << SlowoStanu(rodzaj).toStdString();
    }
}

TEST_F(StanKsefTest, NieznaneKluczeIKomentarzeZostajaPrzyZmianie) {
    QDir(dane()).mkpath(QStringLiteral("KSeF"));
    ZapiszBajty(plik(QStringLiteral("KSeF/F_3_2026.stan")),
                "# nowsza wersja\nstan=wyslany\nprzyszly_klucz=zostaje\nnumer_faktury=R1\n");
    ZmienStanKsef(system_, dane(), QStringLiteral("F_3_2026"), [](std::optional<StanKsef>& s) {
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(s->numerFaktury, QStringLiteral("R1"));
        s->stan = StanWysylki::Przyjety;
        s->numerKsef = QStringLiteral("N1");
    });
    const QByteArray bajty = BajtyPliku(plik(QStringLiteral("KSeF/F_3_2026.stan")));
    EXPECT_TRUE(
        bajty.startsWith("# nowsza wersja\nstan=przyjety\nprzyszly_klucz=zostaje\nnumer_faktury=R1\n"))
        << bajty.constData();
    EXPECT_TRUE(bajty.contains("numer_ksef=N1\n"));
    // A state taken away leaves an empty file, which reads as none.
    ZmienStanKsef(system_, dane(), QStringLiteral("F_3_2026"), [](std::optional<StanKsef>& s) { s.reset(); });
    EXPECT_FALSE(CzytajStanKsef(system_, dane(), QStringLiteral("F_3_2026")).has_value());
}

TEST_F(StanKsefTest, UszkodzonyStanJestBledemINieJestZmieniany) {
    QDir(dane()).mkpath(QStringLiteral("KSeF"));
    const std::vector<QByteArray> przypadki{
        "stan=zgubiony\n",
        "stan=wyslany\nkod=dużo\n",
        "stan=wyslany\nrozmiar=1x\n",
        "stan=przyjety\ndata_przyjecia=wczoraj\n",
        "stan=offline\ntermin_offline=2026-02-30\n",
        "stan=przyjety\nupo=może\n",
        "numer_ksef=N\n",
        "stan=wyslany\nkod=99999999999\n",
    };
    const QString sciezka = plik(QStringLiteral("KSeF/F_4_2026.stan"));
    for (const QByteArray& bajty : przypadki) {
        ZapiszBajty(sciezka, bajty);
        try {
            CzytajStanKsef(system_, dane(), QStringLiteral("F_4_2026"));
            ADD_FAILURE() << bajty.constData() << ": przyjęty";
        } catch (const BladPliku& blad) {
            EXPECT_EQ(blad.sciezka(), sciezka);
            EXPECT_TRUE(blad.komunikat().contains(QStringLiteral("uszkodzony")))
                << blad.komunikat().toStdString();
        }
        bool wywolana = false;
        EXPECT_THROW(ZmienStanKsef(system_, dane(), QStringLiteral("F_4_2026"),
                                   [&](std::optional<StanKsef>&) { wywolana = true; }),
                     BladPliku);
        EXPECT_FALSE(wywolana);
        EXPECT_EQ(BajtyPliku(sciezka), bajty);
    }
    ZapiszBajty(sciezka, QByteArray(70 * 1024, 'a'));
    EXPECT_THROW(CzytajStanKsef(system_, dane(), QStringLiteral("F_4_2026")), BladPliku);
}

TEST_F(StanKsefTest, NazwyRozniaceSieWielkosciaLiterToDwaDokumenty) {
    ZmienStanKsef(system_, dane(), QStringLiteral("F_5_A"), [](std::optional<StanKsef>& s) {
        s = StanKsef{};
        s->stan = StanWysylki::Przyjety;
    });
    EXPECT_FALSE(CzytajStanKsef(system_, dane(), QStringLiteral("F_5_a")).has_value());
    ZachowajXmlKsef(system_, dane(), QStringLiteral("F_5_A"), "<A/>");
    EXPECT_EQ(ZachowajXmlKsef(system_, dane(), QStringLiteral("F_5_a"), "<a/>"), QByteArray("<a/>"));
}

TEST_F(StanKsefTest, NazwaSpozaFolderuKsefJestOdmowiona) {
    for (const QString& nazwa : {QString(), QStringLiteral("../F_1"), QStringLiteral("a/b"),
                                 QStringLiteral("a\\b"), QStringLiteral("F 1"), QStringLiteral(".")}) {
        EXPECT_THROW(CzytajStanKsef(system_, dane(), nazwa), Odmowa) << nazwa.toStdString();
        EXPECT_THROW(ZachowajXmlKsef(system_, dane(), nazwa, "<x/>"), Odmowa) << nazwa.toStdString();
        EXPECT_THROW(ZapiszUpoSesji(system_, dane(), nazwa, "<x/>"), Odmowa) << nazwa.toStdString();
    }
    EXPECT_FALSE(QDir(plik(QStringLiteral("KSeF"))).exists());
}

TEST_F(StanKsefTest, ZachowaneBajtyNigdyNieSaZastepowane) {
    EXPECT_FALSE(CzytajXmlKsef(system_, dane(), QStringLiteral("F_6_2026")).has_value());
    EXPECT_EQ(ZachowajXmlKsef(system_, dane(), QStringLiteral("F_6_2026"), "<pierwsze/>"),
              QByteArray("<pierwsze/>"));
    EXPECT_EQ(ZachowajXmlKsef(system_, dane(), QStringLiteral("F_6_2026"), "<drugie/>"),
              QByteArray("<pierwsze/>"));
    EXPECT_EQ(CzytajXmlKsef(system_, dane(), QStringLiteral("F_6_2026")), QByteArray("<pierwsze/>"));

    // Many copies at once: one set of bytes is kept, and every copy is given exactly those.
    std::vector<QByteArray> wyniki(8);
    std::vector<std::thread> watki;
    for (int i = 0; i < 8; ++i)
        watki.emplace_back([&, i] {
            UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(5000));
            wyniki[i] = ZachowajXmlKsef(system_, dane(), QStringLiteral("F_7_2026"),
                                        QByteArray("<kopia nr=\"") + QByteArray::number(i) + "\"/>");
        });
    for (std::thread& w : watki) w.join();
    const QByteArray zachowane = BajtyPliku(plik(QStringLiteral("KSeF/F_7_2026.xml")));
    EXPECT_TRUE(zachowane.startsWith("<kopia"));
    for (const QByteArray& wynik : wyniki) EXPECT_EQ(wynik, zachowane);
}

// A writer that takes no lock stores its bytes while this copy's are being written (`wczesnie`), or
// in the very moment of its rename.
class ObcyPisarz : public SystemPlikowPosix {
  public:
    void synchronizuj(int uchwyt) override {
        if (wczesnie) pisz();
        SystemPlikowPosix::synchronizuj(uchwyt);
    }
    bool zmienNazweBezZastepowania(const QString& z, const QString& na) override {
        if (na == cel) pisz();
        return SystemPlikowPosix::zmienNazweBezZastepowania(z, na);
    }
    void pisz() {
        if (zrobione_) return;
        zrobione_ = true;
        ZapiszBajty(cel, "<obce/>");
    }
    QString cel;
    bool wczesnie = false;

  private:
    bool zrobione_ = false;
};

TEST_F(StanKsefTest, BajtyInnegoPisarzaWygrywajaIWracajaDoWolajacego) {
    QDir(dane()).mkpath(QStringLiteral("KSeF"));
    ZapiszBajty(plik(QStringLiteral("KSeF/xml.blk")), QByteArray());
    for (const bool wczesnie : {true, false}) {
        SCOPED_TRACE(wczesnie ? "w czasie zapisu" : "w chwili zmiany nazwy");
        QFile::remove(plik(QStringLiteral("KSeF/F_8_2026.xml")));
        ObcyPisarz system;
        system.cel = plik(QStringLiteral("KSeF/F_8_2026.xml"));
        system.wczesnie = wczesnie;
        EXPECT_EQ(ZachowajXmlKsef(system, dane(), QStringLiteral("F_8_2026"), "<moje/>"),
                  QByteArray("<obce/>"));
        EXPECT_EQ(BajtyPliku(plik(QStringLiteral("KSeF/F_8_2026.xml"))), QByteArray("<obce/>"));
        EXPECT_EQ(QDir(plik(QStringLiteral("KSeF"))).entryList({QStringLiteral("*.tmp")}, QDir::Files).size(),
                  0);
    }
}

TEST_F(StanKsefTest, BlokadaInnegoStanowiskaOdmawiaZmianyIWysylki) {
    // Another copy's lock: a second handle on the same file conflicts as another process would.
    std::optional<BlokadaWysylki> pierwsza;
    pierwsza.emplace(system_, dane());
    try {
        BlokadaWysylki druga(system_, dane(), std::chrono::milliseconds(50));
        ADD_FAILURE() << "druga blokada przyznana";
    } catch (const Odmowa& odmowa) {
        EXPECT_EQ(odmowa.komunikat(),
                  QStringLiteral("Wysyłanie do KSeF trwa na innym stanowisku; spróbuj ponownie później."));
    }
    pierwsza.reset();
    EXPECT_NO_THROW(BlokadaWysylki(system_, dane()));

    // The state file's lock held elsewhere: the change is refused after the wait, the file unchanged.
    ZmienStanKsef(system_, dane(), QStringLiteral("F_9_2026"),
                  [](std::optional<StanKsef>& s) { s = StanKsef{}; });
    const QString sciezka = plik(QStringLiteral("KSeF/F_9_2026.stan"));
    const QByteArray przed = BajtyPliku(sciezka);
    {
        ZablokowanyPlik obca(system_, sciezka);
        bool wywolana = false;
        EXPECT_THROW(ZmienStanKsef(system_, dane(), QStringLiteral("F_9_2026"),
                                   [&](std::optional<StanKsef>&) { wywolana = true; }),
                     BladPliku);
        EXPECT_FALSE(wywolana);
    }
    EXPECT_EQ(BajtyPliku(sciezka), przed);

    // A share that never grants a lock.
    ZawodnySystemPlikow zawodny;
    zawodny.odmawiajBlokad(true);
    EXPECT_THROW(BlokadaWysylki(zawodny, dane()), Odmowa);
}

TEST_F(StanKsefTest, BladZapisuNazywaPlikIZostawiaPoprzedniaTresc) {
    ZapiszUpo(system_, dane(), QStringLiteral("F_10_2026"), "<upo1/>");
    EXPECT_EQ(CzytajUpo(system_, dane(), QStringLiteral("F_10_2026")), QByteArray("<upo1/>"));
    struct P {
        ZawodnySystemPlikow::Operacja operacja;
        int kod;
    };
    for (const P& p :
         {P{ZawodnySystemPlikow::Operacja::ZmianaNazwy, EIO}, P{ZawodnySystemPlikow::Operacja::Zapis, ENOSPC},
          P{ZawodnySystemPlikow::Operacja::Synchronizacja, EIO}}) {
        ZawodnySystemPlikow zawodny;
        const QString nazwa =
            p.operacja == ZawodnySystemPlikow::Operacja::ZmianaNazwy
                ? QStringLiteral("F_10_2026.upo.xml")
                : NazwaTymczasowa(plik(QStringLiteral("KSeF/F_10_2026.upo.xml"))).section(u'/', -1);
        zawodny.zawiedz(p.operacja, nazwa, 1, false, p.kod);
        try {
            ZapiszUpo(zawodny, dane(), QStringLiteral("F_10_2026"), "<upo2/>");
            ADD_FAILURE() << "zapis udany mimo błędu";
        } catch (const BladPliku& blad) {
            EXPECT_EQ(blad.sciezka(), plik(QStringLiteral("KSeF/F_10_2026.upo.xml")));
        }
        EXPECT_EQ(CzytajUpo(system_, dane(), QStringLiteral("F_10_2026")), QByteArray("<upo1/>"));
        EXPECT_EQ(QDir(plik(QStringLiteral("KSeF"))).entryList({QStringLiteral("*.tmp")}, QDir::Files).size(),
                  0);
    }
    ZapiszUpoSesji(system_, dane(), QStringLiteral("20260101-SE-1"), "<sesja/>");
    EXPECT_EQ(BajtyPliku(plik(QStringLiteral("KSeF/sesje/20260101-SE-1.upo.xml"))), QByteArray("<sesja/>"));
}

TEST_F(StanKsefTest, FolderKsefJestPodKatalogiemDanychZSiecDat) {
    // The start folder names another data root: the functions without one look there.
    QTemporaryDir inny;
    QDir(inny.path()).mkpath(QStringLiteral("Admini"));
    ZapiszRekordAtomowo(system_, plik(QStringLiteral("Admini/siec.dat")),
                        UstawieniaSieciDlaKatalogu(inny.path()));
    const QString poprzedni = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dane()));
    ZmienStanKsef(system_, QStringLiteral("F_11_2026"), [](std::optional<StanKsef>& s) { s = StanKsef{}; });
    ZapiszUstawieniaKsef(system_, UstawieniaKsef{});
    const bool jest = CzytajStanKsef(system_, QStringLiteral("F_11_2026")).has_value();
    QDir::setCurrent(poprzedni);
    EXPECT_TRUE(jest);
    EXPECT_TRUE(QFile::exists(inny.filePath(QStringLiteral("KSeF/F_11_2026.stan"))));
    EXPECT_TRUE(QFile::exists(inny.filePath(QStringLiteral("Admini/ksef.ini"))));
    EXPECT_FALSE(QDir(plik(QStringLiteral("KSeF"))).exists());
}

TEST_F(StanKsefTest, UstawieniaKsefWracajaTakieSameZNieznanymiKluczami) {
    const UstawieniaKsef domyslne = CzytajUstawieniaKsef(system_, dane());
    EXPECT_EQ(domyslne.srodowisko, QStringLiteral("test"));
    EXPECT_EQ(domyslne.poswiadczenie, UstawieniaKsef::Poswiadczenie::Certyfikat);
    EXPECT_FALSE(QFile::exists(plik(QStringLiteral("Admini/ksef.ini"))));

    ZapiszBajty(plik(QStringLiteral("Admini/ksef.ini")), "inny_program=1\nsrodowisko=demo\n");
    UstawieniaKsef u;
    u.srodowisko = QStringLiteral("https://127.0.0.1:8443/v2");
    u.nipKontekstu = QStringLiteral("5265877635");
    u.poswiadczenie = UstawieniaKsef::Poswiadczenie::Token;
    u.plikCertyfikatu = QStringLiteral("/home/u/ksef/ja.crt");
    u.plikKlucza = QStringLiteral("/home/u/ksef/ja.key");
    u.plikCertyfikatuOffline = QStringLiteral("/home/u/ksef/offline.crt");
    ZapiszUstawieniaKsef(system_, dane(), u);
    const UstawieniaKsef odczytane = CzytajUstawieniaKsef(system_, dane());
    EXPECT_EQ(odczytane.srodowisko, u.srodowisko);
    EXPECT_EQ(odczytane.nipKontekstu, u.nipKontekstu);
    EXPECT_EQ(odczytane.poswiadczenie, u.poswiadczenie);
    EXPECT_EQ(odczytane.plikCertyfikatu, u.plikCertyfikatu);
    EXPECT_EQ(odczytane.plikKlucza, u.plikKlucza);
    EXPECT_EQ(odczytane.plikCertyfikatuOffline, u.plikCertyfikatuOffline);
    EXPECT_EQ(odczytane.plikKluczaOffline, QString());
    const QByteArray bajty = BajtyPliku(plik(QStringLiteral("Admini/ksef.ini")));
    EXPECT_TRUE(bajty.startsWith("inny_program=1\n")) << bajty.constData();
    EXPECT_FALSE(bajty.contains("klucz_offline"));

    ZapiszBajty(plik(QStringLiteral("Admini/ksef.ini")), "poswiadczenie=haslo\n");
    EXPECT_THROW(CzytajUstawieniaKsef(system_, dane()), BladPliku);
}

}  // namespace
