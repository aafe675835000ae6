#include "calc/kwoty_dokumentu.h"

#include "calc/podsumowanie.h"

// Only ASCII characters can be part of a number, and Latin-1 decodes them as Windows-1250 does, so
// the bytes are widened on the stack without a copy to the heap.
double KwotaKomorkiOgolnie(const TTekst<20>& komorka) {
    const std::size_t dlugosc = komorka.dlugoscTekstu();
    char16_t znaki[20];
    for (std::size_t i = 0; i < dlugosc; ++i) znaki[i] = static_cast<unsigned char>(komorka.znaki[i]);
    return KwotaZKomorki(
        QString::fromRawData(reinterpret_cast<const QChar*>(znaki), static_cast<qsizetype>(dlugosc)));
}
