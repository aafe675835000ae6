// Sending documents issued offline, end to end against the tests' KSeF: sent with offlineMode, and
// when KSeF rejects one, sent again with new bytes as its technical correction naming the first
// bytes, while the printed KOD I keeps naming them; a crash on the way is resumed without losing
// the first hash or sending twice.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QThread>

#include "eksport/ksef.h"
#include "ksef/kody_qr.h"
#include "ksef/kryptografia.h"
#include "ksef/numer_ksef.h"
#include "store/blad.h"
#include "wspolne/zawodny_system_plikow.h"
#include "wysylka/folder_wysylki.h"

namespace {

const QString LinkKoduIIOffline = QStringLiteral("https://qr-test.ksef.mf.gov.pl/certificate/podpisany");

struct WystawionyOffline {
    QByteArray xml;
    QString skrot;  // Base64 SHA-256, as the API writes it
    QString linkKoduI;
};

// What the offline issue leaves: the FA(3) bytes made as the sending makes them, kept, and the
// state `Offline` with its mode, deadline and links. Put through the store directly.
WystawionyOffline WystawTestowoOffline(const ZadanieWysylki& zadanie, int pozycja, const QString& tryb,
                                       const QDateTime& czas = QDateTime::currentDateTimeUtc()) {
    KontekstKsef kontekst;
    kontekst.firma = FirmaTestowa();
    kontekst.stopka = UstawieniaTestowe().stopka.tekst();
    kontekst.opcje = zadanie.opcje;
    kontekst.systemInfo = QStringLiteral("faktura-ksef");
    kontekst.czasWytworzenia = czas;
    const WynikKsef wynik = DokumentFa3(DokumentyWysylki().at(static_cast<size_t>(pozycja)), {}, kontekst);
    EXPECT_TRUE(wynik.powody.isEmpty()) << wynik.powody.join(u'\n').toStdString();
    const QString nazwa = NazwyWysylki.at(pozycja);
    WystawionyOffline w;
    w.xml = ZachowajXmlKsef(DomyslnySystemPlikow(), nazwa, wynik.xml);
    w.skrot = Sha256Base64(w.xml);
    w.linkKoduI = LinkKoduI(zadanie.srodowisko.qr, NipWysylki, *DataWystawieniaFa3(w.xml), Sha256(w.xml));
    ZmienStanKsef(DomyslnySystemPlikow(), nazwa, [&](std::optional<StanKsef>& s) {
        StanKsef nowy;
        nowy.stan = StanWysylki::Offline;
        nowy.skrot = w.skrot;
        nowy.rozmiar = w.xml.size();
        nowy.trybOffline = tryb;
        nowy.terminOffline = QDate(2026, 12, 10);
        nowy.linkKoduI = w.linkKoduI;
        nowy.linkKoduII = LinkKoduIIOffline;
        s = nowy;
    });
    return w;
}

// The invoices KSeF took with this invoice number (P_2), in order.
std::vector<OdebranaFaktura> OdebraneONumerze(const SymulatorKsef& symulator, const QByteArray& numer) {
    std::vector<OdebranaFaktura> wynik;
    for (const OdebranaFaktura& f : symulator.faktury())
        if (f.xml.contains("<P_2>" + numer + "</P_2>")) wynik.push_back(f);
    return wynik;
}

class WysylkaOffline : public TestWysylki {
  protected:
    std::optional<QByteArray> xml(const QString& nazwa) {
        return CzytajXmlKsef(DomyslnySystemPlikow(), nazwa);
    }
};

// Each mode of the offline issue: the invoice goes with offlineMode, is accepted under its KSeF
// number, and keeps its bytes, its links and its mode.
TEST_F(WysylkaOffline, WyslanyZTrybemOfflineZachowujeBajtyILinki) {
    for (const char* tryb : {"offline24", "offline", "awaryjny"}) {
        SCOPED_TRACE(tryb);
        FolderZKsef f(zadanie_);
        const WystawionyOffline w = WystawTestowoOffline(f.zadanie, 0, QString::fromLatin1(tryb));
        const WynikWysylki wynik = WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {});
        EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();
        EXPECT_EQ(wynik.przyjete, 3);

        const auto odebrane = OdebraneONumerze(f.symulator, "1/2026");
        ASSERT_EQ(odebrane.size(), 1u);
        EXPECT_EQ(odebrane[0].xml, w.xml);
        EXPECT_TRUE(odebrane[0].offlineMode);
        EXPECT_TRUE(odebrane[0].hashOfCorrectedInvoice.isEmpty());
        EXPECT_EQ(odebrane[0].kod, 200);
        // The others were issued online and say so; no technical correction anywhere.
        for (const OdebranaFaktura& o : f.symulator.faktury()) {
            EXPECT_EQ(o.offlineMode, o.xml == w.xml);
            EXPECT_TRUE(o.hashOfCorrectedInvoice.isEmpty());
        }

        const auto s = CzytajStanKsef(DomyslnySystemPlikow(), NazwyWysylki[0]);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->stan, StanWysylki::Przyjety);
        EXPECT_TRUE(PoprawnyNumerKsef(s->numerKsef)) << s->numerKsef.toStdString();
        EXPECT_EQ(s->numerKsef, odebrane[0].numerKsef);
        EXPECT_EQ(s->skrot, w.skrot);
        EXPECT_TRUE(s->skrotPierwotny.isEmpty());
        EXPECT_EQ(s->linkKoduI, w.linkKoduI);
        EXPECT_EQ(s->linkKoduII, LinkKoduIIOffline);
        EXPECT_EQ(s->trybOffline, QString::fromLatin1(tryb));
        EXPECT_TRUE(s->maUpo);
        EXPECT_EQ(CzytajXmlKsef(DomyslnySystemPlikow(), NazwyWysylki[0]), w.xml);
        EXPECT_TRUE(f.symulator.bledy().isEmpty()) << f.symulator.bledy().join(u'\n').toStdString();
    }
}

