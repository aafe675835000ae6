#pragma once
// A new data folder, made as the module's first start in it would make it.
#include <QString>
#include <optional>

class SystemPlikow;

// Why no new data folder can be made at `katalog` (an absolute path), or nothing: a path that
// "siec.dat" cannot hold whole, a file in the way, or a folder that holds the module's data already
// (an existing data folder is never overwritten).
std::optional<QString> PrzeszkodaNowegoKatalogu(SystemPlikow& system, const QString& katalog);

// The folders of the suite below `katalog`: "Admini", "Uslugi", "Szablony", "FONT" (any existing
// spelling of them is kept); `katalog` itself is made too when missing.
void UtworzFolderyDanych(SystemPlikow& system, const QString& katalog);

// Checks with PrzeszkodaNowegoKatalogu (throws Odmowa with its reason), then makes the
// folders and every file a first start of the module there makes, with the same bytes: "siec.dat"
// naming the folder itself, the empty lists, the zero settings and the document file with its first
// record dated `dataDzisiaj`. Returns the data root.
QString UtworzNowyKatalogDanych(SystemPlikow& system, const QString& katalog, const QString& dataDzisiaj);
