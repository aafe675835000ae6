#pragma once
// Copies of this program on one data folder (several workstations on a network share) change a
// shared file only while they hold an advisory lock on it. The suite's other programs take no locks
// and see the files exactly as before.

#include <QString>
#include <chrono>
#include <optional>

#include "store/blad.h"
#include "store/plik_rekordow.h"
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

// Replaces a settings file whole under its lock: the record on the disk now (the file is created
// with `domyslny` first when it is missing) goes to `zmien`, whose result replaces the file
// atomically. Returns the record that was on the disk, so that the caller sees what another
// workstation stored meanwhile.
template <RekordPliku T, class F>
T ZmienPodBlokada(SystemPlikow& system, const QString& sciezka, F&& zmien, const T& domyslny = T{}) {
    ZapewnijPlik(system, sciezka, domyslny);
    ZablokowanyPlik blokada(system, RzeczywistaSciezka(system, sciezka));
    T naDysku{};
    if (blokada.plik().czytaj(0, &naDysku, sizeof(T)) < sizeof(T))
        throw BladPliku(QStringLiteral("odczyt"), blokada.sciezka(), 0,
                        QStringLiteral("plik jest krótszy niż jeden rekord"));
    const T nowy = zmien(static_cast<const T&>(naDysku));
    ZapiszRekordAtomowo(system, blokada.sciezka(), nowy);
    // Only read through this handle, so its close has nothing to report.
    blokada.plik().porzuc();
    return naDysku;
}
