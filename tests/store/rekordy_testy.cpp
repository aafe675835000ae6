#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "calc/dokument.h"
#include "pomocnicze.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/rekordy.h"

namespace {

// A text whose bytes cannot be mistaken for zeros or for another field.
const QString Znacznik = QStringLiteral("ŻÓŁW");
const QByteArray ZnacznikBajty("\x04\xAF\xD3\xA3W");

// Sets one field of a zeroed record and expects the marker at the offset and zeros everywhere else.
template <class T>
void SprawdzPole(const std::function<void(T&)>& ustaw, std::size_t przesuniecie, const std::string& opis) {
    auto rekord = std::make_unique<T>();
    ustaw(*rekord);
    QByteArray oczekiwane(sizeof(T), 0);
    oczekiwane.replace(static_cast<qsizetype>(przesuniecie), ZnacznikBajty.size(), ZnacznikBajty);
    const QByteArray bajty = Bajty(*rekord);
    qsizetype rozne = 0;
    while (rozne < bajty.size() && bajty[rozne] == oczekiwane[rozne]) ++rozne;
    EXPECT_EQ(rozne, bajty.size()) << opis << ": pierwszy inny bajt";
}

TEST(Rekordy, KomorkiDokumentuLezaPodPrzesunieciemZeWzoru) {
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r) {
            const std::string opis = "kolumna " + std::to_string(c) + ", wiersz " + std::to_string(r);
            SprawdzPole<TDokument>([&](TDokument& d) { d.pozycje[c - 1][r - 1].ustaw(Znacznik); },
                                   518 + (c - 1) * 183 + (r - 1) * 61, "pozycje " + opis);
            SprawdzPole<TDokument>([&](TDokument& d) { d.pozycje_korekty[c - 1][r - 1].ustaw(Znacznik); },
                                   1868 + (c - 1) * 183 + (r - 1) * 61, "pozycje_korekty " + opis);
        }
    for (int c = 0; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) {
            const std::string opis = "kolumna " + std::to_string(c) + ", wiersz " + std::to_string(r);
            SprawdzPole<TDokument>([&](TDokument& d) { d.stawki[c][r - 1].ustaw(Znacznik); },
                                   1616 + c * 63 + (r - 1) * 21, "stawki " + opis);
            SprawdzPole<TDokument>([&](TDokument& d) { d.stawki_korekty[c][r - 1].ustaw(Znacznik); },
                                   2966 + c * 63 + (r - 1) * 21, "stawki_korekty " + opis);
        }
}

TEST(Rekordy, PolaTekstowePodPrzesunieciami) {
    SprawdzPole<TDokument>([](auto& d) { d.odbiorca4.ustaw(Znacznik); }, 327, "odbiorca4");
    SprawdzPole<TDokument>([](auto& d) { d.forma_zaplaty.ustaw(Znacznik); }, 429, "forma_zaplaty");
    SprawdzPole<TDokument>([](auto& d) { d.dotyczy.ustaw(Znacznik); }, 3220, "dotyczy");
    SprawdzPole<TUstawieniaSieci>([](auto& u) { u.sciezka_sieciowa.ustaw(Znacznik); }, 202,
                                  "sciezka_sieciowa");
    SprawdzPole<TUstawieniaFaktury>([](auto& u) { u.numerator_korekty.ustaw(Znacznik); }, 73,
                                    "numerator_korekty");
    SprawdzPole<TUstawieniaFaktury>([](auto& u) { u.oznaczenie_kopii.ustaw(Znacznik); }, 105,
                                    "oznaczenie_kopii");
    SprawdzPole<TUstawieniaFaktury>([](auto& u) { u.stopka.ustaw(Znacznik); }, 191, "stopka");
    SprawdzPole<TDaneFirmy>([](auto& f) { f.konto.ustaw(Znacznik); }, 255, "konto");
    SprawdzPole<TEwidencja>([](auto& e) { e.folder.ustaw(Znacznik); }, 0, "folder");
    SprawdzPole<TCzcionka>([](auto& f) { f.nazwa.ustaw(Znacznik); }, 4, "nazwa");
    SprawdzPole<TBazaUslug>([](auto& b) { b.netto[200].ustaw(Znacznik); }, 32763 + 200 * 21, "netto[200]");
    SprawdzPole<TBazaUslug>([](auto& b) { b.vat[1].ustaw(Znacznik); }, 31557 + 6, "vat[1]");
    SprawdzPole<TBazaKlientow>([](auto& b) { b.odbiorca3[7].ustaw(Znacznik); }, 840168 + 7 * 81,
                               "odbiorca3[7]");
    SprawdzPole<TBazaKlientow>([](auto& b) { b.nip_odbiorcy[5000].ustaw(Znacznik); }, 1650330 + 5000 * 21,
                               "nip_odbiorcy[5000]");
}

TEST(Rekordy, CzcionkaZBajtow) {
    // kolor 0x000000FF (red), "Arial", rozmiar 10, styl bold; padding bytes hold rubbish.
    QByteArray bajty(76, '\x5A');
    bajty.replace(0, 4, QByteArray("\xFF\x00\x00\x00", 4));
    bajty.replace(4, 6,
                  QByteArray("\x05"
                             "Arial"));
    bajty.replace(68, 4, QByteArray("\x0A\x00\x00\x00", 4));
    bajty[72] = 1;
    TCzcionka czcionka;
    std::memcpy(&czcionka, bajty.constData(), sizeof czcionka);
    EXPECT_EQ(czcionka.kolor, 0xFF);
    EXPECT_EQ(czcionka.nazwa.tekst(), QStringLiteral("Arial"));
    EXPECT_EQ(czcionka.rozmiar, 10);
    EXPECT_EQ(czcionka.styl, 1);

    TCzcionka systemowy{};
    systemowy.kolor = static_cast<std::int32_t>(0xFF000008u);
    EXPECT_EQ(Bajty(systemowy).left(4), QByteArray("\x08\x00\x00\xFF", 4));
}

