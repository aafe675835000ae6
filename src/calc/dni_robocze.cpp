#include "calc/dni_robocze.h"

namespace {

constexpr int DniNaDosylaniePoAwarii = 7;

}  // namespace

// The Gregorian computus (Meeus / Jones / Butcher).
QDate Wielkanoc(int rok) {
    const int a = rok % 19, b = rok / 100, c = rok % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int miesiac = (h + l - 7 * m + 114) / 31, dzien = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(rok, miesiac, dzien);
}

bool SwietoPanstwowe(const QDate& dzien) {
    if (!dzien.isValid()) return false;
    const int m = dzien.month(), d = dzien.day();
    struct Stale {
        int m, d;
    };
    // The fixed holidays of the act on public holidays; Christmas Eve is one since 2025.
    static constexpr Stale Stale_[] = {{1, 1},  {1, 6},   {5, 1},   {5, 3},  {8, 15},
                                       {11, 1}, {11, 11}, {12, 25}, {12, 26}};
    for (const Stale& s : Stale_)
        if (s.m == m && s.d == d) return true;
    if (m == 12 && d == 24 && dzien.year() >= 2025) return true;
    // Easter Sunday and Monday, Pentecost Sunday (the 50th day), Corpus Christi (the 60th after Easter).
    const QDate wielkanoc = Wielkanoc(dzien.year());
    const qint64 odWielkanocy = wielkanoc.daysTo(dzien);
    return odWielkanocy == 0 || odWielkanocy == 1 || odWielkanocy == 49 || odWielkanocy == 60;
}

bool DzienRoboczy(const QDate& dzien) {
    return dzien.isValid() && dzien.dayOfWeek() < 6 && !SwietoPanstwowe(dzien);
}

QDate PoDniachRoboczych(const QDate& po, int ile) {
    QDate dzien = po;
    for (int zostalo = ile; zostalo > 0;) {
        dzien = dzien.addDays(1);
        if (DzienRoboczy(dzien)) --zostalo;
    }
    return dzien;
}

QDate TerminOffline(TrybOffline tryb, const QDate& wystawienie, std::optional<QDate> koniecNiedostepnosci,
                    std::optional<QDate> koniecAwarii) {
    // A failure announced within any sending period moves the deadline to 7 working days after the
    // last one ends.
    if (koniecAwarii) return PoDniachRoboczych(*koniecAwarii, DniNaDosylaniePoAwarii);
    switch (tryb) {
        case TrybOffline::Offline24:
            return PoDniachRoboczych(wystawienie, 1);
        case TrybOffline::Offline:
            return PoDniachRoboczych(koniecNiedostepnosci.value_or(wystawienie), 1);
        case TrybOffline::Awaryjny:
            break;
    }
    return PoDniachRoboczych(koniecNiedostepnosci.value_or(wystawienie), DniNaDosylaniePoAwarii);
}
