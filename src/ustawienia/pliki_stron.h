#pragma once
// How the settings program reads and writes the files of its pages: through the store only, every
// file replaced whole by the store's atomic replace.
#include <QByteArray>
#include <QString>
#include <memory>

#include "store/plik_rekordow.h"

class SystemPlikow;

// The two folders a data folder consists of.
struct FolderyDanych {
    // Where the module starts: "\Admini\siec.dat" and the printout font "FONT\" are below it.
    QString startowy;
    // The data root that "siec.dat" names, as the module resolves it; every other file is below it.
    QString danych;
};

// The folders of a start folder as the module would find them; nothing is written.
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

// Creates the folder and every missing folder above it.
void UtworzKatalogiDo(SystemPlikow& system, const QString& katalog);
