#pragma once
// What every page of the settings window shares: the folders in use, the desktop, the file system,
// and the row of one edited text (label, edit, character count, note).
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "ustawienia/pliki_stron.h"
#include "ustawienia/pola_rekordow.h"
#include "ustawienia/pulpit_ustawien.h"

class QGridLayout;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class SystemPlikow;

struct KontekstUstawien {
    PulpitUstawien& pulpit;
    SystemPlikow& pliki;
    FolderyDanych foldery;
};

// A control with its object name and accessible name set.
template <class W>
W* Nazwany(W* kontrolka, const char* nazwa, const QString& dostepna) {
    kontrolka->setObjectName(QString::fromUtf8(nazwa));
    kontrolka->setAccessibleName(dostepna);
    return kontrolka;
}
QPushButton* Przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst);

// One edited text in a grid row: label, edit (never limited, so that nothing is cut silently),
// "n / capacity" turning red when the text cannot be stored, and a note line under it. The count
// follows the edit through odswiezLicznik, connected in zdarzenia.cpp.
class PoleTekstu {
  public:
    PoleTekstu(QWidget* rodzic, QGridLayout* siatka, int wiersz, const OpisPola& opis);

    QString tekst() const { return edycja->text(); }
    void ustawTekst(const QString& tekst);
    void ustawUwage(const QString& uwaga);
    void odswiezLicznik();

    OpisPola opis;
    QLabel* etykieta;
    QLineEdit* edycja;
    QLabel* licznik;
    QLabel* uwaga;
};

class StronaUstawien : public QWidget {
    Q_OBJECT
  public:
    StronaUstawien(KontekstUstawien& kontekst, const char* nazwa, const QString& tytul,
                   QWidget* rodzic = nullptr);

    const QString& tytul() const { return tytul_; }
    // Reads the page's files in the folders in use; what was not saved is dropped.
    virtual void wczytaj() = 0;
    // Drops what was not saved; by default the same as reading anew.
    virtual void porzucZmiany() { wczytaj(); }
    virtual bool zmieniona() const { return false; }
    // Saves the page; false when it was refused, failed or the user cancelled (the user is told).
    virtual bool zapisz() { return true; }

    bool wczytana = false;  // kept by the window: read since the folders were last set

    // Save and undo buttons at the bottom of the page; null on a page without them.
    QPushButton* zapisz_ = nullptr;
    QPushButton* cofnij_ = nullptr;

    // Handlers of the save buttons, connected in zdarzenia.cpp.
    void cofnijZmiany();
    void odswiezPrzyciskiZapisu();

  signals:
    void stanZmieniony();
    // The page changed which folders are in use (saved "siec.dat" or made a new folder).
    void folderyZmienione(const QString& startowy);

  protected:
    PulpitUstawien& pulpit() { return kontekst_.pulpit; }
    SystemPlikow& pliki() { return kontekst_.pliki; }
    const FolderyDanych& foldery() const { return kontekst_.foldery; }

    // The page's description under its title.
    void dodajOpis(const QString& tekst);
    // "Nie można odczytać…" with the path; empty hides it.
    void pokazBladOdczytu(const QString& tekst);
    // The file the page edits, and a note about it (missing, saved…).
    void pokazPlik(const QString& sciezka, const QString& uwaga = {});
    // Save and undo buttons at the bottom of the page.
    void dodajPrzyciskiZapisu(const QString& tekstZapisu = QStringLiteral("Zapisz"));
    // Tells the user why values cannot be stored; true when there is nothing to tell.
    bool sprawdzBledy(const QStringList& bledy);
    // Before a save replaces a file that could not be read: the user's yes. `czym` says what will
    // be in it ("treścią tej strony").
    bool zastapicNieczytelny(const QString& sciezka,
                             const QString& czym = QStringLiteral("treścią tej strony"));

    KontekstUstawien& kontekst_;
    QVBoxLayout* uklad_;
    QLabel* plik_;
    QLabel* blad_;

  private:
    QString tytul_;
};
