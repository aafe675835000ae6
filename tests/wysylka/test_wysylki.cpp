// Sending a data folder's documents to the tests' KSeF, end to end: every document once, its KSeF
// number and UPO kept; every failure KSeF can answer with leaves a true message and a state the
// next run completes; a crash at any file operation of a run is resumed without sending twice.
#include <gtest/gtest.h>

#include <QDir>
#include <QMap>

#include "calc/dokument.h"
#include "eksport/dane_eksportu.h"
#include "eksport/nazwy_plikow.h"
#include "ksef/numer_ksef.h"
#include "ksef/symulator/symulator.h"
#include "ksef/wspolne/certyfikaty_testowe.h"
#include "store/blad.h"
#include "store/stan_ksef.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/zawodny_system_plikow.h"
#include "wysylka/folder_wysylki.h"
#include "wysylka/wysylka.h"

namespace {

// The invoice's number as FA(3) holds it (P_2): what KSeF's duplicate check compares.
QByteArray NumerFaktury(const QByteArray& xml) {
    const qsizetype od = xml.indexOf("<P_2>"), koniec = xml.indexOf("</P_2>");
    return od < 0 || koniec < od ? QByteArray() : xml.mid(od + 5, koniec - od - 5);
}

class Wysylka : public TestWysylki {};

TEST_F(Wysylka, KazdyDokumentRazZNumeremKsefIUpo) {
    const WynikWysylki wynik = wyslij();
    EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();
    EXPECT_EQ(wynik.przyjete, 3);
    ASSERT_EQ(symulator_.faktury().size(), 3u);
    QString numerFaktury1;
    for (const QString& nazwa : NazwyWysylki) {
        const auto s = stan(nazwa);
        ASSERT_TRUE(s) << nazwa.toStdString();
        EXPECT_EQ(s->stan, StanWysylki::Przyjety) << nazwa.toStdString();
        EXPECT_TRUE(PoprawnyNumerKsef(s->numerKsef)) << s->numerKsef.toStdString();
        EXPECT_TRUE(s->maUpo);
        const auto upo = CzytajUpo(DomyslnySystemPlikow(), nazwa);
        ASSERT_TRUE(upo);
        EXPECT_TRUE(upo->contains(s->numerKsef.toUtf8())) << nazwa.toStdString();
        // What KSeF received is exactly the kept bytes, and their hash is the one in the state.
        const auto xml = CzytajXmlKsef(DomyslnySystemPlikow(), nazwa);
        ASSERT_TRUE(xml);
        bool odebrany = false;
        for (const OdebranaFaktura& f : symulator_.faktury()) odebrany |= f.xml == *xml;
        EXPECT_TRUE(odebrany) << nazwa.toStdString();
        if (nazwa == NazwyWysylki[0]) numerFaktury1 = s->numerKsef;
    }
    // The correction was sent after its invoice was accepted and names it by its KSeF number.
    const auto korekta = CzytajXmlKsef(DomyslnySystemPlikow(), NazwyWysylki[2]);
    ASSERT_TRUE(korekta);
    EXPECT_TRUE(
        korekta->contains("<NrKSeFFaKorygowanej>" + numerFaktury1.toUtf8() + "</NrKSeFFaKorygowanej>"));
    EXPECT_TRUE(symulator_.bledy().isEmpty()) << symulator_.bledy().join(u'\n').toStdString();

    // The closed session's UPO is kept beside the invoices'.
    const QStringList upoSesji = QDir(katalog_.plik(QStringLiteral("KSeF/sesje")))
                                     .entryList({QStringLiteral("*.upo.xml")}, QDir::Files);
    ASSERT_EQ(upoSesji.size(), 1);
    EXPECT_TRUE(
        katalog_.czytaj(QStringLiteral("KSeF/sesje/") + upoSesji[0]).contains(numerFaktury1.toUtf8()));

    // A second run sends nothing again.
    const WynikWysylki drugi = wyslij();
    EXPECT_EQ(drugi.wyslane, 0);
    EXPECT_EQ(drugi.pominiete, 3);
    EXPECT_EQ(symulator_.faktury().size(), 3u);
}

// The window's selection: a list of positions in one run; what is not on it is left alone.
TEST_F(Wysylka, ListaPozycjiWJednymPrzebiegu) {
    zadanie_.wybor.pozycje = std::vector<std::int64_t>{2, 1};
    const WynikWysylki wynik = wyslij();
    EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();
    EXPECT_EQ(wynik.przyjete, 2);
    EXPECT_EQ(symulator_.faktury().size(), 2u);
    for (const QString& nazwa : {NazwyWysylki[0], NazwyWysylki[1]}) {
        const auto s = stan(nazwa);
        ASSERT_TRUE(s) << nazwa.toStdString();
        EXPECT_EQ(s->stan, StanWysylki::Przyjety) << nazwa.toStdString();
    }
    EXPECT_FALSE(stan(NazwyWysylki[2])) << "the correction was not selected";
}

// An access token that runs out is refreshed with the refresh token, and the call goes on.
TEST_F(Wysylka, WygaslyTokenDostepuJestOdswiezany) {
    KlientKsef klient(zadanie_.srodowisko, zadanie_.klient);
    klient.uwierzytelnijTokenem(QStringLiteral("9999999999"), TokenWysylki);
    symulator_.wygasTokenyDostepu();
    const KlientKsef::Sesja sesja = klient.otworzSesje();
    EXPECT_FALSE(sesja.numer.isEmpty());
    EXPECT_EQ(symulator_.ileZadan(QStringLiteral("^/auth/token/refresh$")), 1);
    klient.zamknijSesje(sesja.numer);
    // KSeF saw the expired token once (the 401 that led to the refresh), and nothing else amiss.
    ASSERT_EQ(symulator_.bledy().size(), 1) << symulator_.bledy().join(u'\n').toStdString();
    EXPECT_TRUE(symulator_.bledy()[0].contains(QStringLiteral("wygasły token dostępu")));
}

// Authentication with a KSeF certificate: the request signed with XAdES by the certificate's key
// (RSA and EC), the key read from its password-protected PKCS#8 file.
TEST_F(Wysylka, CertyfikatKsefRsaIEc) {
    for (const RodzajKlucza rodzaj : {RodzajKlucza::Rsa2048, RodzajKlucza::EcP256}) {
        SCOPED_TRACE(rodzaj == RodzajKlucza::Rsa2048 ? "RSA" : "EC");
        FolderZKsef f(zadanie_);
        OpisCertyfikatu opis;
        opis.rodzaj = rodzaj;
        opis.nip = QStringLiteral("9999999999");
        opis.haslo = "haslo-testowe";
        const CertyfikatTestowy cert = StworzCertyfikat(opis);
        f.katalog.zapisz(QStringLiteral("ja.crt"), cert.certyfikatPem);
        f.katalog.zapisz(QStringLiteral("ja.key"), cert.kluczPem);
        f.zadanie.poswiadczenia.rodzaj = PoswiadczeniaKsef::Rodzaj::Certyfikat;
        f.zadanie.poswiadczenia.token.clear();
        f.zadanie.poswiadczenia.plikCertyfikatu = f.katalog.plik(QStringLiteral("ja.crt"));
        f.zadanie.poswiadczenia.plikKlucza = f.katalog.plik(QStringLiteral("ja.key"));
        f.zadanie.poswiadczenia.hasloKlucza = opis.haslo;
        const WynikWysylki wynik = WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {});
        EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();
        EXPECT_EQ(wynik.przyjete, 3);
        EXPECT_TRUE(f.symulator.bledy().isEmpty()) << f.symulator.bledy().join(u'\n').toStdString();

        // A wrong password is said before anything is sent.
        f.zadanie.poswiadczenia.hasloKlucza = "inne";
        try {
            WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {});
            ADD_FAILURE() << "brak odmowy";
        } catch (const Odmowa& o) {
            EXPECT_TRUE(o.komunikat().contains(QStringLiteral("hasło"))) << o.komunikat().toStdString();
        }
    }
}

