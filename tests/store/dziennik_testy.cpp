// The document file's lock and journal: one change at a time, and whatever a crash or a failed
// write leaves, the next change finds every record whole, the old one or the new one.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "calc/dokument.h"
#include "pomocnicze.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_dokumentow.h"
#include "store/rekordy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

TDokument Dok(const char* numer, char wypelnienie = 'a') {
    TDokument d{};
    std::memset(&d, wypelnienie, sizeof d);
    d.rodzaj.ustaw(QStringLiteral("F"));
    d.numerator.ustaw(QString::fromLatin1(numer));
    return d;
}

class Dziennik : public ::testing::Test {
  protected:
    void SetUp() override { UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(300)); }
    void TearDown() override { UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(5000)); }
    QString dokumenty() const { return katalog_.filePath("dokumenty.dat"); }
    QStringList pliki() const { return QDir(katalog_.path()).entryList(QDir::Files); }
    QTemporaryDir katalog_;
};

TEST_F(Dziennik, ZastapienieIDopisanie) {
    const TDokument a = Dok("1", 'a'), b = Dok("2", 'b'), c = Dok("3", 'c');
    ZapiszBajty(dokumenty(), Bajty(std::vector{a, b}));
    PlikDokumentow plik(Posix(), dokumenty());
    EXPECT_EQ(plik.znajdz(2, b), 2);
    plik.zastap(2, c);
    EXPECT_EQ(plik.dopisz(a), 3);
    plik.zakoncz();
    EXPECT_EQ(BajtyPliku(dokumenty()), Bajty(std::vector{a, c, a}));
    EXPECT_EQ(pliki(), QStringList{"dokumenty.dat"}) << "the journal is gone";
}

TEST_F(Dziennik, DokumentPokazanyJestOdnajdywanyAlboOdrzucony) {
    const TDokument a = Dok("1", 'a'), b = Dok("2", 'b'), c = Dok("3", 'c');
    ZapiszBajty(dokumenty(), Bajty(std::vector{a, b, c}));
    PlikDokumentow plik(Posix(), dokumenty());
    EXPECT_EQ(plik.znajdz(2, b), 2);
    EXPECT_EQ(plik.znajdz(3, b), 2) << "moved up by a delete before it";
    EXPECT_EQ(plik.znajdz(9, c), 3);
    for (const auto& [pozycja, oczekiwany] : {std::pair{2, Dok("2", 'x')}, std::pair{0, TDokument{}}}) {
        try {
            plik.znajdz(pozycja, oczekiwany);
            ADD_FAILURE() << "pozycja " << pozycja << " przyjęta";
        } catch (const BladPliku& blad) {
            EXPECT_TRUE(blad.komunikat().contains("na innym stanowisku")) << blad.komunikat().toStdString();
            EXPECT_TRUE(blad.komunikat().contains(dokumenty()));
        }
    }
    plik.zakoncz();
    // Two records equal to it: which one is meant cannot be told, so none is touched.
    ZapiszBajty(dokumenty(), Bajty(std::vector{a, b, b}));
    PlikDokumentow dwa(Posix(), dokumenty());
    EXPECT_THROW(dwa.znajdz(1, b), BladPliku);
}

// What the next change does with the journal that a crash left, for each state of the record.
TEST_F(Dziennik, NastepnaZmianaDokanczaAlboPorzucaPrzerwana) {
    const TDokument a = Dok("1", 'a'), stary = Dok("2", 'b'), nowy = Dok("2", 'n');
    QByteArray pomieszany = Bajty(stary);
    pomieszany.replace(0, 1000, Bajty(nowy).left(1000));
    struct Przypadek {
        const char* opis;
        bool dopisanie;
        QByteArray naDysku;  // the document file after the crash
        QByteArray oczekiwany;
    };
    const Przypadek przypadki[] = {
        {"zastąpienie nie zaczęte", false, Bajty(std::vector{a, stary}), Bajty(std::vector{a, stary})},
        {"zastąpienie w połowie", false, Bajty(a) + pomieszany, Bajty(std::vector{a, nowy})},
        {"zastąpienie ze śmieciami", false, Bajty(a) + QByteArray(3251, '\xA5'), Bajty(std::vector{a, nowy})},
        {"zastąpienie skończone", false, Bajty(std::vector{a, nowy}), Bajty(std::vector{a, nowy})},
        {"dopisanie nie zaczęte", true, Bajty(a), Bajty(a)},
        {"dopisanie w połowie", true, Bajty(a) + Bajty(nowy).left(1200), Bajty(std::vector{a, nowy})},
        {"dopisanie ze śmieciami", true, Bajty(a) + QByteArray(3251, '\xA5'), Bajty(std::vector{a, nowy})},
        {"dopisanie skończone", true, Bajty(std::vector{a, nowy}), Bajty(std::vector{a, nowy})},
    };
    for (const Przypadek& p : przypadki) {
        // The journal as the interrupted change wrote it, taken from a run that stops right after.
        ZapiszBajty(dokumenty(), p.dopisanie ? Bajty(a) : Bajty(std::vector{a, stary}));
        {
            ZawodnySystemPlikow zawodny;
            // Every write of the document file fails, the restore too: the change stops there.
            zawodny.zawiedz(ZawodnySystemPlikow::Operacja::Zapis, QStringLiteral("dokumenty.dat"), 1, true);
            PlikDokumentow plik(zawodny, dokumenty());
            if (p.dopisanie)
                plik.dopisz(nowy);
            else
                plik.zastap(2, nowy);
            EXPECT_TRUE(plik.zapisNiedokonczony()) << p.opis;
            EXPECT_THROW(plik.zakoncz(), BladPliku) << p.opis;
        }
        ASSERT_TRUE(QFile::exists(SciezkaDziennika(dokumenty()))) << p.opis;
        ZapiszBajty(dokumenty(), p.naDysku);
        { PlikDokumentow plik(Posix(), dokumenty()); }
        EXPECT_EQ(BajtyPliku(dokumenty()), p.oczekiwany) << p.opis;
        EXPECT_EQ(pliki(), QStringList{"dokumenty.dat"}) << p.opis;
    }
}

