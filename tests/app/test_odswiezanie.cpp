// The 100 ms refresh on the real window: what typing into the item grid shows after a tick, and how
// the buttons follow the window state.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/faktura_f.h"
#include "app/siatka.h"
#include "wspolne/katalog_testowy.h"

namespace {

struct Linia {
    const char* ilosc;
    const char* netto;
    const char* vat;
};

struct PrzykladPodsumowania {
    const char* nazwa;
    Linia linie[3];
    const char* wiersze[3][4];  // rate, net, VAT, gross as shown (amounts trimmed)
    const char* razem;
    const char* zlote;
    const char* grosze;
};

const PrzykladPodsumowania Przyklady[] = {
    {"jedna linia",
     {{"2", "10.50", "22"}, {"", "", ""}, {"", "", ""}},
     {{"22", "21.00", "4.62", "25.62"}, {"", "", "", ""}, {"", "", "", ""}},
     "25.62",
     "dwadzieścia pięć złotych",
     "sześćdziesiąt dwa groszy"},
    {"linie 1 i 2 razem",
     {{"1", "100", "22"}, {"3", "33.33", "22"}, {"", "", ""}},
     {{"22", "199.99", "44.00", "243.99"}, {"", "", "", ""}, {"", "", "", ""}},
     "243.99",
     "dwieście czterdzieści trzy złotych",
     "dziewięćdziesiąt dziewięć groszy"},
    {"linie 1 i 3 razem ponad linią 2",
     {{"1", "100", "22"}, {"2", "12.5", "7"}, {"1", "0.333", "22"}},
     {{"22", "100.33", "22.07", "122.41"}, {"7", "25.00", "1.75", "26.75"}, {"", "", "", ""}},
     "149.16",
     "sto czterdzieści dziewięć złotych",
     "szesnaście groszy"},
    {"trzy stawki",
     {{"1", "100", "22"}, {"2", "12.5", "7"}, {"4", "2.5", "0"}},
     {{"22", "100.00", "22.00", "122.00"}, {"7", "25.00", "1.75", "26.75"}, {"0", "10.00", "0.00", "10.00"}},
     "158.75",
     "sto pięćdziesiąt osiem złotych",
     "siedemdziesiąt pięć groszy"},
    {"pusta tabelka",
     {{"", "", ""}, {"", "", ""}, {"", "", ""}},
     {{"", "0.00", "0.00", "0.00"}, {"", "", "", ""}, {"", "", "", ""}},
     "0.00",
     "",
     ""},
    {"ujemna ilość",
     {{"-1", "100", "22"}, {"", "", ""}, {"", "", ""}},
     {{"22", "-100.00", "-22.00", "-122.00"}, {"", "", "", ""}, {"", "", "", ""}},
     "-122.00",
     "",
     ""},
};

QString DoDwunastu(const char* kwota) {
    const QString k = QString::fromUtf8(kwota);
    return k.isEmpty() ? k : k.rightJustified(12, QLatin1Char(' '));
}

TEST(Odswiezanie, PrzykladyPodsumowaniaWOknie) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    for (const auto& p : Przyklady) {
        for (int r = 1; r <= 3; ++r) {
            okno->tabela->ustawKomorke(4, r, QString::fromUtf8(p.linie[r - 1].ilosc));
            okno->tabela->ustawKomorke(5, r, QString::fromUtf8(p.linie[r - 1].netto));
            okno->tabela->ustawKomorke(6, r, QString::fromUtf8(p.linie[r - 1].vat));
        }
        okno->Timer2Timer();
        for (int r = 1; r <= 3; ++r) {
            EXPECT_EQ(okno->tabela_vat->komorka(0, r), QString::fromUtf8(p.wiersze[r - 1][0]))
                << p.nazwa << r;
            for (int c = 1; c <= 3; ++c)
                EXPECT_EQ(okno->tabela_vat->komorka(c, r), DoDwunastu(p.wiersze[r - 1][c]))
                    << p.nazwa << r << c;
        }
        EXPECT_EQ(okno->KwotaDoZaplaty, DoDwunastu(p.razem)) << p.nazwa;
        EXPECT_EQ(okno->Label17->text(), DoDwunastu(p.razem) + " PLN") << p.nazwa;
        EXPECT_EQ(okno->Label19->text(), QString::fromUtf8(p.zlote)) << p.nazwa;
        EXPECT_EQ(okno->Label58->text(), QString::fromUtf8(p.grosze)) << p.nazwa;
    }
}

