// What a stored document is: kind, number, start record, dates, tax numbers, seller lines, and its
// amounts as one reader, one per-rate sum and one file writer give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "calc/dokument.h"
#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "calc/podsumowanie.h"
#include "store/cp1250.h"

namespace {

QString U(const char* tekst) { return QString::fromUtf8(tekst); }

TEST(Dokument, RodzajZLitery) {
    struct {
        const char* litera;
        RodzajDokumentu rodzaj;
    } const przypadki[] = {
        {"F", RodzajDokumentu::Faktura}, {"K", RodzajDokumentu::Korekta}, {"", RodzajDokumentu::Inny},
        {"f", RodzajDokumentu::Inny},    {"k", RodzajDokumentu::Inny},    {"X", RodzajDokumentu::Inny},
        {" ", RodzajDokumentu::Inny},    {"Ł", RodzajDokumentu::Inny},
    };
    for (const auto& p : przypadki) {
        TDokument d{};
        d.rodzaj.ustaw(U(p.litera));
        EXPECT_EQ(Rodzaj(d), p.rodzaj) << p.litera;
        EXPECT_EQ(RodzajZTekstu(U(p.litera)), p.rodzaj) << p.litera;
    }
    // The record's byte and its decoded text say the same for every byte and a length byte past the
    // capacity, which is read as one character.
    for (int b = 0; b < 256; ++b) {
        TDokument d{};
        d.rodzaj.znaki[0] = static_cast<char>(b);
        for (std::uint8_t dlugosc : {1, 2, 255}) {
            d.rodzaj.dlugosc = dlugosc;
            EXPECT_EQ(Rodzaj(d), RodzajZTekstu(d.rodzaj.tekst())) << b << " " << int{dlugosc};
        }
    }
    EXPECT_EQ(RodzajZTekstu(u"FK"), RodzajDokumentu::Inny);
}

TEST(Dokument, RodzajZapisanyIOdczytany) {
    for (const RodzajDokumentu r : {RodzajDokumentu::Faktura, RodzajDokumentu::Korekta}) {
        TDokument d{};
        UstawRodzaj(d, r);
        EXPECT_EQ(d.rodzaj.dlugosc, 1);
        EXPECT_EQ(Rodzaj(d), r);
        EXPECT_EQ(JestFaktura(d), r == RodzajDokumentu::Faktura);
        EXPECT_EQ(JestKorekta(d), r == RodzajDokumentu::Korekta);
    }
    TDokument d{};
    UstawRodzaj(d, RodzajDokumentu::Faktura);
    UstawRodzaj(d, RodzajDokumentu::Inny);
    EXPECT_EQ(d.rodzaj.dlugosc, 0);
    EXPECT_EQ(LiteraRodzaju(RodzajDokumentu::Faktura), QStringLiteral("F"));
    EXPECT_EQ(LiteraRodzaju(RodzajDokumentu::Korekta), QStringLiteral("K"));
    EXPECT_TRUE(LiteraRodzaju(RodzajDokumentu::Inny).isEmpty());
}

TEST(Dokument, NumerZRozszerzeniem) {
    struct {
        const char* numerator;
        const char* rozszerzenie;
        const char* numer;
    } const przypadki[] = {
        {"12", "2026", "12/2026"},
        {"3", "K/2026", "3/K/2026"},
        {"", "", "/"},
        {"7", "", "7/"},
        {"", "2026", "/2026"},
        {"1234567890", "ŁÓDŹ/2026/abcdefghijk", "1234567890/ŁÓDŹ/2026/abcdefghij"},
    };
    for (const auto& p : przypadki) {
        TDokument d{};
        d.numerator.ustaw(U(p.numerator));
        d.rozszerzenie.ustaw(U(p.rozszerzenie));
        EXPECT_EQ(NumerDokumentu(d), U(p.numer)) << p.numer;
        char bajty[NajdluzszyNumer];
        const std::size_t ile = BajtyNumeru(d, bajty);
        EXPECT_EQ(QByteArray(bajty, static_cast<qsizetype>(ile)), DoCp1250(U(p.numer))) << p.numer;
    }
}

TEST(Dokument, PoczatekBloczka) {
    const TDokument poczatek = RekordPoczatkowy(QStringLiteral("2026-12-08"));
    EXPECT_TRUE(JestPoczatkiemBloczka(poczatek));
    EXPECT_EQ(Rodzaj(poczatek), RodzajDokumentu::Faktura);
    EXPECT_EQ(NumerDokumentu(poczatek), QStringLiteral("0/2026-12-08"));

    struct {
        const char* opis;
        void (*zmiana)(TDokument&);
    } const inne[] = {
        {"z datą wystawienia", [](TDokument& d) { d.data_wystawienia.ustaw(QStringLiteral("2026-12-08")); }},
        {"numer 00", [](TDokument& d) { d.numerator.ustaw(QStringLiteral("00")); }},
        {"numer 1", [](TDokument& d) { d.numerator.ustaw(QStringLiteral("1")); }},
        {"inny nabywca", [](TDokument& d) { d.odbiorca1.ustaw(QStringLiteral("Początek bloczka")); }},
        {"zwykła faktura", [](TDokument& d) { d = TDokument{}; }},
    };
    for (const auto& p : inne) {
        TDokument d = poczatek;
        p.zmiana(d);
        EXPECT_FALSE(JestPoczatkiemBloczka(d)) << p.opis;
    }
}

TEST(Dokument, DatyZapisywaneIOdczytywane) {
    struct {
        QDate data;
        const char* tekst;
    } const zapisy[] = {
        {QDate(2026, 3, 5), "2026-03-05"},   {QDate(2024, 2, 29), "2024-02-29"},
        {QDate(2026, 12, 31), "2026-12-31"}, {QDate(999, 1, 9), "0999-01-09"},
        {QDate(1752, 9, 14), "1752-09-14"},
    };
    for (const auto& p : zapisy) {
        EXPECT_EQ(TekstDaty(p.data), U(p.tekst));
        EXPECT_EQ(DataZTekstu(U(p.tekst)), p.data) << p.tekst;
    }
    for (QDate d(2023, 12, 25); d <= QDate(2025, 1, 5); d = d.addDays(1))
        EXPECT_EQ(DataZTekstu(TekstDaty(d)), d) << TekstDaty(d).toStdString();

    const char* const niedaty[] = {"2026-02-29", "2026-13-01", "2026-00-10",  "2026-01-32",  "0000-01-01",
                                   "2026-3-15",  "15.03.2026", "2026-03-15 ", " 2026-03-15", "",
                                   "2026/03/15", "2026-03-1x", "２026-03-15"};
    for (const char* t : niedaty) EXPECT_EQ(DataZTekstu(U(t)), std::nullopt) << t;
}

TEST(Dokument, MiesiacDatyWystawienia) {
    const std::pair<const char*, int> przypadki[] = {
        {"2026-03-15", 3}, {"2026-12", 12},   {"2026-01-xx", 1}, {"2026/11/01", 11},
        {"2026-13-01", 0}, {"2026-00-01", 0}, {"2026-3-15", 0},  {"2026-0", 0},
        {"", 0},           {"2026", 0},
    };
    for (const auto& [tekst, miesiac] : przypadki) {
        TTekst<10> data{};
        data.ustaw(U(tekst));
        EXPECT_EQ(MiesiacDaty(data), miesiac) << tekst;
    }
}

TEST(Dokument, CyfryNip) {
    struct {
        const char* tekst;
        const char* znaki;
        bool dziesiecCyfr;
    } const przypadki[] = {
        {"526-000-12-46", "5260001246", true},
        {"PL 526 000 12 46", "5260001246", true},
        {"pl5260001246", "5260001246", true},
        {"Pl\t526 000\u00a012-46", "5260001246", true},
        {"  5260001246  ", "5260001246", true},
        {"PLPL5260001246", "PL5260001246", false},
        {"DE123456789", "DE123456789", false},
        {"52600012", "52600012", false},
        {"526000124a", "526000124A", false},
        {"", "", false},
        {"PL", "", false},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(ZnakiNip(U(p.tekst)), U(p.znaki)) << p.tekst;
        EXPECT_EQ(CyfryNip(U(p.tekst)).has_value(), p.dziesiecCyfr) << p.tekst;
        if (p.dziesiecCyfr) {
            EXPECT_EQ(*CyfryNip(U(p.tekst)), U(p.znaki)) << p.tekst;
        }
    }
}

TEST(Dokument, CyfraKontrolnaIPoprawnoscNip) {
    struct {
        const char* cyfry;
        std::optional<int> kontrolna;
        bool poprawny;
    } const przypadki[] = {
        {"5260001246", 6, true},
        {"5260001247", 6, false},
        {"9999999999", 9, true},
        {"1111111111", 1, true},
        {"1234567890", std::nullopt, false},  // the sum gives 10
        {"0123456789", 9, false},             // office code 0
        {"1001000008", 8, false},             // 00 in places two and three
        {"1011000004", 4, true},
        {"526000124", 6, false},  // nine digits have a check digit but are no tax number
        {"52600012", std::nullopt, false},
        {"52600012x6", std::nullopt, false},
        {"526000124x", 6, false},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(CyfraKontrolnaNip(U(p.cyfry)), p.kontrolna) << p.cyfry;
        EXPECT_EQ(PoprawnyNip(U(p.cyfry)), p.poprawny) << p.cyfry;
    }
}

TEST(Dokument, LiniaFirmyWOknie) {
    const QString czterdziesci(40, u'a');
    const QString dluga = QStringLiteral("Przedsiębiorstwo Usługowo-Handlowe „Zakład” sp. z o.o.");
    EXPECT_EQ(PostacLiniiFirmy(QString()), QString());
    EXPECT_EQ(PostacLiniiFirmy(czterdziesci), czterdziesci);
    EXPECT_FALSE(LiniaFirmySkrocona(czterdziesci));
    EXPECT_EQ(PostacLiniiFirmy(czterdziesci + u'b'), QString(30, u'a') + QStringLiteral("..."));
    EXPECT_TRUE(LiniaFirmySkrocona(czterdziesci + u'b'));
    EXPECT_EQ(PostacLiniiFirmy(dluga), dluga.left(30) + QStringLiteral("..."));
}

// Cell texts with the amounts they hold.
TEST(KwotaKomorki, Odczyt) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const std::pair<const char*, double> przypadki[] = {
        {"", 0},
        {"0.00", 0},
        {"      123.45", 123.45},
        {"-7.05", -7.05},
        {"  -1234567890.12", -1234567890.12},
        {"1.5", 1.5},
        {"12,50", 12},
        {"1e3", 1000},
        {"007.10", 7.1},
        {".50", 0.5},
        {"5.", 5},
        {"12.345", 12.345},
        {" ", 0},
        {"-", 0},
        {"poza zakresem", NaN},
        {"1234567890123.45", 1234567890123.45},
        {"12345678901234.56", 12345678901234.56},
    };
    for (const auto& [tekst, kwota] : przypadki) {
        TTekst<20> komorka{};
        komorka.ustaw(U(tekst));
        const double x = KwotaKomorki(komorka);
        if (std::isnan(kwota)) {
            EXPECT_TRUE(std::isnan(x)) << tekst;
        } else {
            EXPECT_EQ(x, kwota) << tekst;
        }
    }
    TTekst<20> zero{};
    zero.ustaw(QStringLiteral("-0.00"));
    EXPECT_TRUE(std::signbit(KwotaKomorki(zero)));
}

