// The window of faktura-ksef on the offscreen platform, on a data folder whose KSeF states are
// written by the test: what the table shows, the filters, which buttons may be used, how a run of
// sending or of the offline issue reaches the layer below (a double of the test's own) and shows
// what came back, the current document's QR codes (read back with zbarimg) and the offline deadlines.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "calc/dokument.h"
#include "eksport/dane_eksportu.h"
#include "eksport/nazwy_plikow.h"
#include "ksef/kody_qr.h"
#include "print/kod_qr.h"
#include "store/blad.h"
#include "store/stan_ksef.h"
#include "store/system_plikow.h"
#include "store/ustawienia_ksef.h"
#include "wspolne/katalog_testowy.h"
#include "wysylka/okno_ksef.h"

namespace {

// January: one unsent; February: accepted with its UPO, rejected; March: offline, sent and waiting,
// accepted without UPO. The pad's first record comes first in the file and is no document.
std::vector<TDokument> DokumentyOkna() {
    const auto faktura = [](const char* numer, const char* data, const char* nabywca, const char* cena) {
        return NowaFaktura({numer, "2026", data, nabywca, "", "Przelew", "7 dni"},
                           {{"Usługa", "", "szt.", "1", cena, "23"}});
    };
    return {RekordPoczatkowy(QStringLiteral("2026-01-01")),
            faktura("1", "2026-01-10", "Jan Kowalski", "100.00"),
            faktura("2", "2026-02-03", "Anna Nowak", "200.00"),
            faktura("3", "2026-02-20", "Biuro Rachunkowe Bilans", "10.00"),
            faktura("4", "2026-03-01", "Sklep Żółw", "1000.00"),
            faktura("5", "2026-03-05", "Jan Kowalski", "50.00"),
            faktura("6", "2026-03-09", "Anna Nowak", "1.00")};
}

void UstawStan(const QString& nazwa, const std::function<void(StanKsef&)>& zmien) {
    ZmienStanKsef(DomyslnySystemPlikow(), nazwa, [&](std::optional<StanKsef>& s) {
        if (!s) s.emplace();
        zmien(*s);
    });
}

class OknoKsefTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TDaneFirmy firma = FirmaTestowa();
        firma.nip.ustaw(QStringLiteral("526-587-76-35"));
        katalog.zapisz(QStringLiteral("Admini/firma.dat"), Bajty(firma));
        const std::vector<TDokument> dokumenty = DokumentyOkna();
        katalog.zapiszRekordy(QStringLiteral("Uslugi/dokumenty.dat"), dokumenty);
        for (const TDokument& d : dokumenty) nazwy.append(NazwaDokumentu(d));
        UstawieniaKsef u;
        u.srodowisko = QStringLiteral("http://127.0.0.1:9/v2");
        u.poswiadczenie = UstawieniaKsef::Poswiadczenie::Token;
        ZapiszUstawieniaKsef(DomyslnySystemPlikow(), u);

        UstawStan(nazwy[2], [](StanKsef& s) {
            s.stan = StanWysylki::Przyjety;
            s.numerKsef = QStringLiteral("5265877635-20260203-0100001AF629-AF");
            s.maUpo = true;
        });
        UstawStan(nazwy[3], [](StanKsef& s) {
            s.stan = StanWysylki::Odrzucony;
            s.kod = 450;
            s.powod = QStringLiteral("Błąd weryfikacji semantyki dokumentu");
        });
        UstawStan(nazwy[4], [](StanKsef& s) {
            s.stan = StanWysylki::Offline;
            s.trybOffline = QStringLiteral("offline24");
            s.terminOffline = QDate(2026, 3, 2);
        });
        UstawStan(nazwy[5], [](StanKsef& s) { s.stan = StanWysylki::Wyslany; });
        UstawStan(nazwy[6], [](StanKsef& s) {
            s.stan = StanWysylki::Przyjety;
            s.numerKsef = QStringLiteral("5265877635-20260309-0100001AF62A-00");
        });

        okno = std::make_unique<OknoKsef>(DomyslnySystemPlikow());
        okno->uslugi.blad = [this](QWidget*, const QString& tekst) { bledy.append(tekst); };
        okno->uslugi.czytajSekret = [this](const QString& nazwa) {
            WynikSejfu w;
            if (sejf.contains(nazwa)) w.wartosc = sejf.value(nazwa);
            return w;
        };
        okno->uslugi.zapiszSekret = [this](const QString& nazwa, const QString& wartosc) {
            sejf.insert(nazwa, wartosc);
            WynikSejfu w;
            w.wartosc = wartosc;
            return w;
        };
        okno->uslugi.zapytajOSekret = [this](QWidget*, const QString& pytanie, bool) {
            pytania.append(pytanie);
            std::optional<PodanySekret> odpowiedz = odpowiedzi.empty() ? std::nullopt : odpowiedzi.front();
            if (!odpowiedzi.empty()) odpowiedzi.erase(odpowiedzi.begin());
            return odpowiedz;
        };
        okno->uslugi.wyslij = [](SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&) -> WynikWysylki {
            throw Odmowa(QStringLiteral("w tym teście nic nie jest wysyłane"));
        };
        okno->uslugi.dzisiaj = [this] { return dzisiaj; };
        okno->uslugi.wystawOffline = [](SystemPlikow&, const ZadanieOffline&,
                                        const PostepWysylki&) -> WynikWysylki {
            throw Odmowa(QStringLiteral("w tym teście nic nie jest wystawiane"));
        };
        okno->uslugi.zapytajOTrybOffline = [this](QWidget*, int dokumentow, const QDate& dzien) {
            pytaniaOTryb.append(QStringLiteral("%1 %2").arg(dokumentow).arg(dzien.toString(Qt::ISODate)));
            return wyborOffline;
        };
        okno->wczytaj();
    }

    QString nazwaTokenu() const {
        return NazwaSekretu(RodzajSekretu::Token, QStringLiteral("5265877635"),
                            QStringLiteral("http://127.0.0.1:9/v2"));
    }
    int wiersz(const QString& numer) const {
        for (int r = 0; r < okno->tabela->rowCount(); ++r)
            if (okno->tabela->item(r, OknoKsef::Numer)->text() == numer) return r;
        return -1;
    }
    QStringList widoczneNumery() const {
        QStringList numery;
        for (int r = 0; r < okno->tabela->rowCount(); ++r)
            if (!okno->tabela->isRowHidden(r)) numery.append(okno->tabela->item(r, OknoKsef::Numer)->text());
        return numery;
    }
    void zaznacz(const QStringList& numery) {
        okno->tabela->clearSelection();
        for (const QString& n : numery) {
            const int r = wiersz(n);
            ASSERT_GE(r, 0) << qPrintable(n);
            for (int k = 0; k < OknoKsef::LiczbaKolumn; ++k) okno->tabela->item(r, k)->setSelected(true);
        }
    }
    void filtr(QComboBox* pole, const QVariant& dane) {
        const int i = pole->findData(dane);
        ASSERT_GE(i, 0);
        pole->setCurrentIndex(i);
    }

    KatalogTestowy katalog;
    QStringList nazwy;  // of the records in file order
    std::unique_ptr<OknoKsef> okno;
    QStringList bledy, pytania;
    QMap<QString, QString> sejf;
    std::vector<std::optional<PodanySekret>> odpowiedzi;
    QDate dzisiaj{2026, 2, 20};  // far from every deadline of the data
    QStringList pytaniaOTryb;
    std::optional<WyborOffline> wyborOffline;
};

