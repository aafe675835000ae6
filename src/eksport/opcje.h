#pragma once
// The command-line options that faktura-eksport and faktura-ksef share, read one way for both: the
// selection of documents, the FA(3) facts the records do not hold, and the reading of
// "--opcja wartość" / "--opcja=wartość" itself.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "eksport/ksef.h"
#include "eksport/wybor.h"

struct OpcjaWiersza {
    QString nazwa;        // "--rok"
    bool zWartoscia;      // takes a value
    bool dotyczy = true;  // false: known, but not for the command given ("opcja … nie dotyczy …")
};

// --rok, --miesiac, --numer, --pozycja
QList<OpcjaWiersza> OpcjeWyboru();
// --podstawa-zwolnienia, --rodzaj-podstawy, --metoda-kasowa, --podzielona-platnosc
QList<OpcjaWiersza> OpcjeFa3(bool dotyczy = true);

// The arguments from `od` on: each option of `znane` with its value (empty for one without) goes to
// `ustaw`, which returns a usage error for a wrong value. Unknown, repeated and misused options are
// usage errors too, in Polish, naming `polecenie` where it matters. `podane` gets the names given.
std::optional<QString> CzytajOpcje(
    const QStringList& argumenty, qsizetype od, const QString& polecenie, const QList<OpcjaWiersza>& znane,
    QSet<QString>& podane,
    const std::function<std::optional<QString>(const QString& nazwa, const QString& wartosc)>& ustaw);

// One selection option into the criteria; nullopt also for a name that is none of them.
std::optional<QString> UstawWybor(KryteriaWyboru& wybor, const QString& nazwa, const QString& wartosc);
// One FA(3) option into the options; nullopt also for a name that is none of them.
std::optional<QString> UstawOpcjeKsef(OpcjeKsef& ksef, const QString& nazwa, const QString& wartosc);
// What the FA(3) options given say together: a kind of basis without the basis.
std::optional<QString> SprawdzOpcjeKsef(const OpcjeKsef& ksef, const QSet<QString>& podane);

// Whether an argument asks for the help text.
bool ProsbaOPomoc(const QStringList& argumenty);

// The help lines of the shared options, as both programs print them.
QString PomocWyboru();
QString PomocOpcjiFa3();
