// The "KSeF" page on the offscreen platform with a keyring and a connection check of the test's own:
// what it writes to "Admini/ksef.ini", what goes to the keyring instead, and what the check is given.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QMap>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>

#include "folder_testowy.h"
#include "store/pliki_danych.h"
#include "ustawienia/strona_ksef.h"
#include "wspolne/bajty.h"

namespace {

// A keyring in memory; unavailable, it answers as the desktop's does without a session.
struct SejfTestowy {
    bool dostepny = true;
    QMap<QString, QString> sekrety;
    QStringList zapisy;

    void podlacz(StronaKsef& strona) {
        strona.uslugi.czytajSekret = [this](const QString& nazwa) {
            WynikSejfu w;
            w.sejfDostepny = dostepny;
            if (dostepny && sekrety.contains(nazwa)) w.wartosc = sekrety.value(nazwa);
            if (!dostepny) w.blad = QStringLiteral("Pęk kluczy pulpitu jest niedostępny");
            return w;
        };
        strona.uslugi.zapiszSekret = [this](const QString& nazwa, const QString& wartosc) {
            WynikSejfu w;
            w.sejfDostepny = dostepny;
            zapisy.append(nazwa);
            if (dostepny)
                sekrety.insert(nazwa, wartosc);
            else
                w.blad = QStringLiteral("Pęk kluczy pulpitu jest niedostępny");
            return w;
        };
    }
};

void ZapiszFirme(const FolderTestowy& folder, const QString& nip) {
    TDaneFirmy firma{};
    firma.linia1.ustaw(QStringLiteral("Firma Testowa"));
    firma.nip.ustaw(nip);
    folder.zapisz(QStringLiteral("Admini/firma.dat"), Bajty(firma));
}

struct OknoZeStronaKsef {
    explicit OknoZeStronaKsef(const FolderTestowy& folder) : okno(folder.okno(pulpit)) {
        strona = okno->ksef;
        sejf.podlacz(*strona);
        strona->uslugi.sprawdzPolaczenie = [](const SrodowiskoKsef&, const PoswiadczeniaKsef&) {
            return QStringLiteral("nie wolno łączyć się w tym teście");
        };
    }
    void pokaz() { EXPECT_TRUE(okno->pokazStrone(Tustawienia_f::Ksef)); }
    bool zapisz() {
        auto* przycisk = strona->findChild<QPushButton*>(QStringLiteral("zapisz"));
        if (!przycisk->isEnabled()) return false;
        przycisk->click();
        return true;
    }