TEST_F(OknoKsefTest, WierszeIStanyDokumentow) {
    struct Przypadek {
        const char* numer;
        const char* data;
        const char* nabywca;
        const char* brutto;
        const char* stan;
        const char* numerKsef;
        const char* uwagi;  // a part of the column's text
    };
    const Przypadek przypadki[] = {
        {"1/2026", "2026-01-10", "Jan Kowalski", "123.00", "niewysłany", "", ""},
        {"2/2026", "2026-02-03", "Anna Nowak", "246.00", "przyjęty", "5265877635-20260203-0100001AF629-AF",
         "UPO pobrane"},
        {"3/2026", "2026-02-20", "Biuro Rachunkowe Bilans", "12.30", "odrzucony", "",
         "kod 450: Błąd weryfikacji semantyki dokumentu"},
        {"4/2026", "2026-03-01", "Sklep Żółw", "1230.00", "offline", "", "wyślij do 2026-03-02 (offline24)"},
        {"5/2026", "2026-03-05", "Jan Kowalski", "61.50", "wysłany", "", "czeka na decyzję KSeF"},
        {"6/2026", "2026-03-09", "Anna Nowak", "1.23", "przyjęty", "5265877635-20260309-0100001AF62A-00",
         "brak UPO"},
    };
    ASSERT_EQ(okno->tabela->rowCount(), static_cast<int>(std::size(przypadki)))
        << "the pad's start is no document";
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.numer);
        const int r = wiersz(QString::fromUtf8(p.numer));
        ASSERT_GE(r, 0);
        const auto tekst = [&](int k) { return okno->tabela->item(r, k)->text(); };
        EXPECT_EQ(tekst(OknoKsef::Data), QString::fromUtf8(p.data));
        EXPECT_EQ(tekst(OknoKsef::Nabywca), QString::fromUtf8(p.nabywca));
        EXPECT_EQ(tekst(OknoKsef::Brutto), QString::fromUtf8(p.brutto));
        EXPECT_EQ(tekst(OknoKsef::Stan), QString::fromUtf8(p.stan));
        EXPECT_EQ(tekst(OknoKsef::NumerKsef), QString::fromUtf8(p.numerKsef));
        EXPECT_TRUE(tekst(OknoKsef::Uwagi).contains(QString::fromUtf8(p.uwagi)))
            << qPrintable(tekst(OknoKsef::Uwagi));
    }
    EXPECT_TRUE(okno->stan->text().startsWith(QStringLiteral("Dokumentów: 6")))
        << qPrintable(okno->stan->text());
    EXPECT_TRUE(bledy.isEmpty());
}

