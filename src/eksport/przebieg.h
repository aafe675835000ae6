#pragma once
// One run of faktura-eksport: the data folder read as the module reads it (and never written), the
// documents chosen, each one exported or refused with its reason, and the exit code.

#include <QDateTime>
#include <cstdio>

#include "eksport/polecenie.h"
#include "store/rekordy.h"

class SystemPlikow;

struct Srodowisko {
    SystemPlikow& pliki;
    std::FILE* wyjscie = stdout;  // the register when no file is given
    std::FILE* bledy = stderr;    // progress, refusals, errors
    bool terminal = false;        // the error stream is a terminal: a progress bar
    QDateTime teraz;              // the moment of the export
};

inline constexpr int KodSukcesu = 0;
inline constexpr int KodOdrzucenia = 1;  // some documents refused, or the export failed
inline constexpr int KodBleduUzycia = 2;

// The data folder as the module finds it, read and never written: refused (Odmowa, BladPliku) when
// the working directory is no data folder, its "siec.dat" names no usable root or the document file
// is missing; a root elsewhere, the journal of an unfinished change and a torn last record are
// noted on the error stream. Missing settings files read as a first start would create them.
struct FolderDanych {
    QString katalogRoboczy, katalogDanych, plikDokumentow;
    TUstawieniaFaktury ustawienia{};
    TDaneFirmy firma{};
    QString kontakt;  // of the printout's last line
};
FolderDanych CzytajFolderDanych(Srodowisko& srodowisko);

// The pdf export needs a QGuiApplication; the other two need no application at all.
int UruchomEksport(const Polecenie& polecenie, Srodowisko& srodowisko);

// The whole program after the application is created: arguments to exit code.
int UruchomProgram(const QStringList& argumenty, Srodowisko& srodowisko);
