#include "ksef/xades.h"

// The signature is put together with libxml2 (the tree, exclusive canonicalisation) and computed
// with OpenSSL through kryptografia.h; XML-DSig's own rules (digests of canonical forms, the
// enveloped transform, ECDSA as R‖S) are followed here step by step.
#include <libxml/c14n.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <openssl/bn.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
// xmlsec.h before the other xmlsec headers, which take their types from it.
#include <xmlsec/xmlsec.h>
// Only to set xmlsec up for others; the signing here does not use it.
#include <xmlsec/openssl/app.h>
#include <xmlsec/openssl/crypto.h>

#include <QRegularExpression>
#include <QTimeZone>
#include <memory>

#include "calc/dokument.h"
#include "store/blad.h"

namespace {

constexpr char PrzestrzenAuth[] = "http://ksef.mf.gov.pl/auth/token/2.0";
constexpr char PrzestrzenDs[] = "http://www.w3.org/2000/09/xmldsig#";
constexpr char PrzestrzenXades[] = "http://uri.etsi.org/01903/v1.3.2#";
constexpr char AlgorytmC14n[] = "http://www.w3.org/2001/10/xml-exc-c14n#";
constexpr char AlgorytmOtoczony[] = "http://www.w3.org/2000/09/xmldsig#enveloped-signature";
constexpr char AlgorytmSha256[] = "http://www.w3.org/2001/04/xmlenc#sha256";
constexpr char AlgorytmRsaSha256[] = "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256";
constexpr char AlgorytmEcdsaSha256[] = "http://www.w3.org/2001/04/xmldsig-more#ecdsa-sha256";
constexpr char TypWlasciwosci[] = "http://uri.etsi.org/01903#SignedProperties";

struct ZwolnijDokumentXml {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using DokumentXml = std::unique_ptr<xmlDoc, ZwolnijDokumentXml>;

const xmlChar* ZnakiXml(const char* tekst) { return reinterpret_cast<const xmlChar*>(tekst); }

// libxml2 sets up its global state once, before any thread uses it.
void PrzygotujLibxml() {
    static const bool gotowe = [] {
        xmlInitParser();
        return true;
    }();
    (void)gotowe;
}

// The canonical form of the subtree under `korzen`; of the whole document without comments when
// korzen is null.
struct PoddrzewoC14n {
    xmlNodePtr korzen;
};

int WidocznyWPoddrzewie(void* dane, xmlNodePtr wezel, xmlNodePtr rodzic) {
    const xmlNodePtr korzen = static_cast<PoddrzewoC14n*>(dane)->korzen;
    if (korzen == nullptr) return wezel->type == XML_COMMENT_NODE ? 0 : 1;
    if (wezel->type == XML_COMMENT_NODE) return 0;
    xmlNodePtr n = (wezel->type == XML_NAMESPACE_DECL || wezel->type == XML_ATTRIBUTE_NODE) ? rodzic : wezel;
    for (; n != nullptr; n = n->parent)
        if (n == korzen) return 1;
    return 0;
}

QByteArray PostacKanoniczna(xmlDocPtr dokument, xmlNodePtr korzen) {
    PoddrzewoC14n poddrzewo{korzen};
    xmlOutputBufferPtr bufor = xmlAllocOutputBuffer(nullptr);
    if (bufor == nullptr)
        throw Odmowa(QStringLiteral("Błąd podpisu XAdES: brak pamięci na postać kanoniczną."));
    const int wynik =
        xmlC14NExecute(dokument, &WidocznyWPoddrzewie, &poddrzewo, XML_C14N_EXCLUSIVE_1_0, nullptr, 0, bufor);
    QByteArray tekst;
    if (wynik >= 0)
        tekst = QByteArray(reinterpret_cast<const char*>(xmlOutputBufferGetContent(bufor)),
                           static_cast<qsizetype>(xmlOutputBufferGetSize(bufor)));
    xmlOutputBufferClose(bufor);
    if (wynik < 0)
        throw Odmowa(QStringLiteral("Błąd podpisu XAdES: nie udało się ustalić postaci kanonicznej."));
    return tekst;
}

QByteArray Base64Sha256Xades(const QByteArray& dane) { return Sha256(dane).toBase64(); }

xmlNodePtr DzieckoXml(xmlNodePtr rodzic, xmlNsPtr ns, const char* nazwa, const QByteArray& tekst = {}) {
    // xmlNewTextChild escapes the text (an issuer's name may hold & or <).
    return xmlNewTextChild(rodzic, ns, ZnakiXml(nazwa),
                           tekst.isNull() ? nullptr : ZnakiXml(tekst.constData()));
}

void AlgorytmXml(xmlNodePtr rodzic, xmlNsPtr ds, const char* nazwa, const char* algorytm) {
    xmlNewProp(DzieckoXml(rodzic, ds, nazwa), ZnakiXml("Algorithm"), ZnakiXml(algorytm));
}

QByteArray NumerSeryjnyDziesietny(const X509* x509) {
    std::unique_ptr<BIGNUM, decltype(&BN_free)> numer(
        ASN1_INTEGER_to_BN(X509_get0_serialNumber(x509), nullptr), &BN_free);
    if (!numer) throw Odmowa(QStringLiteral("Błąd podpisu XAdES: nieczytelny numer seryjny certyfikatu."));
    char* tekst = BN_bn2dec(numer.get());
    if (tekst == nullptr)
        throw Odmowa(QStringLiteral("Błąd podpisu XAdES: nieczytelny numer seryjny certyfikatu."));
    QByteArray wynik(tekst);
    OPENSSL_free(tekst);
    return wynik;
}

}  // namespace

bool PrzygotujXmlsec() {
    static const bool gotowe = [] {
        PrzygotujLibxml();
        return xmlSecInit() >= 0 && xmlSecCheckVersion() == 1 && xmlSecOpenSSLAppInit(nullptr) >= 0 &&
               xmlSecOpenSSLInit() >= 0;
    }();
    return gotowe;
}

QByteArray ZadanieUwierzytelnienia(const QString& wyzwanie, const QString& nipKontekstu,
                                   IdentyfikatorPodmiotu identyfikator) {
    static const QRegularExpression wzorWyzwania(
        QStringLiteral("^[0-9]{8}-CR-[A-F0-9]{10}-[A-F0-9]{10}-[A-F0-9]{2}$"));
    if (!wzorWyzwania.match(wyzwanie).hasMatch())
        throw Odmowa(
            QStringLiteral("KSeF przysłał nieprawidłowe wyzwanie uwierzytelnienia „%1”.").arg(wyzwanie));
    if (nipKontekstu.size() != 10 || !PoprawnyNip(nipKontekstu))
        throw Odmowa(QStringLiteral("„%1” nie jest poprawnym numerem NIP do uwierzytelnienia w KSeF.")
                         .arg(nipKontekstu));
    const char* typ = identyfikator == IdentyfikatorPodmiotu::PodmiotCertyfikatu ? "certificateSubject"
                                                                                 : "certificateFingerprint";
    // Both values are checked above to hold only digits, capitals and hyphens: nothing to escape.
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
               "<AuthTokenRequest xmlns=\"%1\">\n"
               "  <Challenge>%2</Challenge>\n"
               "  <ContextIdentifier>\n"
               "    <Nip>%3</Nip>\n"
               "  </ContextIdentifier>\n"
               "  <SubjectIdentifierType>%4</SubjectIdentifierType>\n"
               "</AuthTokenRequest>\n")
        .arg(QLatin1String(PrzestrzenAuth), wyzwanie, nipKontekstu, QLatin1String(typ))
        .toUtf8();
}