TEST_F(OknoKsefTest, FiltryMiesiacaIStanu) {
    QStringList miesiace;
    for (int i = 0; i < okno->filtr_miesiaca->count(); ++i)
        miesiace.append(okno->filtr_miesiaca->itemText(i));
    EXPECT_EQ(miesiace, (QStringList{QStringLiteral("Wszystkie miesiące"), QStringLiteral("2026-03"),
                                     QStringLiteral("2026-02"), QStringLiteral("2026-01")}));
    struct Przypadek {
        const char* miesiac;  // "" all
        int stan;             // -1 all
        QStringList widoczne;
    };
    const Przypadek przypadki[] = {
        {"", -1, {"1/2026", "2/2026", "3/2026", "4/2026", "5/2026", "6/2026"}},
        {"2026-02", -1, {"2/2026", "3/2026"}},
        {"", static_cast<int>(StanWysylki::Przyjety), {"2/2026", "6/2026"}},
        {"2026-03", static_cast<int>(StanWysylki::Przyjety), {"6/2026"}},
        {"2026-01", static_cast<int>(StanWysylki::Odrzucony), {}},
        {"", static_cast<int>(StanWysylki::Niewyslany), {"1/2026"}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(std::string(p.miesiac) + " " + std::to_string(p.stan));
        filtr(okno->filtr_miesiaca, QString::fromUtf8(p.miesiac));
        filtr(okno->filtr_stanu, p.stan);
        EXPECT_EQ(widoczneNumery(), p.widoczne);
    }
    // Read again, the filters stay.
    okno->wczytaj();
    EXPECT_EQ(widoczneNumery(), QStringList{QStringLiteral("1/2026")});
    EXPECT_EQ(okno->filtr_miesiaca->currentText(), QStringLiteral("Wszystkie miesiące"));
}

TEST_F(OknoKsefTest, DostepnoscPrzyciskow) {
    struct Przypadek {
        const char* opis;
        const char* miesiac;
        QStringList zaznaczone;
        bool zaznaczone_, niewyslane, upo;
    };
    const Przypadek przypadki[] = {
        {"nothing selected", "", {}, false, true, true},
        {"only documents in KSeF", "", {"2/2026", "5/2026"}, false, true, true},
        {"an unsent one among them", "", {"2/2026", "1/2026"}, true, true, true},
        {"a rejected one may go again", "", {"3/2026"}, true, true, true},
        {"an offline one is still to go", "", {"4/2026"}, true, true, true},
        {"February: the rejected one", "2026-02", {}, false, true, true},
        {"a selection hidden by the filter", "2026-03", {"1/2026"}, false, true, true},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        filtr(okno->filtr_miesiaca, QString::fromUtf8(p.miesiac));
        zaznacz(p.zaznaczone);
        filtr(okno->filtr_miesiaca, QString::fromUtf8(p.miesiac));
        okno->filtruj();
        EXPECT_EQ(okno->wyslij_zaznaczone->isEnabled(), p.zaznaczone_);
        EXPECT_EQ(okno->wyslij_niewyslane->isEnabled(), p.niewyslane);
        EXPECT_EQ(okno->pobierz_upo->isEnabled(), p.upo);
        EXPECT_FALSE(okno->przerwij->isEnabled());
    }

    // Everything in KSeF and every UPO fetched: nothing to do.
    for (int i : {1, 3, 4})
        UstawStan(nazwy[i], [](StanKsef& s) {
            s.stan = StanWysylki::Przyjety;
            s.maUpo = true;
        });
    UstawStan(nazwy[6], [](StanKsef& s) { s.maUpo = true; });
    okno->wczytaj();
    filtr(okno->filtr_miesiaca, QString());
    zaznacz({QStringLiteral("1/2026")});
    EXPECT_FALSE(okno->wyslij_zaznaczone->isEnabled());
    EXPECT_FALSE(okno->wyslij_niewyslane->isEnabled());
    EXPECT_FALSE(okno->pobierz_upo->isEnabled());
}

// "Wyślij zaznaczone": the selected documents not in KSeF, by their places in the file, in one run
// on a worker thread; its progress reaches the bar, the table is read again at the end.
TEST_F(OknoKsefTest, WysylanieZaznaczonychWWatku) {
    sejf.insert(nazwaTokenu(), QStringLiteral("token-z-sejfu"));
    struct Wywolanie {
        std::vector<std::int64_t> pozycje;
        bool innyWybor;
        QString token, nip, api;
        bool wWatkuOkna;
    };
    auto wywolania = std::make_shared<std::vector<Wywolanie>>();
    auto zamek = std::make_shared<QMutex>();
    QThread* watekOkna = QThread::currentThread();
    const QStringList nazwyRekordow = nazwy;
    zamek->lock();  // the run waits until the window is seen sending
    okno->uslugi.wyslij = [=](SystemPlikow& system, const ZadanieWysylki& z, const PostepWysylki& p) {
        const QMutexLocker czekaj(zamek.get());
        const std::vector<std::int64_t> pozycje = z.wybor.pozycje.value_or(std::vector<std::int64_t>{});
        wywolania->push_back({pozycje, z.wybor.pozycja || z.wybor.miesiac || z.wybor.numer || z.wybor.rok,
                              z.poswiadczenia.token, z.poswiadczenia.nipKontekstu,
                              z.srodowisko.api.toString(), QThread::currentThread() == watekOkna});
        WynikWysylki w;
        for (const std::int64_t pozycja : pozycje) {
            p.komunikat(QStringLiteral("wysłano dokument"));
            p.postep(w.wyslane, static_cast<int>(pozycje.size()));
            ZmienStanKsef(system, nazwyRekordow[static_cast<int>(pozycja - 1)],
                          [](std::optional<StanKsef>& s) {
                              s.emplace();
                              s->stan = StanWysylki::Przyjety;
                              s->numerKsef = QStringLiteral("5265877635-20260310-0100001AF62B-00");
                          });
            ++w.wyslane;
            ++w.przyjete;
        }
        return w;
    };
    zaznacz({QStringLiteral("1/2026"), QStringLiteral("2/2026"), QStringLiteral("3/2026")});
    QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
    okno->wyslij_zaznaczone->click();
    EXPECT_TRUE(okno->wysylanie());
    for (QPushButton* p :
         {okno->wyslij_zaznaczone, okno->wyslij_niewyslane, okno->pobierz_upo, okno->odswiez})
        EXPECT_FALSE(p->isEnabled()) << qPrintable(p->objectName());
    EXPECT_TRUE(okno->przerwij->isEnabled());
    zamek->unlock();
    ASSERT_TRUE(koniec.wait(10000));

    ASSERT_EQ(wywolania->size(), 1u) << "one login for the whole selection";
    EXPECT_EQ((*wywolania)[0].pozycje, (std::vector<std::int64_t>{2, 4}))
        << "the accepted one is not sent again";
    for (const auto& w : *wywolania) {
        EXPECT_FALSE(w.innyWybor);
        EXPECT_FALSE(w.wWatkuOkna);
        EXPECT_EQ(w.token, QStringLiteral("token-z-sejfu"));
        EXPECT_EQ(w.nip, QStringLiteral("5265877635"));
        EXPECT_EQ(w.api, QStringLiteral("http://127.0.0.1:9/v2"));
    }
    EXPECT_TRUE(pytania.isEmpty()) << "the keyring had the token";
    EXPECT_EQ(okno->postep->value(), okno->postep->maximum());
    EXPECT_EQ(okno->tabela->item(wiersz(QStringLiteral("1/2026")), OknoKsef::Stan)->text(),
              QStringLiteral("przyjęty"));
    EXPECT_EQ(okno->tabela->item(wiersz(QStringLiteral("3/2026")), OknoKsef::NumerKsef)->text(),
              QStringLiteral("5265877635-20260310-0100001AF62B-00"));
    EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Wysłane: 2, przyjęte: 2")))
        << qPrintable(okno->stan->text());
    EXPECT_FALSE(okno->wysylanie());
    EXPECT_TRUE(okno->wyslij_niewyslane->isEnabled());
    EXPECT_TRUE(bledy.isEmpty());
}

// "Przerwij", and closing the window while it sends: the sending layer is told to stop after its
// step in hand, and the window goes only once the run has ended.
TEST_F(OknoKsefTest, PrzerwanieIZamkniecieWTrakcie) {
    sejf.insert(nazwaTokenu(), QStringLiteral("t"));
    for (const bool zamknij : {false, true}) {
        SCOPED_TRACE(zamknij);
        okno->show();
        auto pozycje = std::make_shared<std::vector<std::int64_t>>();
        auto przerwano = std::make_shared<std::atomic<int>>(0);
        auto zamek = std::make_shared<QMutex>();
        auto weszlo = std::make_shared<QSemaphore>();
        zamek->lock();
        okno->uslugi.wyslij = [pozycje, przerwano, zamek, weszlo](SystemPlikow&, const ZadanieWysylki& z,
                                                                  const PostepWysylki& p) {
            weszlo->release();
            const QMutexLocker czekaj(zamek.get());
            // The first document done; the layer asks before the next one.
            *pozycje = z.wybor.pozycje.value_or(std::vector<std::int64_t>{});
            *przerwano = p.przerwij() ? 1 : 0;
            WynikWysylki w;
            w.wyslane = 1;
            return w;
        };
        zaznacz({QStringLiteral("1/2026"), QStringLiteral("3/2026"), QStringLiteral("4/2026")});
        QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
        okno->wyslij_zaznaczone->click();
        ASSERT_TRUE(okno->wysylanie());
        ASSERT_TRUE(weszlo->tryAcquire(1, 10000)) << "the first document is in hand";
        if (zamknij) {
            EXPECT_FALSE(okno->close()) << "the window waits for the step in hand";
            EXPECT_TRUE(okno->isVisible());
        } else {
            okno->przerwij->click();
            EXPECT_FALSE(okno->przerwij->isEnabled());
        }
        zamek->unlock();
        ASSERT_TRUE(koniec.wait(10000));
        EXPECT_EQ(*pozycje, (std::vector<std::int64_t>{2, 4, 5}));
        EXPECT_EQ(przerwano->load(), 1) << "the layer was told to stop";
        EXPECT_EQ(okno->isVisible(), !zamknij);
        if (!zamknij) {
            EXPECT_TRUE(okno->stan->text().startsWith(QStringLiteral("Przerwano.")))
                << qPrintable(okno->stan->text());
        }
        EXPECT_FALSE(okno->wysylanie());
        EXPECT_TRUE(okno->odswiez->isEnabled());
        EXPECT_TRUE(okno->wyslij_niewyslane->isEnabled());
    }
}

// "Wyślij wszystkie niewysłane" takes the month of the filter, or every month.
TEST_F(OknoKsefTest, WysylanieNiewyslanychMiesiaca) {
    sejf.insert(nazwaTokenu(), QStringLiteral("t"));
    auto miesiace = std::make_shared<QStringList>();
    okno->uslugi.wyslij = [miesiace](SystemPlikow&, const ZadanieWysylki& z, const PostepWysylki& p) {
        miesiace->append(z.wybor.miesiac.value_or(QStringLiteral("wszystkie")));
        if (z.wybor.pozycja || z.wybor.pozycje || z.wybor.numer || z.wybor.rok)
            miesiace->append(QStringLiteral("inne kryterium"));
        p.postep(1, 3);
        return WynikWysylki{};
    };
    for (const char* m : {"2026-02", ""}) {
        filtr(okno->filtr_miesiaca, QString::fromUtf8(m));
        QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
        okno->wyslij_niewyslane->click();
        ASSERT_TRUE(koniec.wait(10000));
    }
    EXPECT_EQ(*miesiace, (QStringList{QStringLiteral("2026-02"), QStringLiteral("wszystkie")}));
}

// No secret in the keyring: the window asks; a cancelled question sends nothing, an answer is
// kept in the keyring only when the user asked for it.
TEST_F(OknoKsefTest, PytanieOTokenGdySejfGoNieMa) {
    auto tokeny = std::make_shared<QStringList>();
    okno->uslugi.wyslij = [tokeny](SystemPlikow&, const ZadanieWysylki& z, const PostepWysylki&) {
        tokeny->append(z.poswiadczenia.token);
        return WynikWysylki{};
    };
    zaznacz({QStringLiteral("1/2026")});

    odpowiedzi = {std::nullopt};
    okno->wyslij_zaznaczone->click();
    EXPECT_FALSE(okno->wysylanie());
    EXPECT_TRUE(tokeny->isEmpty());
    EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Anulowano"))) << qPrintable(okno->stan->text());
    ASSERT_EQ(pytania.size(), 1);
    EXPECT_TRUE(pytania[0].contains(QStringLiteral("5265877635"))) << qPrintable(pytania[0]);

    for (const bool zapamietaj : {false, true}) {
        SCOPED_TRACE(zapamietaj);
        odpowiedzi = {PodanySekret{QStringLiteral("podany-%1").arg(zapamietaj), zapamietaj}};
        QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
        zaznacz({QStringLiteral("1/2026")});
        okno->wyslij_zaznaczone->click();
        ASSERT_TRUE(koniec.wait(10000));
        EXPECT_EQ(tokeny->last(), QStringLiteral("podany-%1").arg(zapamietaj));
        EXPECT_EQ(sejf.contains(nazwaTokenu()), zapamietaj);
    }
    EXPECT_EQ(pytania.size(), 3);
    EXPECT_FALSE(katalog.czytaj(QStringLiteral("Admini/ksef.ini")).contains("podany"));
}

// A refusal of the sending layer (or of the settings) is shown whole, and the window can be used again.
TEST_F(OknoKsefTest, OdmowaWysylkiIZleUstawienia) {
    sejf.insert(nazwaTokenu(), QStringLiteral("t"));
    zaznacz({QStringLiteral("1/2026")});
    QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
    okno->wyslij_zaznaczone->click();
    ASSERT_TRUE(koniec.wait(10000));
    ASSERT_EQ(bledy.size(), 1);
    EXPECT_TRUE(bledy[0].contains(QStringLiteral("w tym teście nic nie jest wysyłane")))
        << qPrintable(bledy[0]);
    EXPECT_EQ(koniec.takeFirst().at(0).value<WynikWysylki>().kod, 1);
    EXPECT_TRUE(okno->wyslij_niewyslane->isEnabled());

    // A run that ends with failures of single documents: all of them in one box, and the counts.
    bledy.clear();
    okno->uslugi.wyslij = [](SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&) {
        WynikWysylki w;
        w.wyslane = 2;
        w.przyjete = 1;
        w.odrzucone = 1;
        w.bledy = QStringList{QStringLiteral("3/2026: odrzucony"), QStringLiteral("4/2026: brak połączenia")};
        w.kod = 1;
        return w;
    };
    zaznacz({QStringLiteral("1/2026"), QStringLiteral("3/2026"), QStringLiteral("4/2026")});
    okno->wyslij_zaznaczone->click();
    ASSERT_TRUE(koniec.wait(10000));
    EXPECT_EQ(koniec.takeFirst().at(0).value<WynikWysylki>().kod, 1);
    ASSERT_EQ(bledy.size(), 1);
    EXPECT_TRUE(bledy[0].contains(QStringLiteral("3/2026: odrzucony")));
    EXPECT_TRUE(bledy[0].contains(QStringLiteral("4/2026: brak połączenia")));
    EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Wysłane: 2, przyjęte: 1, odrzucone: 1")))
        << qPrintable(okno->stan->text());
    EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Błędy: 2."))) << qPrintable(okno->stan->text());

    struct Przypadek {
        const char* srodowisko;
        const char* nip;
        const char* powod;
    };
    const Przypadek przypadki[] = {
        {"http://192.0.2.1/v2", "", "Środowisko KSeF"},
        {"test", "123", "NIP"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.srodowisko);
        bledy.clear();
        UstawieniaKsef u;
        u.srodowisko = QString::fromUtf8(p.srodowisko);
        u.nipKontekstu = QString::fromUtf8(p.nip);
        u.poswiadczenie = UstawieniaKsef::Poswiadczenie::Token;
        ZapiszUstawieniaKsef(DomyslnySystemPlikow(), u);
        okno->wyslij_niewyslane->click();
        EXPECT_FALSE(okno->wysylanie());
        ASSERT_EQ(bledy.size(), 1);
        EXPECT_TRUE(bledy[0].contains(QString::fromUtf8(p.powod))) << qPrintable(bledy[0]);
    }
}

// The real password dialog: what is typed comes back, "Zapamiętaj w pęku kluczy" only counts with a
// keyring, and a cancelled or empty answer is none.
TEST(PytanieOSekret, OdpowiedziDialogu) {
    struct Przypadek {
        const char* opis;
        bool sejfDostepny;
        const char* wpisany;
        bool zaznacz, zatwierdz;
        std::optional<PodanySekret> oczekiwany;
    };
    const Przypadek przypadki[] = {
        {"typed and kept", true, "tajny", true, true, PodanySekret{QStringLiteral("tajny"), true}},
        {"typed, not kept", true, "tajny", false, true, PodanySekret{QStringLiteral("tajny"), false}},
        {"no keyring to keep it in", false, "tajny", true, true,
         PodanySekret{QStringLiteral("tajny"), false}},
        {"cancelled", true, "tajny", false, false, std::nullopt},
        {"nothing typed", true, "", false, true, std::nullopt},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        bool wypelniony = false;
        QTimer::singleShot(0, [&] {
            auto* okno = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(okno);
            auto* pole = okno->findChild<QLineEdit*>(QStringLiteral("sekret"));
            auto* zapamietaj = okno->findChild<QCheckBox*>(QStringLiteral("zapamietaj"));
            if (!pole || !zapamietaj) {
                okno->reject();  // never left waiting
                FAIL() << "the dialog's controls";
            }
            EXPECT_EQ(pole->echoMode(), QLineEdit::Password);
            EXPECT_EQ(zapamietaj->isEnabled(), p.sejfDostepny);
            pole->setText(QString::fromUtf8(p.wpisany));
            if (p.zaznacz) zapamietaj->setChecked(true);
            okno->findChild<QPushButton*>(QString::fromUtf8(p.zatwierdz ? "ok" : "anuluj"))->click();
            wypelniony = true;
        });
        const std::optional<PodanySekret> wynik =
            ZapytajOSekret(nullptr, QStringLiteral("Token KSeF:"), p.sejfDostepny);
        EXPECT_TRUE(wypelniony);
        ASSERT_EQ(wynik.has_value(), p.oczekiwany.has_value());
        if (wynik) {
            EXPECT_EQ(wynik->wartosc, p.oczekiwany->wartosc);
            EXPECT_EQ(wynik->zapamietaj, p.oczekiwany->zapamietaj);
        }
    }
}

TEST_F(OknoKsefTest, NaglowekMowiDokadWysyla) {
    EXPECT_TRUE(
        okno->folder_danych->text().contains(QStringLiteral("środowisko KSeF: http://127.0.0.1:9/v2")))
        << qPrintable(okno->folder_danych->text());
    EXPECT_TRUE(okno->folder_danych->text().contains(QStringLiteral("NIP: 5265877635")));
}

TEST_F(OknoKsefTest, KazdaKontrolkaMaNazwy) {
    int sprawdzonych = 0;
    for (QWidget* w : okno->findChildren<QWidget*>()) {
        if (!qobject_cast<QPushButton*>(w) && !qobject_cast<QComboBox*>(w) && !qobject_cast<QLabel*>(w) &&
            !qobject_cast<QTableWidget*>(w) && !qobject_cast<QProgressBar*>(w) &&
            !qobject_cast<QLineEdit*>(w) && w != okno->kody_ksef)
            continue;
        // Not the parts of a table or a combo box.
        if (w->parentWidget() != okno.get() && w->parentWidget() != okno->kody_ksef) continue;
        EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
        EXPECT_FALSE(w->accessibleName().isEmpty()) << qPrintable(w->objectName());
        EXPECT_FALSE(w->accessibleName().contains(u'&')) << qPrintable(w->accessibleName());
        ++sprawdzonych;
    }
    EXPECT_GE(sprawdzonych, 23);
}

// What zbarimg reads from a shown code: one decoded text per line.
QStringList OdczytajKodyQr(const QPixmap& obraz) {
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
        ADD_FAILURE() << "zbarimg (zbar-tools) nie jest zainstalowany; instaluje go scripts/zaleznosci.sh";
        return {};
    }
    QTemporaryDir katalog;
    const QString plik = katalog.filePath(QStringLiteral("kod.png"));
    if (!obraz.save(plik)) {
        ADD_FAILURE() << "the code's image is not saved";
        return {};
    }
    QProcess proces;
    proces.start(QStringLiteral("zbarimg"),
                 {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sdisable"),
                  QStringLiteral("-Sqrcode.enable"), plik});
    proces.waitForFinished(60000);
    return QString::fromUtf8(proces.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

const QString LinkI = QStringLiteral(
    "https://qr-test.ksef.mf.gov.pl/invoice/5265877635/01-03-2026/"
    "UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE");
const QString LinkII = QStringLiteral(
    "https://qr-test.ksef.mf.gov.pl/certificate/Nip/5265877635/5265877635/01F20A5D352AE590/"
    "UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE/"
    "mSkm_XmM9fq7PgAJwiL32L9ujhyguOEV48cDB0ncemD2r9TMGa3lr0iRoFk588agCi8QPsOuscUY1rZ7ff76SQ");
const QString LinkPrzyjetego = QStringLiteral(
    "https://qr-test.ksef.mf.gov.pl/invoice/5265877635/03-02-2026/"
    "Y8ab1zE6o0c2Ch6tFv9xQm0a5rV7y2Zq3J9XkLpD3wE");

// The current document's codes follow the current row, a filter and a reload: KOD I under the KSeF
// number once accepted, else "OFFLINE"; KOD II "CERTYFIKAT" only with its link; none without a link.
TEST_F(OknoKsefTest, KodyQrBiezacegoDokumentu) {
    UstawStan(nazwy[2], [](StanKsef& s) { s.linkKoduI = LinkPrzyjetego; });
    UstawStan(nazwy[4], [](StanKsef& s) {
        s.linkKoduI = LinkI;
        s.linkKoduII = LinkII;
    });
    okno->wczytaj();
    struct Przypadek {
        const char* numer;
        QString linkI, podpisI, linkII;  // empty: no code
        const char* brak;                // a part of the panel's "no code" text, "" when codes are shown
    };
    const Przypadek przypadki[] = {
        {"2/2026", LinkPrzyjetego, QStringLiteral("5265877635-20260203-0100001AF629-AF"), {}, ""},
        {"4/2026", LinkI, PodpisKoduOffline, LinkII, ""},
        {"1/2026", {}, {}, {}, "nie ma jeszcze kodu"},
        {"3/2026", {}, {}, {}, "nie ma jeszcze kodu"},
        {"6/2026", {}, {}, {}, "nie ma jeszcze kodu"},
    };
    const auto sprawdzKod = [](QLabel* obraz, QLabel* podpis, QLineEdit* link, const QString& oczekiwany,
                               const QString& napis) {
        SCOPED_TRACE(qPrintable(obraz->objectName()));
        EXPECT_EQ(obraz->isHidden(), oczekiwany.isEmpty());
        EXPECT_EQ(link->isHidden(), oczekiwany.isEmpty());
        if (oczekiwany.isEmpty()) {
            EXPECT_TRUE(obraz->pixmap().isNull());
            return;
        }
        const QPixmap kod = obraz->pixmap();
        ASSERT_FALSE(kod.isNull());
        const int moduly = ObrazKoduQr(oczekiwany).width();
        EXPECT_EQ(kod.width() % moduly, 0) << "whole pixels per module";
        EXPECT_GE(kod.width() / moduly, 3);
        EXPECT_EQ(OdczytajKodyQr(kod), QStringList{oczekiwany});
        EXPECT_EQ(podpis->text(), napis);
        EXPECT_EQ(link->text(), oczekiwany);
        EXPECT_TRUE(link->isReadOnly());
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.numer);
        okno->tabela->setCurrentCell(wiersz(QString::fromUtf8(p.numer)), OknoKsef::Numer);
        sprawdzKod(okno->obraz_kodu_i, okno->podpis_kodu_i, okno->link_kodu_i, p.linkI, p.podpisI);
        sprawdzKod(okno->obraz_kodu_ii, okno->podpis_kodu_ii, okno->link_kodu_ii, p.linkII,
                   PodpisKoduCertyfikatu);
        EXPECT_EQ(okno->brak_kodu->isHidden(), !*p.brak);
        if (*p.brak) {
            EXPECT_TRUE(okno->brak_kodu->text().contains(QString::fromUtf8(p.brak)))
                << qPrintable(okno->brak_kodu->text());
        }
    }

    // "Kopiuj link" puts the link on the clipboard.
    okno->tabela->setCurrentCell(wiersz(QStringLiteral("4/2026")), OknoKsef::Numer);
    okno->kopiuj_link_ii->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), LinkII);

    // The document accepted meanwhile: after a reload the same document is current, under its number.
    UstawStan(nazwy[4], [](StanKsef& s) {
        s.stan = StanWysylki::Przyjety;
        s.numerKsef = QStringLiteral("5265877635-20260301-0100001AF62C-11");
    });
    okno->wczytaj();
    EXPECT_EQ(okno->tabela->currentRow(), wiersz(QStringLiteral("4/2026")));
    EXPECT_EQ(okno->podpis_kodu_i->text(), QStringLiteral("5265877635-20260301-0100001AF62C-11"));
    EXPECT_EQ(okno->link_kodu_ii->text(), LinkII);

    // Hidden by the filter: no document's codes are shown.
    filtr(okno->filtr_miesiaca, QStringLiteral("2026-01"));
    EXPECT_TRUE(okno->obraz_kodu_i->isHidden());
    EXPECT_FALSE(okno->brak_kodu->isHidden());
    EXPECT_TRUE(okno->link_kodu_i->text().isEmpty());
    EXPECT_TRUE(bledy.isEmpty());
}

