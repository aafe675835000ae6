// Polish nouns after a count: "1 wiersz", "3 wiersze", "5 wierszy", "22 wiersze", "112 wierszy".
#pragma once

#include <QString>
#include <cstdint>

// The form of the noun that follows the count n: `jeden` for exactly 1, `kilka` for counts ending
// in 2, 3 or 4 except 12, 13 and 14, `wiele` for all others (0 and negative counts by their size).
const QString& FormaPoLiczbie(std::int64_t n, const QString& jeden, const QString& kilka,
                              const QString& wiele);

// The count and its noun, e.g. LiczbaIRzeczownik(3, "wpis", "wpisy", "wpisów") -> "3 wpisy".
QString LiczbaIRzeczownik(std::int64_t n, const QString& jeden, const QString& kilka, const QString& wiele);
