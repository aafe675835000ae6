#include <gtest/gtest.h>
#include <locale.h>
#include <string.h>
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstring>

#include "pomocnicze.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

struct Rekord {
    char bajty[5];
};

Rekord R(const char (&tekst)[6]) {
    Rekord r;
    std::memcpy(r.bajty, tekst, 5);
    return r;
}

class PlikRekordowTest : public ::testing::Test {
  protected:
    QString sciezka(const QString& nazwa = QStringLiteral("plik.dat")) const {
        return katalog_.filePath(nazwa);
    }
    QTemporaryDir katalog_;
    SystemPlikow& system_ = DomyslnySystemPlikow();
};

TEST_F(PlikRekordowTest, TworzyDopisujeSzukaICzyta) {
    PlikRekordow plik(system_, sciezka(), sizeof(Rekord));
    plik.utworz();
    EXPECT_EQ(plik.liczbaRekordow(), 0);
    for (const Rekord& r : {R("aaaaa"), R("bbbbb"), R("ccccc")}) plik.zapisz(r);
    EXPECT_EQ(plik.liczbaRekordow(), 3);

    Rekord r{};
    plik.szukaj(1);
    plik.czytaj(r);
    EXPECT_EQ(QByteArray(r.bajty, 5), "bbbbb");
    plik.czytaj(r);
    EXPECT_EQ(QByteArray(r.bajty, 5), "ccccc");

    plik.szukaj(0);
    plik.zapisz(R("AAAAA"));  // in place
    plik.szukaj(3);
    plik.zapisz(R("ddddd"));  // at the end
    plik.zamknij();
    EXPECT_EQ(BajtyPliku(sciezka()), QByteArray("AAAAAbbbbbcccccddddd"));

    plik.otworz();
    EXPECT_EQ(plik.liczbaRekordow(), 4);
}

TEST_F(PlikRekordowTest, NiepelnyRekordNaKoncu) {
    ZapiszBajty(sciezka(), "aaaaabbbbbcc");
    PlikRekordow plik(system_, sciezka(), sizeof(Rekord));
    plik.otworzDoOdczytu();
    EXPECT_EQ(plik.liczbaRekordow(), 2);

    Rekord r{};
    plik.szukaj(2);
    EXPECT_THROW(plik.czytaj(r), BladPliku);
    EXPECT_THROW(plik.szukaj(3), BladPliku);
    EXPECT_THROW(plik.szukaj(-1), BladPliku);
    plik.szukaj(1);
    plik.czytaj(r);
    EXPECT_EQ(QByteArray(r.bajty, 5), "bbbbb");
    try {
        plik.czytaj(r);  // past the last whole record
        FAIL() << "brak wyjątku";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(blad.kod(), 0);
        EXPECT_EQ(blad.operacja(), QStringLiteral("odczyt"));
        EXPECT_EQ(blad.sciezka(), sciezka());
    }
}

TEST_F(PlikRekordowTest, PlikKrotszyNizRekord) {
    ZapiszBajty(sciezka(), "abc");
    Rekord r{};
    try {
        CzytajRekord(system_, sciezka(), r);
        FAIL() << "brak wyjątku";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(blad.komunikatSystemu(), QStringLiteral("plik jest krótszy niż jeden rekord"));
    }
}

TEST_F(PlikRekordowTest, BrakPlikuIZlyTypRekordu) {
    PlikRekordow plik(system_, sciezka("brak.dat"), sizeof(Rekord));
    try {
        plik.otworz();
        FAIL() << "brak wyjątku";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(blad.kod(), ENOENT);
        EXPECT_EQ(blad.operacja(), QStringLiteral("otwarcie"));
        EXPECT_EQ(blad.sciezka(), sciezka("brak.dat"));
    }
    Rekord r{};
    EXPECT_THROW(plik.czytaj(r), BladPliku);  // not open

    PlikRekordow inny(system_, sciezka(), 7);
    inny.utworz();
    EXPECT_THROW(inny.zapisz(r), std::invalid_argument);
}

TEST_F(PlikRekordowTest, BezPrawaZapisuOtwieraDoOdczytu) {
    ZapiszBajty(sciezka(), "aaaaa");
    ZawodnySystemPlikow zawodny;
    zawodny.zawiedzOd(1, false, EACCES);  // the read-write open is refused
    PlikRekordow plik(zawodny, sciezka(), sizeof(Rekord));
    plik.otworz();
    Rekord r{};
    plik.czytaj(r);
    EXPECT_EQ(QByteArray(r.bajty, 5), "aaaaa");
    EXPECT_THROW(plik.zapisz(r), BladPliku);  // the descriptor is read-only
    EXPECT_EQ(BajtyPliku(sciezka()), QByteArray("aaaaa"));
}