// An offline document's deadline in the table, marked from the day before it on, and counted in the
// status line; the state filter offers the offline ones.
TEST_F(OknoKsefTest, TerminyDokumentowOffline) {
    struct Przypadek {
        QDate dzisiaj;
        bool drugiOffline;  // 5/2026 issued offline with the same deadline too
        const char* uwagi;
        bool ostrzezenie;
        const char* wStanie;  // a part of the status line, "" for no warning there
    };
    const Przypadek przypadki[] = {
        {QDate(2026, 2, 28), false, "wyślij do 2026-03-02 (offline24)", false, ""},
        {QDate(2026, 3, 1), false, "wyślij najpóźniej jutro (termin 2026-03-02)", true,
         "Uwaga: 1 fakturę offline trzeba wysłać do KSeF najpóźniej jutro."},
        {QDate(2026, 3, 2), true, "wyślij dziś (termin 2026-03-02)", true,
         "Uwaga: 2 faktury offline trzeba wysłać do KSeF najpóźniej jutro."},
        {QDate(2026, 3, 3), true, "termin wysłania minął 2026-03-02", true,
         "Uwaga: 2 faktury offline po terminie wysłania do KSeF."},
    };
    const QColor zwykle =
        okno->tabela->item(wiersz(QStringLiteral("1/2026")), OknoKsef::Uwagi)->background().color();
    for (const auto& p : przypadki) {
        SCOPED_TRACE(qPrintable(p.dzisiaj.toString(Qt::ISODate)));
        dzisiaj = p.dzisiaj;
        UstawStan(nazwy[5], [&](StanKsef& s) {
            s.stan = p.drugiOffline ? StanWysylki::Offline : StanWysylki::Wyslany;
            s.trybOffline = QStringLiteral("offline");
            s.terminOffline = QDate(2026, 3, 2);
        });
        okno->wczytaj();
        for (const char* numer : {"4/2026", "5/2026"}) {
            if (!p.drugiOffline && QByteArray(numer) == "5/2026") continue;
            const QTableWidgetItem* uwagi =
                okno->tabela->item(wiersz(QString::fromUtf8(numer)), OknoKsef::Uwagi);
            EXPECT_TRUE(uwagi->text().contains(QString::fromUtf8(p.uwagi))) << qPrintable(uwagi->text());
            EXPECT_EQ(uwagi->background().color() != zwykle, p.ostrzezenie) << numer;
            EXPECT_EQ(uwagi->font().bold(), p.ostrzezenie) << numer;
        }
        EXPECT_TRUE(okno->stan->text().startsWith(QStringLiteral("Dokumentów: 6")));
        if (*p.wStanie) {
            EXPECT_TRUE(okno->stan->text().contains(QString::fromUtf8(p.wStanie)))
                << qPrintable(okno->stan->text());
        } else {
            EXPECT_FALSE(okno->stan->text().contains(QStringLiteral("Uwaga")))
                << qPrintable(okno->stan->text());
        }
    }
    filtr(okno->filtr_stanu, static_cast<int>(StanWysylki::Offline));
    EXPECT_EQ(okno->filtr_stanu->currentText(), QStringLiteral("offline"));
    EXPECT_EQ(widoczneNumery(), (QStringList{QStringLiteral("4/2026"), QStringLiteral("5/2026")}));
}

