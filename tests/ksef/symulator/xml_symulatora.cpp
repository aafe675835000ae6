#include "ksef/symulator/xml_symulatora.h"

#include <libxml/catalog.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/x509.h>
#include <xmlsec/crypto.h>
#include <xmlsec/errors.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>
#include <functional>
#include <mutex>
#include <optional>

#include "ksef/xades.h"

namespace symulator {

namespace {

constexpr char PrzestrzenDsig[] = "http://www.w3.org/2000/09/xmldsig#";
constexpr char PrzestrzenXades[] = "http://uri.etsi.org/01903/v1.3.2#";

std::mutex BlokadaBibliotek;

}  // namespace

// libxml2 and xmlsec keep global state: set up once and never torn down, as the process may run
// several simulators one after another.
void InicjujBibliotekiXml() {
    static std::once_flag raz;
    std::call_once(raz, [] {
        // The client's one set-up: xmlsec set up twice in one process loses its first registrations.
        PrzygotujXmlsec();
        // Catalog lookups still work; anything left pointing at http or ftp is refused.
        xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
        // A refused signature is an answer here, not something to print.
        xmlSecErrorsDefaultCallbackEnableOutput(0);
    });
}

namespace {

void WczytajKatalog(const QString& katalog) {
    static QSet<QString> wczytane;
    std::lock_guard blokada(BlokadaBibliotek);
    if (katalog.isEmpty() || wczytane.contains(katalog)) return;
    xmlLoadCatalog(katalog.toLocal8Bit().constData());
    wczytane.insert(katalog);
}

struct ZwolnijDokument {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using Dokument = std::unique_ptr<xmlDoc, ZwolnijDokument>;

constexpr int OpcjeParsera = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

Dokument Parsuj(const QByteArray& xml, QString* blad) {
    xmlResetLastError();
    Dokument dok(
        xmlReadMemory(xml.constData(), static_cast<int>(xml.size()), "dokument.xml", nullptr, OpcjeParsera));
    if (!dok && blad) {
        const xmlError* e = xmlGetLastError();
        *blad = e && e->message ? QString::fromUtf8(e->message).trimmed()
                                : QStringLiteral("dokument nie jest poprawnym XML");
        if (e) *blad += QStringLiteral(" (wiersz %1)").arg(e->line);
    }
    return dok;
}

bool Jest(const xmlNode* w, const char* nazwa, const char* przestrzen = nullptr) {
    if (!w || w->type != XML_ELEMENT_NODE || xmlStrcmp(w->name, BAD_CAST nazwa) != 0) return false;
    if (!przestrzen) return true;
    return w->ns && xmlStrcmp(w->ns->href, BAD_CAST przestrzen) == 0;
}

xmlNode* Dziecko(const xmlNode* w, const char* nazwa, const char* przestrzen = nullptr) {
    if (!w) return nullptr;
    for (xmlNode* d = w->children; d; d = d->next)
        if (Jest(d, nazwa, przestrzen)) return d;
    return nullptr;
}

QString Tekst(const xmlNode* w) {
    if (!w) return {};
    xmlChar* t = xmlNodeGetContent(w);
    const QString wynik = QString::fromUtf8(reinterpret_cast<const char*>(t)).trimmed();
    xmlFree(t);
    return wynik;
}

QString Atrybut(const xmlNode* w, const char* nazwa) {
    if (!w) return {};
    xmlChar* t = xmlGetProp(w, BAD_CAST nazwa);
    if (!t) return {};
    const QString wynik = QString::fromUtf8(reinterpret_cast<const char*>(t));
    xmlFree(t);
    return wynik;
}

template <class F>
void Przejdz(xmlNode* w, const F& f) {
    for (; w; w = w->next) {
        if (w->type == XML_ELEMENT_NODE) {
            f(w);
            Przejdz(w->children, f);
        }
    }
}

void ZbierzBledy(void* dane, const xmlError* blad) {
    auto* lista = static_cast<QStringList*>(dane);
    if (lista->size() < 20 && blad && blad->message)
        lista->append(
            QStringLiteral("wiersz %1: %2").arg(blad->line).arg(QString::fromUtf8(blad->message).trimmed()));
}

}  // namespace

struct SchematXml::Dane {
    xmlSchema* schemat = nullptr;
};

SchematXml::SchematXml(const QString& sciezkaXsd, const QString& katalog) : d_(std::make_unique<Dane>()) {
    InicjujBibliotekiXml();
    WczytajKatalog(katalog);
    std::lock_guard blokada(BlokadaBibliotek);
    xmlSchemaParserCtxt* parser = xmlSchemaNewParserCtxt(sciezkaXsd.toLocal8Bit().constData());
    if (!parser) return;
    QStringList pominiete;
    xmlSchemaSetParserStructuredErrors(parser, reinterpret_cast<xmlStructuredErrorFunc>(&ZbierzBledy),
                                       &pominiete);
    d_->schemat = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
}

SchematXml::SchematXml(const QByteArray& trescXsd) : d_(std::make_unique<Dane>()) {
    InicjujBibliotekiXml();
    std::lock_guard blokada(BlokadaBibliotek);
    xmlSchemaParserCtxt* parser =
        xmlSchemaNewMemParserCtxt(trescXsd.constData(), static_cast<int>(trescXsd.size()));
    if (!parser) return;
    QStringList pominiete;
    xmlSchemaSetParserStructuredErrors(parser, reinterpret_cast<xmlStructuredErrorFunc>(&ZbierzBledy),
                                       &pominiete);
    d_->schemat = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
}

SchematXml::~SchematXml() {
    if (d_->schemat) xmlSchemaFree(d_->schemat);
}

bool SchematXml::wczytany() const { return d_->schemat != nullptr; }

QStringList SchematXml::waliduj(const QByteArray& xml) const {
    if (!d_->schemat) return {QStringLiteral("schemat nie został wczytany")};
    QString blad;
    const Dokument dok = Parsuj(xml, &blad);
    if (!dok) return {blad};
    QStringList bledy;
    xmlSchemaValidCtxt* walidator = xmlSchemaNewValidCtxt(d_->schemat);
    xmlSchemaSetValidStructuredErrors(walidator, reinterpret_cast<xmlStructuredErrorFunc>(&ZbierzBledy),
                                      &bledy);
    const int wynik = xmlSchemaValidateDoc(walidator, dok.get());
    xmlSchemaFreeValidCtxt(walidator);
    if (wynik != 0 && bledy.isEmpty()) bledy << QStringLiteral("dokument nie jest zgodny ze schematem");
    return bledy;
}

OdczytFaktury CzytajFakture(const QByteArray& xml) {
    InicjujBibliotekiXml();
    OdczytFaktury wynik;
    if (xml.startsWith("\xEF\xBB\xBF")) {
        wynik.bladPliku = QStringLiteral("Plik zaczyna się znakiem BOM.");
        return wynik;
    }
    static const QRegularExpression kodowanie(
        QStringLiteral(R"(^<\?xml[^>]*encoding\s*=\s*["']([^"']+)["'])"));
    const auto deklaracja = kodowanie.match(QString::fromLatin1(xml.left(200)));
    if (deklaracja.hasMatch() &&
        deklaracja.captured(1).compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0) {
        wynik.bladPliku =
            QStringLiteral("Zadeklarowane kodowanie %1 zamiast UTF-8.").arg(deklaracja.captured(1));
        return wynik;
    }
    const QString tekst = QString::fromUtf8(xml);
    for (const QChar znak : tekst) {
        const char16_t k = znak.unicode();
        if ((k >= 0x7F && k <= 0x84) || (k >= 0x86 && k <= 0x9F) || (k >= 0xFDD0 && k <= 0xFDEF)) {
            wynik.bladPliku = QStringLiteral("Niedozwolony znak U+%1.").arg(int(k), 4, 16, QLatin1Char('0'));
            return wynik;
        }
    }
    QString blad;
    const Dokument dok = Parsuj(xml, &blad);
    if (!dok) {
        wynik.bladPliku = QStringLiteral("Niepoprawny XML: %1").arg(blad);
        return wynik;
    }
    if (dok->intSubset) {
        wynik.bladPliku = QStringLiteral("Dokument zawiera deklarację DOCTYPE.");
        return wynik;
    }
    bool instrukcja = false;
    const std::function<void(const xmlNode*)> szukaj = [&](const xmlNode* n) {
        for (; n && !instrukcja; n = n->next) {
            if (n->type == XML_PI_NODE) instrukcja = true;
            if (n->type == XML_ELEMENT_NODE) szukaj(n->children);
        }
    };
    szukaj(dok->children);
    if (instrukcja) {
        wynik.bladPliku = QStringLiteral("Dokument zawiera instrukcję przetwarzania.");
        return wynik;
    }
    const xmlNode* korzen = xmlDocGetRootElement(dok.get());
    wynik.kodFormularza = Atrybut(Dziecko(Dziecko(korzen, "Naglowek"), "KodFormularza"), "kodSystemowy");
    wynik.nipSprzedawcy = Tekst(Dziecko(Dziecko(Dziecko(korzen, "Podmiot1"), "DaneIdentyfikacyjne"), "NIP"));
    const xmlNode* fa = Dziecko(korzen, "Fa");
    wynik.numer = Tekst(Dziecko(fa, "P_2"));
    wynik.rodzaj = Tekst(Dziecko(fa, "RodzajFaktury"));
    wynik.dataWystawienia = QDate::fromString(Tekst(Dziecko(fa, "P_1")), Qt::ISODate);
    return wynik;
}

namespace {

WynikPodpisu Blad(WynikPodpisu w, int kod, const QString& opis) {
    w.kodBledu = kod;
    w.opisBledu = opis;
    return w;
}

QString NipZCertyfikatu(X509* cert, bool* pieczec) {
    X509_NAME* podmiot = X509_get_subject_name(cert);
    const auto pole = [&](int nid) -> QString {
        const int i = X509_NAME_get_index_by_NID(podmiot, nid, -1);
        if (i < 0) return {};
        unsigned char* utf8 = nullptr;
        const int dl = ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(podmiot, i)));
        if (dl < 0) return {};
        const QString wynik = QString::fromUtf8(reinterpret_cast<const char*>(utf8), dl);
        OPENSSL_free(utf8);
        return wynik;
    };
    static const QRegularExpression wzorOrganizacji(QStringLiteral(R"((VATPL).*?(\d{10}))"));
    static const QRegularExpression wzorOsoby(QStringLiteral(R"((TINPL|NIP).*?(\d{10}))"));
    int nidOrganizacji = OBJ_txt2nid("2.5.4.97");
    if (nidOrganizacji != NID_undef) {
        const auto m = wzorOrganizacji.match(pole(nidOrganizacji));
        if (m.hasMatch()) {
            *pieczec = true;
            return m.captured(2);
        }
    }
    const auto m = wzorOsoby.match(pole(NID_serialNumber));
    return m.hasMatch() ? m.captured(2) : QString();
}