// Failures that pass: the run completes them itself, each document still sent once.
TEST_F(Wysylka, AwariePrzejscioweNieWysylajaDwaRazy) {
    struct Przypadek {
        AwariaSymulatora awaria;
        const char* sciezka;
        int ile;
    };
    const Przypadek przypadki[] = {
        {AwariaSymulatora::ZaDuzoZadan, "/invoices$", 2},
        {AwariaSymulatora::BladSerwera, "/invoices$", 1},
        {AwariaSymulatora::ZerwanePolaczenie, "/invoices$", 1},
        {AwariaSymulatora::BladSerwera, "/sessions/online$", 1},
        {AwariaSymulatora::ZerwanePolaczenie, "/auth/challenge", 1},
        {AwariaSymulatora::ZmianaKlucza, "/sessions/online$", 1},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.sciezka);
        FolderZKsef f(zadanie_);
        SymulatorKsef& symulator = f.symulator;
        symulator.awaria(p.awaria, p.ile, QString::fromLatin1(p.sciezka));
        ZadanieWysylki& zadanie = f.zadanie;
        WynikWysylki wynik = WyslijDokumenty(DomyslnySystemPlikow(), zadanie, {});
        // A lost answer may leave a document for the next run; that run must not send it again.
        if (wynik.przyjete < 3) wynik = WyslijDokumenty(DomyslnySystemPlikow(), zadanie, {});
        EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();
        QMap<QByteArray, int> ile;
        for (const OdebranaFaktura& f : symulator.faktury())
            if (f.kod == 200) ++ile[NumerFaktury(f.xml)];
        EXPECT_EQ(ile.size(), 3);
        for (int n : ile) EXPECT_EQ(n, 1);
        for (const QString& nazwa : NazwyWysylki) {
            const auto s = CzytajStanKsef(DomyslnySystemPlikow(), nazwa);
            ASSERT_TRUE(s);
            EXPECT_EQ(s->stan, StanWysylki::Przyjety) << nazwa.toStdString();
        }
    }
}

