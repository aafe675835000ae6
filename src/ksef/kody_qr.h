#pragma once
// The verification links of KSeF that a printout or PDF carries as QR codes: KOD I (the invoice,
// from the SHA-256 of its kept FA(3) bytes) and KOD II (the issuer's Offline certificate, the link
// signed with its key) for an invoice issued offline.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QUrl>
#include <optional>

#include "ksef/kryptografia.h"

// Base64URL without padding, as the links write hashes and signatures.
QString Base64Url(const QByteArray& dane);

// The issue date (P_1) of FA(3) bytes; nullopt when they hold none.
std::optional<QDate> DataWystawieniaFa3(const QByteArray& xml);

// {QR base}/invoice/{seller NIP}/{P_1 as DD-MM-RRRR}/{SHA-256 of the bytes, Base64URL}
QString LinkKoduI(const QUrl& bazaQr, const QString& nipSprzedawcy, const QDate& dataWystawienia,
                  const QByteArray& skrotSha256);

struct DaneKoduII {
    QString typKontekstu = QStringLiteral("Nip");
    QString idKontekstu;
    QString nipSprzedawcy;
    QString numerSeryjny;  // of the issuer's Offline certificate, upper-case hex
    QByteArray skrotSha256;
};

// What is signed: the link without "https://" and without the signature.
QString TrescKoduII(const QUrl& bazaQr, const DaneKoduII& dane);
// The signed link; `klucz` the Offline certificate's (RSA-PSS SHA-256 salt 32, or ECDSA P-256 R‖S).
QString LinkKoduII(const QUrl& bazaQr, const DaneKoduII& dane, const KluczPrywatny& klucz);

inline const QString PodpisKoduOffline = QStringLiteral("OFFLINE");
inline const QString PodpisKoduCertyfikatu = QStringLiteral("CERTYFIKAT");
