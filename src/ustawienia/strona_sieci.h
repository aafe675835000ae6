#pragma once
// The "Dane" page: "\Admini\siec.dat" of the start folder, which says where the data root is.
#include <QRadioButton>
#include <memory>

#include "ustawienia/strona_ustawien.h"

class StronaSieci : public StronaUstawien {
    Q_OBJECT
  public:
    explicit StronaSieci(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);

    void wczytaj() override;
    bool zmieniona() const override;
    bool zapisz() override;

    QRadioButton* tryb_lokalny;
    QRadioButton* tryb_sieciowy;
    QRadioButton* tryb_biezacy;
    std::unique_ptr<PoleTekstu> sciezka_lokalna;
    std::unique_ptr<PoleTekstu> sciezka_sieciowa;
    QPushButton* wybierz_sciezka_lokalna;
    QPushButton* wybierz_sciezka_sieciowa;
    QLabel* folder_wynikowy;

    // Handlers, connected in zdarzenia.cpp.
    void zmienionoUstawienie();  // a mode or a folder
    void wybierzSciezkeLokalna();
    void wybierzSciezkeSieciowa();

  private:
    void wybierzFolder(PoleTekstu& pole);
    QString sciezka() const;
    RodzajTrybu wybranyTryb() const;
    TUstawieniaSieci nowyRekord() const;
    void odswiezWynik();

    PlikZRekordem<TUstawieniaSieci> plik_;
    bool odczytNieudany_ = false;
};
