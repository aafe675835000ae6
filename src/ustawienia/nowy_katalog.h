#pragma once
// A new data folder, made as the module's first start in it would make it, but holding no path of its
// own place, so that it may be moved or copied whole.
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

// Whether `katalog` holds a data file of the module already (settings, lists or documents).
bool ZawieraDaneModulu(SystemPlikow& system, const QString& katalog);

// Writes "\Admini\siec.dat" of `katalog` when it is missing, with no path in it: the folder the
// module starts in is its data root, so that the folder stays whole when moved or copied.
void UtworzWlasneUstawieniaSieci(SystemPlikow& system, const QString& katalog);

// Checks with PrzeszkodaNowegoKatalogu (throws Odmowa with its reason), then makes the folders, a
// "siec.dat" of UtworzWlasneUstawieniaSieci and every other file a first start of the module there
// makes, with the same bytes: the empty lists, the zero settings and the document file with its
// first record dated `dataDzisiaj`. Returns the data root, `katalog` itself.
QString UtworzNowyKatalogDanych(SystemPlikow& system, const QString& katalog, const QString& dataDzisiaj);
