#pragma once
// Where the settings program finds the files of its pages; it reads and writes them with the
// store's whole-file helpers only (store/cale_pliki.h).
#include <QString>

#include "store/cale_pliki.h"

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
