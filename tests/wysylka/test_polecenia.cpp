// faktura-ksef's commands: the command line, the list of states, the kept files written out, the
// sending's task put together from the options and the data folder's settings (its secrets asked
// for, never written), and the program itself with its exit codes.
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "eksport/dane_eksportu.h"
#include "ksef/kody_qr.h"
#include "ksef/kryptografia.h"
#include "ksef/srodowiska.h"
#include "ksef/wspolne/certyfikaty_testowe.h"
#include "store/blad.h"
#include "store/stan_ksef.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/programy.h"
#include "wysylka/polecenia_ksef.h"
#include "wysylka/polecenie_ksef.h"

namespace {

struct WynikPolecenia {
    int kod = -1;
    QString wyjscie, bledy;
};

QByteArray Odczytaj(std::FILE* plik) {
    std::fflush(plik);
    std::rewind(plik);
    QByteArray dane;
    char bufor[4096];
    for (std::size_t n; (n = std::fread(bufor, 1, sizeof bufor, plik)) > 0;)
        dane.append(bufor, static_cast<qsizetype>(n));
    std::fclose(plik);
    return dane;
}

// Nothing from outside unless a test puts it in: no keyring, no terminal, no password variable.
ZaleznosciKsef BezZewnatrz() {
    ZaleznosciKsef z;
    z.czytajSekret = [](const QString&) { return WynikSejfu{std::nullopt, false, {}}; };
    z.zapytajOHaslo = [](const QString&) { return std::optional<QByteArray>(); };
    z.zmiennaHasla = [] { return std::optional<QByteArray>(); };
    z.wyslij = [](SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&) -> WynikWysylki {
        ADD_FAILURE() << "nothing is to be sent";
        return {};
    };
    z.okno = [](SystemPlikow&) { return 0; };
    return z;
}

WynikPolecenia Uruchom(const QStringList& argumenty, const ZaleznosciKsef& z = BezZewnatrz(),
                       const QDateTime& teraz = QDateTime::currentDateTimeUtc()) {
    std::FILE* wyjscie = std::tmpfile();
    std::FILE* bledy = std::tmpfile();
    Srodowisko srodowisko{DomyslnySystemPlikow(), wyjscie, bledy, false, teraz};
    WynikPolecenia w;
    w.kod = UruchomProgramKsef(argumenty, srodowisko, z);
    w.wyjscie = QString::fromUtf8(Odczytaj(wyjscie));
    w.bledy = QString::fromUtf8(Odczytaj(bledy));
    return w;
}

const std::vector<Linia> JednaLinia{{"Usługa", "", "szt.", "1", "100.00", "23"}};

// Four invoices and a correction of the first, their states kept as the sending keeps them.
class FolderKsef : public ::testing::Test {
  protected:
    void SetUp() override {
        const TDokument f1 = NowaFaktura(
            {"1", "2026", "2026-12-01", "Alfa sp. z o.o.", "5265877635", "Przelew", "7 dni"}, JednaLinia);
        dokumenty_ = {
            RekordPoczatkowy(QStringLiteral("2026-12-01")),
            f1,
            NowaFaktura({"2", "2026", "2026-12-02", "Beta\tS.A.", "", "Gotówka", ""}, JednaLinia),
            NowaFaktura({"3", "2026", "2026-12-03", "Gamma", "", "Gotówka", ""}, JednaLinia),
            NowaFaktura({"4", "2026", "2026-11-04", "Delta", "", "Gotówka", ""}, JednaLinia),
            NowaKorekta(f1,
                        {"1", "K/2026", "2026-12-05", "Alfa sp. z o.o.", "5265877635", "Przelew", "7 dni"},
                        {{"Usługa", "", "szt.", "1", "50.00", "23"}}),
        };
        katalog.zapiszRekordy(QStringLiteral("Admini/faktura.dat"), std::vector{UstawieniaTestowe()});
        katalog.zapiszRekordy(QStringLiteral("Admini/firma.dat"), std::vector{FirmaTestowa()});
        katalog.zapiszRekordy(QStringLiteral("Uslugi/dokumenty.dat"), dokumenty_);
    }

    void stan(const QString& nazwa, const QByteArray& tresc) const {
        katalog.utworzFolder(QStringLiteral("KSeF"));
        katalog.zapisz(QStringLiteral("KSeF/") + nazwa, tresc);
    }
    void stany() const {
        stan(QStringLiteral("F_1_2026.stan"),
             "stan=przyjety\nnumer_ksef=5265877635-20261201-0100A0000000-1F\nlink_kodu_1=https://"
             "qr-test.ksef.mf.gov."
             "pl/invoice/5265877635/01-12-2026/UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE\n");
        stan(QStringLiteral("F_2_2026.stan"), "stan=odrzucony\nkod=450\npowod=Błąd semantyki:\\n\tzły NIP\n");
        stan(QStringLiteral("F_3_2026.stan"), "stan=wysylany\nnumer_sesji=S1\n");
        stan(QStringLiteral("K_1_K_2026.stan"), "stan=offline\ntryb_offline=offline24\n");
    }

