#pragma once
// The KSeF settings of a data folder, Admini\ksef.ini (UTF-8 "klucz=wartość" lines): which KSeF,
// for which firm, with which kind of credential. No secret is ever written here: a token or a key's
// password lives in the desktop's keyring, or is asked for when needed.
#include <QString>

#include "store/system_plikow.h"

struct UstawieniaKsef {
    enum class Poswiadczenie { Token, Certyfikat };
    QString srodowisko = QStringLiteral("test");  // "test", "demo", "produkcja" or a URL
    QString nipKontekstu;                         // empty: the seller's NIP
    Poswiadczenie poswiadczenie = Poswiadczenie::Certyfikat;
    QString plikCertyfikatu;         // .crt (PEM or DER)
    QString plikKlucza;              // password-protected PKCS#8 .key
    QString plikCertyfikatuOffline;  // the Offline certificate for the KOD II codes
    QString plikKluczaOffline;
};

inline const QString SciezkaUstawienKsef = QStringLiteral("\\Admini\\ksef.ini");

// A missing file: the defaults above; a damaged one (also an unknown "poswiadczenie") is BladPliku.
// Without the data root it is found from the working directory as faktura-eksport finds it.
UstawieniaKsef CzytajUstawieniaKsef(SystemPlikow& system);
UstawieniaKsef CzytajUstawieniaKsef(SystemPlikow& system, const QString& katalogDanych);
// Under the file's lock; keys this version does not know are kept, empty values are left out.
void ZapiszUstawieniaKsef(SystemPlikow& system, const UstawieniaKsef& ustawienia);
void ZapiszUstawieniaKsef(SystemPlikow& system, const QString& katalogDanych,
                          const UstawieniaKsef& ustawienia);
