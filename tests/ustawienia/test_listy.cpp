// Client and service list files: edits keep every byte they do not change, CSV import and export,
// and a save that fails at any step leaves the old file or the new one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/rekordy.h"
#include "store/system_plikow.h"
#include "ustawienia/listy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

QByteArray Czytaj(const QString& sciezka) {
    QFile f(sciezka);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Zapisz(const QString& sciezka, const QByteArray& dane) {
    QFile f(sciezka);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(dane);
}

QByteArray Losowe(qsizetype ile, unsigned ziarno) {
    std::mt19937 los(ziarno);
    QByteArray dane(ile, Qt::Uninitialized);
    for (qsizetype i = 0; i < ile; ++i) dane[i] = static_cast<char>(los() & 0xFF);
    return dane;
}

// A client list of random bytes in which slots 0, 3 and 9 are used and every other slot's first line
// is empty (its other fields keep their random bytes).
QByteArray LosowaBazaKlientow(bool numerowana = false) {
    QByteArray dane = Losowe(sizeof(TBazaKlientow), 7);
    auto* baza = reinterpret_cast<TBazaKlientow*>(dane.data());
    if (numerowana)
        for (int s = 0; s < TBazaKlientow::LiczbaMiejsc; ++s)
            baza->numer[s].ustaw(QStringLiteral("%1").arg(s + 1, 2, 10, QLatin1Char('0')));
    for (int s = 0; s < TBazaKlientow::LiczbaMiejsc; ++s) baza->odbiorca1[s].dlugosc = 0;
    baza->odbiorca1[0].ustaw(QStringLiteral("Alfa"));
    baza->odbiorca1[3].ustaw(QStringLiteral("Beta Sp. z o.o."));
    baza->odbiorca1[9].dlugosc = 200;  // more than the capacity: read as 80 characters
    return dane;
}

template <class TBaza>
const TBaza& Jako(const QByteArray& dane) {
    return *reinterpret_cast<const TBaza*>(dane.constData());
}

class Listy : public ::testing::Test {
  protected:
    QTemporaryDir katalog_;
    QString plik(const char* nazwa) const { return katalog_.filePath(QString::fromUtf8(nazwa)); }
};

TEST_F(Listy, NowaListaMaBajtyListyDomyslnejModulu) {
    QDir(katalog_.path()).mkpath(QStringLiteral("Uslugi"));
    UtworzDomyslneBazy(DomyslnySystemPlikow(), katalog_.path());
    EXPECT_EQ(Lista::Nowa(RodzajBazy::Klienci, {})->bajty(), Czytaj(plik("Uslugi/klienci.dat")));
    EXPECT_EQ(Lista::Nowa(RodzajBazy::Uslugi, {})->bajty(), Czytaj(plik("Uslugi/uslugi.dat")));
    const auto lista = Lista::Nowa(RodzajBazy::Klienci, plik("nowa.kli"));
    EXPECT_TRUE(lista->nowa());
    EXPECT_TRUE(lista->uzyteMiejsca().empty());
    EXPECT_EQ(lista->numer(0), "01");
    EXPECT_EQ(lista->numer(9), "10");
    EXPECT_EQ(lista->numer(5000), "5001");
}

// Edit one field of a used slot, delete a slot, add an entry: only those bytes change, the slot
// numbers, the maintaining module's bytes, the other slots and the bytes after the record stay.
TEST_F(Listy, EdycjaZmieniaTylkoEdytowanePola) {
    const QByteArray dawne = LosowaBazaKlientow();
    const QByteArray ogon = Losowe(1000, 9);
    Zapisz(plik("k.kli"), dawne + ogon);

    auto lista = Lista::Otworz(RodzajBazy::Klienci, DomyslnySystemPlikow(), plik("k.kli"));
    EXPECT_EQ(lista->uzyteMiejsca(), (std::vector<int>{0, 3, 9}));
    EXPECT_EQ(lista->wolneMiejsce(), 1);
    EXPECT_EQ(lista->wpis(9).value(0).size(), 80);

    QStringList wpis3 = lista->wpis(3);
    wpis3[1] = QStringLiteral("ul. Źródlana 5");
    ASSERT_TRUE(lista->bledyWpisu(3, wpis3).isEmpty());
    lista->ustawWpis(3, wpis3);
    lista->usunWpis(0);
    const QStringList nowy{QStringLiteral("Gamma"), QStringLiteral("ul. Długa 1"), QStringLiteral("Łódź"),
                           QString(), QStringLiteral("526-025-02-74")};
    lista->ustawWpis(1, nowy);
    EXPECT_TRUE(lista->zmieniona());
    lista->zapisz(DomyslnySystemPlikow());
    EXPECT_FALSE(lista->zmieniona());

    const QByteArray po = Czytaj(plik("k.kli"));
    ASSERT_EQ(po.size(), dawne.size() + ogon.size());
    EXPECT_EQ(po.mid(sizeof(TBazaKlientow)), ogon);

    // Bytes that may change: odbiorca2 of slot 3, the five fields of slots 0 and 1.
    std::vector<bool> zmienne(sizeof(TBazaKlientow), false);
    auto oznacz = [&zmienne](std::size_t od, std::size_t ile) {
        for (std::size_t i = od; i < od + ile; ++i) zmienne[i] = true;
    };
    oznacz(offsetof(TBazaKlientow, odbiorca2) + 3 * 81, 81);
    for (int s : {0, 1}) {
        for (std::size_t pole : {offsetof(TBazaKlientow, odbiorca1), offsetof(TBazaKlientow, odbiorca2),
                                 offsetof(TBazaKlientow, odbiorca3), offsetof(TBazaKlientow, odbiorca4)})
            oznacz(pole + static_cast<std::size_t>(s) * 81, 81);
        oznacz(offsetof(TBazaKlientow, nip_odbiorcy) + static_cast<std::size_t>(s) * 21, 21);
    }
    int rozne = 0;
    for (std::size_t i = 0; i < sizeof(TBazaKlientow); ++i)
        if (!zmienne[i] && po[static_cast<qsizetype>(i)] != dawne[static_cast<qsizetype>(i)]) ++rozne;
    EXPECT_EQ(rozne, 0) << "bytes changed outside the edited fields";

    // Read back as the module reads a list.
    auto baza = std::make_unique<TBazaKlientow>();
    CzytajRekord(DomyslnySystemPlikow(), plik("k.kli"), *baza);
    EXPECT_EQ(baza->odbiorca2[3].tekst(), "ul. Źródlana 5");
    EXPECT_EQ(baza->odbiorca1[3].tekst(), "Beta Sp. z o.o.");
    EXPECT_TRUE(baza->odbiorca1[0].tekst().isEmpty());
    EXPECT_TRUE(baza->nip_odbiorcy[0].tekst().isEmpty());
    EXPECT_EQ(baza->odbiorca1[1].tekst(), "Gamma");
    EXPECT_EQ(baza->odbiorca3[1].tekst(), "Łódź");
    EXPECT_EQ(baza->nip_odbiorcy[1].tekst(), "526-025-02-74");
    EXPECT_TRUE(baza->odbiorca4[1].tekst().isEmpty());
    // A new text leaves no old bytes behind its length.
    EXPECT_EQ(QByteArray(baza->odbiorca1[1].znaki + 5, 75), QByteArray(75, '\0'));
}

TEST_F(Listy, WpisSprawdzanyPrzedZapisem) {
    const auto lista = Lista::Nowa(RodzajBazy::Uslugi, plik("u.usl"));
    const struct {
        QStringList wartosci;
        const char* blad;  // nullptr: accepted
    } przypadki[] = {
        {{"Usługa", "", "szt.", "23", "100.00"}, nullptr},
        {{"", "x", "", "", ""}, "nie może być puste"},
        {{QString(101, u'x'), "", "", "", ""}, "mieści najwyżej 100"},
        {{"Usługa", "", "", "23.00%", ""}, "mieści najwyżej 5"},
        {{"Usługa ✓", "", "", "", ""}, "na pozycji 8"},
    };
    for (const auto& p : przypadki) {
        const QStringList bledy = lista->bledyWpisu(0, p.wartosci);
        if (!p.blad) {
            EXPECT_TRUE(bledy.isEmpty()) << bledy.join(u' ').toStdString();
        } else {
            ASSERT_EQ(bledy.size(), 1) << p.wartosci.join(u';').toStdString();
            EXPECT_TRUE(bledy[0].contains(QString::fromUtf8(p.blad))) << bledy[0].toStdString();
        }
    }
}

TEST_F(Listy, PlikKrotszyNizRekordToBladZeSciezka) {
    Zapisz(plik("krotka.kli"), QByteArray(1000, '\0'));
    try {
        Lista::Otworz(RodzajBazy::Klienci, DomyslnySystemPlikow(), plik("krotka.kli"));
        FAIL() << "no error";
    } catch (const BladPliku& blad) {
        EXPECT_TRUE(blad.komunikat().contains(plik("krotka.kli")));
        EXPECT_TRUE(blad.komunikat().contains(QStringLiteral("krótszy niż jeden rekord")));
    }
}

// A client list opened on the services page is refused, not read as services and later written
// over; a services file with bytes after its record is still a services list.
TEST_F(Listy, ListaKlientowNieJestListaUslug) {
    const QByteArray klienci = LosowaBazaKlientow();
    Zapisz(plik("klienci.dat"), klienci);
    EXPECT_THROW(Lista::Otworz(RodzajBazy::Uslugi, DomyslnySystemPlikow(), plik("klienci.dat")), BladPliku);
    EXPECT_EQ(Czytaj(plik("klienci.dat")), klienci);
    EXPECT_NO_THROW(Lista::Otworz(RodzajBazy::Klienci, DomyslnySystemPlikow(), plik("klienci.dat")));

    Zapisz(plik("uslugi.usl"), QByteArray(sizeof(TBazaUslug) + 10, '\0'));
    EXPECT_NO_THROW(Lista::Otworz(RodzajBazy::Uslugi, DomyslnySystemPlikow(), plik("uslugi.usl")));
}

// ----- CSV -----

QByteArray Utf8(const char* tekst) { return QByteArray(tekst); }

TEST_F(Listy, ImportDobregoPliku) {
    const QByteArray csv = Utf8(
        "\xEF\xBB\xBF"
        "Nr;Odbiorca 1;Odbiorca 2;Odbiorca 3;Odbiorca 4;NIP\r\n"
        "05;\"Kowalski; Nowak s.c.\";ul. Żółta 1;00-001 Warszawa;;526-025-02-74\r\n"
        ";\"Firma \"\"Żuraw\"\"\";\"ul. Długa 2; lokal 3\";Kraków;;\r\n"
        "\r\n"
        ";Zażółć gęślą jaźń;;;;\n"
        ";;;;;\n"
        "12;Ostatni;bez końca linii;;;");
    const auto lista = Lista::Nowa(RodzajBazy::Klienci, plik("k.kli"));
    const QByteArray przed = lista->bajty();
    const WynikImportu wynik = ImportCsv(*lista, csv, false);
    for (const auto& o : wynik.odrzucone) ADD_FAILURE() << o.linia << ": " << o.powod.toStdString();
    EXPECT_EQ(lista->bajty(), przed) << "import alone changes nothing";
    ASSERT_EQ(wynik.wpisy.size(), 4u);
    ZastosujImport(*lista, wynik, false);
    EXPECT_EQ(lista->uzyteMiejsca(), (std::vector<int>{0, 1, 4, 11}));
    EXPECT_EQ(lista->wpis(4),
              (QStringList{"Kowalski; Nowak s.c.", "ul. Żółta 1", "00-001 Warszawa", "", "526-025-02-74"}));
    EXPECT_EQ(lista->wpis(0).value(0), "Firma \"Żuraw\"");
    EXPECT_EQ(lista->wpis(0).value(1), "ul. Długa 2; lokal 3");
    EXPECT_EQ(lista->wpis(1).value(0), "Zażółć gęślą jaźń");
    EXPECT_EQ(lista->wpis(11).value(1), "bez końca linii");
}

TEST_F(Listy, ImportOdrzucaBledneWierszeZNumeremIPowodem) {
    const QByteArray csv = Utf8(
        "Nr;Nazwa usługi;PKWiU;J.m.;VAT;Netto\n"  // 1
        ";Dobra;;szt.;23;10.00\n"                 // 2
        ";Za długi VAT;;szt.;23.00%;10.00\n"      // 3
        ";Zły znak ✓;;;;\n"                       // 4
        ";Za mało pól;;\n"                        // 5
        "999;Nie ma takiego miejsca;;;;\n"        // 6
        "07;Siódme;;;;\n"                         // 7
        "7;Znowu siódme;;;;\n"                    // 8
        ";;pkwiu bez nazwy;;;\n"                  // 9
        ";\"po cudzysłowie\"x;;;;\n"              // 10
        ";\xC5\x81\xFF;;;;\n"                     // 11: invalid UTF-8
        ";\"dwie\nlinie\";;;;\n"                  // 12, 13: a line break in a name
        ";\"niezamknięty;;;;\n"                   // 14
        ";ostatnia;;;;\n");                       // 15 (inside the open quote)
    const auto lista = Lista::Nowa(RodzajBazy::Uslugi, plik("u.usl"));
    const WynikImportu wynik = ImportCsv(*lista, csv, false);
    std::map<int, QString> powody;
    for (const auto& o : wynik.odrzucone) powody[o.linia] = o.powod;
    const std::map<int, const char*> oczekiwane = {
        {3, "„VAT” mieści najwyżej 5 znaków, a tekst ma ich 6"},
        {4, "znaku „✓” na pozycji 10"},
        {5, "wiersz ma 4 pola, a powinien mieć 6"},
        {6, "nie ma miejsca o numerze „999”"},
        {8, "miejsce nr 7 jest już podane w wierszu 7"},
        {9, "puste pole „Nazwa usługi”"},
        {10, "po zamykającym cudzysłowie"},
        {11, "UTF-8"},
        {12, "znak sterujący (kod 10) na pozycji 5"},
        {14, "nie został zamknięty"},
    };
    EXPECT_EQ(powody.size(), oczekiwane.size());
    for (const auto& [linia, tekst] : oczekiwane) {
        ASSERT_TRUE(powody.count(linia)) << "line " << linia << " not rejected";
        EXPECT_TRUE(powody[linia].contains(QString::fromUtf8(tekst)))
            << linia << ": " << powody[linia].toStdString();
    }
}

TEST_F(Listy, ImportNaglowka) {
    const auto lista = Lista::Nowa(RodzajBazy::Uslugi, plik("u.usl"));
    const struct {
        const char* csv;
        bool dobry;
    } przypadki[] = {
        {"nazwa usługi ; pkwiu;J.M.;vat;netto\nA;;;;\n", true},  // no "Nr", any case and blanks
        {"Nr;Nazwa usługi;PKWiU;J.m.;VAT\n;A;;;\n", false},
        {"Nazwa;PKWiU;J.m.;VAT;Netto\nA;;;;\n", false},
        {"", false},
    };
    for (const auto& p : przypadki) {
        const WynikImportu wynik = ImportCsv(*lista, QByteArray(p.csv), true);
        EXPECT_EQ(wynik.odrzucone.empty(), p.dobry) << p.csv;
        if (!p.dobry) {
            ASSERT_FALSE(wynik.odrzucone.empty());
            EXPECT_EQ(wynik.odrzucone.front().linia, 1);
        }
    }
}

// The list has 5001 slots: 5001 rows fit, the 5002nd has no place.
TEST_F(Listy, ImportWieluWierszyNiZMiejsc) {
    for (const int wierszy : {5001, 5002}) {
        QByteArray csv = "Odbiorca 1;Odbiorca 2;Odbiorca 3;Odbiorca 4;NIP\n";
        for (int i = 0; i < wierszy; ++i) csv += "Klient " + QByteArray::number(i) + ";;;;\n";
        const auto lista = Lista::Nowa(RodzajBazy::Klienci, plik("k.kli"));
        const WynikImportu wynik = ImportCsv(*lista, csv, true);
        if (wierszy == 5001) {
            EXPECT_TRUE(wynik.odrzucone.empty());
            ZastosujImport(*lista, wynik, true);
            EXPECT_EQ(lista->uzyteMiejsca().size(), 5001u);
            EXPECT_FALSE(lista->wolneMiejsce());
        } else {
            ASSERT_EQ(wynik.odrzucone.size(), 1u);
            EXPECT_EQ(wynik.odrzucone[0].linia, 5003);
            EXPECT_TRUE(wynik.odrzucone[0].powod.contains(QStringLiteral("brak wolnego miejsca")));
        }
    }
}

TEST_F(Listy, ImportDodajacyIZastepujacy) {
    auto lista = Lista::Nowa(RodzajBazy::Uslugi, plik("u.usl"));
    lista->ustawWpis(0, {"Pierwsza", "", "", "", ""});
    lista->ustawWpis(1, {"Druga", "", "", "", ""});
    const QByteArray csv = "Nr;Nazwa usługi;PKWiU;J.m.;VAT;Netto\n;Nowa;;;;\n2;Druga poprawiona;;;;\n";

    auto dodaj = Lista::Nowa(RodzajBazy::Uslugi, plik("u.usl"));
    dodaj->ustawWpis(0, {"Pierwsza", "", "", "", ""});
    dodaj->ustawWpis(1, {"Druga", "", "", "", ""});
    const WynikImportu w1 = ImportCsv(*dodaj, csv, false);
    ASSERT_TRUE(w1.odrzucone.empty());
    ZastosujImport(*dodaj, w1, false);
    EXPECT_EQ(dodaj->uzyteMiejsca(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(dodaj->wpis(0).value(0), "Pierwsza");
    EXPECT_EQ(dodaj->wpis(1).value(0), "Druga poprawiona");
    EXPECT_EQ(dodaj->wpis(2).value(0), "Nowa");

    const WynikImportu w2 = ImportCsv(*lista, csv, true);
    ASSERT_TRUE(w2.odrzucone.empty());
    ZastosujImport(*lista, w2, true);
    EXPECT_EQ(lista->uzyteMiejsca(), (std::vector<int>{0, 1}));
    EXPECT_EQ(lista->wpis(0).value(0), "Nowa");
    EXPECT_EQ(lista->wpis(1).value(0), "Druga poprawiona");
}

TEST_F(Listy, EksportIImportDajaTeSameBajty) {
    Zapisz(plik("k.kli"), LosowaBazaKlientow(true));
    auto lista = Lista::Otworz(RodzajBazy::Klienci, DomyslnySystemPlikow(), plik("k.kli"));
    // Texts a spreadsheet would mangle without quotes.
    lista->ustawWpis(3, {"A; \"B\"", "linia\r\ndruga", "ąęłńóśźż ĄĘŁŃÓŚŹŻ", " spacje ", "1"});
    lista->ustawWpis(9, {"krótsza", "", "", "", ""});
    const QByteArray przed = lista->bajty();
    const QByteArray csv = EksportCsv(*lista);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFNr;Odbiorca 1;Odbiorca 2;Odbiorca 3;Odbiorca 4;NIP\r\n"));
    const WynikImportu wynik = ImportCsv(*lista, csv, true);
    for (const auto& o : wynik.odrzucone) ADD_FAILURE() << o.linia << ": " << o.powod.toStdString();
    ZastosujImport(*lista, wynik, true);
    EXPECT_EQ(lista->bajty(), przed);
}

// ----- Faults -----

// Saving a list while the k-th file operation fails, once or for good, or the machine crashes
// afterwards: the file is the old one or the new one, whole, and no temporary file is left unless
// the disk failed for good.
TEST_F(Listy, ZapisPrzyAwariiZostawiaStaryAlboNowyPlik) {
    const QString sciezka = plik("k.kli");
    const QByteArray stare = LosowaBazaKlientow();
    bool wszystkie = false;
    for (int k = 1; !wszystkie; ++k) {
        for (const bool naZawsze : {false, true}) {
            for (const bool awaria : {false, true}) {
                Zapisz(sciezka, stare);
                ZawodnySystemPlikow zawodny;
                auto lista = Lista::Otworz(RodzajBazy::Klienci, zawodny, sciezka);
                lista->ustawWpis(2, {"Nowy klient", "", "", "", ""});
                const QByteArray nowe = lista->bajty();
                const int przed = zawodny.liczbaOperacji();
                zawodny.zawiedzOd(k, naZawsze);
                bool udany = true;
                try {
                    lista->zapisz(zawodny);
                } catch (const BladPliku&) {
                    udany = false;
                }
                wszystkie = zawodny.liczbaOperacji() - przed < k;
                zawodny.napraw();
                if (awaria) zawodny.symulujAwarie();
                const QByteArray po = Czytaj(sciezka);
                const std::string opis = "k=" + std::to_string(k) + (naZawsze ? " for good" : " once") +
                                         (awaria ? " + crash" : "");
                EXPECT_TRUE(po == stare || po == nowe) << opis << ": " << po.size() << " bytes";
                if (udany) {
                    EXPECT_EQ(po, nowe) << opis << ": reported saved";
                }
                EXPECT_EQ(lista->zmieniona(), !udany) << opis;
                EXPECT_EQ(zawodny.liczbaOtwartych(), 0) << opis;
                if (!naZawsze) {
                    EXPECT_FALSE(QFile::exists(NazwaTymczasowa(sciezka))) << opis;
                }
                QFile::remove(NazwaTymczasowa(sciezka));
                if (!udany) {
                    // Saved again on a working disk, it is the new file.
                    lista->zapisz(zawodny);
                    EXPECT_EQ(Czytaj(sciezka), nowe) << opis;
                }
            }
        }
    }
}

}  // namespace