    KatalogTestowy katalog;
    std::vector<TDokument> dokumenty_;
};

TEST(WierszPolecenKsef, PolecenieOpcjeIBledyUzycia) {
    struct P {
        QStringList argumenty;
        const char* blad;  // part of the usage error, nullptr: accepted
    };
    const std::vector<P> przypadki{
        {{}, nullptr},
        {{"stan"}, nullptr},
        {{"stan", "--rok=2026", "--numer", "1/2026", "--pozycja", "2", "--miesiac", "2026-12"}, nullptr},
        {{"xml", "--do", "wyniki", "--nadpisz"}, nullptr},
        {{"upo", "--do=wyniki"}, nullptr},
        {{"wyslij", "--srodowisko", "demo", "--token-plik", "t.txt", "--podstawa-zwolnienia", "art. 43",
          "--rodzaj-podstawy", "dyrektywa", "--metoda-kasowa", "--podzielona-platnosc"},
         nullptr},
        {{"wyslij", "--srodowisko", "http://127.0.0.1:8080/v2", "--certyfikat", "a.crt", "--klucz", "a.key"},
         nullptr},
        {{"offline"}, nullptr},
        {{"offline", "--tryb", "offline", "--koniec", "2026-12-04", "--srodowisko", "demo", "--certyfikat",
          "o.crt", "--klucz", "o.key", "--metoda-kasowa"},
         nullptr},
        {{"offline", "--tryb=awaryjny"}, nullptr},
        {{"wysylaj"}, "nieznane polecenie „wysylaj” (znane: stan, upo, xml, wyslij, offline)"},
        {{"offline", "--tryb", "online"},
         "--tryb: nieznany tryb „online” (znane: offline24, offline, awaryjny)"},
        {{"offline", "--tryb", "awaryjny", "--koniec", "2026-02-30"},
         "--koniec wymaga daty w postaci RRRR-MM-DD"},
        {{"offline", "--tryb", "awaryjny", "--koniec", "4.12.2026"},
         "--koniec wymaga daty w postaci RRRR-MM-DD"},
        {{"offline", "--tryb", "offline"}, "--tryb offline wymaga daty końca ogłoszonej niedostępności KSeF"},
        {{"offline", "--koniec", "2026-12-04"}, "--koniec dotyczy trybów offline i awaryjny, nie offline24"},
        {{"offline", "--token-plik", "t"}, "opcja --token-plik nie dotyczy polecenia offline"},
        {{"offline", "--certyfikat", "o.crt"}, "--certyfikat i --klucz podaje się razem"},
        {{"wyslij", "--tryb", "awaryjny"}, "opcja --tryb nie dotyczy polecenia wyslij"},
        {{"stan", "--koniec", "2026-12-04"}, "opcja --koniec nie dotyczy polecenia stan"},
        {{"stan", "--do", "x"}, "opcja --do nie dotyczy polecenia stan"},
        {{"stan", "--podstawa-zwolnienia", "x"}, "opcja --podstawa-zwolnienia nie dotyczy polecenia stan"},
        {{"xml", "--token-plik", "t"}, "opcja --token-plik nie dotyczy polecenia xml"},
        {{"upo"}, "polecenie upo wymaga folderu wyników (--do KATALOG)"},
        {{"xml", "--nadpisz"}, "polecenie xml wymaga folderu wyników (--do KATALOG)"},
        {{"stan", "--miesiac", "2026-13"}, "--miesiac wymaga miesiąca w postaci RRRR-MM"},
        {{"stan", "--rok", "2026", "--rok", "2025"}, "opcja --rok podana więcej niż raz"},
        {{"stan", "--nieznana"}, "nieznana opcja „--nieznana”"},
        {{"wyslij", "--srodowisko"}, "opcja --srodowisko wymaga wartości"},
        {{"wyslij", "--srodowisko", "ftp://x"}, "--srodowisko: Nieznane środowisko KSeF „ftp://x”"},
        {{"wyslij", "--srodowisko", "http://10.0.0.1/v2"}, "--srodowisko: "},
        {{"wyslij", "--token-plik", "t", "--certyfikat", "a.crt", "--klucz", "a.key"},
         "podaj albo --token-plik, albo --certyfikat i --klucz"},
        {{"wyslij", "--certyfikat", "a.crt"}, "--certyfikat i --klucz podaje się razem"},
        {{"wyslij", "--klucz", "a.key"}, "--certyfikat i --klucz podaje się razem"},
        {{"wyslij", "--token-plik="}, "--token-plik wymaga ścieżki pliku"},
        {{"wyslij", "--rodzaj-podstawy", "inna"}, "--rodzaj-podstawy ma sens tylko z --podstawa-zwolnienia"},
        {{"wyslij", "--metoda-kasowa=tak"}, "opcja --metoda-kasowa nie przyjmuje wartości"},
    };
    for (const P& p : przypadki) {
        SCOPED_TRACE(p.argumenty.join(u' ').toStdString());
        const ArgumentyKsef a = CzytajArgumentyKsef(p.argumenty);
        EXPECT_FALSE(a.pomoc);
        if (p.blad) {
            EXPECT_FALSE(a.polecenie.has_value());
            EXPECT_TRUE(a.blad.startsWith(QString::fromUtf8(p.blad))) << a.blad.toStdString();
        } else {
            EXPECT_TRUE(a.polecenie.has_value()) << a.blad.toStdString();
        }
    }

    const ArgumentyKsef pelne = CzytajArgumentyKsef(przypadki[5].argumenty);
    ASSERT_TRUE(pelne.polecenie);
    EXPECT_EQ(pelne.polecenie->rodzaj, RodzajPoleceniaKsef::Wyslij);
    EXPECT_EQ(pelne.polecenie->srodowisko, QStringLiteral("demo"));
    EXPECT_EQ(pelne.polecenie->plikTokenu, QStringLiteral("t.txt"));
    EXPECT_EQ(pelne.polecenie->ksef.podstawaZwolnienia, QStringLiteral("art. 43"));
    EXPECT_EQ(pelne.polecenie->ksef.rodzajPodstawy, OpcjeKsef::Podstawa::Dyrektywa);
    EXPECT_TRUE(pelne.polecenie->ksef.metodaKasowa);
    EXPECT_TRUE(pelne.polecenie->ksef.podzielonaPlatnosc);
    const ArgumentyKsef wybor = CzytajArgumentyKsef(przypadki[2].argumenty);
    ASSERT_TRUE(wybor.polecenie);
    EXPECT_EQ(wybor.polecenie->wybor.rok, QStringLiteral("2026"));
    EXPECT_EQ(wybor.polecenie->wybor.miesiac, QStringLiteral("2026-12"));
    EXPECT_EQ(wybor.polecenie->wybor.numer, QStringLiteral("1/2026"));
    EXPECT_EQ(wybor.polecenie->wybor.pozycja, 2);
    const ArgumentyKsef offline = CzytajArgumentyKsef(przypadki[8].argumenty);
    ASSERT_TRUE(offline.polecenie);
    EXPECT_EQ(offline.polecenie->rodzaj, RodzajPoleceniaKsef::Offline);
    EXPECT_EQ(offline.polecenie->trybOffline, TrybOffline::Offline);
    EXPECT_EQ(offline.polecenie->koniec, QDate(2026, 12, 4));
    EXPECT_EQ(offline.polecenie->plikCertyfikatu, QStringLiteral("o.crt"));
    EXPECT_TRUE(offline.polecenie->ksef.metodaKasowa);
    EXPECT_EQ(CzytajArgumentyKsef({"offline"}).polecenie->trybOffline, TrybOffline::Offline24);
    EXPECT_FALSE(CzytajArgumentyKsef({"offline"}).polecenie->koniec);
    EXPECT_EQ(CzytajArgumentyKsef({}).polecenie->rodzaj, RodzajPoleceniaKsef::Okno);
    EXPECT_TRUE(CzytajArgumentyKsef({"wyslij", "--zle", "--help"}).pomoc);
}

TEST_F(FolderKsef, StanJedenWierszNaDokumentZTabulatorami) {
    stany();
    const auto przed = ZawartoscFolderu(katalog.sciezka());
    const WynikPolecenia w = Uruchom({"stan"});
    EXPECT_EQ(w.kod, 0) << w.bledy.toStdString();
    EXPECT_EQ(w.wyjscie,
              QStringLiteral("1/2026\t2026-12-01\tAlfa sp. z o.o.\t123.00\tprzyjęty\t"
                             "5265877635-20261201-0100A0000000-1F\t\thttps://qr-test.ksef.mf.gov.pl/"
                             "invoice/5265877635/01-12-2026/UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE\n"
                             "2/2026\t2026-12-02\tBeta S.A.\t123.00\todrzucony\t\tkod 450: Błąd "
                             "semantyki: zły NIP\t\n"
                             "3/2026\t2026-12-03\tGamma\t123.00\twysłany\t\t\t\n"
                             "4/2026\t2026-11-04\tDelta\t123.00\tniewysłany\t\t\t\n"
                             "1/K/2026\t2026-12-05\tAlfa sp. z o.o.\t-61.50\toffline\t\t\t\n"));
    EXPECT_EQ(ZawartoscFolderu(katalog.sciezka()), przed) << "nothing is written";

    const WynikPolecenia listopad = Uruchom({"stan", "--miesiac", "2026-11"});
    EXPECT_EQ(listopad.wyjscie, QStringLiteral("4/2026\t2026-11-04\tDelta\t123.00\tniewysłany\t\t\t\n"));
}

TEST_F(FolderKsef, StanUszkodzonegoPlikuJestZgloszonyIKonczySieKodem1) {
    stany();
    stan(QStringLiteral("F_3_2026.stan"), "stan=zagubiony\n");
    const WynikPolecenia w = Uruchom({"stan", "--rok", "2026"});
    EXPECT_EQ(w.kod, 1);
    EXPECT_TRUE(w.wyjscie.contains(QStringLiteral("3/2026\t2026-12-03\tGamma\t123.00\tnieznany\t\t\t\n")));
    EXPECT_TRUE(w.wyjscie.contains(QStringLiteral("4/2026\t"))) << "the other documents are listed";
    EXPECT_TRUE(w.bledy.contains(QStringLiteral("faktura 3/2026 (rekord 4)"))) << w.bledy.toStdString();
    EXPECT_TRUE(w.bledy.contains(katalog.plik(QStringLiteral("KSeF/F_3_2026.stan"))))
        << w.bledy.toStdString();
}

TEST_F(FolderKsef, XmlIUpoZapisujaZachowaneBajty) {
    stany();
    stan(QStringLiteral("F_1_2026.xml"), "<Faktura nr=\"1\"/>");
    stan(QStringLiteral("F_2_2026.xml"), "<Faktura nr=\"2\"/>");
    stan(QStringLiteral("F_1_2026.upo.xml"), "<UPO nr=\"1\"/>");
    QTemporaryDir wyniki;
    const QString xml = wyniki.filePath(QStringLiteral("xml"));

    const WynikPolecenia w = Uruchom({"xml", "--do", xml});
    EXPECT_EQ(w.kod, 0) << w.bledy.toStdString();
    const std::map<QString, QByteArray> oczekiwane{{"F_1_2026.xml", "<Faktura nr=\"1\"/>"},
                                                   {"F_2_2026.xml", "<Faktura nr=\"2\"/>"}};
    EXPECT_EQ(ZawartoscFolderu(xml), oczekiwane);
    EXPECT_TRUE(w.bledy.contains(
        QStringLiteral("Pominięto: faktura 3/2026 (rekord 4): dokument nie był wysyłany do KSeF.")))
        << w.bledy.toStdString();
    EXPECT_TRUE(w.bledy.contains(
        QStringLiteral("Zapisano plików: 2 z 5 wybranych dokumentów do „%1”; pominięto: 3.").arg(xml)))
        << w.bledy.toStdString();

    // An existing file stays unless told otherwise, and the run says so with exit code 1.
    QFile::remove(QDir(xml).filePath(QStringLiteral("F_2_2026.xml")));
    {
        QFile zmieniony(QDir(xml).filePath(QStringLiteral("F_1_2026.xml")));
        ASSERT_TRUE(zmieniony.open(QIODevice::WriteOnly));
        zmieniony.write("cudzy");
    }
    const WynikPolecenia bez = Uruchom({"xml", "--do", xml});
    EXPECT_EQ(bez.kod, 1);
    EXPECT_EQ(ZawartoscFolderu(xml).at(QStringLiteral("F_1_2026.xml")), "cudzy");
    EXPECT_EQ(ZawartoscFolderu(xml).at(QStringLiteral("F_2_2026.xml")), "<Faktura nr=\"2\"/>");
    EXPECT_TRUE(bez.bledy.contains(QStringLiteral("już istnieje (--nadpisz go zastąpi)")));
    EXPECT_EQ(Uruchom({"xml", "--do", xml, "--nadpisz"}).kod, 0);
    EXPECT_EQ(ZawartoscFolderu(xml), oczekiwane);

    const QString upo = wyniki.filePath(QStringLiteral("upo"));
    const WynikPolecenia u = Uruchom({"upo", "--numer", "1/2026", "--do", upo});
    EXPECT_EQ(u.kod, 0) << u.bledy.toStdString();
    EXPECT_EQ(ZawartoscFolderu(upo),
              (std::map<QString, QByteArray>{{"F_1_2026.upo.xml", "<UPO nr=\"1\"/>"}}));
    const WynikPolecenia zaden = Uruchom({"upo", "--numer", "9/2026", "--do", upo});
    EXPECT_EQ(zaden.kod, 0);
    EXPECT_TRUE(zaden.bledy.contains(QStringLiteral("Żaden dokument nie spełnia warunków wyboru")));
}

// What the fake sending was given.
struct Wyslane {
    std::optional<ZadanieWysylki> zadanie;
    WynikWysylki wynik;
};

ZaleznosciKsef ZWysylka(Wyslane& wyslane) {
    ZaleznosciKsef z = BezZewnatrz();
    z.wyslij = [&](SystemPlikow&, const ZadanieWysylki& zadanie, const PostepWysylki& postep) {
        wyslane.zadanie = zadanie;
        postep.komunikat(QStringLiteral("Sesja otwarta."));
        postep.postep(1, 2);
        return wyslane.wynik;
    };
    return z;
}

TEST_F(FolderKsef, WyslijZTokenemZPlikuIOpcjamiFa3) {
    katalog.zapisz(QStringLiteral("token.txt"), "  20261201-EC-TOKEN|nip-5265877635|abc  \n");
    Wyslane wyslane;
    wyslane.wynik.wyslane = 2;
    wyslane.wynik.przyjete = 1;
    wyslane.wynik.odrzucone = 1;
    wyslane.wynik.bledy = {QStringLiteral("faktura 2/2026: odrzucona przez KSeF")};
    wyslane.wynik.kod = 1;
    const auto przed = ZawartoscFolderu(katalog.sciezka());
    const WynikPolecenia w =
        Uruchom({"wyslij", "--miesiac", "2026-12", "--srodowisko", "demo", "--token-plik", "token.txt",
                 "--podstawa-zwolnienia", "art. 43 ust. 1 pkt 37"},
                ZWysylka(wyslane));
    EXPECT_EQ(w.kod, 1);
    ASSERT_TRUE(wyslane.zadanie);
    const ZadanieWysylki& z = *wyslane.zadanie;
    EXPECT_EQ(z.wybor.miesiac, QStringLiteral("2026-12"));
    EXPECT_EQ(z.srodowisko.nazwa, QStringLiteral("demo"));
    EXPECT_EQ(z.srodowisko.api, QUrl(QStringLiteral("https://api-demo.ksef.mf.gov.pl/v2")));
    EXPECT_EQ(z.poswiadczenia.rodzaj, PoswiadczeniaKsef::Rodzaj::Token);
    EXPECT_EQ(z.poswiadczenia.token, QStringLiteral("20261201-EC-TOKEN|nip-5265877635|abc"));
    EXPECT_EQ(z.opcje.podstawaZwolnienia, QStringLiteral("art. 43 ust. 1 pkt 37"));
    EXPECT_TRUE(w.bledy.contains(QStringLiteral("Sesja otwarta.\n")));
    EXPECT_TRUE(w.bledy.contains(QStringLiteral("faktura 2/2026: odrzucona przez KSeF\n")));
    EXPECT_TRUE(w.bledy.endsWith(QStringLiteral("Wysłano: 2, przyjęto: 1, odrzucono: 1, pominięto: 0.\n")))
        << w.bledy.toStdString();
    EXPECT_FALSE(w.bledy.contains(QStringLiteral("TOKEN"))) << "the token is never shown";
    EXPECT_EQ(ZawartoscFolderu(katalog.sciezka()), przed) << "the command itself writes nothing";

    wyslane.wynik = {};
    EXPECT_EQ(Uruchom({"wyslij", "--token-plik", "token.txt"}, ZWysylka(wyslane)).kod, 0);
    EXPECT_EQ(wyslane.zadanie->srodowisko.nazwa, QStringLiteral("test")) << "the settings' default";

    katalog.zapisz(QStringLiteral("pusty.txt"), " \n");
    const WynikPolecenia pusty = Uruchom({"wyslij", "--token-plik", "pusty.txt"}, ZWysylka(wyslane));
    EXPECT_EQ(pusty.kod, 1);
    EXPECT_TRUE(pusty.bledy.contains(QStringLiteral("jest pusty")));
}

TEST_F(FolderKsef, WyslijZCertyfikatemBierzeHasloZeZmiennejSejfuAlboTerminalu) {
    katalog.zapisz(QStringLiteral("Admini/ksef.ini"),
                   "srodowisko=http://127.0.0.1:9/v2\nposwiadczenie=certyfikat\ncertyfikat=/k/ja.crt\nklucz=/"
                   "k/ja.key\n");
    struct P {
        const char* opis;
        std::optional<QByteArray> zmienna, sejf, terminal;
        const char* haslo;  // nullptr: refused
    };
    const std::vector<P> przypadki{
        {"zmienna", QByteArray("z-zmiennej"), QByteArray("z-sejfu"), QByteArray("z-terminala"), "z-zmiennej"},
        {"pusta zmienna, sejf", QByteArray(""), QByteArray("z-sejfu"), QByteArray("z-terminala"), "z-sejfu"},
        {"terminal", std::nullopt, std::nullopt, QByteArray("z-terminala"), "z-terminala"},
        {"nic", std::nullopt, std::nullopt, std::nullopt, nullptr},
    };
    for (const P& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Wyslane wyslane;
        ZaleznosciKsef z = ZWysylka(wyslane);
        QStringList sekrety, pytania;
        z.zmiennaHasla = [&] { return p.zmienna; };
        z.czytajSekret = [&](const QString& nazwa) {
            sekrety << nazwa;
            return WynikSejfu{
                p.sejf ? std::optional<QString>(QString::fromUtf8(*p.sejf)) : std::nullopt, true, {}};
        };
        z.zapytajOHaslo = [&](const QString& pytanie) {
            pytania << pytanie;
            return p.terminal;
        };
        const WynikPolecenia w = Uruchom({"wyslij"}, z);
        if (!p.haslo) {
            EXPECT_EQ(w.kod, 1);
            EXPECT_FALSE(wyslane.zadanie.has_value());
            EXPECT_TRUE(w.bledy.startsWith(QStringLiteral("faktura-ksef: brak hasła klucza")))
                << w.bledy.toStdString();
            continue;
        }
        EXPECT_EQ(w.kod, 0) << w.bledy.toStdString();
        ASSERT_TRUE(wyslane.zadanie);
        const PoswiadczeniaKsef& c = wyslane.zadanie->poswiadczenia;
        EXPECT_EQ(c.rodzaj, PoswiadczeniaKsef::Rodzaj::Certyfikat);
        EXPECT_EQ(c.plikCertyfikatu, QStringLiteral("/k/ja.crt"));
        EXPECT_EQ(c.plikKlucza, QStringLiteral("/k/ja.key"));
        EXPECT_EQ(c.hasloKlucza, QByteArray(p.haslo));
        EXPECT_EQ(wyslane.zadanie->srodowisko.api, QUrl(QStringLiteral("http://127.0.0.1:9/v2")));
        EXPECT_FALSE(w.bledy.contains(QString::fromUtf8(p.haslo)));
        if (!sekrety.isEmpty()) {
            EXPECT_EQ(sekrety.front(), NazwaSekretu(RodzajSekretu::HasloKlucza, QStringLiteral("9999999999"),
                                                    QStringLiteral("http://127.0.0.1:9/v2")));
        }
        if (!pytania.isEmpty()) {
            EXPECT_EQ(pytania.front(), QStringLiteral("Hasło klucza KSeF: "));
        }
    }

    // Files given on the command line are taken from the folder the program runs in.
    Wyslane wyslane;
    ZaleznosciKsef z = ZWysylka(wyslane);
    z.zmiennaHasla = [] { return std::optional<QByteArray>("h"); };
    EXPECT_EQ(Uruchom({"wyslij", "--certyfikat", "moj.crt", "--klucz", "/inny/moj.key"}, z).kod, 0);
    EXPECT_EQ(wyslane.zadanie->poswiadczenia.plikCertyfikatu, katalog.plik(QStringLiteral("moj.crt")));
    EXPECT_EQ(wyslane.zadanie->poswiadczenia.plikKlucza, QStringLiteral("/inny/moj.key"));
}

TEST_F(FolderKsef, WyslijTokenemZSejfuIOdmowySasiednichUstawien) {
    katalog.zapisz(QStringLiteral("Admini/ksef.ini"), "poswiadczenie=token\nnip_kontekstu=5265877635\n");
    Wyslane wyslane;
    ZaleznosciKsef z = ZWysylka(wyslane);
    QString zapytany;
    z.czytajSekret = [&](const QString& nazwa) {
        zapytany = nazwa;
        return WynikSejfu{QStringLiteral("token-z-sejfu"), true, {}};
    };
    EXPECT_EQ(Uruchom({"wyslij"}, z).kod, 0);
    EXPECT_EQ(zapytany,
              NazwaSekretu(RodzajSekretu::Token, QStringLiteral("5265877635"), QStringLiteral("test")));
    EXPECT_EQ(wyslane.zadanie->poswiadczenia.token, QStringLiteral("token-z-sejfu"));
    EXPECT_EQ(wyslane.zadanie->poswiadczenia.nipKontekstu, QStringLiteral("5265877635"));

    const WynikPolecenia bezSejfu = Uruchom({"wyslij"});
    EXPECT_EQ(bezSejfu.kod, 1);
    EXPECT_TRUE(
        bezSejfu.bledy.contains(QStringLiteral("brak tokenu KSeF (pęk kluczy pulpitu jest niedostępny)")))
        << bezSejfu.bledy.toStdString();

    katalog.zapisz(QStringLiteral("Admini/ksef.ini"), "srodowisko=gdzies\n");
    const WynikPolecenia zleSrodowisko = Uruchom({"wyslij"});
    EXPECT_EQ(zleSrodowisko.kod, 1);
    EXPECT_TRUE(zleSrodowisko.bledy.contains(katalog.plik(QStringLiteral("Admini/ksef.ini"))))
        << zleSrodowisko.bledy.toStdString();

    // The sending that is not there yet refuses, and the command says so.
    ZaleznosciKsef prawdziwa = BezZewnatrz();
    prawdziwa.wyslij = DomyslneZaleznosciKsef().wyslij;
    katalog.zapisz(QStringLiteral("token.txt"), "t");
    const WynikPolecenia odmowa = Uruchom({"wyslij", "--token-plik", "token.txt"}, prawdziwa);
    EXPECT_EQ(odmowa.kod, 1);
    EXPECT_TRUE(odmowa.bledy.startsWith(QStringLiteral("faktura-ksef: "))) << odmowa.bledy.toStdString();
}

TEST(FolderBezDanychKsef, PolecenieOdmawiaPozaFolderemDanych) {
    KatalogTestowy katalog(false);
    for (const QStringList& argumenty :
         {QStringList{"stan"}, QStringList{"xml", "--do", "x"}, QStringList{"wyslij"}}) {
        const WynikPolecenia w = Uruchom(argumenty);
        EXPECT_EQ(w.kod, 1);
        EXPECT_TRUE(w.bledy.contains(QStringLiteral("nie jest folderem danych"))) << w.bledy.toStdString();
        EXPECT_TRUE(ZawartoscFolderu(katalog.sciezka()).empty());
    }
}

struct ProcesKsef {
    int kod;
    QString wyjscie, bledy;
};

ProcesKsef UruchomProgramKsef(const QStringList& argumenty, const QString& folder) {
    QProcess proces;
    proces.setWorkingDirectory(folder);
    QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
    srodowisko.insert(QStringLiteral("FAKTURA_KSEF_HASLO"), QStringLiteral("haslo-testowe"));
    proces.setProcessEnvironment(srodowisko);
    proces.start(ProgramBudowy(PROGRAM_KSEF), argumenty);
    proces.closeWriteChannel();
    EXPECT_TRUE(proces.waitForFinished(60000));
    return {proces.exitCode(), QString::fromUtf8(proces.readAllStandardOutput()),
            QString::fromUtf8(proces.readAllStandardError())};
}

TEST_F(FolderKsef, ProgramKodyWyjsciaIWyniki) {
    stany();
    const ProcesKsef pomoc = UruchomProgramKsef({"--help"}, katalog.sciezka());
    EXPECT_EQ(pomoc.kod, 0);
    EXPECT_TRUE(pomoc.wyjscie.startsWith(QStringLiteral("Użycie: faktura-ksef")))
        << pomoc.wyjscie.toStdString();

    const ProcesKsef zle = UruchomProgramKsef({"stan", "--dpi", "300"}, katalog.sciezka());
    EXPECT_EQ(zle.kod, 2);
    EXPECT_EQ(zle.bledy,
              QStringLiteral("faktura-ksef: nieznana opcja „--dpi”\nPomoc: faktura-ksef --help\n"));

    const ProcesKsef stan = UruchomProgramKsef({"stan", "--numer", "2/2026"}, katalog.sciezka());
    EXPECT_EQ(stan.kod, 0) << stan.bledy.toStdString();
    EXPECT_EQ(
        stan.wyjscie,
        QStringLiteral(
            "2/2026\t2026-12-02\tBeta S.A.\t123.00\todrzucony\t\tkod 450: Błąd semantyki: zły NIP\t\n"));

    const ProcesKsef wyslij =
        UruchomProgramKsef({"wyslij", "--certyfikat", "a.crt", "--klucz", "a.key"}, katalog.sciezka());
    EXPECT_EQ(wyslij.kod, 1);
    EXPECT_TRUE(wyslij.bledy.startsWith(QStringLiteral("faktura-ksef: "))) << wyslij.bledy.toStdString();
    EXPECT_FALSE(wyslij.bledy.contains(QStringLiteral("haslo-testowe")));
}

// ---- Issuing offline -------------------------------------------------------------------------

QByteArray ZBase64Url(const QString& tekst) {
    return QByteArray::fromBase64(tekst.toLatin1(),
                                  QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

// Whether `podpis` (RSA-PSS SHA-256 salt 32, or ECDSA P-256 as R‖S) of `tresc` verifies with the
// public key.
bool PodpisPasuje(const QByteArray& kluczPublicznyPem, const QByteArray& tresc, QByteArray podpis) {
    BIO* bio = BIO_new_mem_buf(kluczPublicznyPem.constData(), static_cast<int>(kluczPublicznyPem.size()));
    EVP_PKEY* publiczny = PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (!publiczny) return false;
    const bool rsa = EVP_PKEY_base_id(publiczny) == EVP_PKEY_RSA;
    if (!rsa) {
        if (podpis.size() != 64) {
            EVP_PKEY_free(publiczny);
            return false;
        }
        ECDSA_SIG* sig = ECDSA_SIG_new();
        const auto* bajty = reinterpret_cast<const unsigned char*>(podpis.constData());
        ECDSA_SIG_set0(sig, BN_bin2bn(bajty, 32, nullptr), BN_bin2bn(bajty + 32, 32, nullptr));
        unsigned char* der = nullptr;
        const int ile = i2d_ECDSA_SIG(sig, &der);
        podpis = QByteArray(reinterpret_cast<const char*>(der), ile);
        OPENSSL_free(der);
        ECDSA_SIG_free(sig);
    }
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    EVP_PKEY_CTX* pctx = nullptr;
    bool dobry = EVP_DigestVerifyInit(ctx, &pctx, EVP_sha256(), nullptr, publiczny) == 1;
    if (dobry && rsa) {
        EVP_PKEY_CTX_set_rsa_padding(pctx, RSA_PKCS1_PSS_PADDING);
        EVP_PKEY_CTX_set_rsa_pss_saltlen(pctx, 32);
        EVP_PKEY_CTX_set_rsa_mgf1_md(pctx, EVP_sha256());
    }
    dobry = dobry && EVP_DigestVerify(ctx, reinterpret_cast<const unsigned char*>(podpis.constData()),
                                      static_cast<size_t>(podpis.size()),
                                      reinterpret_cast<const unsigned char*>(tresc.constData()),
                                      static_cast<size_t>(tresc.size())) == 1;
    EVP_MD_CTX_free(ctx);
    EVP_PKEY_free(publiczny);
    return dobry;
}

// Invoices whose deadlines cross weekends and the Christmas holidays, one accepted, a correction of
// the first, and a throwaway Offline certificate of the firm's NIP in the data folder's settings.
class FolderOffline : public ::testing::Test {
  protected:
    void SetUp() override {
        const TDokument f1 = NowaFaktura(
            {"1", "2026", "2026-12-23", "Alfa sp. z o.o.", "5265877635", "Przelew", "7 dni"}, JednaLinia);
        dokumenty_ = {
            RekordPoczatkowy(QStringLiteral("2026-12-01")),
            f1,
            NowaFaktura({"2", "2026", "2026-12-02", "Beta", "", "Gotówka", ""}, JednaLinia),
            NowaFaktura({"3", "2026", "2026-12-03", "Gamma", "", "Gotówka", ""}, JednaLinia),
            NowaFaktura({"4", "2026", "2026-12-04", "Delta", "", "Gotówka", ""}, JednaLinia),
            NowaKorekta(f1,
                        {"1", "K/2026", "2026-12-28", "Alfa sp. z o.o.", "5265877635", "Przelew", "7 dni"},
                        {{"Usługa", "", "szt.", "1", "50.00", "23"}}),
        };
        katalog.zapiszRekordy(QStringLiteral("Admini/faktura.dat"), std::vector{UstawieniaTestowe()});
        katalog.zapiszRekordy(QStringLiteral("Admini/firma.dat"), std::vector{FirmaTestowa()});
        katalog.zapiszRekordy(QStringLiteral("Uslugi/dokumenty.dat"), dokumenty_);
        katalog.utworzFolder(QStringLiteral("KSeF"));
        katalog.zapisz(QStringLiteral("KSeF/F_4_2026.stan"),
                       "stan=przyjety\nnumer_ksef=9999999999-20261204-0100A0000000-1F\n");
        certyfikat(RodzajKlucza::Rsa2048);
    }

    void certyfikat(RodzajKlucza rodzaj) {
        OpisCertyfikatu opis;
        opis.rodzaj = rodzaj;
        opis.nip = QStringLiteral("9999999999");
        opis.haslo = "haslo-testowe";
        cert_ = StworzCertyfikat(opis);
        katalog.zapisz(QStringLiteral("offline.crt"), cert_.certyfikatPem);
        katalog.zapisz(QStringLiteral("offline.key"), cert_.kluczPem);
        katalog.zapisz(QStringLiteral("Admini/ksef.ini"),
                       "srodowisko=test\nposwiadczenie=certyfikat\ncertyfikat_offline=" +
                           katalog.plik(QStringLiteral("offline.crt")).toUtf8() +
                           "\nklucz_offline=" + katalog.plik(QStringLiteral("offline.key")).toUtf8() + "\n");
    }

    ZaleznosciKsef zaleznosci(QStringList* sekrety = nullptr) const {
        ZaleznosciKsef z = BezZewnatrz();
        z.wystawOffline = DomyslneZaleznosciKsef().wystawOffline;
        z.czytajSekret = [sekrety](const QString& nazwa) {
            if (sekrety) *sekrety << nazwa;
            return WynikSejfu{QStringLiteral("haslo-testowe"), true, {}};
        };
        return z;
    }

    static StanKsef stan(const QString& nazwa) {
        const std::optional<StanKsef> s = CzytajStanKsef(DomyslnySystemPlikow(), nazwa);
        EXPECT_TRUE(s) << nazwa.toStdString();
        return s.value_or(StanKsef{});
    }

    // KOD I names the kept bytes; KOD II's signature verifies with the certificate's public key.
    void sprawdzKody(const QString& nazwa) const {
        SCOPED_TRACE(nazwa.toStdString());
        const StanKsef s = stan(nazwa);
        const std::optional<QByteArray> xml = CzytajXmlKsef(DomyslnySystemPlikow(), nazwa);
        ASSERT_TRUE(xml);
        EXPECT_EQ(s.skrot, Sha256Base64(*xml));
        EXPECT_EQ(s.rozmiar, xml->size());
        EXPECT_FALSE(s.skrotRekordu.isEmpty());
        const SrodowiskoKsef test = *ZnajdzSrodowisko(QStringLiteral("test"));
        EXPECT_EQ(s.srodowisko, test.api.toString());
        const std::optional<QDate> p1 = DataWystawieniaFa3(*xml);
        ASSERT_TRUE(p1);
        EXPECT_EQ(s.linkKoduI, LinkKoduI(test.qr, QStringLiteral("9999999999"), *p1, Sha256(*xml)));
        DaneKoduII dane;
        dane.idKontekstu = QStringLiteral("9999999999");
        dane.nipSprzedawcy = QStringLiteral("9999999999");
        dane.numerSeryjny = cert_.numerSeryjnyHex;
        dane.skrotSha256 = Sha256(*xml);
        const QString tresc = TrescKoduII(test.qr, dane);
        const QString poczatek = QStringLiteral("https://") + tresc + u'/';
        ASSERT_TRUE(s.linkKoduII.startsWith(poczatek)) << s.linkKoduII.toStdString();
        const QByteArray podpis = ZBase64Url(s.linkKoduII.mid(poczatek.size()));
        EXPECT_TRUE(PodpisPasuje(cert_.kluczPublicznyPem, tresc.toUtf8(), podpis));
        EXPECT_FALSE(PodpisPasuje(cert_.kluczPublicznyPem, tresc.toUtf8() + "x", podpis))
            << "the signature is of this link only";
    }

    KatalogTestowy katalog;
    std::vector<TDokument> dokumenty_;
    CertyfikatTestowy cert_;
};

// Each mode's deadline in working days (weekends, 24-26 December), the state and both codes, for an
// RSA and an EC certificate.
TEST_F(FolderOffline, KazdyTrybZapisujeStanTerminIKody) {
    struct P {
        const char* numer;
        QStringList opcje;
        const char* tryb;
        QDate termin;  // invalid: none yet
    };
    const std::vector<P> przypadki{
        // Wednesday 23 December: the 24th to the 27th are no working days.
        {"1/2026", {}, "offline24", QDate(2026, 12, 28)},
        // Unavailable until Friday 4 December: the next working day is Monday.
        {"2/2026", {"--tryb", "offline", "--koniec", "2026-12-04"}, "offline", QDate(2026, 12, 7)},
        // A failure until Friday 18 December: 7 working days, the holidays left out.
        {"3/2026", {"--tryb", "awaryjny", "--koniec", "2026-12-18"}, "awaryjny", QDate(2026, 12, 31)},
    };
    for (const RodzajKlucza rodzaj : {RodzajKlucza::Rsa2048, RodzajKlucza::EcP256}) {
        SCOPED_TRACE(rodzaj == RodzajKlucza::Rsa2048 ? "RSA" : "EC");
        QDir(katalog.plik(QStringLiteral("KSeF"))).removeRecursively();
        katalog.utworzFolder(QStringLiteral("KSeF"));
        certyfikat(rodzaj);
        for (const P& p : przypadki) {
            SCOPED_TRACE(p.numer);
            QStringList sekrety;
            const WynikPolecenia w =
                Uruchom(QStringList{"offline", "--numer", p.numer} + p.opcje, zaleznosci(&sekrety));
            EXPECT_EQ(w.kod, 0) << w.bledy.toStdString();
            EXPECT_EQ(sekrety,
                      QStringList{NazwaSekretu(RodzajSekretu::HasloKluczaOffline,
                                               QStringLiteral("9999999999"), QStringLiteral("test"))});
            const QString nazwa =
                QStringLiteral("F_%1_2026").arg(QString::fromLatin1(p.numer).section(u'/', 0, 0));
            const StanKsef s = stan(nazwa);
            EXPECT_EQ(s.stan, StanWysylki::Offline);
            EXPECT_EQ(s.trybOffline, QString::fromLatin1(p.tryb));
            EXPECT_EQ(s.terminOffline, p.termin);
            sprawdzKody(nazwa);
            EXPECT_TRUE(w.bledy.contains(QStringLiteral("%1: wystawiony offline (%2), ").arg(nazwa, p.tryb)))
                << w.bledy.toStdString();
            EXPECT_TRUE(w.bledy.endsWith(QStringLiteral("Wystawiono offline: 1, pominięto: 0.\n")))
                << w.bledy.toStdString();
            EXPECT_FALSE(w.bledy.contains(QStringLiteral("haslo-testowe")));
        }
    }
    // No secret lands in the data folder.
    for (const auto& [plik, tresc] : ZawartoscFolderu(katalog.plik(QStringLiteral("KSeF"))))
        EXPECT_FALSE(tresc.contains("haslo-testowe")) << plik.toStdString();
}

// A failure announced while an offline invoice waits moves its deadline; its bytes and codes stay,
// as the buyer has them. A failure with no known end yet leaves the deadline open until given.
TEST_F(FolderOffline, PonowneWywolanieZmieniaTerminIZachowujeBajtyIKody) {
    ASSERT_EQ(Uruchom({"offline", "--numer", "1/2026"}, zaleznosci()).kod, 0);
    const StanKsef przed = stan(QStringLiteral("F_1_2026"));
    const QByteArray xml = *CzytajXmlKsef(DomyslnySystemPlikow(), QStringLiteral("F_1_2026"));
    EXPECT_EQ(przed.terminOffline, QDate(2026, 12, 28));

    const WynikPolecenia bezKonca =
        Uruchom({"offline", "--numer", "1/2026", "--tryb", "awaryjny"}, zaleznosci());
    EXPECT_EQ(bezKonca.kod, 0) << bezKonca.bledy.toStdString();
    StanKsef po = stan(QStringLiteral("F_1_2026"));
    EXPECT_EQ(po.trybOffline, QStringLiteral("awaryjny"));
    EXPECT_FALSE(po.terminOffline.isValid());
    EXPECT_TRUE(
        bezKonca.bledy.contains(QStringLiteral("F_1_2026: nowy termin trybu offline (awaryjny), wyślij w "
                                               "ciągu 7 dni roboczych od końca awarii.")))
        << bezKonca.bledy.toStdString();

    // The failure ends on Thursday 31 December: 1 and 6 January are holidays.
    const WynikPolecenia koniec = Uruchom(
        {"offline", "--numer", "1/2026", "--tryb", "awaryjny", "--koniec", "2026-12-31"}, zaleznosci());
    EXPECT_EQ(koniec.kod, 0) << koniec.bledy.toStdString();
    po = stan(QStringLiteral("F_1_2026"));
    EXPECT_EQ(po.stan, StanWysylki::Offline);
    EXPECT_EQ(po.terminOffline, QDate(2027, 1, 13));
    EXPECT_EQ(*CzytajXmlKsef(DomyslnySystemPlikow(), QStringLiteral("F_1_2026")), xml);
    EXPECT_EQ(po.skrot, przed.skrot);
    EXPECT_EQ(po.linkKoduI, przed.linkKoduI);
    EXPECT_EQ(po.linkKoduII, przed.linkKoduII) << "the printed KOD II stays valid";

    // A later failure counts anew from its own end, also when that is sooner.
    ASSERT_EQ(Uruchom({"offline", "--numer", "1/2026", "--tryb", "awaryjny", "--koniec", "2026-12-28"},
                      zaleznosci())
                  .kod,
              0);
    EXPECT_EQ(stan(QStringLiteral("F_1_2026")).terminOffline, QDate(2027, 1, 8));

    // An end before the issue date names no failure of this invoice.
    const WynikPolecenia wczesniej = Uruchom(
        {"offline", "--numer", "1/2026", "--tryb", "awaryjny", "--koniec", "2026-12-22"}, zaleznosci());
    EXPECT_EQ(wczesniej.kod, 1);
    EXPECT_TRUE(wczesniej.bledy.contains(QStringLiteral(
        "F_1_2026: koniec awarii KSeF (2026-12-22) jest wcześniejszy niż data wystawienia (2026-12-23)")))
        << wczesniej.bledy.toStdString();
    EXPECT_EQ(stan(QStringLiteral("F_1_2026")).terminOffline, QDate(2027, 1, 8));
}

// Documents in KSeF are skipped; so is a correction whose invoice has no KSeF number yet. A state
// that cannot be read is that document's error only.
TEST_F(FolderOffline, PomijaDokumentyWKsefIZglaszaBladJednegoDokumentu) {
    katalog.zapisz(QStringLiteral("KSeF/F_2_2026.stan"), "stan=odrzucony\nkod=450\n");
    katalog.zapisz(QStringLiteral("KSeF/F_3_2026.stan"), "stan=zagubiony\n");
    const WynikPolecenia w = Uruchom({"offline"}, zaleznosci());
    EXPECT_EQ(w.kod, 1);
    EXPECT_EQ(stan(QStringLiteral("F_1_2026")).stan, StanWysylki::Offline);
    EXPECT_EQ(stan(QStringLiteral("F_2_2026")).stan, StanWysylki::Odrzucony);
    EXPECT_EQ(stan(QStringLiteral("F_4_2026")).stan, StanWysylki::Przyjety);
    EXPECT_FALSE(katalog.istnieje(QStringLiteral("KSeF/F_4_2026.xml")));
    EXPECT_FALSE(katalog.istnieje(QStringLiteral("KSeF/K_1_K_2026.stan")));
    for (const char* tekst :
         {"F_2_2026: odrzucony przez KSeF; pominięto", "F_4_2026: jest już w KSeF (przyjęty); pominięto",
          "K_1_K_2026: faktura 1/2026 nie ma jeszcze numeru KSeF; pominięto",
          "F_3_2026: ", "Wystawiono offline: 1, pominięto: 3.\n"})
        EXPECT_TRUE(w.bledy.contains(QString::fromUtf8(tekst))) << tekst << "\n" << w.bledy.toStdString();

    // Once its invoice is accepted, the correction names its KSeF number.
    katalog.zapisz(QStringLiteral("KSeF/F_1_2026.stan"),
                   "stan=przyjety\nnumer_ksef=9999999999-20261223-0100A0000000-1F\n");
    const WynikPolecenia korekta = Uruchom({"offline", "--numer", "1/K/2026"}, zaleznosci());
    EXPECT_EQ(korekta.kod, 0) << korekta.bledy.toStdString();
    EXPECT_EQ(stan(QStringLiteral("K_1_K_2026")).terminOffline, QDate(2026, 12, 29));
    EXPECT_TRUE(CzytajXmlKsef(DomyslnySystemPlikow(), QStringLiteral("K_1_K_2026"))
                    ->contains("9999999999-20261223-0100A0000000-1F"));
}

// Bytes kept by a sending that never happened are made anew when the record changed since, as the
// sending would; unchanged, the kept ones are issued.
TEST_F(FolderOffline, ZachowaneBajtyZmienionegoRekorduSaTworzoneOdNowa) {
    katalog.zapisz(QStringLiteral("KSeF/F_2_2026.xml"), "<stare/>");
    katalog.zapisz(QStringLiteral("KSeF/F_2_2026.stan"), "stan=niewyslany\nskrot_rekordu=inny\n");
    ASSERT_EQ(Uruchom({"offline", "--numer", "2/2026"}, zaleznosci()).kod, 0);
    EXPECT_NE(katalog.czytaj(QStringLiteral("KSeF/F_2_2026.xml")), "<stare/>");
    sprawdzKody(QStringLiteral("F_2_2026"));
}

// The certificate and key are checked before any document: nothing is written when they fail.
TEST_F(FolderOffline, ZlyKluczCertyfikatAlboHasloZatrzymujaPrzebieg) {
    OpisCertyfikatu inny;
    inny.nip = QStringLiteral("9999999999");
    inny.haslo = "haslo-testowe";
    const CertyfikatTestowy obcy = StworzCertyfikat(inny);
    katalog.zapisz(QStringLiteral("obcy.key"), obcy.kluczPem);
    OpisCertyfikatu stary = inny;
    stary.od = QDateTime::currentDateTimeUtc().addYears(-2);
    stary.do_ = QDateTime::currentDateTimeUtc().addDays(-1);
    const CertyfikatTestowy wygasly = StworzCertyfikat(stary);
    katalog.zapisz(QStringLiteral("wygasly.crt"), wygasly.certyfikatPem);
    katalog.zapisz(QStringLiteral("wygasly.key"), wygasly.kluczPem);
    struct P {
        const char* opis;
        QStringList argumenty;
        std::optional<QByteArray> haslo;  // of the password variable; nullopt: the keyring's
        const char* blad;
    };
    const std::vector<P> przypadki{
        {"obcy klucz",
         {"offline", "--certyfikat", "offline.crt", "--klucz", "obcy.key"},
         std::nullopt,
         "nie należy do certyfikatu"},
        {"złe hasło", {"offline"}, QByteArray("zle"), "faktura-ksef: "},
        {"wygasły",
         {"offline", "--certyfikat", "wygasly.crt", "--klucz", "wygasly.key"},
         std::nullopt,
         "jest ważny od"},
        {"brak pliku",
         {"offline", "--certyfikat", "brak.crt", "--klucz", "offline.key"},
         std::nullopt,
         "brak.crt"},
    };
    const auto przed = ZawartoscFolderu(katalog.plik(QStringLiteral("KSeF")));
    for (const P& p : przypadki) {
        SCOPED_TRACE(p.opis);
        ZaleznosciKsef z = zaleznosci();
        if (p.haslo) z.zmiennaHasla = [&] { return p.haslo; };
        const WynikPolecenia w = Uruchom(p.argumenty, z);
        EXPECT_EQ(w.kod, 1);
        EXPECT_TRUE(w.bledy.startsWith(QStringLiteral("faktura-ksef: "))) << w.bledy.toStdString();
        EXPECT_TRUE(w.bledy.contains(QString::fromUtf8(p.blad))) << w.bledy.toStdString();
        EXPECT_EQ(ZawartoscFolderu(katalog.plik(QStringLiteral("KSeF"))), przed);
    }
    katalog.zapisz(QStringLiteral("Admini/ksef.ini"), "srodowisko=test\n");
    const WynikPolecenia bez = Uruchom({"offline"}, zaleznosci());
    EXPECT_EQ(bez.kod, 1);
    EXPECT_TRUE(bez.bledy.contains(QStringLiteral("brak certyfikatu KSeF typu Offline")))
        << bez.bledy.toStdString();
}

// The window calls the issue itself: an unavailability without its end is refused before anything is
// read or written; a failure without one issues with the deadline open, and `dzisiaj` only words it.
TEST_F(FolderOffline, WystawOfflineBezKoncaNiedostepnosciOdmawia) {
    ZadanieOffline z;
    z.srodowisko = *ZnajdzSrodowisko(QStringLiteral("test"));
    z.plikCertyfikatu = katalog.plik(QStringLiteral("offline.crt"));
    z.plikKlucza = katalog.plik(QStringLiteral("offline.key"));
    z.hasloKlucza = "haslo-testowe";
    z.wybor.numer = QStringLiteral("2/2026");
    z.dzisiaj = QDate(2026, 12, 2);
    z.tryb = TrybOffline::Offline;
    const auto przed = ZawartoscFolderu(katalog.plik(QStringLiteral("KSeF")));
    try {
        WystawOffline(DomyslnySystemPlikow(), z, {});
        ADD_FAILURE() << "refused";
    } catch (const Odmowa& o) {
        EXPECT_TRUE(o.komunikat().contains(QStringLiteral("(--koniec)"))) << o.komunikat().toStdString();
    }
    EXPECT_EQ(ZawartoscFolderu(katalog.plik(QStringLiteral("KSeF"))), przed);

    z.tryb = TrybOffline::Awaryjny;
    QStringList komunikaty;
    PostepWysylki p;
    p.komunikat = [&](const QString& k) { komunikaty << k; };
    const WynikWysylki w = WystawOffline(DomyslnySystemPlikow(), z, p);
    EXPECT_EQ(w.wystawione, 1);
    EXPECT_TRUE(w.bledy.isEmpty()) << w.bledy.join(u'\n').toStdString();
    const StanKsef s = stan(QStringLiteral("F_2_2026"));
    EXPECT_EQ(s.trybOffline, QStringLiteral("awaryjny"));
    EXPECT_FALSE(s.terminOffline.isValid());
    EXPECT_EQ(OpisTerminu(s, z.dzisiaj).opis,
              QStringLiteral("wyślij w ciągu 7 dni roboczych od końca awarii"));
    EXPECT_FALSE(OpisTerminu(s, z.dzisiaj).ostrzezenie);
    EXPECT_EQ(komunikaty,
              QStringList{QStringLiteral("F_2_2026: wystawiony offline (awaryjny), wyślij w ciągu 7 "
                                         "dni roboczych od końca awarii.")});
    sprawdzKody(QStringLiteral("F_2_2026"));
}

// stan shows the deadline in the reason's column and warns from the day before it; wyslij warns
// before it sends.
TEST_F(FolderOffline, StanPokazujeTerminIOstrzegaDzienPrzed) {
    ASSERT_EQ(Uruchom({"offline", "--numer", "1/2026"}, zaleznosci()).kod, 0);  // by 2026-12-28
    const auto dzien = [](int d) { return QDateTime(QDate(2026, 12, d), QTime(12, 0)); };
    struct P {
        int dzien;
        const char* kolumna;
        const char* ostrzezenie;  // nullptr: none
    };
    const std::vector<P> przypadki{
        {26, "wyślij do 2026-12-28", nullptr},
        {27, "wyślij najpóźniej jutro (termin 2026-12-28)",
         "Uwaga: F_1_2026 wystawiony offline: wyślij najpóźniej jutro (termin 2026-12-28).\n"},
        {28, "wyślij dziś (termin 2026-12-28)",
         "Uwaga: F_1_2026 wystawiony offline: wyślij dziś (termin 2026-12-28).\n"},
        {29, "termin wysłania minął 2026-12-28",
         "Uwaga: F_1_2026 wystawiony offline: termin wysłania minął 2026-12-28.\n"},
    };
    for (const P& p : przypadki) {
        SCOPED_TRACE(p.dzien);
        const WynikPolecenia w = Uruchom({"stan", "--numer", "1/2026"}, BezZewnatrz(), dzien(p.dzien));
        EXPECT_EQ(w.kod, 0);
        const QStringList pola = w.wyjscie.chopped(1).split(u'\t');
        ASSERT_EQ(pola.size(), 8) << w.wyjscie.toStdString();
        EXPECT_EQ(pola[4], QStringLiteral("offline"));
        EXPECT_EQ(pola[6], QString::fromUtf8(p.kolumna));
        EXPECT_EQ(pola[7], stan(QStringLiteral("F_1_2026")).linkKoduI);
        EXPECT_EQ(w.bledy, p.ostrzezenie ? QString::fromUtf8(p.ostrzezenie) : QString());

        Wyslane wyslane;
        ZaleznosciKsef z = ZWysylka(wyslane);
        z.zmiennaHasla = [] { return std::optional<QByteArray>("h"); };
        const WynikPolecenia wyslij =
            Uruchom({"wyslij", "--certyfikat", "a.crt", "--klucz", "a.key"}, z, dzien(p.dzien));
        EXPECT_EQ(wyslij.bledy.startsWith(QStringLiteral("Uwaga: F_1_2026")), p.ostrzezenie != nullptr)
            << wyslij.bledy.toStdString();
    }
}

TEST_F(FolderOffline, ProgramOfflineKodyWyjscia) {
    struct P {
        QStringList argumenty;
        int kod;
    };
    const std::vector<P> przypadki{
        {{"offline", "--tryb", "zly"}, 2},
        {{"offline", "--tryb", "awaryjny", "--koniec", "jutro"}, 2},
        {{"offline", "--tryb", "offline"}, 2},
        {{"offline", "--numer", "4/2026"}, 0},  // accepted: skipped
        {{"offline", "--numer", "1/2026"}, 0},
        {{"offline", "--numer", "1/2026", "--klucz", "offline.key", "--certyfikat", "brak.crt"}, 1},
    };
    for (const P& p : przypadki) {
        SCOPED_TRACE(p.argumenty.join(u' ').toStdString());
        const ProcesKsef w = UruchomProgramKsef(p.argumenty, katalog.sciezka());
        EXPECT_EQ(w.kod, p.kod) << w.bledy.toStdString();
        if (p.kod == 2) {
            EXPECT_TRUE(w.bledy.endsWith(QStringLiteral("\nPomoc: faktura-ksef --help\n")));
        }
    }
    EXPECT_EQ(stan(QStringLiteral("F_1_2026")).stan, StanWysylki::Offline);
    const ProcesKsef pomoc = UruchomProgramKsef({"--help"}, katalog.sciezka());
    EXPECT_TRUE(pomoc.wyjscie.contains(QStringLiteral("  offline  wystawia wybrane dokumenty offline")));
    EXPECT_TRUE(pomoc.wyjscie.contains(QStringLiteral("--tryb offline24|offline|awaryjny")));
}

}  // namespace
