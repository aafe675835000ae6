#pragma once
// Everything the settings window asks of the desktop, so that the real window runs in tests with a
// scripted desktop.
#include <QColor>
#include <QDate>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

enum class Odpowiedz { Tak, Nie, Anuluj };

struct OpisDialogu {
    QString tytul;
    QString filtr;   // Qt's form: "Lista klientów (*.kli);;Wszystkie pliki (*)"
    QString folder;  // where the dialog starts
    QString domyslneRozszerzenie;
    QString plik;  // the file name proposed in the folder; empty: none
};

class PulpitUstawien {
  public:
    virtual ~PulpitUstawien() = default;
    // "Pytanie" box with "Tak" and "Nie", and "Anuluj" when asked for.
    virtual Odpowiedz pytanie(QWidget* rodzic, const QString& tekst, bool zAnuluj) = 0;
    // "Informacja" box with "OK".
    virtual void informacja(QWidget* rodzic, const QString& tekst) = 0;
    // "Błąd" box with "OK".
    virtual void blad(QWidget* rodzic, const QString& tekst) = 0;
    virtual std::optional<QString> plikDoOtwarcia(QWidget* rodzic, const OpisDialogu& opis) = 0;
    // Asks before replacing an existing file.
    virtual std::optional<QString> plikDoZapisu(QWidget* rodzic, const OpisDialogu& opis) = 0;
    virtual std::optional<QString> folder(QWidget* rodzic, const QString& tytul,
                                          const QString& poczatkowy) = 0;
    virtual std::optional<QFont> czcionka(QWidget* rodzic, const QFont& poczatkowa) = 0;
    virtual std::optional<QColor> kolor(QWidget* rodzic, const QColor& poczatkowy) = 0;
    virtual QDate dzisiaj() = 0;
    // Starts a program with these arguments in that working directory, without waiting for it;
    // false when it could not be started.
    virtual bool uruchomProgram(const QString& program, const QStringList& argumenty,
                                const QString& katalogRoboczy) = 0;
};

// The real desktop, on Qt's dialogs.
PulpitUstawien& PulpitQt();

// Runs an operation; any error becomes a Polish error box (with the path for file errors). False
// when it failed.
bool Chron(PulpitUstawien& pulpit, QWidget* rodzic, const std::function<void()>& dzialanie);
