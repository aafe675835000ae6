#pragma once
// The cryptography KSeF asks for, all of it done by OpenSSL: hashes, the session's AES key, RSA-OAEP
// for what goes to KSeF's public keys, certificates and password-protected keys of the user, and
// the signatures. Every failure is an Odmowa with a Polish reason (a wrong password, a key that is
// not the certificate's, a file that is no certificate).
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

QByteArray Sha256(const QByteArray& dane);
QString Sha256Base64(const QByteArray& dane);  // as the API writes hashes
QByteArray LosoweBajty(int ile);

// AES-256-CBC with PKCS#7 padding. The result holds the ciphertext only; the IV travels apart.
QByteArray SzyfrujAes256Cbc(const QByteArray& dane, const QByteArray& klucz32, const QByteArray& iv16);
QByteArray OdszyfrujAes256Cbc(const QByteArray& szyfrogram, const QByteArray& klucz32,
                              const QByteArray& iv16);

class CertyfikatX509 {
  public:
    // PEM or DER; Base64 of DER as the API sends it: zBase64Der.
    static CertyfikatX509 zBajtow(const QByteArray& pemLubDer);
    static CertyfikatX509 zBase64Der(const QByteArray& base64);
    static CertyfikatX509 zPliku(const QString& sciezka);

    QByteArray der() const;
    QString numerSeryjnyHex() const;  // upper-case hex, no leading zeros beyond one byte
    QString odciskSha256Hex() const;  // of the DER, upper-case hex
    QDateTime waznyOd() const;
    QDateTime waznyDo() const;
    QString podmiot() const;   // RFC 2253
    QString wystawca() const;  // RFC 2253
    bool kluczRsa() const;     // false: EC

    const void* uchwyt() const;  // X509*, for the signature code
    ~CertyfikatX509();
    CertyfikatX509(CertyfikatX509&&) noexcept;
    CertyfikatX509& operator=(CertyfikatX509&&) noexcept;
    CertyfikatX509(const CertyfikatX509&);
    CertyfikatX509& operator=(const CertyfikatX509&);

  private:
    struct Dane;
    explicit CertyfikatX509(std::shared_ptr<Dane> dane);
    std::shared_ptr<Dane> dane_;
};

// RSAES-OAEP, SHA-256 and MGF1 with SHA-256, with the certificate's public key.
QByteArray SzyfrujRsaOaep(const CertyfikatX509& certyfikat, const QByteArray& dane);

class KluczPrywatny {
  public:
    // PKCS#8, PEM or DER, encrypted with `haslo` (an unencrypted key is taken too when haslo is
    // empty). RSA or EC.
    static KluczPrywatny zBajtow(const QByteArray& pemLubDer, const QByteArray& haslo);
    static KluczPrywatny zPliku(const QString& sciezka, const QByteArray& haslo);

    bool rsa() const;
    bool pasujeDo(const CertyfikatX509& certyfikat) const;

    // SHA-256 signatures: RSA PKCS#1 v1.5 (XML-DSig's rsa-sha256) or ECDSA as DER (RFC 3279).
    // XML-DSig's ecdsa-sha256 wants R‖S instead, which podpiszPssLubRs gives for an EC key.
    QByteArray podpiszSha256(const QByteArray& dane) const;
    // RSA-PSS (SHA-256, MGF1 SHA-256, salt 32) or ECDSA with SHA-256 as R‖S, each number as long
    // as the curve's order (64 bytes in all on P-256).
    QByteArray podpiszPssLubRs(const QByteArray& dane) const;

    const void* uchwyt() const;  // EVP_PKEY*
    ~KluczPrywatny();
    KluczPrywatny(KluczPrywatny&&) noexcept;
    KluczPrywatny& operator=(KluczPrywatny&&) noexcept;

  private:
    struct Dane;
    explicit KluczPrywatny(std::unique_ptr<Dane> dane);
    std::unique_ptr<Dane> dane_;
};
