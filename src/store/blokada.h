#pragma once
// Copies of this program on one data folder (several workstations on a network share) change a
// shared file only while they hold an advisory lock on it. The suite's other programs take no locks
// and see the files exactly as before.

#include <QString>
#include <chrono>
#include <optional>

#include "store/blad.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

// How long a copy waits for another workstation's lock before it gives up: 5 s, or the milliseconds
// of the environment variable FAKTURA_CZAS_BLOKADY_MS.
std::chrono::milliseconds CzasOczekiwaniaNaBlokade();
void UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds czas);

// A shared file opened for reading and writing and held under the lock until zamknij() or the
// destructor. A file that is replaced by a rename while a copy waits is locked anew under its name,
// so the lock always belongs to the file that the name names. Throws BladPliku when the file cannot
// be opened for writing (with the open's own reason), when the lock is not granted in time ("Plik …
// jest używany na innym stanowisku; spróbuj ponownie") or when the file system cannot lock.
class ZablokowanyPlik {
  public:
    ZablokowanyPlik(SystemPlikow& system, const QString& sciezka,
                    std::chrono::milliseconds czas = CzasOczekiwaniaNaBlokade());

    OtwartyPlik& plik() { return *plik_; }
    const QString& sciezka() const { return plik_->sciezka(); }
    // Releases the lock; reports a failed close.
    void zamknij() { plik_->zamknij(); }

  private:
    std::optional<OtwartyPlik> plik_;
};
