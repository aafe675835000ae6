// A document that KSeF has (sent and awaiting its decision, or accepted), or that was issued offline,
// is neither changed in place nor deleted by the module: it says so and leaves the file as it was. Every
// other document, a correction of one in KSeF and a document whose state file cannot be trusted behave as
// they should.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "documents/okno_na_danych.h"

namespace {

struct PrzypadekKsef {
    const char* opis;
    const char* stan;   // content of KSeF/F_2_2011.stan, nullptr: no file
    const char* tekst;  // part of the message when refused, nullptr: the change goes ahead
};

const PrzypadekKsef PrzypadkiKsef[] = {
    {"nigdy nie wysłany", nullptr, nullptr},
    {"niewysłany", "stan=niewyslany\n", nullptr},
    {"odrzucony", "stan=odrzucony\nkod=450\npowod=zły NIP\n", nullptr},
    // Handed to the buyer with codes that name its kept bytes.
    {"offline", "stan=offline\ntryb_offline=offline24\ntermin_offline=2011-01-04\n",
     "Faktura 2/2011 została wystawiona offline 2011-01-03 i czeka na wysłanie do KSeF."},
    // Rejected after an offline issue: it goes again as its technical correction, which may not
    // change what the buyer was given.
    {"odrzucony po wystawieniu offline", "stan=odrzucony\ntryb_offline=offline24\nkod=450\n",
     "Faktura 2/2011 została wystawiona offline 2011-01-03 i odrzucona przez KSeF; wysyłanie ponowi ją jako "
     "korektę techniczną tej samej treści."},
    {"pusty plik stanu", "", nullptr},
    {"przyjęty", "stan=przyjety\nnumer_ksef=5265877635-20260101-0100A0000000-1F\n",
     "Faktura 2/2011 jest w KSeF pod numerem 5265877635-20260101-0100A0000000-1F."},
    {"wysłany", "stan=wyslany\nnumer_faktury=20260101-EE-1\n", "Faktura 2/2011 została wysłana do KSeF."},
    {"wysyłany", "stan=wysylany\n", "Faktura 2/2011 została wysłana do KSeF."},
};

const std::vector<TDokument> TrzyFaktury() {
    std::vector<TDokument> d{DokumentZTabela("F", "1", "A", "A"), DokumentZTabela("F", "2", "B", "B"),
                             DokumentZTabela("F", "3", "C", "C")};
    d[1].data_wystawienia.ustaw(QStringLiteral("2011-01-03"));
    return d;
}

TEST(DokumentWKsef, ZapisWMiejscuOdmowionyTylkoGdyDokumentJestWKsef) {
    for (const PrzypadekKsef& p : PrzypadkiKsef) {
        SCOPED_TRACE(p.opis);
        OknoNaDanych dane(TrzyFaktury());
        if (p.stan) {
            dane.katalog.utworzFolder(QStringLiteral("KSeF"));
            dane.katalog.zapisz(QStringLiteral("KSeF/F_2_2011.stan"), p.stan);
        }
        Tfaktura_f& okno = dane.uruchom();
        WczytajZListy(okno, 1);
        const QByteArray przed = dane.dokumenty();
        dane.platforma.komunikaty.clear();
        // The state belongs to the stored number, whatever the form shows now.
        okno.numerator->setText(QStringLiteral("77"));
        okno.odbiorca2->setText(QStringLiteral("Nowa ulica 5"));
        Zapisz(okno, dane.platforma);
        ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
        ASSERT_FALSE(dane.platforma.komunikaty.empty());
        if (p.tekst) {
            ASSERT_EQ(dane.platforma.komunikaty.size(), 1u) << "no question is asked";
            EXPECT_EQ(dane.platforma.komunikaty[0].rodzaj, "informacja");
            EXPECT_EQ(dane.platforma.komunikaty[0].tekst,
                      QString::fromUtf8(p.tekst) +
                          QStringLiteral(" Nie można jej zmienić; zamiast tego wystaw fakturę korygującą."));
            EXPECT_EQ(dane.dokumenty(), przed);
            EXPECT_EQ(okno.odbiorca2->text(), "Nowa ulica 5") << "the form keeps what was typed";
        } else {
            EXPECT_EQ(dane.platforma.komunikaty[0].tekst, "Zapisać zmiany w fakturze ?");
            EXPECT_EQ(Rekordy(dane.dokumenty())[1].odbiorca2.tekst(), "Nowa ulica 5");
        }
    }
}

TEST(DokumentWKsef, UsuniecieOdmowioneTylkoGdyDokumentJestWKsef) {
    for (const PrzypadekKsef& p : PrzypadkiKsef) {
        SCOPED_TRACE(p.opis);
        OknoNaDanych dane(TrzyFaktury());
        if (p.stan) {
            dane.katalog.utworzFolder(QStringLiteral("KSeF"));
            dane.katalog.zapisz(QStringLiteral("KSeF/F_2_2011.stan"), p.stan);
        }
        Tfaktura_f& okno = dane.uruchom();
        WczytajZListy(okno, 1);
        const QByteArray przed = dane.dokumenty();
        dane.platforma.komunikaty.clear();
        Usun(okno, dane.platforma);
        ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
        ASSERT_FALSE(dane.platforma.komunikaty.empty());
        if (p.tekst) {
            ASSERT_EQ(dane.platforma.komunikaty.size(), 1u);
            EXPECT_EQ(dane.platforma.komunikaty[0].tekst,
                      QString::fromUtf8(p.tekst) +
                          QStringLiteral(" Nie można jej usunąć; zamiast tego wystaw fakturę korygującą."));
            EXPECT_EQ(dane.dokumenty(), przed);
            EXPECT_EQ(okno.odbiorca1->text(), "B") << "the document stays shown";
        } else {
            EXPECT_EQ(dane.platforma.komunikaty[0].tekst, "Usunąć dokument ?");
            EXPECT_EQ(Rekordy(dane.dokumenty()).size(), 2u);
        }
    }
}

// A state file that cannot be read may belong to a sent document: nothing is changed, and the error
// names the file.
TEST(DokumentWKsef, NieczytelnyStanOdmawiaZBledemPliku) {
    for (const bool usuwanie : {false, true}) {
        SCOPED_TRACE(usuwanie ? "usuwanie" : "zapis");
        OknoNaDanych dane(TrzyFaktury());
        dane.katalog.utworzFolder(QStringLiteral("KSeF"));
        dane.katalog.zapisz(QStringLiteral("KSeF/F_2_2011.stan"), "stan=przyjety\nto nie jest para\n");
        Tfaktura_f& okno = dane.uruchom();
        WczytajZListy(okno, 1);
        const QByteArray przed = dane.dokumenty();
        okno.odbiorca2->setText(QStringLiteral("Nowa ulica 5"));
        if (usuwanie)
            Usun(okno, dane.platforma);
        else
            Zapisz(okno, dane.platforma);
        ASSERT_EQ(dane.platforma.bledy().size(), 1u);
        const QString blad = dane.platforma.bledy().front();
        EXPECT_TRUE(blad.contains(
            usuwanie ? QStringLiteral("Dokument nie został usunięty, bo nie wiadomo, czy jest w KSeF")
                     : QStringLiteral("Zmiany nie zostały zapisane, bo nie wiadomo")))
            << blad.toStdString();
        EXPECT_TRUE(blad.contains(dane.katalog.plik(QStringLiteral("KSeF/F_2_2011.stan"))))
            << blad.toStdString();
        EXPECT_EQ(dane.dokumenty(), przed);
    }
}

// What stays as designed: a correction of an accepted invoice, and a new invoice, are stored.
TEST(DokumentWKsef, KorektaINowaFakturaSaZapisywane) {
    OknoNaDanych dane(TrzyFaktury());
    dane.katalog.utworzFolder(QStringLiteral("KSeF"));
    dane.katalog.zapisz(QStringLiteral("KSeF/F_2_2011.stan"), "stan=przyjety\nnumer_ksef=N\n");
    Tfaktura_f& okno = dane.uruchom();
    WczytajZListy(okno, 1);
    Kliknij(okno, &Tfaktura_f::SpeedButton9Click);
    Zapisz(okno, dane.platforma);
    ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
    std::vector<TDokument> rekordy = Rekordy(dane.dokumenty());
    ASSERT_EQ(rekordy.size(), 4u);
    EXPECT_TRUE(JestKorekta(rekordy[3]));
    EXPECT_EQ(rekordy[3].dotyczy.tekst(), "2/2011");

    Kliknij(okno, &Tfaktura_f::SpeedButton6Click);
    okno.odbiorca1->setText(QStringLiteral("Nowy nabywca"));
    Zapisz(okno, dane.platforma);
    ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
    rekordy = Rekordy(dane.dokumenty());
    ASSERT_EQ(rekordy.size(), 5u);
    EXPECT_EQ(rekordy[4].odbiorca1.tekst(), "Nowy nabywca");
}

}  // namespace
