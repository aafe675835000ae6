// The simulator driven the way a client drives KSeF: plain HTTP requests, the cryptography done here
// with OpenSSL directly, so that the simulator is checked apart from the client's own code.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <xmlsec/crypto.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QThread>
#include <QTimeZone>
#include <memory>

#include "ksef/numer_ksef.h"
#include "ksef/symulator/kryptografia_symulatora.h"
#include "ksef/symulator/symulator.h"
#include "ksef/symulator/xml_symulatora.h"
#include "ksef/wspolne/certyfikaty_testowe.h"
#include "wspolne/programy.h"

namespace testy_symulatora {

const QString NipSprzedawcy = QStringLiteral("9999999999");  // Podmiot1 of minimal_VAT.xml
const QString TokenTestowy = QStringLiteral("20261209-EC-0000000000-0000000000-00|nip-9999999999|sekret");

struct Odpowiedz {
    int kod = 0;
    QNetworkReply::NetworkError blad = QNetworkReply::NoError;
    QByteArray cialo;
    QByteArray retryAfter;
    QByteArray typ;
    QJsonObject json() const { return QJsonDocument::fromJson(cialo).object(); }
    int kodWyjatku() const {
        return json()[u"exception"][u"exceptionDetailList"][0][u"exceptionCode"].toInt();
    }
};

class Klient {
  public:
    explicit Klient(const QUrl& adres) : adres_(adres.toString()) {}

    Odpowiedz zadanie(const QByteArray& metoda, const QString& sciezka, const QByteArray& cialo = {},
                      const QString& bearer = {}, const QByteArray& typ = "application/json",
                      const QByteArray& kontynuacja = {}) {
        QNetworkRequest r(sciezka.startsWith(QLatin1String("http")) ? QUrl(sciezka) : QUrl(adres_ + sciezka));
        r.setTransferTimeout(20000);
        if (!cialo.isEmpty()) r.setHeader(QNetworkRequest::ContentTypeHeader, typ);
        if (!bearer.isEmpty()) r.setRawHeader("Authorization", "Bearer " + bearer.toLatin1());
        if (!kontynuacja.isEmpty()) r.setRawHeader("x-continuation-token", kontynuacja);
        QNetworkReply* odp = siec_.sendCustomRequest(r, metoda, cialo);
        QEventLoop petla;
        QObject::connect(odp, &QNetworkReply::finished, &petla, &QEventLoop::quit);
        petla.exec();
        Odpowiedz wynik;
        wynik.kod = odp->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        wynik.blad = odp->error();
        wynik.cialo = odp->readAll();
        wynik.retryAfter = odp->rawHeader("Retry-After");
        wynik.typ = odp->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        odp->deleteLater();
        return wynik;
    }
    Odpowiedz get(const QString& sciezka, const QString& bearer = {}) {
        return zadanie("GET", sciezka, {}, bearer);
    }
    Odpowiedz post(const QString& sciezka, const QJsonObject& cialo, const QString& bearer = {}) {
        return zadanie("POST", sciezka, QJsonDocument(cialo).toJson(QJsonDocument::Compact), bearer);
    }

