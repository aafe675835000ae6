#include "wysylka/okno_ksef.h"

#include <cstdio>

// Temporary until the window lands.
int UruchomOknoKsef(SystemPlikow&) {
    std::fputs("Okno KSeF nie jest jeszcze dostępne; użyj poleceń (faktura-ksef --help).\n", stderr);
    return 1;
}