// Refusals: a Polish message naming the reason; nothing accepted is claimed.
TEST_F(Wysylka, OdmowyKsefDajaPolskiKomunikat) {
    struct Przypadek {
        AwariaSymulatora awaria;
        const char* sciezka;
        const char* wKomunikacie;
        bool rzuca;  // the run ends (authentication), or the document is rejected
    };
    const Przypadek przypadki[] = {
        {AwariaSymulatora::WygaslaWyzwanie, "/auth/ksef-token", "wyzwanie", true},
        {AwariaSymulatora::PonownyOdbior, "/auth/token/redeem", "KSeF", true},
        {AwariaSymulatora::ZlySkrotFaktury, "/invoices$", "skrót", false},
        {AwariaSymulatora::OdrzucenieFaktury, "/invoices$", "odrzucony", false},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.sciezka);
        FolderZKsef f(zadanie_);
        SymulatorKsef& symulator = f.symulator;
        symulator.awaria(p.awaria, 1, QString::fromLatin1(p.sciezka));
        ZadanieWysylki& zadanie = f.zadanie;
        if (p.rzuca) {
            try {
                WyslijDokumenty(DomyslnySystemPlikow(), zadanie, {});
                ADD_FAILURE() << "brak odmowy";
            } catch (const Odmowa& o) {
                EXPECT_TRUE(o.komunikat().contains(QString::fromUtf8(p.wKomunikacie), Qt::CaseInsensitive))
                    << o.komunikat().toStdString();
            }
            for (const QString& nazwa : NazwyWysylki) {
                const auto s = CzytajStanKsef(DomyslnySystemPlikow(), nazwa);
                EXPECT_TRUE(!s || s->stan == StanWysylki::Niewyslany) << nazwa.toStdString();
            }
            continue;
        }
        const WynikWysylki wynik = WyslijDokumenty(DomyslnySystemPlikow(), zadanie, {});
        EXPECT_EQ(wynik.kod, 1);
        EXPECT_EQ(wynik.odrzucone, 1);
        ASSERT_FALSE(wynik.bledy.isEmpty());
        EXPECT_TRUE(wynik.bledy.join(u'\n').contains(QString::fromUtf8(p.wKomunikacie), Qt::CaseInsensitive))
            << wynik.bledy.join(u'\n').toStdString();
        const auto s = CzytajStanKsef(DomyslnySystemPlikow(), NazwyWysylki[0]);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->stan, StanWysylki::Odrzucony);
        EXPECT_FALSE(s->powod.isEmpty());
    }
}

// A crash at any file operation of a run (the disk keeps only what was synced), then a run that
// completes: every document accepted, none sent twice.
TEST_F(Wysylka, AwariaWKazdymKrokuIWznowienie) {
    int operacjiCalegoPrzebiegu = 0;
    {
        FolderZKsef f(zadanie_);
        ZawodnySystemPlikow liczacy;
        ASSERT_EQ(WyslijDokumenty(liczacy, f.zadanie, {}).przyjete, 3);
        operacjiCalegoPrzebiegu = liczacy.liczbaOperacji();
    }
    ASSERT_GT(operacjiCalegoPrzebiegu, 10);
    const int krok = std::max(1, operacjiCalegoPrzebiegu / 60);
    for (int k = 1; k <= operacjiCalegoPrzebiegu; k += krok) {
        SCOPED_TRACE(k);
        FolderZKsef f(zadanie_);
        SymulatorKsef& symulator = f.symulator;
        ZadanieWysylki& zadanie = f.zadanie;
        {
            ZawodnySystemPlikow zawodny;
            zawodny.zawiedzOd(k, true);
            try {
                WyslijDokumenty(zawodny, zadanie, {});
            } catch (const BladPliku&) {
            } catch (const Odmowa&) {
            }
            zawodny.symulujAwarie();
            zawodny.napraw();
        }
        const WynikWysylki wynik = WyslijDokumenty(DomyslnySystemPlikow(), zadanie, {});
        EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();
        int przyjetych = 0;
        for (const QString& nazwa : NazwyWysylki) {
            const auto s = CzytajStanKsef(DomyslnySystemPlikow(), nazwa);
            ASSERT_TRUE(s) << nazwa.toStdString();
            EXPECT_EQ(s->stan, StanWysylki::Przyjety) << nazwa.toStdString();
            przyjetych += s->stan == StanWysylki::Przyjety;
        }
        EXPECT_EQ(przyjetych, 3);
        // No invoice number accepted twice: a lost state is found again by the hash or by KSeF's
        // duplicate check, never issued as a second invoice.
        QMap<QByteArray, int> numery;
        for (const OdebranaFaktura& f : symulator.faktury())
            if (f.kod == 200) ++numery[NumerFaktury(f.xml)];
        EXPECT_EQ(numery.size(), 3);
        for (int n : numery) EXPECT_EQ(n, 1);
    }
}

}  // namespace
