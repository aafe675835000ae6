// The CSV sales register read back with a CSV parser: its sums per rate against the monthly summary
// of the real window, a correction's differences, quoting, the decimal separator.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QToolButton>
#include <cmath>
#include <cstdio>

#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "calc/podsumowanie.h"
#include "eksport/dane_eksportu.h"
#include "eksport/przebieg.h"
#include "eksport/rejestr.h"
#include "eksport/uruchomienie.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

using Tabela = std::vector<QStringList>;

// RFC 4180: fields separated by ';', quoted fields may hold ';', '"' doubled, rows end in CRLF.
Tabela CzytajCsv(const QByteArray& dane) {
    EXPECT_TRUE(dane.startsWith("\xEF\xBB\xBF")) << "brak BOM";
    const QString tekst = QString::fromUtf8(dane.mid(3));
    Tabela wiersze;
    QStringList wiersz;
    QString pole;
    bool wCudzyslowie = false;
    for (qsizetype i = 0; i < tekst.size(); ++i) {
        const QChar z = tekst[i];
        if (wCudzyslowie) {
            if (z == u'"' && i + 1 < tekst.size() && tekst[i + 1] == u'"') {
                pole += u'"';
                ++i;
            } else if (z == u'"') {
                wCudzyslowie = false;
            } else {
                pole += z;
            }
        } else if (z == u'"') {
            EXPECT_TRUE(pole.isEmpty()) << "cudzysłów w środku pola";
            wCudzyslowie = true;
        } else if (z == u';') {
            wiersz << pole;
            pole.clear();
        } else if (z == u'\r') {
            EXPECT_TRUE(i + 1 < tekst.size() && tekst[i + 1] == u'\n');
        } else if (z == u'\n') {
            wiersz << pole;
            pole.clear();
            wiersze.push_back(wiersz);
            wiersz.clear();
        } else {
            pole += z;
        }
    }
    EXPECT_FALSE(wCudzyslowie);
    EXPECT_TRUE(pole.isEmpty() && wiersz.isEmpty()) << "ostatni wiersz bez końca linii";
    return wiersze;
}

double Liczba(QString pole, bool przecinek = true) {
    if (pole.isEmpty()) return 0;
    EXPECT_FALSE(pole.contains(przecinek ? u'.' : u',')) << pole.toStdString();
    bool ok = false;
    const double x = pole.replace(u',', u'.').toDouble(&ok);
    EXPECT_TRUE(ok) << pole.toStdString();
    return x;
}

TEST(Rejestr, SumyStawekRownajaSieZestawieniuMiesiecznemu) {
    KatalogTestowy katalog;
    ZapiszDane(katalog, ZestawDokumentow());
    const Przebieg p = Uruchom({"csv", "--rok", "2026", "--do", "rejestr.csv"});
    ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
    const Tabela t = CzytajCsv(katalog.czytaj(QStringLiteral("rejestr.csv")));
    ASSERT_EQ(t.size(), 7u);  // header and six documents of 2026
    const QStringList& naglowek = t[0];
    EXPECT_EQ(naglowek.mid(0, 6),
              (QStringList{"Numer", "Rodzaj", "Data wystawienia", "Data usługi", "Nabywca", "NIP nabywcy"}));
    EXPECT_EQ(naglowek.mid(6),
              (QStringList{"Netto 23%", "VAT 23%", "Brutto 23%", "Netto 22%",   "VAT 22%", "Brutto 22%",
                           "Netto 8%",  "VAT 8%",  "Brutto 8%",  "Netto 5%",    "VAT 5%",  "Brutto 5%",
                           "Netto 0%",  "VAT 0%",  "Brutto 0%",  "Netto np",    "VAT np",  "Brutto np",
                           "Netto zw",  "VAT zw",  "Brutto zw",  "Brutto razem"}));

    std::array<double, 12> miesiace{};
    double sumaGrup = 0, sumaRazem = 0;
    for (std::size_t w = 1; w < t.size(); ++w) {
        ASSERT_EQ(t[w].size(), naglowek.size()) << w;
        double grupy = 0;
        for (qsizetype c = 8; c < naglowek.size() - 1; c += 3) grupy += Liczba(t[w][c]);
        const double razem = Liczba(t[w].last());
        EXPECT_NEAR(grupy, razem, 0.005) << w;
        sumaGrup += grupy;
        sumaRazem += razem;
        miesiace[t[w][2].mid(5, 2).toInt() - 1] += razem;
    }

    // The monthly summary of the window over the same data folder.
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->SpeedButton17Click();
    okno->lata->setEditText(QStringLiteral("2026"));
    okno->klienci->setEditText(QStringLiteral("Dowolny"));
    okno->SpeedButton19->click();
    double rok = 0;
    for (std::size_t m = 0; m < 12; ++m) {
        EXPECT_NEAR(miesiace[m], okno->SumyMiesiecy[m], 0.005) << "miesiąc " << m + 1;
        rok += okno->SumyMiesiecy[m];
    }
    EXPECT_NEAR(sumaGrup, rok, 0.005);
    EXPECT_NEAR(sumaRazem, rok, 0.005);
    EXPECT_GT(rok, 0);
}