// Appending or overwriting under a failure of every single operation in turn: the file keeps whole
// records, and each record is the old or the new one, never a mixture.
TEST_F(PlikRekordowTest, NieudanyZapisNieZostawiaNiepelnegoRekordu) {
    struct Przypadek {
        std::int64_t pozycja;
        QByteArray nowy;  // file content when the write succeeds
    };
    const Przypadek przypadki[] = {{2, "aaaaabbbbbXXXXX"}, {1, "aaaaaXXXXX"}};
    for (const auto& p : przypadki) {
        for (int kod : {ENOSPC, EIO}) {
            bool udany = false;
            for (int k = 1; !udany && k < 20; ++k) {
                ZapiszBajty(sciezka(), "aaaaabbbbb");
                ZawodnySystemPlikow zawodny;
                zawodny.zawiedzOd(k, false, kod);
                try {
                    PlikRekordow plik(zawodny, sciezka(), sizeof(Rekord));
                    plik.otworz();
                    plik.szukaj(p.pozycja);
                    plik.zapisz(R("XXXXX"));
                    plik.zamknij();
                    udany = true;
                } catch (const BladPliku& blad) {
                    EXPECT_EQ(blad.kod(), kod);
                }
                const QByteArray wynik = BajtyPliku(sciezka());
                EXPECT_TRUE(wynik == "aaaaabbbbb" || wynik == p.nowy)
                    << "k=" << k << " pozycja " << p.pozycja << ": " << wynik.toStdString();
                EXPECT_EQ(zawodny.liczbaOtwartych(), 0);
            }
            EXPECT_TRUE(udany);
        }
    }
}

TEST_F(PlikRekordowTest, PelnyDyskPrzyDopisywaniu) {
    ZapiszBajty(sciezka(), "aaaaabbbbb");
    ZawodnySystemPlikow zawodny;
    zawodny.ustawWolneMiejsce(7);  // one more record fits, the second only partly
    PlikRekordow plik(zawodny, sciezka(), sizeof(Rekord));
    plik.otworz();
    plik.szukaj(2);
    plik.zapisz(R("ccccc"));
    try {
        plik.zapisz(R("ddddd"));
        FAIL() << "brak wyjątku";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(blad.kod(), ENOSPC);
        EXPECT_EQ(blad.komunikat(), QStringLiteral("Błąd pliku przy operacji „zapis” pliku „%1”: "
                                                   "Brak wolnego miejsca na dysku")
                                        .arg(sciezka()));
    }
    plik.zamknij();
    EXPECT_EQ(BajtyPliku(sciezka()), QByteArray("aaaaabbbbbccccc"));
}

class ZapisAtomowyTest : public PlikRekordowTest {
  protected:
    void SetUp() override { ZapiszBajty(cel(), stare_); }
    QString cel() const { return sciezka(QStringLiteral("faktura.dat")); }
    bool tylkoCel() const {
        return QDir(katalog_.path()).entryList(QDir::Files) == QStringList{"faktura.dat"};
    }

    const QByteArray stare_ = "stara zawartość";
    const QByteArray nowe_ = "nowa, dłuższa zawartość pliku";
};

TEST_F(ZapisAtomowyTest, KazdaOperacjaZawodzi) {
    for (bool naZawsze : {false, true}) {
        bool udany = false;
        for (int k = 1; !udany && k < 20; ++k) {
            SetUp();
            ZawodnySystemPlikow zawodny;
            zawodny.zawiedzOd(k, naZawsze);
            try {
                ZapiszAtomowo(zawodny, cel(), nowe_.constData(), static_cast<std::size_t>(nowe_.size()));
                udany = true;
            } catch (const BladPliku& blad) {
                EXPECT_EQ(blad.kod(), EIO);
            }
            const QByteArray wynik = BajtyPliku(cel());
            EXPECT_TRUE(wynik == stare_ || wynik == nowe_) << "k=" << k << ": " << wynik.toStdString();
            EXPECT_EQ(zawodny.liczbaOtwartych(), 0) << "k=" << k;
            if (naZawsze) {
                // A dead disk may keep the temporary file; the next write replaces it.
                zawodny.napraw();
                ZapiszAtomowo(zawodny, cel(), nowe_.constData(), static_cast<std::size_t>(nowe_.size()));
                EXPECT_EQ(BajtyPliku(cel()), nowe_);
            }
            EXPECT_TRUE(tylkoCel()) << "k=" << k << " naZawsze=" << naZawsze;
        }
        EXPECT_TRUE(udany);
    }
}

