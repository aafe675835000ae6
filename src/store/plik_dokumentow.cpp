#include "store/plik_dokumentow.h"

#include <algorithm>
#include <memory>

#include "store/blad.h"
#include "store/rekordy.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

namespace {

// The rebuild copies in blocks of this size, so that a large file costs few system calls.
constexpr std::size_t RozmiarBloku = 1 << 18;

// `ile` bytes from `od` of one open file to `doPozycji` of another, through the buffer.
void KopiujBajty(OtwartyPlik& zrodlo, std::uint64_t od, std::uint64_t ile, OtwartyPlik& cel,
                 std::uint64_t doPozycji, char* bufor) {
    while (ile > 0) {
        const std::size_t porcja = static_cast<std::size_t>(std::min<std::uint64_t>(ile, RozmiarBloku));
        if (zrodlo.czytaj(od, bufor, porcja) < porcja)
            throw BladPliku(QStringLiteral("odczyt"), zrodlo.sciezka(), 0,
                            QStringLiteral("plik skrócił się w czasie kopiowania"));
        cel.zapisz(doPozycji, bufor, porcja);
        od += porcja;
        doPozycji += porcja;
        ile -= porcja;
    }
}

}  // namespace

void PrzebudujBezRekordu(SystemPlikow& system, const QString& dokumenty, const QString& nowe,
                         std::int64_t pozycja) {
    constexpr std::uint64_t R = sizeof(TDokument);
    OtwartyPlik we(system, RzeczywistaSciezka(system, dokumenty), TrybOtwarcia::Odczyt);
    const std::uint64_t n = we.rozmiar() / R;
    if (pozycja < 1 || static_cast<std::uint64_t>(pozycja) > n)
        throw BladPliku(QStringLiteral("usunięcie"), we.sciezka(), 0,
                        QStringLiteral("nie ma rekordu nr %1").arg(pozycja));
    const QString cel = RzeczywistaSciezka(system, nowe);
    OtwartyPlik wy(system, cel, TrybOtwarcia::Utworz);
    try {
        const auto bufor = std::make_unique_for_overwrite<char[]>(RozmiarBloku);
        const std::uint64_t pominiety = static_cast<std::uint64_t>(pozycja - 1) * R;
        KopiujBajty(we, 0, pominiety, wy, 0, bufor.get());
        KopiujBajty(we, pominiety + R, n * R - pominiety - R, wy, pominiety, bufor.get());
        wy.synchronizuj();
        wy.zamknij();
        we.porzuc();
        system.zmienNazwe(cel, we.sciezka());
    } catch (...) {
        wy.porzuc();
        we.porzuc();
        try {
            system.usun(cel);
        } catch (const BladPliku&) {
        }
        throw;
    }
}
