#pragma once
// A KSeF of our own for the tests, on a loopback address only: the paths, fields and status codes of
// the API 2.0 description, its own RSA keys and certificates. It decrypts and checks everything it
// receives and answers as KSeF does; on demand it fails in the ways KSeF can. It runs on a thread of
// its own, so that a client in the test's thread may block while it works.
//
// What it checks as KSeF does: the challenge (once, ten minutes), the KSeF token with its timestamp
// and context NIP, the XAdES signature with the certificate of its KeyInfo (self-signed accepted, as
// on the test environment; the NIP from organizationIdentifier VATPL-… or serialNumber TINPL-…),
// the invoice's hashes and sizes, its decryption, the FA(3) schema, the seller against the context,
// the issue date, duplicates (seller NIP, kind, P_2). An invoice sent as online whose issue day
// (P_1) is earlier than the day it is received is in the offline mode all the same. A technical
// correction (hashOfCorrectedInvoice) is taken only with offlineMode, for an offline invoice of the
// same seller that was rejected and has no accepted correction yet (else 21405, 21167, 21166); it
// is linked to the invoice it corrects. Errors of a request answer 400 with the API's
// ExceptionResponse; a missing or unknown token 401 (problem details, as the API has it).
// Status queries (a single one or a list) count towards ustawOpoznienie.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <vector>

// How each one acts: WygaslaWyzwanie, PonownyOdbior, ZlySkrotFaktury, DuplikatFaktury and
// OdrzucenieFaktury act on the next matching request of their own kind (an authentication, a
// redeem, an invoice sent); ZaDuzoZadan and BladSerwera answer the request without doing it;
// ZerwanePolaczenie does the request and then drops the connection, so that the client never learns
// the outcome (an invoice sent this way is in KSeF all the same). Note that QNetworkAccessManager
// sends a request once more by itself when its connection closes before any answer: through it, a
// dropped invoice arrives twice, the second time as a duplicate (440) of the first. ZmianaKlucza
// takes effect at once.
enum class AwariaSymulatora {
    WygaslaWyzwanie,    // the challenge is reported expired (21111 family on auth)
    PonownyOdbior,      // the next redeem behaves as a second one (400)
    ZlySkrotFaktury,    // the invoice is reported with a wrong hash (21403 / 21402 family)
    DuplikatFaktury,    // the invoice is reported as a duplicate (440) of an earlier one
    ZaDuzoZadan,        // the next request gets 429 with Retry-After
    BladSerwera,        // the next request gets 5xx
    ZerwanePolaczenie,  // the next request's connection is closed without an answer
    ZmianaKlucza,       // the public keys are replaced; what was encrypted with the old one fails (21470)
    OdrzucenieFaktury,  // the invoice fails verification (450 semantics) with a Polish reason
};

// Every invoice taken (202), in order; one that could not be decrypted has no xml.
struct OdebranaFaktura {
    QByteArray xml;  // decrypted, as the client made it
    QString numerSesji;
    QString numerFaktury;            // reference number
    QString numerKsef;               // empty when rejected
    int kod = 0;                     // final status code, decided on receipt (queries may still show 100/150)
    QString skrot;                   // invoiceHash as sent (Base64 SHA-256)
    bool offlineMode = false;        // as the request declared it
    bool offline = false;            // invoicingMode Offline: declared, or issued on an earlier day
    QString hashOfCorrectedInvoice;  // as the request carried it; empty when none
    int korygowana = -1;             // a technical correction: the index of the invoice it corrects
};

class SymulatorKsef {
  public:
    SymulatorKsef();   // starts listening on 127.0.0.1, a free port
    ~SymulatorKsef();  // stops and joins its thread

    QUrl adres() const;  // e.g. http://127.0.0.1:41234/v2

    // Credentials it accepts: a KSeF token, and certificates issued by the test CA / self-signed
    // ones whose subject carries the NIP (as the test environment allows).
    void dodajToken(const QString& token, const QString& nip);
    // How many status queries stay at 100 before 200 (auth, invoices, session UPO).
    void ustawOpoznienie(int zapytan);
    // The next `ile` requests matching `sciezka` (a path regex; empty: any) fail as `awaria`.
    void awaria(AwariaSymulatora awaria, int ile = 1, const QString& sciezka = {});
    void retryAfterSekund(int sekundy);
    // Every access token issued so far expires now (refresh tokens stay valid): the client's next
    // request gets 401 and it has to refresh.
    void wygasTokenyDostepu();
    // The HTTP status of BladSerwera (500 unless set; 502, 503 and 504 are what a gateway sends).
    void kodBleduSerwera(int kod);

    // What it received, for the tests' checks.
    std::vector<OdebranaFaktura> faktury() const;
    int ileZadan(const QString& sciezka) const;  // requests whose path matches the regex (after /v2)
    QStringList bledy() const;                   // checks that failed on its side, in Polish

  private:
    struct Wnetrze;
    std::unique_ptr<Wnetrze> w_;
};
