#pragma once
// The simulator's side of the cryptography: its own RSA keys with their certificates, and what it
// needs to read what a client sent (RSA-OAEP with SHA-256, AES-256-CBC, SHA-256, the CRC-8 of the
// KSeF numbers). Kept apart from the client's code on purpose: the tests check one against the other.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

struct evp_pkey_st;

// In a namespace of its own: the client's library, linked into the same tests, has functions of
// the same names.
namespace symulator {

struct KluczSymulatora {
    std::shared_ptr<evp_pkey_st> klucz;  // private
    QByteArray certyfikatDer;
    QString publicKeyId;    // Base64 SHA-256 of the SubjectPublicKeyInfo
    QString certificateId;  // Base64 SHA-256 of the certificate
    QDateTime od, do_;
    QString uzycie;  // KsefTokenEncryption or SymmetricKeyEncryption
};

KluczSymulatora NowyKluczSymulatora(const QString& uzycie);

std::optional<QByteArray> OdszyfrujRsaOaep(const KluczSymulatora& klucz, const QByteArray& szyfrogram);
// The IV travels separately (as the session's initializationVector); PKCS#7 padding.
std::optional<QByteArray> OdszyfrujAes256Cbc(const QByteArray& klucz, const QByteArray& iv,
                                             const QByteArray& szyfrogram);
QByteArray Sha256(const QByteArray& dane);
// Polynomial 0x07, initial value 0, no reflection, no final XOR.
quint8 Crc8(const QByteArray& dane);
QByteArray LosoweBajty(int ile);

}  // namespace symulator
