#pragma once
// The command line of the settings program: faktura-ustawienia [--nowy-katalog] [KATALOG].
#include <QString>
#include <QStringList>

struct ArgumentyUstawien {
    bool pomoc = false;
    bool nowyKatalog = false;
    QString katalog;  // empty: the current directory
    QString blad;     // not empty: the command line is wrong, this says why
};

// The arguments after the program's name.
ArgumentyUstawien CzytajArgumentyUstawien(const QStringList& argumenty);

QString TekstPomocyUstawien(const QString& program);
