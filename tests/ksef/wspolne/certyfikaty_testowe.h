#pragma once
// Throwaway keys and certificates, made anew by each test run (nothing secret is kept in the tree):
// the simulator's own encryption certificates and a user's KSeF or Offline certificate with its
// password-protected PKCS#8 key.
#include <QByteArray>
#include <QDateTime>
#include <QString>

enum class RodzajKlucza { Rsa2048, EcP256 };

struct CertyfikatTestowy {
    QByteArray certyfikatPem;  // X.509, PEM
    QByteArray certyfikatDer;
    QByteArray kluczPem;  // PKCS#8; encrypted (AES-256-CBC) when made with a password
    QByteArray kluczPublicznyPem;
    QString numerSeryjnyHex;  // upper-case
};

struct OpisCertyfikatu {
    RodzajKlucza rodzaj = RodzajKlucza::Rsa2048;
    QString nazwa = QStringLiteral("Test");  // CN
    QString nip;       // as the subject's organizationIdentifier "VATPL-<nip>" and serialNumber "TINPL-<nip>"
    QByteArray haslo;  // empty: the key unencrypted
    QDateTime od = QDateTime::currentDateTimeUtc().addDays(-1);
    QDateTime do_ = QDateTime::currentDateTimeUtc().addYears(1);
    quint64 numerSeryjny = 0;  // 0: random
};

// Self-signed.
CertyfikatTestowy StworzCertyfikat(const OpisCertyfikatu& opis);