  private:
    QString adres_;
    QNetworkAccessManager siec_;
};

// ---- the client's side of the cryptography, straight on OpenSSL ----

QByteArray SzyfrujOaep(const QByteArray& certyfikatDer, const QByteArray& dane) {
    const unsigned char* wsk = reinterpret_cast<const unsigned char*>(certyfikatDer.constData());
    std::unique_ptr<X509, decltype(&X509_free)> cert(d2i_X509(nullptr, &wsk, certyfikatDer.size()),
                                                     &X509_free);
    if (!cert) return {};
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> k(
        EVP_PKEY_CTX_new(X509_get0_pubkey(cert.get()), nullptr), &EVP_PKEY_CTX_free);
    size_t dlugosc = 0;
    if (EVP_PKEY_encrypt_init(k.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(k.get(), RSA_PKCS1_OAEP_PADDING) <= 0 ||
        EVP_PKEY_CTX_set_rsa_oaep_md(k.get(), EVP_sha256()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_mgf1_md(k.get(), EVP_sha256()) <= 0 ||
        EVP_PKEY_encrypt(k.get(), nullptr, &dlugosc, reinterpret_cast<const unsigned char*>(dane.constData()),
                         dane.size()) <= 0)
        return {};
    QByteArray wynik(static_cast<qsizetype>(dlugosc), Qt::Uninitialized);
    if (EVP_PKEY_encrypt(k.get(), reinterpret_cast<unsigned char*>(wynik.data()), &dlugosc,
                         reinterpret_cast<const unsigned char*>(dane.constData()), dane.size()) <= 0)
        return {};
    wynik.resize(static_cast<qsizetype>(dlugosc));
    return wynik;
}

QByteArray SzyfrujAes(const QByteArray& dane, const QByteArray& klucz, const QByteArray& iv) {
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> k(EVP_CIPHER_CTX_new(),
                                                                      &EVP_CIPHER_CTX_free);
    QByteArray wynik(dane.size() + 16, Qt::Uninitialized);
    int a = 0;
    int b = 0;
    EVP_EncryptInit_ex(k.get(), EVP_aes_256_cbc(), nullptr,
                       reinterpret_cast<const unsigned char*>(klucz.constData()),
                       reinterpret_cast<const unsigned char*>(iv.constData()));
    EVP_EncryptUpdate(k.get(), reinterpret_cast<unsigned char*>(wynik.data()), &a,
                      reinterpret_cast<const unsigned char*>(dane.constData()),
                      static_cast<int>(dane.size()));
    EVP_EncryptFinal_ex(k.get(), reinterpret_cast<unsigned char*>(wynik.data()) + a, &b);
    wynik.resize(a + b);
    return wynik;
}

QString Skrot(const QByteArray& dane) {
    return QString::fromLatin1(QCryptographicHash::hash(dane, QCryptographicHash::Sha256).toBase64());
}

QByteArray Przyklad(const QString& nazwa) {
    QFile plik(QStringLiteral(PRZYKLADY_FA3 "/") + nazwa);
    EXPECT_TRUE(plik.open(QIODevice::ReadOnly)) << nazwa.toStdString();
    return plik.readAll();
}

QByteArray ZNumerem(QByteArray xml, const QString& numer) {
    return xml.replace("<P_2>7/2026</P_2>", "<P_2>" + numer.toUtf8() + "</P_2>");
}

struct Klucze {
    QByteArray doTokena, doSesji;  // DER
};

// A session's whole state on the client's side.
struct Sesja {
    QString numer;
    QByteArray klucz = QByteArray(32, '\0');
    QByteArray iv = QByteArray(16, '\0');
};

class SymulatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        symulator_.dodajToken(TokenTestowy, NipSprzedawcy);
        klient_ = std::make_unique<Klient>(symulator_.adres());
    }

    Klucze klucze() {
        Klucze k;
        const Odpowiedz odp = klient_->get(QStringLiteral("/security/public-key-certificates"));
        EXPECT_EQ(odp.kod, 200);
        for (const auto& c : QJsonDocument::fromJson(odp.cialo).array()) {
            const QByteArray der = QByteArray::fromBase64(c[u"certificate"].toString().toLatin1());
            if (c[u"usage"].toArray().contains(QStringLiteral("KsefTokenEncryption"))) k.doTokena = der;
            if (c[u"usage"].toArray().contains(QStringLiteral("SymmetricKeyEncryption"))) k.doSesji = der;
        }
        return k;
    }

    // POST /auth/ksef-token with `token|timestampMs` as given by `tresc` (the real one when empty).
    Odpowiedz uwierzytelnij(const QString& token, const QString& nip, QString* wyzwanie = nullptr,
                            const QByteArray& zmienionaTresc = {}, const QByteArray& certyfikatTokena = {}) {
        const Odpowiedz w = klient_->post(QStringLiteral("/auth/challenge"), {});
        EXPECT_EQ(w.kod, 200);
        const QString numer = w.json()[u"challenge"].toString();
        if (wyzwanie) *wyzwanie = numer;
        const QByteArray tresc =
            zmienionaTresc.isEmpty()
                ? (token + u'|' + QString::number(w.json()[u"timestampMs"].toInteger())).toUtf8()
                : zmienionaTresc;
        return klient_->post(
            QStringLiteral("/auth/ksef-token"),
            QJsonObject{
                {QStringLiteral("challenge"), numer},
                {QStringLiteral("contextIdentifier"),
                 QJsonObject{{QStringLiteral("type"), QStringLiteral("Nip")},
                             {QStringLiteral("value"), nip}}},
                {QStringLiteral("encryptedToken"),
                 QString::fromLatin1(
                     SzyfrujOaep(certyfikatTokena.isEmpty() ? klucze().doTokena : certyfikatTokena, tresc)
                         .toBase64())}});
    }

    // The whole authentication; the access token, or empty.
    QString dostep() {
        const Odpowiedz start = uwierzytelnij(TokenTestowy, NipSprzedawcy);
        EXPECT_EQ(start.kod, 202) << start.cialo.constData();
        const QString numer = start.json()[u"referenceNumber"].toString();
        const QString operacja = start.json()[u"authenticationToken"][u"token"].toString();
        for (int i = 0; i < 10; ++i) {
            const Odpowiedz stan = klient_->get(QStringLiteral("/auth/") + numer, operacja);
            if (stan.json()[u"status"][u"code"].toInt() != 100) break;
        }
        const Odpowiedz tokeny = klient_->zadanie("POST", QStringLiteral("/auth/token/redeem"), {}, operacja);
        EXPECT_EQ(tokeny.kod, 200) << tokeny.cialo.constData();
        return tokeny.json()[u"accessToken"][u"token"].toString();
    }

    Sesja otworz(const QString& token, const QByteArray& certyfikatSesji = {}) {
        Sesja s;
        for (int i = 0; i < 32; ++i) s.klucz[i] = static_cast<char>(i * 7 + 3);
        for (int i = 0; i < 16; ++i) s.iv[i] = static_cast<char>(i * 5 + 1);
        const Odpowiedz odp = klient_->post(
            QStringLiteral("/sessions/online"),
            QJsonObject{
                {QStringLiteral("formCode"),
                 QJsonObject{{QStringLiteral("systemCode"), QStringLiteral("FA (3)")},
                             {QStringLiteral("schemaVersion"), QStringLiteral("1-0E")},
                             {QStringLiteral("value"), QStringLiteral("FA")}}},
                {QStringLiteral("encryption"),
                 QJsonObject{
                     {QStringLiteral("encryptedSymmetricKey"),
                      QString::fromLatin1(
                          SzyfrujOaep(certyfikatSesji.isEmpty() ? klucze().doSesji : certyfikatSesji, s.klucz)
                              .toBase64())},
                     {QStringLiteral("initializationVector"), QString::fromLatin1(s.iv.toBase64())}}}},
            token);
        ostatnia_ = odp;
        if (odp.kod == 201) s.numer = odp.json()[u"referenceNumber"].toString();
        return s;
    }

    // What POST …/invoices carries; the tests spoil single fields of it.
    QJsonObject faktura(const Sesja& s, const QByteArray& xml) {
        const QByteArray zaszyfrowana = SzyfrujAes(xml, s.klucz, s.iv);
        return QJsonObject{
            {QStringLiteral("invoiceHash"), Skrot(xml)},
            {QStringLiteral("invoiceSize"), xml.size()},
            {QStringLiteral("encryptedInvoiceHash"), Skrot(zaszyfrowana)},
            {QStringLiteral("encryptedInvoiceSize"), zaszyfrowana.size()},
            {QStringLiteral("encryptedInvoiceContent"), QString::fromLatin1(zaszyfrowana.toBase64())}};
    }

    Odpowiedz wyslij(const Sesja& s, const QJsonObject& cialo, const QString& token) {
        return klient_->post(QStringLiteral("/sessions/online/%1/invoices").arg(s.numer), cialo, token);
    }

    // The invoice's status once it is settled (status queries until the code leaves 100/150).
    QJsonObject rozstrzygnij(const Sesja& s, const QString& faktura, const QString& token,
                             QList<int>* kody = nullptr) {
        QJsonObject o;
        for (int i = 0; i < 10; ++i) {
            o = klient_->get(QStringLiteral("/sessions/%1/invoices/%2").arg(s.numer, faktura), token).json();
            const int kod = o[u"status"][u"code"].toInt();
            if (kody) kody->append(kod);
            if (kod != 100 && kod != 150) break;
        }
        return o;
    }

    SymulatorKsef symulator_;
    std::unique_ptr<Klient> klient_;
    Odpowiedz ostatnia_;
};

// ---- authentication ----

TEST_F(SymulatorTest, UwierzytelnienieTokenemOdWyzwaniaDoOdswiezenia) {
    symulator_.ustawOpoznienie(2);
    const Odpowiedz start = uwierzytelnij(TokenTestowy, NipSprzedawcy);
    ASSERT_EQ(start.kod, 202) << start.cialo.constData();
    const QString numer = start.json()[u"referenceNumber"].toString();
    const QString operacja = start.json()[u"authenticationToken"][u"token"].toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d{8}-AU-[0-9A-F]{10}-[0-9A-F]{10}-[0-9A-F]{2}$)"))
                    .match(numer)
                    .hasMatch())
        << numer.toStdString();

    // Tokens are not there before the authentication ends.
    EXPECT_EQ(klient_->zadanie("POST", QStringLiteral("/auth/token/redeem"), {}, operacja).kod, 400);
    QList<int> kody;
    for (int i = 0; i < 3; ++i)
        kody << klient_->get(QStringLiteral("/auth/") + numer, operacja).json()[u"status"][u"code"].toInt();
    EXPECT_EQ(kody, (QList<int>{100, 100, 200}));
    EXPECT_EQ(klient_->get(QStringLiteral("/auth/") + numer).kod, 401);

    const Odpowiedz tokeny = klient_->zadanie("POST", QStringLiteral("/auth/token/redeem"), {}, operacja);
    ASSERT_EQ(tokeny.kod, 200) << tokeny.cialo.constData();
    const QString dostepu = tokeny.json()[u"accessToken"][u"token"].toString();
    const QString odswiezania = tokeny.json()[u"refreshToken"][u"token"].toString();
    EXPECT_FALSE(dostepu.isEmpty());
    EXPECT_TRUE(
        QDateTime::fromString(tokeny.json()[u"accessToken"][u"validUntil"].toString(), Qt::ISODateWithMs)
            .isValid());

    // Only once: a second redeem is refused as the API says.
    const Odpowiedz drugi = klient_->zadanie("POST", QStringLiteral("/auth/token/redeem"), {}, operacja);
    EXPECT_EQ(drugi.kod, 400);
    EXPECT_EQ(drugi.kodWyjatku(), 21301);

    const Odpowiedz odswiezone =
        klient_->zadanie("POST", QStringLiteral("/auth/token/refresh"), {}, odswiezania);
    ASSERT_EQ(odswiezone.kod, 200);
    const QString nowy = odswiezone.json()[u"accessToken"][u"token"].toString();
    EXPECT_NE(nowy, dostepu);
    EXPECT_FALSE(otworz(nowy).numer.isEmpty());
    // Expired access tokens are refused until the client refreshes.
    symulator_.wygasTokenyDostepu();
    EXPECT_TRUE(otworz(nowy).numer.isEmpty());
    EXPECT_EQ(ostatnia_.kod, 401);
    const QString odnowiony = klient_->zadanie("POST", QStringLiteral("/auth/token/refresh"), {}, odswiezania)
                                  .json()[u"accessToken"][u"token"]
                                  .toString();
    EXPECT_FALSE(otworz(odnowiony).numer.isEmpty());

    // The access token is no refresh token, nor the other way round.
    EXPECT_EQ(klient_->zadanie("POST", QStringLiteral("/auth/token/refresh"), {}, dostepu).kod, 401);
    EXPECT_EQ(otworz(odswiezania).numer, QString());
    EXPECT_EQ(ostatnia_.kod, 401);
}

