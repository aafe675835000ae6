#pragma once
// Paths of the suite: written with backslashes, folder names in any letter case.

#include <QString>

class SystemPlikow;

// The real path on this system: backslashes become '/', repeated separators collapse to one, and
// every component whose exact spelling does not exist takes the spelling of an existing entry of its
// folder that differs only in letter case. Components that do not exist keep their spelling, so that
// files can be created. A relative path stays relative to the working directory.
QString RzeczywistaSciezka(SystemPlikow& system, const QString& sciezka);

// The data root followed by a relative path that begins with a backslash, e.g. "\Uslugi\dokumenty.dat".
QString SciezkaDanych(const QString& katalogDanych, const QString& wzgledna);

// Folder of a real path: "/a/b" gives "/a", "/a" gives "/", "b" gives ".".
QString KatalogNadrzedny(const QString& sciezka);
