#include "app/lista_linii.h"

#include <QItemSelectionModel>
#include <QStyledItemDelegate>

namespace {

// Lines of equal height spare the view measuring each of many thousands; every line is as wide as
// the longest, so that the view's width (and its horizontal scroll bar) fits them all.
class RownaSzerokosc : public QStyledItemDelegate {
  public:
    RownaSzerokosc(const ModelLinii& model, QObject* rodzic) : QStyledItemDelegate(rodzic), model_(model) {}
    QSize sizeHint(const QStyleOptionViewItem& opcje, const QModelIndex& indeks) const override {
        const std::size_t najdluzsza = model_.linie().najdluzsza();
        if (najdluzsza >= static_cast<std::size_t>(model_.rowCount()))
            return QStyledItemDelegate::sizeHint(opcje, indeks);
        return QStyledItemDelegate::sizeHint(opcje, model_.index(static_cast<int>(najdluzsza)));
    }

  private:
    const ModelLinii& model_;
};

}  // namespace

ListaLinii::ListaLinii(QWidget* rodzic) : QListView(rodzic), model_(this) {
    setModel(&model_);
    setItemDelegate(new RownaSzerokosc(model_, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void ListaLinii::ustawLinie(LinieListy linie) { model_.ustaw(std::move(linie)); }

void ListaLinii::clear() { model_.wyczysc(); }

int ListaLinii::count() const { return model_.rowCount(); }

QString ListaLinii::tekst(int wiersz) const { return model_.linie().tekst(static_cast<std::size_t>(wiersz)); }

int ListaLinii::currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void ListaLinii::setCurrentRow(int wiersz) {
    const QModelIndex indeks = model_.index(wiersz);
    if (!indeks.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(indeks, QItemSelectionModel::ClearAndSelect);
    scrollTo(indeks);
}

bool ListaLinii::zaznaczony(int wiersz) const {
    return selectionModel()->isRowSelected(wiersz, QModelIndex());
}

int ListaLinii::wybranyWiersz() const {
    const QModelIndexList wybrane = selectionModel()->selectedRows();
    return wybrane.isEmpty() ? -1 : wybrane.front().row();
}
