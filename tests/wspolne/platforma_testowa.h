#pragma once
// A scripted desktop for tests: answers questions from a queue, picks files from a queue, records
// every message shown, and has a clock that the test sets.
#include <deque>
#include <optional>
#include <vector>

#include "app/platforma.h"
#include "print/czcionki.h"
#include "wspolne/plotno_nagrywajace.h"

struct Uruchomienie {
    QString program;
    QStringList argumenty;
    QString katalogRoboczy;
};

struct Komunikat {
    QString rodzaj;  // "pytanie", "informacja", "blad"
    QString tytul;
    QString tekst;
};

class PlatformaTestowa : public Platforma {
  public:
    std::deque<bool> odpowiedzi;                      // for questions; an empty queue answers "Nie"
    std::deque<std::optional<QString>> wybranePliki;  // for file dialogs; empty queue = cancelled
    std::vector<Komunikat> komunikaty;
    std::vector<OpisDialoguPliku> dialogi;
    QDateTime czas{QDate(2010, 3, 15), QTime(12, 30, 45)};
    int zakonczenia = 0;
    // The printer behind the print dialog: records every job; `drukujAnuluj` cancels the dialog.
    PlotnoNagrywajace drukarka{600, 600};
    bool drukujAnuluj = false;
    int oknaDrukowania = 0;
    // Answers of the font dialog; an empty queue cancels. The presets it was shown are recorded.
    std::deque<std::optional<WyborCzcionki>> wybraneCzcionki;
    std::vector<std::optional<WyborCzcionki>> poczatkoweCzcionki;
    std::vector<Uruchomienie> uruchomienia;
    bool uruchamiajNaprawde = false;  // hand every start to the real desktop
    bool wynikUruchomienia = true;    // the answer while nothing is started for real

    bool pytanie(QWidget*, const QString& tytul, const QString& tekst) override;
    void informacja(QWidget*, const QString& tytul, const QString& tekst) override;
    void bladStandardowy(QWidget*, const QString& tekst) override;
    std::optional<QString> plikDoOtwarcia(QWidget*, const OpisDialoguPliku& opis) override;
    std::optional<QString> plikDoZapisu(QWidget*, const OpisDialoguPliku& opis) override;
    QDateTime teraz() override { return czas; }
    void zakonczProgram() override { ++zakonczenia; }
    Plotno* wybierzDrukarke(QWidget*) override;
    std::optional<WyborCzcionki> wybierzCzcionke(QFontDialog*,
                                                 const std::optional<WyborCzcionki>& poczatkowa) override;
    bool uruchomProgram(const QString& program, const QStringList& argumenty,
                        const QString& katalogRoboczy) override;

    std::vector<QString> bledy() const;
};
