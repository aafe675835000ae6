#pragma once
// The "Klienci" and "Usługi" pages: one client or service list file, its used slots in a table, an
// editor for one slot, search, CSV import and export.
#include <QTableWidget>
#include <memory>
#include <optional>
#include <vector>

#include "ustawienia/listy.h"
#include "ustawienia/strona_ustawien.h"

class StronaListy : public StronaUstawien {
    Q_OBJECT
  public:
    StronaListy(KontekstUstawien& kontekst, RodzajBazy rodzaj, QWidget* rodzic = nullptr);

    // The default list of the data folder when it exists.
    void wczytaj() override;
    // Reads the list's file again (or drops a list not saved yet).
    void porzucZmiany() override;
    bool zmieniona() const override;
    bool zapisz() override;

    const Lista* lista() const { return lista_.get(); }
    std::optional<int> edytowaneMiejsce() const { return miejsce_; }
    PoleTekstu& pole(int i) { return *pola_[static_cast<std::size_t>(i)]; }
    int liczbaPol() const { return static_cast<int>(pola_.size()); }
    // The table row of a slot, or -1.
    int wierszMiejsca(int miejsce) const;

    // The buttons' operations, also reached by tests.
    void otworzDomyslna();
    void otworzInna();
    void nowaLista();
    void nowyWpis();
    bool zastosujWpis();
    void usunWpis();
    void importuj();
    void eksportuj();

    // Handlers of the other events, connected in zdarzenia.cpp.
    void zmienionoPole(int i);
    void wyborWTabeli();
    void filtruj();
    void odswiezStan();

    QLabel* plik_listy;
    QLabel* stan_listy;
    QLabel* edytowany_wpis;
    QLineEdit* szukaj;
    QTableWidget* tabela;
    QPushButton* lista_domyslna;
    QPushButton* otworz_liste;
    QPushButton* nowa_lista;
    QPushButton* import_csv;
    QPushButton* eksport_csv;
    QPushButton* nowy_wpis;
    QPushButton* zastosuj_wpis;
    QPushButton* usun_wpis;

  private:
    // The sections of the page under the file's name, top to bottom.
    void dodajPrzyciskiPlikow();
    void dodajWyszukiwanie();
    void dodajTabele(const std::vector<OpisPola>& pola);
    void dodajEdytorWpisu(const std::vector<OpisPola>& pola);

    QString domyslnaSciezka() const;
    QString nazwaListy() const;
    OpisDialogu dialogListy(const QString& tytul) const;
    // Asks about an edited slot not applied yet; false: the user cancelled, or applying failed.
    bool rozstrzygnijEdytor();
    bool edytorZmieniony() const;
    QStringList wartosciEdytora() const;
    void ustawListe(std::unique_ptr<Lista> lista);
    void pokazListe();
    void wypelnijTabele();
    void wypelnijWiersz(int wiersz, int miejsce);
    void edytuj(std::optional<int> miejsce);
    bool otworzPlik(const QString& sciezka);
    // Tells why an import was refused; the list stays as it was.
    void odrzucImport(const QString& plik, const WynikImportu& wynik);

    RodzajBazy rodzaj_;
    std::unique_ptr<Lista> lista_;
    std::vector<std::unique_ptr<PoleTekstu>> pola_;
    std::optional<int> miejsce_;
    QStringList wartosciWpisu_;  // what the editor showed when the slot was taken up
};
