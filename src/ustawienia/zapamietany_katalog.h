#pragma once
// The data folder the settings program last created or opened, kept for other tools of the
// project (the desktop launcher faktura-start starts the module there): one line, the absolute path
// in UTF-8.
#include <QString>
#include <optional>

class SystemPlikow;

// $XDG_CONFIG_HOME/faktura/katalog-danych, or ~/.config/faktura/katalog-danych when the variable
// is empty or not an absolute path.
QString PlikZapamietanegoKatalogu();

// Replaces the file atomically, making its folders when missing.
void ZapamietajKatalog(SystemPlikow& system, const QString& katalog);

// The remembered folder; nothing when there is no file, it cannot be read or it holds no absolute
// path (the caller then proposes a new folder). Whether the folder still exists is not checked.
std::optional<QString> CzytajZapamietanyKatalog(SystemPlikow& system);

// Where a first data folder is proposed when none is remembered: ~/Faktury.
QString DomyslnyNowyKatalog();