TEST_F(Dziennik, UszkodzonyDziennikNieZmieniaPliku) {
    const TDokument a = Dok("1");
    ZapiszBajty(dokumenty(), Bajty(a));
    for (const QByteArray& dziennik : {QByteArray("FKTDZN01 urwany"), QByteArray(6531, 'x'), QByteArray()}) {
        ZapiszBajty(SciezkaDziennika(dokumenty()), dziennik);
        { PlikDokumentow plik(Posix(), dokumenty()); }
        EXPECT_EQ(BajtyPliku(dokumenty()), Bajty(a));
        EXPECT_EQ(pliki(), QStringList{"dokumenty.dat"});
    }
}

TEST_F(Dziennik, PozostalosciUsuwaPodBlokada) {
    const TDokument a = Dok("1"), b = Dok("2");
    ZapiszBajty(dokumenty(), Bajty(std::vector{a, b}) + "urwany ogon");
    ZapiszBajty(katalog_.filePath("dokumenty.old"), "przerwana przebudowa");
    DokonczPrzerwaneZmiany(Posix(), dokumenty());
    EXPECT_EQ(BajtyPliku(dokumenty()), Bajty(std::vector{a, b}));
    EXPECT_EQ(pliki(), QStringList{"dokumenty.dat"});
}

TEST_F(Dziennik, StartNieRuszaPlikuZablokowanegoGdzieIndziej) {
    const TDokument a = Dok("1");
    ZapiszBajty(dokumenty(), Bajty(a) + "ogon w trakcie dopisywania");
    ZablokowanyPlik trzyma(Posix(), dokumenty());
    DokonczPrzerwaneZmiany(Posix(), dokumenty());
    EXPECT_EQ(BajtyPliku(dokumenty()).size(), 3251 + 26) << "another workstation's append is not cut";
}

TEST_F(Dziennik, BlokadaZajetaMowiKtoryPlik) {
    ZapiszBajty(dokumenty(), Bajty(Dok("1")));
    ZablokowanyPlik pierwsza(Posix(), dokumenty());
    try {
        PlikDokumentow druga(Posix(), dokumenty());
        FAIL() << "the second lock was granted";
    } catch (const BladPliku& blad) {
        EXPECT_EQ(
            blad.komunikat(),
            QStringLiteral("Plik „%1” jest używany na innym stanowisku; spróbuj ponownie").arg(dokumenty()));
    }
    pierwsza.zamknij();
    EXPECT_NO_THROW(PlikDokumentow(Posix(), dokumenty()).zakoncz());
}

TEST_F(Dziennik, CzekajacyBlokujePlikPodstawionyZmianaNazwy) {
    const QString ustawienia = katalog_.filePath("faktura.dat");
    ZapiszBajty(ustawienia, "stary");
    UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds(5000));
    auto pierwsza = std::make_unique<ZablokowanyPlik>(Posix(), ustawienia);
    std::atomic<bool> ma{false};
    OpisPliku zablokowany;
    std::thread druga([&] {
        ZablokowanyPlik b(Posix(), ustawienia);
        zablokowany = b.plik().opisz();
        ma = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(ma);
    ZapiszAtomowo(Posix(), ustawienia, "nowy", 4);  // replaced while the first copy holds the lock
    pierwsza.reset();
    druga.join();
    ASSERT_TRUE(ma);
    const OpisPliku teraz = Posix().opisz(ustawienia);
    EXPECT_EQ(zablokowany.wezel, teraz.wezel) << "the lock is on the file the name now names";
}

TEST_F(Dziennik, OstatniNumerSerii) {
    auto d = [](const char* rodzaj, const char* numer, const char* rozszerzenie) {
        TDokument x{};
        x.rodzaj.ustaw(QString::fromLatin1(rodzaj));
        x.numerator.ustaw(QString::fromLatin1(numer));
        x.rozszerzenie.ustaw(QString::fromLatin1(rozszerzenie));
        return x;
    };
    std::vector<TDokument> wiele;
    for (int i = 1; i <= 150; ++i) wiele.push_back(d("F", QByteArray::number(i).constData(), "2026"));
    wiele.push_back(d("K", "9", "2026"));
    wiele.push_back(d("F", "3", "2027"));
    ZapiszBajty(dokumenty(), Bajty(wiele) + "ogon");
    const auto faktura = [](const TDokument& d) { return JestFaktura(d); };
    const auto korekta = [](const TDokument& d) { return JestKorekta(d); };
    EXPECT_EQ(NumerOstatniegoDokumentu(Posix(), dokumenty(), faktura, "2026"), QStringLiteral("150"));
    EXPECT_EQ(NumerOstatniegoDokumentu(Posix(), dokumenty(), faktura, "2027"), QStringLiteral("3"));
    EXPECT_EQ(NumerOstatniegoDokumentu(Posix(), dokumenty(), korekta, "2026"), QStringLiteral("9"));
    EXPECT_EQ(NumerOstatniegoDokumentu(Posix(), dokumenty(), korekta, "2027"), std::nullopt);
}

}  // namespace
