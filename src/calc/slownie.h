// Amounts in Polish words, as shown beside "Słownie" and printed on the invoice.
#pragma once

#include <QString>
#include <cstdint>

// Whole number n (1..2147483647) and currency word into words, e.g. 25, "złotych" ->
// "dwadzieścia pięć złotych". The double blanks and the five whole-result exceptions
// (10, 100, 1000, 10000, 100000) are part of the established output. n below 1 gives an empty text.
QString KwotaSlownie(std::int32_t n, const QString& slowo);

// Currency word chosen from the whole number: 1 / 2..4 / everything else.
QString SlowoZlotych(std::int64_t n);
QString SlowoGroszy(std::int64_t n);

struct KwotaWSlowach {
    QString zlote;
    QString grosze;
};

// An amount of money T >= 0 in words: the złote from the whole part (empty below 1), the grosze
// from the fraction times 100 rounded half to even (empty when 0). Negative T gives two empty texts
// (the printout negates the amount itself and writes "minus"). Whole parts of 2^31 and more are said
// by the same rules with a billions group of up to 999; from 10^12 on, and for inf/NaN, both texts
// are empty rather than stating a different amount.
KwotaWSlowach KwotaPieniezna(double T);
