// Monthly summary on the real window: which documents count, what they add to which month, how the
// totals, the scale and the bars read, the buyer names, and what a failing read leaves behind.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <cstring>

#include "app/faktura_f.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

const QString Dokumenty = QStringLiteral("Uslugi/dokumenty.dat");

struct Dok {
    const char* data;
    const char* rodzaj;
    const char* odbiorca;
    const char* brutto[3];         // column 3 of stawki
    const char* bruttoKorekty[3];  // column 3 of stawki_korekty
};

TDokument Rekord(const Dok& d) {
    TDokument r = Dokument(QString::fromUtf8(d.rodzaj), QStringLiteral("1"), QString::fromUtf8(d.odbiorca));
    r.data_wystawienia.ustaw(QString::fromUtf8(d.data));
    for (int w = 0; w < 3; ++w) {
        r.stawki[3][w].ustaw(QString::fromUtf8(d.brutto[w]));
        r.stawki_korekty[3][w].ustaw(QString::fromUtf8(d.bruttoKorekty[w]));
    }
    return r;
}

void ZapiszDokumenty(const KatalogTestowy& katalog, const std::vector<Dok>& dokumenty) {
    std::vector<TDokument> rekordy;
    for (const Dok& d : dokumenty) rekordy.push_back(Rekord(d));
    katalog.zapiszRekordy(Dokumenty, rekordy);
}

QString Suma(const char* kwota) { return QString::fromLatin1(kwota).rightJustified(12, u' ') + " PLN"; }

const char* const Zero = "0.00";

struct Przypadek {
    const char* nazwa;
    std::vector<Dok> dokumenty;
    const char* rok;
    const char* klient;
    std::array<const char*, 12> sumy;  // amounts as written, before widening to 12
    const char* skala;
    int maksimumPaska;  // as the bar shows it: an empty scale shows 0..1
    std::array<int, 12> paski;
    const char* tytul;          // Label27
    const char* klientWTytule;  // Label60
};

const char* const Poczatkowy = "Podliczenie dokumentów";
const char* const Wszyscy = "Podliczenie dokumentów dla wszystkich klientów";
const char* const Wybrany = "Podliczenie dokumentów dla wybranego klienta";

