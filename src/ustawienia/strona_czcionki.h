#pragma once
// The "Czcionka wydruku" page: "FONT\font_welkaro.dat" below the start folder, the font every text
// of the printout is written in (the item table excepted).
#include <QLabel>

#include "ustawienia/czcionka_wydruku.h"
#include "ustawienia/strona_ustawien.h"

class StronaCzcionki : public StronaUstawien {
    Q_OBJECT
  public:
    explicit StronaCzcionki(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);

    void wczytaj() override;
    bool zmieniona() const override;
    bool zapisz() override;

    const WartosciCzcionki& wartosci() const { return wartosci_; }

    QLabel* kroj;
    QLabel* rozmiar;
    QLabel* styl;
    QLabel* kolor;
    QWidget* podglad;
    QPushButton* wybierz_czcionke;
    QPushButton* wybierz_kolor;

    // Handlers, connected in zdarzenia.cpp.
    void wybierzCzcionke();
    void wybierzKolor();

  private:
    // The sections of the page, top to bottom.
    void dodajWartosci();
    void dodajPrzyciskiWyboru();
    void dodajPodglad();

    QString sciezka() const;
    void pokaz();
    void pokazPrzyklad();
    void showEvent(QShowEvent* zdarzenie) override;

    static constexpr int LiniiPodgladu = 5;

    PlikZRekordem<TCzcionka> plik_;
    WartosciCzcionki wartosci_;
    bool odczytNieudany_ = false;
    std::vector<QLabel*> linie_;
};
