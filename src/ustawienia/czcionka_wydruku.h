#pragma once
// The printout font as the font page edits it.
#include <QString>
#include <cstdint>
#include <optional>

#include "store/rekordy.h"

// The four things the page sets; colour in the files' encoding (0x00BBGGRR or a system colour).
struct WartosciCzcionki {
    QString nazwa;
    std::int32_t rozmiar = 0;
    std::uint8_t styl = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    std::int32_t kolor = 0;
};

WartosciCzcionki WartosciZRekordu(const TCzcionka& rekord);

// Why the face name cannot be stored whole, or nothing.
std::optional<QString> BladCzcionki(const WartosciCzcionki& wartosci);

// The record after the choice: only what differs is set, so the padding, the bytes after the
// name and the style bits the page does not know (4-7) stay as they were.
TCzcionka ZmienionaCzcionka(const TCzcionka& dawna, const WartosciCzcionki& wartosci);

// "pogrubiona, pochylona", or "zwykła".
QString OpisStylu(std::uint8_t styl);
