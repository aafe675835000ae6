// The real desktop's message boxes: Polish titles and buttons, reachable by name, and the answer
// that the pressed button gives.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/platforma.h"

namespace {

struct WidzianeOkno {
    QString tytul, tekst;
    QStringList przyciski;  // accessible names
};

// Answers the next modal box by pressing the button with that accessible name.
void Odpowiedz(const QString& przycisk, WidzianeOkno& widziane) {
    QTimer::singleShot(0, [przycisk, &widziane] {
        auto* okno = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(okno, nullptr);
        widziane.tytul = okno->windowTitle();
        widziane.tekst = okno->text();
        QPushButton* doNacisniecia = nullptr;
        for (QAbstractButton* b : okno->buttons()) {
            const QString nazwa = QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
            widziane.przyciski << nazwa;
            if (nazwa == przycisk) doNacisniecia = qobject_cast<QPushButton*>(b);
        }
        ASSERT_NE(doNacisniecia, nullptr) << przycisk.toStdString();
        doNacisniecia->click();
    });
}

TEST(PlatformaPulpitu, PytanieMaPrzyciskiTakINie) {
    for (const auto& [przycisk, odpowiedz] : {std::pair{"Tak", true}, std::pair{"Nie", false}}) {
        WidzianeOkno widziane;
        Odpowiedz(przycisk, widziane);
        EXPECT_EQ(PlatformaPulpitu().pytanie(nullptr, "Pytanie", "Koniec pracy ?"), odpowiedz);
        EXPECT_EQ(widziane.tytul, "Pytanie");
        EXPECT_EQ(widziane.tekst, "Koniec pracy ?");
        widziane.przyciski.sort();
        EXPECT_EQ(widziane.przyciski, QStringList({"Nie", "Tak"}));
    }
}

TEST(PlatformaPulpitu, InformacjaIBladMajaPrzyciskOK) {
    WidzianeOkno informacja;
    Odpowiedz("OK", informacja);
    PlatformaPulpitu().informacja(nullptr, "Informacja", "Szablon został zapisany.");
    EXPECT_EQ(informacja.tytul, "Informacja");
    EXPECT_EQ(informacja.przyciski, QStringList({"OK"}));

    WidzianeOkno blad;
    Odpowiedz("OK", blad);
    PlatformaPulpitu().bladStandardowy(nullptr, "Błąd pliku");
    EXPECT_EQ(blad.tytul, "Błąd");
    EXPECT_EQ(blad.tekst, "Błąd pliku");
}

// The file dialog shows the patterns of the window's filter under its caption, several patterns of
// one filter as one Qt filter.
TEST(PlatformaPulpitu, DialogPlikuMaFiltrOkna) {
    const struct {
        const char* filtr;
        const char* filtrQt;
    } przypadki[] = {
        {"Lista klientów|*.kli;klienci.dat", "Lista klientów (*.kli klienci.dat)"},
        {"Szablon dokumentów|*.sza", "Szablon dokumentów (*.sza)"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.filtr);
        const OpisDialoguPliku opis{QString::fromUtf8(p.filtr), QStringLiteral("*.kli"), QString(), QString(),
                                    false};
        EXPECT_EQ(FiltrQt(opis), QString::fromUtf8(p.filtrQt));
        QStringList pokazane;
        QTimer::singleShot(0, [&pokazane] {
            auto* okno = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(okno, nullptr);
            pokazane = okno->nameFilters();
            okno->reject();
        });
        EXPECT_EQ(PlatformaPulpitu().plikDoOtwarcia(nullptr, opis), std::nullopt);
        EXPECT_EQ(pokazane, QStringList{QString::fromUtf8(p.filtrQt)});
    }
}

}  // namespace
