#include "ksef/kryptografia.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/decoder.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <QFile>
#include <QTimeZone>
#include <ctime>

#include "store/blad.h"

namespace {

template <class T, void (*Zwolnij)(T*)>
struct ZwolnijOpenSsl {
    void operator()(T* p) const { Zwolnij(p); }
};
using BioOpenSsl = std::unique_ptr<BIO, ZwolnijOpenSsl<BIO, BIO_free_all>>;
using KontekstSzyfru = std::unique_ptr<EVP_CIPHER_CTX, ZwolnijOpenSsl<EVP_CIPHER_CTX, EVP_CIPHER_CTX_free>>;
using KontekstKlucza = std::unique_ptr<EVP_PKEY_CTX, ZwolnijOpenSsl<EVP_PKEY_CTX, EVP_PKEY_CTX_free>>;
using KontekstSkrotu = std::unique_ptr<EVP_MD_CTX, ZwolnijOpenSsl<EVP_MD_CTX, EVP_MD_CTX_free>>;
using KontekstDekodera =
    std::unique_ptr<OSSL_DECODER_CTX, ZwolnijOpenSsl<OSSL_DECODER_CTX, OSSL_DECODER_CTX_free>>;
using PodpisEcdsaDer = std::unique_ptr<ECDSA_SIG, ZwolnijOpenSsl<ECDSA_SIG, ECDSA_SIG_free>>;
using LiczbaBn = std::unique_ptr<BIGNUM, ZwolnijOpenSsl<BIGNUM, BN_free>>;
using CertyfikatOpenSsl = std::unique_ptr<X509, ZwolnijOpenSsl<X509, X509_free>>;
using KluczEvp = std::unique_ptr<EVP_PKEY, ZwolnijOpenSsl<EVP_PKEY, EVP_PKEY_free>>;

// The user's certificate and key files are small; anything bigger is not one of them.
constexpr qint64 NajwiekszyPlikKryptograficzny = 1024 * 1024;

const unsigned char* BajtyOpenSsl(const QByteArray& dane) {
    return reinterpret_cast<const unsigned char*>(dane.constData());
}
unsigned char* BajtyOpenSsl(QByteArray& dane) { return reinterpret_cast<unsigned char*>(dane.data()); }

// OpenSSL's reason of the last failure, for the message; the queue is emptied so that it does not
// mislead a later check.
QString PowodOpenSsl() {
    const unsigned long kod = ERR_peek_last_error();
    QString powod;
    if (kod != 0) {
        char tekst[256];
        ERR_error_string_n(kod, tekst, sizeof tekst);
        powod = QString::fromUtf8(tekst);
    }
    ERR_clear_error();
    return powod;
}

[[noreturn]] void OdmowaKryptografii(const QString& co) {
    const QString powod = PowodOpenSsl();
    throw Odmowa(powod.isEmpty() ? QStringLiteral("Błąd kryptografii: %1.").arg(co)
                                 : QStringLiteral("Błąd kryptografii: %1 (%2).").arg(co, powod));
}

void SprawdzOpenSsl(bool warunek, const QString& co) {
    if (!warunek) OdmowaKryptografii(co);
}

BioOpenSsl BioZDanych(const QByteArray& dane) {
    BioOpenSsl bio(BIO_new_mem_buf(dane.constData(), static_cast<int>(dane.size())));
    SprawdzOpenSsl(bio != nullptr, QStringLiteral("bufor danych"));
    return bio;
}

QByteArray ZBioOpenSsl(BIO* bio) {
    char* dane = nullptr;
    const long ile = BIO_get_mem_data(bio, &dane);
    return QByteArray(dane, static_cast<qsizetype>(ile));
}

// A certificate or key file of the user, whole; these are not data-folder files.
QByteArray CzytajPlikKryptograficzny(const QString& sciezka) {
    QFile plik(sciezka);
    if (!plik.open(QIODevice::ReadOnly))
        throw Odmowa(QStringLiteral("Nie można otworzyć pliku „%1”: %2.").arg(sciezka, plik.errorString()));
    if (plik.size() > NajwiekszyPlikKryptograficzny)
        throw Odmowa(QStringLiteral("Plik „%1” jest za duży jak na certyfikat lub klucz.").arg(sciezka));
    QByteArray dane = plik.read(NajwiekszyPlikKryptograficzny + 1);
    if (plik.error() != QFileDevice::NoError)
        throw Odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(sciezka, plik.errorString()));
    if (dane.size() > NajwiekszyPlikKryptograficzny)
        throw Odmowa(QStringLiteral("Plik „%1” jest za duży jak na certyfikat lub klucz.").arg(sciezka));
    return dane;
}

