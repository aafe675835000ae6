// The pure parts of the exports: which documents a selection takes, the command line, file names,
// and the readings of dates, tax numbers and rates.
#include <gtest/gtest.h>

#include <cstring>

#include "eksport/nazwy_plikow.h"
#include "eksport/pola.h"
#include "eksport/polecenie.h"
#include "eksport/postep.h"
#include "eksport/wybor.h"
#include "store/pliki_danych.h"

namespace {

TDokument Dok(const char* rodzaj, const char* numer, const char* rozszerzenie, const char* data) {
    TDokument d{};
    d.rodzaj.ustaw(QString::fromUtf8(rodzaj));
    d.numerator.ustaw(QString::fromUtf8(numer));
    d.rozszerzenie.ustaw(QString::fromUtf8(rozszerzenie));
    d.data_wystawienia.ustaw(QString::fromUtf8(data));
    return d;
}

struct PrzypadekWyboru {
    const char* nazwa;
    KryteriaWyboru kryteria;
    std::vector<int> pozycje;  // records taken, from 1
};

TEST(Wybor, WarunkiSpelnioneRazem) {
    const std::vector<TDokument> plik = {
        RekordPoczatkowy(QStringLiteral("2026-01-01")),  // 1
        Dok("F", "12", "2026", "2026-03-15"),            // 2
        Dok("F", "13", "2026", "2026-04-01"),            // 3
        Dok("K", "1", "K/2026", "2026-03-20"),           // 4
        Dok("F", "12", "2025", "2025-03-15"),            // 5
        Dok("F", "14", "2026", "2026-3-5"),              // 6: not of the form YYYY-MM-DD
        Dok("F", "15", "Łódź", "2026-03-31"),            // 7
    };
    const auto k = [](std::optional<QString> rok, std::optional<QString> miesiac,
                      std::optional<QString> numer, std::optional<std::int64_t> pozycja) {
        return KryteriaWyboru{rok, miesiac, numer, pozycja, {}};
    };
    const auto kp = [](std::vector<std::int64_t> pozycje, std::optional<QString> miesiac = {}) {
        return KryteriaWyboru{{}, miesiac, {}, {}, std::move(pozycje)};
    };
    const std::vector<PrzypadekWyboru> przypadki = {
        {"wszystkie: bez początku bloczka", k({}, {}, {}, {}), {2, 3, 4, 5, 6, 7}},
        {"rok", k("2026", {}, {}, {}), {2, 3, 4, 6, 7}},
        {"miesiąc to znaki daty", k({}, "2026-03", {}, {}), {2, 4, 7}},
        {"numer tak jak na wydruku", k({}, {}, "12/2026", {}), {2}},
        {"numer z polską literą", k({}, {}, "15/Łódź", {}), {7}},
        {"numer bez rozszerzenia nie pasuje", k({}, {}, "12", {}), {}},
        {"numer i rok", k("2025", {}, "12/2025", {}), {5}},
        {"pozycja", k({}, {}, {}, 3), {3}},
        {"pozycja wskazuje początek bloczka", k({}, {}, {}, 1), {1}},
        {"numer wskazuje początek bloczka", k({}, {}, "0/2026-01-01", {}), {1}},
        {"pozycja i miesiąc, który do niej nie pasuje", k({}, "2026-04", {}, 2), {}},
        {"rok i miesiąc innego roku", k("2025", "2026-03", {}, {}), {}},
        {"znak spoza Windows-1250", k({}, {}, "12/2026\u4e00", {}), {}},
        {"pozycje zaznaczenia, w dowolnej kolejności", kp({7, 3, 5}), {3, 5, 7}},
        {"pozycje obejmują początek bloczka", kp({1, 2}), {1, 2}},
        {"pozycje i miesiąc", kp({2, 3, 4}, "2026-03"), {2, 4}},
        {"pozycja spoza pliku", kp({99}), {}},
        {"pusta lista pozycji", kp({}), {}},
    };
    for (const PrzypadekWyboru& p : przypadki) {
        const FiltrDokumentow filtr(p.kryteria);
        std::vector<int> wybrane;
        for (std::size_t i = 0; i < plik.size(); ++i)
            if (filtr.pasuje(plik[i], static_cast<std::int64_t>(i + 1)))
                wybrane.push_back(static_cast<int>(i + 1));
        EXPECT_EQ(wybrane, p.pozycje) << p.nazwa;
    }
}

TEST(NazwyPlikow, RodzajNumerIRozszerzenieBezpieczne) {
    struct P {
        const char* rodzaj;
        const char* numer;
        const char* rozszerzenie;
        const char* nazwa;
    };
    const P przypadki[] = {
        {"F", "12", "2026", "F_12_2026"},
        {"K", "3", "K/2026", "K_3_K_2026"},
        {"F", "7", "", "F_7"},
        {"F", "", "2026", "F_bez_numeru_2026"},
        {"F", "1", "Łódź/ŻÓŁĆ ąę", "F_1_Lodz_ZOLC_ae"},
        {"F", "..", "../../etc/passwd", "F_bez_numeru_etc_passwd"},
        {"F", "1", "a\\b:c*d?e\"f<g>h|i", "F_1_a_b_c_d_e_f_g_h_i"},
        {"F", " 5 ", "  2026--x  ", "F_5_2026--x"},
        {"", "1", "2026", "X_1_2026"},
        {"Z", "1", "2026", "X_1_2026"},
    };
    for (const P& p : przypadki) {
        const TDokument d = Dok(p.rodzaj, p.numer, p.rozszerzenie, "");
        EXPECT_EQ(NazwaDokumentu(d), QString::fromUtf8(p.nazwa)) << p.numer << "/" << p.rozszerzenie;
    }
}

TEST(NazwyPlikow, PowtorzonaNazwaDostajeNumerRekordu) {
    NazwyPlikow nazwy(QStringLiteral(".pdf"));
    EXPECT_EQ(nazwy.nazwa(Dok("F", "12", "2026", ""), 2), "F_12_2026.pdf");
    EXPECT_EQ(nazwy.nazwa(Dok("F", "12", "2026", ""), 9), "F_12_2026_rekord9.pdf");
    // Names that differ only in letter case are one file on some file systems.
    EXPECT_EQ(nazwy.nazwa(Dok("F", "1", "a", ""), 3), "F_1_a.pdf");
    EXPECT_EQ(nazwy.nazwa(Dok("F", "1", "A", ""), 4), "F_1_A_rekord4.pdf");
    // A suffix that looks like a record number does not take another document's name.
    EXPECT_EQ(nazwy.nazwa(Dok("F", "12", "2026 rekord9", ""), 9), "F_12_2026_rekord9_rekord9.pdf");
    EXPECT_EQ(nazwy.nazwa(Dok("F", "12", "2026", ""), 10), "F_12_2026_rekord10.pdf");
}

TEST(NazwyPlikow, DlugoscBajtu255NiePrzekraczaPola) {
    TDokument d{};
    std::memset(&d, 0xFF, sizeof d);
    const QString nazwa = NazwaDokumentu(d);
    // Read as full capacity: 10 and 20 bytes of "˙", each a mark-less letter-free run.
    EXPECT_EQ(nazwa, QStringLiteral("X_bez_numeru"));
}

struct PrzypadekArgumentow {
    QStringList argumenty;
    const char* blad;  // nullptr: accepted
};

TEST(Polecenie, BledyUzycia) {
    const std::vector<PrzypadekArgumentow> przypadki = {
        {{}, "brak polecenia"},
        {{"docx"}, "nieznane polecenie „docx”"},
        {{"pdf"}, "wymaga folderu wyników (--do FOLDER)"},
        {{"pdf", "--do"}, "opcja --do wymaga wartości"},
        {{"pdf", "--do", "x", "--rok", "26"}, "--rok wymaga roku w postaci RRRR"},
        {{"pdf", "--do", "x", "--miesiac", "2026-13"}, "--miesiac wymaga miesiąca"},
        {{"pdf", "--do", "x", "--miesiac=2026-3"}, "--miesiac wymaga miesiąca"},
        {{"pdf", "--do", "x", "--pozycja", "0"}, "--pozycja wymaga numeru rekordu od 1"},
        {{"pdf", "--do", "x", "--pozycja", "+3"}, "--pozycja wymaga numeru rekordu od 1"},
        {{"pdf", "--do", "x", "--dpi", "72"}, "--dpi przyjmuje 1200, 600 albo 300"},
        {{"csv", "--dpi", "600"}, "opcja --dpi nie dotyczy polecenia csv"},
        {{"pdf", "--do", "x", "--kropka"}, "opcja --kropka nie dotyczy polecenia pdf"},
        {{"ksef", "--do", "x", "--rok", "2026", "--rok", "2025"}, "opcja --rok podana więcej niż raz"},
        {{"ksef", "--do", "x", "--nadpisz=tak"}, "opcja --nadpisz nie przyjmuje wartości"},
        {{"ksef", "--do", "x", "--rodzaj-podstawy", "dyrektywa"}, "ma sens tylko z --podstawa-zwolnienia"},
        {{"ksef", "--do", "x", "--podstawa-zwolnienia", " "}, "wymaga tekstu podstawy"},
        {{"csv", "--nadpisz"}, "--nadpisz dotyczy pliku --do"},
        {{"csv", "-x"}, "nieznana opcja „-x”"},
        {{"csv", "--numer", ""}, "--numer wymaga numeru"},
        {{"csv"}, nullptr},
        {{"pdf", "--do=wyniki", "--dpi=300", "--miesiac", "2026-03", "--numer", "12/2026"}, nullptr},
        {{"ksef", "--do", "x", "--podstawa-zwolnienia", "art. 113 ust. 1", "--rodzaj-podstawy", "inna",
          "--metoda-kasowa", "--podzielona-platnosc", "--pozycja", "7"},
         nullptr},
    };
    for (const PrzypadekArgumentow& p : przypadki) {
        const Argumenty a = CzytajArgumenty(p.argumenty);
        EXPECT_FALSE(a.pomoc);
        if (p.blad) {
            EXPECT_FALSE(a.polecenie) << p.argumenty.join(' ').toStdString();
            EXPECT_TRUE(a.blad.contains(QString::fromUtf8(p.blad))) << a.blad.toStdString();
        } else {
            EXPECT_TRUE(a.polecenie) << p.argumenty.join(' ').toStdString() << ": " << a.blad.toStdString();
        }
    }
}

TEST(Polecenie, WartosciOpcji) {
    const Argumenty pdf =
        CzytajArgumenty({"pdf", "--do=wyniki", "--dpi=300", "--miesiac", "2026-03", "--numer", "12/2026"});
    ASSERT_TRUE(pdf.polecenie);
    EXPECT_EQ(pdf.polecenie->rodzaj, RodzajEksportu::Pdf);
    EXPECT_EQ(pdf.polecenie->cel, "wyniki");
    EXPECT_EQ(pdf.polecenie->dpi, 300);
    EXPECT_EQ(pdf.polecenie->wybor.miesiac, QStringLiteral("2026-03"));
    EXPECT_EQ(pdf.polecenie->wybor.numer, QStringLiteral("12/2026"));
    EXPECT_FALSE(pdf.polecenie->wybor.rok);
    EXPECT_FALSE(pdf.polecenie->nadpisz);

    const Argumenty ksef =
        CzytajArgumenty({"ksef", "--do", "x", "--podstawa-zwolnienia", "art. 113 ust. 1", "--rodzaj-podstawy",
                         "inna", "--metoda-kasowa", "--pozycja", "7"});
    ASSERT_TRUE(ksef.polecenie);
    EXPECT_EQ(ksef.polecenie->ksef.podstawaZwolnienia, "art. 113 ust. 1");
    EXPECT_EQ(ksef.polecenie->ksef.rodzajPodstawy, OpcjeKsef::Podstawa::Inna);
    EXPECT_TRUE(ksef.polecenie->ksef.metodaKasowa);
    EXPECT_FALSE(ksef.polecenie->ksef.podzielonaPlatnosc);
    EXPECT_EQ(ksef.polecenie->wybor.pozycja, 7);

    const Argumenty csv = CzytajArgumenty({"csv"});
    ASSERT_TRUE(csv.polecenie);
    EXPECT_EQ(csv.polecenie->dpi, 1200);
    EXPECT_TRUE(csv.polecenie->cel.isEmpty());

    EXPECT_TRUE(CzytajArgumenty({"csv", "--rok", "x", "--help"}).pomoc);
    EXPECT_TRUE(TekstPomocy().contains(QStringLiteral("Użycie: faktura-eksport")));
}

TEST(Pola, DatyTylkoRRRRMMDDIstniejace) {
    const std::pair<const char*, bool> przypadki[] = {
        {"2026-03-15", true},  {"2024-02-29", true},  {"2026-02-29", false},  {"2026-13-01", false},
        {"2026-3-15", false},  {"15.03.2026", false}, {"2026-03-15 ", false}, {"", false},
        {"0000-01-01", false}, {"2026-00-10", false},
    };
    for (const auto& [tekst, dobra] : przypadki)
        EXPECT_EQ(DataZTekstu(QString::fromUtf8(tekst)).has_value(), dobra) << tekst;
}

TEST(Pola, NipCyfryIKontrola) {
    struct P {
        const char* tekst;
        const char* cyfry;  // nullptr: not ten digits
        bool poprawny;
    };
    const P przypadki[] = {
        {"999-999-99-99", "9999999999", true}, {"PL 111 111 11 11", "1111111111", true},
        {"pl1111111111", "1111111111", true},  {"5260001246", "5260001246", true},
        {"5260001247", "5260001247", false},   {"0123456789", "0123456789", false},
        {"1001000000", "1001000000", false},   {"12345", nullptr, false},
        {"DE123456789", nullptr, false},       {"", nullptr, false},
    };
    for (const P& p : przypadki) {
        const std::optional<QString> cyfry = CyfryNip(QString::fromUtf8(p.tekst));
        EXPECT_EQ(cyfry.has_value(), p.cyfry != nullptr) << p.tekst;
        if (cyfry) {
            EXPECT_EQ(*cyfry, QString::fromUtf8(p.cyfry)) << p.tekst;
            EXPECT_EQ(PoprawnyNip(*cyfry), p.poprawny) << p.tekst;
        }
    }
}

TEST(Pola, StawkiPorownywalne) {
    const std::pair<const char*, const char*> przypadki[] = {
        {"23", "23"}, {" 22% ", "22"}, {"22.0", "22"}, {"8,0", "8"},   {"0,5", "0.5"},     {"ZW", "zw"},
        {"np", "np"}, {"0 %", "0"},    {"", ""},       {"1e1", "1e1"}, {"22 %x", "22 %x"}, {"007", "7"},
    };
    for (const auto& [tekst, wynik] : przypadki)
        EXPECT_EQ(ZnormalizowanaStawka(QString::fromUtf8(tekst)), QString::fromUtf8(wynik)) << tekst;
}

TEST(Pola, CzystyTekstBezZnakowSterujacych) {
    EXPECT_EQ(CzystyTekst(QStringLiteral("  a\t\x01"
                                         "b\n c \x7f")),
              QStringLiteral("a b c"));
    EXPECT_EQ(CzystyTekst(QString(QChar(0))), QString());
    EXPECT_EQ(CzystyTekst(QStringLiteral("Łódź \uFFFD")), QStringLiteral("Łódź \uFFFD"));
}

QByteArray Strumien(std::FILE* plik) {
    std::fflush(plik);
    std::rewind(plik);
    QByteArray dane;
    char bufor[4096];
    for (std::size_t n; (n = std::fread(bufor, 1, sizeof bufor, plik)) > 0;) dane.append(bufor, qsizetype(n));
    std::fclose(plik);
    return dane;
}

TEST(Postep, PasekNaTerminaluLinieGdzieIndziej) {
    std::FILE* terminal = std::tmpfile();
    {
        Postep p(terminal, true, QStringLiteral("pdf"), 4);
        p.ustaw(1);
        p.komunikat(QStringLiteral("Odrzucono: rekord 2: powód."));
        p.ustaw(4);
    }
    const QByteArray t = Strumien(terminal);
    EXPECT_TRUE(t.startsWith("\rpdf: 1 z 4 [#######.......................] 25%")) << t.toStdString();
    // The message clears the bar, stands on a line of its own, and the bar comes back under it.
    EXPECT_TRUE(t.contains("\r\033[KOdrzucono: rekord 2: powód.\n\rpdf: 1 z 4")) << t.toStdString();
    EXPECT_TRUE(t.contains("pdf: 4 z 4 [##############################] 100%")) << t.toStdString();
    EXPECT_TRUE(t.endsWith("\r\033[K")) << t.toStdString();

    std::FILE* plik = std::tmpfile();
    {
        Postep p(plik, false, QStringLiteral("ksef"), 200);
        for (int i = 1; i <= 200; ++i) p.ustaw(i);
    }
    const QList<QByteArray> linie = Strumien(plik).split('\n');
    ASSERT_EQ(linie.size(), 11);
    EXPECT_EQ(linie[0], "ksef: 20 z 200");
    EXPECT_EQ(linie[9], "ksef: 200 z 200");

    std::FILE* krotki = std::tmpfile();
    {
        Postep p(krotki, false, QStringLiteral("ksef"), 5);
        for (int i = 1; i <= 5; ++i) p.ustaw(i);
    }
    EXPECT_TRUE(Strumien(krotki).isEmpty());
}

}  // namespace