// The whole-grosze path gives the very doubles of the general reading, the sign of zero included.
TEST(KwotaKomorki, SzybkaDrogaJakOgolna) {
    std::vector<QString> teksty = {
        "0.00",   "-0.00", "  12.34", "       100.00",    "  -7.05",           "007.10",
        "99.99",  "0.01",  "-0.01",   "9999999999999.99", "-9999999999999.99", "1.5",
        "12.345", "1.0e2", "+1.00"};
    std::uint64_t ziarno = 2026;
    for (int i = 0; i < 20000; ++i) {
        ziarno = ziarno * 6364136223846793005ull + 1442695040888963407ull;
        const auto skala = static_cast<int>(ziarno % 14);
        const auto grosze = static_cast<std::int64_t>((ziarno >> 16) % 1000000000000000ull) /
                            static_cast<std::int64_t>(std::pow(10, skala));
        teksty.push_back(TekstKwoty((i % 2 ? -1 : 1) * static_cast<double>(grosze) / 100.0));
    }
    for (const QString& t : teksty) {
        TTekst<20> komorka{};
        komorka.ustaw(t);
        const double szybko = KwotaKomorki(komorka), ogolnie = KwotaZKomorki(komorka.tekst());
        EXPECT_TRUE(szybko == ogolnie && std::signbit(szybko) == std::signbit(ogolnie))
            << t.toStdString() << ": " << szybko << " " << ogolnie;
        EXPECT_EQ(szybko, KwotaKomorkiOgolnie(komorka)) << t.toStdString();
    }
}

