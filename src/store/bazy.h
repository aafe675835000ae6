#pragma once
// Default content of the data files that the program creates itself.

#include <QString>

#include "store/rekordy.h"

class SystemPlikow;

// Paths below the data root.
inline const QString SciezkaBazyUslug = QStringLiteral("\\Uslugi\\uslugi.dat");
inline const QString SciezkaBazyKlientow = QStringLiteral("\\Uslugi\\klienci.dat");

// The first record of a new document file: number "0", the date as suffix, an invoice whose first
// buyer line marks the start of the pad.
TDokument RekordPoczatkowy(const QString& dataDzisiaj);

// Creates the empty service and client list files when they are missing, with their slots numbered
// "01".."09", "10"... An existing file is never written.
void UtworzDomyslneBazy(SystemPlikow& system, const QString& katalogDanych);