std::optional<QCryptographicHash::Algorithm> AlgorytmSkrotu(const QString& uri) {
    if (uri == QLatin1String("http://www.w3.org/2000/09/xmldsig#sha1")) return QCryptographicHash::Sha1;
    if (uri == QLatin1String("http://www.w3.org/2001/04/xmlenc#sha256")) return QCryptographicHash::Sha256;
    if (uri == QLatin1String("http://www.w3.org/2001/04/xmldsig-more#sha384"))
        return QCryptographicHash::Sha384;
    if (uri == QLatin1String("http://www.w3.org/2001/04/xmlenc#sha512")) return QCryptographicHash::Sha512;
    if (uri == QLatin1String("http://www.w3.org/2007/05/xmldsig-more#sha3-256"))
        return QCryptographicHash::Sha3_256;
    if (uri == QLatin1String("http://www.w3.org/2007/05/xmldsig-more#sha3-384"))
        return QCryptographicHash::Sha3_384;
    if (uri == QLatin1String("http://www.w3.org/2007/05/xmldsig-more#sha3-512"))
        return QCryptographicHash::Sha3_512;
    return std::nullopt;
}

}  // namespace

WynikPodpisu SprawdzPodpisXades(const QByteArray& xml) {
    InicjujBibliotekiXml();
    WynikPodpisu w;
    QString blad;
    const Dokument dok = Parsuj(xml, &blad);
    if (!dok || dok->intSubset) return Blad(w, 21001, QStringLiteral("Nieczytelna treść."));
    xmlNode* korzen = xmlDocGetRootElement(dok.get());
    if (!Jest(korzen, "AuthTokenRequest", "http://ksef.mf.gov.pl/auth/token/2.0") &&
        !Jest(korzen, "AuthTokenRequest", "http://ksef.mf.gov.pl/auth/token/2.1"))
        return Blad(w, 21401, QStringLiteral("Dokument nie jest zgodny ze schemą (xsd)."));
    w.wersja21 = Jest(korzen, "AuthTokenRequest", "http://ksef.mf.gov.pl/auth/token/2.1");
    w.wyzwanie = Tekst(Dziecko(korzen, "Challenge"));
    w.nipKontekstu = Tekst(Dziecko(Dziecko(korzen, "ContextIdentifier"), "Nip"));
    w.rodzajIdentyfikatora = Tekst(Dziecko(korzen, "SubjectIdentifierType"));
    if (w.wyzwanie.isEmpty() || w.rodzajIdentyfikatora.isEmpty())
        return Blad(w, 21401, QStringLiteral("Dokument nie jest zgodny ze schemą (xsd)."));

    // Every Id becomes an XML ID, so that a reference "#…" finds its element; one Id used twice
    // could point a reference at another element than the one checked below.
    std::vector<xmlNode*> podpisy;
    bool powtorzoneId = false;
    Przejdz(korzen, [&](xmlNode* n) {
        if (Jest(n, "Signature", PrzestrzenDsig)) podpisy.push_back(n);
        for (xmlAttr* a = n->properties; a; a = a->next) {
            if (a->ns || (xmlStrcmp(a->name, BAD_CAST "Id") != 0 && xmlStrcmp(a->name, BAD_CAST "ID") != 0 &&
                          xmlStrcmp(a->name, BAD_CAST "id") != 0))
                continue;
            xmlChar* wartosc = xmlNodeListGetString(dok.get(), a->children, 1);
            if (wartosc) {
                if (xmlGetID(dok.get(), wartosc))
                    powtorzoneId = true;
                else
                    xmlAddID(nullptr, dok.get(), wartosc, a);
                xmlFree(wartosc);
            }
        }
    });
    if (podpisy.empty()) return Blad(w, 9102, QStringLiteral("Brak podpisu."));
    if (podpisy.size() > 1) return Blad(w, 9103, QStringLiteral("Przekroczona liczba dozwolonych podpisów."));
    if (powtorzoneId) return Blad(w, 9101, QStringLiteral("Nieprawidłowy dokument."));
    xmlNode* podpis = podpisy.front();
    if (podpis->parent != korzen) return Blad(w, 9101, QStringLiteral("Nieprawidłowy dokument."));

    const QByteArray der = QByteArray::fromBase64(
        Tekst(Dziecko(Dziecko(Dziecko(podpis, "KeyInfo", PrzestrzenDsig), "X509Data", PrzestrzenDsig),
                      "X509Certificate", PrzestrzenDsig))
            .toLatin1());
    const unsigned char* wsk = reinterpret_cast<const unsigned char*>(der.constData());
    std::unique_ptr<X509, decltype(&X509_free)> cert(d2i_X509(nullptr, &wsk, static_cast<long>(der.size())),
                                                     &X509_free);
    if (der.isEmpty() || !cert) return Blad(w, 21115, QStringLiteral("Nieprawidłowy certyfikat."));
    w.odciskCertyfikatu =
        QString::fromLatin1(QCryptographicHash::hash(der, QCryptographicHash::Sha256).toHex().toUpper());
    w.nipCertyfikatu = NipZCertyfikatu(cert.get(), &w.pieczec);
    w.certyfikatWazny = X509_cmp_current_time(X509_get0_notBefore(cert.get())) < 0 &&
                        X509_cmp_current_time(X509_get0_notAfter(cert.get())) > 0;
    EVP_PKEY* publiczny = X509_get0_pubkey(cert.get());
    if (!publiczny || (EVP_PKEY_base_id(publiczny) == EVP_PKEY_RSA && EVP_PKEY_bits(publiczny) < 2048) ||
        (EVP_PKEY_base_id(publiczny) == EVP_PKEY_EC && EVP_PKEY_bits(publiczny) < 256))
        return Blad(w, 21115, QStringLiteral("Nieprawidłowy certyfikat."));

    xmlSecKey* klucz = xmlSecCryptoAppKeyLoadMemory(reinterpret_cast<const xmlSecByte*>(der.constData()),
                                                    static_cast<xmlSecSize>(der.size()),
                                                    xmlSecKeyDataFormatCertDer, nullptr, nullptr, nullptr);
    if (!klucz) return Blad(w, 21115, QStringLiteral("Nieprawidłowy certyfikat."));
    xmlSecDSigCtx* kontekst = xmlSecDSigCtxCreate(nullptr);
    if (!kontekst) {
        xmlSecKeyDestroy(klucz);
        return Blad(w, 9105, QStringLiteral("Nieprawidłowy podpis."));
    }
    kontekst->signKey = klucz;  // the context owns it from here
    // Only references inside this document, and only the transforms KSeF lists.
    kontekst->enabledReferenceUris =
        static_cast<xmlSecTransformUriType>(xmlSecTransformUriTypeEmpty | xmlSecTransformUriTypeSameDocument);
    for (xmlSecTransformId id :
         {xmlSecTransformEnvelopedId, xmlSecTransformInclC14NId, xmlSecTransformInclC14NWithCommentsId,
          xmlSecTransformInclC14N11Id, xmlSecTransformInclC14N11WithCommentsId, xmlSecTransformExclC14NId,
          xmlSecTransformExclC14NWithCommentsId, xmlSecTransformBase64Id, xmlSecTransformXPathId,
          xmlSecTransformXPath2Id, xmlSecTransformSha1Id, xmlSecTransformSha256Id, xmlSecTransformSha384Id,
          xmlSecTransformSha512Id})
        xmlSecDSigCtxEnableReferenceTransform(kontekst, id);

    const bool zweryfikowany =
        xmlSecDSigCtxVerify(kontekst, podpis) == 0 && kontekst->status == xmlSecDSigStatusSucceeded;
    bool calyDokument = false;
    QStringList odwolania;  // "#…" references that verified
    if (zweryfikowany) {
        const xmlSecSize ile = xmlSecPtrListGetSize(&kontekst->signedInfoReferences);
        for (xmlSecSize i = 0; i < ile; ++i) {
            const auto* ref = static_cast<xmlSecDSigReferenceCtx*>(
                xmlSecPtrListGetItem(&kontekst->signedInfoReferences, i));
            if (!ref || ref->status != xmlSecDSigStatusSucceeded) continue;
            const QString uri =
                ref->uri ? QString::fromUtf8(reinterpret_cast<const char*>(ref->uri)) : QString();
            if (uri.isEmpty())
                calyDokument = true;
            else if (uri.startsWith(QLatin1Char('#')))
                odwolania << uri.mid(1);
        }
    }
    xmlSecDSigCtxDestroy(kontekst);
    if (!zweryfikowany) return Blad(w, 9105, QStringLiteral("Nieprawidłowy podpis."));
    if (!calyDokument)
        return Blad(w, 9105, QStringLiteral("Nieprawidłowy podpis: podpis nie obejmuje całego dokumentu."));

    const xmlNode* wlasciwosci = nullptr;
    for (const QString& id : odwolania) {
        const xmlAttr* atrybut = xmlGetID(dok.get(), BAD_CAST id.toUtf8().constData());
        if (atrybut && Jest(atrybut->parent, "SignedProperties", PrzestrzenXades))
            wlasciwosci = atrybut->parent;
    }
    if (!wlasciwosci)
        return Blad(w, 9105, QStringLiteral("Nieprawidłowy podpis: brak podpisanych SignedProperties."));
    const xmlNode* podpisane = Dziecko(wlasciwosci, "SignedSignatureProperties", PrzestrzenXades);
    const xmlNode* certyfikaty = Dziecko(podpisane, "SigningCertificate", PrzestrzenXades);
    if (!certyfikaty) certyfikaty = Dziecko(podpisane, "SigningCertificateV2", PrzestrzenXades);
    bool pasuje = false;
    for (const xmlNode* c = certyfikaty ? certyfikaty->children : nullptr; c; c = c->next) {
        if (!Jest(c, "Cert", PrzestrzenXades)) continue;
        const xmlNode* skrot = Dziecko(c, "CertDigest", PrzestrzenXades);
        const auto algorytm =
            AlgorytmSkrotu(Atrybut(Dziecko(skrot, "DigestMethod", PrzestrzenDsig), "Algorithm"));
        const QByteArray wartosc =
            QByteArray::fromBase64(Tekst(Dziecko(skrot, "DigestValue", PrzestrzenDsig)).toLatin1());
        if (algorytm && !wartosc.isEmpty() && QCryptographicHash::hash(der, *algorytm) == wartosc)
            pasuje = true;
    }
    if (!pasuje)
        return Blad(
            w, 9105,
            QStringLiteral("Nieprawidłowy podpis: SigningCertificate nie wskazuje certyfikatu z KeyInfo."));
    // The schema knows no signature: what it checks is the request without it.
    xmlUnlinkNode(podpis);
    xmlFreeNode(podpis);
    xmlChar* bufor = nullptr;
    int dlugosc = 0;
    xmlDocDumpMemoryEnc(dok.get(), &bufor, &dlugosc, "UTF-8");
    w.trescBezPodpisu = QByteArray(reinterpret_cast<const char*>(bufor), dlugosc);
    xmlFree(bufor);
    return w;
}

}  // namespace symulator