std::string Plik(double x, char separator) {
    char tekst[NajdluzszaKwotaPliku];
    return {tekst, PiszKwotePliku(tekst, x, separator)};
}

TEST(KwotaPliku, BezOdstepowNigdyMinusZeroZSeparatorem) {
    struct {
        double kwota;
        const char* kropka;
        const char* przecinek;
    } const przypadki[] = {
        {0, "0.00", "0,00"},
        {-0.0, "0.00", "0,00"},
        {-0.004, "0.00", "0,00"},
        {-0.0049999, "0.00", "0,00"},
        {-0.005, "-0.01", "-0,01"},
        {0.005, "0.01", "0,01"},
        // Halves judged on the double's decimal expansion, as TekstKwoty does: 1.005 is 1.00499...
        {1.005, "1.00", "1,00"},
        {2.675, "2.67", "2,67"},
        {1.125, "1.13", "1,13"},
        {1234.5, "1234.50", "1234,50"},
        {-73, "-73.00", "-73,00"},
        {123456789012.345, "123456789012.35", "123456789012,35"},
        {1e15, "1000000000000000.00", "1000000000000000,00"},
        {std::numeric_limits<double>::quiet_NaN(), "poza zakresem", "poza zakresem"},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(Plik(p.kwota, '.'), p.kropka) << p.kwota;
        EXPECT_EQ(Plik(p.kwota, ','), p.przecinek) << p.kwota;
        EXPECT_EQ(KwotaPliku(p.kwota), QString::fromLatin1(p.kropka)) << p.kwota;
    }
}