TEST(Rejestr, WierszeFakturyIKorektWKolejnosciPliku) {
    RejestrSprzedazy rejestr;
    const std::vector<TDokument> zestaw = ZestawDokumentow();
    for (std::size_t i = 1; i < zestaw.size(); ++i) EXPECT_FALSE(rejestr.dodaj(zestaw[i])) << i;
    const Tabela t = CzytajCsv(rejestr.csv());
    ASSERT_EQ(t.size(), zestaw.size());
    const QStringList& n = t[0];
    const auto kolumna = [&](const char* nazwa) { return n.indexOf(QString::fromUtf8(nazwa)); };
    // Invoice 1/2026: three rates.
    const QStringList& f1 = t[2];
    EXPECT_EQ(f1.mid(0, 6), (QStringList{"1/2026", "faktura", "2026-01-10", "2026-01-08", "F.H.U. Kowalski",
                                         "111-111-11-11"}));
    EXPECT_EQ(f1[kolumna("Netto 23%")], "200,00");
    EXPECT_EQ(f1[kolumna("VAT 23%")], "46,00");
    EXPECT_EQ(f1[kolumna("Brutto 8%")], "27,00");
    EXPECT_EQ(f1[kolumna("Netto zw")], "");
    EXPECT_EQ(f1.last(), "315,00");
    // Correction lowering: after minus before, zero where a rate did not change.
    const QStringList& k1 = t[5];
    EXPECT_EQ(k1.mid(0, 3), (QStringList{"1/K/2026", "korekta", "2026-02-10"}));
    EXPECT_EQ(k1[kolumna("Netto 23%")], "-100,00");
    EXPECT_EQ(k1[kolumna("VAT 23%")], "-23,00");
    EXPECT_EQ(k1[kolumna("Brutto 23%")], "-123,00");
    EXPECT_EQ(k1[kolumna("Brutto 8%")], "0,00");
    EXPECT_EQ(k1.last(), "-123,00");
    // Correction raising.
    EXPECT_EQ(t[6][kolumna("Brutto 23%")], "61,50");
    EXPECT_EQ(t[6].last(), "61,50");
}

TEST(Rejestr, KropkaCudzyslowyIFormuly) {
    TDokument d = ZestawDokumentow()[3];
    d.odbiorca1.ustaw(QStringLiteral("Firma \"Ala; i Ola\"\tsp.  j."));
    d.nip_odbiorcy.ustaw(QStringLiteral("=HYPERLINK(\"x\")"));
    d.rozszerzenie.ustaw(QStringLiteral("A;B"));
    for (const bool kropka : {false, true}) {
        RejestrSprzedazy rejestr(kropka);
        ASSERT_FALSE(rejestr.dodaj(d));
        const QByteArray csv = rejestr.csv();
        const Tabela t = CzytajCsv(csv);
        ASSERT_EQ(t.size(), 2u);
        EXPECT_EQ(t[1][0], "2/A;B");
        EXPECT_EQ(t[1][4], "Firma \"Ala; i Ola\" sp. j.");
        // A cell that would start a formula in a spreadsheet starts with an apostrophe instead.
        EXPECT_EQ(t[1][5], "'=HYPERLINK(\"x\")");
        EXPECT_EQ(t[1].last(), kropka ? "307.50" : "307,50");
        EXPECT_DOUBLE_EQ(Liczba(t[1].last(), !kropka), 307.5);
    }
}

