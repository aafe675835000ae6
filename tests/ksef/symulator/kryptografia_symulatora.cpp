#include "ksef/symulator/kryptografia_symulatora.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <QCryptographicHash>
#include <stdexcept>

#include "ksef/wspolne/certyfikaty_testowe.h"

namespace {

struct ZwolnijKontekst {
    void operator()(EVP_PKEY_CTX* k) const { EVP_PKEY_CTX_free(k); }
    void operator()(EVP_CIPHER_CTX* k) const { EVP_CIPHER_CTX_free(k); }
    void operator()(BIO* b) const { BIO_free_all(b); }
    void operator()(X509* c) const { X509_free(c); }
};

}  // namespace

namespace symulator {

KluczSymulatora NowyKluczSymulatora(const QString& uzycie) {
    OpisCertyfikatu opis;
    opis.nazwa = QStringLiteral("Ministerstwo Finansów");
    opis.od = QDateTime::currentDateTimeUtc().addDays(-1);
    opis.do_ = QDateTime::currentDateTimeUtc().addYears(2);
    const CertyfikatTestowy cert = StworzCertyfikat(opis);

    std::unique_ptr<BIO, ZwolnijKontekst> bio(
        BIO_new_mem_buf(cert.kluczPem.constData(), static_cast<int>(cert.kluczPem.size())));
    EVP_PKEY* klucz = PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr);
    if (!klucz) throw std::runtime_error("symulator: nie można odczytać własnego klucza");

    KluczSymulatora wynik;
    wynik.klucz.reset(klucz, EVP_PKEY_free);
    wynik.certyfikatDer = cert.certyfikatDer;
    wynik.certificateId = QString::fromLatin1(Sha256(cert.certyfikatDer).toBase64());
    unsigned char* spki = nullptr;
    const int dlugosc = i2d_PUBKEY(klucz, &spki);
    if (dlugosc <= 0) throw std::runtime_error("symulator: i2d_PUBKEY");
    wynik.publicKeyId =
        QString::fromLatin1(Sha256(QByteArray(reinterpret_cast<const char*>(spki), dlugosc)).toBase64());
    OPENSSL_free(spki);
    wynik.od = opis.od;
    wynik.do_ = opis.do_;
    wynik.uzycie = uzycie;
    return wynik;
}

std::optional<QByteArray> OdszyfrujRsaOaep(const KluczSymulatora& klucz, const QByteArray& szyfrogram) {
    if (szyfrogram.isEmpty() || !klucz.klucz) return std::nullopt;
    std::unique_ptr<EVP_PKEY_CTX, ZwolnijKontekst> kontekst(EVP_PKEY_CTX_new(klucz.klucz.get(), nullptr));
    if (!kontekst || EVP_PKEY_decrypt_init(kontekst.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(kontekst.get(), RSA_PKCS1_OAEP_PADDING) <= 0 ||
        EVP_PKEY_CTX_set_rsa_oaep_md(kontekst.get(), EVP_sha256()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_mgf1_md(kontekst.get(), EVP_sha256()) <= 0)
        return std::nullopt;
    const auto* wejscie = reinterpret_cast<const unsigned char*>(szyfrogram.constData());
    size_t dlugosc = 0;
    if (EVP_PKEY_decrypt(kontekst.get(), nullptr, &dlugosc, wejscie,
                         static_cast<size_t>(szyfrogram.size())) <= 0)
        return std::nullopt;
    QByteArray wynik(static_cast<qsizetype>(dlugosc), Qt::Uninitialized);
    if (EVP_PKEY_decrypt(kontekst.get(), reinterpret_cast<unsigned char*>(wynik.data()), &dlugosc, wejscie,
                         static_cast<size_t>(szyfrogram.size())) <= 0)
        return std::nullopt;
    wynik.resize(static_cast<qsizetype>(dlugosc));
    return wynik;
}

std::optional<QByteArray> OdszyfrujAes256Cbc(const QByteArray& klucz, const QByteArray& iv,
                                             const QByteArray& szyfrogram) {
    if (klucz.size() != 32 || iv.size() != 16 || szyfrogram.isEmpty() || szyfrogram.size() % 16 != 0)
        return std::nullopt;
    std::unique_ptr<EVP_CIPHER_CTX, ZwolnijKontekst> kontekst(EVP_CIPHER_CTX_new());
    if (!kontekst || EVP_DecryptInit_ex(kontekst.get(), EVP_aes_256_cbc(), nullptr,
                                        reinterpret_cast<const unsigned char*>(klucz.constData()),
                                        reinterpret_cast<const unsigned char*>(iv.constData())) != 1)
        return std::nullopt;
    QByteArray wynik(szyfrogram.size() + 16, Qt::Uninitialized);
    int czesc = 0;
    int reszta = 0;
    if (EVP_DecryptUpdate(kontekst.get(), reinterpret_cast<unsigned char*>(wynik.data()), &czesc,
                          reinterpret_cast<const unsigned char*>(szyfrogram.constData()),
                          static_cast<int>(szyfrogram.size())) != 1 ||
        EVP_DecryptFinal_ex(kontekst.get(), reinterpret_cast<unsigned char*>(wynik.data()) + czesc,
                            &reszta) != 1)
        return std::nullopt;
    wynik.resize(czesc + reszta);
    return wynik;
}

QByteArray Sha256(const QByteArray& dane) {
    return QCryptographicHash::hash(dane, QCryptographicHash::Sha256);
}

quint8 Crc8(const QByteArray& dane) {
    quint8 crc = 0;
    for (const char znak : dane) {
        crc ^= static_cast<quint8>(znak);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? static_cast<quint8>((crc << 1) ^ 0x07) : static_cast<quint8>(crc << 1);
    }
    return crc;
}

QByteArray LosoweBajty(int ile) {
    QByteArray wynik(ile, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(wynik.data()), ile) != 1)
        throw std::runtime_error("symulator: RAND_bytes");
    return wynik;
}

}  // namespace symulator
