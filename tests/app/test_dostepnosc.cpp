// Every control that a person can reach, and every label that shows document data, has a name that
// screen readers and accessibility-based tools can read.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QToolButton>

#include "app/faktura_f.h"
#include "app/siatka.h"
#include "wspolne/katalog_testowy.h"

namespace {

QString NazwaDostepna(QWidget* w) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

// Labels whose caption is fixed text are named by that text; the ones below show document data.
const QStringList EtykietyDanych = {"Label2",  "Label13", "Label14", "Label17", "Label19", "Label22",
                                    "Label23", "Label24", "Label54", "Label55", "Label56", "Label57",
                                    "Label58", "Label60", "Label92", "Label29", "Label35", "Label40"};

std::vector<QString> BezNazwy(QWidget* korzen) {
    std::vector<QString> wynik;
    QList<QWidget*> wszystkie = korzen->findChildren<QWidget*>();
    for (QWidget* w : wszystkie) {
        const bool osiagalny = w->focusPolicy() != Qt::NoFocus;
        const bool daneEtykiety = qobject_cast<QLabel*>(w) && EtykietyDanych.contains(w->objectName());
        if (!osiagalny && !daneEtykiety) continue;
        if (NazwaDostepna(w).trimmed().isEmpty())
            wynik.push_back(QStringLiteral("%1 (%2, w %3)")
                                .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()),
                                     w->parentWidget() ? w->parentWidget()->objectName() : QString()));
    }
    return wynik;
}

TEST(Dostepnosc, KazdaKontrolkaIEtykietaDanychMaNazwe) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    // Data labels are empty right after start; names must not depend on their text.
    for (QWidget* panel : {static_cast<QWidget*>(okno.get()), static_cast<QWidget*>(okno->Panel3),
                           static_cast<QWidget*>(okno->Panel4), static_cast<QWidget*>(okno->Panel5),
                           static_cast<QWidget*>(okno->Panel6)}) {
        const auto brakujace = BezNazwy(panel);
        EXPECT_TRUE(brakujace.empty())
            << panel->objectName().toStdString() << ": "
            << QStringList(brakujace.begin(), brakujace.end()).join(", ").toStdString();
    }
}

TEST(Dostepnosc, NazwyPolFormularza) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    const std::pair<QWidget*, const char*> oczekiwane[] = {
        {okno->odbiorca1, "Odbiorca, wiersz 1"},
        {okno->odbiorca4, "Odbiorca, wiersz 4"},
        {okno->miejscowosc, "Miejscowość"},
        {okno->forma_zaplaty, "Forma zapłaty"},
        {okno->Label2, "Zegar"},
        {okno->Label13, "Oznaczenie kopii"},
        {okno->szukaj, "Szukana fraza"},
        {okno->SpeedButton12, "Szukaj"},
        {okno->SpeedButton2, "Zapisz fakturę"},
        {okno->SumyMiesiecyEtykiety[2], "Marzec"},
        {okno->PaskiMiesiecy[11], "Grudzień"},
        {okno->tabela, "Tabelka dokumentu"},
    };
    for (const auto& [kontrolka, nazwa] : oczekiwane)
        EXPECT_EQ(NazwaDostepna(kontrolka), QString::fromUtf8(nazwa))
            << kontrolka->objectName().toStdString();
    EXPECT_EQ(okno->findChild<QWidget*>("tabela_vat"), okno->tabela_vat);
    EXPECT_EQ(okno->findChild<QToolButton*>("SpeedButton20"), okno->SpeedButton20);
}

// The grids expose their header texts and cell texts through the table interface.
TEST(Dostepnosc, SiatkiUdostepniajaNaglowkiIKomorki) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->show();
    okno->tabela->ustawKomorke(1, 2, "Usługa");
    QAccessibleInterface* siatka = QAccessible::queryAccessibleInterface(okno->tabela);
    ASSERT_NE(siatka, nullptr);
    QAccessibleTableInterface* tabela = siatka->tableInterface();
    ASSERT_NE(tabela, nullptr);
    EXPECT_EQ(tabela->columnCount(), 7);
    EXPECT_EQ(tabela->rowCount(), 3);
    QAccessibleInterface* komorka = tabela->cellAt(1, 1);
    ASSERT_NE(komorka, nullptr);
    EXPECT_EQ(komorka->text(QAccessible::Name), "Usługa");
    QAccessibleTableCellInterface* opis = komorka->tableCellInterface();
    ASSERT_NE(opis, nullptr);
    // The header cells handed out here are fresh objects the caller owns.
    const QList<QAccessibleInterface*> naglowki = opis->columnHeaderCells();
    ASSERT_EQ(naglowki.size(), 1);
    EXPECT_EQ(naglowki[0]->text(QAccessible::Name), "Nazwa usługi");
    for (QAccessibleInterface* naglowek : naglowki)
        QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(naglowek));
}