// "T r{}" must zero every byte, the padding included, whatever the memory held before.
template <class T>
void SprawdzZerowanie() {
    std::vector<unsigned char> pamiec(sizeof(T), 0xAB);
    T* rekord = new (pamiec.data()) T{};
    EXPECT_EQ(Bajty(*rekord), QByteArray(sizeof(T), 0)) << sizeof(T);
}

TEST(Rekordy, InicjalizacjaKlamramiZeruje) {
    SprawdzZerowanie<TUstawieniaSieci>();
    SprawdzZerowanie<TUstawieniaFaktury>();
    SprawdzZerowanie<TDaneFirmy>();
    SprawdzZerowanie<TInfo>();
    SprawdzZerowanie<TDokument>();
    SprawdzZerowanie<TBazaUslug>();
    SprawdzZerowanie<TBazaKlientow>();
    SprawdzZerowanie<TCzcionka>();
    SprawdzZerowanie<TEwidencja>();
}

TEST(Bazy, RekordPoczatkowyBajtPoBajcie) {
    struct Przypadek {
        QString data;
        QByteArray rozszerzenie;
    };
    const Przypadek przypadki[] = {
        {QStringLiteral("2024-05-17"), "2024-05-17"},
        {QStringLiteral("2024-05-17 i jeszcze dłużej"), "2024-05-17 i jeszcze"},
    };
    for (const auto& p : przypadki) {
        QByteArray oczekiwane(3251, 0);
        oczekiwane.replace(52, 2, PoleTekstu("0"));
        oczekiwane.replace(63, p.rozszerzenie.size() + 1, PoleTekstu(p.rozszerzenie));
        oczekiwane.replace(84, 24, PoleTekstu("Pocz\xB9tek bloczka faktur"));
        oczekiwane.replace(3218, 2, PoleTekstu("F"));
        EXPECT_EQ(Bajty(RekordPoczatkowy(p.data)), oczekiwane) << p.data.toStdString();
    }
}

// Expected image of a fresh list file: zeros with slot numbers "01".."09", "10"... in the first field.
QByteArray PustaBaza(std::size_t rozmiar, int liczbaMiejsc, int pojemnoscNumeru) {
    QByteArray bajty(static_cast<qsizetype>(rozmiar), 0);
    for (int s = 0; s < liczbaMiejsc; ++s) {
        QByteArray numer = QByteArray::number(s + 1);
        if (numer.size() == 1) numer.prepend('0');
        bajty.replace(s * (pojemnoscNumeru + 1), numer.size() + 1, PoleTekstu(numer));
    }
    return bajty;
}

TEST(Bazy, DomyslneBazyBajtPoBajcie) {
    QTemporaryDir katalog;
    ASSERT_TRUE(QDir(katalog.path()).mkdir("USLUGI"));  // the folder is found whatever its letter case
    UtworzDomyslneBazy(DomyslnySystemPlikow(), katalog.path());

    const QByteArray uslugi = BajtyPliku(katalog.filePath("USLUGI/uslugi.dat"));
    EXPECT_EQ(uslugi.size(), 36984);
    EXPECT_TRUE(uslugi == PustaBaza(36984, 201, 3));
    EXPECT_EQ(uslugi.mid(200 * 4, 4), QByteArray("\x03"
                                                 "201"));

    const QByteArray klienci = BajtyPliku(katalog.filePath("USLUGI/klienci.dat"));
    EXPECT_EQ(klienci.size(), 3490698);
    EXPECT_TRUE(klienci == PustaBaza(3490698, 5001, 5));
    EXPECT_EQ(klienci.mid(8 * 6, 3), QByteArray("\x02"
                                                "09"));
    EXPECT_EQ(klienci.mid(5000 * 6, 6), QByteArray("\x04"
                                                   "5001\0",
                                                   6));
    EXPECT_EQ(QDir(katalog.filePath("USLUGI")).entryList(QDir::Files).size(), 2);  // no temporary files
}

TEST(Bazy, IstniejacejBazyNieRusza) {
    QTemporaryDir katalog;
    ASSERT_TRUE(QDir(katalog.path()).mkdir("Uslugi"));
    ZapiszBajty(katalog.filePath("Uslugi/uslugi.dat"), "cudza baza");
    UtworzDomyslneBazy(DomyslnySystemPlikow(), katalog.path());
    EXPECT_EQ(BajtyPliku(katalog.filePath("Uslugi/uslugi.dat")), QByteArray("cudza baza"));
    EXPECT_EQ(BajtyPliku(katalog.filePath("Uslugi/klienci.dat")).size(), 3490698);
}

TEST(Bazy, BrakFolderuToBladPliku) {
    QTemporaryDir katalog;
    try {
        UtworzDomyslneBazy(DomyslnySystemPlikow(), katalog.path());
        FAIL() << "brak wyjątku";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(blad.kod(), ENOENT);
        EXPECT_EQ(blad.operacja(), QStringLiteral("utworzenie"));
        EXPECT_TRUE(blad.sciezka().startsWith(katalog.path() + "/Uslugi/uslugi.dat"));
    }
}

}  // namespace
