// New invoice, correction, save and delete on the real window: numbering, the stored bytes, the
// questions, and the states the form is left in.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/siatka.h"
#include "documents/okno_na_danych.h"
#include "store/uzupelnienia.h"

namespace {

TEST(NowaFaktura, NumeracjaIParametryStale) {
    struct Przypadek {
        const char* opis;
        const char* zapisany;     // numerator in faktura.dat
        const char* proponowany;  // by "Nowa faktura"
        const char* wpisany;      // typed over the proposal, or nullptr
        const char* nastepny;     // proposed after saving
    };
    const Przypadek przypadki[] = {
        {"pusty licznik", "", "1", nullptr, "2"},
        {"numer nadpisany liczbą", "3", "4", "15", "16"},
        {"numer nadpisany literami", "3", "4", "abc", "1"},
        {"liczą się cyfry z przodu", "7a", "8", nullptr, "9"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        OknoNaDanych dane;
        TUstawieniaFaktury u{};
        u.numerator.ustaw(QString::fromUtf8(p.zapisany));
        u.rozszerzenie.ustaw(QStringLiteral("2010"));
        u.miejscowosc.ustaw(QStringLiteral("Kraków"));
        u.podpis.ustaw(QStringLiteral("Jan Kowalski"));
        u.oznaczenie_kopii.ustaw(QStringLiteral("oryginał"));
        u.liczba_kopii.ustaw(QStringLiteral("2"));
        u.stopka.ustaw(QStringLiteral("stopka"));
        dane.ustawienia(u);
        Tfaktura_f& okno = dane.uruchom();

        okno.SpeedButton6Click();
        EXPECT_EQ(okno.numerator->text(), QString::fromUtf8(p.proponowany));
        EXPECT_EQ(okno.rozszerzenie->text(), "2010");
        EXPECT_EQ(okno.miejscowosc->text(), "Kraków");
        EXPECT_EQ(okno.podpis->text(), "Jan Kowalski");
        EXPECT_EQ(okno.Label13->text(), "oryginał");
        EXPECT_EQ(okno.Label14->text(), "stopka");
        EXPECT_EQ(okno.LiczbaKopii, 2);
        if (p.wpisany) okno.numerator->setText(QString::fromUtf8(p.wpisany));
        const QString zapisanyNumer = okno.numerator->text();
        okno.miejscowosc->setText(QStringLiteral("Gdańsk"));
        Zapisz(okno, dane.platforma);
        ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();

        const TUstawieniaFaktury naDysku = dane.ustawieniaNaDysku();
        EXPECT_EQ(naDysku.numerator.tekst(), zapisanyNumer);
        EXPECT_EQ(naDysku.miejscowosc.tekst(), "Gdańsk");
        EXPECT_EQ(naDysku.stopka.tekst(), "stopka") << "other fields are written as read";
        EXPECT_EQ(naDysku.numerator_korekty.tekst(), "");
        okno.SpeedButton6Click();
        EXPECT_EQ(okno.numerator->text(), QString::fromUtf8(p.nastepny));
    }
}

// The payment the settings program keeps in "uzupelnienia.dat" is proposed on every new invoice and
// stored with it; without the file both fields stay empty.
TEST(NowaFaktura, PlatnoscProponowanaZUzupelnien) {
    struct Przypadek {
        const char* opis;
        const char* forma;  // in the file, or nullptr: no file
        const char* termin;
        const char* formaNaFakturze;
        const char* terminNaFakturze;  // after the refresh
    };
    const Przypadek przypadki[] = {
        {"bez pliku", nullptr, nullptr, "", ""},
        {"przelew", "Przelew", "14 dni", "Przelew", "14 dni"},
        {"tylko termin", "", "7 dni", "", "7 dni"},
        {"gotówka bierze dzień wystawienia", "Gotówka", "", "Gotówka", nullptr},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        OknoNaDanych dane;
        if (p.forma) {
            TUzupelnienia u{};
            u.forma_zaplaty.ustaw(QString::fromUtf8(p.forma));
            u.termin_zaplaty.ustaw(QString::fromUtf8(p.termin));
            dane.katalog.zapiszRekordy(QStringLiteral("Admini/uzupelnienia.dat"), std::vector{u});
        }
        Tfaktura_f& okno = dane.uruchom();
        // What the document shown before had must not stay on the new one.
        okno.forma_zaplaty->setEditText(QStringLiteral("Karta kredytowa"));
        okno.termin_zaplaty->setEditText(QStringLiteral("21 dni"));
        okno.SpeedButton6Click();
        okno.Timer2Timer();
        EXPECT_EQ(okno.forma_zaplaty->currentText(), QString::fromUtf8(p.formaNaFakturze));
        const QString termin = p.terminNaFakturze ? QString::fromUtf8(p.terminNaFakturze) : okno.DataDzisiaj;
        EXPECT_EQ(okno.termin_zaplaty->currentText(), termin);
        EXPECT_FALSE(dane.katalog.istnieje(QStringLiteral("Admini/uzupelnienia.dat")) && !p.forma)
            << "the module never creates the file";
        Zapisz(okno, dane.platforma);
        ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
        const TDokument zapisany = dane.katalog.rekord<TDokument>(QStringLiteral("Uslugi/dokumenty.dat"), 1);
        EXPECT_EQ(zapisany.forma_zaplaty.tekst(), QString::fromUtf8(p.formaNaFakturze));
        EXPECT_EQ(zapisany.termin_zaplaty.tekst(), termin);
    }
}

// Bytes after the record of "faktura.dat" belong to whoever wrote them: saving a new document changes
// the record and keeps them, as the settings program does.
TEST(NowaFaktura, ZapisUstawienZachowujeBajtyPoRekordzie) {
    for (const QByteArray& ogon : {QByteArray("ogon innego programu"), QByteArray()}) {
        OknoNaDanych dane;
        TUstawieniaFaktury u{};
        u.numerator.ustaw(QStringLiteral("3"));
        u.rozszerzenie.ustaw(QStringLiteral("2010"));
        dane.katalog.zapisz(PlikUstawienFaktury, Bajty(u) + ogon);
        Tfaktura_f& okno = dane.uruchom();
        okno.SpeedButton6Click();
        Zapisz(okno, dane.platforma);
        ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
        const QByteArray po = dane.katalog.czytaj(PlikUstawienFaktury);
        ASSERT_EQ(po.size(), static_cast<qsizetype>(sizeof(TUstawieniaFaktury)) + ogon.size());
        EXPECT_EQ(po.mid(sizeof(TUstawieniaFaktury)), ogon);
        EXPECT_EQ(dane.ustawieniaNaDysku().numerator.tekst(), "4");
    }
}

TEST(Zapis, KwotyWPozycjachSaWyrownane) {
    struct Przypadek {
        int kolumna, wiersz;
        const char* wpisany;
        const char* zapisany;
    };
    const Przypadek przypadki[] = {
        {4, 1, "2", "   2.00"}, {5, 1, "100", "  100.00"},         {4, 2, "", ""},
        {5, 2, "abc", "abc"},   {4, 3, "1234567.5", "1234567.50"}, {5, 3, "-2.5", "   -2.50"},
        {5, 2, "0,5", "0,5"},  // the digits before the comma make 0
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.wpisany);
        OknoNaDanych dane;
        Tfaktura_f& okno = dane.uruchom();
        okno.SpeedButton6Click();
        okno.tabela->ustawKomorke(p.kolumna, p.wiersz, QString::fromUtf8(p.wpisany));
        Zapisz(okno, dane.platforma);
        EXPECT_EQ(okno.tabela->komorka(p.kolumna, p.wiersz), QString::fromUtf8(p.zapisany));
        const TDokument zapisany = dane.katalog.rekord<TDokument>(PlikDokumentow, 1);
        EXPECT_EQ(zapisany.pozycje[p.kolumna - 1][p.wiersz - 1].tekst(), QString::fromUtf8(p.zapisany));
    }
}

TEST(Zapis, PytanieZalezyOdStanuINieNicNieZmienia) {
    struct Przypadek {
        const char* stan;
        TDokument ostatni;
        void (Tfaktura_f::*krok)();  // what turns the loaded document into the state, or nullptr
        const char* pytanie;
    };
    const Przypadek przypadki[] = {
        {"wczytana faktura", DokumentZTabela("F", "1", "A", "A"), nullptr, "Zapisać zmiany w fakturze ?"},
        {"wczytana korekta", DokumentZTabela("K", "1", "A", "A"), nullptr,
         "Zapisać zmiany w fakturze korygującej ?"},
        {"nowa faktura", DokumentZTabela("F", "1", "A", "A"), &Tfaktura_f::SpeedButton6Click,
         "Zapisać nową fakturę ?"},
        {"nowa korekta", DokumentZTabela("F", "1", "A", "A"), &Tfaktura_f::SpeedButton9Click,
         "Zapisać nową fakturę korygującą ?"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.stan);
        OknoNaDanych dane({DokumentZTabela("F", "0", "początek", "P"), p.ostatni});
        Tfaktura_f& okno = dane.uruchom();
        if (p.krok) (okno.*p.krok)();
        const QByteArray przed = dane.dokumenty();
        const bool nowy = okno.NowyDokument, korekta = okno.Korekta, usuwanie = okno.UsuwanieDozwolone;
        okno.odbiorca1->setText(QStringLiteral("zmieniony"));
        okno.tabela->ustawKomorke(4, 1, QStringLiteral("2"));
        Zapisz(okno, dane.platforma, false);
        ASSERT_EQ(dane.platforma.komunikaty.size(), 1u);
        EXPECT_EQ(dane.platforma.komunikaty[0].tytul, "Pytanie");
        EXPECT_EQ(dane.platforma.komunikaty[0].tekst, QString::fromUtf8(p.pytanie));
        EXPECT_EQ(dane.dokumenty(), przed);
        EXPECT_EQ(okno.tabela->komorka(4, 1), "2") << "No does not even normalise the amounts";
        EXPECT_EQ(okno.NowyDokument, nowy);
        EXPECT_EQ(okno.Korekta, korekta);
        EXPECT_EQ(okno.UsuwanieDozwolone, usuwanie);
    }
}

TEST(Zapis, WczytanyDokumentZastepujeDokladnieSwojeBajty) {
    const std::vector<TDokument> rekordy = {DokumentZTabela("F", "1", "A", "A"),
                                            DokumentZTabela("F", "2", "B", "B"),
                                            DokumentZTabela("F", "3", "C", "C")};
    OknoNaDanych dane(rekordy);
    TUstawieniaFaktury ustawienia{};
    ustawienia.numerator.ustaw(QStringLiteral("99"));
    dane.ustawienia(ustawienia);
    Tfaktura_f& okno = dane.uruchom();
    const QByteArray przed = dane.dokumenty();
    const QByteArray fakturaPrzed = dane.katalog.czytaj(PlikUstawienFaktury);

    WczytajZListy(okno, 1);
    okno.odbiorca2->setText(QStringLiteral("Nowa ulica 5"));
    Zapisz(okno, dane.platforma);
    ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();

    TDokument oczekiwany = rekordy[1];
    oczekiwany.odbiorca2.ustaw(QStringLiteral("Nowa ulica 5"));
    const QByteArray po = dane.dokumenty();
    ASSERT_EQ(po.size(), przed.size());
    EXPECT_EQ(po.left(3251), przed.left(3251));
    EXPECT_EQ(po.mid(3251, 3251), Bajty(oczekiwany));
    EXPECT_EQ(po.mid(6502), przed.mid(6502));
    EXPECT_EQ(dane.katalog.czytaj(PlikUstawienFaktury), fakturaPrzed);
    EXPECT_EQ(okno.PozycjaDokumentu, 2);
    EXPECT_EQ(okno.Label22->text(), "Edycja wczytanej faktury Vat");
    EXPECT_EQ(dane.pliki("Uslugi"), PlikiUslug);
}

TEST(Korekta, ZapisanaZWczytanejFakturyNiesieJejTabele) {
    const TDokument faktura = DokumentZTabela("F", "7", "Odbiorca", "FV");
    OknoNaDanych dane({faktura});
    TUstawieniaFaktury ustawienia{};
    ustawienia.numerator.ustaw(QStringLiteral("7"));
    ustawienia.rozszerzenie.ustaw(QStringLiteral("2011"));
    ustawienia.numerator_korekty.ustaw(QStringLiteral("2"));
    ustawienia.rozszerzenie_korekty.ustaw(QStringLiteral("K/2011"));
    dane.ustawienia(ustawienia);
    Tfaktura_f& okno = dane.uruchom();

    okno.SpeedButton9Click();
    EXPECT_EQ(okno.Label22->text(), "Edycja korygowanej faktury Vat");
    EXPECT_EQ(okno.Label23->text(), "korygujaca");
    EXPECT_EQ(okno.Label24->text(), "7/2011");
    EXPECT_EQ(okno.Label25->text(), "Tabelka korekty");
    EXPECT_EQ(okno.tabela->kolorCzcionki(), Tfaktura_f::KolorKorekty);
    EXPECT_EQ(Tfaktura_f::KolorCzcionki(okno.Label25), Tfaktura_f::KolorKorekty);
    EXPECT_EQ(okno.numerator->text(), "3");
    EXPECT_EQ(okno.rozszerzenie->text(), "K/2011");
    EXPECT_TRUE(okno.NowyDokument && okno.Korekta);
    EXPECT_FALSE(okno.UsuwanieDozwolone);
    EXPECT_FALSE(okno.SpeedButton9->isEnabled());
    EXPECT_EQ(okno.odbiorca1->text(), "Odbiorca") << "the buyer stays";
    EXPECT_EQ(okno.tabela->komorka(1, 1), "FV p11") << "the grid stays for editing";

    okno.tabela->ustawKomorke(1, 1, QStringLiteral("po korekcie"));
    Zapisz(okno, dane.platforma);
    ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();

    const std::vector<TDokument> zapisane = Rekordy(dane.dokumenty());
    ASSERT_EQ(zapisane.size(), 2u);
    EXPECT_EQ(Bajty(zapisane[0]), Bajty(faktura));
    const TDokument& korekta = zapisane[1];
    EXPECT_EQ(korekta.rodzaj.tekst(), "K");
    EXPECT_EQ(korekta.dotyczy.tekst(), "7/2011");
    EXPECT_EQ(korekta.numerator.tekst(), "3");
    EXPECT_EQ(Bajty(korekta.pozycje), Bajty(faktura.pozycje));
    EXPECT_EQ(Bajty(korekta.stawki), Bajty(faktura.stawki));
    EXPECT_EQ(korekta.pozycje_korekty[0][0].tekst(), "po korekcie");
    EXPECT_EQ(korekta.pozycje_korekty[1][0].tekst(), "FV p21");

    const TUstawieniaFaktury naDysku = dane.ustawieniaNaDysku();
    EXPECT_EQ(naDysku.numerator_korekty.tekst(), "3");
    EXPECT_EQ(naDysku.rozszerzenie_korekty.tekst(), "K/2011");
    EXPECT_EQ(naDysku.numerator.tekst(), "7") << "the invoice sequence goes on where it was";
    EXPECT_EQ(naDysku.rozszerzenie.tekst(), "2011");

    // Shown as the stored correction it now is.
    EXPECT_FALSE(okno.NowyDokument);
    EXPECT_TRUE(okno.Korekta);
    EXPECT_EQ(okno.PozycjaDokumentu, 2);
    EXPECT_EQ(okno.Label22->text(), "Edycja wczytanej faktury korygującej Vat");
    EXPECT_EQ(okno.Label23->text(), "korygująca");
    EXPECT_EQ(okno.Label24->text(), "7/2011");
    EXPECT_TRUE(okno.SpeedButton6->isEnabled());
    EXPECT_FALSE(okno.SpeedButton9->isEnabled());
    okno.SpeedButton6Click();
    EXPECT_EQ(okno.numerator->text(), "8") << "the next invoice follows the invoice sequence";

    // Saving the stored correction again still keeps the invoice's tables.
    WczytajZListy(okno, 1);
    okno.tabela->ustawKomorke(2, 3, QStringLiteral("PKWiU po"));
    Zapisz(okno, dane.platforma);
    const TDokument ponownie = dane.katalog.rekord<TDokument>(PlikDokumentow, 1);
    EXPECT_EQ(ponownie.rodzaj.tekst(), "K");
    EXPECT_EQ(ponownie.pozycje_korekty[1][2].tekst(), "PKWiU po");
    EXPECT_EQ(Bajty(ponownie.pozycje), Bajty(faktura.pozycje));
}

TEST(Korekta, NajdluzszyNumerISufiks) {
    TDokument faktura = Dokument("F", "1234567890", "A");
    faktura.rozszerzenie.ustaw(QStringLiteral("abcdefghijklmnopqrst"));
    OknoNaDanych dane({faktura});
    Tfaktura_f& okno = dane.uruchom();
    okno.SpeedButton9Click();
    EXPECT_EQ(okno.Label24->text(), "1234567890/abcdefghijklmnopqrst");
    Zapisz(okno, dane.platforma);
    EXPECT_EQ(dane.katalog.rekord<TDokument>(PlikDokumentow, 1).dotyczy.tekst(),
              "1234567890/abcdefghijklmnopqrs");
}

TEST(Usuwanie, SrodkowyZTrzechRekordow) {
    const std::vector<TDokument> rekordy = {DokumentZTabela("F", "1", "A", "A"),
                                            DokumentZTabela("K", "2", "B", "B"),
                                            DokumentZTabela("F", "3", "C", "C")};
    OknoNaDanych dane(rekordy);
    Tfaktura_f& okno = dane.uruchom();
    WczytajZListy(okno, 1);
    ASSERT_TRUE(okno.Korekta);
    const TDokument wPamieci = okno.Dokument;

    Usun(okno, dane.platforma);
    ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
    EXPECT_EQ(dane.platforma.komunikaty.back().tekst, "Usunąć dokument ?");
    EXPECT_EQ(dane.dokumenty(), Bajty(std::vector{rekordy[0], rekordy[2]}));
    EXPECT_EQ(dane.pliki("Uslugi"), PlikiUslug) << "no dokumenty.old is left";
    EXPECT_EQ(okno.PozycjaDokumentu, 2);
    EXPECT_EQ(okno.odbiorca1->text(), "C");
    EXPECT_FALSE(okno.Korekta);
    EXPECT_FALSE(okno.NowyDokument);
    EXPECT_EQ(okno.Label22->text(), "Edycja wczytanej faktury Vat");
    EXPECT_NE(Bajty(okno.Dokument), Bajty(wPamieci));
    EXPECT_EQ(Bajty(okno.Dokument), Bajty(rekordy[2]));
}

TEST(Usuwanie, OstatniegoWpisuNieMoznaUsunac) {
    OknoNaDanych dane;
    Tfaktura_f& okno = dane.uruchom();
    // A new folder opens on a new invoice; the start of the pad, its only record, is shown again.
    EXPECT_FALSE(okno.UsuwanieDozwolone);
    okno.CzytajOstatniDokument();
    const QByteArray przed = dane.dokumenty();
    okno.SpeedButton8Click();
    ASSERT_EQ(dane.platforma.komunikaty.size(), 1u) << "no question is asked first";
    EXPECT_EQ(dane.platforma.komunikaty[0].rodzaj, "informacja");
    EXPECT_EQ(dane.platforma.komunikaty[0].tytul, "Informacja");
    EXPECT_EQ(dane.platforma.komunikaty[0].tekst, "Nie można usunąć ostatniego wpisu");
    EXPECT_EQ(dane.dokumenty(), przed);
}

TEST(Usuwanie, PoWidokuFakturyKorektyZapisJestZnowuDozwolony) {
    OknoNaDanych dane({DokumentZTabela("K", "1", "A", "A"), DokumentZTabela("K", "2", "B", "B")});
    Tfaktura_f& okno = dane.uruchom();
    okno.SpeedButton15Click();
    ASSERT_FALSE(okno.ZapisDozwolony);
    Usun(okno, dane.platforma);
    EXPECT_TRUE(okno.ZapisDozwolony);
    EXPECT_TRUE(okno.tabela->isEnabled());
    EXPECT_EQ(okno.tabela->komorka(1, 1), "A k11") << "the correction's own table is shown";
}

// The refresh turns the flags into button states only at its next tick; until then a click must
// not act on a state the flags no longer allow.
TEST(Zabezpieczenia, ZapisIUsuwanieTylkoGdyFlagiPozwalaja) {
    OknoNaDanych dane({DokumentZTabela("F", "1", "A", "A"), DokumentZTabela("K", "2", "B", "B")});
    Tfaktura_f& okno = dane.uruchom();
    const QByteArray przed = dane.dokumenty();

    okno.SpeedButton15Click();  // the invoice's tables of the correction: saving is not allowed
    Zapisz(okno, dane.platforma);
    okno.SpeedButton16Click();
    okno.SpeedButton6Click();  // a new invoice: deleting is not allowed
    Usun(okno, dane.platforma);
    EXPECT_TRUE(dane.platforma.komunikaty.empty());
    EXPECT_EQ(dane.dokumenty(), przed);
}

TEST(Zabezpieczenia, ZapisWMiejscuBezRekorduJestOdmowiony) {
    OknoNaDanych dane({DokumentZTabela("F", "1", "A", "A"), DokumentZTabela("F", "2", "B", "B")});
    Tfaktura_f& okno = dane.uruchom();
    // The record shown (the last) was removed meanwhile, e.g. on another workstation.
    dane.katalog.zapiszRekordy(PlikDokumentow, std::vector{DokumentZTabela("F", "1", "A", "A")});
    const QByteArray przed = dane.dokumenty();
    Zapisz(okno, dane.platforma);
    ASSERT_EQ(dane.platforma.bledy().size(), 1u);
    EXPECT_TRUE(dane.platforma.bledy()[0].contains("nie odpowiada"))
        << dane.platforma.bledy()[0].toStdString();
    EXPECT_EQ(dane.dokumenty(), przed) << "an in-place save never becomes an append";
}

}  // namespace
