#pragma once
// Small readings of stored texts that the exports share: a document named in messages, clean texts
// and VAT rates. Plain values in, plain values out. What a document is comes from calc/dokument.h.

#include <QString>
#include <cstdint>

#include "calc/dokument.h"
#include "store/rekordy.h"

// "faktura 12/2026", "korekta 3/K/2026", or "rekord 7" for a record of neither kind, for messages.
QString OpisDokumentu(const TDokument& dokument, std::int64_t pozycja);

// A stored text without control characters, with runs of white space made one blank and no blank
// at either end: what an XML token or a spreadsheet cell should hold.
QString CzystyTekst(const QString& tekst);

// A VAT rate text made comparable: trimmed, lower-case, without a trailing "%", a number in its
// shortest form ("22.0" and "22%" are "22", "0,5" is "0.5"). Empty stays empty.
QString ZnormalizowanaStawka(const QString& tekst);