// Its kept bytes lost: other bytes made now would not be what the printed KOD I names, so the
// invoice is not sent and the run says why.
TEST_F(WysylkaOffline, BezZachowanychBajtowNieWysylany) {
    WystawTestowoOffline(zadanie_, 0, QStringLiteral("offline24"));
    ASSERT_TRUE(QFile::remove(katalog_.plik(QStringLiteral("KSeF/F_1_2026.xml"))));
    const WynikWysylki wynik = wyslij();
    EXPECT_EQ(wynik.kod, 1);
    EXPECT_TRUE(wynik.bledy.join(u'\n').contains(QStringLiteral("F_1_2026")))
        << wynik.bledy.join(u'\n').toStdString();
    EXPECT_TRUE(OdebraneONumerze(symulator_, "1/2026").empty());
    EXPECT_EQ(stan(NazwyWysylki[0])->stan, StanWysylki::Offline);
    EXPECT_FALSE(xml(NazwyWysylki[0]));
    EXPECT_EQ(wynik.przyjete, 2);  // the others go
}

// Rejected after an offline issue: the next run sends new bytes as the technical correction of the
// first ones; KSeF links the two, and the printed KOD I still names the first bytes.
TEST_F(WysylkaOffline, OdrzuconyWysylanyJakoKorektaTechniczna) {
    // Made at the start of a second: the rejecting run and the next one follow within it.
    QThread::msleep(static_cast<unsigned long>(1000 - QTime::currentTime().msec()));
    const WystawionyOffline w = WystawTestowoOffline(zadanie_, 0, QStringLiteral("offline24"));
    symulator_.awaria(AwariaSymulatora::OdrzucenieFaktury, 1, QStringLiteral("/invoices$"));
    const WynikWysylki pierwszy = wyslij();
    EXPECT_EQ(pierwszy.odrzucone, 1);
    auto s = stan(NazwyWysylki[0]);
    ASSERT_TRUE(s);
    ASSERT_EQ(s->stan, StanWysylki::Odrzucony);
    EXPECT_EQ(s->trybOffline, QStringLiteral("offline24"));
    EXPECT_EQ(s->skrot, w.skrot);

    // At once: the bytes made again in the same second as the first must still differ from them.
    const WynikWysylki drugi = wyslij();
    EXPECT_EQ(drugi.kod, 0) << drugi.bledy.join(u'\n').toStdString();
    EXPECT_EQ(drugi.przyjete, 1);
    const auto odebrane = OdebraneONumerze(symulator_, "1/2026");
    ASSERT_EQ(odebrane.size(), 2u);
    EXPECT_EQ(odebrane[0].xml, w.xml);
    EXPECT_EQ(odebrane[0].kod, 450);
    EXPECT_TRUE(odebrane[0].hashOfCorrectedInvoice.isEmpty());
    const OdebranaFaktura& korekta = odebrane[1];
    EXPECT_NE(korekta.xml, w.xml);
    EXPECT_TRUE(korekta.offlineMode);
    EXPECT_EQ(korekta.hashOfCorrectedInvoice.toStdString(), w.skrot.toStdString());
    EXPECT_EQ(korekta.kod, 200);
    // Linked by KSeF to the rejected one.
    const auto wszystkie = symulator_.faktury();
    ASSERT_GE(korekta.korygowana, 0);
    EXPECT_EQ(wszystkie.at(static_cast<size_t>(korekta.korygowana)).xml, w.xml);

    s = stan(NazwyWysylki[0]);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->stan, StanWysylki::Przyjety);
    EXPECT_EQ(s->numerKsef, korekta.numerKsef);
    EXPECT_EQ(s->skrot, Sha256Base64(korekta.xml));
    EXPECT_EQ(s->skrotPierwotny.toStdString(), w.skrot.toStdString());
    EXPECT_EQ(s->linkKoduI, w.linkKoduI);
    EXPECT_EQ(s->linkKoduII, LinkKoduIIOffline);
    EXPECT_EQ(s->trybOffline, QStringLiteral("offline24"));
    EXPECT_EQ(xml(NazwyWysylki[0]), korekta.xml);
    EXPECT_TRUE(s->maUpo);

    // Accepted: nothing goes again.
    const WynikWysylki trzeci = wyslij();
    EXPECT_EQ(trzeci.wyslane, 0);
    EXPECT_EQ(OdebraneONumerze(symulator_, "1/2026").size(), 2u);
}