// A comma typed into a number cell of the item grid becomes a point as it is typed, wherever the
// cursor is; after the next tick the line counts the number typed. Text cells keep their commas.
TEST(Odswiezanie, PrzecinekWpisanyWLiczbieStajeSieKropka) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    Siatka* t = okno->tabela;
    struct {
        int kolumna;
        const char* przed;  // cell text before editing
        int kursor;         // -1: the editor's text is replaced by what is typed
        const char* wpisane;
        const char* wEdytorze;
        int kursorPo;
    } const przypadki[] = {
        {4, "", -1, "1,5", "1.5", 3},
        {5, "", -1, "150,00", "150.00", 6},
        {5, "1500", 2, ",", "15.00", 3},
        {4, "", -1, "1,2,3", "1.2.3", 5},
        {1, "", -1, "Montaz 1,5 h", "Montaz 1,5 h", 12},
        {6, "", -1, "8,5", "8,5", 3},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(QStringLiteral("%1: %2").arg(p.kolumna).arg(QString::fromUtf8(p.wpisane)).toStdString());
        t->ustawKomorke(p.kolumna, 1, QString::fromUtf8(p.przed));
        t->setCurrentCell(0, p.kolumna);
        t->editItem(t->item(0, p.kolumna));
        auto* edytor = t->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(edytor, nullptr);
        if (p.kursor >= 0) edytor->setCursorPosition(p.kursor);
        QTest::keyClicks(edytor, QString::fromUtf8(p.wpisane));
        EXPECT_EQ(edytor->text(), QString::fromUtf8(p.wEdytorze));
        EXPECT_EQ(edytor->cursorPosition(), p.kursorPo);
        QTest::keyClick(edytor, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(t->komorka(p.kolumna, 1), QString::fromUtf8(p.wEdytorze));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(t->viewport()->findChild<QLineEdit*>(), nullptr) << "the editor was closed";
    }

    // Typed as a user would into an empty line: 1,5 x 10,00 at 22%.
    for (const auto& [kolumna, wpisane] : {std::pair{4, "1,5"}, {5, "10,00"}, {6, "22"}}) {
        t->ustawKomorke(kolumna, 1, QString());
        t->setCurrentCell(0, kolumna);
        t->editItem(t->item(0, kolumna));
        auto* edytor = t->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(edytor, nullptr);
        QTest::keyClicks(edytor, QString::fromUtf8(wpisane));
        QTest::keyClick(edytor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(t->komorka(4, 1), "1.5");
    EXPECT_EQ(t->komorka(5, 1), "10.00");
    EXPECT_FALSE(t->liczbaCzesciowa(4, 1));
    okno->Timer2Timer();
    EXPECT_EQ(okno->tabela_vat->komorka(1, 1), DoDwunastu("15.00"));
    EXPECT_EQ(okno->tabela_vat->komorka(3, 1), DoDwunastu("18.30"));
    EXPECT_EQ(okno->Label17->text(), DoDwunastu("18.30") + " PLN");

    // What still does not read as a number is marked, and the line counts what the reading gives.
    t->ustawKomorke(4, 1, "1.5x");
    EXPECT_TRUE(t->liczbaCzesciowa(4, 1));
    // A screen reader hears the mark as the cell's description; the cell that reads whole has none.
    EXPECT_EQ(t->item(0, 4)->data(Qt::AccessibleDescriptionRole).toString(),
              "Tej wartości nie można w całości odczytać jako liczby: liczona jest jako 15");
    EXPECT_TRUE(t->item(0, 5)->data(Qt::AccessibleDescriptionRole).toString().isEmpty());
    okno->Timer2Timer();
    EXPECT_EQ(okno->tabela_vat->komorka(1, 1), DoDwunastu("150.00"));
    t->ustawKomorke(4, 1, "2");
    EXPECT_TRUE(t->item(0, 4)->data(Qt::AccessibleDescriptionRole).toString().isEmpty())
        << "the description goes with the mark";
    EXPECT_TRUE(platforma.bledy().empty());
}

// The refresh replaces whatever else wrote the summary cells.
TEST(Odswiezanie, PodsumowanieNadpisujeKomorkiZapisanePrzezInnych) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->tabela_vat->ustawKomorke(2, 2, "obce");
    okno->tabela_vat->ustawKomorke(0, 3, "x");
    okno->Timer2Timer();
    EXPECT_EQ(okno->tabela_vat->komorka(2, 2), "");
    EXPECT_EQ(okno->tabela_vat->komorka(0, 3), "");
}

// An unchanged grid changes no cell and no label, so an idle tick emits nothing.
TEST(Odswiezanie, NiezmienioneDaneNieRuszajaKontrolek) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->tabela->ustawKomorke(4, 1, "2");
    okno->tabela->ustawKomorke(5, 1, "10.50");
    okno->tabela->ustawKomorke(6, 1, "22");
    okno->Timer2Timer();
    QSignalSpy zmianyKomorek(okno->tabela_vat, &QTableWidget::itemChanged);
    QSignalSpy zmianyTerminu(okno->termin_zaplaty, &QComboBox::editTextChanged);
    for (int i = 0; i < 5; ++i) okno->Timer2Timer();
    EXPECT_EQ(zmianyKomorek.count(), 0);
    EXPECT_EQ(zmianyTerminu.count(), 0);
}