// "Wystaw offline" is for what KSeF has not got and was not issued offline yet.
TEST_F(OknoKsefTest, DostepnoscWystawieniaOffline) {
    UstawStan(nazwy[1], [](StanKsef& s) { s.stan = StanWysylki::Niewyslany; });
    okno->wczytaj();
    struct Przypadek {
        const char* opis;
        QStringList zaznaczone;
        bool dostepny;
    };
    const Przypadek przypadki[] = {
        {"nothing selected", {}, false},
        {"in KSeF", {"2/2026", "5/2026", "6/2026"}, false},
        {"rejected", {"3/2026"}, false},
        {"already offline", {"4/2026"}, false},
        {"never sent, among others", {"2/2026", "1/2026"}, true},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        zaznacz(p.zaznaczone);
        EXPECT_EQ(okno->wystaw_offline->isEnabled(), p.dostepny);
    }
    zaznacz({QStringLiteral("1/2026")});
    filtr(okno->filtr_miesiaca, QStringLiteral("2026-02"));
    EXPECT_FALSE(okno->wystaw_offline->isEnabled()) << "hidden by the filter";
}

// The offline issue: the settings' Offline certificate and the keyring's password (or the answer
// asked for), the dialog's mode and end, today's date, one run per selected document on a worker
// thread; the table read again.
TEST_F(OknoKsefTest, WystawianieOfflineZaznaczonych) {
    UstawieniaKsef u;
    u.srodowisko = QStringLiteral("http://127.0.0.1:9/v2");
    u.poswiadczenie = UstawieniaKsef::Poswiadczenie::Token;
    u.plikCertyfikatuOffline = QStringLiteral("/home/u/ksef/offline.crt");
    u.plikKluczaOffline = QStringLiteral("/home/u/ksef/offline.key");
    ZapiszUstawieniaKsef(DomyslnySystemPlikow(), u);
    const QString nazwaHasla = NazwaSekretu(RodzajSekretu::HasloKluczaOffline, QStringLiteral("5265877635"),
                                            QStringLiteral("http://127.0.0.1:9/v2"));
    struct Wywolanie {
        ZadanieOffline zadanie;
        bool wWatkuOkna;
    };
    auto wywolania = std::make_shared<std::vector<Wywolanie>>();
    QThread* watekOkna = QThread::currentThread();
    const QStringList nazwyRekordow = nazwy;
    okno->uslugi.wystawOffline = [=](SystemPlikow& system, const ZadanieOffline& z, const PostepWysylki&) {
        wywolania->push_back({z, QThread::currentThread() == watekOkna});
        WynikWysylki w;
        for (const std::int64_t pozycja : z.wybor.pozycje.value_or(std::vector<std::int64_t>{})) {
            ZmienStanKsef(system, nazwyRekordow[static_cast<int>(pozycja - 1)],
                          [](std::optional<StanKsef>& s) {
                              s.emplace();
                              s->stan = StanWysylki::Offline;
                              s->trybOffline = QStringLiteral("awaryjny");
                              s->terminOffline = QDate(2026, 3, 6);
                              s->linkKoduI = LinkI;
                          });
            ++w.wystawione;
        }
        return w;
    };
    struct Przypadek {
        const char* opis;
        WyborOffline wybor;
        bool wSejfie;
    };
    const Przypadek przypadki[] = {
        {"offline24, the password kept", {TrybOffline::Offline24, std::nullopt}, true},
        {"a failure, the password asked for", {TrybOffline::Awaryjny, QDate(2026, 2, 18)}, false},
        {"an unavailability", {TrybOffline::Offline, QDate(2026, 2, 21)}, true},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        wywolania->clear();
        pytania.clear();
        pytaniaOTryb.clear();
        sejf.clear();
        if (p.wSejfie) sejf.insert(nazwaHasla, QStringLiteral("haslo-z-sejfu"));
        odpowiedzi = {PodanySekret{QStringLiteral("haslo-podane"), false}};
        for (int i : {1, 3}) UstawStan(nazwy[i], [](StanKsef& s) { s = StanKsef{}; });
        okno->wczytaj();
        wyborOffline = p.wybor;
        zaznacz({QStringLiteral("1/2026"), QStringLiteral("2/2026"), QStringLiteral("3/2026"),
                 QStringLiteral("4/2026")});
        QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
        okno->wystaw_offline->click();
        ASSERT_TRUE(okno->wysylanie());
        EXPECT_FALSE(okno->wystaw_offline->isEnabled());
        ASSERT_TRUE(koniec.wait(10000));

        EXPECT_EQ(pytaniaOTryb, QStringList{QStringLiteral("2 2026-02-20")});
        ASSERT_EQ(wywolania->size(), 1u) << "one run for the whole selection";
        EXPECT_EQ((*wywolania)[0].zadanie.wybor.pozycje, (std::vector<std::int64_t>{2, 4}))
            << "the accepted and the offline one are left alone";
        EXPECT_FALSE((*wywolania)[0].zadanie.wybor.pozycja);
        for (const Wywolanie& w : *wywolania) {
            EXPECT_FALSE(w.wWatkuOkna);
            EXPECT_EQ(w.zadanie.tryb, p.wybor.tryb);
            EXPECT_EQ(w.zadanie.koniec, p.wybor.koniec);
            EXPECT_EQ(w.zadanie.plikCertyfikatu, u.plikCertyfikatuOffline);
            EXPECT_EQ(w.zadanie.plikKlucza, u.plikKluczaOffline);
            EXPECT_EQ(w.zadanie.hasloKlucza,
                      p.wSejfie ? QByteArray("haslo-z-sejfu") : QByteArray("haslo-podane"));
            EXPECT_EQ(w.zadanie.nipKontekstu, QStringLiteral("5265877635"));
            EXPECT_EQ(w.zadanie.srodowisko.api.toString(), QStringLiteral("http://127.0.0.1:9/v2"));
            EXPECT_EQ(w.zadanie.dzisiaj, QDate(2026, 2, 20));
        }
        if (p.wSejfie) {
            EXPECT_TRUE(pytania.isEmpty());
        } else {
            ASSERT_EQ(pytania.size(), 1);
            EXPECT_TRUE(pytania[0].contains(u.plikKluczaOffline)) << qPrintable(pytania[0]);
        }
        EXPECT_EQ(okno->tabela->item(wiersz(QStringLiteral("1/2026")), OknoKsef::Stan)->text(),
                  QStringLiteral("offline"));
        EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Wystawione offline: 2 z 2.")))
            << qPrintable(okno->stan->text());
        EXPECT_TRUE(bledy.isEmpty());
    }
    EXPECT_FALSE(katalog.czytaj(QStringLiteral("Admini/ksef.ini")).contains("haslo"));
}