// The writer's own digits agree with TekstKwoty everywhere, near halves and at large amounts too.
TEST(KwotaPliku, JakTekstKwoty) {
    std::vector<double> kwoty;
    std::uint64_t ziarno = 77;
    for (int i = 0; i < 50000; ++i) {
        ziarno = ziarno * 6364136223846793005ull + 1442695040888963407ull;
        const double ulamek = static_cast<double>(ziarno >> 11) / static_cast<double>(1ull << 53);
        const double wielkosc = std::pow(10.0, static_cast<double>(ziarno % 16));
        const double x = ulamek * wielkosc;
        kwoty.push_back(i % 2 ? -x : x);
        // Just off a half grosz.
        const double pol = (std::floor(x * 100) + 0.5) / 100;
        kwoty.push_back(std::nextafter(pol, 0.0));
        kwoty.push_back(std::nextafter(pol, 1e300));
    }
    for (const double x : kwoty) {
        QString oczekiwany = TekstKwoty(x).trimmed();
        if (oczekiwany == QLatin1String("-0.00")) oczekiwany = QStringLiteral("0.00");
        ASSERT_EQ(QString::fromStdString(Plik(x, '.')), oczekiwany) << x;
    }
}

// A summary table of a record: rows of rate, net, VAT, gross.
using Wiersze = std::vector<std::array<const char*, 4>>;
void Wpisz(TabelaStawek& tabela, const Wiersze& wiersze) {
    for (std::size_t r = 0; r < wiersze.size(); ++r)
        for (std::size_t c = 0; c < 4; ++c) tabela[c][r].ustaw(U(wiersze[r][c]));
}

struct Grupa {
    const char* stawka;
    const char* netto;
    const char* podatek;
    const char* brutto;
};