// A document issued online and rejected is not sent again unchanged; corrected in the module it
// goes with new bytes, still online, never as a technical correction.
TEST_F(WysylkaOffline, OdrzuconyOnlineBezKorektyTechnicznej) {
    symulator_.awaria(AwariaSymulatora::OdrzucenieFaktury, 1, QStringLiteral("/invoices$"));
    EXPECT_EQ(wyslij().odrzucone, 1);
    const auto odrzucony = stan(NazwyWysylki[0]);
    ASSERT_TRUE(odrzucony);
    ASSERT_EQ(odrzucony->stan, StanWysylki::Odrzucony);
    const auto pierwsze = xml(NazwyWysylki[0]);
    ASSERT_TRUE(pierwsze);

    const WynikWysylki bezZmian = wyslij();
    EXPECT_EQ(bezZmian.wyslane, 0);
    EXPECT_EQ(OdebraneONumerze(symulator_, "1/2026").size(), 1u);
    EXPECT_EQ(stan(NazwyWysylki[0])->stan, StanWysylki::Odrzucony);
    EXPECT_EQ(xml(NazwyWysylki[0]), pierwsze);

    // Corrected in the module: another price.
    std::vector<TDokument> dokumenty = DokumentyWysylki();
    dokumenty[0] = NowaFaktura({"1", "2026", "2026-12-01", "Odbiorca Jeden", "5260250274", "przelew", "14"},
                               {{"Usługa A", "", "szt", "2", "110.00", "23"}});
    ZapiszFolderWysylki(katalog_, dokumenty);
    const WynikWysylki poprawiony = wyslij();
    EXPECT_EQ(poprawiony.kod, 0) << poprawiony.bledy.join(u'\n').toStdString();
    const auto odebrane = OdebraneONumerze(symulator_, "1/2026");
    ASSERT_EQ(odebrane.size(), 2u);
    EXPECT_EQ(odebrane[1].kod, 200);
    EXPECT_NE(odebrane[1].xml, *pierwsze);
    for (const OdebranaFaktura& o : symulator_.faktury()) {
        EXPECT_FALSE(o.offlineMode);
        EXPECT_TRUE(o.hashOfCorrectedInvoice.isEmpty());
        EXPECT_EQ(o.korygowana, -1);
    }
    const auto s = stan(NazwyWysylki[0]);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->stan, StanWysylki::Przyjety);
    EXPECT_TRUE(s->skrotPierwotny.isEmpty());
    EXPECT_TRUE(s->trybOffline.isEmpty());
    EXPECT_EQ(s->linkKoduI,
              LinkKoduI(zadanie_.srodowisko.qr, NipWysylki, QDate(2026, 12, 1), Sha256(odebrane[1].xml)));
}