void WymazBajty(QByteArray& dane) {
    if (!dane.isEmpty()) OPENSSL_cleanse(dane.data(), static_cast<size_t>(dane.size()));
}

bool TekstPem(const QByteArray& dane) { return dane.contains("-----BEGIN "); }

QDateTime CzasAsn1(const ASN1_TIME* czas) {
    std::tm tm{};
    if (czas == nullptr || ASN1_TIME_to_tm(czas, &tm) != 1) return {};
    const QDate dzien(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    const QTime godzina(tm.tm_hour, tm.tm_min, tm.tm_sec);
    return QDateTime(dzien, godzina, QTimeZone::utc());
}

QString NazwaRfc2253(const X509_NAME* nazwa) {
    BioOpenSsl bio(BIO_new(BIO_s_mem()));
    SprawdzOpenSsl(bio != nullptr, QStringLiteral("bufor nazwy"));
    // RFC 2253 with the characters beyond ASCII kept as UTF-8 (Polish names read as written).
    SprawdzOpenSsl(X509_NAME_print_ex(bio.get(), nazwa, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) >= 0,
                   QStringLiteral("nazwa certyfikatu"));
    return QString::fromUtf8(ZBioOpenSsl(bio.get()));
}

QByteArray PodpiszSkrotem(EVP_PKEY* klucz, const QByteArray& dane, bool pss) {
    KontekstSkrotu ctx(EVP_MD_CTX_new());
    SprawdzOpenSsl(ctx != nullptr, QStringLiteral("kontekst podpisu"));
    EVP_PKEY_CTX* kontekstKlucza = nullptr;  // owned by ctx
    SprawdzOpenSsl(EVP_DigestSignInit(ctx.get(), &kontekstKlucza, EVP_sha256(), nullptr, klucz) == 1,
                   QStringLiteral("przygotowanie podpisu"));
    if (pss) {
        SprawdzOpenSsl(EVP_PKEY_CTX_set_rsa_padding(kontekstKlucza, RSA_PKCS1_PSS_PADDING) == 1 &&
                           EVP_PKEY_CTX_set_rsa_mgf1_md(kontekstKlucza, EVP_sha256()) == 1 &&
                           EVP_PKEY_CTX_set_rsa_pss_saltlen(kontekstKlucza, 32) == 1,
                       QStringLiteral("parametry RSA-PSS"));
    }
    size_t dlugosc = 0;
    SprawdzOpenSsl(EVP_DigestSign(ctx.get(), nullptr, &dlugosc, BajtyOpenSsl(dane),
                                  static_cast<size_t>(dane.size())) == 1,
                   QStringLiteral("podpis"));
    QByteArray podpis(static_cast<qsizetype>(dlugosc), '\0');
    SprawdzOpenSsl(EVP_DigestSign(ctx.get(), BajtyOpenSsl(podpis), &dlugosc, BajtyOpenSsl(dane),
                                  static_cast<size_t>(dane.size())) == 1,
                   QStringLiteral("podpis"));
    podpis.resize(static_cast<qsizetype>(dlugosc));
    return podpis;
}

// An ECDSA signature as DER (RFC 3279) made the two numbers side by side, each as long as the
// curve's order needs (R‖S, as XML signatures and KSeF's codes take it).
QByteArray EcdsaNaRs(const QByteArray& der, int bajtyLiczby) {
    const unsigned char* wskaznik = BajtyOpenSsl(der);
    PodpisEcdsaDer podpis(d2i_ECDSA_SIG(nullptr, &wskaznik, static_cast<long>(der.size())));
    SprawdzOpenSsl(podpis != nullptr, QStringLiteral("odczyt podpisu ECDSA"));
    const BIGNUM* r = nullptr;
    const BIGNUM* s = nullptr;
    ECDSA_SIG_get0(podpis.get(), &r, &s);
    QByteArray wynik(2 * bajtyLiczby, '\0');
    SprawdzOpenSsl(BN_bn2binpad(r, BajtyOpenSsl(wynik), bajtyLiczby) == bajtyLiczby &&
                       BN_bn2binpad(s, BajtyOpenSsl(wynik) + bajtyLiczby, bajtyLiczby) == bajtyLiczby,
                   QStringLiteral("zapis podpisu ECDSA"));
    return wynik;
}

// The length in bytes of the order of the key's curve.
int BajtyRzeduKrzywej(EVP_PKEY* klucz) {
    LiczbaBn rzad;
    BIGNUM* wynik = nullptr;
    if (EVP_PKEY_get_bn_param(klucz, OSSL_PKEY_PARAM_EC_ORDER, &wynik) == 1) rzad.reset(wynik);
    if (rzad) return BN_num_bytes(rzad.get());
    ERR_clear_error();
    return (EVP_PKEY_get_bits(klucz) + 7) / 8;
}

bool KluczRsa(const EVP_PKEY* klucz) { return EVP_PKEY_is_a(klucz, "RSA") == 1; }
bool KluczEc(const EVP_PKEY* klucz) { return EVP_PKEY_is_a(klucz, "EC") == 1; }

// Whether the key data is an encrypted one (encrypted PKCS#8, or a traditional PEM key with a
// password): a failure to read it then means a wrong password.
bool KluczZaszyfrowany(const QByteArray& dane) {
    if (TekstPem(dane)) return dane.contains("ENCRYPTED");
    const unsigned char* wskaznik = BajtyOpenSsl(dane);
    X509_SIG* zaszyfrowany = d2i_X509_SIG(nullptr, &wskaznik, static_cast<long>(dane.size()));
    ERR_clear_error();
    if (zaszyfrowany == nullptr) return false;
    X509_SIG_free(zaszyfrowany);
    return true;
}

// From a PEM text holding more than the key (the certificate too, say), the part from the key on.
QByteArray CzescZKluczem(const QByteArray& dane) {
    if (!TekstPem(dane)) return dane;
    qsizetype od = 0;
    while ((od = dane.indexOf("-----BEGIN ", od)) >= 0) {
        const qsizetype koniecWiersza = dane.indexOf('\n', od);
        const QByteArray naglowek = dane.mid(od, koniecWiersza < 0 ? -1 : koniecWiersza - od);
        if (naglowek.contains("PRIVATE KEY-----")) return dane.mid(od);
        od += 11;
    }
    return dane;
}

KluczEvp CzytajKlucz(const QByteArray& pemLubDer, const QByteArray& haslo, const QString& plik) {
    const QString ktory = plik.isEmpty() ? QStringLiteral("prywatnego") : QStringLiteral("„%1”").arg(plik);
    const QByteArray dane = CzescZKluczem(pemLubDer);
    EVP_PKEY* odczytany = nullptr;
    KontekstDekodera dekoder(OSSL_DECODER_CTX_new_for_pkey(&odczytany, nullptr, nullptr, nullptr,
                                                           EVP_PKEY_KEYPAIR, nullptr, nullptr));
    SprawdzOpenSsl(dekoder != nullptr, QStringLiteral("przygotowanie odczytu klucza"));
    // Always a passphrase, an empty one too: without one OpenSSL could ask for it on the terminal.
    SprawdzOpenSsl(OSSL_DECODER_CTX_set_passphrase(dekoder.get(), BajtyOpenSsl(haslo),
                                                   static_cast<size_t>(haslo.size())) == 1,
                   QStringLiteral("hasło klucza"));
    const unsigned char* wskaznik = BajtyOpenSsl(dane);
    size_t zostalo = static_cast<size_t>(dane.size());
    const bool udane =
        OSSL_DECODER_from_data(dekoder.get(), &wskaznik, &zostalo) == 1 && odczytany != nullptr;
    KluczEvp klucz(odczytany);
    ERR_clear_error();
    if (!udane) {
        klucz.reset();
        if (KluczZaszyfrowany(dane)) {
            if (haslo.isEmpty())
                throw Odmowa(QStringLiteral("Klucz %1 jest chroniony hasłem; podaj hasło.").arg(ktory));
            throw Odmowa(QStringLiteral("Nieprawidłowe hasło do klucza %1.").arg(ktory));
        }
        throw Odmowa(plik.isEmpty()
                         ? QStringLiteral("Dane nie są kluczem prywatnym (PKCS#8).")
                         : QStringLiteral("Plik „%1” nie zawiera klucza prywatnego (PKCS#8).").arg(plik));
    }
    if (!KluczRsa(klucz.get()) && !KluczEc(klucz.get()))
        throw Odmowa(QStringLiteral("Klucz %1 nie jest kluczem RSA ani EC.").arg(ktory));
    return klucz;
}

[[noreturn]] void Nieprawidlowy(const QString& plik) {
    ERR_clear_error();
    throw Odmowa(plik.isEmpty() ? QStringLiteral("Dane nie są certyfikatem X.509.")
                                : QStringLiteral("Plik „%1” nie jest certyfikatem X.509.").arg(plik));
}

}  // namespace