TEST_F(ZapisAtomowyTest, AwariaPoKazdejOperacji) {
    // Stop after k operations (the k-th fails for good) and crash: the target is whole, old or new,
    // whether the crash loses what was not synced or leaves garbage there.
    for (const auto rodzaj : {ZawodnySystemPlikow::Awaria::Utrata, ZawodnySystemPlikow::Awaria::Smieci}) {
        bool udany = false;
        for (int k = 1; !udany && k < 20; ++k) {
            SetUp();
            ZawodnySystemPlikow zawodny;
            zawodny.zawiedzOd(k, true);
            try {
                ZapiszAtomowo(zawodny, cel(), nowe_.constData(), static_cast<std::size_t>(nowe_.size()));
                udany = true;
            } catch (const BladPliku&) {
            }
            zawodny.symulujAwarie(rodzaj);
            const QByteArray wynik = BajtyPliku(cel());
            EXPECT_TRUE(udany ? wynik == nowe_ : (wynik == stare_ || wynik == nowe_))
                << "k=" << k << ": " << wynik.toStdString();
            EXPECT_TRUE(tylkoCel()) << "k=" << k;
        }
        EXPECT_TRUE(udany);
    }
}

TEST_F(ZapisAtomowyTest, AwariaZostawiaSmieciWNiesynchronizowanym) {
    ZawodnySystemPlikow zawodny;
    const int u = zawodny.otworz(cel(), TrybOtwarcia::OdczytZapis);
    zawodny.zapisz(u, 0, "XX", 2);
    zawodny.zapisz(u, static_cast<std::uint64_t>(stare_.size()), "ogon", 4);
    zawodny.zamknij(u);
    zawodny.symulujAwarie(ZawodnySystemPlikow::Awaria::Smieci);
    const QByteArray po = BajtyPliku(cel());
    ASSERT_EQ(po.size(), stare_.size() + 4) << "the length made it to the disk";
    EXPECT_NE(po.left(2), QByteArray("XX"));
    EXPECT_NE(po.left(2), stare_.left(2));
    EXPECT_EQ(po.mid(2, stare_.size() - 2), stare_.mid(2)) << "what was not written is untouched";
    EXPECT_NE(po.right(4), QByteArray("ogon"));

    // What was synced survives the crash whole.
    const int v = zawodny.otworz(cel(), TrybOtwarcia::OdczytZapis);
    zawodny.zapisz(v, 0, "YY", 2);
    zawodny.synchronizuj(v);
    zawodny.zamknij(v);
    zawodny.symulujAwarie(ZawodnySystemPlikow::Awaria::Smieci);
    EXPECT_EQ(BajtyPliku(cel()).left(2), QByteArray("YY"));
}

TEST_F(ZapisAtomowyTest, BladNazwanejOperacjiNaNazwanymPliku) {
    struct Przypadek {
        ZawodnySystemPlikow::Operacja rodzaj;
        const char* nazwa;
        int k;
        int bledow;
    };
    using O = ZawodnySystemPlikow::Operacja;
    const Przypadek przypadki[] = {
        {O::Zapis, "", 1, 1},                          // the one write of the temporary file
        {O::Zapis, "", 2, 0},                          // there is no second one
        {O::Zapis, "inny.dat", 1, 0},                  // another file's write never comes
        {O::ZmianaNazwy, "faktura.dat", 1, 1},         // a rename counts under either name
        {O::SynchronizacjaKatalogu, "faktura", 1, 0},  // a folder's name is its last component
    };
    for (const Przypadek& p : przypadki) {
        SetUp();
        ZawodnySystemPlikow zawodny;
        const QString tymczasowy = NazwaTymczasowa(cel());
        const QString nazwa =
            *p.nazwa ? QString::fromUtf8(p.nazwa) : tymczasowy.mid(tymczasowy.lastIndexOf('/') + 1);
        zawodny.zawiedz(p.rodzaj, nazwa, p.k);
        bool udany = true;
        try {
            ZapiszAtomowo(zawodny, cel(), nowe_.constData(), static_cast<std::size_t>(nowe_.size()));
        } catch (const BladPliku&) {
            udany = false;
        }
        EXPECT_EQ(zawodny.liczbaBledow(), p.bledow) << p.nazwa << " k=" << p.k;
        EXPECT_EQ(udany, p.bledow == 0) << p.nazwa << " k=" << p.k;
        EXPECT_EQ(BajtyPliku(cel()), p.bledow == 0 ? nowe_ : stare_) << p.nazwa;
        EXPECT_TRUE(tylkoCel()) << p.nazwa;
    }
}