// The correction's answer lost on the way: one that never reached KSeF goes again in the same run,
// one that did is found by its hash; either way it names the first bytes and is accepted once.
TEST_F(WysylkaOffline, KorektaBezOdpowiedziNieGubiSkrotuPierwotnego) {
    struct Przypadek {
        const char* opis;
        AwariaSymulatora awaria;
        int ile;
        bool zgloszony = false;  // the run that could not get it there says so
    };
    const Przypadek przypadki[] = {
        // Refused by the gateway: the correction never arrived (an invoice is not tried again
        // blindly).
        {"nie dotarła", AwariaSymulatora::BladSerwera, 1},
        // Sent again in the same run, and refused again: left for the next run, as a failure.
        {"nie dotarła dwa razy", AwariaSymulatora::BladSerwera, 2, true},
        // Arrived, the answer dropped; the network layer's own repetition is refused by KSeF.
        {"dotarła bez odpowiedzi", AwariaSymulatora::ZerwanePolaczenie, 1},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        FolderZKsef f(zadanie_);
        const WystawionyOffline w = WystawTestowoOffline(f.zadanie, 0, QStringLiteral("offline24"),
                                                         QDateTime::currentDateTimeUtc().addSecs(-3600));
        f.symulator.awaria(AwariaSymulatora::OdrzucenieFaktury, 1, QStringLiteral("/invoices$"));
        ASSERT_EQ(WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {}).odrzucone, 1);

        f.symulator.awaria(p.awaria, p.ile, QStringLiteral("^/sessions/online/[^/]+/invoices$"));
        WynikWysylki wynik;
        try {
            wynik = WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {});
        } catch (const Odmowa& o) {
            wynik.kod = 1;
            wynik.bledy << o.komunikat();
        }
        if (p.zgloszony) {
            EXPECT_EQ(wynik.kod, 1);
            EXPECT_TRUE(wynik.bledy.join(u'\n').contains(QStringLiteral("nie dotarł")))
                << wynik.bledy.join(u'\n').toStdString();
            EXPECT_EQ(OdebraneONumerze(f.symulator, "1/2026").size(), 1u);
        }
        if (wynik.przyjete == 0) wynik = WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {});
        EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();

        const auto odebrane = OdebraneONumerze(f.symulator, "1/2026");
        ASSERT_EQ(odebrane.size(), 2u);
        EXPECT_EQ(odebrane[1].hashOfCorrectedInvoice.toStdString(), w.skrot.toStdString());
        EXPECT_TRUE(odebrane[1].offlineMode);
        EXPECT_EQ(odebrane[1].kod, 200);
        const auto s = CzytajStanKsef(DomyslnySystemPlikow(), NazwyWysylki[0]);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->stan, StanWysylki::Przyjety);
        EXPECT_EQ(s->numerKsef, odebrane[1].numerKsef);
        EXPECT_EQ(s->skrotPierwotny.toStdString(), w.skrot.toStdString());
        EXPECT_EQ(s->linkKoduI, w.linkKoduI);
    }
}

// KSeF holds an accepted correction already (the state says otherwise, e.g. restored from an older
// copy): its refusal rejects this document only, and the run sends the others.
TEST_F(WysylkaOffline, KorektaJuzPrzyjetaOdrzucaTylkoTenDokument) {
    ZapiszFolderWysylki(katalog_, {DokumentyWysylki()[0]});
    const WystawionyOffline w = WystawTestowoOffline(zadanie_, 0, QStringLiteral("offline24"),
                                                     QDateTime::currentDateTimeUtc().addSecs(-3600));
    symulator_.awaria(AwariaSymulatora::OdrzucenieFaktury, 1, QStringLiteral("/invoices$"));
    ASSERT_EQ(wyslij().odrzucone, 1);
    ASSERT_EQ(wyslij().przyjete, 1);
    ZmienStanKsef(DomyslnySystemPlikow(), NazwyWysylki[0], [](std::optional<StanKsef>& s) {
        if (!s) return;
        s->stan = StanWysylki::Odrzucony;
        s->numerKsef.clear();
    });
    ZapiszFolderWysylki(katalog_, {DokumentyWysylki()[0], DokumentyWysylki()[1]});

    const WynikWysylki wynik = wyslij();
    EXPECT_EQ(wynik.kod, 1);
    EXPECT_EQ(wynik.odrzucone, 1);
    EXPECT_EQ(wynik.przyjete, 1);
    EXPECT_TRUE(wynik.bledy.join(u'\n').contains(QStringLiteral("Korekta techniczna niedostępna")))
        << wynik.bledy.join(u'\n').toStdString();
    EXPECT_EQ(OdebraneONumerze(symulator_, "1/2026").size(), 2u);
    const auto s = stan(NazwyWysylki[0]);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->stan, StanWysylki::Odrzucony);
    EXPECT_EQ(s->kod, 21166);
    EXPECT_EQ(s->skrotPierwotny.toStdString(), w.skrot.toStdString());
    EXPECT_EQ(stan(NazwyWysylki[1])->stan, StanWysylki::Przyjety);
}

