#pragma once
// A string grid addressed as (column, row) with one fixed header row and one fixed first column,
// the way the form's two tables are described. Row 0 is the header (a real column header, so that
// screen readers announce it); column 0 is read-only and grey.
#include <QTableWidget>
#include <vector>

class QLineEdit;

#include "app/dopasowanie.h"

class Siatka : public QTableWidget {
    Q_OBJECT
  public:
    // Pixels between a cell's edge and its text: small enough that the blank-padded amounts of the
    // form's grids fit their columns in the grids' font.
    static constexpr int MarginesKomorki = 1;

    Siatka(int kolumny, int wiersze, const std::vector<int>& szerokosci, QWidget* rodzic = nullptr);

    QString komorka(int kolumna, int wiersz) const;
    // Sets the cell only when its text differs, so that an unchanged grid costs no repaint or signal.
    void ustawKomorke(int kolumna, int wiersz, const QString& tekst);
    // Row of the grid's cursor in grid numbering (1.. for item rows).
    int wierszKursora() const { return currentRow() + 1; }

    // Columns that hold amounts: a cell too narrow for its amount drops the padding blanks first,
    // and a number still too wide is cut at its right end.
    void ustawKolumnyKwot(const std::vector<int>& kolumny);
    bool kolumnaKwot(int kolumna) const;
    // What an item cell (row 1..) shows in its width, as it is painted.
    TekstWidoczny tekstWidoczny(int kolumna, int wiersz) const;
    // The width in pixels that a cell's text has in column `kolumna`.
    int szerokoscTekstu(int kolumna) const;

    // Columns into which numbers are typed. A cell there whose text is not wholly a number (see
    // LiczbaWCalosci) is painted on a red background and its tooltip says what it counts as.
    void ustawKolumnyLiczb(const std::vector<int>& kolumny);
    bool kolumnaLiczb(int kolumna) const;
    // The cell's accessible description says the same as its tooltip, so that a screen reader
    // hears the mark too.
    bool liczbaCzesciowa(int kolumna, int wiersz) const;

    // Font colour of the cells and the header, in 0x00BBGGRR.
    void ustawKolorCzcionki(std::int32_t kolor);
    std::int32_t kolorCzcionki() const { return kolor_; }

  signals:
    // A cell editor was just opened in a number column.
    void edytorLiczby(QLineEdit* edytor);

  private:
    QTableWidgetItem* element(int kolumna, int wiersz) const;
    void opiszLiczbe(QTableWidgetItem* e);
    std::int32_t kolor_ = 0;
    std::vector<bool> kwoty_;
    std::vector<bool> liczby_;
};