TEST(Rejestr, KwotyBezStawkiIRekordyNieDokumentow) {
    RejestrSprzedazy rejestr;
    TDokument bezStawki = ZestawDokumentow()[3];
    bezStawki.stawki[0][0].ustaw(QString());  // line 1 without a rate: its amounts count anyway
    EXPECT_FALSE(rejestr.dodaj(bezStawki));
    TDokument poza = ZestawDokumentow()[3];
    poza.stawki[3][0].ustaw(QStringLiteral("poza zakresem"));
    EXPECT_EQ(rejestr.dodaj(poza), QStringLiteral("kwota w podsumowaniu VAT jest „poza zakresem”"));
    TDokument inny = ZestawDokumentow()[3];
    inny.rodzaj.ustaw(QStringLiteral("X"));
    EXPECT_EQ(rejestr.dodaj(inny), QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „X”)"));
    const Tabela t = CzytajCsv(rejestr.csv());
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].mid(6),
              (QStringList{"Netto bez stawki", "VAT bez stawki", "Brutto bez stawki", "Brutto razem"}));
    EXPECT_EQ(t[1].mid(6), (QStringList{"250,00", "57,50", "307,50", "307,50"}));
}

TEST(Rejestr, ZaokraglenieJakTekstKwoty) {
    // Sums of stored amounts near half a grosz, and amounts too large for a count of grosze.
    struct P {
        std::vector<const char*> brutto;
        const char* razem;
    };
    const P przypadki[] = {
        {{"0.125"}, "0,13"},
        {{"2.675"}, "2,67"},
        {{"0.1", "0.2", "-0.3"}, "0,00"},
        {{"-0.001"}, "0,00"},
        {{"123456789012345678.00"}, "123456789012345680,00"},
    };
    for (const P& p : przypadki) {
        TDokument d{};
        d.rodzaj.ustaw(QStringLiteral("F"));
        for (std::size_t r = 0; r < p.brutto.size(); ++r) {
            d.stawki[0][r].ustaw(QStringLiteral("23"));
            d.stawki[3][r].ustaw(QString::fromUtf8(p.brutto[r]));
        }
        RejestrSprzedazy rejestr;
        ASSERT_FALSE(rejestr.dodaj(d));
        const Tabela t = CzytajCsv(rejestr.csv());
        EXPECT_EQ(t[1].last(), QString::fromUtf8(p.razem)) << p.brutto[0];
        EXPECT_EQ(t[1][8], QString::fromUtf8(p.razem)) << p.brutto[0];
    }
}

TEST(Rejestr, KwotaKomorkiCzytaJakKwotaZKomorki) {
    // The fast reading of the summary's amount form must give the very same doubles as the general one.
    std::vector<QString> teksty = {"",
                                   "0.00",
                                   "-0.00",
                                   "  12.34",
                                   "       100.00",
                                   "1.5",
                                   "12,50",
                                   "1e3",
                                   "  -7.05",
                                   "007.10",
                                   "1234567890123.45",
                                   "12345678901234.56",
                                   "poza zakresem",
                                   " ",
                                   "-",
                                   "12.345",
                                   ".50",
                                   "5."};
    std::uint64_t ziarno = 12345;
    for (int i = 0; i < 20000; ++i) {
        ziarno = ziarno * 6364136223846793005ull + 1442695040888963407ull;
        const std::int64_t grosze =
            static_cast<std::int64_t>(ziarno >> 20) % 10000000000000LL - 5000000000000LL;
        teksty.push_back(TekstKwoty(static_cast<double>(grosze) / 100.0));
    }
    for (const QString& t : teksty) {
        TTekst<20> komorka{};
        komorka.ustaw(t);
        const double a = KwotaKomorki(komorka), b = KwotaZKomorki(komorka.tekst());
        EXPECT_TRUE((std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b)))
            << t.toStdString() << ": " << a << " " << b;
    }
}

TEST(Rejestr, NaStandardoweWyjscie) {
    KatalogTestowy katalog;
    ZapiszDane(katalog, ZestawDokumentow());
    const Przebieg p = Uruchom({"csv", "--miesiac", "2026-01", "--kropka"});
    ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
    const Tabela t = CzytajCsv(p.wyjscie);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1][0], "1/2026");
    EXPECT_EQ(t[2][0], "2/2026");
    EXPECT_EQ(t[2].last(), "307.50");
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("Wyeksportowano dokumentów: 2 z 2 na standardowe wyjście.")))
        << p.bledy.toStdString();
}

