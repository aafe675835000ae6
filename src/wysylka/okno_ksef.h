#pragma once
// The window of faktura-ksef: the documents of the data folder with their KSeF states, filtered by
// month and state, sending and UPO with a progress bar, messages in Polish.
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ksef/sejf.h"
#include "store/stan_ksef.h"
#include "wysylka/wysylka.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class SystemPlikow;

// Needs a QApplication; returns the exit code.
int UruchomOknoKsef(SystemPlikow& system);

// A secret typed when the keyring keeps none, and whether it is to be kept there.
struct PodanySekret {
    QString wartosc;
    bool zapamietaj = false;
};

// The password dialog: the question, the secret, "Zapamiętaj w pęku kluczy" (only with a keyring).
// nullopt when cancelled.
std::optional<PodanySekret> ZapytajOSekret(QWidget* rodzic, const QString& pytanie, bool sejfDostepny);

class OknoKsef : public QWidget {
    Q_OBJECT
  public:
    // The data folder is the one the working directory's "Admini\siec.dat" names.
    explicit OknoKsef(SystemPlikow& system, QWidget* rodzic = nullptr);
    ~OknoKsef() override;

    // What the window calls outside itself; the tests give their own.
    struct Uslugi {
        // Run on a worker thread.
        std::function<WynikWysylki(SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&)> wyslij =
            WyslijDokumenty;
        std::function<WynikWysylki(SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&)> pobierzUpo =
            PobierzBrakujaceUpo;
        // On the window's thread.
        std::function<WynikSejfu(const QString& nazwa)> czytajSekret = CzytajSekret;
        std::function<WynikSejfu(const QString& nazwa, const QString& wartosc)> zapiszSekret = ZapiszSekret;
        std::function<std::optional<PodanySekret>(QWidget*, const QString& pytanie, bool sejfDostepny)>
            zapytajOSekret = ZapytajOSekret;
        std::function<void(QWidget*, const QString& tekst)> blad;  // default: an error box
    };
    Uslugi uslugi;

    // Reads the documents and their states anew, keeping the filters and what can still be selected.
    void wczytaj();
    bool wysylanie() const { return watek_ != nullptr; }

    // Table columns.
    enum Kolumna { Numer, Data, Nabywca, Brutto, Stan, NumerKsef, Uwagi, LiczbaKolumn };

    QLabel* folder_danych;
    QComboBox* filtr_miesiaca;
    QComboBox* filtr_stanu;
    QPushButton* odswiez;
    QTableWidget* tabela;
    QPushButton* wyslij_zaznaczone;
    QPushButton* wyslij_niewyslane;
    QPushButton* pobierz_upo;
    QPushButton* przerwij;
    QProgressBar* postep;
    QLabel* stan;

    // Handlers, connected in polaczZdarzenia().
    void filtruj();
    void odswiezPrzyciski();
    void wyslijZaznaczone();
    void wyslijNiewyslane();
    void pobierzUpo();
    void przerwijWysylanie();

  signals:
    // A run of sending or fetching ended and the table was read again.
    void zakonczono(const WynikWysylki& wynik);

  protected:
    void closeEvent(QCloseEvent* zdarzenie) override;

  private:
    struct Wiersz {
        std::int64_t pozycja = 0;  // in the document file, from 1
        QString nazwa;             // of its KSeF files
        QString miesiac;           // "YYYY-MM" of the issue date; empty without one
        std::optional<StanKsef> stan;
        QString bladStanu;  // its state file cannot be read: nothing is sent for it
    };

    void zbudujUklad();
    void polaczZdarzenia();
    void wypelnijFiltrMiesiecy();
    bool widoczny(const Wiersz& w, bool zeStanem) const;
    static bool doWyslania(const Wiersz& w);
    std::vector<const Wiersz*> zaznaczone() const;
    // The task of a run from the settings and the keyring (asking when it keeps no secret); nullopt
    // when it cannot be made (the user is told) or was cancelled.
    std::optional<ZadanieWysylki> przygotujZadanie();
    // Runs `praca` on a worker thread; its progress comes back to the window's thread.
    void uruchom(const QString& opis, std::function<WynikWysylki(SystemPlikow&, const PostepWysylki&)> praca);
    void zakonczonoPrace();
    void pokazBlad(const QString& tekst);

    SystemPlikow& system_;
    QString katalogDanych_;
    std::vector<Wiersz> wiersze_;
    QThread* watek_ = nullptr;
    std::atomic<bool> przerwano_{false};
    bool zamknijPoZakonczeniu_ = false;
    WynikWysylki wynik_;
};
