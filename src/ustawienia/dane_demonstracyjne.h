#pragma once
#include <QString>

class SystemPlikow;

// Prepares a ready data folder for trying the program, with the code the settings program's pages
// write: the suite's folders, seller and invoice settings, the printout font, small client and
// service lists, the files the module's first start makes, and in a new document file three invoices
// and a correction, stored as the module stores them. Existing files are kept.
void PrzygotujDaneDemonstracyjne(SystemPlikow& pliki, const QString& folder);