struct StanOknaTestu {
    const char* nazwa;
    bool nowy, korekta;
    // expected: Wstaw szablon enabled/visible, Zapisz szablon enabled/visible, Drukuj, Podliczenie,
    // note visible, Zapisz fakturę, Usuń fakturę
    bool wstawW, wstawV, zapiszSzW, zapiszSzV, drukuj, podliczenie, notatka, zapisz, usun;
};

const StanOknaTestu Stany[] = {
    {"wczytana faktura", false, false, false, true, true, true, true, true, false, true, true},
    {"wczytana korekta", false, true, false, false, true, false, true, true, true, true, true},
    {"nowa faktura", true, false, true, true, false, true, false, false, false, true, false},
    {"nowa korekta", true, true, true, false, false, false, false, false, true, true, false},
};

TEST(Odswiezanie, RegulyPrzyciskowWCzterechStanach) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->show();
    for (const auto& s : Stany) {
        if (!s.nowy)
            okno->StanWczytanegoDokumentu(s.korekta);
        else if (s.korekta)
            okno->StanNowejKorekty();
        else
            okno->StanNowejFaktury();
        okno->Timer2Timer();
        EXPECT_EQ(okno->SpeedButton22->isEnabled(), s.wstawW) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton22->isVisible(), s.wstawV) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton21->isEnabled(), s.zapiszSzW) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton21->isVisible(), s.zapiszSzV) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton20->isEnabled(), s.drukuj) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton17->isEnabled(), s.podliczenie) << s.nazwa;
        EXPECT_EQ(okno->Label26->isVisible(), s.notatka) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton2->isEnabled(), s.zapisz) << s.nazwa;
        EXPECT_EQ(okno->SpeedButton8->isEnabled(), s.usun) << s.nazwa;
        // Buttons that the refresh does not govern keep their state.
        EXPECT_TRUE(okno->SpeedButton23->isEnabled()) << s.nazwa;
    }
    // Saving follows its flag, also in a stored state.
    okno->StanWczytanegoDokumentu(false);
    okno->StanWidokuKorekty(false);
    okno->Timer2Timer();
    EXPECT_FALSE(okno->SpeedButton2->isEnabled());
}

