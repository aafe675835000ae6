#pragma once
// The lines of the pick list, held compactly: a list of 100,000 documents is filled in about the
// time of reading their file, and a line becomes a QString only when it is shown or searched.
#include <QAbstractListModel>
#include <cstddef>
#include <vector>

#include "registers/linia_listy.h"

// Lines as their stored Windows-1250 bytes, one after another.
class LinieListy {
  public:
    void dodaj(const LiniaListy& linia);
    std::size_t liczba() const { return konce_.size(); }
    QString tekst(std::size_t wiersz) const;
    // The lines of `dalsze` after these.
    void dolacz(LinieListy&& dalsze);
    // The line with the most characters (the first of them), or 0 for no lines: the list's font is
    // fixed-pitch, so it is also the widest line.
    std::size_t najdluzsza() const { return najdluzsza_; }
    // The first line from `od` on that holds `fraza` (case-sensitive), or -1.
    long long znajdz(const QString& fraza, std::size_t od) const;

  private:
    std::size_t poczatek(std::size_t wiersz) const { return wiersz == 0 ? 0 : konce_[wiersz - 1]; }
    std::vector<char> znaki_;
    std::vector<std::size_t> konce_;
    std::size_t najdluzsza_ = 0;
    std::size_t dlugoscNajdluzszej_ = 0;
};

// The lines as a list model for a list view: one column, display text only, read-only.
class ModelLinii : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    void ustaw(LinieListy linie);
    void wyczysc() { ustaw(LinieListy{}); }
    const LinieListy& linie() const { return linie_; }
    int rowCount(const QModelIndex& rodzic = QModelIndex()) const override;
    QVariant data(const QModelIndex& indeks, int rola) const override;

  private:
    LinieListy linie_;
};
