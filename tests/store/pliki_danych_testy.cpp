// The window-free steps of the start-up and of deleting: finding the data root, the files of a
// first start, "ensure, then read", and rebuilding the document file without one record.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "calc/dokument.h"
#include "pomocnicze.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_dokumentow.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

class PlikiDanych : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(katalog_.path()).mkpath("Admini"));
        ASSERT_TRUE(QDir(katalog_.path()).mkpath("Uslugi"));
    }
    QString plik(const QString& wzgledna) const { return katalog_.filePath(wzgledna); }
    QString korzen() const { return katalog_.path(); }
    QTemporaryDir katalog_;
};

TEST_F(PlikiDanych, KatalogDanychZTrybuSiecDat) {
    ASSERT_TRUE(QDir(korzen()).mkpath("lokalne") && QDir(korzen()).mkpath("siec"));
    const QString lokalne = plik("lokalne"), siec = plik("siec");
    struct Przypadek {
        const char* opis;
        std::uint8_t tryb;
        QString lokalna, sieciowa;
        QString katalog;   // empty: the working directory
        const char* blad;  // what the refusal says; empty: none
    };
    const QString zNul = lokalne + QChar(0) + QStringLiteral("/reszta");
    const Przypadek przypadki[] = {
        {"tryb 1", 1, lokalne, siec, lokalne, ""},
        {"tryb 2", 2, lokalne, siec, siec, ""},
        {"inny tryb", 7, lokalne, siec, {}, ""},
        {"tryb 0", 0, {}, {}, {}, ""},
        {"znak NUL", 1, zNul, siec, zNul, "znak NUL na pozycji"},
        {"pusta ścieżka lokalna", 1, {}, siec, QString(), "ścieżka jest pusta"},
        {"pusta ścieżka sieciowa", 2, lokalne, {}, QString(), "ścieżka jest pusta"},
        {"brak katalogu", 2, lokalne, plik("brak"), plik("brak"), "nie istnieje"},
        {"plik zamiast katalogu", 1, plik("Admini/siec.dat"), siec, plik("Admini/siec.dat"),
         "nie jest katalogiem"},
    };
    for (const Przypadek& p : przypadki) {
        TUstawieniaSieci u{};
        u.tryb = p.tryb;
        u.sciezka_lokalna.ustaw(p.lokalna);
        u.sciezka_sieciowa.ustaw(p.sieciowa);
        ZapiszBajty(plik("Admini/siec.dat"), Bajty(u));
        const bool odmowa = *p.blad;
        const QString oczekiwany = odmowa || p.katalog.size() ? p.katalog : korzen();
        for (const auto& ustal : {UstalKatalogDanych, CzytajKatalogDanych}) {
            const KatalogDanychZUstawien wynik = ustal(Posix(), korzen());
            EXPECT_EQ(wynik.katalog, oczekiwany) << p.opis;
            EXPECT_EQ(Bajty(wynik.ustawienia), Bajty(u)) << p.opis;
            ASSERT_EQ(wynik.blad.has_value(), odmowa) << p.opis;
            if (!odmowa) continue;
            const QString tekst = wynik.blad->komunikat();
            EXPECT_TRUE(tekst.contains(plik("Admini/siec.dat")) && tekst.contains(QString::fromUtf8(p.blad)))
                << p.opis << ": " << tekst.toStdString();
            EXPECT_FALSE(tekst.contains(QChar(0))) << "the message is never cut short";
        }
    }
}

TEST_F(PlikiDanych, PozostalosciTegoProgramuUsuwanePoNazwieIWieku) {
    const qint64 teraz = QDateTime::currentSecsSinceEpoch();
    const QString my = NazwaStanowiska();
    struct Przypadek {
        QString nazwa;
        qint64 wiek;  // seconds
        bool zostaje;
    };
    const Przypadek przypadki[] = {
        {"faktura.dat." + my + "." + QString::number(QCoreApplication::applicationPid()) + ".tmp", 0, true},
        {"faktura.dat." + my + ".999999999.tmp", 0, false},  // a process of this workstation that ended
        {"faktura.dat.inne-stanowisko.123.tmp", 60, true},   // maybe still writing there
        {"faktura.dat.inne-stanowisko.123.tmp.", 2 * 24 * 3600, true},  // not one of ours
        {"firma.dat.inne-stanowisko.77.tmp", 2 * 24 * 3600, false},
        {"siec.dat.tmp", 60, true},  // an earlier version may still be writing
        {"siec.dat.tmp", 2 * 3600, false},
        {"cudzy.tmp", 10 * 24 * 3600, true},
        {"dokumenty.dat", 10 * 24 * 3600, true},
    };
    for (const Przypadek& p : przypadki) {
        const QString sciezka = plik("Admini/" + p.nazwa);
        ZapiszBajty(sciezka, "x");
        QFile f(sciezka);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::fromSecsSinceEpoch(teraz - p.wiek), QFileDevice::FileModificationTime));
        f.close();
        UsunPozostalosci(Posix(), {plik("ADMINI"), plik("brak")}, teraz);
        EXPECT_EQ(QFile::exists(sciezka), p.zostaje) << p.nazwa.toStdString();
        QFile::remove(sciezka);
    }
}

