#pragma once
// Sending the documents of a data folder to KSeF: for each chosen document not yet in KSeF, its
// FA(3) bytes made once and kept, sent in an interactive session, its state followed until KSeF
// decides, its UPO fetched. Every step is written to the data folder before the next one, so a run
// that is killed or loses its connection is resumed by the next one without sending anything twice.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "eksport/ksef.h"
#include "eksport/wybor.h"
#include "ksef/klient.h"
#include "ksef/srodowiska.h"

class SystemPlikow;

struct PoswiadczeniaKsef {
    enum class Rodzaj { Token, Certyfikat };
    Rodzaj rodzaj = Rodzaj::Certyfikat;
    QString nipKontekstu;                 // empty: the seller's NIP from the settings
    QString token;                        // Rodzaj::Token
    QString plikCertyfikatu, plikKlucza;  // Rodzaj::Certyfikat
    QByteArray hasloKlucza;
};

struct ZadanieWysylki {
    KryteriaWyboru wybor;
    SrodowiskoKsef srodowisko;
    PoswiadczeniaKsef poswiadczenia;
    OpcjeKsef opcje;
    OpcjeKlienta klient;  // timeouts and pauses of the connection
};

// Progress for the command's stderr and the window's bar; called on the caller's thread.
struct PostepWysylki {
    std::function<void(const QString& komunikat)> komunikat;
    std::function<void(int zrobione, int wszystkie)> postep;
    std::function<bool()> przerwij;  // true: stop after the current step (state stays resumable)
};

struct WynikWysylki {
    int wyslane = 0, przyjete = 0, odrzucone = 0, pominiete = 0;
    QStringList bledy;  // Polish, one per document or failure
    int kod = 0;        // 0 all well, 1 something refused or failed
};

WynikWysylki WyslijDokumenty(SystemPlikow& system, const ZadanieWysylki& zadanie,
                             const PostepWysylki& postep);

// Fetches the UPO of accepted documents that have none kept yet.
WynikWysylki PobierzBrakujaceUpo(SystemPlikow& system, const ZadanieWysylki& zadanie,
                                 const PostepWysylki& postep);

// Authenticates and ends the session at once: what "Sprawdź połączenie" reports. Empty: all well.
QString SprawdzPolaczenie(const SrodowiskoKsef& srodowisko, const PoswiadczeniaKsef& poswiadczenia);
