#pragma once
// The command line that hands a document's gross amount to the sales register program, and how a
// Windows program splits such a line into its arguments.
#include <QString>
#include <QStringList>

// The register program takes a single-byte, zero-terminated line of at most this many characters.
inline constexpr int MaksDlugoscWiersza = 250;

struct WierszEwidencji {
    QString wiersz;         // "ewidencja.exe D A "R"", as the register program is called on Windows
    QStringList argumenty;  // what the register program receives after its own name
    QString blad;           // why nothing may be handed over (Polish); empty when all is well
};

// Day D from characters 9 and 10 of the issue date, the amount text A unchanged and the reference R
// in quotes. The line is refused, never cut: when the date has no day there, when the line would be
// longer than MaksDlugoscWiersza, or when splitting it would not give back exactly D, A and R (a
// quote in a text, a blank inside the amount, an empty amount).
WierszEwidencji ZbudujWierszEwidencji(const QString& dataWystawienia, const QString& kwota,
                                      const QString& odniesienie);

// The arguments of a Windows command line by the rules of the Microsoft C runtime, the program name
// first: blanks and tabs separate, quotes group and are removed, 2n backslashes before a quote give n
// and the quote groups, 2n+1 give n and a literal quote, "" inside quotes is a literal quote, other
// backslashes are kept. The program name itself ends at the first blank outside quotes and knows no
// backslash rules.
QStringList PodzielWierszWindows(const QString& wiersz);