// A long file is read in two halves at once; the register, its refusals and their order are the
// ones a single pass gives (the fault file system, which is not for threads, reads in one pass).
TEST(Rejestr, DlugiPlikWDwochPolowachJakWJednym) {
    KatalogTestowy katalog;
    std::vector<TDokument> dokumenty;
    const std::vector<TDokument> wzor = ZestawDokumentow();
    for (int i = 0; i < 10001; ++i) {
        TDokument d = wzor[static_cast<std::size_t>(i) % wzor.size()];
        d.numerator.ustaw(QString::number(i + 1));
        // Rates that first occur in the second half, and refused records on both sides of it.
        if (i == 7000) d.stawki[0][0].ustaw(QStringLiteral("5"));
        if (i == 3 || i == 5000 || i == 5001 || i == 9999) d.rodzaj.ustaw(QStringLiteral("X"));
        dokumenty.push_back(d);
    }
    ZapiszDane(katalog, dokumenty);
    const Przebieg rownolegle = Uruchom({"csv"});
    ZawodnySystemPlikow jednym;
    const Przebieg kolejno = Uruchom({"csv"}, jednym);
    EXPECT_EQ(rownolegle.kod, 1);
    EXPECT_EQ(rownolegle.wyjscie, kolejno.wyjscie);
    // The refusals and the summary, in file order; the progress lines come as each pass gets there.
    const auto bezPostepu = [](const QString& bledy) {
        QStringList linie = bledy.split(u'\n');
        linie.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("csv: ")); });
        return linie;
    };
    EXPECT_EQ(bezPostepu(rownolegle.bledy), bezPostepu(kolejno.bledy));
    EXPECT_EQ(bezPostepu(rownolegle.bledy).size(), 4 + 2) << rownolegle.bledy.toStdString();
    EXPECT_EQ(CzytajCsv(rownolegle.wyjscie).size(), 1u + 10001u - 4u)
        << "the header, and the 4 refused left out";
}

// The register goes to the standard output in pieces: joined they are the file that --do writes,
// and a full disk is reported whether the register is one piece or many.
TEST(Rejestr, NaStandardoweWyjsciePoKawalku) {
    for (const int dokumentow : {3, 12000}) {
        KatalogTestowy katalog;
        std::vector<TDokument> dokumenty;
        const std::vector<TDokument> wzor = ZestawDokumentow();
        for (int i = 0; i < dokumentow; ++i) {
            TDokument d = wzor[1 + static_cast<std::size_t>(i) % (wzor.size() - 1)];
            d.numerator.ustaw(QString::number(i + 1));
            dokumenty.push_back(d);
        }
        ZapiszDane(katalog, dokumenty);
        const Przebieg p = Uruchom({"csv"});
        ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
        if (dokumentow > 3) {
            EXPECT_GT(p.wyjscie.size(), 1 << 20) << "more than one piece";
        }
        ASSERT_EQ(Uruchom({"csv", "--do", "rejestr.csv"}).kod, 0);
        EXPECT_EQ(katalog.czytaj(QStringLiteral("rejestr.csv")), p.wyjscie) << dokumentow;

        std::FILE* pelny = std::fopen("/dev/full", "w");
        ASSERT_NE(pelny, nullptr);
        std::FILE* bledy = std::tmpfile();
        Srodowisko s{DomyslnySystemPlikow(), pelny, bledy, false, CzasTestow};
        EXPECT_EQ(UruchomProgram({"csv"}, s), KodOdrzucenia) << dokumentow;
        std::fclose(pelny);
        std::rewind(bledy);
        char tekst[4096] = {};
        const std::size_t n = std::fread(tekst, 1, sizeof tekst - 1, bledy);
        std::fclose(bledy);
        const QString komunikaty = QString::fromUtf8(tekst, static_cast<qsizetype>(n));
        EXPECT_TRUE(komunikaty.contains(QStringLiteral("nie można zapisać rejestru na standardowe wyjście")))
            << komunikaty.toStdString();
        EXPECT_FALSE(komunikaty.contains(QStringLiteral("Wyeksportowano"))) << komunikaty.toStdString();
    }
}

}  // namespace
