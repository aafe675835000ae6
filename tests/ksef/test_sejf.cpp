#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <functional>

#include "ksef/sejf.h"

namespace {

TEST(Sejf, NazwySekretowRozdzielajaRodzajNipISrodowisko) {
    const QString nazwy[] = {
        NazwaSekretu(RodzajSekretu::Token, QStringLiteral("5265877635"), QStringLiteral("test")),
        NazwaSekretu(RodzajSekretu::Token, QStringLiteral("5265877635"), QStringLiteral("demo")),
        NazwaSekretu(RodzajSekretu::Token, QStringLiteral("1111111111"), QStringLiteral("test")),
        NazwaSekretu(RodzajSekretu::HasloKlucza, QStringLiteral("5265877635"), QStringLiteral("test")),
        NazwaSekretu(RodzajSekretu::HasloKluczaOffline, QStringLiteral("5265877635"), QStringLiteral("test")),
    };
    EXPECT_EQ(nazwy[0], QStringLiteral("token/5265877635/test"));
    for (std::size_t i = 0; i < std::size(nazwy); ++i)
        for (std::size_t j = i + 1; j < std::size(nazwy); ++j) EXPECT_NE(nazwy[i], nazwy[j]) << i << ' ' << j;
}

// No session bus and no display to start one from: every call answers at once that there is no
// keyring, and nothing is written anywhere instead.
TEST(Sejf, BezSesjiPulpituOdpowiadaOdRazuINicNieZapisuje) {
    QTemporaryDir konfiguracja;
    ASSERT_TRUE(konfiguracja.isValid());
    const QByteArray dawnyBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray dawnyEkran = qgetenv("DISPLAY");
    const QByteArray dawnaKonfiguracja = qgetenv("XDG_CONFIG_HOME");
    const QByteArray dawnyDom = qgetenv("HOME");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DISPLAY");
    qputenv("XDG_CONFIG_HOME", konfiguracja.path().toLocal8Bit());
    qputenv("HOME", konfiguracja.path().toLocal8Bit());

    const QString nazwa =
        NazwaSekretu(RodzajSekretu::Token, QStringLiteral("5265877635"), QStringLiteral("test"));
    const std::pair<const char*, std::function<WynikSejfu()>> wywolania[] = {
        {"zapis", [&] { return ZapiszSekret(nazwa, QStringLiteral("tajny-token")); }},
        {"odczyt", [&] { return CzytajSekret(nazwa); }},
        {"usuniecie", [&] { return UsunSekret(nazwa); }},
    };
    for (const auto& [opis, wywolaj] : wywolania) {
        QElapsedTimer zegar;
        zegar.start();
        const WynikSejfu wynik = wywolaj();
        EXPECT_LT(zegar.elapsed(), 6000) << opis;
        EXPECT_FALSE(wynik.sejfDostepny) << opis;
        EXPECT_FALSE(wynik.wartosc.has_value()) << opis;
        EXPECT_TRUE(wynik.blad.contains(QStringLiteral("Pęk kluczy")))
            << opis << ' ' << qPrintable(wynik.blad);
    }
    // (An empty cache folder of the desktop libraries may appear; no file may.)
    QDirIterator pliki(konfiguracja.path(), QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    EXPECT_FALSE(pliki.hasNext()) << "a secret must not fall back to a plain file: "
                                  << qPrintable(pliki.hasNext() ? pliki.next() : QString());

    const auto przywroc = [](const char* zmienna, const QByteArray& wartosc) {
        if (wartosc.isNull())
            qunsetenv(zmienna);
        else
            qputenv(zmienna, wartosc);
    };
    przywroc("DBUS_SESSION_BUS_ADDRESS", dawnyBus);
    przywroc("DISPLAY", dawnyEkran);
    przywroc("XDG_CONFIG_HOME", dawnaKonfiguracja);
    przywroc("HOME", dawnyDom);
}

}  // namespace
