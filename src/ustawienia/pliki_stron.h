#pragma once
// How the settings program reads and writes the files of its pages: through the store only, every
// file replaced whole by the store's atomic replace.
#include <QByteArray>
#include <QString>
#include <memory>

#include "store/blad.h"
#include "store/blokada.h"
#include "store/plik_rekordow.h"
#include "store/sciezki.h"

class SystemPlikow;

// The two folders a data folder consists of.
struct FolderyDanych {
    // Where the module starts: "\Admini\siec.dat" and the printout font "FONT\" are below it.
    QString startowy;
    // The data root that "siec.dat" names, as the module resolves it; every other file is below it.
    QString danych;
};

// The folders of a start folder as the module would find them, a refused "siec.dat" as BladPliku;
// nothing is written. The working directory becomes the start folder, as the module's is.
FolderyDanych UstalFoldery(SystemPlikow& system, const QString& startowy);

// The path of the printout font file the module reads when started in `startowy`.
QString SciezkaCzcionkiWydruku(const QString& startowy);

// The first record of a file and whatever follows it. Only the first record is read by the suite;
// the rest is kept and written back unchanged, since it is not ours to drop.
template <RekordPliku T>
struct PlikZRekordem {
    std::unique_ptr<T> rekord = std::make_unique<T>();
    QByteArray ogon;
};

// Bytes of the file after `od`; empty when it is not longer.
QByteArray ResztaPliku(SystemPlikow& system, const QString& sciezka, std::uint64_t od);

// The whole file, for files that are not records (CSV); refuses one above `najwiecej` bytes.
QByteArray CzytajCalyPlik(SystemPlikow& system, const QString& sciezka, std::uint64_t najwiecej);

// Reads with the store's reader; BladPliku when the file is missing or shorter than one record.
template <RekordPliku T>
void CzytajPlikZRekordem(SystemPlikow& system, const QString& sciezka, PlikZRekordem<T>& plik) {
    CzytajRekord(system, sciezka, *plik.rekord);
    plik.ogon = ResztaPliku(system, sciezka, sizeof(T));
}

// Replaces the file whole: the record, then the kept rest.
void ZapiszRekordZOgonem(SystemPlikow& system, const QString& sciezka, const void* rekord,
                         std::size_t rozmiar, const QByteArray& ogon);

template <RekordPliku T>
void ZapiszPlikZRekordem(SystemPlikow& system, const QString& sciezka, const T& rekord,
                         const QByteArray& ogon) {
    ZapiszRekordZOgonem(system, sciezka, &rekord, sizeof(T), ogon);
}

// Changes a settings file that the module (or another workstation) may write meanwhile: under the
// file's lock the record as it is on the disk now, with what follows it, goes to `zmien(T&)` and the
// result replaces the file. A missing file starts from a zero record.
template <RekordPliku T, class F>
void ZmienPlikZRekordem(SystemPlikow& system, const QString& sciezka, F&& zmien) {
    if (!PlikIstnieje(system, sciezka)) {
        T rekord{};
        zmien(rekord);
        ZapiszPlikZRekordem(system, sciezka, rekord, {});
        return;
    }
    ZablokowanyPlik blokada(system, RzeczywistaSciezka(system, sciezka));
    PlikZRekordem<T> teraz;
    // A file shorter than a record (which the page could not read, and the user chose to replace)
    // starts from a zero record too.
    if (blokada.plik().czytaj(0, teraz.rekord.get(), sizeof(T)) < sizeof(T))
        *teraz.rekord = T{};
    else
        teraz.ogon = ResztaPliku(system, blokada.sciezka(), sizeof(T));
    zmien(*teraz.rekord);
    ZapiszPlikZRekordem(system, blokada.sciezka(), *teraz.rekord, teraz.ogon);
    blokada.plik().porzuc();
}

// Creates the folder and every missing folder above it.
void UtworzKatalogiDo(SystemPlikow& system, const QString& katalog);
