#pragma once
// A line of the pick list joined from stored texts.
#include <QString>
#include <algorithm>
#include <array>
#include <cstring>

#include "store/cp1250.h"
#include "store/tekst.h"

// One line of a list joined from stored texts as they are (not trimmed), converted from
// Windows-1250 once. Long enough for the longest line of any list.
class LiniaListy {
  public:
    template <std::size_t N>
    LiniaListy& operator<<(const TTekst<N>& tekst) {
        dolacz(tekst.znaki, tekst.dlugoscTekstu());
        return *this;
    }
    LiniaListy& operator<<(char znak) {
        dolacz(&znak, 1);
        return *this;
    }
    QString tekst() const { return ZCp1250(znaki_.data(), dlugosc_); }
    const char* znaki() const { return znaki_.data(); }
    std::size_t dlugosc() const { return dlugosc_; }

  private:
    void dolacz(const char* znaki, std::size_t ile) {
        ile = std::min(ile, znaki_.size() - dlugosc_);
        std::memcpy(znaki_.data() + dlugosc_, znaki, ile);
        dlugosc_ += ile;
    }
    std::array<char, 512> znaki_;
    std::size_t dlugosc_ = 0;
};