TEST(Dostepnosc, KolejnoscTabulacjiOdGoryDoDolu) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    const QList<QWidget*> formularz = {okno->miejscowosc,  okno->data_wystawienia, okno->numerator,
                                       okno->rozszerzenie, okno->odbiorca1,        okno->odbiorca2,
                                       okno->odbiorca3,    okno->odbiorca4,        okno->SpeedButton5};
    for (int i = 1; i < formularz.size(); ++i) {
        QWidget* nastepny = formularz[i - 1]->nextInFocusChain();
        while (nastepny && nastepny->focusPolicy() == Qt::NoFocus) nastepny = nastepny->nextInFocusChain();
        EXPECT_EQ(nastepny, formularz[i]) << formularz[i - 1]->objectName().toStdString();
    }
    // Nothing further down the form comes before something above it.
    EXPECT_LT(okno->forma_zaplaty->geometry().top(), okno->data_uslugi->geometry().top());
}

// A data label keeps its name (what it is) and gives its current value as its description; the
// label's own text is never the name, so the value reaches a screen reader only this way.
TEST(Dostepnosc, EtykietyDanychPodajaWartoscPoKazdejZmianie) {
    KatalogTestowy katalog;
    TUstawieniaFaktury faktura{};
    faktura.oznaczenie_kopii.ustaw("oryginał");
    faktura.stopka.ustaw("Dziękujemy");
    katalog.zapiszRekordy<TUstawieniaFaktury>("Admini/faktura.dat", {faktura});
    TDaneFirmy firma{};
    const QString dlugaLinia = QString(40, QLatin1Char('b')) + QStringLiteral("ł");
    firma.linia1.ustaw(dlugaLinia);
    firma.linia2.ustaw("ul. Długa 1");
    katalog.zapiszRekordy<TDaneFirmy>("Admini/firma.dat", {firma});
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);

    std::vector<std::pair<QLabel*, QString>> etykiety;
    for (QLabel* l : okno->findChildren<QLabel*>())
        if (!l->accessibleName().isEmpty()) etykiety.emplace_back(l, NazwaDostepna(l));
    ASSERT_EQ(etykiety.size(), 27u);  // the form's 15 and the twelve month totals
    const auto sprawdz = [&](const char* krok) {
        SCOPED_TRACE(krok);
        for (const auto& [l, nazwa] : etykiety) {
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(l);
            ASSERT_NE(i, nullptr);
            EXPECT_EQ(i->text(QAccessible::Name), nazwa) << l->objectName().toStdString();
            const QString wartosc = l == okno->Label55 ? dlugaLinia : l->text().trimmed();
            EXPECT_EQ(i->text(QAccessible::Description), wartosc) << l->objectName().toStdString();
        }
    };
    sprawdz("po starcie");
    EXPECT_EQ(okno->Label13->accessibleDescription(), "oryginał");

    okno->tabela->ustawKomorke(4, 1, "2");
    okno->tabela->ustawKomorke(5, 1, "10.50");
    okno->tabela->ustawKomorke(6, 1, "22");
    okno->Timer2Timer();
    okno->Timer1Timer();
    sprawdz("po odświeżeniu");
    EXPECT_EQ(NazwaDostepna(okno->Label17), "Razem do zapłaty");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(okno->Label17)->text(QAccessible::Description),
              "25.62 PLN");
    EXPECT_EQ(okno->Label19->accessibleDescription(), "dwadzieścia pięć złotych");
    EXPECT_EQ(okno->Label2->accessibleDescription(), "12:30:45");

    okno->SpeedButton9Click();
    okno->Timer2Timer();
    sprawdz("korekta");
    okno->SpeedButton6Click();
    okno->Timer2Timer();
    sprawdz("nowa faktura");
    EXPECT_EQ(okno->Label17->accessibleDescription(), "0.00 PLN");
    okno->SpeedButton10Click();
    okno->SpeedButton17Click();
    okno->lata->setEditText("2010");
    okno->SpeedButton19Click();
    sprawdz("zestawienie");
    okno->SpeedButton28Click();
    sprawdz("ewidencja");
    EXPECT_TRUE(platforma.bledy().empty());
}

}  // namespace