QByteArray Sha256(const QByteArray& dane) {
    QByteArray skrot(32, '\0');
    unsigned int dlugosc = 0;
    SprawdzOpenSsl(EVP_Digest(dane.constData(), static_cast<size_t>(dane.size()), BajtyOpenSsl(skrot),
                              &dlugosc, EVP_sha256(), nullptr) == 1 &&
                       dlugosc == 32,
                   QStringLiteral("skrót SHA-256"));
    return skrot;
}

QString Sha256Base64(const QByteArray& dane) { return QString::fromLatin1(Sha256(dane).toBase64()); }

QByteArray LosoweBajty(int ile) {
    if (ile < 0) throw Odmowa(QStringLiteral("Błąd kryptografii: ujemna liczba losowych bajtów."));
    QByteArray wynik(ile, '\0');
    if (ile > 0)
        SprawdzOpenSsl(RAND_bytes(BajtyOpenSsl(wynik), ile) == 1, QStringLiteral("losowanie bajtów"));
    return wynik;
}

namespace {

QByteArray Aes256Cbc(const QByteArray& dane, const QByteArray& klucz32, const QByteArray& iv16,
                     bool szyfruj) {
    if (klucz32.size() != 32 || iv16.size() != 16)
        throw Odmowa(QStringLiteral("Błąd kryptografii: klucz AES-256 ma 32 bajty, wektor IV 16."));
    if (!szyfruj && (dane.isEmpty() || dane.size() % 16 != 0))
        throw Odmowa(QStringLiteral("Nie udało się odszyfrować danych: szyfrogram AES ma złą długość."));
    KontekstSzyfru ctx(EVP_CIPHER_CTX_new());
    SprawdzOpenSsl(ctx != nullptr, QStringLiteral("kontekst AES"));
    SprawdzOpenSsl(EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, BajtyOpenSsl(klucz32),
                                     BajtyOpenSsl(iv16), szyfruj ? 1 : 0) == 1,
                   QStringLiteral("przygotowanie AES"));
    QByteArray wynik(dane.size() + 16, '\0');
    int dlugosc = 0;
    SprawdzOpenSsl(EVP_CipherUpdate(ctx.get(), BajtyOpenSsl(wynik), &dlugosc, BajtyOpenSsl(dane),
                                    static_cast<int>(dane.size())) == 1,
                   QStringLiteral("AES"));
    int reszta = 0;
    if (EVP_CipherFinal_ex(ctx.get(), BajtyOpenSsl(wynik) + dlugosc, &reszta) != 1) {
        WymazBajty(wynik);
        ERR_clear_error();
        if (!szyfruj)
            throw Odmowa(
                QStringLiteral("Nie udało się odszyfrować danych: zły klucz albo uszkodzony szyfrogram "
                               "(dopełnienie PKCS#7)."));
        OdmowaKryptografii(QStringLiteral("AES"));
    }
    wynik.resize(dlugosc + reszta);
    return wynik;
}

}  // namespace

