// The window of faktura-ksef on the offscreen platform, on a data folder whose KSeF states are
// written by the test: what the table shows, the filters, which buttons may be used, and how a run
// of sending reaches the sending layer (a double of the test's own) and shows what came back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableWidget>
#include <QThread>
#include <QTimer>

#include "calc/dokument.h"
#include "eksport/dane_eksportu.h"
#include "eksport/nazwy_plikow.h"
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

// "Wyślij zaznaczone": the selected documents not in KSeF, one by one by their place in the file,
// on a worker thread; its progress reaches the bar, the table is read again at the end.
TEST_F(OknoKsefTest, WysylanieZaznaczonychWWatku) {
    sejf.insert(nazwaTokenu(), QStringLiteral("token-z-sejfu"));
    struct Wywolanie {
        std::int64_t pozycja;
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
        wywolania->push_back({z.wybor.pozycja.value_or(0), z.poswiadczenia.token,
                              z.poswiadczenia.nipKontekstu, z.srodowisko.api.toString(),
                              QThread::currentThread() == watekOkna});
        p.komunikat(QStringLiteral("wysłano dokument"));
        const QString nazwa = nazwyRekordow[static_cast<int>(*z.wybor.pozycja - 1)];
        ZmienStanKsef(system, nazwa, [](std::optional<StanKsef>& s) {
            s.emplace();
            s->stan = StanWysylki::Przyjety;
            s->numerKsef = QStringLiteral("5265877635-20260310-0100001AF62B-00");
        });
        WynikWysylki w;
        w.wyslane = w.przyjete = 1;
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

    ASSERT_EQ(wywolania->size(), 2u) << "the accepted one is not sent again";
    EXPECT_EQ((*wywolania)[0].pozycja, 2);
    EXPECT_EQ((*wywolania)[1].pozycja, 4);
    for (const auto& w : *wywolania) {
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

// "Przerwij", and closing the window while it sends: the run ends after the document in hand (the
// next one is not started), and the window goes only then.
TEST_F(OknoKsefTest, PrzerwanieIZamkniecieWTrakcie) {
    sejf.insert(nazwaTokenu(), QStringLiteral("t"));
    for (const bool zamknij : {false, true}) {
        SCOPED_TRACE(zamknij);
        okno->show();
        auto pozycje = std::make_shared<QList<std::int64_t>>();
        auto zamek = std::make_shared<QMutex>();
        auto weszlo = std::make_shared<QSemaphore>();
        zamek->lock();
        okno->uslugi.wyslij = [pozycje, zamek, weszlo](SystemPlikow&, const ZadanieWysylki& z,
                                                       const PostepWysylki&) {
            weszlo->release();
            const QMutexLocker czekaj(zamek.get());
            pozycje->append(z.wybor.pozycja.value_or(0));
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
        EXPECT_EQ(*pozycje, QList<std::int64_t>{2});
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
        if (z.wybor.pozycja || z.wybor.numer || z.wybor.rok)
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

    // Of several selected, the first one sent and the second refused: the run stops there and
    // says both.
    bledy.clear();
    auto wywolan = std::make_shared<std::atomic<int>>(0);
    okno->uslugi.wyslij = [wywolan](SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&) {
        if (++*wywolan == 2) throw Odmowa(QStringLiteral("Wysyłanie do KSeF trwa na innym stanowisku."));
        WynikWysylki w;
        w.wyslane = w.przyjete = 1;
        return w;
    };
    zaznacz({QStringLiteral("1/2026"), QStringLiteral("3/2026"), QStringLiteral("4/2026")});
    okno->wyslij_zaznaczone->click();
    ASSERT_TRUE(koniec.wait(10000));
    EXPECT_EQ(wywolan->load(), 2);
    const WynikWysylki wynik = koniec.takeFirst().at(0).value<WynikWysylki>();
    EXPECT_EQ(wynik.wyslane, 1);
    EXPECT_EQ(wynik.kod, 1);
    ASSERT_EQ(bledy.size(), 1);
    EXPECT_TRUE(bledy[0].contains(QStringLiteral("innym stanowisku")));
    EXPECT_TRUE(okno->stan->text().contains(QStringLiteral("Wysłane: 1"))) << qPrintable(okno->stan->text());

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
            !qobject_cast<QTableWidget*>(w) && !qobject_cast<QProgressBar*>(w))
            continue;
        if (w->parentWidget() != okno.get()) continue;  // parts of a table or a combo box
        EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
        EXPECT_FALSE(w->accessibleName().isEmpty()) << qPrintable(w->objectName());
        EXPECT_FALSE(w->accessibleName().contains(u'&')) << qPrintable(w->accessibleName());
        ++sprawdzonych;
    }
    EXPECT_GE(sprawdzonych, 13);
}

}  // namespace
