#pragma once
// Sending the documents of a data folder to KSeF: for each chosen document not yet in KSeF, its
// FA(3) bytes made once and kept, sent in an interactive session, its state followed until KSeF
// decides, its UPO fetched. Every step is written to the data folder before the next one, so a run
// that is killed or loses its connection is resumed by the next one without sending anything twice.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "calc/dni_robocze.h"
#include "eksport/ksef.h"
#include "eksport/wybor.h"
#include "ksef/klient.h"
#include "ksef/srodowiska.h"
#include "store/stan_ksef.h"

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
    int wystawione = 0;  // WystawOffline: issued offline, or given a new deadline
    QStringList bledy;   // Polish, one per document or failure
    int kod = 0;         // 0 all well, 1 something refused or failed
};

WynikWysylki WyslijDokumenty(SystemPlikow& system, const ZadanieWysylki& zadanie,
                             const PostepWysylki& postep);

// Fetches the UPO of accepted documents that have none kept yet.
WynikWysylki PobierzBrakujaceUpo(SystemPlikow& system, const ZadanieWysylki& zadanie,
                                 const PostepWysylki& postep);

// Authenticates and ends the session at once: what "Sprawdź połączenie" reports. Empty: all well.
QString SprawdzPolaczenie(const SrodowiskoKsef& srodowisko, const PoswiadczeniaKsef& poswiadczenia);

// Issuing offline: for each chosen document not yet in KSeF its FA(3) bytes are made and kept (as
// for sending), the KOD I link made from them and the KOD II link signed with the Offline
// certificate's key, and the state becomes `Offline` with the mode and the deadline of sending. No
// connection to KSeF is made. A document already offline gets the mode and deadline anew (a new
// announcement of a failure counts its deadline anew) and keeps its bytes and links.
struct ZadanieOffline {
    KryteriaWyboru wybor;
    SrodowiskoKsef srodowisko;  // its QR base goes into the links
    OpcjeKsef opcje;
    TrybOffline tryb = TrybOffline::Offline24;
    // The end of the announced unavailability (Offline) or of the failure (Awaryjny).
    std::optional<QDate> koniec;
    QString nipKontekstu;                 // empty: the seller's NIP from the settings
    QString plikCertyfikatu, plikKlucza;  // the Offline certificate and its key
    QByteArray hasloKlucza;
    QDate dzisiaj;  // empty: today's date (tests give theirs)
};

// The certificate and its key are read first: a missing file, a wrong password, a key that is not
// the certificate's or a certificate out of its validity stop the run (Odmowa) before any document.
// So does Offline without `koniec`. Awaryjny without `koniec` issues with no deadline yet (the 7
// working days run from the failure's end): a later run with `koniec` sets it. Documents in KSeF or
// rejected are skipped (`pominiete`); a correction whose invoice is in the data folder's KSeF
// states without a KSeF number yet is skipped too, as its bytes must name that number.
WynikWysylki WystawOffline(SystemPlikow& system, const ZadanieOffline& zadanie, const PostepWysylki& postep);

// The state file's and the command line's word of a mode: "offline24", "offline", "awaryjny".
QString SlowoTrybuOffline(TrybOffline tryb);
std::optional<TrybOffline> TrybOfflineZeSlowa(const QString& slowo);

// The deadline of an offline document as `stan` and the window show it; empty when there is none.
// `ostrzezenie` is set from the day before the deadline on (and once it has passed). An emergency
// issue whose failure has no known end yet says it has 7 working days from that end.
struct TerminWysylki {
    QString opis;  // e.g. "wyślij do 2026-12-10"
    bool ostrzezenie = false;
};
TerminWysylki OpisTerminu(const StanKsef& stan, const QDate& dzisiaj);
