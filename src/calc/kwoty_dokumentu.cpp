#include "calc/kwoty_dokumentu.h"

#include "calc/liczby.h"
#include "calc/podsumowanie.h"

namespace {

// Gross amounts of column 3 of a VAT summary, rows 1..3, added in extended precision.
long double SumaBrutto(const TTekst<20> (&stawki)[4][3]) {
    return static_cast<long double>(KwotaKomorki(stawki[3][0])) + KwotaKomorki(stawki[3][1]) +
           KwotaKomorki(stawki[3][2]);
}

bool RodzajJest(const TDokument& d, char rodzaj) {
    return d.rodzaj.dlugoscTekstu() == 1 && d.rodzaj.znaki[0] == rodzaj;
}

}  // namespace

bool JestKorekta(const TDokument& dokument) { return RodzajJest(dokument, 'K'); }
bool JestFaktura(const TDokument& dokument) { return RodzajJest(dokument, 'F'); }

// Only ASCII characters can be part of a number, and Latin-1 decodes them as Windows-1250 does, so
// the bytes are widened on the stack without a copy to the heap: the monthly summary reads a cell
// of every stored document.
double KwotaKomorki(const TTekst<20>& komorka) {
    const std::size_t dlugosc = komorka.dlugoscTekstu();
    char16_t znaki[20];
    for (std::size_t i = 0; i < dlugosc; ++i) znaki[i] = static_cast<unsigned char>(komorka.znaki[i]);
    return KwotaZKomorki(
        QString::fromRawData(reinterpret_cast<const QChar*>(znaki), static_cast<qsizetype>(dlugosc)));
}

KwotyDokumentu ObliczKwotyDokumentu(const TDokument& dokument) {
    KwotyDokumentu kwoty;
    const long double przed = SumaBrutto(dokument.stawki);
    kwoty.przedKorekta = static_cast<double>(przed);
    kwoty.doZaplaty = kwoty.przedKorekta;
    if (JestKorekta(dokument)) {
        const long double po = SumaBrutto(dokument.stawki_korekty);
        kwoty.poKorekcie = static_cast<double>(po);
        kwoty.doZaplaty = static_cast<double>(po - przed);
    }
    return kwoty;
}
