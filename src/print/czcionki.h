#pragma once
// The printout font: one TCzcionka record in a small file below the folder "FONT" of the working
// directory, and the values taken from the record last read or written.
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "store/rekordy.h"

class SystemPlikow;

struct StanCzcionki {
    TCzcionka Czcionka{};
    QString NazwaCzcionki;
    std::int32_t RozmiarCzcionki = 0;
};

// "FONT\" + nazwaPliku, relative to the working directory.
QString SciezkaFontu(const QString& nazwaPliku);

// A missing file changes nothing; a file shorter than one record throws BladPliku and leaves the
// state as it was.
void CzytajFonty(SystemPlikow& system, StanCzcionki& stan, const QString& nazwaPliku);

// A font as a font dialog shows and returns it.
struct WyborCzcionki {
    QFont czcionka;
    QColor kolor;
};

// Asks the user for a font. Gets the font stored in the file, or nothing when there is no file (the
// dialog then starts from its own current font); returns nothing when the user cancels.
using WybierzCzcionke =
    std::function<std::optional<WyborCzcionki>(const std::optional<WyborCzcionki>& poczatkowa)>;

// Lets the user choose a font and stores it whole in "FONT\" + nazwaPliku. Returns false when the
// user cancelled; the file is then untouched, though the state holds the file's record as read.
bool ZapiszFonty(SystemPlikow& system, StanCzcionki& stan, const QString& nazwaPliku,
                 const WybierzCzcionke& wybierz);

// Record <-> font conversions used by ZapiszFonty; the record's padding and unused text bytes are zero.
TCzcionka RekordCzcionki(const WyborCzcionki& wybor);
WyborCzcionki CzcionkaZRekordu(const TCzcionka& rekord);