TEST(SumujStawki, WedlugStawekKorektaPoMinusPrzed) {
    struct {
        const char* opis;
        const char* rodzaj;
        Wiersze stawki, stawkiKorekty;
        bool czytelne;
        std::vector<Grupa> grupy;
        const char* doZaplaty;
    } const przypadki[] = {
        {"faktura dwóch stawek",
         "F",
         {{"23", "100.00", "23.00", "123.00"},
          {"8", "10.00", "0.80", "10.80"},
          {"23", "1.00", "0.23", "1.23"}},
         {{"23", "999", "999", "999"}},
         true,
         {{"23", "101.00", "23.23", "124.23"}, {"8", "10.00", "0.80", "10.80"}},
         "135.03"},
        {"korekta: po minus przed",
         "K",
         {{"23", "100.00", "23.00", "123.00"}},
         {{"23", "50.00", "11.50", "61.50"}, {"5", "10.00", "0.50", "10.50"}},
         true,
         {{"23", "-50.00", "-11.50", "-61.50"}, {"5", "10.00", "0.50", "10.50"}},
         "-51.00"},
        {"pusty pierwszy wiersz nic nie liczy",
         "F",
         {{"", "0.00", "0.00", "0.00"}, {"zw", "10.00", "0.00", "10.00"}},
         {},
         true,
         {{"zw", "10.00", "0.00", "10.00"}},
         "10.00"},
        {"kwoty bez stawki tworzą grupę",
         "F",
         {{"", "5.00", "0.00", "5.00"}},
         {},
         true,
         {{"", "5.00", "0.00", "5.00"}},
         "5.00"},
        {"kwota poza zakresem",
         "F",
         {{"23", "poza zakresem", "1.00", "2.00"}, {"8", "1.00", "0.08", "1.08"}},
         {},
         false,
         {{"8", "1.00", "0.08", "1.08"}},
         "3.08"},
        {"rekord innego rodzaju liczy się jak faktura",
         "X",
         {{"23", "1.00", "0.23", "1.23"}},
         {{"23", "9", "9", "9"}},
         true,
         {{"23", "1.00", "0.23", "1.23"}},
         "1.23"},
    };
    for (const auto& p : przypadki) {
        TDokument d{};
        d.rodzaj.ustaw(U(p.rodzaj));
        Wpisz(d.stawki, p.stawki);
        Wpisz(d.stawki_korekty, p.stawkiKorekty);
        std::vector<QString> nazwy;
        const SumyStawek s = SumujStawki(d, [&](const WierszPodsumowania& w) {
            const QString stawka = w.stawka.tekst();
            const auto it = std::find(nazwy.begin(), nazwy.end(), stawka);
            if (it != nazwy.end()) return static_cast<int>(it - nazwy.begin());
            nazwy.push_back(stawka);
            return static_cast<int>(nazwy.size() - 1);
        });
        EXPECT_EQ(s.czytelne, p.czytelne) << p.opis;
        ASSERT_EQ(s.liczbaGrup, p.grupy.size()) << p.opis;
        for (std::size_t i = 0; i < s.liczbaGrup; ++i) {
            const KwotyGrupy& g = s.grupy[i];
            EXPECT_EQ(nazwy[static_cast<std::size_t>(g.grupa)], U(p.grupy[i].stawka)) << p.opis;
            EXPECT_EQ(KwotaPliku(static_cast<double>(g.netto)), U(p.grupy[i].netto)) << p.opis;
            EXPECT_EQ(KwotaPliku(static_cast<double>(g.podatek)), U(p.grupy[i].podatek)) << p.opis;
            EXPECT_EQ(KwotaPliku(static_cast<double>(g.brutto)), U(p.grupy[i].brutto)) << p.opis;
        }
        EXPECT_EQ(KwotaPliku(s.kwoty.doZaplaty), U(p.doZaplaty)) << p.opis;
        // The totals are those of the totals-only sum and of the printout's reading.
        const KwotyDokumentu same = SumujStawki(d, BezGrup{}).kwoty;
        EXPECT_EQ(TekstKwoty(same.doZaplaty), TekstKwoty(s.kwoty.doZaplaty)) << p.opis;
        EXPECT_EQ(TekstKwoty(ObliczKwotyDokumentu(d).poKorekcie), TekstKwoty(s.kwoty.poKorekcie)) << p.opis;
    }
}

