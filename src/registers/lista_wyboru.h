#pragma once
// Steps of the pick-list panel shared by the lists that fill it.
#include <QString>
#include <algorithm>
#include <array>
#include <cstring>

#include "store/cp1250.h"
#include "store/tekst.h"

class Tfaktura_f;
struct OpisDialoguPliku;

// The client file dialog, shared by the client list and the summary's buyer names.
OpisDialoguPliku OpenDialog2();

// The first record of a client list file into the window's one client buffer, in one read.
void CzytajBazeKlientow(Tfaktura_f& okno, const QString& sciezka);

// Places the panel over the document panel and shows it.
void PokazPanelListy(Tfaktura_f& okno);

// Copies the entry behind line `indeks` of a client list (mode 1) or a service list (mode 2) into
// the form.
void WstawWpisBazy(Tfaktura_f& okno, int indeks);

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

  private:
    void dolacz(const char* znaki, std::size_t ile) {
        ile = std::min(ile, znaki_.size() - dlugosc_);
        std::memcpy(znaki_.data() + dlugosc_, znaki, ile);
        dlugosc_ += ile;
    }
    std::array<char, 512> znaki_;
    std::size_t dlugosc_ = 0;
};