QByteArray SzyfrujAes256Cbc(const QByteArray& dane, const QByteArray& klucz32, const QByteArray& iv16) {
    return Aes256Cbc(dane, klucz32, iv16, true);
}

QByteArray OdszyfrujAes256Cbc(const QByteArray& szyfrogram, const QByteArray& klucz32,
                              const QByteArray& iv16) {
    return Aes256Cbc(szyfrogram, klucz32, iv16, false);
}

// ---------------------------------------------------------------------------------------------------

// Raw pointers here: the unique_ptr types of this file live in its anonymous namespace.
struct CertyfikatX509::Dane {
    X509* x509 = nullptr;
    Dane() = default;
    Dane(const Dane&) = delete;
    Dane& operator=(const Dane&) = delete;
    ~Dane() { X509_free(x509); }
};

CertyfikatX509::CertyfikatX509(std::shared_ptr<Dane> dane) : dane_(std::move(dane)) {}
CertyfikatX509::~CertyfikatX509() = default;
CertyfikatX509::CertyfikatX509(CertyfikatX509&&) noexcept = default;
CertyfikatX509& CertyfikatX509::operator=(CertyfikatX509&&) noexcept = default;
CertyfikatX509::CertyfikatX509(const CertyfikatX509&) = default;
CertyfikatX509& CertyfikatX509::operator=(const CertyfikatX509&) = default;

