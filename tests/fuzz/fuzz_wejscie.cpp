// libFuzzer entry; FAKTURA_CEL names the entry point this binary drives.
#include "fuzz/cele.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    FAKTURA_CEL(dane, rozmiar);
    return 0;
}
