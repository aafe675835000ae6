#pragma once
// The data files of the suite below the data root: their paths, the default content of those the
// program creates itself, and how the data root is found.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "store/blad.h"
#include "store/rekordy.h"

class SystemPlikow;

// Paths below the data root; every data file path is the root followed by one of these.
inline const QString SciezkaUstawienSieci = QStringLiteral("\\Admini\\siec.dat");
inline const QString SciezkaUstawienFaktury = QStringLiteral("\\ADMINI\\faktura.dat");
inline const QString SciezkaDanychFirmy = QStringLiteral("\\ADMINI\\firma.dat");
inline const QString SciezkaInfo = QStringLiteral("\\ADMINI\\info.dat");
inline const QString SciezkaUstawienEwidencji = QStringLiteral("\\Admini\\ewidencja.dat");
inline const QString SciezkaDokumentow = QStringLiteral("\\Uslugi\\dokumenty.dat");
// The document file being rebuilt without one record, before it replaces the document file.
inline const QString SciezkaNowychDokumentow = QStringLiteral("\\Uslugi\\dokumenty.old");
inline const QString SciezkaBazyUslug = QStringLiteral("\\Uslugi\\uslugi.dat");
inline const QString SciezkaBazyKlientow = QStringLiteral("\\Uslugi\\klienci.dat");
// The printout font, below the folder "FONT" of the working directory (not of the data root).
inline const QString NazwaFontuWydruku = QStringLiteral("font_welkaro.dat");

// The "siec.dat" that a first start writes into a folder: mode 1, the folder itself as local path.
TUstawieniaSieci UstawieniaSieciDlaKatalogu(const QString& katalog);

struct KatalogDanychZUstawien {
    QString katalog;
    TUstawieniaSieci ustawienia{};
    // Set when the path of the mode cannot be a data root (a NUL byte in it, empty, no such folder):
    // `katalog` is then the path as written, and nothing may be read or written below it.
    std::optional<BladPliku> blad;
};

// Finds the data root from "\Admini\siec.dat" below the working directory `biezacy`, creating that
// file first when it is missing: mode 1 gives the local path, mode 2 the network path, any other
// mode leaves `biezacy`.
KatalogDanychZUstawien UstalKatalogDanych(SystemPlikow& system, const QString& biezacy);

// The data root as UstalKatalogDanych would find it, for a reader that writes nothing: without
// "siec.dat" the root is `biezacy`, as a first start would make it.
KatalogDanychZUstawien CzytajKatalogDanych(SystemPlikow& system, const QString& biezacy);
// The same from the working directory, its refusal thrown.
QString KatalogDanychRoboczego(SystemPlikow& system);

// Whether the module can start in `folder`: it holds the settings folder "Admini" (in any letter
// case, as a folder), where "siec.dat" and the settings files are.
bool JestFolderemDanych(SystemPlikow& system, const QString& folder);

// What a program says when started in `folder` that is no data folder, and how to make one.
QString KomunikatNieFolderDanych(const QString& folder);

// Whether the data root `katalog` that "siec.dat" of the start folder `startowy` names is another
// folder than the start folder itself: the data are then read, and written, elsewhere.
bool InnyKatalogDanych(SystemPlikow& system, const QString& startowy, const QString& katalog);

// The plain sentence that names the folder the data come from when it is not the start folder.
QString OpisInnegoKataloguDanych(const QString& startowy, const QString& katalog);

// Removes what a crash or a double fault of this program left in the folders `katalogi`: its own
// temporary files, by name ("<file>.<workstation>.<process>.tmp") when the process of this
// workstation no longer runs, or of any workstation after a day, and the temporary names of the
// program's earlier versions ("<data file>.tmp") after an hour, when no copy can still be writing
// them. Nothing else is touched, and a file that cannot be removed is left for the next start.
void UsunPozostalosci(SystemPlikow& system, const QStringList& katalogi, std::int64_t teraz);

// Creates the empty service and client list files when they are missing, with their slots numbered
// "01".."09", "10"... An existing file is never written.
void UtworzDomyslneBazy(SystemPlikow& system, const QString& katalogDanych);

// Every file a first start creates below the data root, with the same content and in the same order
// (list files, the three settings files, the document file with the given first record, calc's
// RekordPoczatkowy); files that exist are left alone.
void UtworzPlikiDanych(SystemPlikow& system, const QString& katalogDanych, const TDokument& rekordPoczatkowy);
