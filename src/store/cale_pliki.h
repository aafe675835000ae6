#pragma once
// Files read and written whole, the same way by every program: one writer that replaces a file so
// that a reader sees either the old content or the new one, one reader with a size limit, "ensure,
// then read" for the settings files, one locked read-change-write of a settings file, and the one
// folder maker. Nothing outside the store renames, syncs or names a temporary file.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "store/blad.h"
#include "store/blokada.h"
#include "store/plik_rekordow.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

// The target of a write exists and was not to be replaced.
class CelIstnieje : public Odmowa {
  public:
    explicit CelIstnieje(const QString& sciezka);
    const QString& sciezka() const { return sciezka_; }

  private:
    QString sciezka_;
};

struct OpcjeZapisu {
    // false: an existing target is kept and CelIstnieje thrown, also when it appears while the new
    // content is being written.
    bool zastap = true;
    // false: the caller makes the name durable with one sync of the folder after many files
    // (SynchronizacjaNaKoniec); the content of each file is synced before its rename either way, so
    // a crash loses at most a name, never half a file.
    bool synchronizujFolder = true;
    // true: a path of the suite (backslashes, folder names in any letter case, RzeczywistaSciezka);
    // false: a path of this system taken exactly as given (the export's output files).
    bool sciezkaPakietu = true;
};

// This workstation's name as it may stand in a file name.
QString NazwaStanowiska();
// "<target>.<workstation>.<process>.tmp": a name that no other copy of the program uses at the
// same time, also on another workstation of a shared folder.
QString NazwaTymczasowa(const QString& cel);

// The one writer. Replaces the whole file so that a crash or a failure leaves either the old or the
// new content: the data goes to NazwaTymczasowa(target) in the same folder, is synced, renamed over
// the target in one step, and the folder is synced. On a failure before the rename the temporary
// file is removed. Every failure names the target, not the temporary file.
void ZapiszAtomowo(SystemPlikow& system, const QString& sciezka, const void* dane, std::size_t ile,
                   const OpcjeZapisu& opcje = {});
inline void ZapiszAtomowo(SystemPlikow& system, const QString& sciezka, const QByteArray& dane,
                          const OpcjeZapisu& opcje = {}) {
    ZapiszAtomowo(system, sciezka, dane.constData(), static_cast<std::size_t>(dane.size()), opcje);
}

template <RekordPliku T>
void ZapiszRekordAtomowo(SystemPlikow& system, const QString& sciezka, const T& rekord) {
    ZapiszAtomowo(system, sciezka, &rekord, sizeof(T));
}

// The same for content that someone else writes by name (the PDF printer): `pisz` writes the whole
// file under the temporary name it is given, which is then synced and committed exactly as above.
void ZapiszPrzez(SystemPlikow& system, const QString& sciezka,
                 const std::function<void(const QString& tymczasowy)>& pisz, const OpcjeZapisu& opcje = {});

// One sync of a folder after many files written with synchronizujFolder = false: at teraz(), or,
// however the run ends, at the end of its scope (an error then is not reported, since one is already
// on its way and the files written are whole either way).
class SynchronizacjaNaKoniec {
  public:
    SynchronizacjaNaKoniec(SystemPlikow& system, QString folder)
        : system_(system), folder_(std::move(folder)) {}
    ~SynchronizacjaNaKoniec();
    SynchronizacjaNaKoniec(const SynchronizacjaNaKoniec&) = delete;
    SynchronizacjaNaKoniec& operator=(const SynchronizacjaNaKoniec&) = delete;
    void teraz();

  private:
    SystemPlikow& system_;
    QString folder_;
    bool zrobiona_ = false;
};

// The folder and every missing folder above it (a path of this system; a relative one starts at the
// working directory); each new one is made durable in its parent. A file in the way is named as
// such.
void UtworzKatalogi(SystemPlikow& system, const QString& katalog);

// The one whole-file reader: the file of a suite path, refused above `najwiecej` bytes.
QByteArray CzytajCalyPlik(SystemPlikow& system, const QString& sciezka, std::uint64_t najwiecej);
QByteArray CzytajCalyPlik(OtwartyPlik& plik, std::uint64_t najwiecej);

// How long the bytes after the first record of a settings or list file may be; they are kept in
// memory to be written back.
inline constexpr std::uint64_t NajdluzszyOgon = std::uint64_t{64} << 20;

// The first record of a file and whatever follows it. Only the first record is read by the suite;
// the rest is kept and written back unchanged, since it is not ours to drop.
template <RekordPliku T>
struct PlikZRekordem {
    std::unique_ptr<T> rekord = std::make_unique<T>();
    QByteArray ogon;
};

