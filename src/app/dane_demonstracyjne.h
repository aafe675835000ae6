#pragma once
#include <QString>

class SystemPlikow;

// Prepares a ready data folder for trying the program: the suite's folders, seller and invoice
// settings, the printout font and small client and service lists. Existing files are kept.
void PrzygotujDaneDemonstracyjne(SystemPlikow& pliki, const QString& folder);
