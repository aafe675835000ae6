#pragma once
// CSV files of the list pages: UTF-8, semicolons between fields, fields in double quotes when they
// hold a semicolon, a quote or a line break (a quote inside doubled).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct OdrzuconyWiersz {
    int linia = 0;  // counted from 1, the line the row starts on
    QString powod;
};

struct RekordCsv {
    int linia = 0;
    QStringList pola;
};

struct WynikCsv {
    std::vector<RekordCsv> rekordy;
    std::vector<OdrzuconyWiersz> bledy;  // rows that could not be read; they are not in `rekordy`
};

// A leading byte order mark is skipped; lines end in LF or CRLF; empty lines are left out.
WynikCsv CzytajCsv(const QByteArray& dane);

// With a byte order mark, so that spreadsheet programs take the file for UTF-8; lines end in CRLF.
QByteArray ZapiszCsv(const std::vector<QStringList>& wiersze);
