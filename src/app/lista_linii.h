#pragma once
// The list box of the pick-list panel: a list view over the compact lines of the list, with the
// few list-box operations the window uses.
#include <QListView>

#include "registers/linie_listy.h"

class ListaLinii : public QListView {
  public:
    explicit ListaLinii(QWidget* rodzic);
    void ustawLinie(LinieListy linie);
    void clear();
    int count() const;
    QString tekst(int wiersz) const;
    const LinieListy& linie() const { return model_.linie(); }
    // The current line, or -1.
    int currentRow() const;
    // Makes a line current and the only selected one; -1 leaves none.
    void setCurrentRow(int wiersz);
    bool zaznaczony(int wiersz) const;
    // The selected line, or -1 when none is selected.
    int wybranyWiersz() const;

  private:
    ModelLinii model_;
};