TEST_F(ZapisAtomowyTest, AwariaZapominaNiesynchronizowane) {
    ZawodnySystemPlikow zawodny;
    // Written in place without sync: the old content comes back.
    int u = zawodny.otworz(cel(), TrybOtwarcia::OdczytZapis);
    zawodny.zapisz(u, 0, "XX", 2);
    zawodny.zamknij(u);
    // Created and synced, but its folder was not: the file disappears.
    u = zawodny.otworz(sciezka("nowy.dat"), TrybOtwarcia::UtworzNowy);
    zawodny.zapisz(u, 0, "abc", 3);
    zawodny.synchronizuj(u);
    zawodny.zamknij(u);
    zawodny.symulujAwarie();
    EXPECT_EQ(BajtyPliku(cel()), stare_);
    EXPECT_TRUE(tylkoCel());

    // Renamed over the target without a folder sync: the rename is undone.
    ZapiszBajty(sciezka("inny.dat"), "inny");
    zawodny.zmienNazwe(sciezka("inny.dat"), cel());
    EXPECT_EQ(BajtyPliku(cel()), QByteArray("inny"));
    zawodny.symulujAwarie();
    EXPECT_EQ(BajtyPliku(cel()), stare_);
}

TEST_F(ZapisAtomowyTest, ZapewnijPlikTworzyTylkoBrakujacy) {
    EXPECT_FALSE(ZapewnijPlik(system_, cel(), "x", 1));
    EXPECT_EQ(BajtyPliku(cel()), stare_);
    EXPECT_TRUE(ZapewnijPlik(system_, sciezka("nowy.dat"), "nowy", 4));
    EXPECT_EQ(BajtyPliku(sciezka("nowy.dat")), QByteArray("nowy"));
    EXPECT_FALSE(PlikIstnieje(system_, sciezka("brak.dat")));
    UsunPlik(system_, sciezka("nowy.dat"));
    EXPECT_TRUE(tylkoCel());
    EXPECT_THROW(UsunPlik(system_, sciezka("nowy.dat")), BladPliku);
}

TEST_F(ZapisAtomowyTest, BladNazywaPlikIBrakujacyFolder) {
    const QString cel = sciezka(QStringLiteral("Admini/siec.dat"));
    try {
        ZapiszAtomowo(system_, cel, "x", 1);
        FAIL() << "brak wyjątku";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(blad.sciezka(), cel);
        EXPECT_TRUE(
            blad.komunikat().contains(QStringLiteral("Nie ma folderu „%1/Admini”").arg(katalog_.path())))
            << blad.komunikat().toStdString();
        EXPECT_FALSE(blad.komunikat().contains(".tmp")) << "the temporary name is this function's own detail";
    }
}

// Anything but a regular file in place of a data file is refused at once with a Polish reason, for
// every way of opening it; a pipe never makes the program wait.
TEST_F(PlikRekordowTest, TylkoZwyklyPlik) {
    const QString potok = sciezka(QStringLiteral("potok.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(potok).constData(), 0644), 0);
    ASSERT_TRUE(QDir(katalog_.path()).mkdir(QStringLiteral("katalog.dat")));
    const struct {
        QString sciezka;
        const char* powod;
    } przypadki[] = {
        {potok, "potok"},
        {sciezka(QStringLiteral("katalog.dat")), "katalog"},
        {QStringLiteral("/dev/null"), "urządzenie"},
    };
    for (const auto& p : przypadki) {
        for (const TrybOtwarcia tryb :
             {TrybOtwarcia::Odczyt, TrybOtwarcia::OdczytZapis, TrybOtwarcia::Utworz}) {
            try {
                system_.otworz(p.sciezka, tryb);
                ADD_FAILURE() << p.sciezka.toStdString() << " otwarty";
            } catch (const BladPliku& blad) {
                EXPECT_TRUE(blad.komunikat().contains(QString::fromUtf8(p.powod)) &&
                            blad.komunikat().contains(p.sciezka))
                    << blad.komunikat().toStdString();
            }
        }
    }
}

TEST(KomunikatSystemu, ZawszePoPolsku) {
    const locale_t angielski = ::newlocale(LC_MESSAGES_MASK, "C", static_cast<locale_t>(nullptr));
    ASSERT_TRUE(angielski);
    for (int kod = 1; kod < 134; ++kod) {
        const QString tekst = KomunikatSystemu(kod);
        EXPECT_FALSE(tekst.isEmpty()) << kod;
        EXPECT_NE(tekst, QString::fromUtf8(::strerror_l(kod, angielski)))
            << kod << ": " << tekst.toStdString();
    }
    ::freelocale(angielski);
    EXPECT_EQ(KomunikatSystemu(ESPIPE).contains("Illegal"), false);
}

}  // namespace
