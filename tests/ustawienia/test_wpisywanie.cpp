// What a person types on the settings pages and what the pages tell them about it: numbers with a
// decimal comma, how an invoice number is built, the payment proposed for a new invoice and the
// printout's contact, and the values a screen reader hears in the status labels.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/faktura_f.h"
#include "folder_testowy.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/uzupelnienia.h"
#include "ustawienia/strona_listy.h"
#include "ustawienia/strona_pol.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/platforma_testowa.h"

namespace {

template <class W>
W* Kontrolka(QWidget* w, const char* nazwa) {
    W* k = w->findChild<W*>(QString::fromUtf8(nazwa));
    EXPECT_NE(k, nullptr) << nazwa;
    return k;
}

QLabel* Uwaga(QWidget* strona, const char* pole) {
    return Kontrolka<QLabel>(strona, (QByteArray("uwaga_") + pole).constData());
}

// The service price typed as a person types it: a comma becomes a point at once; what still does
// not read wholly as a number gets a note (and its description) saying what it counts as.
TEST(WpisywanieUstawien, CenaUslugiZPrzecinkiem) {
    struct Przypadek {
        const char* wpisane;
        const char* wynik;
        const char* uwaga;  // part of the note, or nullptr: none
    };
    const Przypadek przypadki[] = {
        {"150,00", "150.00", nullptr},
        {"1,5", "1.5", nullptr},
        {"1 234,50", "1 234.50", "liczona jest jako 1"},
        {"12 zl", "12 zl", "liczona jest jako 12"},
        {"", "", nullptr},
    };
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Uslugi));
    StronaListy* s = okno->uslugi;
    Kontrolka<QPushButton>(s, "nowy_wpis")->click();
    auto* netto = Kontrolka<QLineEdit>(s, "netto");
    ASSERT_TRUE(netto->isEnabled());
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.wpisane);
        netto->clear();
        QTest::keyClicks(netto, QString::fromUtf8(p.wpisane));
        EXPECT_EQ(netto->text(), QString::fromUtf8(p.wynik));
        QLabel* uwaga = Uwaga(s, "netto");
        if (p.uwaga) {
            EXPECT_FALSE(uwaga->isHidden());
            EXPECT_TRUE(uwaga->text().endsWith(QString::fromUtf8(p.uwaga))) << uwaga->text().toStdString();
            EXPECT_EQ(uwaga->accessibleDescription(), uwaga->text());
        } else {
            EXPECT_TRUE(uwaga->isHidden()) << uwaga->text().toStdString();
        }
    }
    // Other fields keep their commas: only a number field turns them.
    auto* nazwa = Kontrolka<QLineEdit>(s, "nazwa_uslugi");
    QTest::keyClicks(nazwa, QStringLiteral("Usluga 1,5 h"));
    EXPECT_EQ(nazwa->text(), "Usluga 1,5 h");
}

// A price stored with a comma by another program is shown as it is, with the note, and the list's
// bytes stay as they were until the person changes it.
TEST(WpisywanieUstawien, CenaZPlikuZostajeJakJest) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    TBazaUslug baza{};
    CzytajRekord(DomyslnySystemPlikow(), folder.plik("Uslugi/uslugi.dat"), baza);
    baza.nazwa_uslugi[0].ustaw(QStringLiteral("Przegląd"));
    baza.netto[0].ustaw(QStringLiteral("150,00"));
    folder.zapisz("Uslugi/uslugi.dat", Bajty(baza));
    const QByteArray dawne = folder.czytaj("Uslugi/uslugi.dat");
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Uslugi));
    StronaListy* s = okno->uslugi;
    ASSERT_EQ(s->tabela->rowCount(), 1);
    s->tabela->selectRow(0);
    EXPECT_EQ(Kontrolka<QLineEdit>(s, "netto")->text(), "150,00");
    EXPECT_TRUE(Uwaga(s, "netto")->text().endsWith(QStringLiteral("liczona jest jako 150")));
    EXPECT_FALSE(s->zmieniona());
    EXPECT_EQ(folder.czytaj("Uslugi/uslugi.dat"), dawne);
}

// The "Faktura" page shows the number the next document gets and warns of a "/" that would double
// the one the module puts between the number and the suffix.
TEST(WpisywanieUstawien, PodgladNumeruIUkosnikRozszerzenia) {
    struct Przypadek {
        const char* numer;         // field "numerator" or "numerator_korekty"
        const char* rozszerzenie;  // the suffix field after it
        const char* podglad;
        bool ostrzezenie;
    };
    const Przypadek przypadki[] = {
        {"6", "2026", "7/2026", false},
        {"", "FV/2026", "1/FV/2026", false},
        {"6", "/2026", "7//2026", true},
        {"41", "", "42/", false},
    };
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Faktura));
    QWidget* s = okno->faktura;
    for (const bool korekta : {false, true}) {
        const char* numer = korekta ? "numerator_korekty" : "numerator";
        const char* rozszerzenie = korekta ? "rozszerzenie_korekty" : "rozszerzenie";
        for (const auto& p : przypadki) {
            SCOPED_TRACE(std::string(rozszerzenie) + " " + p.rozszerzenie);
            Kontrolka<QLineEdit>(s, rozszerzenie)->setText(QString::fromUtf8(p.rozszerzenie));
            // The preview follows the other field too.
            Kontrolka<QLineEdit>(s, numer)->setText(QString::fromUtf8(p.numer));
            const QString uwaga = Uwaga(s, rozszerzenie)->text();
            EXPECT_TRUE(uwaga.contains((korekta ? QStringLiteral("Numer następnej korekty: ")
                                                : QStringLiteral("Numer następnej faktury: ")) +
                                       QString::fromUtf8(p.podglad)))
                << uwaga.toStdString();
            EXPECT_EQ(uwaga.contains(QStringLiteral("dwa ukośniki")), p.ostrzezenie) << uwaga.toStdString();
            EXPECT_EQ(Uwaga(s, rozszerzenie)->accessibleDescription(), uwaga);
        }
    }
    EXPECT_TRUE(Kontrolka<QLabel>(s, "opis_strony")->text().contains(QStringLiteral("7/2026")));
}

