#pragma once
// The credentials of a data folder's KSeF settings, as the settings program checks them and the
// sending window uses them: the context NIP (the settings' own or the seller's) and the one secret
// the chosen kind of credential needs, from the keyring or asked for.
#include <QString>

#include "ksef/sejf.h"
#include "store/ustawienia_ksef.h"
#include "wysylka/wysylka.h"

class SystemPlikow;

// The seller's NIP in the firm's data ("firma.dat" below `katalogDanych`) as ten digits; empty when
// there is none or it is no valid NIP.
QString NipSprzedawcy(SystemPlikow& system, const QString& katalogDanych);

// The NIP KSeF is logged in for: the settings' own when given, else the seller's; ten digits, or
// the text as given when it is no NIP (the caller's check says so).
QString NipKontekstuKsef(const UstawieniaKsef& ustawienia, const QString& nipSprzedawcy);

// The secret a credential needs: the token, or the password of the certificate's key.
RodzajSekretu SekretPoswiadczenia(UstawieniaKsef::Poswiadczenie poswiadczenie);
// Its keyring entry for these settings.
QString NazwaSekretuUstawien(const UstawieniaKsef& ustawienia, const QString& nipKontekstu);

PoswiadczeniaKsef PoswiadczeniaZUstawien(const UstawieniaKsef& ustawienia, const QString& nipKontekstu,
                                         const QString& sekret);
