// faktura-ksef: sending the data folder's documents to KSeF, as commands or in a window.
#include <cstdio>

int main() {
    std::fputs("faktura-ksef: jeszcze niegotowy\n", stderr);
    return 2;
}
