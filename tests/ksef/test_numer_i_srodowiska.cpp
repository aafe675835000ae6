#include <gtest/gtest.h>

#include "ksef/numer_ksef.h"
#include "ksef/srodowiska.h"

namespace {

TEST(NumerKsef, SprawdzenieSumyKontrolnej) {
    struct Przypadek {
        const char* numer;
        bool poprawny;
    };
    const Przypadek przypadki[] = {
        {"5265877635-20250826-0100001AF629-AF", true},   // the guide's example
        {"5265877635-20250826-0100001AF629-AE", false},  // wrong checksum
        {"5265877635-20250826-0100001AF628-AF", false},  // a changed digit
        {"5265877635-20250826-0100001af629-AF", false},  // lower-case hex
        {"5265877635-20251326-0100001AF629-AF", false},  // no such month
        {"5265877635-20250826-0100001AF629-AF ", false}, {"", false},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(PoprawnyNumerKsef(QString::fromLatin1(p.numer)), p.poprawny) << p.numer;
}

TEST(NumerKsef, NumerZCzesciMaPoprawnaSume) {
    const QString numer =
        NumerKsef(QStringLiteral("5265877635"), QDate(2025, 8, 26), QStringLiteral("0100001af629"));
    EXPECT_EQ(numer, QStringLiteral("5265877635-20250826-0100001AF629-AF"));
    EXPECT_TRUE(PoprawnyNumerKsef(
        NumerKsef(QStringLiteral("1111111111"), QDate(2026, 12, 9), QStringLiteral("00000000FFFF"))));
}

TEST(SrodowiskaKsef, NazwyIAdresy) {
    struct Przypadek {
        const char* wejscie;
        bool przyjete;
        const char* api;
    };
    const Przypadek przypadki[] = {
        {"test", true, "https://api-test.ksef.mf.gov.pl/v2"},
        {"DEMO", true, "https://api-demo.ksef.mf.gov.pl/v2"},
        {"produkcja", true, "https://api.ksef.mf.gov.pl/v2"},
        {"http://127.0.0.1:8080/v2/", true, "http://127.0.0.1:8080/v2"},
        {"http://[::1]:8080/v2", true, "http://[::1]:8080/v2"},
        {"https://ksef.example.com/v2", true, "https://ksef.example.com/v2"},
        // Plain http elsewhere would carry the token or the access token unencrypted.
        {"http://10.0.0.5/v2", false, ""},
        {"http://localhost:8080/v2", false, ""},
        {"ftp://127.0.0.1/v2", false, ""},
        {"produkcyjne", false, ""},
    };
    for (const auto& p : przypadki) {
        QString blad;
        const auto srodowisko = ZnajdzSrodowisko(QString::fromLatin1(p.wejscie), &blad);
        ASSERT_EQ(srodowisko.has_value(), p.przyjete) << p.wejscie;
        if (srodowisko)
            EXPECT_EQ(srodowisko->api.toString(), QString::fromLatin1(p.api));
        else
            EXPECT_FALSE(blad.isEmpty());
    }
}

}  // namespace
