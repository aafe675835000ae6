#pragma once
// "\ADMINI\uzupelnienia.dat": settings of our own that the suite's files have no room for, written
// by the settings program. A missing file is the zero record: nothing proposed, no contact text.
#include <QString>
#include <cstddef>

#include "store/tekst.h"

inline const QString SciezkaUzupelnien = QStringLiteral("\\ADMINI\\uzupelnienia.dat");

#pragma pack(push, 1)
struct TUzupelnienia {
    // Proposed by "Nowa faktura"; the capacities are those of the document's fields.
    TTekst<15> forma_zaplaty;
    TTekst<20> termin_zaplaty;
    // Follows the program's name in the last line of the printout.
    TTekst<60> kontakt_wydruku;
};
#pragma pack(pop)

static_assert(sizeof(TUzupelnienia) == 98);
static_assert(offsetof(TUzupelnienia, forma_zaplaty) == 0);
static_assert(offsetof(TUzupelnienia, termin_zaplaty) == 16);
static_assert(offsetof(TUzupelnienia, kontakt_wydruku) == 37);