TEST_F(SymulatorTest, OdrzuconeUwierzytelnienia) {
    struct Przypadek {
        const char* opis;
        QString token, nip;
        QByteArray tresc;  // empty: token|timestampMs of the challenge
        int kodStanu;      // the authentication's final status
    };
    const Przypadek przypadki[] = {
        {"nieznany token", QStringLiteral("inny"), NipSprzedawcy, {}, 450},
        {"inny kontekst", TokenTestowy, QStringLiteral("1111111111"), {}, 415},
        {"zły znacznik czasu", {}, NipSprzedawcy, (TokenTestowy + QStringLiteral("|123")).toUtf8(), 450},
        {"bez znacznika czasu", {}, NipSprzedawcy, TokenTestowy.toUtf8(), 450},
    };
    for (const auto& p : przypadki) {
        const Odpowiedz start = uwierzytelnij(p.token, p.nip, nullptr, p.tresc);
        ASSERT_EQ(start.kod, 202) << p.opis;
        const Odpowiedz stan =
            klient_->get(QStringLiteral("/auth/") + start.json()[u"referenceNumber"].toString(),
                         start.json()[u"authenticationToken"][u"token"].toString());
        EXPECT_EQ(stan.json()[u"status"][u"code"].toInt(), p.kodStanu) << p.opis;
        EXPECT_FALSE(stan.json()[u"status"][u"details"].toArray().isEmpty()) << p.opis;
        EXPECT_EQ(klient_
                      ->zadanie("POST", QStringLiteral("/auth/token/redeem"), {},
                                start.json()[u"authenticationToken"][u"token"].toString())
                      .kod,
                  400)
            << p.opis;
    }
}

TEST_F(SymulatorTest, WyzwanieWygasleLubUzyte) {
    // A challenge serves one authentication only.
    QString wyzwanie;
    ASSERT_EQ(uwierzytelnij(TokenTestowy, NipSprzedawcy, &wyzwanie).kod, 202);
    const Odpowiedz powtorka = klient_->post(
        QStringLiteral("/auth/ksef-token"),
        QJsonObject{
            {QStringLiteral("challenge"), wyzwanie},
            {QStringLiteral("contextIdentifier"), QJsonObject{{QStringLiteral("type"), QStringLiteral("Nip")},
                                                              {QStringLiteral("value"), NipSprzedawcy}}},
            {QStringLiteral("encryptedToken"), QStringLiteral("AAAA")}});
    EXPECT_EQ(powtorka.kod, 400);
    EXPECT_EQ(powtorka.kodWyjatku(), 21111);

    symulator_.awaria(AwariaSymulatora::WygaslaWyzwanie);
    const Odpowiedz wygasle = uwierzytelnij(TokenTestowy, NipSprzedawcy);
    EXPECT_EQ(wygasle.kod, 400);
    EXPECT_EQ(wygasle.kodWyjatku(), 21111);
    EXPECT_EQ(uwierzytelnij(TokenTestowy, NipSprzedawcy).kod, 202);  // only the next one
}

TEST_F(SymulatorTest, ZasobyChronioneTokenem) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    ASSERT_FALSE(s.numer.isEmpty());
    for (const QString& bearer : {QString(), QStringLiteral("zly.token.dostepu")}) {
        for (const QString& sciezka :
             {QStringLiteral("/sessions/") + s.numer, QStringLiteral("/sessions/%1/invoices").arg(s.numer)}) {
            const Odpowiedz odp = klient_->get(sciezka, bearer);
            EXPECT_EQ(odp.kod, 401) << sciezka.toStdString();
            EXPECT_EQ(odp.json()[u"status"].toInt(), 401);
            EXPECT_TRUE(odp.typ.startsWith("application/problem+json"));
        }
    }
    EXPECT_EQ(klient_->get(QStringLiteral("/sessions/") + s.numer, token).kod, 200);
}

// ---- a session with one invoice ----

TEST_F(SymulatorTest, SesjaZJednaFakturaDoUpo) {
    symulator_.ustawOpoznienie(2);
    const QString token = dostep();
    const Sesja s = otworz(token);
    ASSERT_FALSE(s.numer.isEmpty()) << ostatnia_.cialo.constData();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d{8}-SO-[0-9A-F]{10}-[0-9A-F]{10}-[0-9A-F]{2}$)"))
                    .match(s.numer)
                    .hasMatch());
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    const Odpowiedz wyslana = wyslij(s, faktura(s, xml), token);
    ASSERT_EQ(wyslana.kod, 202) << wyslana.cialo.constData();
    const QString numerFaktury = wyslana.json()[u"referenceNumber"].toString();

    QList<int> kody;
    const QJsonObject stan = rozstrzygnij(s, numerFaktury, token, &kody);
    EXPECT_EQ(kody, (QList<int>{100, 150, 200}));
    const QString numerKsef = stan[u"ksefNumber"].toString();
    EXPECT_TRUE(PoprawnyNumerKsef(numerKsef)) << numerKsef.toStdString();
    EXPECT_TRUE(numerKsef.startsWith(NipSprzedawcy + u'-')) << numerKsef.toStdString();
    EXPECT_EQ(stan[u"invoiceHash"].toString(), Skrot(xml));
    EXPECT_EQ(stan[u"invoiceNumber"].toString(), QStringLiteral("7/2026"));
    EXPECT_TRUE(QDateTime::fromString(stan[u"acquisitionDate"].toString(), Qt::ISODateWithMs).isValid());

    // A client resuming after a crash finds the invoice by its hash.
    const QJsonArray lista = klient_->get(QStringLiteral("/sessions/%1/invoices").arg(s.numer), token)
                                 .json()[u"invoices"]
                                 .toArray();
    ASSERT_EQ(lista.size(), 1);
    EXPECT_EQ(lista[0][u"invoiceHash"].toString(), Skrot(xml));
    EXPECT_EQ(lista[0][u"referenceNumber"].toString(), numerFaktury);
    EXPECT_EQ(lista[0][u"ksefNumber"].toString(), numerKsef);
    EXPECT_TRUE(klient_->get(QStringLiteral("/sessions/%1/invoices/failed").arg(s.numer), token)
                    .json()[u"invoices"]
                    .toArray()
                    .isEmpty());

    const symulator::SchematXml schematUpo(QStringLiteral(SCHEMAT_UPO), {});
    ASSERT_TRUE(schematUpo.wczytany());
    for (const QString& sciezka :
         {QStringLiteral("/sessions/%1/invoices/%2/upo").arg(s.numer, numerFaktury),
          QStringLiteral("/sessions/%1/invoices/ksef/%2/upo").arg(s.numer, numerKsef)}) {
        const Odpowiedz upo = klient_->get(sciezka, token);
        ASSERT_EQ(upo.kod, 200) << sciezka.toStdString();
        EXPECT_EQ(schematUpo.waliduj(upo.cialo), QStringList()) << upo.cialo.constData();
        EXPECT_TRUE(upo.cialo.contains(numerKsef.toLatin1()));
        EXPECT_TRUE(upo.cialo.contains(Skrot(xml).toLatin1()));
    }

    EXPECT_EQ(
        klient_->zadanie("POST", QStringLiteral("/sessions/online/%1/close").arg(s.numer), {}, token).kod,
        204);
    EXPECT_EQ(wyslij(s, faktura(s, ZNumerem(xml, QStringLiteral("8/2026"))), token).kodWyjatku(), 21180);
    QJsonObject sesja;
    kody.clear();
    for (int i = 0; i < 5 && sesja[u"status"][u"code"].toInt() != 200; ++i) {
        sesja = klient_->get(QStringLiteral("/sessions/") + s.numer, token).json();
        kody << sesja[u"status"][u"code"].toInt();
    }
    EXPECT_EQ(kody, (QList<int>{170, 170, 200}));
    EXPECT_EQ(sesja[u"invoiceCount"].toInt(), 1);
    EXPECT_EQ(sesja[u"successfulInvoiceCount"].toInt(), 1);
    EXPECT_EQ(sesja[u"failedInvoiceCount"].toInt(), 0);
    const QJsonObject strona = sesja[u"upo"][u"pages"][0].toObject();
    const Odpowiedz pobrane = klient_->get(strona[u"downloadUrl"].toString());  // no token, as KSeF's storage
    ASSERT_EQ(pobrane.kod, 200);
    EXPECT_EQ(schematUpo.waliduj(pobrane.cialo), QStringList()) << pobrane.cialo.constData();
    const Odpowiedz przezApi = klient_->get(
        QStringLiteral("/sessions/%1/upo/%2").arg(s.numer, strona[u"referenceNumber"].toString()), token);
    EXPECT_EQ(przezApi.cialo, pobrane.cialo);

    const auto odebrane = symulator_.faktury();
    ASSERT_EQ(odebrane.size(), 1u);
    EXPECT_EQ(odebrane[0].xml, xml);
    EXPECT_EQ(odebrane[0].numerKsef, numerKsef);
    EXPECT_EQ(odebrane[0].kod, 200);
    EXPECT_EQ(symulator_.ileZadan(QStringLiteral("^/sessions/online/[^/]+/invoices$")), 2);
}

