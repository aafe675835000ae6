#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "print/dane_wydruku.h"
#include "print/wydruk.h"
#include "wspolne/plotno_nagrywajace.h"

// Readable failure messages for recorded events.
inline void PrintTo(const ZdarzeniePlotna& z, std::ostream* os) { *os << OpisZdarzenia(z).toStdString(); }

namespace {

using R = ZdarzeniePlotna::Rodzaj;

constexpr std::int32_t Dpi = 600;  // 24 pixels per unit
constexpr std::int32_t S = 10;     // the user's font size
const QString KrojUzytkownika = QStringLiteral("Tahoma");
const QColor Kolor(128, 0, 0);  // 0x00000080 in the font file

// ---- The layout, transcribed from the layout table of the printout ----

enum class Kroj { Uzytkownika, Courier };
constexpr int Brak = -1;  // not printed for that kind

struct Element {
    std::int32_t x;
    std::int32_t yFaktury;
    std::int32_t yKorekty;
    // Frame when szer > 0; text otherwise.
    std::int32_t szer = 0, wys = 0;
    Kroj kroj = Kroj::Uzytkownika;
    std::int32_t zmiana = 0;  // size relative to s
    bool pogrubiona = false;
    QString tekst;
};

Element Ramka(std::int32_t x, std::int32_t yF, std::int32_t yK, std::int32_t szer, std::int32_t wys) {
    return {x, yF, yK, szer, wys, Kroj::Uzytkownika, 0, false, {}};
}
Element Tekst(std::int32_t x, std::int32_t yF, std::int32_t yK, Kroj kroj, std::int32_t zmiana, bool gruby,
              const QString& tekst) {
    return {x, yF, yK, 0, 0, kroj, zmiana, gruby, tekst};
}

constexpr bool B = true, N = false;
constexpr Kroj U = Kroj::Uzytkownika, C = Kroj::Courier;

struct KolumnaTabeli {
    std::int32_t x, szer;
};
const KolumnaTabeli Pozycje[] = {{10, 100}, {110, 20}, {130, 10}, {140, 20}, {160, 20}, {180, 10}};
const KolumnaTabeli Stawki[] = {{10, 10}, {20, 25}, {45, 25}, {70, 25}};

// A table row: its frames, then its texts one unit right of each frame.
template <std::size_t K>
void Wiersz(std::vector<Element>& u, const KolumnaTabeli (&kolumny)[K], std::int32_t yF, std::int32_t yK,
            std::int32_t wys, std::int32_t dy, Kroj kroj, std::int32_t zmiana, bool gruby,
            const std::vector<QString>& teksty) {
    for (const KolumnaTabeli& k : kolumny) u.push_back(Ramka(k.x, yF, yK, k.szer, wys));
    auto plus = [](std::int32_t y, std::int32_t o) { return y == Brak ? Brak : y + o; };
    for (std::size_t i = 0; i < K; ++i)
        u.push_back(Tekst(kolumny[i].x + 1, plus(yF, dy), plus(yK, dy), kroj, zmiana, gruby, teksty[i]));
}

std::vector<QString> KomorkiPozycji(const TTekst<60> (&t)[6][3], int r) {
    std::vector<QString> w;
    for (int c = 0; c < 6; ++c) w.push_back(t[c][r].tekst());
    return w;
}
std::vector<QString> KomorkiStawek(const TTekst<20> (&t)[4][3], int r) {
    std::vector<QString> w;
    for (int c = 0; c < 4; ++c) w.push_back(t[c][r].tekst());
    return w;
}

std::vector<Element> Uklad(const DaneWydruku& d, const QString& doZaplaty, const QString& przed,
                           const QString& po, const QString& slownie) {
    const TDokument& dok = d.dokument;
    const bool k = dok.rodzaj.tekst() == "K";
    const std::vector<QString> naglowek{"Nazwa", "PKWiU", "J.m.", "Ilość", "Netto", "Vat"};
    std::vector<Element> u{
        Tekst(10, 5, 5, U, 0, B, "Miejscowość " + d.pole(PoleNaglowka::miejscowosc)),
        Tekst(10, 10, 10, U, 0, B, "Data wystawienia " + d.pole(PoleNaglowka::data_wystawienia)),
        Ramka(10, 15, 15, 180, 1),
        Tekst(10, 23, 23, U, 2, B, "Sprzedawca :"),
        Ramka(10, 28, 28, 177, 30),
        Ramka(11, 28, 28, 178, 31),
        Ramka(12, 28, 28, 179, 32),
        Tekst(14, 30, 30, U, 0, N, d.liniaFirmy1),
        Tekst(14, 35, 35, U, 0, N, d.liniaFirmy2),
        Tekst(14, 40, 40, U, 0, N, d.liniaFirmy3),
        Tekst(14, 45, 45, U, 0, N, "Nip " + d.nip),
        Tekst(14, 50, 50, U, 0, N, "Bank " + d.bank),
        Tekst(14, 55, 55, U, 0, N, "Konto " + d.konto),
        Tekst(10, 65, 65, U, 2, B, "Nabywca :"),
        Tekst(10, 70, 70, U, 0, N, d.pole(PoleNaglowka::odbiorca1)),
        Tekst(115, 80, Brak, U, 7, B, "Faktura Vat nr 17/FV/2010"),
        Tekst(115, Brak, 80, U, 7, B, "Faktura korygująca Vat"),
        Tekst(115, Brak, 86, U, 7, B, "nr 17/FV/2010"),
        Tekst(115, 87, 93, U, 0, N, d.oznaczenie_kopii),
        Tekst(10, 75, 75, U, 0, N, d.pole(PoleNaglowka::odbiorca2)),
        Tekst(10, 80, 80, U, 0, N, d.pole(PoleNaglowka::odbiorca3)),
        Tekst(10, 85, 85, U, 0, N, d.pole(PoleNaglowka::odbiorca4)),
        Tekst(10, 90, 90, U, 0, N, "Nip " + d.pole(PoleNaglowka::nip_odbiorcy)),
        Ramka(10, 100, 100, 100, 1),
        Tekst(10, 105, 105, U, 0, B, "Forma zapłaty :"),
        Tekst(40, 105, 105, U, 0, N, d.pole(PoleNaglowka::forma_zaplaty)),
        Tekst(10, 110, 110, U, 0, B, "Termin płatności :"),
        Tekst(40, 110, 110, U, 0, N, d.pole(PoleNaglowka::termin_zaplaty)),
        Tekst(10, 115, 115, U, 0, B, "Data usługi :"),
        Tekst(40, 115, 115, U, 0, N, d.pole(PoleNaglowka::data_uslugi)),
    };
    Wiersz(u, Pozycje, 125, 125, 8, 2, U, 0, B, naglowek);
    for (int r = 0; r < 3; ++r)
        Wiersz(u, Pozycje, 133 + 5 * r, 133 + 5 * r, 5, 1, C, -1, N,
               KomorkiPozycji(k ? dok.pozycje_korekty : dok.pozycje, r));
    u.push_back(Tekst(10, Brak, 152, U, 0, N,
                      "Korekta dotyczy faktury nr " + d.dotyczy + " o następującym wyglądzie pierwotnym"));
    Wiersz(u, Pozycje, Brak, 156, 8, 2, U, 0, B, naglowek);
    for (int r = 0; r < 3; ++r)
        Wiersz(u, Pozycje, Brak, 164 + 5 * r, 5, 1, C, -1, N, KomorkiPozycji(dok.pozycje, r));
    u.push_back(Tekst(10, 152, 183, U, 0, B, "Rozbicie stawek podatku Vat"));
    Wiersz(u, Stawki, 157, 188, 5, 1, U, 0, N, {"Vat", "Netto", "Kwota Vat", "Brutto"});
    for (int r = 0; r < 3; ++r)
        Wiersz(u, Stawki, 162 + 5 * r, 193 + 5 * r, 5, 1, C, -1, N,
               KomorkiStawek(k ? dok.stawki_korekty : dok.stawki, r));
    const std::vector<Element> reszta{
        Tekst(10, 192, Brak, U, 2, B, "Do zapłaty :   " + doZaplaty),
        Tekst(10, Brak, 223, C, 2, B, "Do zapłaty pierwotnie było:"),
        Tekst(75, Brak, 223, C, 2, B, przed),
        Tekst(10, Brak, 227, C, 2, B, "Do zapłaty po korekcie jest:"),
        Tekst(75, Brak, 227, C, 2, B, po),
        Tekst(10, Brak, 231, C, 2, B, "Różnica do zapłaty:"),
        Tekst(75, Brak, 231, C, 2, B, doZaplaty),
        Tekst(10, 198, 237, U, -1, N, slownie),
        Tekst(10, 203, 242, U, -1, N, d.stopka),
        Tekst(150, 252, 252, U, 0, N, d.pole(PoleNaglowka::podpis)),
        Tekst(150, 257, 257, U, -1, N, "Podpis osoby uprawnionej"),
        Tekst(150, 261, 261, U, -1, N, "do wystawiania faktury"),
        Ramka(10, 273, 273, 180, 1),
        // The program's name alone, or eight blanks and the contact after it.
        Tekst(10, 276, 276, U, -2, N,
              d.kontakt.isEmpty() ? QStringLiteral("Wydruk generowany z programu Kwintaro")
                                  : "Wydruk generowany z programu Kwintaro        " + d.kontakt),
    };
    u.insert(u.end(), reszta.begin(), reszta.end());
    return u;
}

// The events one copy of the layout gives at 600 dpi.
std::vector<ZdarzeniePlotna> Zdarzenia(const std::vector<Element>& uklad, bool korekta) {
    constexpr std::int32_t p = Dpi / 25;
    std::vector<ZdarzeniePlotna> wynik;
    for (const Element& e : uklad) {
        const std::int32_t y = korekta ? e.yKorekty : e.yFaktury;
        if (y == Brak) continue;
        ZdarzeniePlotna z;
        z.x1 = e.x * p;
        z.y1 = y * p;
        if (e.szer > 0) {
            z.rodzaj = R::Prostokat;
            z.x2 = (e.x + e.szer) * p;
            z.y2 = (y + e.wys) * p;
        } else {
            z.rodzaj = R::Tekst;
            z.tekst = e.tekst;
            z.czcionka.kroj = e.kroj == Kroj::Courier ? QStringLiteral("Courier New") : KrojUzytkownika;
            z.czcionka.wysokosc = -static_cast<std::int32_t>(std::nearbyint((S + e.zmiana) * Dpi / 72.0));
            z.czcionka.pogrubiona = e.pogrubiona;
            z.czcionka.kolor = Kolor;
        }
        wynik.push_back(z);
    }
    return wynik;
}

std::vector<ZdarzeniePlotna> JednaKopia(const std::vector<ZdarzeniePlotna>& strona) {
    std::vector<ZdarzeniePlotna> w;
    auto krok = [&](R r) {
        ZdarzeniePlotna z;
        z.rodzaj = r;
        w.push_back(z);
    };
    krok(R::Pionowo);
    krok(R::PoczatekZadania);
    w.insert(w.end(), strona.begin(), strona.end());
    krok(R::KoniecZadania);
    krok(R::Pionowo);
    return w;
}

// Element by element, so that a failure names the first event that differs.
void PorownajZdarzenia(const std::vector<ZdarzeniePlotna>& wynik,
                       const std::vector<ZdarzeniePlotna>& oczekiwane) {
    const std::size_t n = std::min(wynik.size(), oczekiwane.size());
    for (std::size_t i = 0; i < n; ++i) {
        ASSERT_EQ(wynik[i], oczekiwane[i]) << "zdarzenie nr " << i;
    }
    EXPECT_EQ(wynik.size(), oczekiwane.size());
}

std::vector<ZdarzeniePlotna> Drukuj(const DaneWydruku& dane, std::int32_t liczbaKopii) {
    PlotnoNagrywajace plotno(Dpi, Dpi);
    Drukarka drukarka(plotno);
    DrukujKopie(drukarka, dane, liczbaKopii);
    return plotno.zdarzenia();
}

TEST(Wydruk, StronaFaktury) {
    const DaneWydruku dane = DaneFaktury();
    const auto oczekiwane =
        JednaKopia(Zdarzenia(Uklad(dane, "      146.45 PLN", {}, {},
                                   "Słownie :    sto czterdzieści sześć złotych czterdzieści pięć groszy"),
                             false));
    PorownajZdarzenia(Drukuj(dane, 1), oczekiwane);
}

TEST(Wydruk, StronaKorekty) {
    DaneWydruku dane = DaneKorekty();
    dane.kontakt = QStringLiteral("tel. 600 100 200, biuro@przyklad.pl");
    const auto oczekiwane =
        JednaKopia(Zdarzenia(Uklad(dane, "      -12.30 PLN", "      146.45 PLN", "      134.15 PLN",
                                   "Słownie :   minus dwanaście złotych trzydzieści  groszy"),
                             true));
    PorownajZdarzenia(Drukuj(dane, 1), oczekiwane);
}

TEST(Wydruk, KopieSaOsobnymiZadaniamiOTejSamejTresci) {
    const DaneWydruku dane = DaneFaktury();
    const auto jedna = Drukuj(dane, 1);
    auto dwie = jedna;
    dwie.insert(dwie.end(), jedna.begin(), jedna.end());
    PorownajZdarzenia(Drukuj(dane, 2), dwie);
    EXPECT_TRUE(Drukuj(dane, 0).empty());
    EXPECT_TRUE(Drukuj(dane, -3).empty());
}

// Before any font file was read: the printer's default face, sizes relative to 0.
TEST(Wydruk, BezCzcionkiUzytkownika) {
    DaneWydruku dane = DaneFaktury();
    dane.czcionka = StanCzcionki{};
    const auto z = Drukuj(dane, 1);
    const auto tekst = [&](const QString& t) {
        for (const ZdarzeniePlotna& e : z)
            if (e.rodzaj == R::Tekst && e.tekst == t) return e.czcionka;
        ADD_FAILURE() << "brak tekstu " << t.toStdString();
        return StanCzcionkiPlotna{};
    };
    EXPECT_EQ(tekst("Miejscowość Kraków"), (StanCzcionkiPlotna{"", 0, true, QColor(Qt::black)}));
    EXPECT_EQ(tekst("Sprzedawca :").wysokosc, -17);
    EXPECT_EQ(tekst("Podpis osoby uprawnionej").wysokosc, 8);
    EXPECT_EQ(tekst("Nazwa").wysokosc, 0);
    EXPECT_EQ(tekst(dane.dokument.pozycje[0][0].tekst()).kroj, "Courier New");
}

struct PrzykladKwoty {
    const char* rodzaj;
    std::vector<const char*> brutto;         // gross cells of stawki, rows 1-3
    std::vector<const char*> bruttoKorekty;  // of stawki_korekty
    const char* tekstDoZaplaty;
    const char* slownie;
};

const PrzykladKwoty Kwoty[] = {
    {"F", {"        1.00", "", ""}, {}, "        1.00", "Słownie :    jeden złoty "},
    {"F", {"        2.01"}, {}, "        2.01", "Słownie :    dwa złote jeden grosz"},
    {"F",
     {"        0.50", "        0.49"},
     {},
     "        0.99",
     "Słownie :     dziewięćdziesiąt dziewięć groszy"},
    {"F", {"", "", ""}, {}, "        0.00", "Słownie :     "},
    {"F", {"       22.00"}, {}, "       22.00", "Słownie :    dwadzieścia dwa złotych "},
    // The corrected tables count only for a correction.
    {"F", {"        5.00"}, {"      999.00"}, "        5.00", "Słownie :    pięć złotych "},
    {"K",
     {"      100.00", "       23.45"},
     {"       87.70", "       23.45"},
     "      -12.30",
     "Słownie :   minus dwanaście złotych trzydzieści  groszy"},
    {"K", {"       10.00"}, {"       12.00"}, "        2.00", "Słownie :    dwa złote "},
    // A sum too large to be said in words leaves the words out instead of stating another amount.
    {"F", {"1e300"}, {}, nullptr, "Słownie :     "},
};

TEST(Wydruk, KwotaDoZaplatyISlownie) {
    for (const PrzykladKwoty& p : Kwoty) {
        TDokument dok{};
        dok.rodzaj.ustaw(p.rodzaj);
        for (std::size_t r = 0; r < p.brutto.size(); ++r) dok.stawki[3][r].ustaw(p.brutto[r]);
        for (std::size_t r = 0; r < p.bruttoKorekty.size(); ++r)
            dok.stawki_korekty[3][r].ustaw(p.bruttoKorekty[r]);
        const double kwota = ObliczKwotyDokumentu(dok).doZaplaty;
        if (p.tekstDoZaplaty) {
            EXPECT_EQ(TekstKwoty(kwota), p.tekstDoZaplaty) << p.slownie;
        }
        EXPECT_EQ(LiniaSlownie(kwota), QString::fromUtf8(p.slownie));
    }
}

}  // namespace