namespace {

CertyfikatOpenSsl CzytajX509(const QByteArray& dane, const QString& plik, bool tylkoDer) {
    CertyfikatOpenSsl x509;
    if (!tylkoDer && TekstPem(dane)) {
        BioOpenSsl bio = BioZDanych(dane);
        x509.reset(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    } else {
        const unsigned char* wskaznik = BajtyOpenSsl(dane);
        x509.reset(d2i_X509(nullptr, &wskaznik, static_cast<long>(dane.size())));
    }
    if (!x509) Nieprawidlowy(plik);
    return x509;
}

}  // namespace

CertyfikatX509 CertyfikatX509::zBajtow(const QByteArray& pemLubDer) {
    auto dane = std::make_shared<Dane>();
    dane->x509 = CzytajX509(pemLubDer, {}, false).release();
    return CertyfikatX509(std::move(dane));
}

CertyfikatX509 CertyfikatX509::zBase64Der(const QByteArray& base64) {
    // Line breaks are let through: a PEM body without its header lines reads as well.
    QByteArray znaki;
    znaki.reserve(base64.size());
    for (const char c : base64)
        if (c != '\n' && c != '\r' && c != ' ' && c != '\t') znaki.append(c);
    const auto der = QByteArray::fromBase64Encoding(znaki, QByteArray::AbortOnBase64DecodingErrors);
    if (!der || der.decoded.isEmpty()) Nieprawidlowy({});
    auto dane = std::make_shared<Dane>();
    dane->x509 = CzytajX509(der.decoded, {}, true).release();
    return CertyfikatX509(std::move(dane));
}

CertyfikatX509 CertyfikatX509::zPliku(const QString& sciezka) {
    auto dane = std::make_shared<Dane>();
    dane->x509 = CzytajX509(CzytajPlikKryptograficzny(sciezka), sciezka, false).release();
    return CertyfikatX509(std::move(dane));
}

const void* CertyfikatX509::uchwyt() const {
    if (!dane_) throw Odmowa(QStringLiteral("Błąd kryptografii: brak certyfikatu."));
    return dane_->x509;
}

namespace {
const X509* X509Z(const CertyfikatX509& c) { return static_cast<const X509*>(c.uchwyt()); }
}  // namespace

QByteArray CertyfikatX509::der() const {
    unsigned char* der = nullptr;
    const int ile = i2d_X509(X509Z(*this), &der);
    SprawdzOpenSsl(ile > 0, QStringLiteral("zapis certyfikatu"));
    QByteArray wynik(reinterpret_cast<const char*>(der), ile);
    OPENSSL_free(der);
    return wynik;
}

QString CertyfikatX509::numerSeryjnyHex() const {
    LiczbaBn numer(ASN1_INTEGER_to_BN(X509_get0_serialNumber(X509Z(*this)), nullptr));
    SprawdzOpenSsl(numer != nullptr, QStringLiteral("numer seryjny certyfikatu"));
    char* hex = BN_bn2hex(numer.get());
    SprawdzOpenSsl(hex != nullptr, QStringLiteral("numer seryjny certyfikatu"));
    QString wynik = QString::fromLatin1(hex).toUpper();
    OPENSSL_free(hex);
    if (wynik == QStringLiteral("0")) wynik = QStringLiteral("00");
    return wynik;
}

QString CertyfikatX509::odciskSha256Hex() const {
    return QString::fromLatin1(Sha256(der()).toHex().toUpper());
}

QDateTime CertyfikatX509::waznyOd() const { return CzasAsn1(X509_get0_notBefore(X509Z(*this))); }
QDateTime CertyfikatX509::waznyDo() const { return CzasAsn1(X509_get0_notAfter(X509Z(*this))); }
QString CertyfikatX509::podmiot() const { return NazwaRfc2253(X509_get_subject_name(X509Z(*this))); }
QString CertyfikatX509::wystawca() const { return NazwaRfc2253(X509_get_issuer_name(X509Z(*this))); }

bool CertyfikatX509::kluczRsa() const {
    const EVP_PKEY* klucz = X509_get0_pubkey(X509Z(*this));
    return klucz != nullptr && KluczRsa(klucz);
}

QByteArray SzyfrujRsaOaep(const CertyfikatX509& certyfikat, const QByteArray& dane) {
    EVP_PKEY* publiczny = X509_get0_pubkey(X509Z(certyfikat));
    if (publiczny == nullptr || !KluczRsa(publiczny))
        throw Odmowa(QStringLiteral("Certyfikat „%1” nie ma klucza RSA, którym można szyfrować.")
                         .arg(certyfikat.podmiot()));
    KontekstKlucza ctx(EVP_PKEY_CTX_new(publiczny, nullptr));
    SprawdzOpenSsl(ctx != nullptr && EVP_PKEY_encrypt_init(ctx.get()) == 1 &&
                       EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_OAEP_PADDING) == 1 &&
                       EVP_PKEY_CTX_set_rsa_oaep_md(ctx.get(), EVP_sha256()) == 1 &&
                       EVP_PKEY_CTX_set_rsa_mgf1_md(ctx.get(), EVP_sha256()) == 1,
                   QStringLiteral("przygotowanie RSA-OAEP"));
    size_t dlugosc = 0;
    SprawdzOpenSsl(EVP_PKEY_encrypt(ctx.get(), nullptr, &dlugosc, BajtyOpenSsl(dane),
                                    static_cast<size_t>(dane.size())) == 1,
                   QStringLiteral("szyfrowanie RSA-OAEP"));
    QByteArray wynik(static_cast<qsizetype>(dlugosc), '\0');
    SprawdzOpenSsl(EVP_PKEY_encrypt(ctx.get(), BajtyOpenSsl(wynik), &dlugosc, BajtyOpenSsl(dane),
                                    static_cast<size_t>(dane.size())) == 1,
                   QStringLiteral("szyfrowanie RSA-OAEP"));
    wynik.resize(static_cast<qsizetype>(dlugosc));
    return wynik;
}