TEST(SumujStawki, WierszeDlaGrupowania) {
    TDokument d{};
    UstawRodzaj(d, RodzajDokumentu::Korekta);
    Wpisz(d.stawki, {{"23", "1.00", "0.23", "1.23"}, {"", "", "", ""}, {" ", "0", "0", "0"}});
    Wpisz(d.stawki_korekty, {{"", "poza zakresem", "", ""}, {"8", "2.00", "0.16", "2.16"}});
    struct Widziany {
        QString stawka;
        int wiersz;
        bool czytelny, poKorekcie;
    };
    std::vector<Widziany> widziane;
    const SumyStawek s = SumujStawki(d, [&](const WierszPodsumowania& w) {
        widziane.push_back({w.stawka.tekst(), w.wiersz, w.czytelny, w.poKorekcie});
        return -1;  // counted in no group
    });
    // The empty row 2 is left out; the blank rate of row 3 is the caller's to judge.
    ASSERT_EQ(widziane.size(), 4u);
    EXPECT_EQ(widziane[0].stawka, QStringLiteral("23"));
    EXPECT_EQ(widziane[1].stawka, QStringLiteral(" "));
    EXPECT_EQ(widziane[1].wiersz, 3);
    EXPECT_FALSE(widziane[2].czytelny);
    EXPECT_TRUE(widziane[2].poKorekcie);
    EXPECT_EQ(widziane[3].wiersz, 2);
    EXPECT_EQ(s.liczbaGrup, 0u);
    EXPECT_FALSE(s.czytelne);
    EXPECT_EQ(KwotaPliku(s.kwoty.doZaplaty), QStringLiteral("0.93"));
}

