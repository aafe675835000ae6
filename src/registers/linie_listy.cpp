#include "registers/linie_listy.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "store/cp1250.h"

void LinieListy::dodaj(const LiniaListy& linia) {
    znaki_.insert(znaki_.end(), linia.znaki(), linia.znaki() + linia.dlugosc());
    if (konce_.empty() || linia.dlugosc() > dlugoscNajdluzszej_) {
        najdluzsza_ = konce_.size();
        dlugoscNajdluzszej_ = linia.dlugosc();
    }
    konce_.push_back(znaki_.size());
}

void LinieListy::dolacz(LinieListy&& dalsze) {
    if (dalsze.konce_.empty()) return;
    if (konce_.empty()) {
        *this = std::move(dalsze);
        return;
    }
    const std::size_t przesuniecie = znaki_.size();
    const std::size_t wierszy = konce_.size();
    if (dalsze.dlugoscNajdluzszej_ > dlugoscNajdluzszej_) {
        najdluzsza_ = wierszy + dalsze.najdluzsza_;
        dlugoscNajdluzszej_ = dalsze.dlugoscNajdluzszej_;
    }
    znaki_.insert(znaki_.end(), dalsze.znaki_.begin(), dalsze.znaki_.end());
    konce_.reserve(wierszy + dalsze.konce_.size());
    for (const std::size_t koniec : dalsze.konce_) konce_.push_back(przesuniecie + koniec);
    dalsze = LinieListy{};
}

QString LinieListy::tekst(std::size_t wiersz) const {
    const std::size_t od = poczatek(wiersz);
    return ZCp1250(znaki_.data() + od, konce_[wiersz] - od);
}

long long LinieListy::znajdz(const QString& fraza, std::size_t od) const {
    for (std::size_t w = od; w < liczba(); ++w)
        if (tekst(w).contains(fraza, Qt::CaseSensitive)) return static_cast<long long>(w);
    return -1;
}

void ModelLinii::ustaw(LinieListy linie) {
    beginResetModel();
    linie_ = std::move(linie);
    endResetModel();
}

int ModelLinii::rowCount(const QModelIndex& rodzic) const {
    // A list of more lines than a view can count is cut at what it can count.
    return rodzic.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(linie_.liczba(), INT_MAX));
}

QVariant ModelLinii::data(const QModelIndex& indeks, int rola) const {
    if (!indeks.isValid() || indeks.row() >= rowCount()) return {};
    if (rola == Qt::DisplayRole || rola == Qt::AccessibleTextRole)
        return linie_.tekst(static_cast<std::size_t>(indeks.row()));
    return {};
}