// A crash at any file operation of the run that sends the technical correction (the disk keeps
// only what was synced), then a run that completes: the correction names the first bytes every
// time it goes, one of it is accepted, and the state keeps the first hash and link.
TEST_F(WysylkaOffline, AwariaPodczasKorektyTechnicznejIWznowienie) {
    // The folder with the first bytes rejected, ready for the correcting run.
    const auto przygotuj = [](FolderZKsef& f) {
        ZapiszFolderWysylki(f.katalog, {DokumentyWysylki()[0]});  // the one invoice: a shorter run
        // Issued an hour ago: the correction's bytes differ without waiting for the clock.
        const WystawionyOffline w = WystawTestowoOffline(f.zadanie, 0, QStringLiteral("offline"),
                                                         QDateTime::currentDateTimeUtc().addSecs(-3600));
        f.symulator.awaria(AwariaSymulatora::OdrzucenieFaktury, 1, QStringLiteral("/invoices$"));
        EXPECT_EQ(WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {}).odrzucone, 1);
        return w;
    };
    int operacji = 0;
    {
        FolderZKsef f(zadanie_);
        przygotuj(f);
        ZawodnySystemPlikow liczacy;
        ASSERT_EQ(WyslijDokumenty(liczacy, f.zadanie, {}).przyjete, 1);
        operacji = liczacy.liczbaOperacji();
    }
    ASSERT_GT(operacji, 5);
    for (int k = 1; k <= operacji; ++k) {
        SCOPED_TRACE(k);
        FolderZKsef f(zadanie_);
        const WystawionyOffline w = przygotuj(f);
        {
            ZawodnySystemPlikow zawodny;
            zawodny.zawiedzOd(k, true);
            try {
                WyslijDokumenty(zawodny, f.zadanie, {});
            } catch (const BladPliku&) {
            } catch (const Odmowa&) {
            }
            zawodny.symulujAwarie();
            zawodny.napraw();
        }
        const WynikWysylki wynik = WyslijDokumenty(DomyslnySystemPlikow(), f.zadanie, {});
        EXPECT_EQ(wynik.kod, 0) << wynik.bledy.join(u'\n').toStdString();

        const auto s = CzytajStanKsef(DomyslnySystemPlikow(), NazwyWysylki[0]);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->stan, StanWysylki::Przyjety);
        EXPECT_EQ(s->skrotPierwotny.toStdString(), w.skrot.toStdString());
        EXPECT_EQ(s->linkKoduI, w.linkKoduI);
        EXPECT_EQ(s->trybOffline, QStringLiteral("offline"));

        const auto odebrane = OdebraneONumerze(f.symulator, "1/2026");
        ASSERT_GE(odebrane.size(), 2u);
        EXPECT_EQ(odebrane[0].xml, w.xml);
        int przyjetych = 0;
        for (size_t i = 1; i < odebrane.size(); ++i) {
            EXPECT_TRUE(odebrane[i].offlineMode) << i;
            EXPECT_EQ(odebrane[i].hashOfCorrectedInvoice.toStdString(), w.skrot.toStdString()) << i;
            if (odebrane[i].kod == 200) {
                ++przyjetych;
                EXPECT_EQ(odebrane[i].numerKsef, s->numerKsef);
                EXPECT_EQ(s->skrot, Sha256Base64(odebrane[i].xml));
            }
        }
        EXPECT_EQ(przyjetych, 1);
    }
}

}  // namespace
