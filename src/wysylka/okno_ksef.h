#pragma once
// The window of faktura-ksef: the documents of the data folder with their KSeF states, filtered by
// month and state, sending and UPO with a progress bar, the current document's QR codes, the
// deadlines of offline documents and their offline issue, messages in Polish.
#include <QDate>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ksef/sejf.h"
#include "store/stan_ksef.h"
#include "store/ustawienia_ksef.h"
#include "wysylka/wysylka.h"

class QComboBox;
class QLabel;
class QLineEdit;
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

// What the offline issue dialog asks: the mode and, for Offline and Awaryjny, the day the announced
// unavailability or failure ends.
struct WyborOffline {
    TrybOffline tryb = TrybOffline::Offline24;
    std::optional<QDate> koniec;
};

// The offline issue dialog; the end date starts at `dzisiaj`. nullopt when cancelled.
std::optional<WyborOffline> ZapytajOTrybOffline(QWidget* rodzic, int dokumentow, const QDate& dzisiaj);

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
        std::function<WynikWysylki(SystemPlikow&, const ZadanieOffline&, const PostepWysylki&)>
            wystawOffline = WystawOffline;
        // On the window's thread.
        std::function<WynikSejfu(const QString& nazwa)> czytajSekret = CzytajSekret;
        std::function<WynikSejfu(const QString& nazwa, const QString& wartosc)> zapiszSekret = ZapiszSekret;
        std::function<std::optional<PodanySekret>(QWidget*, const QString& pytanie, bool sejfDostepny)>
            zapytajOSekret = ZapytajOSekret;
        std::function<std::optional<WyborOffline>(QWidget*, int dokumentow, const QDate& dzisiaj)>
            zapytajOTrybOffline = ZapytajOTrybOffline;
        std::function<void(QWidget*, const QString& tekst)> blad;  // default: an error box
        // The day the offline deadlines are counted from.
        std::function<QDate()> dzisiaj = [] { return QDate::currentDate(); };
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
    QPushButton* wystaw_offline;
    QPushButton* przerwij;
    QProgressBar* postep;
    QLabel* stan;

    // The current document's codes: KOD I with the KSeF number or "OFFLINE" under it, KOD II
    // ("CERTYFIKAT") of an offline issue, their links; `brak_kodu` says why there is none.
    QWidget* kody_ksef;
    QLabel* brak_kodu;
    QLabel* obraz_kodu_i;
    QLabel* podpis_kodu_i;
    QLineEdit* link_kodu_i;
    QPushButton* kopiuj_link_i;
    QLabel* obraz_kodu_ii;
    QLabel* podpis_kodu_ii;
    QLineEdit* link_kodu_ii;
    QPushButton* kopiuj_link_ii;

    // Handlers, connected in polaczZdarzenia().
    void filtruj();
    void odswiezPrzyciski();
    void wyslijZaznaczone();
    void wyslijNiewyslane();
    void pobierzUpo();
    void wystawOfflineZaznaczone();
    void przerwijWysylanie();
    void pokazKody();

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
    QWidget* zbudujPanelKodow();
    void polaczZdarzenia();
    void wypelnijFiltrMiesiecy();
    bool widoczny(const Wiersz& w, bool zeStanem) const;
    static bool doWyslania(const Wiersz& w);
    // Not in KSeF and never issued offline: no state, or one never sent.
    static bool doWystawieniaOffline(const Wiersz& w);
    const Wiersz* biezacy() const;
    std::vector<const Wiersz*> zaznaczone() const;
    // The task of a run from the settings and the keyring (asking when it keeps no secret); nullopt
    // when it cannot be made (the user is told) or was cancelled.
    std::optional<ZadanieWysylki> przygotujZadanie();
    // The settings, their environment and the context NIP, checked; nullopt when the user was told
    // what is wrong.
    struct Kontekst {
        UstawieniaKsef ustawienia;
        SrodowiskoKsef srodowisko;
        QString nip;
    };
    std::optional<Kontekst> przygotujKontekst();
    // The secret from the keyring, or asked for (and kept there when the user wants it); nullopt
    // when cancelled, with `anulowano` in the status line.
    std::optional<QString> sekret(const QString& nazwa, const QString& pytanie, const QString& anulowano);
    // Runs `praca` on a worker thread; its progress comes back to the window's thread.
    void uruchom(const QString& opis, std::function<WynikWysylki(SystemPlikow&, const PostepWysylki&)> praca);
    void zakonczonoPrace();
    void pokazBlad(const QString& tekst);
    void pokazKod(QLabel* obraz, QLabel* podpis, QLineEdit* link, QPushButton* kopiuj, const QString& tresc,
                  const QString& napis);

    SystemPlikow& system_;
    QString katalogDanych_;
    std::vector<Wiersz> wiersze_;
    QThread* watek_ = nullptr;
    std::atomic<bool> przerwano_{false};
    bool zamknijPoZakonczeniu_ = false;
    WynikWysylki wynik_;
    // The positions of an offline issue in hand: its summary counts those that became offline.
    std::optional<std::vector<std::int64_t>> wystawiane_;
};