// The whole-grosze sum writes what the general sum's amounts write, wherever it takes a document;
// it declines any document with a cell of another form or of 10^9 PLN or more.
TEST(SumujStawkiWGroszach, JakSumujStawki) {
    struct Przypadek {
        Wiersze stawki, stawkiKorekty;
        bool korekta;
        bool wGroszach;
    };
    std::vector<Przypadek> przypadki = {
        {{{"23", "100.00", "23.00", "123.00"}, {"8", "10.00", "0.80", "10.80"}}, {}, false, true},
        {{{"23", "100.00", "23.00", "123.00"}},
         {{"23", "50.00", "11.50", "61.50"}, {"5", "1.00", "0.05", "1.05"}},
         true,
         true},
        {{{"", "0.00", "0.00", "0.00"}, {"zw", "10.00", "0.00", "10.00"}}, {}, false, true},
        {{{"", "-0.00", "0.00", "-0.00"}, {"np", "  -0.01", "0.00", "-0.01"}}, {}, false, true},
        {{{"23", "999999999.99", "229999999.99", "999999999.99"}}, {}, false, true},
        {{{"23", "-999999999.99", "0.00", "-999999999.99"}}, {}, false, true},
        {{{"23", "1000000000.00", "0.00", "0.00"}}, {}, false, false},
        {{{"23", "0.00", "0.00", "-1000000000.00"}}, {}, false, false},
        {{{"23", "poza zakresem", "1.00", "2.00"}}, {}, false, false},
        {{{"23", "1.5", "0.00", "1.50"}}, {}, false, false},
        {{{"23", "1.00", "0.23", "1.23"}}, {{"23", "12,50", "0.00", "0.00"}}, true, false},
        // The rows after a correction's are not read for an invoice.
        {{{"23", "1.00", "0.23", "1.23"}}, {{"23", "12,50", "x", "0.00"}}, false, true},
    };
    // Documents of random plain amounts, from a grosz to 10^9 PLN, some rows empty.
    std::uint64_t ziarno = 4242;
    const auto losuj = [&] {
        ziarno = ziarno * 6364136223846793005ull + 1442695040888963407ull;
        return ziarno >> 17;
    };
    std::vector<std::string> teksty;
    teksty.reserve(20000 * 24);
    for (int i = 0; i < 20000; ++i) {
        Przypadek p{{}, {}, i % 3 == 0, true};
        for (Wiersze* w : {&p.stawki, &p.stawkiKorekty})
            for (int r = 0; r < 3; ++r) {
                if (losuj() % 4 == 0) {
                    w->push_back({"", "", "", ""});
                    continue;
                }
                std::array<const char*, 4> wiersz{};
                static const char* const Stawki[] = {"23", "8", "5", "zw", ""};
                wiersz[0] = Stawki[losuj() % 5];
                for (int k = 1; k < 4; ++k) {
                    const std::uint64_t skala = losuj() % 12;
                    std::int64_t grosze = static_cast<std::int64_t>(losuj() % 100000000000ull);
                    for (std::uint64_t j = 0; j < skala; ++j) grosze /= 10;
                    if (losuj() % 3 == 0) grosze = -grosze;
                    teksty.push_back(TekstKwoty(static_cast<double>(grosze) / 100.0).toStdString());
                    wiersz[static_cast<std::size_t>(k)] = teksty.back().c_str();
                }
                w->push_back(wiersz);
            }
        przypadki.push_back(p);
    }
    for (std::size_t n = 0; n < przypadki.size(); ++n) {
        const Przypadek& p = przypadki[n];
        TDokument d{};
        UstawRodzaj(d, p.korekta ? RodzajDokumentu::Korekta : RodzajDokumentu::Faktura);
        Wpisz(d.stawki, p.stawki);
        Wpisz(d.stawki_korekty, p.stawkiKorekty);
        std::vector<QString> nazwy;
        const auto grupa = [&](const TTekst<20>& stawka) {
            const auto it = std::find(nazwy.begin(), nazwy.end(), stawka.tekst());
            if (it != nazwy.end()) return static_cast<int>(it - nazwy.begin());
            nazwy.push_back(stawka.tekst());
            return static_cast<int>(nazwy.size() - 1);
        };
        SumyStawekWGroszach g;
        const bool wGroszach = SumujStawkiWGroszach(d, grupa, g);
        ASSERT_EQ(wGroszach, p.wGroszach) << n;
        // A declined document has made no group.
        if (!wGroszach) {
            EXPECT_TRUE(nazwy.empty()) << n;
            continue;
        }
        const std::vector<QString> nazwyWGroszach = nazwy;
        nazwy.clear();
        const SumyStawek s = SumujStawki(d, [&](const WierszPodsumowania& w) { return grupa(w.stawka); });
        ASSERT_TRUE(s.czytelne) << n;
        ASSERT_EQ(g.liczbaGrup, s.liczbaGrup) << n;
        EXPECT_EQ(nazwyWGroszach, nazwy) << n;
        const auto grosze = [](std::int64_t kwota) {
            char tekst[NajdluzszeGroszePliku];
            return std::string(tekst, PiszGroszePliku(tekst, kwota, ','));
        };
        const auto ogolnie = [](long double kwota) { return Plik(static_cast<double>(kwota), ','); };
        for (std::size_t i = 0; i < g.liczbaGrup; ++i) {
            EXPECT_EQ(g.grupy[i].grupa, s.grupy[i].grupa) << n;
            EXPECT_EQ(grosze(g.grupy[i].netto), ogolnie(s.grupy[i].netto)) << n;
            EXPECT_EQ(grosze(g.grupy[i].podatek), ogolnie(s.grupy[i].podatek)) << n;
            EXPECT_EQ(grosze(g.grupy[i].brutto), ogolnie(s.grupy[i].brutto)) << n;
        }
        EXPECT_EQ(grosze(g.doZaplaty), Plik(s.kwoty.doZaplaty, ',')) << n;
    }
}

TEST(KwotaPliku, ZGroszy) {
    const std::pair<std::int64_t, const char*> przypadki[] = {
        {0, "0,00"},
        {1, "0,01"},
        {-1, "-0,01"},
        {99, "0,99"},
        {100, "1,00"},
        {-123456, "-1234,56"},
        {100000000000000, "1000000000000,00"},
        {std::numeric_limits<std::int64_t>::max(), "92233720368547758,07"},
        {std::numeric_limits<std::int64_t>::min(), "-92233720368547758,08"},
    };
    for (const auto& [kwota, tekst] : przypadki) {
        char wynik[NajdluzszeGroszePliku];
        EXPECT_EQ(std::string(wynik, PiszGroszePliku(wynik, kwota, ',')), tekst) << kwota;
    }
}

}  // namespace