TEST_F(PlikiDanych, BrakSiecDat) {
    // Only the resolution of the module creates the file: mode 1 and the folder itself.
    const KatalogDanychZUstawien czytany = CzytajKatalogDanych(Posix(), korzen());
    EXPECT_EQ(czytany.katalog, korzen());
    EXPECT_FALSE(QFile::exists(plik("Admini/siec.dat")));

    const KatalogDanychZUstawien ustalony = UstalKatalogDanych(Posix(), korzen());
    EXPECT_EQ(ustalony.katalog, korzen());
    const QByteArray bajty = BajtyPliku(plik("Admini/siec.dat"));
    ASSERT_EQ(bajty.size(), 403);
    EXPECT_EQ(bajty, Bajty(UstawieniaSieciDlaKatalogu(korzen())));
    EXPECT_EQ(bajty[0], 1);
    EXPECT_EQ(bajty.mid(1, 1 + korzen().toUtf8().size()), PoleTekstu(korzen().toUtf8()));
    EXPECT_EQ(Bajty(czytany.ustawienia), bajty) << "the reader assumes what a first start would write";
}

TEST_F(PlikiDanych, PlikiPierwszegoStartu) {
    UtworzPlikiDanych(Posix(), korzen(), RekordPoczatkowy(QStringLiteral("2026-12-08")));
    EXPECT_EQ(BajtyPliku(plik("Admini/faktura.dat")), QByteArray(272, 0));
    EXPECT_EQ(BajtyPliku(plik("Admini/firma.dat")), QByteArray(306, 0));
    EXPECT_EQ(BajtyPliku(plik("Admini/info.dat")), QByteArray(66, 0));
    EXPECT_EQ(BajtyPliku(plik("Uslugi/dokumenty.dat")),
              Bajty(RekordPoczatkowy(QStringLiteral("2026-12-08"))));
    EXPECT_EQ(BajtyPliku(plik("Uslugi/uslugi.dat")).size(), 36984);
    EXPECT_EQ(BajtyPliku(plik("Uslugi/klienci.dat")).size(), 3490698);
    EXPECT_EQ(QDir(plik("Admini")).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(plik("Uslugi")).entryList(QDir::Files).size(), 3);

    // Existing files are left as they are.
    ZapiszBajty(plik("Admini/firma.dat"), "cudze");
    UtworzPlikiDanych(Posix(), korzen(), RekordPoczatkowy(QStringLiteral("2030-01-01")));
    EXPECT_EQ(BajtyPliku(plik("Admini/firma.dat")), QByteArray("cudze"));
    EXPECT_EQ(BajtyPliku(plik("Uslugi/dokumenty.dat")),
              Bajty(RekordPoczatkowy(QStringLiteral("2026-12-08"))));
}

TEST_F(PlikiDanych, ZapewnijICzytaj) {
    TEwidencja domyslny{};
    domyslny.folder.ustaw(QStringLiteral("C:\\EWID"));
    // Missing: created with the default and read back.
    EXPECT_EQ(Bajty(ZapewnijICzytaj(Posix(), plik("Admini/ewidencja.dat"), domyslny)), Bajty(domyslny));
    EXPECT_EQ(BajtyPliku(plik("Admini/ewidencja.dat")), Bajty(domyslny));
    // Present: read as it is, never written.
    TEwidencja inny{};
    inny.folder.ustaw(QStringLiteral("/opt/ewidencja"));
    ZapiszBajty(plik("Admini/ewidencja.dat"), Bajty(inny) + "ogon");
    EXPECT_EQ(Bajty(ZapewnijICzytaj(Posix(), plik("Admini/ewidencja.dat"), domyslny)), Bajty(inny));
    EXPECT_EQ(BajtyPliku(plik("Admini/ewidencja.dat")), Bajty(inny) + "ogon");
    // Shorter than a record: an error, and the file stays.
    ZapiszBajty(plik("Admini/ewidencja.dat"), "krótki");
    EXPECT_THROW(ZapewnijICzytaj(Posix(), plik("Admini/ewidencja.dat"), domyslny), BladPliku);
    EXPECT_EQ(BajtyPliku(plik("Admini/ewidencja.dat")), QByteArray("krótki"));
}

