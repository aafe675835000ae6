// Templates: the file saved from the form byte for byte, inserting it into a new invoice, deleting it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>

#include "app/faktura_f.h"
#include "app/siatka.h"
#include "wspolne/katalog_testowy.h"

namespace {

void WypelnijFormularz(Tfaktura_f& okno) {
    okno.miejscowosc->setText("Kraków");
    okno.data_wystawienia->setText("2010-03-01");
    okno.numerator->setText("12");
    okno.rozszerzenie->setText("2010");
    okno.odbiorca1->setText(QString(85, QLatin1Char('o')));
    okno.odbiorca2->setText("ul. Długa 1");
    okno.nip_odbiorcy->setText("123-456-78-90");
    okno.podpis->setText("Jan Ślusarz");
    okno.forma_zaplaty->setEditText("Przelew");
    okno.termin_zaplaty->setEditText("14 dni");
    okno.data_uslugi->setText("2010-02-28");
    okno.tabela->ustawKomorke(1, 1, "Usługa księgowa");
    okno.tabela->ustawKomorke(4, 1, "2");
    okno.tabela->ustawKomorke(5, 1, "10.50");
    okno.tabela->ustawKomorke(6, 1, "22");
    okno.tabela->ustawKomorke(6, 3, "7");
    okno.Timer2Timer();
}

TEST(Szablony, ZapisBajtPoBajcieIWstawienie) {
    KatalogTestowy katalog;
    katalog.utworzFolder("Szablony");
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    WypelnijFormularz(*okno);
    const QString plik = katalog.plik("Szablony/stały klient.sza");
    platforma.wybranePliki = {plik};
    okno->SpeedButton21->setEnabled(true);
    okno->SpeedButton21Click();

    ASSERT_EQ(platforma.dialogi.size(), 1u);
    EXPECT_EQ(platforma.dialogi[0].filtr, "Szablon dokumentów|*.sza");
    EXPECT_EQ(platforma.dialogi[0].folderPoczatkowy, "Szablony");
    EXPECT_TRUE(platforma.dialogi[0].pytajONadpisanie);
    EXPECT_EQ(platforma.komunikaty.back().tekst, "Szablon został zapisany.");
    EXPECT_EQ(platforma.komunikaty.back().tytul, "Informacja");
    const QByteArray dane = katalog.czytaj("Szablony/stały klient.sza");
    ASSERT_EQ(dane.size(), 3251);
    EXPECT_EQ(dane.mid(3218, 2), QByteArray("\x01"
                                            "F",
                                            2));
    EXPECT_EQ(static_cast<unsigned char>(dane[84]), 80) << "buyer line 1 cut to its 80 characters";
    EXPECT_EQ(dane.mid(85, 80), QByteArray(80, 'o'));
    EXPECT_EQ(dane[52], 0) << "the number is not part of a template";
    EXPECT_EQ(dane[445], 0) << "nor is the service date";
    EXPECT_EQ(dane.mid(518, 17), QByteArray("\x0fUs\xB3uga ksi\xEAgowa", 17));
    // tabela_vat row 1, column 3 (gross) as the refresh wrote it.
    EXPECT_EQ(dane.mid(1616 + 3 * 63, 13), QByteArray("\x0c       25.62", 13));
    EXPECT_EQ(QDir::currentPath(), okno->KatalogDanych);

    // Inserting it into a new invoice keeps the number, suffix and service date of the form.
    okno->odbiorca1->clear();
    okno->tabela->ustawKomorke(1, 1, "");
    okno->data_wystawienia->setText("2010-03-15");
    okno->numerator->setText("13");
    okno->StanWczytanegoDokumentu(true);
    platforma.wybranePliki = {plik};
    okno->SpeedButton22Click();
    EXPECT_EQ(okno->odbiorca1->text(), QString(80, QLatin1Char('o')));
    EXPECT_EQ(okno->data_wystawienia->text(), "2010-03-01");
    EXPECT_EQ(okno->numerator->text(), "13");
    EXPECT_EQ(okno->rozszerzenie->text(), "2010");
    EXPECT_EQ(okno->data_uslugi->text(), "2010-02-28");
    EXPECT_EQ(okno->forma_zaplaty->currentText(), "Przelew");
    EXPECT_EQ(okno->tabela->komorka(1, 1), "Usługa księgowa");
    EXPECT_EQ(okno->tabela->komorka(6, 3), "7");
    EXPECT_FALSE(okno->Korekta);
    EXPECT_EQ(okno->Dokument.odbiorca1.tekst(), "Początek bloczka faktur") << "Dokument is never touched";
}

TEST(Szablony, PlikODwochRekordachDajePierwszy) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    katalog.zapiszRekordy<TDokument>("dwa.sza", {Dokument("F", "", "pierwszy"), Dokument("F", "", "drugi")});
    platforma.wybranePliki = {katalog.plik("dwa.sza")};
    okno->SpeedButton22Click();
    EXPECT_EQ(okno->odbiorca1->text(), "pierwszy");
}

TEST(Szablony, NieudaneWstawienieNieZmieniaFormularza) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    katalog.zapisz("krotki.sza", QByteArray(100, 'x'));
    okno->odbiorca1->setText(QStringLiteral("Jan Kowalski"));
    for (const QString& plik : {katalog.plik("krotki.sza"), katalog.plik("brak.sza")}) {
        platforma.wybranePliki = {plik};
        okno->Straz([&] { okno->SpeedButton22Click(); });
        EXPECT_EQ(okno->odbiorca1->text(), "Jan Kowalski");
    }
    EXPECT_EQ(platforma.bledy().size(), 2u);
}

TEST(Szablony, Usuwanie) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    katalog.zapisz("a.sza", QByteArray(3251, '\0'));

    platforma.wybranePliki = {katalog.plik("a.sza")};
    platforma.odpowiedzi = {false};
    okno->SpeedButton23Click();
    EXPECT_TRUE(katalog.istnieje("a.sza"));
    EXPECT_EQ(platforma.komunikaty.back().tekst, "Usunąć wskazany szablon ?");

    platforma.wybranePliki = {katalog.plik("a.sza")};
    platforma.odpowiedzi = {true};
    okno->SpeedButton23Click();
    EXPECT_FALSE(katalog.istnieje("a.sza"));
    EXPECT_EQ(platforma.komunikaty.back().tekst, "Szablon został usunięty.");

    // A file that is not there is not reported as deleted.
    platforma.wybranePliki = {katalog.plik("a.sza")};
    platforma.odpowiedzi = {true};
    okno->SpeedButton23Click();
    EXPECT_TRUE(platforma.komunikaty.back().tekst.startsWith("Nie usunięto szablonu."));
    EXPECT_EQ(QDir::currentPath(), okno->KatalogDanych);

    // Cancelled dialog: nothing asked.
    const auto ile = platforma.komunikaty.size();
    okno->SpeedButton23Click();
    EXPECT_EQ(platforma.komunikaty.size(), ile);
}

}  // namespace
