#pragma once
// The sales register of a selection as CSV: one row per document in file order, net, VAT and gross
// per rate group, the gross total; a correction's row holds what it changes (after minus before),
// as the monthly summary counts it. UTF-8 with BOM, semicolons, decimal comma (or point), so that
// a spreadsheet with Polish settings reads the amounts as numbers.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
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
    // The same bytes handed to `wyjscie` piece by piece, each piece a buffer of about a megabyte
    // reused for the next, so that the file is never held twice.
    void pisz(const std::function<void(const char*, std::size_t)>& wyjscie) const;

    std::size_t liczbaWierszy() const;
    // Appends the rows of a register of the documents that follow these in the file (made in
    // another thread), its rate groups joined to these by their names. Its rows are taken over,
    // not copied.
    void dolacz(RejestrSprzedazy&& dalsze);
    // Room for this many documents, made at once rather than grown.
    void rezerwuj(std::size_t dokumentow);

  private:
    // A row's bytes, written as the document is added: the text cells, then ";net;VAT;gross" for
    // every column of the groups known at that time, in their column order (";;;" for a group it
    // lacks), then ";total\r\n". Most rows have the file's columns and are written out as they are;
    // those written before a group first occurred are laid out again once all are known.
    struct Wiersz {
        std::size_t od;               // in teksty
        std::uint16_t komorkiTekstu;  // bytes of the text cells
    };
    // The groups of the columns, in their order, of the rows from odWiersza on.
    struct Uklad {
        std::vector<int> grupy;
        std::size_t odWiersza;
    };
    // Bytes written through a pointer into room asked for beforehand: a row is written without a
    // check per cell. Grown by doubling; never zeroed; megabytes of it in large pages where the
    // system gives them, so that filling it costs few page faults.
    class Bajty {
      public:
        Bajty() = default;
        Bajty(Bajty&&) noexcept = default;
        Bajty& operator=(Bajty&&) noexcept = default;
        Bajty(const Bajty& inne) { *this = inne; }
        Bajty& operator=(const Bajty& inne);
        char* miejsce(std::size_t ile) {
            if (pojemnosc_ - rozmiar_ < ile) rezerwuj(rozmiar_ + ile);
            return dane_.get() + rozmiar_;
        }
        void ustawKoniec(const char* koniec) { rozmiar_ = static_cast<std::size_t>(koniec - dane_.get()); }
        void rezerwuj(std::size_t pojemnosc);
        const char* data() const { return dane_.get(); }
        std::size_t size() const { return rozmiar_; }

      private:
        struct Zwolnij {
            void operator()(char* p) const noexcept;
        };
        std::unique_ptr<char[], Zwolnij> dane_;
        std::size_t rozmiar_ = 0, pojemnosc_ = 0;
    };
    // Rows in file order; a register joined to this one brings its own.
    struct Czesc {
        Bajty teksty;
        std::vector<Wiersz> wiersze;
        std::vector<Uklad> uklady;
    };

    int grupa(const TTekst<20>& stawka);
    std::optional<QString> dodajOgolnie(const TDokument& d, RodzajDokumentu rodzaj);
    template <class Sumy>
    void dodajWiersz(const TDokument& d, RodzajDokumentu rodzaj, const Sumy& sumy);
    template <class Sumy>
    char* piszKwoty(char* p, const Sumy& sumy) const;
    std::vector<int> kolejnoscKolumn() const;
    void nowyUklad(Czesc& c);

    struct ZnanaStawka {
        char bajty[20];
        std::uint8_t dlugosc;
        int grupa;
    };
    static constexpr std::size_t ZnaneStawki = 32;

    char separator_;
    std::vector<Czesc> czesci_ = std::vector<Czesc>(1);  // rows are added to the last
    std::vector<ZnanaStawka> znane_;
    std::vector<QString> grupy_;                          // normalised rate of each group
    std::vector<int> kolumnaGrupy_;                       // of the rows added now
    bool nowaGrupa_ = true;                               // the rows added next need a new layout
    std::unordered_map<std::string, int> grupyStawek_;    // stored rate bytes -> group
    std::unordered_map<std::string, int> grupyPoNazwie_;  // normalised rate -> group
};