// Nothing is issued without the Offline certificate in the settings, when the dialog or the password
// question is cancelled, and a refusal of the issue is shown whole.
TEST_F(OknoKsefTest, WystawianieOfflineOdmowy) {
    auto wywolan = std::make_shared<std::atomic<int>>(0);
    okno->uslugi.wystawOffline = [wywolan](SystemPlikow&, const ZadanieOffline&,
                                           const PostepWysylki&) -> WynikWysylki {
        ++*wywolan;
        throw Odmowa(QStringLiteral("Wystawianie faktur offline nie jest jeszcze dostępne."));
    };
    struct Przypadek {
        const char* opis;
        const char* certyfikat;
        const char* klucz;
        std::optional<WyborOffline> wybor;
        bool haslo;  // the password question answered
        const char* blad;
        int pytanOTryb, wywolanFunkcji;
    };
    const Przypadek przypadki[] = {
        {"no Offline certificate", "", "/k.key", WyborOffline{}, true, "certyfikatu Offline", 0, 0},
        {"no key of it", "/c.crt", "", WyborOffline{}, true, "na stronie „KSeF”", 0, 0},
        {"the dialog cancelled", "/c.crt", "/k.key", std::nullopt, true, "", 1, 0},
        {"the password not given", "/c.crt", "/k.key", WyborOffline{}, false, "", 1, 0},
        {"the issue refused", "/c.crt", "/k.key", WyborOffline{}, true, "nie jest jeszcze dostępne", 1, 1},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        bledy.clear();
        pytaniaOTryb.clear();
        *wywolan = 0;
        UstawieniaKsef u;
        u.srodowisko = QStringLiteral("http://127.0.0.1:9/v2");
        u.plikCertyfikatuOffline = QString::fromUtf8(p.certyfikat);
        u.plikKluczaOffline = QString::fromUtf8(p.klucz);
        ZapiszUstawieniaKsef(DomyslnySystemPlikow(), u);
        wyborOffline = p.wybor;
        odpowiedzi = {p.haslo ? std::optional<PodanySekret>(PodanySekret{QStringLiteral("h"), false})
                              : std::nullopt};
        zaznacz({QStringLiteral("1/2026")});
        QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
        okno->wystaw_offline->click();
        if (okno->wysylanie()) {
            ASSERT_TRUE(koniec.wait(10000));
        }
        EXPECT_EQ(pytaniaOTryb.size(), p.pytanOTryb);
        EXPECT_EQ(wywolan->load(), p.wywolanFunkcji);
        if (*p.blad) {
            ASSERT_EQ(bledy.size(), 1);
            EXPECT_TRUE(bledy[0].contains(QString::fromUtf8(p.blad))) << qPrintable(bledy[0]);
        } else {
            EXPECT_TRUE(bledy.isEmpty()) << qPrintable(bledy.join(u'\n'));
        }
        EXPECT_FALSE(okno->wysylanie());
        EXPECT_EQ(okno->tabela->item(wiersz(QStringLiteral("1/2026")), OknoKsef::Stan)->text(),
                  QStringLiteral("niewysłany"));
        zaznacz({QStringLiteral("1/2026")});
        EXPECT_TRUE(okno->wystaw_offline->isEnabled()) << "the window can be used again";
    }
}

