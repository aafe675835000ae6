#pragma once
// What KSeF knows of each document, kept in the data folder beside the document file (which stays
// unchanged, since other programs read it): the exact FA(3) bytes as made once, the document's
// sending state with its reference numbers, and the official receipts (UPO). Every workstation on
// the data folder reads the same files; every write is atomic and made under a lock.
//
//   KSeF\<nazwa>.xml       the FA(3) bytes, written once and never replaced
//   KSeF\<nazwa>.stan      the state, UTF-8 "klucz=wartość" lines
//   KSeF\<nazwa>.upo.xml   the invoice's UPO as KSeF returned it
//   KSeF\sesje\<numer>.upo.xml  a session's UPO
//   KSeF\wysylka.blk       held locked by the one workstation that sends at a time
//
// <nazwa> is the document's file name of the exports (NazwaDokumentu: "F_7_2026", "K_1_K_2026").
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "store/blokada.h"
#include "store/system_plikow.h"

enum class StanWysylki {
    Niewyslany,  // nothing kept yet, or bytes kept but never sent
    Wysylany,    // handed to a session; the invoice's reference number may not be known yet
    Wyslany,     // KSeF took it (invoice reference known) and has not decided yet
    Przyjety,    // KSeF number given
    Odrzucony,   // KSeF refused it: kod and powod say why
    Offline,     // issued offline, to be sent by `terminOffline`
};

// "niewysłany", "wysyłany", "wysłany", "przyjęty", "odrzucony", "offline"
QString NazwaStanu(StanWysylki stan);
// The word of the state file: "niewyslany", "wysylany", "wyslany", "przyjety", "odrzucony",
// "offline"; nullopt for any other.
QString SlowoStanu(StanWysylki stan);
std::optional<StanWysylki> StanZeSlowa(const QString& slowo);

struct StanKsef {
    StanWysylki stan = StanWysylki::Niewyslany;
    QString srodowisko;       // the base URL the document went to
    QString skrot;            // SHA-256 of the kept FA(3) bytes, Base64
    qint64 rozmiar = 0;       // their size in bytes
    QString numerSesji;       // reference number of the interactive session
    QString numerFaktury;     // reference number of the invoice within it
    QString numerKsef;        // once accepted
    QDateTime dataPrzyjecia;  // KSeF's acquisition date, once accepted
    int kod = 0;              // KSeF's status code of a rejection
    QString powod;            // its description and details, Polish as KSeF gave them
    bool maUpo = false;       // KSeF\<nazwa>.upo.xml is kept
    // SHA-256 (Base64) of the document's record when its FA(3) bytes were made: a record changed
    // since then (a document never accepted may still be edited) gets new bytes before it is sent.
    QString skrotRekordu;
    // The verification links of the printouts and PDFs (KOD I always, KOD II for an offline issue),
    // made with the kept bytes.
    QString linkKoduI, linkKoduII;
    // An offline invoice rejected and sent again with new bytes (the technical correction): the
    // hash of the first bytes, which its printed KOD I still names.
    QString skrotPierwotny;
    // Offline issue (filled by the offline commands).
    QString trybOffline;   // "offline24", "offline", "awaryjny"
    QDate terminOffline;   // the last day to send it
    QDateTime czasZmiany;  // last change of this state, UTC
    QString stanowisko;    // the workstation that made it
};

// Blocks the module: a document handed to a session (it may have reached KSeF), sent and awaiting,
// or accepted is in KSeF.
bool JestWKsef(const StanKsef& stan);
// Blocks the module too: issued offline, handed to the buyer with codes that name its kept bytes,
// and not in KSeF yet; also once KSeF rejected it, since it goes again as its technical correction,
// which may not change its content.
bool WystawionyOffline(const StanKsef& stan);