// The record and what follows it from the bytes of a whole file; BladPliku naming `sciezka` when
// they are fewer than one record.
void RozdzielRekordIOgon(const QByteArray& calosc, const QString& sciezka, void* rekord, std::size_t rozmiar,
                         QByteArray& ogon);

// Reads the file whole with the reader above; BladPliku when it is missing or shorter than one record.
template <RekordPliku T>
void CzytajPlikZRekordem(SystemPlikow& system, const QString& sciezka, PlikZRekordem<T>& plik) {
    const QByteArray calosc = CzytajCalyPlik(system, sciezka, sizeof(T) + NajdluzszyOgon);
    RozdzielRekordIOgon(calosc, RzeczywistaSciezka(system, sciezka), plik.rekord.get(), sizeof(T), plik.ogon);
}

// Replaces the file whole: the record, then the kept rest.
void ZapiszRekordZOgonem(SystemPlikow& system, const QString& sciezka, const void* rekord,
                         std::size_t rozmiar, const QByteArray& ogon);

template <RekordPliku T>
void ZapiszPlikZRekordem(SystemPlikow& system, const QString& sciezka, const T& rekord,
                         const QByteArray& ogon) {
    ZapiszRekordZOgonem(system, sciezka, &rekord, sizeof(T), ogon);
}

// Creates a missing file holding the one record (atomically); true when it was created.
bool ZapewnijPlik(SystemPlikow& system, const QString& sciezka, const void* rekordDomyslny,
                  std::size_t rozmiar);

template <RekordPliku T>
bool ZapewnijPlik(SystemPlikow& system, const QString& sciezka, const T& rekordDomyslny) {
    return ZapewnijPlik(system, sciezka, &rekordDomyslny, sizeof(T));
}

// "Ensure, then read": a settings file as every reader of one treats it, created with the default
// record when missing, then its first record read.
template <RekordPliku T>
T ZapewnijICzytaj(SystemPlikow& system, const QString& sciezka, const T& rekordDomyslny = T{}) {
    ZapewnijPlik(system, sciezka, rekordDomyslny);
    T rekord{};
    CzytajRekord(system, sciezka, rekord);
    return rekord;
}

// The same for a reader that writes nothing (the export): a missing file reads as the record a first
// start would create in it, and nothing is created.
template <RekordPliku T>
T CzytajLubDomyslny(SystemPlikow& system, const QString& sciezka, const T& rekordDomyslny = T{}) {
    if (!PlikIstnieje(system, sciezka)) return rekordDomyslny;
    T rekord{};
    CzytajRekord(system, sciezka, rekord);
    return rekord;
}

// What a locked change does with a file shorter than one record.
enum class KrotszyPlik {
    Blad,          // refuses with BladPliku, changing nothing
    OdDomyslnego,  // starts from the default record (the user chose to replace an unreadable file)
};

// The one locked read-change-write of a settings file that the module, the settings program or
// another workstation may write meanwhile. The file is created with `domyslny` when missing; then,
// under its lock, the record as it is on the disk now goes to `zmien(T&)`, and the changed record
// with the bytes that followed it (kept: they are not ours to drop) replaces the file atomically.
// Returns the file as it was on the disk, so that the caller sees what another workstation stored
// meanwhile and has the tail that was kept.
template <RekordPliku T, class F>
PlikZRekordem<T> ZmienPodBlokada(SystemPlikow& system, const QString& sciezka, F&& zmien,
                                 const T& domyslny = T{}, KrotszyPlik krotszy = KrotszyPlik::Blad) {
    ZapewnijPlik(system, sciezka, domyslny);
    ZablokowanyPlik blokada(system, RzeczywistaSciezka(system, sciezka));
    PlikZRekordem<T> naDysku;
    const QByteArray calosc = CzytajCalyPlik(blokada.plik(), sizeof(T) + NajdluzszyOgon);
    if (calosc.size() < static_cast<qsizetype>(sizeof(T)) && krotszy == KrotszyPlik::OdDomyslnego)
        *naDysku.rekord = domyslny;
    else
        RozdzielRekordIOgon(calosc, blokada.sciezka(), naDysku.rekord.get(), sizeof(T), naDysku.ogon);
    auto nowy = std::make_unique<T>(*naDysku.rekord);
    zmien(*nowy);
    ZapiszRekordZOgonem(system, blokada.sciezka(), nowy.get(), sizeof(T), naDysku.ogon);
    // Only read through this handle, so its close has nothing to report.
    blokada.plik().porzuc();
    return naDysku;
}