// The run refused as a whole (the lock held on another workstation): the refusal is shown, nothing
// changed, and the window can be used again.
TEST_F(OknoKsefTest, WystawianieOfflineOdmowaPrzebiegu) {
    UstawieniaKsef u;
    u.srodowisko = QStringLiteral("http://127.0.0.1:9/v2");
    u.plikCertyfikatuOffline = QStringLiteral("/c.crt");
    u.plikKluczaOffline = QStringLiteral("/k.key");
    ZapiszUstawieniaKsef(DomyslnySystemPlikow(), u);
    sejf.insert(NazwaSekretu(RodzajSekretu::HasloKluczaOffline, QStringLiteral("5265877635"), u.srodowisko),
                QStringLiteral("h"));
    for (int i : {3, 5}) UstawStan(nazwy[i], [](StanKsef& s) { s = StanKsef{}; });
    okno->wczytaj();
    wyborOffline = WyborOffline{};
    auto pozycje = std::make_shared<std::vector<std::int64_t>>();
    okno->uslugi.wystawOffline = [=](SystemPlikow&, const ZadanieOffline& z,
                                     const PostepWysylki&) -> WynikWysylki {
        *pozycje = z.wybor.pozycje.value_or(std::vector<std::int64_t>{});
        throw Odmowa(QStringLiteral("Wysyłanie do KSeF trwa na innym stanowisku."));
    };
    zaznacz({QStringLiteral("1/2026"), QStringLiteral("3/2026"), QStringLiteral("5/2026")});
    QSignalSpy koniec(okno.get(), &OknoKsef::zakonczono);
    okno->wystaw_offline->click();
    ASSERT_TRUE(koniec.wait(10000));
    EXPECT_EQ(*pozycje, (std::vector<std::int64_t>{2, 4, 6}));
    EXPECT_EQ(koniec.takeFirst().at(0).value<WynikWysylki>().kod, 1);
    ASSERT_EQ(bledy.size(), 1);
    EXPECT_TRUE(bledy[0].contains(QStringLiteral("innym stanowisku")));
    EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Wystawione offline: 0 z 3.")))
        << qPrintable(okno->stan->text());
    EXPECT_EQ(okno->tabela->item(wiersz(QStringLiteral("3/2026")), OknoKsef::Stan)->text(),
              QStringLiteral("niewysłany"));
    EXPECT_FALSE(okno->wysylanie());
}

