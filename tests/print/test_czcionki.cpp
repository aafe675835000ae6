#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <cstring>

#include "print/czcionki.h"
#include "print/kolory.h"
#include "store/blad.h"
#include "store/system_plikow.h"
#include "wspolne/katalog_testowy.h"

namespace {

// A font record built byte by byte, independently of the record type.
QByteArray Rekord(std::uint32_t kolor, const QByteArray& nazwa, std::int32_t rozmiar, std::uint8_t styl,
                  char wypelnienie = 0) {
    QByteArray b(76, wypelnienie);
    for (int i = 0; i < 4; ++i) b[i] = char(kolor >> (8 * i));
    b[4] = char(nazwa.size());
    for (int i = 0; i < 60; ++i) b[5 + i] = i < nazwa.size() ? nazwa[i] : wypelnienie;
    for (int i = 0; i < 4; ++i) b[68 + i] = char(std::uint32_t(rozmiar) >> (8 * i));
    b[72] = char(styl);
    return b;
}

class Czcionki : public ::testing::Test {
  protected:
    Czcionki() { katalog.utworzFolder("FONT"); }
    KatalogTestowy katalog;
    SystemPlikow& pliki = DomyslnySystemPlikow();
    StanCzcionki stan;
};

TEST_F(Czcionki, OdczytPierwszegoRekordu) {
    // Padding and unused name bytes carry garbage, which is kept but means nothing.
    const QByteArray pierwszy = Rekord(0x000000FF, "Arial", 10, 1, char(0xAA));
    katalog.zapisz("FONT/font_welkaro.dat", pierwszy + Rekord(0x00FF0000, "Courier New", 20, 2));
    CzytajFonty(pliki, stan, "font_welkaro.dat");
    EXPECT_EQ(stan.NazwaCzcionki, "Arial");
    EXPECT_EQ(stan.RozmiarCzcionki, 10);
    EXPECT_EQ(Bajty(stan.Czcionka), pierwszy);
    EXPECT_EQ(KolorZTColor(stan.Czcionka.kolor), QColor(Qt::red));

    // A missing file leaves the font read earlier in force.
    CzytajFonty(pliki, stan, "inny.dat");
    EXPECT_EQ(Bajty(stan.Czcionka), pierwszy);
    EXPECT_EQ(stan.NazwaCzcionki, "Arial");
}

TEST_F(Czcionki, ZaKrotkiPlikToBladIStanBezZmian) {
    katalog.zapisz("FONT/font_welkaro.dat", Rekord(0x00FF00, "Verdana", 12, 0).left(75));
    EXPECT_THROW(CzytajFonty(pliki, stan, "font_welkaro.dat"), BladPliku);
    EXPECT_EQ(Bajty(stan.Czcionka), QByteArray(76, 0));
    EXPECT_TRUE(stan.NazwaCzcionki.isEmpty());
}

struct PrzykladZapisu {
    QString rodzina;
    int punkty;
    bool gruba, pochyla, podkreslona, przekreslona;
    QColor kolor;
    QByteArray rekord;
};

TEST_F(Czcionki, ZapisCalegoRekordu) {
    const QString dluga = QString(70, QChar(u'ż'));
    const PrzykladZapisu przyklady[] = {
        {"Tahoma", 8, false, false, false, false, QColor(0, 0, 0), Rekord(0, "Tahoma", 8, 0)},
        {"Arial", 12, true, true, true, false, QColor(0x12, 0x34, 0x56), Rekord(0x563412, "Arial", 12, 7)},
        {"Courier New", 9, false, false, false, true, QColor(Qt::red), Rekord(0xFF, "Courier New", 9, 8)},
        // Cut to 60 characters, stored in the file's code page.
        {dluga, 10, true, false, false, false, QColor(0, 0, 128),
         Rekord(0x800000, QByteArray(60, '\xBF'), 10, 1)},
    };
    for (const PrzykladZapisu& p : przyklady) {
        QFont f(p.rodzina, p.punkty);
        f.setBold(p.gruba);
        f.setItalic(p.pochyla);
        f.setUnderline(p.podkreslona);
        f.setStrikeOut(p.przekreslona);
        const bool zapisano = ZapiszFonty(pliki, stan, "44.abc", [&](const std::optional<WyborCzcionki>&) {
            return std::optional<WyborCzcionki>(WyborCzcionki{f, p.kolor});
        });
        EXPECT_TRUE(zapisano);
        EXPECT_EQ(katalog.czytaj("FONT/44.abc"), p.rekord) << p.rodzina.toStdString();
        EXPECT_EQ(Bajty(stan.Czcionka), p.rekord);
        EXPECT_EQ(stan.NazwaCzcionki, p.rodzina.left(60));
        EXPECT_EQ(stan.RozmiarCzcionki, p.punkty);
    }
}

TEST_F(Czcionki, DialogZaczynaOdCzcionkiZPliku) {
    std::vector<std::optional<WyborCzcionki>> poczatkowe;
    auto anuluj = [&](const std::optional<WyborCzcionki>& p) {
        poczatkowe.push_back(p);
        return std::optional<WyborCzcionki>();
    };
    EXPECT_FALSE(ZapiszFonty(pliki, stan, "44.abc", anuluj));
    EXPECT_FALSE(katalog.istnieje("FONT/44.abc"));

    const QByteArray zapisany = Rekord(0x0000FF, "Arial", 14, 1 | 4);
    katalog.zapisz("FONT/44.abc", zapisany);
    EXPECT_FALSE(ZapiszFonty(pliki, stan, "44.abc", anuluj));
    // Cancelled: the file stays, the record read stays in the state, the names do not change.
    EXPECT_EQ(katalog.czytaj("FONT/44.abc"), zapisany);
    EXPECT_EQ(Bajty(stan.Czcionka), zapisany);
    EXPECT_TRUE(stan.NazwaCzcionki.isEmpty());

    ASSERT_EQ(poczatkowe.size(), 2u);
    EXPECT_FALSE(poczatkowe[0].has_value());
    ASSERT_TRUE(poczatkowe[1].has_value());
    const QFont& f = poczatkowe[1]->czcionka;
    EXPECT_EQ(f.family(), "Arial");
    EXPECT_EQ(f.pointSize(), 14);
    EXPECT_TRUE(f.bold());
    EXPECT_FALSE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_FALSE(f.strikeOut());
    EXPECT_EQ(poczatkowe[1]->kolor, QColor(Qt::red));
}

TEST_F(Czcionki, BezFolderuFontBladIBezZmian) {
    KatalogTestowy pusty(false);
    auto wybierz = [](const std::optional<WyborCzcionki>&) {
        return std::optional<WyborCzcionki>(WyborCzcionki{QFont("Arial", 10), QColor(Qt::black)});
    };
    EXPECT_THROW(ZapiszFonty(pliki, stan, "44.abc", wybierz), BladPliku);
    EXPECT_TRUE(stan.NazwaCzcionki.isEmpty());
}

TEST(Kolory, KoloryJawneISystemowe) {
    const QPalette paleta = QGuiApplication::palette();
    struct Przyklad {
        std::int32_t tcolor;
        QColor kolor;
    };
    const Przyklad przyklady[] = {
        {0x000000FF, QColor(255, 0, 0)},
        {0x00800000, QColor(0, 0, 128)},
        {0x00123456, QColor(0x56, 0x34, 0x12)},
        {std::int32_t(0xFF000008), paleta.color(QPalette::Active, QPalette::WindowText)},
        {std::int32_t(0xFF000005), paleta.color(QPalette::Active, QPalette::Window)},
        {std::int32_t(0xFF00000F), paleta.color(QPalette::Active, QPalette::Button)},
        {std::int32_t(0xFF000012), paleta.color(QPalette::Active, QPalette::ButtonText)},
        {std::int32_t(0xFF00000D), paleta.color(QPalette::Active, QPalette::Highlight)},
        {std::int32_t(0xFF000011), paleta.color(QPalette::Disabled, QPalette::Text)},
        {std::int32_t(0xFF000063), QColor(Qt::black)},  // no such desktop colour
    };
    for (const Przyklad& p : przyklady) EXPECT_EQ(KolorZTColor(p.tcolor), p.kolor) << std::hex << p.tcolor;
    for (const Przyklad& p : przyklady) {
        if (p.tcolor < 0) continue;
        EXPECT_EQ(TColorZKoloru(p.kolor), p.tcolor) << std::hex << p.tcolor;
    }
}

}  // namespace
