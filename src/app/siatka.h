#pragma once
// A string grid addressed as (column, row) with one fixed header row and one fixed first column,
// the way the form's two tables are described. Row 0 is the header (a real column header, so that
// screen readers announce it); column 0 is read-only and grey.
#include <QTableWidget>
#include <vector>

class Siatka : public QTableWidget {
    Q_OBJECT
  public:
    Siatka(int kolumny, int wiersze, const std::vector<int>& szerokosci, QWidget* rodzic = nullptr);

    QString komorka(int kolumna, int wiersz) const;
    // Sets the cell only when its text differs, so that an unchanged grid costs no repaint or signal.
    void ustawKomorke(int kolumna, int wiersz, const QString& tekst);
    // Row of the grid's cursor in grid numbering (1.. for item rows).
    int wierszKursora() const { return currentRow() + 1; }

    // Font colour of the cells and the header, in 0x00BBGGRR.
    void ustawKolorCzcionki(std::int32_t kolor);
    std::int32_t kolorCzcionki() const { return kolor_; }

  private:
    QTableWidgetItem* element(int kolumna, int wiersz) const;
    std::int32_t kolor_ = 0;
};