TEST_F(SymulatorTest, PrzykladoweFakturyWJednejSesji) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    struct Przypadek {
        const char* plik;
        int kod;
    };
    // The second and third samples share seller, kind and number: the third is a duplicate.
    const Przypadek przypadki[] = {
        {"FA_3_Przykład_1.xml", 200}, {"FA_3_Przykład_2.xml", 200}, {"FA_3_Przykład_3.xml", 440},
        {"minimal_KOR.xml", 200},     {"minimal_VAT.xml", 200},
    };
    QStringList numeryKsef;
    for (const auto& p : przypadki) {
        const Odpowiedz odp = wyslij(s, faktura(s, Przyklad(QString::fromUtf8(p.plik))), token);
        ASSERT_EQ(odp.kod, 202) << p.plik;
        const QJsonObject stan = rozstrzygnij(s, odp.json()[u"referenceNumber"].toString(), token);
        EXPECT_EQ(stan[u"status"][u"code"].toInt(), p.kod)
            << p.plik << ": " << QJsonDocument(stan).toJson().constData();
        if (p.kod == 200) numeryKsef << stan[u"ksefNumber"].toString();
    }
    EXPECT_EQ(QSet<QString>(numeryKsef.begin(), numeryKsef.end()).size(),
              numeryKsef.size());  // all different

    ASSERT_EQ(
        klient_->zadanie("POST", QStringLiteral("/sessions/online/%1/close").arg(s.numer), {}, token).kod,
        204);
    const QJsonObject sesja = klient_->get(QStringLiteral("/sessions/") + s.numer, token).json();
    EXPECT_EQ(sesja[u"status"][u"code"].toInt(), 200);
    EXPECT_EQ(sesja[u"invoiceCount"].toInt(), 5);
    EXPECT_EQ(sesja[u"successfulInvoiceCount"].toInt(), 4);
    EXPECT_EQ(sesja[u"failedInvoiceCount"].toInt(), 1);
    const Odpowiedz upo = klient_->get(sesja[u"upo"][u"pages"][0][u"downloadUrl"].toString());
    ASSERT_EQ(upo.kod, 200);
    EXPECT_EQ(symulator::SchematXml(QStringLiteral(SCHEMAT_UPO), {}).waliduj(upo.cialo), QStringList());
    EXPECT_EQ(upo.cialo.count("<Dokument>"), 4);
    for (const QString& numer : numeryKsef) EXPECT_TRUE(upo.cialo.contains(numer.toLatin1()));

    // A session closed without invoices ends as cancelled, with no UPO.
    const Sesja pusta = otworz(token);
    ASSERT_EQ(
        klient_->zadanie("POST", QStringLiteral("/sessions/online/%1/close").arg(pusta.numer), {}, token).kod,
        204);
    const QJsonObject anulowana = klient_->get(QStringLiteral("/sessions/") + pusta.numer, token).json();
    EXPECT_EQ(anulowana[u"status"][u"code"].toInt(), 440);
    EXPECT_FALSE(anulowana.contains(QLatin1String("upo")));
}

TEST_F(SymulatorTest, ListaFakturStronamiISesjaBezKlucza) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    QStringList skroty;
    for (int i = 1; i <= 12; ++i) {
        const QByteArray faktura_i = ZNumerem(xml, QStringLiteral("%1/S/2026").arg(i));
        skroty << Skrot(faktura_i);
        ASSERT_EQ(wyslij(s, faktura(s, faktura_i), token).kod, 202);
    }
    const QString sciezka = QStringLiteral("/sessions/%1/invoices?pageSize=10").arg(s.numer);
    const QJsonObject pierwsza = klient_->get(sciezka, token).json();
    ASSERT_EQ(pierwsza[u"invoices"].toArray().size(), 10);
    const QByteArray kontynuacja = pierwsza[u"continuationToken"].toString().toLatin1();
    ASSERT_FALSE(kontynuacja.isEmpty());
    const QJsonObject druga = klient_->zadanie("GET", sciezka, {}, token, {}, kontynuacja).json();
    ASSERT_EQ(druga[u"invoices"].toArray().size(), 2);
    EXPECT_FALSE(druga.contains(QLatin1String("continuationToken")));
    QStringList widziane;
    for (const QJsonObject& strona : {pierwsza, druga})
        for (const auto& f : strona[u"invoices"].toArray()) widziane << f[u"invoiceHash"].toString();
    EXPECT_EQ(widziane, skroty);
    EXPECT_EQ(klient_->zadanie("GET", sciezka, {}, token, {}, "nie-liczba").kodWyjatku(), 21418);
    EXPECT_EQ(
        klient_->get(QStringLiteral("/sessions/20261209-SO-0000000000-0000000000-00"), token).kodWyjatku(),
        21173);

    // A symmetric key encrypted for some other key: the session opens, but takes no invoice.
    const Sesja bezKlucza = otworz(token, StworzCertyfikat(OpisCertyfikatu{}).certyfikatDer);
    ASSERT_FALSE(bezKlucza.numer.isEmpty());
    EXPECT_EQ(klient_->get(QStringLiteral("/sessions/") + bezKlucza.numer, token)
                  .json()[u"status"][u"code"]
                  .toInt(),
              415);
    const Odpowiedz odmowa = wyslij(bezKlucza, faktura(bezKlucza, xml), token);
    EXPECT_EQ(odmowa.kodWyjatku(), 21180);
}

// ---- what the invoice checks refuse ----

TEST_F(SymulatorTest, ZlySkrotLubRozmiarFaktury) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    struct Przypadek {
        const char* opis;
        const char* pole;
        QJsonValue wartosc;
        int kod;
    };
    const Przypadek przypadki[] = {
        {"skrót faktury", "invoiceHash", Skrot("inna treść"), 21403},
        {"rozmiar faktury", "invoiceSize", xml.size() + 1, 21402},
        {"skrót zaszyfrowanej", "encryptedInvoiceHash", Skrot("inna treść"), 21403},
        {"rozmiar zaszyfrowanej", "encryptedInvoiceSize", 16, 21402},
        {"na żądanie testu", nullptr, {}, 21403},
    };
    for (const auto& p : przypadki) {
        QJsonObject cialo = faktura(s, xml);
        if (p.pole)
            cialo[QLatin1String(p.pole)] = p.wartosc;
        else
            symulator_.awaria(AwariaSymulatora::ZlySkrotFaktury);
        const Odpowiedz odp = wyslij(s, cialo, token);
        EXPECT_EQ(odp.kod, 400) << p.opis;
        EXPECT_EQ(odp.kodWyjatku(), p.kod) << p.opis;
    }
    EXPECT_TRUE(symulator_.faktury().empty());
    EXPECT_GE(symulator_.bledy().size(), 5);
    EXPECT_EQ(wyslij(s, faktura(s, xml), token).kod, 202);  // the failure asked for was used up
}

TEST_F(SymulatorTest, FakturyOdrzuconePoPrzyjeciu) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    QByteArray bezNumeru = xml;
    bezNumeru.replace("<P_2>7/2026</P_2>", "");
    QByteArray innySprzedawca = ZNumerem(xml, QStringLiteral("13/2026"));
    innySprzedawca.replace("<NIP>9999999999</NIP>", "<NIP>5265877635</NIP>");
    struct Przypadek {
        const char* opis;
        QByteArray xml;
        std::optional<AwariaSymulatora> awaria;
        int kod;
    };
    const Przypadek przypadki[] = {
        {"niezgodna ze schematem", bezNumeru, {}, 450},
        {"nie XML", QByteArray("<Faktura><P_2>1</Faktura>"), {}, 430},
        {"znak BOM", "\xEF\xBB\xBF" + ZNumerem(xml, QStringLiteral("10/2026")), {}, 430},
        {"data wystawienia w przyszłości",
         ZNumerem(xml, QStringLiteral("11/2026")).replace("<P_1>2026-11-20</P_1>", "<P_1>2099-01-01</P_1>"),
         {},
         450},
        {"odrzucona na żądanie testu", ZNumerem(xml, QStringLiteral("12/2026")),
         AwariaSymulatora::OdrzucenieFaktury, 450},
        {"sprzedawca spoza kontekstu", innySprzedawca, {}, 410},
    };
    for (const auto& p : przypadki) {
        if (p.awaria) symulator_.awaria(*p.awaria);
        const Odpowiedz odp = wyslij(s, faktura(s, p.xml), token);
        ASSERT_EQ(odp.kod, 202) << p.opis;
        const QJsonObject stan = rozstrzygnij(s, odp.json()[u"referenceNumber"].toString(), token);
        EXPECT_EQ(stan[u"status"][u"code"].toInt(), p.kod) << p.opis;
        EXPECT_FALSE(stan[u"status"][u"details"].toArray().isEmpty()) << p.opis;
        EXPECT_FALSE(stan.contains(QLatin1String("ksefNumber"))) << p.opis;
    }
    const QJsonArray bledne = klient_->get(QStringLiteral("/sessions/%1/invoices/failed").arg(s.numer), token)
                                  .json()[u"invoices"]
                                  .toArray();
    EXPECT_EQ(bledne.size(), static_cast<qsizetype>(std::size(przypadki)));
    for (const auto& f : symulator_.faktury()) EXPECT_TRUE(f.numerKsef.isEmpty());
}

