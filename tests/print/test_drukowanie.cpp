// "Drukuj" on the real window and the font window's save button.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/faktura_f.h"
#include "app/font_f.h"
#include "wspolne/katalog_testowy.h"

namespace {

using Rodzaj = ZdarzeniePlotna::Rodzaj;

int Zadania(const PlotnoNagrywajace& plotno) {
    int n = 0;
    for (const auto& z : plotno.zdarzenia()) n += z.rodzaj == Rodzaj::PoczatekZadania;
    return n;
}

std::vector<QString> Teksty(const PlotnoNagrywajace& plotno) {
    std::vector<QString> wynik;
    for (const auto& z : plotno.zdarzenia())
        if (z.rodzaj == Rodzaj::Tekst) wynik.push_back(z.tekst);
    return wynik;
}

void UstawKopie(KatalogTestowy& katalog, const char* kopie) {
    TUstawieniaFaktury faktura{};
    faktura.liczba_kopii.ustaw(kopie);
    faktura.oznaczenie_kopii.ustaw("kopia");
    katalog.zapiszRekordy<TUstawieniaFaktury>("Admini/faktura.dat", {faktura});
}

TEST(Drukowanie, LiczbaKopiiDajeTyleSamoJednakowychZadan) {
    const struct {
        const char* kopie;
        int zadania;
    } przypadki[] = {{"2", 2}, {"1", 1}, {"0", 0}, {"", 0}, {"-1", 0}, {"x", 0}};
    for (const auto& p : przypadki) {
        KatalogTestowy katalog;
        UstawKopie(katalog, p.kopie);
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        okno->SpeedButton20->click();
        EXPECT_EQ(platforma.oknaDrukowania, 1) << p.kopie;
        EXPECT_EQ(Zadania(platforma.drukarka), p.zadania) << p.kopie;
        EXPECT_TRUE(platforma.bledy().empty()) << p.kopie;
        if (p.zadania == 2) {
            const auto& z = platforma.drukarka.zdarzenia();
            ASSERT_EQ(z.size() % 2, 0u);
            const std::vector<ZdarzeniePlotna> pierwsza(z.begin(), z.begin() + z.size() / 2);
            const std::vector<ZdarzeniePlotna> druga(z.begin() + z.size() / 2, z.end());
            EXPECT_EQ(pierwsza, druga) << "both copies alike, copy marker included";
            const auto teksty = Teksty(platforma.drukarka);
            EXPECT_EQ(std::count(teksty.begin(), teksty.end(), QString("kopia")), 2);
        }
    }
}

TEST(Drukowanie, AnulowaneOknoDrukowaniaNicNieDrukuje) {
    KatalogTestowy katalog;
    UstawKopie(katalog, "1");
    PlatformaTestowa platforma;
    platforma.drukujAnuluj = true;
    auto okno = UruchomOkno(platforma);
    okno->SpeedButton20->click();
    EXPECT_EQ(platforma.oknaDrukowania, 1);
    EXPECT_TRUE(platforma.drukarka.zdarzenia().empty());
}

// The print command reads the font file below the working directory and prints in that font; the
// form as shown (not the settings) gives the texts.
TEST(Drukowanie, CzcionkaZPlikuIDaneFormularza) {
    KatalogTestowy katalog;
    UstawKopie(katalog, "1");
    katalog.utworzFolder("FONT");
    TCzcionka czcionka{};
    czcionka.nazwa.ustaw("Arial");
    czcionka.rozmiar = 10;
    czcionka.kolor = 0x0000FF;
    katalog.zapiszRekordy<TCzcionka>("FONT/font_welkaro.dat", {czcionka});
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->miejscowosc->setText("Gdańsk");
    okno->SpeedButton20->click();
    EXPECT_EQ(okno->font_f->Czcionki.NazwaCzcionki, "Arial");
    EXPECT_EQ(okno->font_f->Czcionki.RozmiarCzcionki, 10);
    const auto& z = platforma.drukarka.zdarzenia();
    const auto miejsce = std::find_if(z.begin(), z.end(), [](const ZdarzeniePlotna& e) {
        return e.rodzaj == Rodzaj::Tekst && e.tekst == "Miejscowość Gdańsk";
    });
    ASSERT_NE(miejsce, z.end());
    EXPECT_EQ(miejsce->x1, 10 * 24);
    EXPECT_EQ(miejsce->y1, 5 * 24);
    EXPECT_EQ(miejsce->czcionka.kroj, "Arial");
    EXPECT_EQ(miejsce->czcionka.wysokosc, -83) << "10 points at 600 dpi";
    EXPECT_TRUE(miejsce->czcionka.pogrubiona);
    EXPECT_EQ(miejsce->czcionka.kolor, QColor(Qt::red));
}

TEST(OknoCzcionek, PrzyciskZapisujeWybranaCzcionke) {
    KatalogTestowy katalog;
    katalog.utworzFolder("FONT");
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    Tfont_f& font_f = *okno->font_f;
    EXPECT_TRUE(font_f.isWindow());
    EXPECT_TRUE(font_f.isHidden());
    EXPECT_EQ(font_f.windowTitle(), "Fonty");
    EXPECT_EQ(font_f.Button1->geometry(), QRect(104, 92, 75, 25));

    // Cancelled: nothing written.
    font_f.Button1->click();
    EXPECT_FALSE(katalog.istnieje("FONT/44.abc"));
    ASSERT_EQ(platforma.poczatkoweCzcionki.size(), 1u);
    EXPECT_FALSE(platforma.poczatkoweCzcionki[0].has_value()) << "no file: the dialog's own font";

    QFont wybrana(QStringLiteral("Courier New"), 12);
    wybrana.setBold(true);
    wybrana.setItalic(true);
    wybrana.setUnderline(true);
    platforma.wybraneCzcionki = {WyborCzcionki{wybrana, QColor(0, 128, 0)}};
    font_f.Button1->click();
    const QByteArray dane = katalog.czytaj("FONT/44.abc");
    ASSERT_EQ(dane.size(), 76);
    const TCzcionka zapisana = katalog.rekord<TCzcionka>("FONT/44.abc");
    EXPECT_EQ(zapisana.kolor, 0x008000);
    EXPECT_EQ(zapisana.nazwa.tekst(), "Courier New");
    EXPECT_EQ(zapisana.rozmiar, 12);
    EXPECT_EQ(zapisana.styl, 7);
    EXPECT_EQ(font_f.Czcionki.NazwaCzcionki, "Courier New");

    // The next save starts from the file's font.
    font_f.Button1->click();
    ASSERT_EQ(platforma.poczatkoweCzcionki.size(), 3u);
    ASSERT_TRUE(platforma.poczatkoweCzcionki[2].has_value());
    EXPECT_EQ(platforma.poczatkoweCzcionki[2]->czcionka.family(), "Courier New");
    EXPECT_EQ(katalog.czytaj("FONT/44.abc"), dane) << "cancelled again: file untouched";

    // Without the FONT folder the error is reported, not thrown out of the button.
    QDir(katalog.plik("FONT")).removeRecursively();
    platforma.wybraneCzcionki = {WyborCzcionki{wybrana, QColor(0, 0, 0)}};
    font_f.Button1->click();
    EXPECT_EQ(platforma.bledy().size(), 1u);
}

}  // namespace
