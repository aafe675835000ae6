#pragma once
// The simulator's reading of XML: invoices checked against the FA(3) schema (libxml2, the schema
// files resolved offline through their catalog) and the signed authentication request checked with
// libxmlsec.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>

namespace symulator {

// libxml2 and xmlsec set up for this process, once (the simulator does it itself; a test that signs
// with xmlsec before any simulator exists calls it first).
void InicjujBibliotekiXml();

// A schema loaded once; validation may run many times. Nothing is ever fetched from the network.
class SchematXml {
  public:
    // `katalog`: an XML catalog resolving the schema's imports; may be empty.
    SchematXml(const QString& sciezkaXsd, const QString& katalog);
    // A schema given as its text (nothing it refers to is looked up).
    explicit SchematXml(const QByteArray& trescXsd);
    ~SchematXml();
    bool wczytany() const;
    // Empty when the document is valid; otherwise the validator's messages.
    QStringList waliduj(const QByteArray& xml) const;

  private:
    struct Dane;
    std::unique_ptr<Dane> d_;
};

// What KSeF reads from an invoice before and beside the schema.
struct OdczytFaktury {
    QString bladPliku;  // not XML 1.0 in UTF-8 as KSeF takes it (status 430); empty: readable
    QString nipSprzedawcy;
    QString numer;          // P_2
    QString rodzaj;         // RodzajFaktury
    QDate dataWystawienia;  // P_1
    QString kodFormularza;  // KodFormularza@kodSystemowy, e.g. "FA (3)"
};
OdczytFaktury CzytajFakture(const QByteArray& xml);

struct WynikPodpisu {
    int kodBledu = 0;  // an ExceptionCode of POST /auth/xades-signature (400); 0: signature verified
    QString opisBledu;
    QString wyzwanie;  // Challenge
    QString nipKontekstu;
    QString rodzajIdentyfikatora;  // SubjectIdentifierType
    QString nipCertyfikatu;        // from organizationIdentifier VATPL-… or serialNumber TINPL-…/NIP…
    bool pieczec = false;          // the NIP came from organizationIdentifier: an organisation's seal
    QString odciskCertyfikatu;     // SHA-256 of the DER, upper-case hex
    bool certyfikatWazny = false;  // within its validity period
    QByteArray trescBezPodpisu;    // the request with its signature taken out, for the schema check
    bool wersja21 = false;         // the request is in the namespace of the authentication schema 2.1
};
// Verifies the enveloped XAdES signature of an AuthTokenRequest with the certificate in its KeyInfo,
// and that SignedProperties names that certificate.
WynikPodpisu SprawdzPodpisXades(const QByteArray& xml);

}  // namespace symulator
