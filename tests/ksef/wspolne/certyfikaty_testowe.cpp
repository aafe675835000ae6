#include "ksef/wspolne/certyfikaty_testowe.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>

#include <memory>
#include <stdexcept>

namespace {

template <class T, void (*Zwolnij)(T*)>
struct Zwalniacz {
    void operator()(T* p) const { Zwolnij(p); }
};
using Klucz = std::unique_ptr<EVP_PKEY, Zwalniacz<EVP_PKEY, EVP_PKEY_free>>;
using Certyfikat = std::unique_ptr<X509, Zwalniacz<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Zwalniacz<BIO, BIO_free_all>>;

void Sprawdz(bool warunek, const char* co) {
    if (!warunek) throw std::runtime_error(std::string("OpenSSL: ") + co);
}

QByteArray ZBio(BIO* bio) {
    char* dane = nullptr;
    const long ile = BIO_get_mem_data(bio, &dane);
    return QByteArray(dane, static_cast<qsizetype>(ile));
}

void DodajPole(X509_NAME* nazwa, const char* pole, const QString& wartosc) {
    if (wartosc.isEmpty()) return;
    const QByteArray utf8 = wartosc.toUtf8();
    Sprawdz(X509_NAME_add_entry_by_txt(nazwa, pole, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(utf8.constData()),
                                       static_cast<int>(utf8.size()), -1, 0) == 1,
            pole);
}

}  // namespace

CertyfikatTestowy StworzCertyfikat(const OpisCertyfikatu& opis) {
    Klucz klucz(opis.rodzaj == RodzajKlucza::Rsa2048 ? EVP_RSA_gen(2048) : EVP_EC_gen("P-256"));
    Sprawdz(klucz != nullptr, "generowanie klucza");

    Certyfikat cert(X509_new());
    Sprawdz(cert != nullptr, "X509_new");
    X509_set_version(cert.get(), 2);
    quint64 numer = opis.numerSeryjny;
    if (numer == 0) {
        RAND_bytes(reinterpret_cast<unsigned char*>(&numer), sizeof numer);
        numer = (numer >> 2) | (quint64{1} << 56);  // positive, eight bytes
    }
    BIGNUM* bn = BN_new();
    BN_set_word(bn, numer);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
    BN_free(bn);
    ASN1_TIME_set(X509_getm_notBefore(cert.get()), opis.od.toSecsSinceEpoch());
    ASN1_TIME_set(X509_getm_notAfter(cert.get()), opis.do_.toSecsSinceEpoch());
    X509_NAME* nazwa = X509_get_subject_name(cert.get());
    DodajPole(nazwa, "CN", opis.nazwa);
    DodajPole(nazwa, "C", QStringLiteral("PL"));
    if (!opis.nip.isEmpty()) {
        DodajPole(nazwa, "organizationIdentifier", QStringLiteral("VATPL-") + opis.nip);
        DodajPole(nazwa, "serialNumber", QStringLiteral("TINPL-") + opis.nip);
    }
    X509_set_issuer_name(cert.get(), nazwa);
    X509_set_pubkey(cert.get(), klucz.get());
    Sprawdz(X509_sign(cert.get(), klucz.get(), EVP_sha256()) > 0, "podpis certyfikatu");

    CertyfikatTestowy wynik;
    {
        Bio bio(BIO_new(BIO_s_mem()));
        PEM_write_bio_X509(bio.get(), cert.get());
        wynik.certyfikatPem = ZBio(bio.get());
    }
    {
        unsigned char* der = nullptr;
        const int ile = i2d_X509(cert.get(), &der);
        Sprawdz(ile > 0, "i2d_X509");
        wynik.certyfikatDer = QByteArray(reinterpret_cast<const char*>(der), ile);
        OPENSSL_free(der);
    }
    {
        Bio bio(BIO_new(BIO_s_mem()));
        if (opis.haslo.isEmpty()) {
            Sprawdz(PEM_write_bio_PKCS8PrivateKey(bio.get(), klucz.get(), nullptr, nullptr, 0, nullptr,
                                                  nullptr) == 1,
                    "zapis klucza");
        } else {
            QByteArray haslo = opis.haslo;
            Sprawdz(PEM_write_bio_PKCS8PrivateKey(bio.get(), klucz.get(), EVP_aes_256_cbc(), haslo.data(),
                                                  static_cast<int>(haslo.size()), nullptr, nullptr) == 1,
                    "zapis klucza");
        }
        wynik.kluczPem = ZBio(bio.get());
    }
    {
        Bio bio(BIO_new(BIO_s_mem()));
        PEM_write_bio_PUBKEY(bio.get(), klucz.get());
        wynik.kluczPublicznyPem = ZBio(bio.get());
    }
    wynik.numerSeryjnyHex = QStringLiteral("%1").arg(numer, 0, 16).toUpper();
    if (wynik.numerSeryjnyHex.size() % 2) wynik.numerSeryjnyHex.prepend(QLatin1Char('0'));
    return wynik;
}
