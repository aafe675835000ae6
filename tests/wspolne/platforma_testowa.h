#pragma once
// A scripted desktop for tests: answers questions from a queue, picks files from a queue, records
// every message shown, and has a clock that the test sets.
#include <deque>
#include <optional>
#include <vector>

#include "app/platforma.h"

struct Komunikat {
    QString rodzaj;  // "pytanie", "informacja", "blad"
    QString tytul;
    QString tekst;
};

class PlatformaTestowa : public Platforma {
public:
    std::deque<bool> odpowiedzi;  // for questions; an empty queue answers "Nie"
    std::deque<std::optional<QString>> wybranePliki;  // for file dialogs; empty queue = cancelled
    std::vector<Komunikat> komunikaty;
    std::vector<OpisDialoguPliku> dialogi;
    QDateTime czas{QDate(2010, 3, 15), QTime(12, 30, 45)};
    int zakonczenia = 0;

    bool pytanie(QWidget*, const QString& tytul, const QString& tekst) override;
    void informacja(QWidget*, const QString& tytul, const QString& tekst) override;
    void bladStandardowy(QWidget*, const QString& tekst) override;
    std::optional<QString> plikDoOtwarcia(QWidget*, const OpisDialoguPliku& opis) override;
    std::optional<QString> plikDoZapisu(QWidget*, const OpisDialoguPliku& opis) override;
    QDateTime teraz() override { return czas; }
    void zakonczProgram() override { ++zakonczenia; }

    std::vector<QString> bledy() const;
};