TEST(Odswiezanie, WyliczWymagaRoku) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->Timer2Timer();
    EXPECT_FALSE(okno->SpeedButton19->isEnabled());
    okno->lata->setEditText("2010");
    okno->Timer2Timer();
    EXPECT_TRUE(okno->SpeedButton19->isEnabled());
}

// The correction-view buttons follow the kind of the record in memory, not the Korekta flag.
TEST(Odswiezanie, PrzyciskiWidokowKorektyZaRodzajemDokumentu) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->StanWczytanegoDokumentu(true);
    okno->Timer2Timer();
    EXPECT_TRUE(okno->SpeedButton15->isHidden());
    okno->Dokument.rodzaj.ustaw("K");
    okno->Timer2Timer();
    EXPECT_FALSE(okno->SpeedButton15->isHidden());
    EXPECT_FALSE(okno->SpeedButton16->isHidden());
    okno->Dokument.rodzaj.ustaw("X");
    okno->Timer2Timer();
    EXPECT_FALSE(okno->SpeedButton15->isHidden()) << "another kind leaves them as they are";
    okno->Dokument.rodzaj.ustaw("F");
    okno->Timer2Timer();
    EXPECT_TRUE(okno->SpeedButton15->isHidden());
    EXPECT_TRUE(okno->SpeedButton16->isHidden());
}

TEST(Odswiezanie, GotowkaUstawiaTerminNaDzisiaj) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->forma_zaplaty->setEditText("Przelew");
    okno->termin_zaplaty->setEditText("14 dni");
    okno->Timer2Timer();
    EXPECT_EQ(okno->termin_zaplaty->currentText(), "14 dni");
    okno->forma_zaplaty->setEditText("Gotówka");
    okno->Timer2Timer();
    EXPECT_EQ(okno->termin_zaplaty->currentText(), "2010-03-15");
    okno->termin_zaplaty->setEditText("21 dni");
    okno->Timer2Timer();
    EXPECT_EQ(okno->termin_zaplaty->currentText(), "2010-03-15");
    okno->forma_zaplaty->setEditText("gotówka");
    okno->termin_zaplaty->setEditText("7 dni");
    okno->Timer2Timer();
    EXPECT_EQ(okno->termin_zaplaty->currentText(), "7 dni") << "the payment form is compared exactly";
}

// While the pick list disables the button column, a tick must not lose the buttons' own states.
TEST(Odswiezanie, WylaczonaKolumnaPrzyciskowZachowujeStany) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->show();
    okno->Panel1->setEnabled(false);
    okno->StanNowejFaktury();
    okno->Timer2Timer();
    EXPECT_FALSE(okno->SpeedButton22->isEnabled());
    okno->Panel1->setEnabled(true);
    EXPECT_TRUE(okno->SpeedButton22->isEnabled());
    EXPECT_FALSE(okno->SpeedButton20->isEnabled());
}

// Cells no double can hold, and sums beyond any invoice, keep the refresh running.
TEST(Odswiezanie, LiczbyPozaZakresemNieZatrzymujaOdswiezania) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    const char* const przypadki[][2] = {{"1e400", "1"}, {"1e300", "1e300"}, {"1e40", "1"}, {"-1e308", "10"}};
    for (const auto& p : przypadki) {
        okno->tabela->ustawKomorke(4, 1, p[0]);
        okno->tabela->ustawKomorke(5, 1, p[1]);
        okno->tabela->ustawKomorke(6, 1, "22");
        okno->Timer2Timer();
        EXPECT_FALSE(okno->Label17->text().isEmpty()) << p[0];
        EXPECT_TRUE(okno->Label17->text().endsWith(" PLN")) << p[0];
    }
    okno->tabela->ustawKomorke(4, 1, "2");
    okno->tabela->ustawKomorke(5, 1, "10.50");
    okno->Timer2Timer();
    EXPECT_EQ(okno->Label17->text(), "       25.62 PLN");
}

}  // namespace