// Every function below comes in two forms: with the data root given (the module, which knows it
// from its start-up and may have its working directory elsewhere), and without it, for a program
// started in the data folder: the root is then found from the working directory as faktura-eksport
// finds it ("\Admini\siec.dat"; a refused path of it is thrown).
//
// Size limits of what is read: a state 64 KiB, FA(3) bytes and UPO 16 MiB each.

// The data folder's KSeF folder (created when missing by the writers, never by the readers).
QString KatalogKsef(SystemPlikow& system);
QString KatalogKsef(SystemPlikow& system, const QString& katalogDanych);

// The state of a document; nullopt when none is kept (never sent). A damaged file is BladPliku.
std::optional<StanKsef> CzytajStanKsef(SystemPlikow& system, const QString& nazwa);
std::optional<StanKsef> CzytajStanKsef(SystemPlikow& system, const QString& katalogDanych,
                                       const QString& nazwa);

// Under the state file's lock: the state as on disk now (nullopt: none) goes to `zmien`, and what it
// leaves is written atomically. Returns the new state (the default one when `zmien` left none). The
// lock is taken on the state file itself, created empty first when missing (an empty file reads as
// no state); keys this version does not know are kept. `czasZmiany` and `stanowisko` are set here.
// The lock is one per open file, also within one process: `zmien` must not change the same
// document's state again (it would wait for itself and fail), but may keep its FA(3) bytes.
StanKsef ZmienStanKsef(SystemPlikow& system, const QString& nazwa,
                       const std::function<void(std::optional<StanKsef>& stan)>& zmien);
StanKsef ZmienStanKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                       const std::function<void(std::optional<StanKsef>& stan)>& zmien);

// The kept FA(3) bytes; nullopt when none are kept.
std::optional<QByteArray> CzytajXmlKsef(SystemPlikow& system, const QString& nazwa);
std::optional<QByteArray> CzytajXmlKsef(SystemPlikow& system, const QString& katalogDanych,
                                        const QString& nazwa);
// Keeps `xml` unless bytes are already kept; returns the kept bytes (the earlier ones when any, also
// when another copy kept its bytes while these were being written).
QByteArray ZachowajXmlKsef(SystemPlikow& system, const QString& nazwa, const QByteArray& xml);
QByteArray ZachowajXmlKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                           const QByteArray& xml);

// The invoice's UPO, replaced whole when written again.
// New bytes for a document that never became an invoice in KSeF (never sent, or rejected), whose
// record changed since its bytes were made. Only the sending calls it, having read the state.
void ZastapXmlKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                   const QByteArray& xml);

void ZapiszUpo(SystemPlikow& system, const QString& nazwa, const QByteArray& upo);
void ZapiszUpo(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
               const QByteArray& upo);
std::optional<QByteArray> CzytajUpo(SystemPlikow& system, const QString& nazwa);
std::optional<QByteArray> CzytajUpo(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa);
// A session's UPO, KSeF\sesje\<numer>.upo.xml (a number holding anything but letters,
// digits, "-" and "_" is refused).
void ZapiszUpoSesji(SystemPlikow& system, const QString& numerSesji, const QByteArray& upo);
void ZapiszUpoSesji(SystemPlikow& system, const QString& katalogDanych, const QString& numerSesji,
                    const QByteArray& upo);

// Held by the one copy of the programs that sends from this data folder; another one waiting longer
// than `czas` gets Odmowa "Wysyłanie do KSeF trwa na innym stanowisku…". A crashed copy's lock goes
// with its process. KSeF\wysylka.blk is created when missing and stays (it holds nothing). One
// process takes it once per run: a second one, even in the same process, is refused as another's.
class BlokadaWysylki {
  public:
    explicit BlokadaWysylki(SystemPlikow& system,
                            std::chrono::milliseconds czas = std::chrono::milliseconds(0));
    BlokadaWysylki(SystemPlikow& system, const QString& katalogDanych,
                   std::chrono::milliseconds czas = std::chrono::milliseconds(0));

  private:
    std::optional<ZablokowanyPlik> blokada_;
};