// The real offline dialog: the chosen mode, the end date only for an unavailability or a failure.
TEST(PytanieOTrybOffline, OdpowiedziDialogu) {
    struct Przypadek {
        const char* opis;
        int tryb;  // index in the list
        QDate koniec;
        bool zatwierdz;
        std::optional<TrybOffline> oczekiwanyTryb;
        std::optional<QDate> oczekiwanyKoniec;
    };
    const QDate dzis(2026, 3, 4);
    const Przypadek przypadki[] = {
        {"offline24", 0, QDate(2026, 3, 1), true, TrybOffline::Offline24, std::nullopt},
        {"unavailability", 1, QDate(2026, 3, 3), true, TrybOffline::Offline, QDate(2026, 3, 3)},
        {"failure, date left", 2, QDate(), true, TrybOffline::Awaryjny, dzis},
        {"cancelled", 2, QDate(2026, 3, 3), false, std::nullopt, std::nullopt},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        bool wypelniony = false;
        QTimer::singleShot(0, [&] {
            auto* okno = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(okno);
            auto* tryb = okno->findChild<QComboBox*>(QStringLiteral("tryb_offline"));
            auto* koniec = okno->findChild<QDateEdit*>(QStringLiteral("koniec_offline"));
            if (!tryb || !koniec) {
                okno->reject();  // never left waiting
                FAIL() << "the dialog's controls";
            }
            EXPECT_EQ(tryb->count(), 3);
            EXPECT_EQ(tryb->itemText(0), QStringLiteral("Offline24 (wybór wystawcy)"));
            EXPECT_EQ(tryb->itemText(1), QStringLiteral("Offline (niedostępność KSeF)"));
            EXPECT_EQ(tryb->itemText(2), QStringLiteral("Awaryjny (awaria KSeF)"));
            EXPECT_EQ(koniec->date(), dzis);
            tryb->setCurrentIndex(p.tryb);
            EXPECT_EQ(koniec->isEnabled(), p.tryb != 0);
            if (p.koniec.isValid()) koniec->setDate(p.koniec);
            for (QWidget* w : okno->findChildren<QWidget*>()) {
                if (w->parentWidget() != okno) continue;
                EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
                EXPECT_FALSE(w->accessibleName().isEmpty()) << qPrintable(w->objectName());
            }
            okno->findChild<QPushButton*>(QString::fromUtf8(p.zatwierdz ? "ok" : "anuluj"))->click();
            wypelniony = true;
        });
        const std::optional<WyborOffline> wynik = ZapytajOTrybOffline(nullptr, 2, dzis);
        EXPECT_TRUE(wypelniony);
        ASSERT_EQ(wynik.has_value(), p.oczekiwanyTryb.has_value());
        if (wynik) {
            EXPECT_EQ(wynik->tryb, *p.oczekiwanyTryb);
            EXPECT_EQ(wynik->koniec, p.oczekiwanyKoniec);
        }
    }
}

}  // namespace