std::vector<Przypadek> Przypadki() {
    const std::array<const char*, 12> zera = {Zero, Zero, Zero, Zero, Zero, Zero,
                                              Zero, Zero, Zero, Zero, Zero, Zero};
    auto sumy = [&](std::initializer_list<std::pair<int, const char*>> miesiace) {
        auto s = zera;
        for (auto [m, k] : miesiace) s[m - 1] = k;
        return s;
    };
    auto paski = [](std::initializer_list<std::pair<int, int>> miesiace) {
        std::array<int, 12> p{};
        for (auto [m, v] : miesiace) p[m - 1] = v;
        return p;
    };
    return {
        {"faktura i korekta w swoich miesiącach",
         {{"2010-03-15", "F", "Firma A", {"100.00", "23.00", ""}, {"", "", ""}},
          {"2010-05-02", "K", "Firma A", {"60.00", "40.00", ""}, {"50.00", "30.00", ""}},
          {"2009-03-15", "F", "Firma A", {"999.00", "", ""}, {"", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{3, "123.00"}, {5, "-20.00"}}),
         "123.00",
         123,
         paski({{3, 123}}),
         Wszyscy,
         ""},
        {"faktura liczy tylko stawki, korekta różnicę obu tabel, inny rodzaj nic",
         {{"2010-01-10", "F", "A", {"1.5", "2.25", "  3"}, {"1000", "", ""}},
          {"2010-01-11", "K", "A", {"", "", ""}, {"10", "20", "30.5"}},
          {"2010-01-12", "X", "A", {"500", "", ""}, {"500", "", ""}},
          {"2010-01-13", "", "A", {"500", "", ""}, {"500", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{1, "67.25"}}),
         "67.25",
         67,
         paski({{1, 67}}),
         Wszyscy,
         ""},
        // A gross amount too large to write is never counted as 0: its month says so, the others
        // and the scale go on from what can be read.
        {"kwota poza zakresem nie znika z miesiąca",
         {{"2010-03-01", "F", "A", {"poza zakresem", "", ""}, {"", "", ""}},
          {"2010-03-02", "F", "A", {"100.00", "", ""}, {"", "", ""}},
          {"2010-04-01", "F", "A", {"50.00", "", ""}, {"", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{3, "poza zakresem"}, {4, "50.00"}}),
         "50.00",
         50,
         paski({{4, 50}}),
         Wszyscy,
         ""},
        {"sumy dłuższe niż 12 znaków poszerzają pole",
         {{"2010-12-31", "F", "A", {"123456789012.5", "", ""}, {"", "", ""}},
          {"2010-11-30", "F", "A", {"0.004", "", ""}, {"", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{11, "0.00"}, {12, "123456789012.50"}}),
         "123456789012.50",
         2147483647,
         paski({{12, 2147483647}}),
         Wszyscy,
         ""},
        {"żaden dokument nie liczy się: zera, puste paski, tytuły bez zmian",
         {{"2010-03-15", "F", "A", {"100", "", ""}, {"", "", ""}}},
         "2031",
         "Dowolny",
         zera,
         Zero,
         1,
         paski({}),
         Poczatkowy,
         ""},
        {"połówki do parzystej, ujemna suma daje pusty pasek",
         {{"2010-01-01", "F", "A", {"2.5", "", ""}, {"", "", ""}},
          {"2010-02-01", "F", "A", {"10.5", "", ""}, {"", "", ""}},
          {"2010-03-01", "F", "A", {"3.5", "", ""}, {"", "", ""}},
          {"2010-04-01", "F", "A", {"0.5", "", ""}, {"", "", ""}},
          {"2010-05-01", "K", "A", {"7", "", ""}, {"", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{1, "2.50"}, {2, "10.50"}, {3, "3.50"}, {4, "0.50"}, {5, "-7.00"}}),
         "10.50",
         10,
         paski({{1, 2}, {2, 10}, {3, 4}, {4, 0}}),
         Wszyscy,
         ""},
        {"tylko ujemne sumy: skala zero, paski puste",
         {{"2010-06-01", "K", "A", {"7", "", ""}, {"", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{6, "-7.00"}}),
         Zero,
         1,
         paski({}),
         Wszyscy,
         ""},
        {"klient Kow: wielkość liter ma znaczenie",
         {{"2010-01-05", "F", "Jan Kowalski", {"10", "", ""}, {"", "", ""}},
          {"2010-01-06", "F", "kowalski sp.", {"20", "", ""}, {"", "", ""}},
          {"2010-02-06", "F", "PHU Kow", {"5", "", ""}, {"", "", ""}}},
         "2010",
         "Kow",
         sumy({{1, "10.00"}, {2, "5.00"}}),
         "10.00",
         10,
         paski({{1, 10}, {2, 5}}),
         Wybrany,
         "Kow"},
        {"klient z polskimi literami",
         {{"2010-07-05", "F", "Zakład Łódź", {"10", "", ""}, {"", "", ""}},
          {"2010-07-06", "F", "Zaklad Lodz", {"20", "", ""}, {"", "", ""}}},
         "2010",
         "Łódź",
         sumy({{7, "10.00"}}),
         "10.00",
         10,
         paski({{7, 10}}),
         Wybrany,
         "Łódź"},
        {"rok 201 liczy lata 2010..2019",
         {{"2010-01-05", "F", "A", {"1", "", ""}, {"", "", ""}},
          {"2019-02-05", "F", "A", {"2", "", ""}, {"", "", ""}},
          {"2009-03-05", "F", "A", {"4", "", ""}, {"", "", ""}},
          {"2020-04-05", "F", "A", {"8", "", ""}, {"", "", ""}}},
         "201",
         "Dowolny",
         sumy({{1, "1.00"}, {2, "2.00"}}),
         "2.00",
         2,
         paski({{1, 1}, {2, 2}}),
         Wszyscy,
         ""},
        {"pusty klient nie liczy żadnego dokumentu",
         {{"2010-01-05", "F", "A", {"1", "", ""}, {"", "", ""}}},
         "2010",
         "",
         zera,
         Zero,
         1,
         paski({}),
         Poczatkowy,
         ""},
        {"daty bez miesiąca 1..12 na miejscach 6 i 7 są pomijane",
         {{"2010-00-05", "F", "A", {"1", "", ""}, {"", "", ""}},
          {"2010-13-05", "F", "A", {"2", "", ""}, {"", "", ""}},
          {"2010-3-15", "F", "A", {"4", "", ""}, {"", "", ""}},
          {"2010-9", "F", "A", {"8", "", ""}, {"", "", ""}},
          {"2010", "F", "A", {"16", "", ""}, {"", "", ""}},
          {"15.03.2010", "F", "A", {"32", "", ""}, {"", "", ""}},
          {"2010-99-99", "F", "A", {"64", "", ""}, {"", "", ""}},
          {"2010-10-05", "F", "A", {"128", "", ""}, {"", "", ""}}},
         "2010",
         "Dowolny",
         sumy({{10, "128.00"}}),
         "128.00",
         128,
         paski({{10, 128}}),
         Wszyscy,
         ""},
    };
}

class Zestawienie : public ::testing::Test {
  protected:
    void SetUp() override { okno = UruchomOkno(platforma); }
    void Wylicz(const char* rok, const char* klient) {
        okno->SpeedButton17->click();
        okno->lata->setEditText(QString::fromUtf8(rok));
        okno->klienci->setEditText(QString::fromUtf8(klient));
        okno->SpeedButton19->click();
    }

    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    std::unique_ptr<Tfaktura_f> okno;
};

TEST_F(Zestawienie, Przypadki) {
    for (const Przypadek& p : Przypadki()) {
        SCOPED_TRACE(p.nazwa);
        okno = UruchomOkno(platforma);  // fresh titles for every case
        ZapiszDokumenty(katalog, p.dokumenty);
        Wylicz(p.rok, p.klient);
        ASSERT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();
        for (int m = 0; m < 12; ++m) {
            EXPECT_EQ(okno->SumyMiesiecyEtykiety[m]->text(), Suma(p.sumy[m])) << "miesiąc " << m + 1;
            EXPECT_EQ(okno->PaskiMiesiecy[m]->minimum(), 0);
            EXPECT_EQ(okno->PaskiMiesiecy[m]->maximum(), p.maksimumPaska) << "miesiąc " << m + 1;
            EXPECT_EQ(okno->PaskiMiesiecy[m]->value(), p.paski[m]) << "miesiąc " << m + 1;
        }
        EXPECT_EQ(okno->Label54->text(),
                  QString::fromLatin1(p.skala).rightJustified(12, u' ') + " PLN = 100%");
        EXPECT_EQ(okno->Label27->text(), QString::fromUtf8(p.tytul));
        EXPECT_EQ(okno->Label60->text(), QString::fromUtf8(p.klientWTytule));
    }
}

TEST_F(Zestawienie, PrzykladMarcaIKorektyMaja) {
    ZapiszDokumenty(katalog, {{"2010-03-15", "F", "A", {"100.00", "23.00", ""}, {"", "", ""}},
                              {"2010-05-02", "K", "A", {"100.00", "", ""}, {"80.00", "", ""}}});
    Wylicz("2010", "Dowolny");
    EXPECT_EQ(okno->SumyMiesiecy[2], 123.0);
    EXPECT_EQ(okno->SumyMiesiecy[4], -20.0);
    EXPECT_EQ(okno->findChild<QLabel*>("Label31")->text(), "      123.00 PLN");
    EXPECT_EQ(okno->findChild<QLabel*>("Label33")->text(), "      -20.00 PLN");
    EXPECT_EQ(okno->findChild<QLabel*>("Label29")->text(), "        0.00 PLN");
}

// Blocks of records are read at once: files around a block's size, and a partial record at the end
// (written by someone else) that does not count.
TEST_F(Zestawienie, WieleRekordowIObcietyKoniec) {
    for (int liczba : {1, 63, 64, 65, 200}) {
        SCOPED_TRACE(liczba);
        std::vector<TDokument> rekordy;
        for (int i = 0; i < liczba; ++i) {
            const QByteArray data =
                QStringLiteral("2010-%1-01").arg(i % 12 + 1, 2, 10, QChar(u'0')).toLatin1();
            rekordy.push_back(Rekord({data.constData(), "F", "A", {"1.00", "", ""}, {"", "", ""}}));
        }
        katalog.zapiszRekordy(Dokumenty, rekordy);
        QByteArray dane = katalog.czytaj(Dokumenty);
        dane.append(QByteArray(100, '\x7f'));
        katalog.zapisz(Dokumenty, dane);
        Wylicz("2010", "Dowolny");
        ASSERT_TRUE(platforma.bledy().empty());
        for (int m = 0; m < 12; ++m)
            EXPECT_EQ(okno->SumyMiesiecy[m], liczba / 12 + (m < liczba % 12 ? 1 : 0)) << m;
    }
}

// The summary reads through a buffer of its own: the document in the form stays as it was, byte for
// byte, and so does the file.
TEST_F(Zestawienie, NieZmieniaDokumentuAniPliku) {
    ZapiszDokumenty(katalog, {{"2010-03-15", "K", "A", {"100", "", ""}, {"50", "", ""}}});
    const QByteArray plik = katalog.czytaj(Dokumenty);
    TDokument przed = okno->Dokument;
    Wylicz("2010", "Dowolny");
    EXPECT_EQ(std::memcmp(&przed, &okno->Dokument, sizeof przed), 0);
    EXPECT_EQ(katalog.czytaj(Dokumenty), plik);
}

TEST_F(Zestawienie, OtwarcieIPowrot) {
    okno->Label60->setText("stary klient");
    okno->klienci->addItem("stary");
    okno->SpeedButton17->click();
    EXPECT_FALSE(okno->Panel1->isEnabled());
    EXPECT_TRUE(okno->Label60->text().isEmpty());
    ASSERT_EQ(okno->klienci->count(), 1);
    EXPECT_EQ(okno->klienci->itemText(0), "Dowolny");
    EXPECT_EQ(okno->klienci->currentText(), "Dowolny");
    EXPECT_FALSE(okno->Panel5->isHidden());
    EXPECT_EQ(okno->Panel5->geometry(), QRect(10, 8, 682, 625));
    okno->SpeedButton18->click();
    EXPECT_TRUE(okno->Panel5->isHidden());
    EXPECT_TRUE(okno->Panel1->isEnabled());
}

TEST_F(Zestawienie, NazwyKlientowDopisywaneZaKazdymRazem) {
    auto baza = std::make_unique<TBazaKlientow>();
    baza->odbiorca1[0].ustaw("Adam");
    baza->odbiorca1[1].ustaw("Łucja Żak");
    baza->odbiorca2[3].ustaw("bez nazwy");  // a slot without a first line is no entry
    baza->odbiorca1[5000].ustaw("Ostatni");
    katalog.zapisz("Uslugi/lista.kli", Bajty(*baza));
    const QString sciezka = katalog.plik("Uslugi/lista.kli");

    okno->SpeedButton17->click();
    QDir::setCurrent(katalog.plik("Uslugi"));  // as a dialog may leave it
    platforma.wybranePliki = {sciezka, sciezka};
    okno->SpeedButton24->click();
    EXPECT_EQ(QDir::currentPath(), okno->KatalogDanych);
    okno->SpeedButton24->click();
    ASSERT_TRUE(platforma.bledy().empty());

    QStringList pozycje;
    for (int i = 0; i < okno->klienci->count(); ++i) pozycje << okno->klienci->itemText(i);
    EXPECT_EQ(pozycje,
              QStringList({"Dowolny", "Adam", "Łucja Żak", "Ostatni", "Adam", "Łucja Żak", "Ostatni"}));
    EXPECT_EQ(okno->klienci->currentText(), "Dowolny");
    ASSERT_EQ(platforma.dialogi.size(), 2u);
    EXPECT_EQ(platforma.dialogi[0].filtr, "Lista klientów|*.kli;klienci.dat");
    EXPECT_EQ(platforma.dialogi[0].domyslneRozszerzenie, "*.kli");
    EXPECT_EQ(platforma.dialogi[0].folderPoczatkowy, "Uslugi");

    // One buffer for the whole run, shared with the client list.
    const TBazaKlientow* bufor = okno->BazaKlientow.get();
    platforma.wybranePliki = {sciezka};
    okno->SpeedButton24->click();
    EXPECT_EQ(okno->BazaKlientow.get(), bufor);
}

TEST_F(Zestawienie, NazwyKlientowAnulowaneLubZlyPlik) {
    okno->SpeedButton17->click();
    okno->SpeedButton24->click();  // cancelled: the queue is empty
    EXPECT_EQ(okno->klienci->count(), 1);
    EXPECT_TRUE(platforma.bledy().empty());

    katalog.zapisz("Uslugi/krotka.kli", QByteArray(1000, 'x'));
    platforma.wybranePliki = {katalog.plik("Uslugi/krotka.kli")};
    okno->SpeedButton24->click();
    EXPECT_EQ(okno->klienci->count(), 1);
    ASSERT_EQ(platforma.bledy().size(), 1u);
    EXPECT_TRUE(platforma.bledy()[0].contains("krotka.kli")) << platforma.bledy()[0].toStdString();
}

// Every file operation of the computation failing in turn: the error is reported, the shown totals
// stay those of the last good computation, and no file is left open.
TEST(ZestawienieAwarie, KazdaOperacjaOdczytu) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    ZawodnySystemPlikow pliki;
    auto okno = UruchomOkno(platforma, pliki);
    std::vector<TDokument> rekordy;
    for (int i = 0; i < 150; ++i)
        rekordy.push_back(Rekord({"2010-04-01", "F", "A", {"2", "", ""}, {"", "", ""}}));
    katalog.zapiszRekordy(Dokumenty, rekordy);
    okno->SpeedButton17->click();
    okno->lata->setEditText("2010");
    const QString poprzednia = okno->SumyMiesiecyEtykiety[3]->text();

    bool bezBledu = false;
    for (int k = 1; k < 50 && !bezBledu; ++k) {
        SCOPED_TRACE(k);
        platforma.komunikaty.clear();
        pliki.zawiedzOd(k, false);
        okno->SpeedButton19->click();
        pliki.napraw();
        EXPECT_EQ(pliki.liczbaOtwartych(), 0);
        bezBledu = platforma.bledy().empty();
        if (!bezBledu) {
            EXPECT_EQ(okno->SumyMiesiecyEtykiety[3]->text(), poprzednia);
            EXPECT_TRUE(platforma.bledy()[0].contains("dokumenty.dat")) << platforma.bledy()[0].toStdString();
        }
    }
    ASSERT_TRUE(bezBledu);
    EXPECT_EQ(okno->SumyMiesiecyEtykiety[3]->text(), "      300.00 PLN");
}

}  // namespace
