#pragma once
// The desktop's keyring for the KSeF secrets (a token, a key's password): never the data folder,
// never a plain file. Without a keyring (no desktop session, a server) nothing is kept and the
// programs ask for the secret when they need it.
#include <QString>
#include <optional>

enum class RodzajSekretu { Token, HasloKlucza, HasloKluczaOffline };

// The keyring entry of a secret: one per data folder's context NIP and environment.
QString NazwaSekretu(RodzajSekretu rodzaj, const QString& nipKontekstu, const QString& srodowisko);

struct WynikSejfu {
    std::optional<QString> wartosc;  // nullopt: none kept, or no keyring
    bool sejfDostepny = true;        // false: no keyring answered
    QString blad;                    // Polish, when the keyring failed
};

// Each call waits at most a few seconds for the keyring; none blocks forever. Called on the
// application's main thread (the keyring's jobs answer through its event loop).
WynikSejfu CzytajSekret(const QString& nazwa);
WynikSejfu ZapiszSekret(const QString& nazwa, const QString& wartosc);
WynikSejfu UsunSekret(const QString& nazwa);