// The payment and the contact of the printout: saved by the page into a file of their own, which a
// new data folder lacks; the module proposes the payment on "Nowa faktura".
TEST(WpisywanieUstawien, PlatnoscIKontaktZapisaneIUzyteWModule) {
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Platnosc));
    QWidget* s = okno->platnosc;
    EXPECT_TRUE(Kontrolka<QLabel>(s, "plik_strony")->text().contains(QStringLiteral("Pliku jeszcze nie ma")));
    EXPECT_TRUE(Uwaga(s, "kontakt_wydruku")
                    ->text()
                    .contains(QStringLiteral("„Wydruk generowany z programu Kwintaro”")))
        << "without a contact the line ends with the program's name";
    EXPECT_FALSE(folder.istnieje("Admini/uzupelnienia.dat")) << "nothing written before saving";

    QTest::keyClicks(Kontrolka<QLineEdit>(s, "forma_zaplaty"), QStringLiteral("Przelew"));
    QTest::keyClicks(Kontrolka<QLineEdit>(s, "termin_zaplaty"), QStringLiteral("14 dni"));
    QTest::keyClicks(Kontrolka<QLineEdit>(s, "kontakt_wydruku"), QStringLiteral("tel. 600 100 200"));
    EXPECT_TRUE(
        Uwaga(s, "kontakt_wydruku")->text().contains(QStringLiteral("Kwintaro        tel. 600 100 200")));
    Kontrolka<QPushButton>(s, "zapisz")->click();
    ASSERT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().front().toStdString();

    const QByteArray plik = folder.czytaj("Admini/uzupelnienia.dat");
    ASSERT_EQ(plik.size(), 98);
    EXPECT_EQ(plik.mid(0, 8), QByteArray("\x07Przelew"));
    EXPECT_EQ(plik.mid(16, 7), QByteArray("\x06"
                                          "14 dni"));
    EXPECT_EQ(plik.mid(37, 17), QByteArray("\x10tel. 600 100 200"));

    // The module on the same folder.
    QDir::setCurrent(folder.sciezka());
    PlatformaTestowa platforma;
    auto modul = UruchomOkno(platforma);
    modul->SpeedButton6Click();
    EXPECT_EQ(modul->forma_zaplaty->currentText(), "Przelew");
    EXPECT_EQ(modul->termin_zaplaty->currentText(), "14 dni");
    EXPECT_TRUE(platforma.bledy().empty());
}

// Status labels, counts and notes have fixed names; their value is their description, kept with
// the text.
TEST(WpisywanieUstawien, EtykietyStanuMajaWartoscWOpisie) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    EXPECT_EQ(okno->folder_danych->accessibleName(), "Folder danych");
    EXPECT_EQ(okno->folder_danych->accessibleDescription(), okno->folder_danych->text());
    EXPECT_FALSE(okno->folder_danych->accessibleDescription().isEmpty());

    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Firma));
    QLabel* licznik = Kontrolka<QLabel>(okno->firma, "licznik_linia1");
    EXPECT_EQ(licznik->accessibleName(), "Liczba znaków: Nazwa firmy (linia 1)");
    okno->firma->pole(0).edycja->setText(QStringLiteral("Abc"));
    EXPECT_EQ(licznik->accessibleDescription(), "3 / 50");
    okno->firma->pole(0).edycja->setText(QString(51, u'x'));
    EXPECT_TRUE(licznik->accessibleDescription().startsWith(QStringLiteral("51 / 50 — ")))
        << "why it cannot be stored: " << licznik->accessibleDescription().toStdString();
    okno->firma->pole(0).edycja->clear();

    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Uslugi));
    QLabel* stan = Kontrolka<QLabel>(okno->uslugi, "stan_listy");
    EXPECT_EQ(stan->accessibleName(), "Liczba wpisów");
    EXPECT_TRUE(stan->text().startsWith(QStringLiteral("Wpisów: ")));
    EXPECT_EQ(stan->accessibleDescription(), stan->text());
    QLabel* wpis = Kontrolka<QLabel>(okno->uslugi, "edytowany_wpis");
    Kontrolka<QPushButton>(okno->uslugi, "nowy_wpis")->click();
    EXPECT_EQ(wpis->accessibleDescription(), wpis->text());
    EXPECT_TRUE(wpis->text().startsWith(QStringLiteral("Nowy wpis")));
    QLabel* plik = Kontrolka<QLabel>(okno->uslugi, "plik_listy");
    EXPECT_EQ(plik->accessibleDescription(), plik->text());
}

}  // namespace
