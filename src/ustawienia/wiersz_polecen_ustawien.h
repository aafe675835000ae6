#pragma once
// The command line of the settings program:
// faktura-ustawienia [--nowy-katalog] [--ostatni-katalog | KATALOG].
#include <QString>
#include <QStringList>

class SystemPlikow;

struct ArgumentyUstawien {
    bool pomoc = false;
    bool nowyKatalog = false;
    bool ostatniKatalog = false;  // the folder remembered last instead of KATALOG (desktop menu)
    QString katalog;              // empty: the current directory
    QString blad;                 // not empty: the command line is wrong, this says why
};

// The folder the window starts on, and whether it was named: a named folder that holds no data is
// proposed on the "Nowy katalog danych" page.
struct FolderStartowy {
    QString katalog;
    bool podany = false;
};

// The arguments after the program's name.
ArgumentyUstawien CzytajArgumentyUstawien(const QStringList& argumenty);

// `biezacy`: the working directory. With --ostatni-katalog the remembered folder, or ~/Faktury as
// the proposal for a first one.
FolderStartowy UstalFolderStartowy(const ArgumentyUstawien& argumenty, SystemPlikow& system,
                                   const QString& biezacy);

QString TekstPomocyUstawien(const QString& program);