    PulpitTestowy pulpit;
    SejfTestowy sejf;
    std::unique_ptr<Tustawienia_f> okno;
    StronaKsef* strona;
};

TEST(StronaKsef, BezPlikuDomyslneINipSprzedawcyJakoPodpowiedz) {
    FolderTestowy folder;
    ZapiszFirme(folder, QStringLiteral("526-587-76-35"));
    OknoZeStronaKsef o(folder);
    o.pokaz();
    StronaKsef& s = *o.strona;
    EXPECT_TRUE(s.srodowisko_test->isChecked());
    EXPECT_TRUE(s.poswiadczenie_certyfikat->isChecked());
    EXPECT_TRUE(s.nip_kontekstu->text().isEmpty());
    EXPECT_TRUE(s.nip_kontekstu->placeholderText().startsWith(QStringLiteral("5265877635")));
    EXPECT_FALSE(s.token->isEnabled()) << "a certificate needs no token";
    EXPECT_TRUE(s.plik_certyfikatu->isEnabled());
    EXPECT_FALSE(s.adres_wlasny->isEnabled());
    EXPECT_FALSE(s.zmieniona());
    EXPECT_FALSE(folder.istnieje(QStringLiteral("Admini/ksef.ini"))) << "reading writes nothing";
    EXPECT_TRUE(o.pulpit.komunikaty.empty());
}

// Each choice of the page is saved and read back as it was chosen; the token goes to the keyring
// under the context NIP and the environment, and never into the file.
TEST(StronaKsef, ZapisIOdczytUstawienITokenTylkoWSejfie) {
    struct Przypadek {
        QRadioButton* StronaKsef::*srodowisko;
        const char* adres;
        const char* nip;
        bool tokenem;
        const char* oczekiwaneSrodowisko;
        const char* nipSekretu;
    };
    const Przypadek przypadki[] = {
        {&StronaKsef::srodowisko_test, "", "", true, "test", "5265877635"},
        {&StronaKsef::srodowisko_demo, "", "PL 111-111-11-11", true, "demo", "1111111111"},
        {&StronaKsef::srodowisko_produkcja, "", "", false, "produkcja", "5265877635"},
        {&StronaKsef::srodowisko_wlasne, "http://127.0.0.1:8123/v2", "1111111111", true,
         "http://127.0.0.1:8123/v2", "1111111111"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.oczekiwaneSrodowisko);
        FolderTestowy folder;
        ZapiszFirme(folder, QStringLiteral("5265877635"));
        OknoZeStronaKsef o(folder);
        o.pokaz();
        StronaKsef& s = *o.strona;
        (s.*p.srodowisko)->click();
        s.adres_wlasny->setText(QString::fromUtf8(p.adres));
        s.nip_kontekstu->setText(QString::fromUtf8(p.nip));
        (p.tokenem ? s.poswiadczenie_token : s.poswiadczenie_certyfikat)->click();
        const QString sekret = QStringLiteral("sekret-%1-ąę").arg(QString::fromUtf8(p.oczekiwaneSrodowisko));
        if (p.tokenem) {
            s.token->setText(sekret);
        } else {
            s.plik_certyfikatu->setText(folder.plik(QStringLiteral("ksef.crt")));
            s.plik_klucza->setText(folder.plik(QStringLiteral("ksef.key")));
            s.haslo_klucza->setText(sekret);
        }
        s.plik_certyfikatu_offline->setText(folder.plik(QStringLiteral("offline.crt")));
        EXPECT_TRUE(s.zmieniona());
        ASSERT_TRUE(o.zapisz());
        EXPECT_TRUE(o.pulpit.komunikaty.empty())
            << qPrintable(o.pulpit.komunikaty.empty() ? QString() : o.pulpit.komunikaty[0].tekst);

        const QByteArray plik = folder.czytaj(QStringLiteral("Admini/ksef.ini"));
        EXPECT_FALSE(plik.isEmpty());
        EXPECT_FALSE(plik.contains(sekret.toUtf8())) << "no secret in the data folder";
        const QString nazwa =
            NazwaSekretu(p.tokenem ? RodzajSekretu::Token : RodzajSekretu::HasloKlucza,
                         QString::fromUtf8(p.nipSekretu), QString::fromUtf8(p.oczekiwaneSrodowisko));
        EXPECT_EQ(o.sejf.sekrety.value(nazwa), sekret) << qPrintable(o.sejf.zapisy.join(u' '));
        EXPECT_EQ(o.sejf.zapisy.size(), 1);
        EXPECT_TRUE(s.token->text().isEmpty() && s.haslo_klucza->text().isEmpty())
            << "typed secrets are dropped";
        EXPECT_FALSE(s.zmieniona());

        // Read anew, as the program started again would.
        const UstawieniaKsef zapisane = CzytajUstawieniaKsef(DomyslnySystemPlikow());
        EXPECT_EQ(zapisane.srodowisko, QString::fromUtf8(p.oczekiwaneSrodowisko));
        EXPECT_EQ(zapisane.nipKontekstu, *p.nip ? QString::fromUtf8(p.nipSekretu) : QString())
            << "the ten digits, whatever was typed";
        EXPECT_EQ(zapisane.poswiadczenie, p.tokenem ? UstawieniaKsef::Poswiadczenie::Token
                                                    : UstawieniaKsef::Poswiadczenie::Certyfikat);
        EXPECT_EQ(zapisane.plikCertyfikatuOffline, folder.plik(QStringLiteral("offline.crt")));
        s.wczytaj();
        EXPECT_TRUE((s.*p.srodowisko)->isChecked());
        EXPECT_EQ(s.ustawienia().srodowisko, zapisane.srodowisko);
        EXPECT_TRUE(s.stan_sejfu->text().contains(QStringLiteral("jest zapisany w pęku kluczy")))
            << qPrintable(s.stan_sejfu->text());
    }
}

// What cannot be used is refused before anything is written.
TEST(StronaKsef, OdmowaZapisuZlegoAdresuINipu) {
    struct Przypadek {
        const char* adres;  // nullptr: the test environment
        const char* nip;
        const char* powod;
    };
    const Przypadek przypadki[] = {
        {"http://192.0.2.1/v2", "", "adres API"},  // plain http to another machine
        {"", "", "adres API"},                     // own address left empty
        {"ftp://127.0.0.1/v2", "", "adres API"},   //
        {nullptr, "5265877636", "NIP kontekstu"},  // wrong check digit
        {nullptr, "12345", "NIP kontekstu"},       //
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(std::string(p.adres ? p.adres : "test") + " " + p.nip);
        FolderTestowy folder;
        OknoZeStronaKsef o(folder);
        o.pokaz();
        StronaKsef& s = *o.strona;
        if (p.adres) {
            s.srodowisko_wlasne->click();
            s.adres_wlasny->setText(QString::fromUtf8(p.adres));
        }
        s.nip_kontekstu->setText(QString::fromUtf8(p.nip));
        s.poswiadczenie_token->click();
        s.token->setText(QStringLiteral("tajny"));
        ASSERT_TRUE(o.zapisz());
        ASSERT_EQ(o.pulpit.bledy().size(), 1);
        EXPECT_TRUE(o.pulpit.bledy()[0].contains(QString::fromUtf8(p.powod)))
            << qPrintable(o.pulpit.bledy()[0]);
        EXPECT_FALSE(folder.istnieje(QStringLiteral("Admini/ksef.ini")));
        EXPECT_TRUE(o.sejf.zapisy.isEmpty());
        EXPECT_TRUE(s.zmieniona()) << "the page keeps what was typed";
    }
}

// Without a keyring the settings are saved, the secret is kept nowhere, and the user learns that
// the programs will ask for it.
TEST(StronaKsef, BezSejfuMowiZeProgramyZapytaja) {
    FolderTestowy folder;
    ZapiszFirme(folder, QStringLiteral("5265877635"));
    OknoZeStronaKsef o(folder);
    o.sejf.dostepny = false;
    o.pokaz();
    StronaKsef& s = *o.strona;
    EXPECT_TRUE(s.stan_sejfu->text().contains(QStringLiteral("zapyta"))) << qPrintable(s.stan_sejfu->text());
    s.poswiadczenie_token->click();
    s.token->setText(QStringLiteral("tajny-token"));
    ASSERT_TRUE(o.zapisz());
    EXPECT_TRUE(o.pulpit.bledy().isEmpty());
    const QStringList informacje = o.pulpit.rodzaju(QStringLiteral("informacja"));
    ASSERT_EQ(informacje.size(), 1);
    EXPECT_TRUE(informacje[0].contains(QStringLiteral("zapyta"))) << qPrintable(informacje[0]);
    EXPECT_TRUE(o.sejf.sekrety.isEmpty());
    EXPECT_TRUE(folder.istnieje(QStringLiteral("Admini/ksef.ini")));
    EXPECT_FALSE(folder.czytaj(QStringLiteral("Admini/ksef.ini")).contains("tajny-token"));
    EXPECT_TRUE(s.token->text().isEmpty());
}

// "Sprawdź połączenie" runs the check off the window's thread with what the page shows (the token
// typed, else the keyring's) and shows its answer; the button waits for it.
TEST(StronaKsef, SprawdzeniePolaczenia) {
    struct Przypadek {
        const char* wpisany;  // the token typed
        const char* wSejfie;  // the keyring's
        const char* odpowiedz;
        const char* tokenSprawdzony;  // nullptr: the check is not run
        const char* pokazane;
    };
    const Przypadek przypadki[] = {
        {"wpisany", "", "", "wpisany", "Połączenie działa"},
        {"", "z-sejfu", "", "z-sejfu", "Połączenie działa"},
        {"wpisany", "z-sejfu", "KSeF odrzucił token (kod 450).", "wpisany", "KSeF odrzucił token (kod 450)."},
        {"", "", "", nullptr, "wpisz token"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.pokazane);
        FolderTestowy folder;
        ZapiszFirme(folder, QStringLiteral("5265877635"));
        OknoZeStronaKsef o(folder);
        o.pokaz();
        StronaKsef& s = *o.strona;
        s.srodowisko_wlasne->click();
        s.adres_wlasny->setText(QStringLiteral("http://127.0.0.1:9/v2"));
        s.poswiadczenie_token->click();
        s.token->setText(QString::fromUtf8(p.wpisany));
        if (*p.wSejfie)
            o.sejf.sekrety.insert(NazwaSekretu(RodzajSekretu::Token, QStringLiteral("5265877635"),
                                               QStringLiteral("http://127.0.0.1:9/v2")),
                                  QString::fromUtf8(p.wSejfie));

        QMutex zamek;
        zamek.lock();  // held until the button is seen waiting
        struct Wywolanie {
            QString api, nip, token;
            bool wWatkuOkna = true;
        };
        auto wywolanie = std::make_shared<std::optional<Wywolanie>>();
        QThread* watekOkna = QThread::currentThread();
        const QString odpowiedz = QString::fromUtf8(p.odpowiedz);
        s.uslugi.sprawdzPolaczenie = [&zamek, wywolanie, watekOkna, odpowiedz](
                                         const SrodowiskoKsef& srod, const PoswiadczeniaKsef& posw) {
            const QMutexLocker czekaj(&zamek);
            *wywolanie = Wywolanie{srod.api.toString(), posw.nipKontekstu, posw.token,
                                   QThread::currentThread() == watekOkna};
            return odpowiedz;
        };
        QSignalSpy koniec(&s, &StronaKsef::sprawdzonoPolaczenie);
        s.sprawdz_polaczenie->click();
        if (p.tokenSprawdzony) {
            EXPECT_TRUE(s.sprawdzanie());
            EXPECT_FALSE(s.sprawdz_polaczenie->isEnabled());
            zamek.unlock();
            EXPECT_TRUE(koniec.wait(5000));
            ASSERT_TRUE(wywolanie->has_value());
            EXPECT_FALSE((*wywolanie)->wWatkuOkna);
            EXPECT_EQ((*wywolanie)->api, QStringLiteral("http://127.0.0.1:9/v2"));
            EXPECT_EQ((*wywolanie)->nip, QStringLiteral("5265877635"));
            EXPECT_EQ((*wywolanie)->token, QString::fromUtf8(p.tokenSprawdzony));
        } else {
            zamek.unlock();
            EXPECT_FALSE(s.sprawdzanie());
            EXPECT_FALSE(wywolanie->has_value());
        }
        EXPECT_TRUE(s.sprawdz_polaczenie->isEnabled());
        EXPECT_TRUE(s.wynik_polaczenia->text().contains(QString::fromUtf8(p.pokazane)))
            << qPrintable(s.wynik_polaczenia->text());
        EXPECT_TRUE(o.sejf.zapisy.isEmpty()) << "a check keeps nothing";
    }
}

// The file pickers fill their fields; the token or the certificate's fields are usable as the
// credential chosen asks.
TEST(StronaKsef, WyborPlikowIDostepnoscPol) {
    FolderTestowy folder;
    OknoZeStronaKsef o(folder);
    o.pokaz();
    StronaKsef& s = *o.strona;
    const std::pair<QPushButton*, QLineEdit*> wybory[] = {
        {s.wybierz_certyfikat, s.plik_certyfikatu},
        {s.wybierz_klucz, s.plik_klucza},
        {s.wybierz_certyfikat_offline, s.plik_certyfikatu_offline},
        {s.wybierz_klucz_offline, s.plik_klucza_offline},
    };
    for (const auto& [przycisk, pole] : wybory) {
        const QString plik = folder.plik(przycisk->objectName());
        o.pulpit.pliki = {std::nullopt};
        przycisk->click();
        EXPECT_TRUE(pole->text().isEmpty()) << "a cancelled dialog changes nothing";
        o.pulpit.pliki = {plik};
        przycisk->click();
        EXPECT_EQ(pole->text(), plik);
    }
    EXPECT_EQ(o.pulpit.dialogi.size(), 8u);
    EXPECT_TRUE(s.zmieniona());

    s.poswiadczenie_token->click();
    EXPECT_TRUE(s.token->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{s.plik_certyfikatu, s.wybierz_certyfikat, s.plik_klucza,
                                                      s.wybierz_klucz, s.haslo_klucza})
        EXPECT_FALSE(w->isEnabled()) << qPrintable(w->objectName());
    EXPECT_TRUE(s.plik_certyfikatu_offline->isEnabled()) << "the Offline certificate serves either";
    s.srodowisko_wlasne->click();
    EXPECT_TRUE(s.adres_wlasny->isEnabled());

    o.strona->findChild<QPushButton*>(QStringLiteral("cofnij"))->click();
    EXPECT_FALSE(s.zmieniona());
    EXPECT_TRUE(s.plik_certyfikatu->text().isEmpty());
}

TEST(StronaKsef, KazdaKontrolkaMaNazwy) {
    FolderTestowy folder;
    OknoZeStronaKsef o(folder);
    o.pokaz();
    int sprawdzonych = 0;
    for (QWidget* w : o.strona->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QLabel*>(w) &&
            !qobject_cast<QGroupBox*>(w))
            continue;
        EXPECT_FALSE(w->objectName().isEmpty())
            << w->metaObject()->className() << " " << qPrintable(w->accessibleName());
        EXPECT_FALSE(w->accessibleName().isEmpty()) << qPrintable(w->objectName());
        ++sprawdzonych;
    }
    EXPECT_GT(sprawdzonych, 30);
}

}  // namespace
