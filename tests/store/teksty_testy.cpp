#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "store/blad.h"
#include "store/cp1250.h"
#include "store/tekst.h"
#include "wspolne/bajty.h"

namespace {

struct PrzypadekKodowania {
    QString tekst;
    QByteArray bajty;
};

TEST(Cp1250, KodujeZnakiTablicy) {
    const PrzypadekKodowania przypadki[] = {
        {QStringLiteral("ąćęłńóśźż"), "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"},
        {QStringLiteral("ĄĆĘŁŃÓŚŹŻ"), "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"},
        {QStringLiteral("€"), "\x80"},
        {QStringLiteral("„cytat”"),
         "\x84"
         "cytat"
         "\x94"},
        {QStringLiteral("Kwota 12,50 zł"), "Kwota 12,50 z\xB3"},
        {QStringLiteral("漢"), "?"},
        {QStringLiteral("a😀b"), "a?b"},        // a surrogate pair is one character
        {QString(QChar(0xD800)) + "x", "?x"},  // so is a lone surrogate
        {QString(QChar(0xFFFD)), "?"},
        {QStringLiteral("ß×÷"), "\xDF\xD7\xF7"},
    };
    for (const auto& p : przypadki) EXPECT_EQ(DoCp1250(p.tekst), p.bajty) << p.tekst.toStdString();
}

TEST(Cp1250, DekodujeJakSystemowyIconv) {
    iconv_t konwerter = iconv_open("UTF-32LE", "CP1250");
    ASSERT_NE(konwerter, reinterpret_cast<iconv_t>(-1)) << "iconv bez CP1250";
    for (int b = 0; b < 256; ++b) {
        char wejscie = static_cast<char>(b);
        char32_t wyjscie = 0;
        char* we = &wejscie;
        char* wy = reinterpret_cast<char*>(&wyjscie);
        std::size_t ileWe = 1, ileWy = sizeof wyjscie;
        iconv(konwerter, nullptr, nullptr, nullptr, nullptr);
        const bool zdefiniowany = iconv(konwerter, &we, &ileWe, &wy, &ileWy) != static_cast<std::size_t>(-1);
        const QString nasz = ZCp1250(&wejscie, 1);
        ASSERT_EQ(nasz.size(), 1);
        EXPECT_EQ(nasz.at(0).unicode(), zdefiniowany ? wyjscie : 0xFFFD) << "bajt " << b;
        // Every defined byte survives a round trip; an undefined one comes back as '?'.
        EXPECT_EQ(DoCp1250(nasz), zdefiniowany ? QByteArray(1, wejscie) : QByteArray("?")) << "bajt " << b;
    }
    iconv_close(konwerter);
}

TEST(TTekst, UstawiaTniePojemnosciaIZerujeReszte) {
    struct Przypadek {
        QString wpis;
        QByteArray pole;  // all 11 bytes of a TTekst<10>
    };
    const Przypadek przypadki[] = {
        {QStringLiteral("abc"), QByteArray("\x03"
                                           "abc",
                                           4) +
                                    QByteArray(7, 0)},
        {QStringLiteral("abcdefghijkl"), QByteArray("\x0A"
                                                    "abcdefghij")},
        {QStringLiteral("ąąąąąąąąąąą"), char(10) + QByteArray(10, '\xB9')},
        {QStringLiteral("a😀b"), QByteArray("\x03"
                                           "a?b",
                                           4) +
                                    QByteArray(7, 0)},
        {QString(), QByteArray(11, 0)},
    };
    for (const auto& p : przypadki) {
        TTekst<10> t;
        std::memset(&t, 0xAA, sizeof t);  // leftovers of a longer text
        t.ustaw(p.wpis);
        EXPECT_EQ(Bajty(t), p.pole) << p.wpis.toStdString();
    }
}

TEST(TTekst, DlugoscPonadPojemnoscCzytaPojemnosc) {
    struct Przypadek {
        std::uint8_t dlugosc;
        QString oczekiwany;
    };
    const Przypadek przypadki[] = {
        {0, ""}, {3, "Łód"}, {10, "Łódź-12345"}, {11, "Łódź-12345"}, {255, "Łódź-12345"}};
    for (const auto& p : przypadki) {
        TTekst<10> t;
        std::memcpy(t.znaki,
                    "\xA3\xF3"
                    "d\x9F"
                    "-12345",
                    10);
        t.dlugosc = p.dlugosc;
        EXPECT_EQ(t.tekst(), p.oczekiwany) << int(p.dlugosc);
    }
}

TEST(BladPliku, KomunikatPoPolsku) {
    const BladPliku brak(QStringLiteral("otwarcie"), QStringLiteral("/x/Uslugi/dokumenty.dat"), ENOENT);
    const QString oczekiwany = QStringLiteral(
        "Błąd pliku przy operacji „otwarcie” pliku „/x/Uslugi/dokumenty.dat”: Nie ma takiego pliku ani "
        "katalogu");
    EXPECT_EQ(brak.komunikat(), oczekiwany);
    EXPECT_EQ(QString::fromUtf8(brak.what()), oczekiwany);
    EXPECT_EQ(brak.kod(), ENOENT);

    const BladPliku krotki(QStringLiteral("odczyt"), QStringLiteral("/f"), 0,
                           QStringLiteral("plik jest krótszy niż jeden rekord"));
    EXPECT_EQ(
        krotki.komunikat(),
        QStringLiteral("Błąd pliku przy operacji „odczyt” pliku „/f”: plik jest krótszy niż jeden rekord"));

    for (int kod : {ENOSPC, EACCES, EIO, EROFS, EXDEV, EDQUOT, 12345})
        EXPECT_FALSE(KomunikatSystemu(kod).isEmpty()) << kod;
    EXPECT_EQ(KomunikatSystemu(ENOSPC), QStringLiteral("Brak wolnego miejsca na dysku"));
}

}  // namespace
