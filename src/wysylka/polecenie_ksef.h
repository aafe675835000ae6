#pragma once
// The command line of faktura-ksef: which command, which documents (the selection options of
// faktura-eksport), where to, and for sending which KSeF with which credential.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "calc/dni_robocze.h"
#include "eksport/ksef.h"
#include "eksport/wybor.h"

enum class RodzajPoleceniaKsef {
    Okno,     // no command: the window
    Stan,     // the KSeF state of each document
    Upo,      // the kept UPO as files
    Xml,      // the kept FA(3) bytes as files
    Wyslij,   // sending
    Offline,  // issuing offline: bytes kept, KOD I and KOD II made, nothing sent
};

struct PolecenieKsef {
    RodzajPoleceniaKsef rodzaj = RodzajPoleceniaKsef::Okno;
    KryteriaWyboru wybor;
    QString cel;  // --do (upo, xml)
    bool nadpisz = false;
    // wyslij: what is not given comes from the data folder's KSeF settings.
    OpcjeKsef ksef;
    std::optional<QString> srodowisko;                   // --srodowisko
    std::optional<QString> plikTokenu;                   // --token-plik
    std::optional<QString> plikCertyfikatu, plikKlucza;  // offline: the Offline certificate
    // offline
    TrybOffline trybOffline = TrybOffline::Offline24;  // --tryb
    std::optional<QDate> koniec;                       // --koniec
};

struct ArgumentyKsef {
    std::optional<PolecenieKsef> polecenie;
    bool pomoc = false;
    QString blad;  // a usage error, in Polish, when neither of the above
};

// The arguments after the program name. "--opcja wartość" and "--opcja=wartość" are the same.
ArgumentyKsef CzytajArgumentyKsef(const QStringList& argumenty);

QString TekstPomocyKsef();