QByteArray PodpiszXades(const QByteArray& xml, const CertyfikatX509& certyfikat, const KluczPrywatny& klucz,
                        const QDateTime& czasPodpisu) {
    if (!klucz.pasujeDo(certyfikat)) throw Odmowa(QStringLiteral("Klucz nie należy do certyfikatu."));
    if (!czasPodpisu.isValid()) throw Odmowa(QStringLiteral("Błąd podpisu XAdES: brak czasu podpisu."));
    const auto* evp = static_cast<const EVP_PKEY*>(klucz.uchwyt());
    if (klucz.rsa() && EVP_PKEY_get_bits(evp) < 2048)
        throw Odmowa(
            QStringLiteral("Klucz RSA certyfikatu ma %1 bitów; KSeF przyjmuje podpis kluczem co najmniej "
                           "2048-bitowym.")
                .arg(EVP_PKEY_get_bits(evp)));
    if (!klucz.rsa() && EVP_PKEY_get_bits(evp) < 256)
        throw Odmowa(QStringLiteral("Klucz EC certyfikatu ma %1 bitów; KSeF przyjmuje krzywe co najmniej "
                                    "256-bitowe.")
                         .arg(EVP_PKEY_get_bits(evp)));

    PrzygotujLibxml();
    // No network, no external entities, no DTD loading; the document is ours, but parse it safely.
    DokumentXml dokument(xmlReadMemory(xml.constData(), static_cast<int>(xml.size()), "zadanie.xml", nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!dokument || xmlDocGetRootElement(dokument.get()) == nullptr || dokument->intSubset != nullptr)
        throw Odmowa(QStringLiteral("Błąd podpisu XAdES: dokument do podpisania nie jest poprawnym XML."));
    xmlNodePtr korzen = xmlDocGetRootElement(dokument.get());

    // The enveloped transform takes the signature out again, so the document's digest is that of
    // its canonical form before the signature goes in (no white space is added around it).
    const QByteArray skrotDokumentu = Base64Sha256Xades(PostacKanoniczna(dokument.get(), nullptr));

    const QByteArray znacznik = LosoweBajty(8).toHex();
    const QByteArray idPodpisu = "Signature-" + znacznik;
    const QByteArray idWlasciwosci = "SignedProperties-" + znacznik;

    xmlNodePtr podpis = xmlNewChild(korzen, nullptr, ZnakiXml("Signature"), nullptr);
    xmlNsPtr ds = xmlNewNs(podpis, ZnakiXml(PrzestrzenDs), ZnakiXml("ds"));
    xmlSetNs(podpis, ds);
    xmlNewProp(podpis, ZnakiXml("Id"), ZnakiXml(idPodpisu.constData()));

    xmlNodePtr info = DzieckoXml(podpis, ds, "SignedInfo");
    AlgorytmXml(info, ds, "CanonicalizationMethod", AlgorytmC14n);
    AlgorytmXml(info, ds, "SignatureMethod", klucz.rsa() ? AlgorytmRsaSha256 : AlgorytmEcdsaSha256);

    xmlNodePtr odwolanieDokumentu = DzieckoXml(info, ds, "Reference");
    xmlNewProp(odwolanieDokumentu, ZnakiXml("Id"), ZnakiXml(("Reference-" + znacznik).constData()));
    xmlNewProp(odwolanieDokumentu, ZnakiXml("URI"), ZnakiXml(""));
    xmlNodePtr przeksztalcenia = DzieckoXml(odwolanieDokumentu, ds, "Transforms");
    AlgorytmXml(przeksztalcenia, ds, "Transform", AlgorytmOtoczony);
    AlgorytmXml(przeksztalcenia, ds, "Transform", AlgorytmC14n);
    AlgorytmXml(odwolanieDokumentu, ds, "DigestMethod", AlgorytmSha256);
    DzieckoXml(odwolanieDokumentu, ds, "DigestValue", skrotDokumentu);

    xmlNodePtr odwolanieWlasciwosci = DzieckoXml(info, ds, "Reference");
    xmlNewProp(odwolanieWlasciwosci, ZnakiXml("Type"), ZnakiXml(TypWlasciwosci));
    xmlNewProp(odwolanieWlasciwosci, ZnakiXml("URI"), ZnakiXml(("#" + idWlasciwosci).constData()));
    AlgorytmXml(DzieckoXml(odwolanieWlasciwosci, ds, "Transforms"), ds, "Transform", AlgorytmC14n);
    AlgorytmXml(odwolanieWlasciwosci, ds, "DigestMethod", AlgorytmSha256);
    xmlNodePtr skrotWlasciwosci = DzieckoXml(odwolanieWlasciwosci, ds, "DigestValue");

    xmlNodePtr wartoscPodpisu = DzieckoXml(podpis, ds, "SignatureValue");
    const QByteArray der = certyfikat.der();
    DzieckoXml(DzieckoXml(DzieckoXml(podpis, ds, "KeyInfo"), ds, "X509Data"), ds, "X509Certificate",
               der.toBase64());

    xmlNodePtr wlasciwosciKwalifikowane =
        xmlNewChild(DzieckoXml(podpis, ds, "Object"), nullptr, ZnakiXml("QualifyingProperties"), nullptr);
    xmlNsPtr xades = xmlNewNs(wlasciwosciKwalifikowane, ZnakiXml(PrzestrzenXades), ZnakiXml("xades"));
    xmlSetNs(wlasciwosciKwalifikowane, xades);
    xmlNewProp(wlasciwosciKwalifikowane, ZnakiXml("Target"), ZnakiXml(("#" + idPodpisu).constData()));
    xmlNodePtr wlasciwosci = DzieckoXml(wlasciwosciKwalifikowane, xades, "SignedProperties");
    xmlNewProp(wlasciwosci, ZnakiXml("Id"), ZnakiXml(idWlasciwosci.constData()));
    xmlNodePtr wlasciwosciPodpisu = DzieckoXml(wlasciwosci, xades, "SignedSignatureProperties");
    DzieckoXml(wlasciwosciPodpisu, xades, "SigningTime",
               czasPodpisu.toUTC().toString(Qt::ISODate).toLatin1());
    xmlNodePtr cert = DzieckoXml(DzieckoXml(wlasciwosciPodpisu, xades, "SigningCertificate"), xades, "Cert");
    xmlNodePtr skrotCertyfikatu = DzieckoXml(cert, xades, "CertDigest");
    AlgorytmXml(skrotCertyfikatu, ds, "DigestMethod", AlgorytmSha256);
    DzieckoXml(skrotCertyfikatu, ds, "DigestValue", Base64Sha256Xades(der));
    xmlNodePtr wystawcaINumer = DzieckoXml(cert, xades, "IssuerSerial");
    DzieckoXml(wystawcaINumer, ds, "X509IssuerName", certyfikat.wystawca().toUtf8());
    DzieckoXml(wystawcaINumer, ds, "X509SerialNumber",
               NumerSeryjnyDziesietny(static_cast<const X509*>(certyfikat.uchwyt())));

    // The signed properties' digest goes into SignedInfo, and then SignedInfo is what is signed.
    const QByteArray skrot = Base64Sha256Xades(PostacKanoniczna(dokument.get(), wlasciwosci));
    xmlNodeSetContent(skrotWlasciwosci, ZnakiXml(skrot.constData()));
    const QByteArray kanoniczneInfo = PostacKanoniczna(dokument.get(), info);
    // XML-DSig's RSA-SHA256 is PKCS#1 v1.5; its ECDSA-SHA256 is the pair R‖S, not DER.
    const QByteArray wartosc =
        klucz.rsa() ? klucz.podpiszSha256(kanoniczneInfo) : klucz.podpiszPssLubRs(kanoniczneInfo);
    xmlNodeSetContent(wartoscPodpisu, ZnakiXml(wartosc.toBase64().constData()));

    xmlChar* tekst = nullptr;
    int dlugosc = 0;
    xmlDocDumpMemoryEnc(dokument.get(), &tekst, &dlugosc, "UTF-8");
    if (tekst == nullptr)
        throw Odmowa(QStringLiteral("Błąd podpisu XAdES: nie udało się zapisać dokumentu."));
    QByteArray wynik(reinterpret_cast<const char*>(tekst), dlugosc);
    xmlFree(tekst);
    return wynik;
}
