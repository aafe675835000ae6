#pragma once
// The sales register of a selection as CSV: one row per document in file order, net, VAT and gross
// per rate group, the gross total; a correction's row holds what it changes (after minus before),
// as the monthly summary counts it. UTF-8 with BOM, semicolons, decimal comma (or point), so that
// a spreadsheet with Polish settings reads the amounts as numbers.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "calc/kwoty_dokumentu.h"
#include "store/rekordy.h"

class RejestrSprzedazy {
  public:
    explicit RejestrSprzedazy(bool kropkaDziesietna = false) : separator_(kropkaDziesietna ? '.' : ',') {}

    // Adds the document's row, or says why it cannot have one.
    std::optional<QString> dodaj(const TDokument& dokument);

    // The whole file: the columns of the rate groups that occur, in a fixed order (rates from the
    // highest, then the texts such as "zw", then the amounts stored without a rate).
    QByteArray csv() const;

    std::size_t liczbaWierszy() const { return wiersze_.size(); }
    // Appends the rows of a register of the documents that follow these in the file (made in
    // another thread), its rate groups joined to these by their names.
    void dolacz(const RejestrSprzedazy& dalsze);
    // Room for this many documents, made at once rather than grown.
    void rezerwuj(std::size_t dokumentow);

  private:
    using Kwoty = KwotyGrupy;
    struct Wiersz {
        std::size_t tekstOd, tekstDo;    // the text cells in teksty_
        std::uint32_t kwotyOd, kwotyDo;  // the groups in kwoty_
        double razem;
    };

    int grupa(const TTekst<20>& stawka);

    struct ZnanaStawka {
        char bajty[20];
        std::uint8_t dlugosc;
        int grupa;
    };
    static constexpr std::size_t kZnaneStawki = 32;

    char separator_;
    std::vector<ZnanaStawka> znane_;
    std::string teksty_;
    std::vector<Kwoty> kwoty_;
    std::vector<Wiersz> wiersze_;
    std::vector<QString> grupy_;                          // normalised rate of each group
    std::unordered_map<std::string, int> grupyStawek_;    // stored rate bytes -> group
    std::unordered_map<std::string, int> grupyPoNazwie_;  // normalised rate -> group
};
