#pragma once
// Everything the window asks of the desktop goes through this interface, so that the real window can
// run in tests with a scripted desktop that answers questions and picks files.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class Plotno;
class QFontDialog;
class QWidget;
struct WyborCzcionki;

// A file dialog as the window describes it: filter "Opis|*.ext" (several patterns separated by
// ";": "Opis|*.ext;nazwa.dat"), default extension, initial folder (relative to the working
// directory), preset file name, and whether overwriting asks first.
struct OpisDialoguPliku {
    QString filtr;
    QString domyslneRozszerzenie;
    QString folderPoczatkowy;
    QString nazwaPliku;
    bool pytajONadpisanie = false;
};

class Platforma {
  public:
    virtual ~Platforma() = default;
    // "Pytanie" box with "Tak" and "Nie"; true for "Tak".
    virtual bool pytanie(QWidget* rodzic, const QString& tytul, const QString& tekst) = 0;
    // "Informacja" box with "OK".
    virtual void informacja(QWidget* rodzic, const QString& tytul, const QString& tekst) = 0;
    // The application's standard error report.
    virtual void bladStandardowy(QWidget* rodzic, const QString& tekst) = 0;
    virtual std::optional<QString> plikDoOtwarcia(QWidget* rodzic, const OpisDialoguPliku& opis) = 0;
    virtual std::optional<QString> plikDoZapisu(QWidget* rodzic, const OpisDialoguPliku& opis) = 0;
    virtual QDateTime teraz() = 0;
    // Ends the program at once, without returning to any handler's caller in the real program.
    virtual void zakonczProgram() = 0;
    // The print dialog: the canvas of the chosen printer, or nullptr when the user cancels. The
    // printer and its canvas (with its font) stay the same object from one print command to the next.
    virtual Plotno* wybierzDrukarke(QWidget* rodzic) = 0;
    // The font dialog, preset from `poczatkowa` when given; nullopt when the user cancels.
    virtual std::optional<WyborCzcionki> wybierzCzcionke(QFontDialog* okno,
                                                         const std::optional<WyborCzcionki>& poczatkowa) = 0;
    // Starts another program with these arguments in that working directory, without a shell and
    // without waiting for it; false when it could not be started.
    virtual bool uruchomProgram(const QString& program, const QStringList& argumenty,
                                const QString& katalogRoboczy) = 0;
};

// The filter as Qt's file dialog takes it: "Opis|*.a;b.dat" becomes "Opis (*.a b.dat)".
QString FiltrQt(const OpisDialoguPliku& opis);

// The real desktop, on Qt's widgets.
Platforma& PlatformaPulpitu();