TEST_F(SymulatorTest, DuplikatFaktury) {
    const QString token = dostep();
    const Sesja pierwsza = otworz(token);
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    const Odpowiedz a = wyslij(pierwsza, faktura(pierwsza, xml), token);
    const QJsonObject oryginal = rozstrzygnij(pierwsza, a.json()[u"referenceNumber"].toString(), token);
    ASSERT_EQ(oryginal[u"status"][u"code"].toInt(), 200);

    // The same seller, kind and number again, in another session: KSeF keeps the first.
    const Sesja druga = otworz(token);
    const Odpowiedz b = wyslij(druga, faktura(druga, xml), token);
    const QJsonObject duplikat = rozstrzygnij(druga, b.json()[u"referenceNumber"].toString(), token);
    EXPECT_EQ(duplikat[u"status"][u"code"].toInt(), 440);
    EXPECT_EQ(duplikat[u"status"][u"extensions"][u"originalKsefNumber"].toString(),
              oryginal[u"ksefNumber"].toString());
    EXPECT_EQ(duplikat[u"status"][u"extensions"][u"originalSessionReferenceNumber"].toString(),
              pierwsza.numer);

    // Asked for: a new number is reported as sent before, with a well-formed original.
    symulator_.awaria(AwariaSymulatora::DuplikatFaktury);
    const Odpowiedz c = wyslij(druga, faktura(druga, ZNumerem(xml, QStringLiteral("99/2026"))), token);
    const QJsonObject wymuszony = rozstrzygnij(druga, c.json()[u"referenceNumber"].toString(), token);
    EXPECT_EQ(wymuszony[u"status"][u"code"].toInt(), 440);
    EXPECT_TRUE(PoprawnyNumerKsef(wymuszony[u"status"][u"extensions"][u"originalKsefNumber"].toString()));
    ASSERT_EQ(symulator_.faktury().size(), 3u);
    EXPECT_EQ(symulator_.faktury()[1].kod, 440);
}

// The mode KSeF gives an invoice: offline when declared so, and when it is issued on an earlier day
// than it arrives, even if sent as online.
TEST_F(SymulatorTest, TrybFakturowaniaZDeklaracjiIDatyWystawienia) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    const QString dzis =
        QDateTime::currentDateTimeUtc().toTimeZone(QTimeZone("Europe/Warsaw")).date().toString(Qt::ISODate);
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    const QByteArray dzisiejsza =
        QByteArray(xml).replace("<P_1>2026-11-20</P_1>", "<P_1>" + dzis.toUtf8() + "</P_1>");
    struct Przypadek {
        const char* opis;
        QByteArray xml;
        bool offlineMode;
        const char* tryb;
    };
    const Przypadek przypadki[] = {
        {"wystawiona dziś, online", ZNumerem(dzisiejsza, QStringLiteral("20/2026")), false, "Online"},
        {"wystawiona dziś, zadeklarowana offline", ZNumerem(dzisiejsza, QStringLiteral("21/2026")), true,
         "Offline"},
        {"wystawiona wcześniej, wysłana jako online", ZNumerem(xml, QStringLiteral("22/2026")), false,
         "Offline"},
    };
    for (const auto& p : przypadki) {
        QJsonObject cialo = faktura(s, p.xml);
        if (p.offlineMode) cialo.insert(QStringLiteral("offlineMode"), true);
        const Odpowiedz odp = wyslij(s, cialo, token);
        ASSERT_EQ(odp.kod, 202) << p.opis << odp.cialo.constData();
        const QJsonObject stan = rozstrzygnij(s, odp.json()[u"referenceNumber"].toString(), token);
        EXPECT_EQ(stan[u"status"][u"code"].toInt(), 200) << p.opis;
        EXPECT_EQ(stan[u"invoicingMode"].toString(), QString::fromLatin1(p.tryb)) << p.opis;
        EXPECT_EQ(symulator_.faktury().back().offlineMode, p.offlineMode) << p.opis;
        EXPECT_EQ(symulator_.faktury().back().offline, p.tryb == std::string_view("Offline")) << p.opis;
    }
}

// A technical correction is taken only for a rejected offline invoice of the seller with no
// accepted correction yet, and only with offlineMode; the one taken is linked to what it corrects.
TEST_F(SymulatorTest, KorektaTechnicznaFakturyOffline) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    const QString dzis =
        QDateTime::currentDateTimeUtc().toTimeZone(QTimeZone("Europe/Warsaw")).date().toString(Qt::ISODate);
    const QByteArray xml = Przyklad(QStringLiteral("minimal_VAT.xml"));
    // Sent and settled; returns the invoice's hash.
    const auto wyslana = [&](const QByteArray& bajty, bool offline, bool odrzucona) {
        if (odrzucona) symulator_.awaria(AwariaSymulatora::OdrzucenieFaktury);
        QJsonObject cialo = faktura(s, bajty);
        if (offline) cialo.insert(QStringLiteral("offlineMode"), true);
        const Odpowiedz odp = wyslij(s, cialo, token);
        EXPECT_EQ(odp.kod, 202) << odp.cialo.constData();
        const QJsonObject stan = rozstrzygnij(s, odp.json()[u"referenceNumber"].toString(), token);
        EXPECT_EQ(stan[u"status"][u"code"].toInt(), odrzucona ? 450 : 200);
        return Skrot(bajty);
    };
    const QByteArray pierwotna = ZNumerem(xml, QStringLiteral("30/2026"));
    const QString odrzuconaOffline = wyslana(pierwotna, true, true);
    const QString przyjeta = wyslana(ZNumerem(xml, QStringLiteral("31/2026")), true, false);
    const QString odrzuconaOnline =
        wyslana(ZNumerem(xml, QStringLiteral("32/2026"))
                    .replace("<P_1>2026-11-20</P_1>", "<P_1>" + dzis.toUtf8() + "</P_1>"),
                false, true);
    // The same invoice made again: other bytes, the same content.
    const QByteArray poprawiona = QByteArray(pierwotna).replace("<DataWytworzeniaFa>2026-12-07T12:00:00Z",
                                                                "<DataWytworzeniaFa>2026-12-08T12:00:00Z");
    ASSERT_NE(Skrot(poprawiona), odrzuconaOffline);
    const size_t przedKorektami = symulator_.faktury().size();

    struct Przypadek {
        const char* opis;
        QString skrot;
        bool offline;
        int kodWyjatku;  // 0: taken
    };
    const Przypadek przypadki[] = {
        {"bez offlineMode", odrzuconaOffline, false, 21405},
        {"nieznany skrót", Skrot("nic takiego"), true, 21405},
        {"to nie skrót", QStringLiteral("AAAA"), true, 21405},
        {"faktura przyjęta", przyjeta, true, 21167},
        {"odrzucona, ale online", odrzuconaOnline, true, 21405},
        {"odrzucona offline", odrzuconaOffline, true, 0},
        {"już skorygowana", odrzuconaOffline, true, 21166},
    };
    for (const auto& p : przypadki) {
        QJsonObject cialo = faktura(
            s, p.kodWyjatku == 21166 ? QByteArray(poprawiona).replace("12:00:00Z", "13:00:00Z") : poprawiona);
        if (p.offline) cialo.insert(QStringLiteral("offlineMode"), true);
        cialo.insert(QStringLiteral("hashOfCorrectedInvoice"), p.skrot);
        const Odpowiedz odp = wyslij(s, cialo, token);
        if (p.kodWyjatku != 0) {
            EXPECT_EQ(odp.kod, 400) << p.opis;
            EXPECT_EQ(odp.kodWyjatku(), p.kodWyjatku) << p.opis << odp.cialo.constData();
            continue;
        }
        ASSERT_EQ(odp.kod, 202) << p.opis << odp.cialo.constData();
        const QJsonObject stan = rozstrzygnij(s, odp.json()[u"referenceNumber"].toString(), token);
        EXPECT_EQ(stan[u"status"][u"code"].toInt(), 200);
        EXPECT_EQ(stan[u"invoicingMode"].toString(), QStringLiteral("Offline"));
    }
    // Only the one correction taken, linked to the rejected offline invoice.
    const auto odebrane = symulator_.faktury();
    ASSERT_EQ(odebrane.size(), przedKorektami + 1);
    const OdebranaFaktura& korekta = odebrane.back();
    EXPECT_EQ(korekta.hashOfCorrectedInvoice, odrzuconaOffline);
    EXPECT_TRUE(korekta.offlineMode);
    ASSERT_GE(korekta.korygowana, 0);
    EXPECT_EQ(odebrane[static_cast<size_t>(korekta.korygowana)].skrot, odrzuconaOffline);
    EXPECT_EQ(odebrane[static_cast<size_t>(korekta.korygowana)].kod, 450);
    for (size_t i = 0; i + 1 < odebrane.size(); ++i) EXPECT_EQ(odebrane[i].korygowana, -1);
}

