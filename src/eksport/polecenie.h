#pragma once
// The command line of faktura-eksport: which export, which documents, where to, with what options.

#include <QString>
#include <QStringList>
#include <optional>

#include "eksport/ksef.h"
#include "eksport/wybor.h"

enum class RodzajEksportu { Pdf, Ksef, Csv };

struct Polecenie {
    RodzajEksportu rodzaj = RodzajEksportu::Pdf;
    KryteriaWyboru wybor;
    QString cel;  // --do: a folder (pdf, ksef) or a file (csv); empty csv: standard output
    bool nadpisz = false;
    int dpi = 1200;
    OpcjeKsef ksef;
    bool kropka = false;
};

struct Argumenty {
    std::optional<Polecenie> polecenie;
    bool pomoc = false;
    QString blad;  // a usage error, in Polish, when neither of the above
};

// The arguments after the program name. "--opcja wartość" and "--opcja=wartość" are the same.
Argumenty CzytajArgumenty(const QStringList& argumenty);

QString TekstPomocy();
