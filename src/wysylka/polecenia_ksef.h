#pragma once
// One run of faktura-ksef: the data folder read as faktura-eksport reads it (only its KSeF folder is
// written, and only by the sending and the offline issue), the command carried out, and the exit code
// 0 / 1 / 2 as the export's.
#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>

#include "eksport/przebieg.h"
#include "ksef/sejf.h"
#include "wysylka/wysylka.h"

// What the commands take from outside the data folder: the keyring, the terminal, the sending, the
// offline issue and the window; the tests put their own in.
struct ZaleznosciKsef {
    std::function<WynikSejfu(const QString& nazwa)> czytajSekret;
    std::function<std::optional<QByteArray>(const QString& pytanie)> zapytajOHaslo;
    std::function<std::optional<QByteArray>()> zmiennaHasla;  // FAKTURA_KSEF_HASLO
    std::function<WynikWysylki(SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&)> wyslij;
    std::function<WynikWysylki(SystemPlikow&, const ZadanieOffline&, const PostepWysylki&)> wystawOffline;
    std::function<int(SystemPlikow&)> okno;
    std::function<bool()> przerwij;  // true once the user asked to stop (Ctrl+C)
};

// The real ones: the desktop's keyring, the controlling terminal, WyslijDokumenty, WystawOffline,
// UruchomOknoKsef.
ZaleznosciKsef DomyslneZaleznosciKsef();

// The whole program: arguments to exit code. The window needs a QApplication; the commands none.
int UruchomProgramKsef(const QStringList& argumenty, Srodowisko& srodowisko,
                       const ZaleznosciKsef& zaleznosci);