TEST_F(SymulatorTest, NieczytelneTresciZadan) {
    const QString token = dostep();
    const Sesja s = otworz(token);
    const QString faktury = QStringLiteral("/sessions/online/%1/invoices").arg(s.numer);
    struct Przypadek {
        const char* opis;
        QString sciezka;
        QByteArray cialo;
        bool zTokenem;
        int kod;
    };
    const Przypadek przypadki[] = {
        {"token KSeF: nie JSON", QStringLiteral("/auth/ksef-token"), "{", false, 21405},
        {"token KSeF: tablica", QStringLiteral("/auth/ksef-token"), "[]", false, 21405},
        {"token KSeF: bez kontekstu", QStringLiteral("/auth/ksef-token"),
         R"j({"challenge":"x","encryptedToken":"AAAA"})j", false, 21405},
        {"sesja: inny formularz", QStringLiteral("/sessions/online"),
         R"j({"formCode":{"systemCode":"FA (2)","schemaVersion":"1-0E","value":"FA"},"encryption":{}})j",
         true, 21405},
        {"sesja: IV za krótki", QStringLiteral("/sessions/online"),
         R"j({"formCode":{"systemCode":"FA (3)","schemaVersion":"1-0E","value":"FA"},)j"
         R"j("encryption":{"encryptedSymmetricKey":"AAAA","initializationVector":"AAAA"}})j",
         true, 21405},
        {"faktura: rozmiar tekstem", faktury,
         R"j({"invoiceHash":"x","invoiceSize":"duzo","encryptedInvoiceHash":"x","encryptedInvoiceSize":1,)j"
         R"j("encryptedInvoiceContent":"AAAA"})j",
         true, 21405},
        {"XAdES: nie XML", QStringLiteral("/auth/xades-signature"), "<a", false, 21001},
        {"XAdES: inny dokument", QStringLiteral("/auth/xades-signature"), "<Inny/>", false, 21401},
    };
    for (const auto& p : przypadki) {
        const bool xml = p.sciezka.endsWith(QLatin1String("xades-signature"));
        const Odpowiedz odp = klient_->zadanie("POST", p.sciezka, p.cialo, p.zTokenem ? token : QString(),
                                               xml ? "application/xml" : "application/json");
        EXPECT_EQ(odp.kod, 400) << p.opis;
        EXPECT_EQ(odp.kodWyjatku(), p.kod) << p.opis << ": " << odp.cialo.constData();
    }
    // Closing twice: the second is refused.
    EXPECT_EQ(
        klient_->zadanie("POST", QStringLiteral("/sessions/online/%1/close").arg(s.numer), {}, token).kod,
        204);
    EXPECT_EQ(klient_->zadanie("POST", QStringLiteral("/sessions/online/%1/close").arg(s.numer), {}, token)
                  .kodWyjatku(),
              21180);
    EXPECT_TRUE(symulator_.faktury().empty());
}

// ---- failures of the transport and of the keys ----

TEST_F(SymulatorTest, AwarieTransportu) {
    symulator_.retryAfterSekund(7);
    symulator_.awaria(AwariaSymulatora::ZaDuzoZadan, 2, QStringLiteral("^/auth/challenge$"));
    for (int i = 0; i < 2; ++i) {
        const Odpowiedz odp = klient_->post(QStringLiteral("/auth/challenge"), {});
        EXPECT_EQ(odp.kod, 429);
        EXPECT_EQ(odp.retryAfter, "7");
        EXPECT_EQ(odp.json()[u"status"][u"code"].toInt(), 429);
    }
    EXPECT_EQ(klient_->get(QStringLiteral("/security/public-key-certificates")).kod, 200);  // another path
    EXPECT_EQ(klient_->post(QStringLiteral("/auth/challenge"), {}).kod, 200);

    symulator_.kodBleduSerwera(503);
    symulator_.awaria(AwariaSymulatora::BladSerwera);
    EXPECT_EQ(klient_->post(QStringLiteral("/auth/challenge"), {}).kod, 503);

    // The request is done, its answer lost: the invoice is in, the client does not know it. A raw
    // socket here, since Qt's own HTTP would quietly send the request again.
    const QString token = dostep();
    const Sesja s = otworz(token);
    symulator_.awaria(AwariaSymulatora::ZerwanePolaczenie, 1, QStringLiteral("/invoices$"));
    const QByteArray cialo =
        QJsonDocument(faktura(s, Przyklad(QStringLiteral("minimal_VAT.xml")))).toJson(QJsonDocument::Compact);
    QTcpSocket gniazdo;
    gniazdo.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(symulator_.adres().port()));
    ASSERT_TRUE(gniazdo.waitForConnected(5000));
    gniazdo.write("POST /v2/sessions/online/" + s.numer.toLatin1() +
                  "/invoices HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token.toLatin1() +
                  "\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(cialo.size()) + "\r\n\r\n" + cialo);
    QByteArray odebrane;
    while (gniazdo.state() == QAbstractSocket::ConnectedState && gniazdo.waitForReadyRead(5000))
        odebrane += gniazdo.readAll();
    odebrane += gniazdo.readAll();
    EXPECT_TRUE(odebrane.isEmpty()) << odebrane.constData();
    EXPECT_NE(gniazdo.state(), QAbstractSocket::ConnectedState);
    ASSERT_EQ(symulator_.faktury().size(), 1u);
    EXPECT_EQ(symulator_.faktury()[0].kod, 200);
    // The next request on a new connection is answered again.
    EXPECT_EQ(klient_->get(QStringLiteral("/sessions/") + s.numer, token).kod, 200);
    EXPECT_EQ(symulator_.ileZadan(QStringLiteral("^/auth/challenge$")), 5);
}

TEST_F(SymulatorTest, ZmianaKluczaPublicznego) {
    const QString token = dostep();
    const Klucze stare = klucze();
    symulator_.awaria(AwariaSymulatora::ZmianaKlucza);
    const Klucze nowe = klucze();
    EXPECT_NE(stare.doSesji, nowe.doSesji);
    EXPECT_NE(stare.doTokena, nowe.doTokena);
    EXPECT_TRUE(otworz(token, stare.doSesji).numer.isEmpty());
    EXPECT_EQ(ostatnia_.kod, 400);
    EXPECT_EQ(ostatnia_.kodWyjatku(), 21470);
    EXPECT_FALSE(otworz(token, nowe.doSesji).numer.isEmpty());

    const Odpowiedz tokenStarymKluczem =
        uwierzytelnij(TokenTestowy, NipSprzedawcy, nullptr, {}, stare.doTokena);
    EXPECT_EQ(tokenStarymKluczem.kod, 400);
    EXPECT_EQ(tokenStarymKluczem.kodWyjatku(), 21470);
    EXPECT_EQ(uwierzytelnij(TokenTestowy, NipSprzedawcy, nullptr, {}, nowe.doTokena).kod, 202);
}

// ---- XAdES: signed here with xmlsec, as a client would ----

