#include "calc/odmiana.h"

const QString& FormaPoLiczbie(std::int64_t n, const QString& jeden, const QString& kilka,
                              const QString& wiele) {
    // The size of the count; the lowest value has no positive counterpart, but only its last two
    // digits matter.
    const std::uint64_t ile = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    if (ile == 1) return jeden;
    const std::uint64_t jednosci = ile % 10, dziesiatki = ile % 100;
    if (jednosci >= 2 && jednosci <= 4 && !(dziesiatki >= 12 && dziesiatki <= 14)) return kilka;
    return wiele;
}

QString LiczbaIRzeczownik(std::int64_t n, const QString& jeden, const QString& kilka, const QString& wiele) {
    return QString::number(n) + u' ' + FormaPoLiczbie(n, jeden, kilka, wiele);
}