std::vector<TDokument> Dokumenty(int ile) {
    std::vector<TDokument> d(static_cast<std::size_t>(ile));
    for (int i = 0; i < ile; ++i) d[static_cast<std::size_t>(i)].numerator.ustaw(QString::number(i + 1));
    return d;
}

TEST_F(PlikiDanych, PrzebudowaBezRekordu) {
    struct Przypadek {
        int rekordow;
        QByteArray ogon;  // a torn record at the end
        int pozycja;
        std::vector<int> zostaja;  // numbers left, in order
    };
    const Przypadek przypadki[] = {
        {3, {}, 1, {2, 3}},
        {3, {}, 2, {1, 3}},
        {3, {}, 3, {1, 2}},
        {2, QByteArray(100, 'z'), 2, {1}},
        // More than one block of the copy on either side of the record left out.
        {200, {}, 101, {}},
    };
    for (const Przypadek& p : przypadki) {
        const std::vector<TDokument> dokumenty = Dokumenty(p.rekordow);
        ZapiszBajty(plik("Uslugi/dokumenty.dat"), Bajty(dokumenty) + p.ogon);
        PrzebudujBezRekordu(Posix(), plik("Uslugi/dokumenty.dat"), plik("Uslugi/dokumenty.old"), p.pozycja);
        std::vector<TDokument> oczekiwane = dokumenty;
        oczekiwane.erase(oczekiwane.begin() + (p.pozycja - 1));
        EXPECT_EQ(BajtyPliku(plik("Uslugi/dokumenty.dat")), Bajty(oczekiwane)) << "pozycja " << p.pozycja;
        for (std::size_t i = 0; i < p.zostaja.size(); ++i)
            EXPECT_EQ(oczekiwane[i].numerator.tekst().toInt(), p.zostaja[i]);
        EXPECT_FALSE(QFile::exists(plik("Uslugi/dokumenty.old")));
    }
}

TEST_F(PlikiDanych, PrzebudowaPozaPlikiemNicNieZmienia) {
    const QByteArray stare = Bajty(Dokumenty(2));
    for (const int pozycja : {0, 3, -1}) {
        ZapiszBajty(plik("Uslugi/dokumenty.dat"), stare);
        EXPECT_THROW(
            PrzebudujBezRekordu(Posix(), plik("Uslugi/dokumenty.dat"), plik("Uslugi/dokumenty.old"), pozycja),
            BladPliku);
        EXPECT_EQ(BajtyPliku(plik("Uslugi/dokumenty.dat")), stare);
        EXPECT_EQ(QDir(plik("Uslugi")).entryList(QDir::Files), QStringList{"dokumenty.dat"});
    }
}

TEST_F(PlikiDanych, PrzebudowaPrzyKazdymBledzie) {
    const std::vector<TDokument> dokumenty = Dokumenty(3);
    const QByteArray stare = Bajty(dokumenty);
    const QByteArray nowe = Bajty(std::vector{dokumenty[0], dokumenty[2]});
    bool udana = false;
    for (int k = 1; !udana && k < 30; ++k) {
        ZapiszBajty(plik("Uslugi/dokumenty.dat"), stare);
        ZawodnySystemPlikow zawodny;
        zawodny.zawiedzOd(k, false);
        try {
            PrzebudujBezRekordu(zawodny, plik("Uslugi/dokumenty.dat"), plik("Uslugi/dokumenty.old"), 2);
            udana = true;
        } catch (const BladPliku&) {
            // Old, or new when only the folder's sync after the rename failed.
            const QByteArray po = BajtyPliku(plik("Uslugi/dokumenty.dat"));
            EXPECT_TRUE(po == stare || po == nowe) << "k=" << k;
        }
        if (udana) {
            EXPECT_EQ(BajtyPliku(plik("Uslugi/dokumenty.dat")), nowe);
        }
        EXPECT_EQ(zawodny.liczbaOtwartych(), 0) << "k=" << k;
        EXPECT_EQ(QDir(plik("Uslugi")).entryList(QDir::Files), QStringList{"dokumenty.dat"}) << "k=" << k;
    }
    EXPECT_TRUE(udana);
}

}  // namespace