struct Podpisujacy {
    CertyfikatTestowy certyfikat;
    QByteArray certyfikatWSigningCertificate;  // DER; the signer's own unless a test spoils it
};

QByteArray PodpiszXades(const QString& wyzwanie, const QString& nip, const Podpisujacy& p, bool ec,
                        const QByteArray& rodzajIdentyfikatora = "certificateSubject") {
    symulator::InicjujBibliotekiXml();
    const QByteArray skrotCertyfikatu =
        QCryptographicHash::hash(p.certyfikatWSigningCertificate.isEmpty() ? p.certyfikat.certyfikatDer
                                                                           : p.certyfikatWSigningCertificate,
                                 QCryptographicHash::Sha256)
            .toBase64();
    const QByteArray metoda = ec ? "http://www.w3.org/2001/04/xmldsig-more#ecdsa-sha256"
                                 : "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256";
    const QByteArray szablon =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<AuthTokenRequest xmlns=\"http://ksef.mf.gov.pl/auth/token/2.0\">"
        "<Challenge>" +
        wyzwanie.toLatin1() +
        "</Challenge>"
        "<ContextIdentifier><Nip>" +
        nip.toLatin1() +
        "</Nip></ContextIdentifier>"
        "<SubjectIdentifierType>" +
        rodzajIdentyfikatora +
        "</SubjectIdentifierType>"
        "<ds:Signature xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\" Id=\"Podpis\"><ds:SignedInfo>"
        "<ds:CanonicalizationMethod Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/>"
        "<ds:SignatureMethod Algorithm=\"" +
        metoda +
        "\"/>"
        "<ds:Reference URI=\"\"><ds:Transforms>"
        "<ds:Transform Algorithm=\"http://www.w3.org/2000/09/xmldsig#enveloped-signature\"/>"
        "<ds:Transform Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/></ds:Transforms>"
        "<ds:DigestMethod "
        "Algorithm=\"http://www.w3.org/2001/04/xmlenc#sha256\"/><ds:DigestValue/></ds:Reference>"
        "<ds:Reference URI=\"#Wlasciwosci\" "
        "Type=\"http://uri.etsi.org/01903#SignedProperties\"><ds:Transforms>"
        "<ds:Transform Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/></ds:Transforms>"
        "<ds:DigestMethod "
        "Algorithm=\"http://www.w3.org/2001/04/xmlenc#sha256\"/><ds:DigestValue/></ds:Reference>"
        "</ds:SignedInfo><ds:SignatureValue/>"
        "<ds:KeyInfo><ds:X509Data><ds:X509Certificate>" +
        p.certyfikat.certyfikatDer.toBase64() +
        "</ds:X509Certificate></ds:X509Data></ds:KeyInfo>"
        "<ds:Object><xades:QualifyingProperties xmlns:xades=\"http://uri.etsi.org/01903/v1.3.2#\" "
        "Target=\"#Podpis\">"
        "<xades:SignedProperties Id=\"Wlasciwosci\"><xades:SignedSignatureProperties>"
        "<xades:SigningTime>" +
        QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() +
        "</xades:SigningTime>"
        "<xades:SigningCertificate><xades:Cert><xades:CertDigest>"
        "<ds:DigestMethod Algorithm=\"http://www.w3.org/2001/04/xmlenc#sha256\"/>"
        "<ds:DigestValue>" +
        skrotCertyfikatu +
        "</ds:DigestValue></xades:CertDigest></xades:Cert>"
        "</xades:SigningCertificate></xades:SignedSignatureProperties></xades:SignedProperties>"
        "</xades:QualifyingProperties></ds:Object></ds:Signature></AuthTokenRequest>";

    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> dok(
        xmlReadMemory(szablon.constData(), static_cast<int>(szablon.size()), "podpis.xml", nullptr,
                      XML_PARSE_NONET),
        &xmlFreeDoc);
    if (!dok) return {};
    xmlNode* podpis = nullptr;
    for (xmlNode* n = xmlDocGetRootElement(dok.get())->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE && xmlStrcmp(n->name, BAD_CAST "Signature") == 0) podpis = n;
    if (!podpis) return {};
    // The Id of SignedProperties must be known as an XML ID for "#Wlasciwosci" to resolve.
    xmlNode* wlasciwosci = podpis->last->children->children;
    xmlAttr* id = xmlHasProp(wlasciwosci, BAD_CAST "Id");
    xmlAddID(nullptr, dok.get(), BAD_CAST "Wlasciwosci", id);
    xmlAddID(nullptr, dok.get(), BAD_CAST "Podpis", xmlHasProp(podpis, BAD_CAST "Id"));

    xmlSecDSigCtx* kontekst = xmlSecDSigCtxCreate(nullptr);
    kontekst->signKey =
        xmlSecCryptoAppKeyLoadMemory(reinterpret_cast<const xmlSecByte*>(p.certyfikat.kluczPem.constData()),
                                     static_cast<xmlSecSize>(p.certyfikat.kluczPem.size()),
                                     xmlSecKeyDataFormatPem, nullptr, nullptr, nullptr);
    const bool podpisany = kontekst->signKey && xmlSecDSigCtxSign(kontekst, podpis) == 0;
    xmlSecDSigCtxDestroy(kontekst);
    if (!podpisany) return {};
    xmlChar* bufor = nullptr;
    int dlugosc = 0;
    xmlDocDumpMemoryEnc(dok.get(), &bufor, &dlugosc, "UTF-8");
    const QByteArray wynik(reinterpret_cast<const char*>(bufor), dlugosc);
    xmlFree(bufor);
    return wynik;
}

TEST_F(SymulatorTest, UwierzytelnieniePodpisemXades) {
    const auto certyfikat = [](const QString& nip, RodzajKlucza rodzaj, int dniWaznosci) {
        OpisCertyfikatu opis;
        opis.rodzaj = rodzaj;
        opis.nip = nip;
        if (dniWaznosci < 0) {
            opis.od = QDateTime::currentDateTimeUtc().addDays(-30);
            opis.do_ = QDateTime::currentDateTimeUtc().addDays(dniWaznosci);
        }
        return StworzCertyfikat(opis);
    };
    const CertyfikatTestowy wlasciwy = certyfikat(NipSprzedawcy, RodzajKlucza::Rsa2048, 1);
    const CertyfikatTestowy inny = certyfikat(NipSprzedawcy, RodzajKlucza::Rsa2048, 1);
    enum class Psucie { Nic, TrescPoPodpisie, ObcySigningCertificate, BezPodpisu };
    struct Przypadek {
        const char* opis;
        Podpisujacy podpisujacy;
        bool ec;
        Psucie psucie;
        int kodHttp;
        int kod;  // the ExceptionCode of a 400, or the authentication's final status
    };
    const Przypadek przypadki[] = {
        {"RSA, NIP kontekstu", {wlasciwy, {}}, false, Psucie::Nic, 202, 200},
        {"EC P-256", {certyfikat(NipSprzedawcy, RodzajKlucza::EcP256, 1), {}}, true, Psucie::Nic, 202, 200},
        {"certyfikat innego NIP",
         {certyfikat(QStringLiteral("1111111111"), RodzajKlucza::Rsa2048, 1), {}},
         false,
         Psucie::Nic,
         202,
         415},
        {"certyfikat wygasły",
         {certyfikat(NipSprzedawcy, RodzajKlucza::Rsa2048, -1), {}},
         false,
         Psucie::Nic,
         202,
         460},
        {"treść zmieniona po podpisie", {wlasciwy, {}}, false, Psucie::TrescPoPodpisie, 400, 9105},
        {"SigningCertificate innego certyfikatu",
         {wlasciwy, inny.certyfikatDer},
         false,
         Psucie::ObcySigningCertificate,
         400,
         9105},
        {"bez podpisu", {wlasciwy, {}}, false, Psucie::BezPodpisu, 400, 9102},
    };
    for (const auto& p : przypadki) {
        const QString wyzwanie =
            klient_->post(QStringLiteral("/auth/challenge"), {}).json()[u"challenge"].toString();
        QByteArray xml = PodpiszXades(wyzwanie, NipSprzedawcy, p.podpisujacy, p.ec);
        ASSERT_FALSE(xml.isEmpty()) << p.opis;
        if (p.psucie == Psucie::TrescPoPodpisie) xml.replace("certificateSubject", "certificateFingerprint");
        if (p.psucie == Psucie::BezPodpisu)
            xml = xml.left(xml.indexOf("<ds:Signature")) + "</AuthTokenRequest>";
        const Odpowiedz start =
            klient_->zadanie("POST", QStringLiteral("/auth/xades-signature"), xml, {}, "application/xml");
        ASSERT_EQ(start.kod, p.kodHttp) << p.opis << ": " << start.cialo.constData();
        if (start.kod == 400) {
            EXPECT_EQ(start.kodWyjatku(), p.kod) << p.opis;
            continue;
        }
        const QString operacja = start.json()[u"authenticationToken"][u"token"].toString();
        const Odpowiedz stan =
            klient_->get(QStringLiteral("/auth/") + start.json()[u"referenceNumber"].toString(), operacja);
        EXPECT_EQ(stan.json()[u"status"][u"code"].toInt(), p.kod) << p.opis << ": " << stan.cialo.constData();
        EXPECT_EQ(klient_->zadanie("POST", QStringLiteral("/auth/token/redeem"), {}, operacja).kod,
                  p.kod == 200 ? 200 : 400)
            << p.opis;
    }

    // Signed as it should be, but not what the authentication schema allows.
    const QString wyzwanie =
        klient_->post(QStringLiteral("/auth/challenge"), {}).json()[u"challenge"].toString();
    const Odpowiedz niezgodny =
        klient_->zadanie("POST", QStringLiteral("/auth/xades-signature"),
                         PodpiszXades(wyzwanie, NipSprzedawcy, {wlasciwy, {}}, false, "certificateName"), {},
                         "application/xml");
    EXPECT_EQ(niezgodny.kod, 400);
    EXPECT_EQ(niezgodny.kodWyjatku(), 21401) << niezgodny.cialo.constData();
}

