// Checks of texts against their fields, of tax numbers and accounts, and of the command line.
#include <gtest/gtest.h>

#include "ustawienia/kontrola_tekstu.h"
#include "ustawienia/numery.h"
#include "ustawienia/wiersz_polecen_ustawien.h"

TEST(KontrolaTekstu, PojemnoscIZnaki) {
    const struct {
        QString tekst;
        int pojemnosc;
        const char* zawiera;  // nullptr: accepted
    } przypadki[] = {
        {QString(), 5, nullptr},
        {QStringLiteral("Łódź"), 4, nullptr},
        {QStringLiteral("Łódź!"), 4, "mieści najwyżej 4 znaki, a tekst ma ich 5"},
        {QStringLiteral("€ – „cudzysłów” §"), 40, nullptr},  // all of them in Windows-1250
        {QStringLiteral("abc✓d"), 40, "znaku „✓” na pozycji 4"},
        {QStringLiteral("Москва"), 40, "znaku „М” na pozycji 1"},
        {QStringLiteral("a😀b"), 2, "znaku „😀” na pozycji 2"},  // one character although two UTF-16 units
        {QStringLiteral("a\tb"), 40, "znak sterujący (kod 9) na pozycji 2"},
        {QStringLiteral("?"), 1, nullptr},
        {QString(51, u'x'), 50, "mieści najwyżej 50 znaków"},
        {QString(2, u'x'), 1, "mieści najwyżej 1 znak, a tekst ma ich 2"},
        {QString(23, u'x'), 22, "mieści najwyżej 22 znaki"},
    };
    for (const auto& p : przypadki) {
        const auto blad = BladTekstu(QStringLiteral("Pole"), p.tekst, p.pojemnosc);
        if (!p.zawiera) {
            EXPECT_FALSE(blad.has_value())
                << p.tekst.toStdString() << ": " << blad.value_or(QString()).toStdString();
        } else {
            ASSERT_TRUE(blad.has_value()) << p.tekst.toStdString();
            EXPECT_TRUE(blad->contains(QString::fromUtf8(p.zawiera))) << blad->toStdString();
        }
    }
    EXPECT_EQ(LiczbaZnakow(QStringLiteral("a😀b")), 3);
}

TEST(Numery, Nip) {
    const struct {
        const char* nip;
        const char* uwaga;  // nullptr: no warning
    } przypadki[] = {
        {"", nullptr},
        {"5260250274", nullptr},
        {"526-025-02-74", nullptr},
        {"PL 526 025 02 74", nullptr},
        {"675-000-12-31", nullptr},
        {"5260250275", "powinna być 4"},
        {"526025027", "10 cyfr, a ma ich 9"},
        {"52602502741", "ma ich 11"},
        {"526O250274", "znak „O”"},
        {"6791112230", "daje 10"},  // its weighted sum mod 11 is 10: no such number
    };
    for (const auto& p : przypadki) {
        const auto uwaga = UwagaONip(QString::fromUtf8(p.nip));
        if (!p.uwaga) {
            EXPECT_FALSE(uwaga) << p.nip << ": " << uwaga.value_or(QString()).toStdString();
        } else {
            ASSERT_TRUE(uwaga) << p.nip;
            EXPECT_TRUE(uwaga->contains(QString::fromUtf8(p.uwaga))) << uwaga->toStdString();
        }
    }
}

TEST(Numery, KontoNrbIIban) {
    const struct {
        const char* konto;
        const char* uwaga;
    } przypadki[] = {
        {"", nullptr},
        {"61109010140000071219812874", nullptr},
        {"61 1090 1014 0000 0712 1981 2874", nullptr},
        {"PL61 1090 1014 0000 0712 1981 2874", nullptr},
        {"pl61109010140000071219812874", nullptr},
        {"79 1234 5600 0000 0012 3456 7890", nullptr},
        {"62 1090 1014 0000 0712 1981 2874", "mod 97"},
        {"61 1090 1014 0000 0712 1981 2847", "mod 97"},  // two digits swapped
        {"61 1090 1014 0000 0712 1981 287", "26 cyfr, a ma ich 25"},
        {"DE89370400440532013000", "polski"},
        {"61 1090 1014 0000 0712 1981 287X", "znak „X”"},
    };
    for (const auto& p : przypadki) {
        const auto uwaga = UwagaOKoncie(QString::fromUtf8(p.konto));
        if (!p.uwaga) {
            EXPECT_FALSE(uwaga) << p.konto << ": " << uwaga.value_or(QString()).toStdString();
        } else {
            ASSERT_TRUE(uwaga) << p.konto;
            EXPECT_TRUE(uwaga->contains(QString::fromUtf8(p.uwaga))) << uwaga->toStdString();
        }
    }
}

TEST(WierszPolecen, Argumenty) {
    const struct {
        QStringList argumenty;
        bool pomoc, nowy;
        const char* katalog;
        bool blad;
    } przypadki[] = {
        {{}, false, false, "", false},
        {{"/dane"}, false, false, "/dane", false},
        {{"--nowy-katalog"}, false, true, "", false},
        {{"--nowy-katalog", "/nowe"}, false, true, "/nowe", false},
        {{"/nowe", "--nowy-katalog"}, false, true, "/nowe", false},
        {{"--help"}, true, false, "", false},
        {{"-h", "/x"}, true, false, "/x", false},
        {{"--", "-dziwny"}, false, false, "-dziwny", false},
        {{"--nowy"}, false, false, "", true},
        {{"/a", "/b"}, false, false, "/a", true},
        {{"--ostatni-katalog", "/a"}, false, false, "/a", true},
        {{"/a", "--ostatni-katalog"}, false, false, "/a", true},
        {{"--", "--ostatni-katalog"}, false, false, "--ostatni-katalog", false},
    };
    for (const auto& p : przypadki) {
        const ArgumentyUstawien a = CzytajArgumentyUstawien(p.argumenty);
        const std::string opis = p.argumenty.join(u' ').toStdString();
        EXPECT_EQ(a.pomoc, p.pomoc) << opis;
        EXPECT_EQ(a.nowyKatalog, p.nowy) << opis;
        EXPECT_EQ(a.katalog, QString::fromUtf8(p.katalog)) << opis;
        EXPECT_EQ(!a.blad.isEmpty(), p.blad) << opis;
    }
    EXPECT_TRUE(TekstPomocyUstawien(QStringLiteral("faktura-ustawienia"))
                    .startsWith(QStringLiteral(
                        "Użycie: faktura-ustawienia [--nowy-katalog] [--ostatni-katalog | KATALOG]")));
    EXPECT_TRUE(CzytajArgumentyUstawien({"--ostatni-katalog"}).ostatniKatalog);
    EXPECT_FALSE(CzytajArgumentyUstawien({"--", "--ostatni-katalog"}).ostatniKatalog);
}
