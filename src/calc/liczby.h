// Numbers read from the texts the user types, and amounts written as text.
#pragma once

#include <QString>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Written instead of an amount that has no two-decimal form here (10^36 or more, inf, NaN).
inline constexpr char16_t TekstPozaZakresem[] = u"poza zakresem";

// An ASCII decimal digit (no other script's digits: the files hold none).
inline bool Cyfra(QChar c) { return c >= u'0' && c <= u'9'; }
inline bool Cyfra(char c) { return c >= '0' && c <= '9'; }

// Lenient reading that never fails. Leading blanks are skipped; a text of the form
// [+|-]digits[.digits][(E|e)[+|-]digits] is that number; an empty, blank or sign-only text is 0;
// any other text gives the digits read before the first character that does not fit, joined as one
// whole number without sign, point or exponent ("12,50" -> 12, "1.5 kg" -> 15, "1e5x" -> 1).
// A number outside the range of a double (1e400, also as joined digits) counts as 0, so no cell
// ever yields inf or NaN.
double LiczbaZTekstu(const QString& tekst);

// Whether LiczbaZTekstu gives the number the whole text writes: true for a well-formed number
// within the range of a double and for a text of blanks only (nothing entered yet); false where it
// reads only a part ("12,50", "1.5x", "12 34", "12.5 ") or counts 0 in place of what was typed
// ("-", "x", "1e400").
bool LiczbaWCalosci(const QString& tekst);

// Amount rounded to two decimals, halves away from zero judged on x's decimal expansion to
// 18 significant digits (17 decimal places below 1), "-" before a negative amount also when it
// rounds to 0.00, blank-filled on the left to 12 characters and never cut. From 10^36 on, and for
// inf/NaN, the text is TekstPozaZakresem.
QString TekstKwoty(double x);

// An amount for a file (the register, FA(3)): TekstKwoty without the blanks, never "-0.00", with the
// given decimal separator. PiszKwotePliku writes at most NajdluzszaKwotaPliku characters at p and
// returns their end.
inline constexpr std::size_t NajdluzszaKwotaPliku = 48;
char* PiszKwotePliku(char* p, double kwota, char separator);
// The same for an amount in whole grosze (below): what PiszKwotePliku writes for grosze / 100, at
// most NajdluzszeGroszePliku characters.
inline constexpr std::size_t NajdluzszeGroszePliku = 22;

// The plain form of a stored amount: blanks, an optional "-", 1 to 13 digits, a point and two
// digits, read as whole grosze; false for any other text. ujemna: the text has the "-" (also
// "-0.00").
inline bool GroszeZTekstu(const char* p, std::size_t n, std::int64_t& grosze, bool& ujemna) {
    std::size_t i = 0;
    // The summary pads its amounts with blanks on the left: eight at a time.
    for (; i + 8 <= n; i += 8) {
        std::uint64_t slowo;
        std::memcpy(&slowo, p + i, 8);
        slowo ^= 0x2020202020202020u;
        if (slowo != 0) {
            i += static_cast<std::size_t>(std::countr_zero(slowo)) / 8;  // the data files are little-endian
            break;
        }
    }
    while (i < n && p[i] == ' ') ++i;
    ujemna = i < n && p[i] == '-';
    if (ujemna) ++i;
    // 1 to 13 digits up to the point three places before the end.
    if (n - i < 4 || n - i > 16) return false;
    const std::size_t kropka = n - 3;
    if (p[kropka] != '.' || !Cyfra(p[n - 2]) || !Cyfra(p[n - 1])) return false;
    std::int64_t g = 0;
    // The last eight places before the point as one word, the places before the digits taken as
    // zeros: digits in memory order are the number's from the highest, joined in three steps.
    std::size_t koniecCalosci = kropka;
    if (kropka >= 8) {
        std::uint64_t slowo;
        std::memcpy(&slowo, p + kropka - 8, 8);
        const std::size_t przed = kropka - 8 < i ? i - (kropka - 8) : 0;  // bytes before the digits
        const std::uint64_t maska = przed == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * przed);
        slowo = (slowo & ~maska) | (0x3030303030303030u & maska);
        const std::uint64_t cyfry = slowo - 0x3030303030303030u;
        // Every byte 0..9: no borrow above and none that adding 6 lifts past 15.
        if (((slowo & 0xF0F0F0F0F0F0F0F0u) != 0x3030303030303030u) ||
            ((cyfry + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) != 0)
            return false;
        std::uint64_t v = (cyfry * 10 + (cyfry >> 8)) & 0x00FF00FF00FF00FFu;
        v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
        v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;
        g = static_cast<std::int64_t>(v);
        koniecCalosci = kropka - 8 < i ? i : kropka - 8;
        // Digits before these eight: at most five more.
        std::int64_t wyzsze = 0, mnoznik = 1;
        for (std::size_t j = koniecCalosci; j > i; mnoznik *= 10) {
            const auto cyfra = static_cast<unsigned>(p[--j] - '0');
            if (cyfra > 9) return false;
            wyzsze += cyfra * mnoznik;
        }
        g += wyzsze * 100'000'000;
    } else {
        for (; i < kropka; ++i) {
            const auto cyfra = static_cast<unsigned>(p[i] - '0');
            if (cyfra > 9) return false;
            g = g * 10 + cyfra;
        }
    }
    g = g * 100 + (p[n - 2] - '0') * 10 + (p[n - 1] - '0');
    grosze = ujemna ? -g : g;
    return true;
}
QString KwotaPliku(double kwota, char separator = '.');

// A settings or number text read as a whole number: leading blanks, an optional sign and the
// digits that follow count ("7a" -> 7); no digits give 0; saturates at the int32 range.
std::int32_t CalkowitaZTekstu(const QString& tekst);

// Inline: the register writes seven of them a row.
inline char* PiszGroszePliku(char* p, std::int64_t g, char separator) {
    // Negated as unsigned, so that the lowest int64 has a text too.
    auto reszta = static_cast<std::uint64_t>(g);
    if (g < 0) {
        *p++ = '-';
        reszta = 0 - reszta;
    }
    static constexpr char Pary[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839404142434445464748"
        "49505152535455565758596061626364656667686970717273747576777879808182838485868788899091929394959697"
        "9899";
    char cyfry[24];
    char* c = cyfry + sizeof cyfry;
    const auto ulamek = static_cast<std::size_t>(reszta % 100);
    auto calosc = reszta / 100;
    while (calosc >= 100) {
        c -= 2;
        std::memcpy(c, Pary + 2 * (calosc % 100), 2);
        calosc /= 100;
    }
    if (calosc >= 10) {
        c -= 2;
        std::memcpy(c, Pary + 2 * calosc, 2);
    } else {
        *--c = static_cast<char>('0' + calosc);
    }
    const auto ile = static_cast<std::size_t>(cyfry + sizeof cyfry - c);
    std::memcpy(p, c, ile);
    p += ile;
    *p++ = separator;
    std::memcpy(p, Pary + 2 * ulamek, 2);
    return p + 2;
}