// ---------------------------------------------------------------------------------------------------

struct KluczPrywatny::Dane {
    EVP_PKEY* klucz = nullptr;
    Dane() = default;
    Dane(const Dane&) = delete;
    Dane& operator=(const Dane&) = delete;
    ~Dane() { EVP_PKEY_free(klucz); }
};

KluczPrywatny::KluczPrywatny(std::unique_ptr<Dane> dane) : dane_(std::move(dane)) {}
KluczPrywatny::~KluczPrywatny() = default;
KluczPrywatny::KluczPrywatny(KluczPrywatny&&) noexcept = default;
KluczPrywatny& KluczPrywatny::operator=(KluczPrywatny&&) noexcept = default;

KluczPrywatny KluczPrywatny::zBajtow(const QByteArray& pemLubDer, const QByteArray& haslo) {
    auto dane = std::make_unique<Dane>();
    dane->klucz = CzytajKlucz(pemLubDer, haslo, {}).release();
    return KluczPrywatny(std::move(dane));
}

KluczPrywatny KluczPrywatny::zPliku(const QString& sciezka, const QByteArray& haslo) {
    QByteArray zawartosc = CzytajPlikKryptograficzny(sciezka);
    auto dane = std::make_unique<Dane>();
    try {
        dane->klucz = CzytajKlucz(zawartosc, haslo, sciezka).release();
    } catch (...) {
        WymazBajty(zawartosc);
        throw;
    }
    WymazBajty(zawartosc);
    return KluczPrywatny(std::move(dane));
}

const void* KluczPrywatny::uchwyt() const {
    if (!dane_) throw Odmowa(QStringLiteral("Błąd kryptografii: brak klucza prywatnego."));
    return dane_->klucz;
}

namespace {
EVP_PKEY* EvpZ(const KluczPrywatny& k) {
    return const_cast<EVP_PKEY*>(static_cast<const EVP_PKEY*>(k.uchwyt()));
}
}  // namespace

bool KluczPrywatny::rsa() const { return KluczRsa(EvpZ(*this)); }

bool KluczPrywatny::pasujeDo(const CertyfikatX509& certyfikat) const {
    const EVP_PKEY* publiczny = X509_get0_pubkey(X509Z(certyfikat));
    const bool zgodne = publiczny != nullptr && EVP_PKEY_eq(EvpZ(*this), publiczny) == 1;
    ERR_clear_error();
    return zgodne;
}

QByteArray KluczPrywatny::podpiszSha256(const QByteArray& dane) const {
    return PodpiszSkrotem(EvpZ(*this), dane, false);
}

QByteArray KluczPrywatny::podpiszPssLubRs(const QByteArray& dane) const {
    EVP_PKEY* klucz = EvpZ(*this);
    if (KluczRsa(klucz)) return PodpiszSkrotem(klucz, dane, true);
    return EcdsaNaRs(PodpiszSkrotem(klucz, dane, false), BajtyRzeduKrzywej(klucz));
}
