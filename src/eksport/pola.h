#pragma once
// Small readings of stored texts that the exports share: the printed number of a document, clean
// texts, strict dates, tax numbers and VAT rates. Plain values in, plain values out.

#include <QDate>
#include <QString>
#include <optional>

#include "store/rekordy.h"

// The number as the printout's title shows it: numerator + "/" + suffix.
QString NumerDokumentu(const TDokument& dokument);

// "faktura 12/2026", "korekta 3/K/2026", or "rekord 7" for a record of neither kind, for messages.
QString OpisDokumentu(const TDokument& dokument, std::int64_t pozycja);

// The first record of a new document file marks the start of the pad; it is no document.
bool JestPoczatkiemBloczka(const TDokument& dokument);

// A stored text without control characters, with runs of white space made one blank and no blank
// at either end: what an XML token or a spreadsheet cell should hold.
QString CzystyTekst(const QString& tekst);

// A date written exactly YYYY-MM-DD that exists in the calendar; anything else is nothing.
std::optional<QDate> DataZTekstu(const QString& tekst);

// A Polish tax number with blanks, "-" and a leading "PL" removed, when ten digits remain.
std::optional<QString> CyfryNip(const QString& tekst);
// Ten digits that form a valid tax number: no office code 0, 00 in places two and three not both,
// and the check digit right.
bool PoprawnyNip(const QString& cyfry);

// A VAT rate text made comparable: trimmed, lower-case, without a trailing "%", a number in its
// shortest form ("22.0" and "22%" are "22", "0,5" is "0.5"). Empty stays empty.
QString ZnormalizowanaStawka(const QString& tekst);
