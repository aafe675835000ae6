#pragma once
// The data folder the settings program last created or opened, kept for other tools of the
// project (a desktop launcher starts the module there): one line, the absolute path in UTF-8.
#include <QString>

class SystemPlikow;

// $XDG_CONFIG_HOME/faktura/katalog-danych, or ~/.config/faktura/katalog-danych when the variable
// is empty or not an absolute path.
QString PlikZapamietanegoKatalogu();

// Replaces the file atomically, making its folders when missing.
void ZapamietajKatalog(SystemPlikow& system, const QString& katalog);
