#pragma once
// The "KSeF" page: "Admini\ksef.ini" of the data folder (which KSeF, for which NIP, with which
// credential) and the secrets kept beside it in the desktop's keyring, never in the file.
#include <QLabel>
#include <QRadioButton>
#include <functional>

#include "ksef/sejf.h"
#include "ksef/srodowiska.h"
#include "store/ustawienia_ksef.h"
#include "ustawienia/strona_ustawien.h"
#include "wysylka/wysylka.h"

class QThread;

class StronaKsef : public StronaUstawien {
    Q_OBJECT
  public:
    explicit StronaKsef(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);
    ~StronaKsef() override;

    void wczytaj() override;
    bool zmieniona() const override;
    bool zapisz() override;

    // What the page calls outside the program; the tests give their own.
    struct Uslugi {
        std::function<WynikSejfu(const QString& nazwa)> czytajSekret = CzytajSekret;
        std::function<WynikSejfu(const QString& nazwa, const QString& wartosc)> zapiszSekret = ZapiszSekret;
        // Runs on a worker thread.
        std::function<QString(const SrodowiskoKsef&, const PoswiadczeniaKsef&)> sprawdzPolaczenie =
            SprawdzPolaczenie;
    };
    Uslugi uslugi;

    QRadioButton* srodowisko_test;
    QRadioButton* srodowisko_demo;
    QRadioButton* srodowisko_produkcja;
    QRadioButton* srodowisko_wlasne;
    QLineEdit* adres_wlasny;
    QLineEdit* nip_kontekstu;
    QLabel* uwaga_nip;
    QRadioButton* poswiadczenie_token;
    QRadioButton* poswiadczenie_certyfikat;
    QLineEdit* token;
    QLineEdit* plik_certyfikatu;
    QPushButton* wybierz_certyfikat;
    QLineEdit* plik_klucza;
    QPushButton* wybierz_klucz;
    QLineEdit* haslo_klucza;
    QLineEdit* plik_certyfikatu_offline;
    QPushButton* wybierz_certyfikat_offline;
    QLineEdit* plik_klucza_offline;
    QPushButton* wybierz_klucz_offline;
    QLineEdit* haslo_klucza_offline;
    QLabel* stan_sejfu;
    QPushButton* sprawdz_polaczenie;
    QLabel* wynik_polaczenia;

    // The settings as the page shows them.
    UstawieniaKsef ustawienia() const;
    bool sprawdzanie() const { return watek_ != nullptr; }

    // Handlers, connected in zdarzenia.cpp.
    void zmienionoUstawienie();
    void wybierzCertyfikat();
    void wybierzKlucz();
    void wybierzCertyfikatOffline();
    void wybierzKluczOffline();
    void sprawdzPolaczenie();

  signals:
    void sprawdzonoPolaczenie(const QString& wynik);

  private:
    // The sections of the page, top to bottom.
    void dodajSrodowisko();
    void dodajPoswiadczenie();
    void dodajOffline();
    void dodajSprawdzenie();

    QString sciezka() const;
    QString nipKontekstu() const;
    // Secrets typed on the page with their keyring entries.
    std::vector<std::pair<QString, QLineEdit*>> wpisaneSekrety() const;
    void wybierzPlik(QLineEdit* pole, const QString& tytul, const QString& filtr);
    void odswiezStanSejfu();
    void odswiezDostepnosc();
    void zakonczonoSprawdzanie(const QString& wynik);

    QVBoxLayout* tresc_;  // the sections, in their scroll area
    UstawieniaKsef zapisane_;
    QString nipSprzedawcy_;
    bool odczytNieudany_ = false;
    QThread* watek_ = nullptr;
    QString wynikWatku_;
};
