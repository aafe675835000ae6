#include <gtest/gtest.h>
#include <openssl/bio.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include "ksef/kody_qr.h"
#include "ksef/kryptografia.h"
#include "ksef/wspolne/certyfikaty_testowe.h"

namespace {

const QUrl BazaTestowa(QStringLiteral("https://qr-test.ksef.mf.gov.pl"));
const char* SkrotPrzykladu = "UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE";

QByteArray ZBase64Url(const char* tekst) {
    return QByteArray::fromBase64(tekst, QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

TEST(KodyQr, PrzykladKoduIZPrzewodnika) {
    const QByteArray skrot = ZBase64Url(SkrotPrzykladu);
    ASSERT_EQ(skrot.size(), 32);
    EXPECT_EQ(LinkKoduI(BazaTestowa, QStringLiteral("1111111111"), QDate(2026, 2, 1), skrot),
              QStringLiteral("https://qr-test.ksef.mf.gov.pl/invoice/1111111111/01-02-2026/") +
                  QString::fromLatin1(SkrotPrzykladu));
    // A trailing slash of the base changes nothing.
    EXPECT_EQ(LinkKoduI(QUrl(QStringLiteral("https://qr.ksef.mf.gov.pl/")), QStringLiteral("1111111111"),
                        QDate(2026, 12, 9), skrot)
                  .left(46),
              QStringLiteral("https://qr.ksef.mf.gov.pl/invoice/1111111111/0"));
}

TEST(KodyQr, DataWystawieniaZBajtowFa3) {
    const QByteArray xml =
        "<Faktura><Naglowek><DataWytworzeniaFa>2026-12-09T10:00:00Z</DataWytworzeniaFa>"
        "</Naglowek><Fa><P_1>2026-12-01</P_1><P_2>7/2026</P_2></Fa></Faktura>";
    EXPECT_EQ(DataWystawieniaFa3(xml), QDate(2026, 12, 1));
    EXPECT_FALSE(DataWystawieniaFa3("<Faktura><Fa><P_2>1</P_2></Fa></Faktura>"));
    EXPECT_FALSE(DataWystawieniaFa3("<Faktura><Fa><P_1>01.12.2026</P_1></Fa></Faktura>"));
}

TEST(KodyQr, TrescKoduIIJakWPrzewodniku) {
    DaneKoduII dane;
    dane.idKontekstu = QStringLiteral("1111111111");
    dane.nipSprzedawcy = QStringLiteral("1111111111");
    dane.numerSeryjny = QStringLiteral("01F20A5D352AE590");
    dane.skrotSha256 = ZBase64Url(SkrotPrzykladu);
    EXPECT_EQ(
        TrescKoduII(BazaTestowa, dane),
        QStringLiteral("qr-test.ksef.mf.gov.pl/certificate/Nip/1111111111/1111111111/01F20A5D352AE590/") +
            QString::fromLatin1(SkrotPrzykladu));
}

// The signature of the link verifies with the Offline certificate's public key: RSA-PSS (SHA-256,
// salt 32) and ECDSA P-256 as R‖S.
TEST(KodyQr, PodpisKoduIIWeryfikujeSieKluczemPublicznym) {
    for (const RodzajKlucza rodzaj : {RodzajKlucza::Rsa2048, RodzajKlucza::EcP256}) {
        OpisCertyfikatu opis;
        opis.rodzaj = rodzaj;
        opis.nip = QStringLiteral("9999999999");
        opis.haslo = "haslo-testowe";
        const CertyfikatTestowy cert = StworzCertyfikat(opis);
        const KluczPrywatny klucz = KluczPrywatny::zBajtow(cert.kluczPem, opis.haslo);
        DaneKoduII dane;
        dane.idKontekstu = opis.nip;
        dane.nipSprzedawcy = opis.nip;
        dane.numerSeryjny = cert.numerSeryjnyHex;
        dane.skrotSha256 = Sha256("<Faktura/>");
        const QString link = LinkKoduII(BazaTestowa, dane, klucz);
        const QString tresc = TrescKoduII(BazaTestowa, dane);
        ASSERT_TRUE(link.startsWith(QStringLiteral("https://") + tresc + QLatin1Char('/')));
        QByteArray podpis = ZBase64Url(link.mid(8 + tresc.size() + 1).toLatin1().constData());

        BIO* bio = BIO_new_mem_buf(cert.kluczPublicznyPem.constData(),
                                   static_cast<int>(cert.kluczPublicznyPem.size()));
        EVP_PKEY* publiczny = PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr);
        BIO_free(bio);
        ASSERT_NE(publiczny, nullptr);
        if (rodzaj == RodzajKlucza::EcP256) {
            // R‖S, 32 bytes each, turned into DER for OpenSSL's verification.
            ASSERT_EQ(podpis.size(), 64);
            ECDSA_SIG* sig = ECDSA_SIG_new();
            ECDSA_SIG_set0(
                sig, BN_bin2bn(reinterpret_cast<const unsigned char*>(podpis.constData()), 32, nullptr),
                BN_bin2bn(reinterpret_cast<const unsigned char*>(podpis.constData()) + 32, 32, nullptr));
            unsigned char* der = nullptr;
            const int ile = i2d_ECDSA_SIG(sig, &der);
            podpis = QByteArray(reinterpret_cast<const char*>(der), ile);
            OPENSSL_free(der);
            ECDSA_SIG_free(sig);
        }
        EVP_MD_CTX* ctx = EVP_MD_CTX_new();
        EVP_PKEY_CTX* pctx = nullptr;
        ASSERT_EQ(EVP_DigestVerifyInit(ctx, &pctx, EVP_sha256(), nullptr, publiczny), 1);
        if (rodzaj == RodzajKlucza::Rsa2048) {
            EVP_PKEY_CTX_set_rsa_padding(pctx, RSA_PKCS1_PSS_PADDING);
            EVP_PKEY_CTX_set_rsa_pss_saltlen(pctx, 32);
            EVP_PKEY_CTX_set_rsa_mgf1_md(pctx, EVP_sha256());
        }
        const QByteArray t = tresc.toUtf8();
        EXPECT_EQ(EVP_DigestVerify(ctx, reinterpret_cast<const unsigned char*>(podpis.constData()),
                                   static_cast<size_t>(podpis.size()),
                                   reinterpret_cast<const unsigned char*>(t.constData()),
                                   static_cast<size_t>(t.size())),
                  1)
            << (rodzaj == RodzajKlucza::Rsa2048 ? "RSA" : "EC");
        // The same signature does not fit another link.
        const QByteArray inna = t + "x";
        EVP_DigestVerifyInit(ctx, &pctx, EVP_sha256(), nullptr, publiczny);
        if (rodzaj == RodzajKlucza::Rsa2048) {
            EVP_PKEY_CTX_set_rsa_padding(pctx, RSA_PKCS1_PSS_PADDING);
            EVP_PKEY_CTX_set_rsa_pss_saltlen(pctx, 32);
        }
        EXPECT_NE(EVP_DigestVerify(ctx, reinterpret_cast<const unsigned char*>(podpis.constData()),
                                   static_cast<size_t>(podpis.size()),
                                   reinterpret_cast<const unsigned char*>(inna.constData()),
                                   static_cast<size_t>(inna.size())),
                  1);
        EVP_MD_CTX_free(ctx);
        EVP_PKEY_free(publiczny);
    }
}

}  // namespace
