#pragma once
// The signed AuthTokenRequest of an authentication with a KSeF certificate (or any qualified one):
// the request as the authentication schema has it, signed enveloped with XAdES-BES (SigningTime,
// SigningCertificate) with the certificate's key.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "ksef/kryptografia.h"

enum class IdentyfikatorPodmiotu {
    PodmiotCertyfikatu,
    OdciskCertyfikatu
};  // certificateSubject / Fingerprint

QByteArray ZadanieUwierzytelnienia(const QString& wyzwanie, const QString& nipKontekstu,
                                   IdentyfikatorPodmiotu identyfikator);

QByteArray PodpiszXades(const QByteArray& xml, const CertyfikatX509& certyfikat, const KluczPrywatny& klucz,
                        const QDateTime& czasPodpisu);

// libxml2 and xmlsec with its OpenSSL side, set up once for the program and safely from any thread:
// for whoever checks XML signatures with xmlsec (the tests' KSeF). False when xmlsec cannot start.
bool PrzygotujXmlsec();