// ---- the HTTP server itself, on a raw socket ----

// What the server sends back on one connection: until it closes it, or until `odpowiedzi` answers
// came and nothing more follows for a moment.
QByteArray Rozmowa(const SymulatorKsef& symulator, const QList<QByteArray>& kawalki, qsizetype odpowiedzi) {
    QTcpSocket gniazdo;
    gniazdo.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(symulator.adres().port()));
    if (!gniazdo.waitForConnected(5000)) return "brak połączenia";
    for (const QByteArray& kawalek : kawalki) {
        gniazdo.write(kawalek);
        gniazdo.waitForBytesWritten(5000);
        QThread::msleep(20);  // lets the pieces arrive apart
    }
    QByteArray odebrane;
    while (gniazdo.state() == QAbstractSocket::ConnectedState &&
           gniazdo.waitForReadyRead(odebrane.count("HTTP/1.1 ") >= odpowiedzi ? 150 : 10000))
        odebrane += gniazdo.readAll();
    return odebrane + gniazdo.readAll();
}

TEST(SymulatorHttp, PolaczeniaIZleZadania) {
    SymulatorKsef symulator;
    const QByteArray wyzwanie = "POST /v2/auth/challenge HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n";
    struct Przypadek {
        const char* opis;
        QList<QByteArray> kawalki;
        QList<QByteArray> kody;  // status lines' codes, in order
    };
    const Przypadek przypadki[] = {
        {"dwa żądania jednym połączeniem", {wyzwanie, wyzwanie}, {"200", "200"}},
        {"dwa żądania w jednym pakiecie", {wyzwanie + wyzwanie}, {"200", "200"}},
        {"nagłówek i treść w kawałkach",
         {"POST /v2/auth/chall", "enge HTTP/1.1\r\nContent-Le", "ngth: 2\r\n\r\n{", "}"},
         {"200"}},
        {"Connection: close kończy połączenie",
         {"POST /v2/auth/challenge HTTP/1.1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n" + wyzwanie},
         {"200"}},
        {"nie HTTP", {"HELLO\r\n\r\n"}, {"400"}},
        {"treść w kawałkach (chunked)",
         {"POST /v2/auth/challenge HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n"},
         {"411"}},
        {"zła długość", {"POST /v2/auth/challenge HTTP/1.1\r\nContent-Length: -5\r\n\r\n"}, {"400"}},
        {"za długi nagłówek", {"GET /v2/x HTTP/1.1\r\nX: " + QByteArray(70 * 1024, 'a')}, {"431"}},
        {"nieznana ścieżka", {"GET /v2/nie/ma HTTP/1.1\r\n\r\n"}, {"404"}},
        {"zła metoda", {"GET /v2/auth/challenge HTTP/1.1\r\n\r\n"}, {"405"}},
    };
    for (const auto& p : przypadki) {
        const QByteArray odpowiedz = Rozmowa(symulator, p.kawalki, p.kody.size());
        QList<QByteArray> kody;
        for (qsizetype i = odpowiedz.indexOf("HTTP/1.1 "); i >= 0; i = odpowiedz.indexOf("HTTP/1.1 ", i + 1))
            kody << odpowiedz.mid(i + 9, 3);
        EXPECT_EQ(kody, p.kody) << p.opis << ":\n" << odpowiedz.left(600).constData();
    }
}

TEST(SymulatorHttp, PoZniszczeniuNieSlucha) {
    quint16 port = 0;
    QTcpSocket otwarte;  // a connection still open when the simulator goes
    {
        SymulatorKsef symulator;
        port = static_cast<quint16>(symulator.adres().port());
        otwarte.connectToHost(QHostAddress::LocalHost, port);
        ASSERT_TRUE(otwarte.waitForConnected(5000));
    }
    if (otwarte.state() == QAbstractSocket::ConnectedState) otwarte.waitForDisconnected(5000);
    EXPECT_EQ(otwarte.state(), QAbstractSocket::UnconnectedState);
    QTcpSocket gniazdo;
    gniazdo.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(gniazdo.waitForConnected(2000));
}

TEST(SymulatorHttp, SumaKontrolnaNumerow) {
    struct Przypadek {
        const char* dane;
        quint8 crc;
    };
    const Przypadek przypadki[] = {
        {"5265877635-20250826-0100001AF629", 0xAF},  // the guide's example
        {"123456789", 0xF4},                         // CRC-8 (poly 0x07) check value
        {"", 0x00},
    };
    for (const auto& p : przypadki) EXPECT_EQ(symulator::Crc8(QByteArray(p.dane)), p.crc) << p.dane;
}

// ---- the simulator as a process of its own ----

TEST(SymulatorProgram, PodajeAdresIKonczyPoZamknieciuWejscia) {
    QProcess proces;
    proces.start(ProgramBudowy(PROGRAM_SYMULATORA),
                 {QStringLiteral("--token"), QStringLiteral("t1"), QStringLiteral("--nip"), NipSprzedawcy,
                  QStringLiteral("--opoznienie"), QStringLiteral("1")});
    ASSERT_TRUE(proces.waitForStarted(10000));
    while (!proces.canReadLine() && proces.waitForReadyRead(20000)) {
    }
    const QUrl adres(QString::fromUtf8(proces.readLine().trimmed()));
    ASSERT_EQ(adres.host(), QStringLiteral("127.0.0.1")) << adres.toString().toStdString();
    EXPECT_EQ(adres.path(), QStringLiteral("/v2"));
    Klient klient(adres);
    EXPECT_EQ(klient.post(QStringLiteral("/auth/challenge"), {}).kod, 200);
    proces.closeWriteChannel();
    ASSERT_TRUE(proces.waitForFinished(10000));
    EXPECT_EQ(proces.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proces.exitCode(), 0);

    // SIGTERM ends it as well, with its input still open.
    QProcess drugi;
    drugi.start(ProgramBudowy(PROGRAM_SYMULATORA), QStringList{});
    ASSERT_TRUE(drugi.waitForStarted(10000));
    while (!drugi.canReadLine() && drugi.waitForReadyRead(20000)) {
    }
    EXPECT_TRUE(drugi.readLine().startsWith("http://127.0.0.1:"));
    drugi.terminate();
    ASSERT_TRUE(drugi.waitForFinished(10000));
    EXPECT_EQ(drugi.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(drugi.exitCode(), 0);

    // A token without its NIP is a mistake of the caller.
    QProcess bledny;
    bledny.start(ProgramBudowy(PROGRAM_SYMULATORA), {QStringLiteral("--token"), QStringLiteral("t1")});
    ASSERT_TRUE(bledny.waitForFinished(10000));
    EXPECT_EQ(bledny.exitCode(), 2);
}

}  // namespace testy_symulatora
