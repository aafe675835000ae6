#pragma once
// The "Nowy katalog danych" page: makes a data folder as the module's first start in it would.
#include "ustawienia/strona_ustawien.h"

class StronaNowegoKatalogu : public StronaUstawien {
    Q_OBJECT
  public:
    explicit StronaNowegoKatalogu(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);

    void wczytaj() override;
    // Makes the folder named in the edit; true when it was made (the window then opens it).
    bool utworz();
    // Proposes a folder, with a note why (empty: none).
    void zaproponuj(const QString& katalog, const QString& uwaga = {});

    QLineEdit* sciezka_nowego;
    QPushButton* wybierz_folder;
    QPushButton* utworz_katalog;
    QLabel* uwaga_nowego;

    // Handlers, connected in zdarzenia.cpp.
    void wybierzFolder();
    // Says at once why the folder typed cannot be used.
    void odswiezUwage();

  signals:
    void utworzono(const QString& katalog);
};
