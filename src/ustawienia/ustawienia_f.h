#pragma once
// The settings window: the data folder in use at the top, the list of pages on the left, the page
// on the right. Leaving a page with unsaved changes asks first.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QWidget>
#include <vector>

#include "ustawienia/strona_ustawien.h"

class StronaCzcionki;
class StronaKsef;
class StronaListy;
class StronaNowegoKatalogu;
class StronaPol;
class StronaSieci;
class SystemPlikow;

class Tustawienia_f : public QWidget {
    Q_OBJECT
  public:
    // Pages in the order of the list.
    enum Strona { NowyKatalog, Firma, Faktura, Platnosc, Dane, Czcionka, Klienci, Uslugi, Ewidencja, Ksef };

    // `startowy`: the folder the module is to start in. Without a data folder there (or with
    // `nowyKatalog`), the window starts on the page that makes one, proposing `startowy` when it was
    // named (`podany`).
    Tustawienia_f(PulpitUstawien& pulpit, SystemPlikow& pliki, const QString& startowy,
                  bool nowyKatalog = false, bool podany = false, QWidget* rodzic = nullptr);

    // Opens another start folder after the question about unsaved changes; false when cancelled.
    bool otworzFolder(const QString& startowy);
    // Goes to a page as the list does, asking first; false when the user stayed.
    bool pokazStrone(Strona strona);
    Strona biezaca() const { return static_cast<Strona>(stos->currentIndex()); }
    StronaUstawien* strona(Strona strona) const { return strony_[static_cast<std::size_t>(strona)]; }
    const FolderyDanych& foldery() const { return kontekst_.foldery; }

    QLabel* folder_danych;
    QLabel* stan;
    QPushButton* otworz_folder;
    QPushButton* uruchom_modul;
    QListWidget* strony;
    QStackedWidget* stos;

    StronaNowegoKatalogu* nowy_katalog;
    StronaPol* firma;
    StronaPol* faktura;
    StronaPol* platnosc;
    StronaSieci* dane;
    StronaCzcionki* czcionka;
    StronaListy* klienci;
    StronaListy* uslugi;
    StronaPol* ewidencja;
    StronaKsef* ksef;

  protected:
    void closeEvent(QCloseEvent* zdarzenie) override;

  private:
    // The header with the folder in use, the list of pages beside the page, the state line.
    void zbudujUklad();
    void utworzStrony();
    // Connects every control of the window and its pages to its handler (zdarzenia.cpp).
    void polaczZdarzenia();

    // Handlers.
    void wybierzFolder();  // "Otwórz folder…"
    void uruchomModul();   // "Uruchom moduł": in the open data folder, as the desktop menu starts it
    void wybranoStrone(int wiersz);
    void zmienionoFoldery(const QString& startowy);
    void utworzonoKatalog(const QString& katalog);

    // Whether the page in view may be left: unchanged, saved, or its changes dropped.
    bool moznaOpuscic();
    // Moves the list to a page and shows it through wybranoStrone, with the list's signal blocked
    // so that it runs once.
    void przejdzNaStrone(Strona strona);
    void ustawFoldery(const QString& startowy);
    void zapamietaj();
    void odswiezNaglowek();

    KontekstUstawien kontekst_;
    std::vector<StronaUstawien*> strony_;
};
