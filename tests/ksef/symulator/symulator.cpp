#include "ksef/symulator/symulator.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QThread>
#include <QTimeZone>
#include <QUrlQuery>
#include <algorithm>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "ksef/symulator/kryptografia_symulatora.h"
#include "ksef/symulator/serwer_http.h"
#include "ksef/symulator/xml_symulatora.h"

using namespace symulator;

namespace {

constexpr qint64 ZycieWyzwaniaMs = 10 * 60 * 1000;

QString Czas(const QDateTime& czas) { return czas.toUTC().toString(Qt::ISODateWithMs); }

QTimeZone StrefaPolska() {
    static const QTimeZone strefa = [] {
        QTimeZone t("Europe/Warsaw");
        return t.isValid() ? t : QTimeZone::utc();
    }();
    return strefa;
}

QByteArray Json(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

OdpowiedzHttp OdpowiedzJson(int kod, const QJsonObject& o) {
    OdpowiedzHttp odp;
    odp.kod = kod;
    odp.cialo = Json(o);
    return odp;
}

// The API's ExceptionResponse.
OdpowiedzHttp BladApi(int kodHttp, int kod, const QString& opis, const QStringList& szczegoly = {}) {
    QJsonObject szczegol{{QStringLiteral("exceptionCode"), kod},
                         {QStringLiteral("exceptionDescription"), opis}};
    if (!szczegoly.isEmpty())
        szczegol.insert(QStringLiteral("details"), QJsonArray::fromStringList(szczegoly));
    const QJsonObject wyjatek{
        {QStringLiteral("exceptionDetailList"), QJsonArray{szczegol}},
        {QStringLiteral("serviceCode"), QString::fromLatin1(LosoweBajty(16).toHex())},
        {QStringLiteral("serviceCtx"), QStringLiteral("srvSYMUL")},
        {QStringLiteral("serviceName"), QStringLiteral("Symulator")},
        {QStringLiteral("timestamp"), Czas(QDateTime::currentDateTimeUtc())},
    };
    return OdpowiedzJson(kodHttp, QJsonObject{{QStringLiteral("exception"), wyjatek}});
}

OdpowiedzHttp Problem(int kodHttp, const QString& tytul, const QString& opis, const QString& sciezka) {
    OdpowiedzHttp odp =
        OdpowiedzJson(kodHttp, QJsonObject{
                                   {QStringLiteral("title"), tytul},
                                   {QStringLiteral("status"), kodHttp},
                                   {QStringLiteral("detail"), opis},
                                   {QStringLiteral("instance"), sciezka},
                                   {QStringLiteral("traceId"), QString::fromLatin1(LosoweBajty(16).toHex())},
                                   {QStringLiteral("timestamp"), Czas(QDateTime::currentDateTimeUtc())},
                               });
    odp.typ = "application/problem+json";
    return odp;
}

QString Hex(const QByteArray& bajty) { return QString::fromLatin1(bajty.toHex().toUpper()); }

struct Status {
    int kod = 0;
    QString opis;
    QStringList szczegoly;
    QMap<QString, QString> rozszerzenia;

    QJsonObject json() const {
        QJsonObject o{{QStringLiteral("code"), kod}, {QStringLiteral("description"), opis}};
        if (!szczegoly.isEmpty()) o.insert(QStringLiteral("details"), QJsonArray::fromStringList(szczegoly));
        if (!rozszerzenia.isEmpty()) {
            QJsonObject r;
            for (auto it = rozszerzenia.cbegin(); it != rozszerzenia.cend(); ++it)
                r.insert(it.key(), it.value());
            o.insert(QStringLiteral("extensions"), r);
        }
        return o;
    }
};

struct Wyzwanie {
    QDateTime czas;
    bool uzyte = false;
};

struct TokenKsef {
    QString nip;
    QString numerReferencyjny;
};

struct Uwierzytelnienie {
    QString numer;
    QString nip;
    QDateTime start;
    QString metoda;       // authenticationMethod
    QString kategoria;    // authenticationMethodInfo.category
    QString nazwaMetody;  // displayName
    Status wynik;         // the final status
    int zapytan = 0;
    bool odebrane = false;
    QString numerTokenaKsef;  // token authentication
    QString skrotDokumentu;   // XAdES authentication: Base64 SHA-256 of the signed request
};

struct TokenDostepu {
    QString uwierzytelnienie;
    QDateTime waznyDo;
};

struct Faktura {
    QString numer;  // reference number
    int porzadkowy = 0;
    QString sesja;
    QByteArray xml;
    QString skrot;  // Base64 SHA-256
    Status wynik;
    int zapytan = 0;
    bool rozstrzygnieta = false;  // the final status is shown from now on
    QString numerKsef;
    QString numerFaktury;
    QString nipSprzedawcy;
    QDate dataWystawienia;
    QDateTime przyjeta, nadanie;
    bool deklarowanyOffline = false;  // offlineMode of the request
    bool offline = false;             // invoicingMode: declared, or found from the issue date
    QString skrotKorygowanej;         // hashOfCorrectedInvoice
    int korygowana = -1;              // the invoice it corrects technically
};

struct Sesja {
    QString numer;
    QString nip;
    QString uwierzytelnienie;
    QByteArray klucz, iv;
    bool kluczPoprawny = false;
    bool zamknieta = false;
    bool przetworzona = false;
    int zapytanPoZamknieciu = 0;
    QDateTime utworzona, zmieniona, waznaDo;
    QList<int> faktury;  // indices into the invoices
    QString numerUpo;
};

struct Awaria {
    AwariaSymulatora rodzaj;
    int ile;
    QRegularExpression sciezka;
};

// Parsed once per process: it is large, and every simulator reads it the same.
std::shared_ptr<const SchematXml> SchematFa3() {
    static std::mutex blokada;
    static std::shared_ptr<const SchematXml> schemat;
    std::lock_guard b(blokada);
    if (!schemat)
        schemat = std::make_shared<const SchematXml>(
            QStringLiteral(KATALOG_SCHEMATU_FA3 "/schema/schemat_FA(3)_v1-0E.xsd"),
            QStringLiteral(KATALOG_SCHEMATU_FA3 "/catalog.xml"));
    return schemat;
}

std::shared_ptr<const SchematXml> SchematAuth(bool wersja21) {
    static std::mutex blokada;
    static std::shared_ptr<const SchematXml> schematy[2];
    std::lock_guard b(blokada);
    auto& schemat = schematy[wersja21 ? 1 : 0];
    if (!schemat) {
        QFile plik(wersja21 ? QStringLiteral(KATALOG_SCHEMATOW_KSEF "/schemat_auth_v2-1.xsd")
                            : QStringLiteral(KATALOG_SCHEMATOW_KSEF "/schemat_auth_v2-0.xsd"));
        QByteArray tresc = plik.open(QIODevice::ReadOnly) ? plik.readAll() : QByteArray();
        // The IP address patterns of the 2.0 schema use \b, ^, $ and \/, which XML Schema regular
        // expressions do not have (libxml2 refuses the whole schema); read as meant, without them.
        tresc.replace("value=\"^((25", "value=\"((25")
            .replace("\\.?\\b", "\\.?")
            .replace("{4}$\"", "{4}\"")
            .replace("\\/", "/")
            .replace("3[0-2])$\"", "3[0-2])\"");
        schemat = std::make_shared<const SchematXml>(tresc);
    }
    return schemat;
}

}  // namespace

struct SymulatorKsef::Wnetrze {
    mutable std::mutex blokada;
    QThread watek;
    SerwerHttp* serwer = nullptr;
    quint16 port = 0;

    // Everything below under `blokada`.
    std::vector<KluczSymulatora> klucze;    // current: one per usage
    std::vector<KluczSymulatora> wycofane;  // replaced ones, still recognised
    QHash<QString, Wyzwanie> wyzwania;
    QHash<QString, TokenKsef> tokenyKsef;
    QHash<QString, Uwierzytelnienie> uwierzytelnienia;
    QHash<QString, QString> tokenyOperacji;  // authenticationToken -> authentication
    QHash<QString, TokenDostepu> tokenyDostepu;
    QHash<QString, QString> tokenyOdswiezania;  // refreshToken -> authentication
    QHash<QString, Sesja> sesje;
    std::vector<Faktura> faktury;
    QHash<QString, QPair<QString, QString>> przyjete;  // nip|kind|number -> session, KSeF number
    std::vector<Awaria> awarie;
    std::vector<QString> zadania;  // paths, in order
    QStringList bledy;
    int opoznienie = 0;
    int retryAfter = 30;
    int kodBledu = 500;
    quint64 licznik = 0;
    std::shared_ptr<const SchematXml> schematFa3;

    // The server and its connections are deleted on their own thread, which then ends: a deferred
    // delete still runs when a thread finishes.
    void zatrzymaj() {
        serwer->deleteLater();
        watek.quit();
        watek.wait();
    }

    OdpowiedzHttp obsluz(const ZadanieHttp& z);
    OdpowiedzHttp wykonaj(const ZadanieHttp& z, const QString& sciezka);

    bool wez(AwariaSymulatora rodzaj, const QString& sciezka);
    void blad(const QString& opis) { bledy << opis; }
    QString numerReferencyjny(const char* rodzaj);
    QString token(const char* rodzaj, const QString& numer, const QDateTime& waznyDo);
    QString numerKsef(const QString& nip, const QDate& dzien);
    QString adresBazowy() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }
    void noweKlucze();
    const KluczSymulatora* klucz(const QString& uzycie) const;
    // Decrypts with the current key of that usage. `wycofany`: it was made for a replaced key.
    std::optional<QByteArray> odszyfruj(const QString& uzycie, const QString& publicKeyId,
                                        const QByteArray& dane, bool* wycofany, QString* idKlucza) const;

    // The bearer token's authentication, or a 401.
    const Uwierzytelnienie* dostep(const ZadanieHttp& z, OdpowiedzHttp* odmowa);

    OdpowiedzHttp kluczePubliczne();
    OdpowiedzHttp wyzwanie();
    OdpowiedzHttp tokenKsef(const ZadanieHttp& z, const QString& sciezka);
    OdpowiedzHttp podpisXades(const ZadanieHttp& z, const QString& sciezka);
    OdpowiedzHttp rozpocznij(Uwierzytelnienie u);
    OdpowiedzHttp stanUwierzytelnienia(const ZadanieHttp& z, const QString& numer);
    OdpowiedzHttp odbierz(const ZadanieHttp& z, const QString& sciezka);
    OdpowiedzHttp odswiez(const ZadanieHttp& z);
    OdpowiedzHttp zakonczBiezace(const ZadanieHttp& z);
    OdpowiedzHttp otworzSesje(const ZadanieHttp& z, const Uwierzytelnienie& u);
    OdpowiedzHttp wyslijFakture(const ZadanieHttp& z, const Uwierzytelnienie& u, const QString& numer,
                                const QString& sciezka);
    // A technical correction's hashOfCorrectedInvoice checked against what KSeF holds: the index of
    // the invoice it corrects, or the refusal.
    std::optional<OdpowiedzHttp> sprawdzKorekteTechniczna(const QString& nip, bool offline,
                                                          const QString& skrotB64, int* korygowana);
    OdpowiedzHttp zamknijSesje(const Uwierzytelnienie& u, const QString& numer);
    OdpowiedzHttp stanSesji(const Uwierzytelnienie& u, const QString& numer);
    OdpowiedzHttp listaFaktur(const ZadanieHttp& z, const Uwierzytelnienie& u, const QString& numer,
                              bool tylkoBledne);
    OdpowiedzHttp stanFaktury(const Uwierzytelnienie& u, const QString& sesja, const QString& faktura);
    OdpowiedzHttp upoFaktury(const Uwierzytelnienie& u, const QString& sesja, const QString& faktura,
                             bool poNumerzeKsef);
    OdpowiedzHttp upoSesji(const QString& sesja, const QString& numerUpo, const Uwierzytelnienie* u);

    Sesja* sesjaKontekstu(const Uwierzytelnienie& u, const QString& numer);
    Status biezacyStatus(Faktura& f, bool zapytanie);
    QJsonObject opisFaktury(Faktura& f, bool zapytanie);
    QByteArray upo(const Sesja& s, const QList<int>& faktury, bool sesji) const;
};

// ---- the failures asked for ----

bool SymulatorKsef::Wnetrze::wez(AwariaSymulatora rodzaj, const QString& sciezka) {
    for (auto it = awarie.begin(); it != awarie.end(); ++it) {
        if (it->rodzaj != rodzaj || !it->sciezka.match(sciezka).hasMatch()) continue;
        if (--it->ile <= 0) awarie.erase(it);
        return true;
    }
    return false;
}

// ---- numbers and tokens ----

QString SymulatorKsef::Wnetrze::numerReferencyjny(const char* rodzaj) {
    const QDateTime teraz = QDateTime::currentDateTimeUtc();
    const QString czesc = QStringLiteral("%1-%2-%3-%4")
                              .arg(teraz.toString(QStringLiteral("yyyyMMdd")), QString::fromLatin1(rodzaj))
                              .arg(((quint64(teraz.toMSecsSinceEpoch()) << 8) + ++licznik) % 0xFFFFFFFFFFull,
                                   10, 16, QLatin1Char('0'))
                              .arg(Hex(LosoweBajty(5)));
    return (czesc + QStringLiteral("-%1").arg(uint(Crc8(czesc.toLatin1())), 2, 16, QLatin1Char('0')))
        .toUpper();
}

QString SymulatorKsef::Wnetrze::token(const char* rodzaj, const QString& numer, const QDateTime& waznyDo) {
    const auto b64 = [](const QByteArray& b) {
        return b.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    };
    const QJsonObject tresc{{QStringLiteral("token-type"), QString::fromLatin1(rodzaj)},
                            {QStringLiteral("operation-reference-number"), numer},
                            {QStringLiteral("exp"), waznyDo.toSecsSinceEpoch()},
                            {QStringLiteral("jti"), Hex(LosoweBajty(12))}};
    return QString::fromLatin1(b64(R"({"alg":"HS256","typ":"JWT"})") + '.' + b64(Json(tresc)) + '.' +
                               b64(LosoweBajty(32)));
}

QString SymulatorKsef::Wnetrze::numerKsef(const QString& nip, const QDate& dzien) {
    const quint64 techniczna =
        (quint64(QDateTime::currentMSecsSinceEpoch()) * 16 + (++licznik % 16)) & 0xFFFFFFFFFFFFull;
    const QString dane = QStringLiteral("%1-%2-%3")
                             .arg(nip, dzien.toString(QStringLiteral("yyyyMMdd")))
                             .arg(techniczna, 12, 16, QLatin1Char('0'))
                             .toUpper();
    return dane + QStringLiteral("-%1").arg(uint(Crc8(dane.toLatin1())), 2, 16, QLatin1Char('0')).toUpper();
}

void SymulatorKsef::Wnetrze::noweKlucze() {
    for (auto& k : klucze) wycofane.push_back(std::move(k));
    klucze.clear();
    klucze.push_back(NowyKluczSymulatora(QStringLiteral("KsefTokenEncryption")));
    klucze.push_back(NowyKluczSymulatora(QStringLiteral("SymmetricKeyEncryption")));
}

const KluczSymulatora* SymulatorKsef::Wnetrze::klucz(const QString& uzycie) const {
    for (const auto& k : klucze)
        if (k.uzycie == uzycie) return &k;
    return nullptr;
}

std::optional<QByteArray> SymulatorKsef::Wnetrze::odszyfruj(const QString& uzycie, const QString& publicKeyId,
                                                            const QByteArray& dane, bool* wycofany,
                                                            QString* idKlucza) const {
    *wycofany = false;
    const KluczSymulatora* biezacy = klucz(uzycie);
    if (!publicKeyId.isEmpty() && (!biezacy || biezacy->publicKeyId != publicKeyId)) {
        *wycofany = true;  // unknown or replaced: the API does not say which
        *idKlucza = publicKeyId;
        return std::nullopt;
    }
    if (biezacy)
        if (auto wynik = OdszyfrujRsaOaep(*biezacy, dane)) return wynik;
    for (const auto& k : wycofane)
        if (k.uzycie == uzycie && OdszyfrujRsaOaep(k, dane)) {
            *wycofany = true;
            *idKlucza = k.publicKeyId;
            return std::nullopt;
        }
    return std::nullopt;
}

const Uwierzytelnienie* SymulatorKsef::Wnetrze::dostep(const ZadanieHttp& z, OdpowiedzHttp* odmowa) {
    const QByteArray naglowek = z.naglowek("authorization");
    if (!naglowek.startsWith("Bearer ")) {
        *odmowa = Problem(401, QStringLiteral("Unauthorized"),
                          QStringLiteral("Wymagane jest uwierzytelnienie."), z.sciezka);
        blad(QStringLiteral("żądanie bez tokena dostępu: %1").arg(z.sciezka));
        return nullptr;
    }
    const QString token = QString::fromLatin1(naglowek.mid(7).trimmed());
    const auto it = tokenyDostepu.constFind(token);
    if (it == tokenyDostepu.cend() || it->waznyDo < QDateTime::currentDateTimeUtc()) {
        *odmowa = Problem(401, QStringLiteral("Unauthorized"),
                          QStringLiteral("Token dostępu jest nieprawidłowy lub wygasł."), z.sciezka);
        blad(QStringLiteral("nieznany lub wygasły token dostępu: %1").arg(z.sciezka));
        return nullptr;
    }
    return &uwierzytelnienia[it->uwierzytelnienie];
}

// ---- dispatch ----

OdpowiedzHttp SymulatorKsef::Wnetrze::obsluz(const ZadanieHttp& z) {
    std::lock_guard b(blokada);
    if (z.sciezka.startsWith(QLatin1String("/storage/upo/"))) {
        // The download address given beside the session's UPO: no token, as in KSeF.
        const QStringList czesci = z.sciezka.mid(13).split(QLatin1Char('/'));
        if (czesci.size() == 2 && z.metoda == "GET") return upoSesji(czesci[0], czesci[1], nullptr);
        return Problem(404, QStringLiteral("Not Found"), QStringLiteral("Nie znaleziono."), z.sciezka);
    }
    if (!z.sciezka.startsWith(QLatin1String("/v2/")))
        return Problem(404, QStringLiteral("Not Found"), QStringLiteral("Nie znaleziono."), z.sciezka);
    const QString sciezka = z.sciezka.mid(3);
    zadania.push_back(sciezka);
    if (wez(AwariaSymulatora::ZaDuzoZadan, sciezka)) {
        OdpowiedzHttp odp = OdpowiedzJson(
            429, QJsonObject{
                     {QStringLiteral("status"),
                      QJsonObject{{QStringLiteral("code"), 429},
                                  {QStringLiteral("description"), QStringLiteral("Too Many Requests")},
                                  {QStringLiteral("details"),
                                   QJsonArray{QStringLiteral("Przekroczono limit żądań. Spróbuj ponownie po "
                                                             "%1 sekundach.")
                                                  .arg(retryAfter)}}}}});
        odp.naglowki.append({"Retry-After", QByteArray::number(retryAfter)});
        return odp;
    }
    if (wez(AwariaSymulatora::BladSerwera, sciezka)) {
        const QString tytul = kodBledu == 502   ? QStringLiteral("Bad Gateway")
                              : kodBledu == 503 ? QStringLiteral("Service Unavailable")
                              : kodBledu == 504 ? QStringLiteral("Gateway Timeout")
                                                : QStringLiteral("Internal Server Error");
        return Problem(kodBledu, tytul, QStringLiteral("Usługa jest chwilowo niedostępna."), z.sciezka);
    }
    const bool zerwij = wez(AwariaSymulatora::ZerwanePolaczenie, sciezka);
    OdpowiedzHttp odp = wykonaj(z, sciezka);
    odp.zerwij = zerwij;
    return odp;
}

OdpowiedzHttp SymulatorKsef::Wnetrze::wykonaj(const ZadanieHttp& z, const QString& sciezka) {
    const QStringList s = sciezka.mid(1).split(QLatin1Char('/'));
    const bool get = z.metoda == "GET";
    const bool post = z.metoda == "POST";
    const auto nieTa = [&] {
        return Problem(405, QStringLiteral("Method Not Allowed"), QStringLiteral("Niedozwolona metoda."),
                       z.sciezka);
    };

    if (sciezka == QLatin1String("/security/public-key-certificates"))
        return get ? kluczePubliczne() : nieTa();
    if (s.value(0) == QLatin1String("auth")) {
        if (sciezka == QLatin1String("/auth/challenge")) return post ? wyzwanie() : nieTa();
        if (sciezka == QLatin1String("/auth/ksef-token")) return post ? tokenKsef(z, sciezka) : nieTa();
        if (sciezka == QLatin1String("/auth/xades-signature"))
            return post ? podpisXades(z, sciezka) : nieTa();
        if (sciezka == QLatin1String("/auth/token/redeem")) return post ? odbierz(z, sciezka) : nieTa();
        if (sciezka == QLatin1String("/auth/token/refresh")) return post ? odswiez(z) : nieTa();
        if (sciezka == QLatin1String("/auth/sessions/current"))
            return z.metoda == "DELETE" ? zakonczBiezace(z) : nieTa();
        if (s.size() == 2) return get ? stanUwierzytelnienia(z, s[1]) : nieTa();
    }
    if (s.value(0) == QLatin1String("sessions") && s.size() >= 2) {
        OdpowiedzHttp odmowa;
        const Uwierzytelnienie* u = dostep(z, &odmowa);
        if (!u) return odmowa;
        if (s[1] == QLatin1String("online")) {
            if (s.size() == 2) return post ? otworzSesje(z, *u) : nieTa();
            if (s.size() == 4 && s[3] == QLatin1String("invoices"))
                return post ? wyslijFakture(z, *u, s[2], sciezka) : nieTa();
            if (s.size() == 4 && s[3] == QLatin1String("close"))
                return post ? zamknijSesje(*u, s[2]) : nieTa();
        } else if (get) {
            if (s.size() == 2) return stanSesji(*u, s[1]);
            if (s.size() == 3 && s[2] == QLatin1String("invoices")) return listaFaktur(z, *u, s[1], false);
            if (s.size() == 4 && s[2] == QLatin1String("invoices") && s[3] == QLatin1String("failed"))
                return listaFaktur(z, *u, s[1], true);
            if (s.size() == 4 && s[2] == QLatin1String("invoices")) return stanFaktury(*u, s[1], s[3]);
            if (s.size() == 5 && s[2] == QLatin1String("invoices") && s[4] == QLatin1String("upo"))
                return upoFaktury(*u, s[1], s[3], false);
            if (s.size() == 6 && s[2] == QLatin1String("invoices") && s[3] == QLatin1String("ksef") &&
                s[5] == QLatin1String("upo"))
                return upoFaktury(*u, s[1], s[4], true);
            if (s.size() == 4 && s[2] == QLatin1String("upo")) return upoSesji(s[1], s[3], u);
        }
    }
    blad(QStringLiteral("nieznana ścieżka: %1 %2").arg(QString::fromLatin1(z.metoda), z.sciezka));
    return Problem(404, QStringLiteral("Not Found"), QStringLiteral("Nie znaleziono."), z.sciezka);
}

// ---- keys and authentication ----

OdpowiedzHttp SymulatorKsef::Wnetrze::kluczePubliczne() {
    QJsonArray lista;
    for (const auto& k : klucze)
        lista.append(
            QJsonObject{{QStringLiteral("certificate"), QString::fromLatin1(k.certyfikatDer.toBase64())},
                        {QStringLiteral("certificateId"), k.certificateId},
                        {QStringLiteral("publicKeyId"), k.publicKeyId},
                        {QStringLiteral("validFrom"), Czas(k.od)},
                        {QStringLiteral("validTo"), Czas(k.do_)},
                        {QStringLiteral("usage"), QJsonArray{k.uzycie}}});
    OdpowiedzHttp odp;
    odp.cialo = QJsonDocument(lista).toJson(QJsonDocument::Compact);
    return odp;
}

OdpowiedzHttp SymulatorKsef::Wnetrze::wyzwanie() {
    const QDateTime teraz = QDateTime::currentDateTimeUtc();
    const QString numer = numerReferencyjny("CR");
    wyzwania.insert(numer, Wyzwanie{teraz, false});
    return OdpowiedzJson(200, QJsonObject{{QStringLiteral("challenge"), numer},
                                          {QStringLiteral("timestamp"), Czas(teraz)},
                                          {QStringLiteral("timestampMs"), teraz.toMSecsSinceEpoch()},
                                          {QStringLiteral("clientIp"), QStringLiteral("127.0.0.1")}});
}

namespace {

QJsonObject CzytajJson(const QByteArray& cialo, QString* blad) {
    QJsonParseError e;
    const QJsonDocument dok = QJsonDocument::fromJson(cialo, &e);
    if (e.error != QJsonParseError::NoError || !dok.isObject()) {
        *blad = QStringLiteral("Treść żądania nie jest obiektem JSON: %1").arg(e.errorString());
        return {};
    }
    return dok.object();
}

OdpowiedzHttp BladDanych(const QString& szczegol) {
    return BladApi(400, 21405, QStringLiteral("Błąd walidacji danych wejściowych."), {szczegol});
}

}  // namespace

OdpowiedzHttp SymulatorKsef::Wnetrze::tokenKsef(const ZadanieHttp& z, const QString& sciezka) {
    QString bladJson;
    const QJsonObject o = CzytajJson(z.cialo, &bladJson);
    if (!bladJson.isEmpty()) return BladDanych(bladJson);
    const QString wyzwanieTekst = o.value(QStringLiteral("challenge")).toString();
    const QJsonObject kontekst = o.value(QStringLiteral("contextIdentifier")).toObject();
    const QString szyfrogramB64 = o.value(QStringLiteral("encryptedToken")).toString();
    if (wyzwanieTekst.isEmpty() || szyfrogramB64.isEmpty() ||
        kontekst.value(QStringLiteral("type")).toString() != QLatin1String("Nip") ||
        kontekst.value(QStringLiteral("value")).toString().isEmpty())
        return BladDanych(
            QStringLiteral("Wymagane pola: challenge, contextIdentifier (Nip), encryptedToken."));
    const QString nip = kontekst.value(QStringLiteral("value")).toString();

    auto w = wyzwania.find(wyzwanieTekst);
    const QDateTime teraz = QDateTime::currentDateTimeUtc();
    const bool wygasle = wez(AwariaSymulatora::WygaslaWyzwanie, sciezka);
    if (w == wyzwania.end() || w->uzyte || wygasle || w->czas.msecsTo(teraz) > ZycieWyzwaniaMs) {
        blad(QStringLiteral("nieprawidłowe lub wygasłe wyzwanie %1").arg(wyzwanieTekst));
        return BladApi(400, 21111, QStringLiteral("Nieprawidłowe wyzwanie autoryzacyjne."));
    }
    w->uzyte = true;

    bool wycofany = false;
    QString idKlucza;
    const auto jawny =
        odszyfruj(QStringLiteral("KsefTokenEncryption"), o.value(QStringLiteral("publicKeyId")).toString(),
                  QByteArray::fromBase64(szyfrogramB64.toLatin1()), &wycofany, &idKlucza);
    if (wycofany) {
        blad(QStringLiteral("token zaszyfrowany wycofanym lub nieznanym kluczem %1").arg(idKlucza));
        return BladApi(
            400, 21470,
            QStringLiteral("Przesłany identyfikator klucza jest nieznany lub wskazuje na wycofany klucz."),
            {QStringLiteral("Klucz o identyfikatorze %1 nie jest wspierany.").arg(idKlucza)});
    }

    Uwierzytelnienie u;
    u.nip = nip;
    u.metoda = QStringLiteral("Token");
    u.kategoria = QStringLiteral("Token");
    u.nazwaMetody = QStringLiteral("Token KSeF");
    const Status zlyToken{
        450,
        QStringLiteral("Uwierzytelnianie zakończone niepowodzeniem z powodu błędnego tokenu"),
        {QStringLiteral("Nieprawidłowy token")},
        {}};
    const QString tekst = jawny ? QString::fromUtf8(*jawny) : QString();
    const qsizetype kreska = tekst.lastIndexOf(QLatin1Char('|'));
    const QString token = kreska > 0 ? tekst.left(kreska) : QString();
    const auto znany = tokenyKsef.constFind(token);
    if (!jawny || kreska <= 0 || znany == tokenyKsef.cend()) {
        blad(QStringLiteral("nieprawidłowy token KSeF"));
        u.wynik = zlyToken;
    } else if (tekst.mid(kreska + 1) != QString::number(w->czas.toMSecsSinceEpoch())) {
        blad(QStringLiteral("znacznik czasu tokena nie zgadza się z wyzwaniem"));
        u.wynik = zlyToken;
        u.wynik.szczegoly = QStringList{QStringLiteral("Nieprawidłowy czas tokena")};
    } else if (znany->nip != nip) {
        blad(QStringLiteral("token nie daje uprawnień w kontekście %1").arg(nip));
        u.wynik = Status{415,
                         QStringLiteral("Uwierzytelnianie zakończone niepowodzeniem"),
                         {QStringLiteral("Brak przypisanych uprawnień")},
                         {}};
    } else {
        u.wynik = Status{200, QStringLiteral("Uwierzytelnianie zakończone sukcesem"), {}, {}};
        u.numerTokenaKsef = znany->numerReferencyjny;
    }
    return rozpocznij(std::move(u));
}

OdpowiedzHttp SymulatorKsef::Wnetrze::podpisXades(const ZadanieHttp& z, const QString& sciezka) {
    if (!z.naglowek("content-type").startsWith("application/xml"))
        return BladDanych(QStringLiteral("Oczekiwano treści application/xml."));
    const WynikPodpisu p = SprawdzPodpisXades(z.cialo);
    if (p.kodBledu != 0) {
        blad(QStringLiteral("podpis XAdES odrzucony: %1").arg(p.opisBledu));
        return BladApi(400, p.kodBledu, p.opisBledu);
    }
    const QStringList bledySchematu = SchematAuth(p.wersja21)->waliduj(p.trescBezPodpisu);
    if (!bledySchematu.isEmpty()) {
        blad(QStringLiteral("AuthTokenRequest niezgodny ze schematem: %1").arg(bledySchematu.join(u' ')));
        return BladApi(400, 21401, QStringLiteral("Dokument nie jest zgodny ze schemą (xsd)."),
                       bledySchematu.mid(0, 5));
    }
    auto w = wyzwania.find(p.wyzwanie);
    const bool wygasle = wez(AwariaSymulatora::WygaslaWyzwanie, sciezka);
    if (w == wyzwania.end() || w->uzyte || wygasle ||
        w->czas.msecsTo(QDateTime::currentDateTimeUtc()) > ZycieWyzwaniaMs) {
        blad(QStringLiteral("nieprawidłowe lub wygasłe wyzwanie %1").arg(p.wyzwanie));
        return BladApi(400, 21111, QStringLiteral("Nieprawidłowe wyzwanie autoryzacyjne."));
    }
    w->uzyte = true;
    if (p.nipKontekstu.isEmpty())
        return BladApi(400, 21117,
                       QStringLiteral("Nieprawidłowy identyfikator podmiotu dla wskazanego typu kontekstu."));

    Uwierzytelnienie u;
    u.nip = p.nipKontekstu;
    u.kategoria = QStringLiteral("XadesSignature");
    // A seal names an organisation; a person's certificate carries TINPL in serialNumber.
    u.metoda = p.pieczec ? QStringLiteral("QualifiedSeal") : QStringLiteral("QualifiedSignature");
    u.nazwaMetody =
        p.pieczec ? QStringLiteral("Pieczęć kwalifikowana") : QStringLiteral("Podpis kwalifikowany");
    u.skrotDokumentu = QString::fromLatin1(Sha256(z.cialo).toBase64());
    if (!p.certyfikatWazny) {
        blad(QStringLiteral("certyfikat podpisu poza okresem ważności"));
        u.wynik =
            Status{460,
                   QStringLiteral("Uwierzytelnianie zakończone niepowodzeniem z powodu błędu certyfikatu"),
                   {QStringLiteral("Nieważny certyfikat")},
                   {}};
    } else if (p.nipCertyfikatu != p.nipKontekstu) {
        blad(QStringLiteral("certyfikat nie wskazuje NIP %1").arg(p.nipKontekstu));
        u.wynik = Status{415,
                         QStringLiteral("Uwierzytelnianie zakończone niepowodzeniem"),
                         {QStringLiteral("Brak przypisanych uprawnień")},
                         {}};
    } else {
        u.wynik = Status{200, QStringLiteral("Uwierzytelnianie zakończone sukcesem"), {}, {}};
    }
    return rozpocznij(std::move(u));
}

OdpowiedzHttp SymulatorKsef::Wnetrze::rozpocznij(Uwierzytelnienie u) {
    u.numer = numerReferencyjny("AU");
    u.start = QDateTime::currentDateTimeUtc();
    const QDateTime waznyDo = u.start.addSecs(2 * 3600);
    const QString tokenOperacji = token("OperationToken", u.numer, waznyDo);
    tokenyOperacji.insert(tokenOperacji, u.numer);
    const QString numer = u.numer;
    uwierzytelnienia.insert(numer, std::move(u));
    return OdpowiedzJson(202, QJsonObject{{QStringLiteral("referenceNumber"), numer},
                                          {QStringLiteral("authenticationToken"),
                                           QJsonObject{{QStringLiteral("token"), tokenOperacji},
                                                       {QStringLiteral("validUntil"), Czas(waznyDo)}}}});
}

OdpowiedzHttp SymulatorKsef::Wnetrze::stanUwierzytelnienia(const ZadanieHttp& z, const QString& numer) {
    const QByteArray naglowek = z.naglowek("authorization");
    const QString token = QString::fromLatin1(naglowek.mid(7).trimmed());
    if (!naglowek.startsWith("Bearer ") || tokenyOperacji.value(token) != numer) {
        blad(QStringLiteral("stan uwierzytelnienia bez jego tokena operacji"));
        return Problem(401, QStringLiteral("Unauthorized"), QStringLiteral("Wymagane jest uwierzytelnienie."),
                       z.sciezka);
    }
    Uwierzytelnienie& u = uwierzytelnienia[numer];
    ++u.zapytan;
    const Status status =
        u.zapytan > opoznienie ? u.wynik : Status{100, QStringLiteral("Uwierzytelnianie w toku"), {}, {}};
    return OdpowiedzJson(200, QJsonObject{{QStringLiteral("startDate"), Czas(u.start)},
                                          {QStringLiteral("authenticationMethod"), u.metoda},
                                          {QStringLiteral("authenticationMethodInfo"),
                                           QJsonObject{{QStringLiteral("category"), u.kategoria},
                                                       {QStringLiteral("code"), u.metoda},
                                                       {QStringLiteral("displayName"), u.nazwaMetody}}},
                                          {QStringLiteral("status"), status.json()}});
}

OdpowiedzHttp SymulatorKsef::Wnetrze::odbierz(const ZadanieHttp& z, const QString& sciezka) {
    const QByteArray naglowek = z.naglowek("authorization");
    const QString numer = tokenyOperacji.value(QString::fromLatin1(naglowek.mid(7).trimmed()));
    if (!naglowek.startsWith("Bearer ") || numer.isEmpty()) {
        blad(QStringLiteral("odbiór tokenów bez tokena operacji"));
        return Problem(401, QStringLiteral("Unauthorized"), QStringLiteral("Wymagane jest uwierzytelnienie."),
                       z.sciezka);
    }
    Uwierzytelnienie& u = uwierzytelnienia[numer];
    if (wez(AwariaSymulatora::PonownyOdbior, sciezka)) u.odebrane = true;  // as if an earlier answer was lost
    if (u.odebrane) {
        blad(QStringLiteral("ponowny odbiór tokenów %1").arg(numer));
        return BladApi(
            400, 21301, QStringLiteral("Brak autoryzacji."),
            {QStringLiteral("Tokeny dla operacji uwierzytelniania %1 zostały już pobrane.").arg(numer)});
    }
    if (u.zapytan <= opoznienie || u.wynik.kod != 200) {
        const int kod = u.zapytan <= opoznienie ? 100 : u.wynik.kod;
        blad(QStringLiteral("odbiór tokenów przy stanie %1").arg(kod));
        return BladApi(
            400, 21301, QStringLiteral("Brak autoryzacji."),
            {QStringLiteral("Status uwierzytelniania (%1) nie pozwala na pobranie tokenów.").arg(kod)});
    }
    u.odebrane = true;
    const QDateTime teraz = QDateTime::currentDateTimeUtc();
    const QString dostepu = token("ContextToken", numer, teraz.addSecs(15 * 60));
    const QString odswiezania = token("RefreshToken", numer, teraz.addDays(7));
    tokenyDostepu.insert(dostepu, TokenDostepu{numer, teraz.addSecs(15 * 60)});
    tokenyOdswiezania.insert(odswiezania, numer);
    return OdpowiedzJson(
        200, QJsonObject{{QStringLiteral("accessToken"),
                          QJsonObject{{QStringLiteral("token"), dostepu},
                                      {QStringLiteral("validUntil"), Czas(teraz.addSecs(15 * 60))}}},
                         {QStringLiteral("refreshToken"),
                          QJsonObject{{QStringLiteral("token"), odswiezania},
                                      {QStringLiteral("validUntil"), Czas(teraz.addDays(7))}}}});
}

OdpowiedzHttp SymulatorKsef::Wnetrze::odswiez(const ZadanieHttp& z) {
    const QByteArray naglowek = z.naglowek("authorization");
    const QString numer = tokenyOdswiezania.value(QString::fromLatin1(naglowek.mid(7).trimmed()));
    if (!naglowek.startsWith("Bearer ") || numer.isEmpty()) {
        blad(QStringLiteral("odświeżenie bez tokena odświeżania"));
        return Problem(401, QStringLiteral("Unauthorized"), QStringLiteral("Wymagane jest uwierzytelnienie."),
                       z.sciezka);
    }
    const QDateTime waznyDo = QDateTime::currentDateTimeUtc().addSecs(15 * 60);
    const QString dostepu = token("ContextToken", numer, waznyDo);
    tokenyDostepu.insert(dostepu, TokenDostepu{numer, waznyDo});
    return OdpowiedzJson(200, QJsonObject{{QStringLiteral("accessToken"),
                                           QJsonObject{{QStringLiteral("token"), dostepu},
                                                       {QStringLiteral("validUntil"), Czas(waznyDo)}}}});
}

// The authentication of the access token ends: its access and refresh tokens are no longer taken.
OdpowiedzHttp SymulatorKsef::Wnetrze::zakonczBiezace(const ZadanieHttp& z) {
    OdpowiedzHttp odmowa;
    if (!dostep(z, &odmowa)) return odmowa;
    const QString token = QString::fromLatin1(z.naglowek("authorization").mid(7).trimmed());
    const QString numer = tokenyDostepu.value(token).uwierzytelnienie;
    for (auto it = tokenyDostepu.begin(); it != tokenyDostepu.end();)
        it = it->uwierzytelnienie == numer ? tokenyDostepu.erase(it) : std::next(it);
    for (auto it = tokenyOdswiezania.begin(); it != tokenyOdswiezania.end();)
        it = it.value() == numer ? tokenyOdswiezania.erase(it) : std::next(it);
    OdpowiedzHttp odp;
    odp.kod = 204;
    return odp;
}

// ---- sessions and invoices ----

OdpowiedzHttp SymulatorKsef::Wnetrze::otworzSesje(const ZadanieHttp& z, const Uwierzytelnienie& u) {
    QString bladJson;
    const QJsonObject o = CzytajJson(z.cialo, &bladJson);
    if (!bladJson.isEmpty()) return BladDanych(bladJson);
    const QJsonObject formularz = o.value(QStringLiteral("formCode")).toObject();
    if (formularz.value(QStringLiteral("systemCode")).toString() != QLatin1String("FA (3)") ||
        formularz.value(QStringLiteral("schemaVersion")).toString() != QLatin1String("1-0E") ||
        formularz.value(QStringLiteral("value")).toString() != QLatin1String("FA")) {
        blad(QStringLiteral("nieobsługiwany formCode sesji"));
        return BladDanych(QStringLiteral("Nieobsługiwany formCode: symulator przyjmuje FA (3) 1-0E FA."));
    }
    const QJsonObject szyfrowanie = o.value(QStringLiteral("encryption")).toObject();
    const QByteArray iv = QByteArray::fromBase64(
        szyfrowanie.value(QStringLiteral("initializationVector")).toString().toLatin1());
    const QByteArray zaszyfrowany = QByteArray::fromBase64(
        szyfrowanie.value(QStringLiteral("encryptedSymmetricKey")).toString().toLatin1());
    if (iv.size() != 16 || zaszyfrowany.isEmpty()) {
        blad(QStringLiteral("wektor IV nie ma 16 bajtów lub brak klucza"));
        return BladDanych(
            QStringLiteral("initializationVector musi mieć 16 bajtów, encryptedSymmetricKey jest wymagany."));
    }
    bool wycofany = false;
    QString idKlucza;
    const auto klucz = odszyfruj(QStringLiteral("SymmetricKeyEncryption"),
                                 szyfrowanie.value(QStringLiteral("publicKeyId")).toString(), zaszyfrowany,
                                 &wycofany, &idKlucza);
    if (wycofany) {
        blad(QStringLiteral("klucz sesji zaszyfrowany wycofanym lub nieznanym kluczem %1").arg(idKlucza));
        return BladApi(
            400, 21470,
            QStringLiteral("Przesłany identyfikator klucza jest nieznany lub wskazuje na wycofany klucz."),
            {QStringLiteral("Klucz o identyfikatorze %1 nie jest wspierany.").arg(idKlucza)});
    }
    Sesja s;
    s.numer = numerReferencyjny("SO");
    s.nip = u.nip;
    s.uwierzytelnienie = u.numer;
    s.kluczPoprawny = klucz && klucz->size() == 32;
    if (s.kluczPoprawny)
        s.klucz = *klucz;
    else
        blad(QStringLiteral("nie można odszyfrować klucza sesji %1").arg(s.numer));
    s.iv = iv;
    s.utworzona = s.zmieniona = QDateTime::currentDateTimeUtc();
    s.waznaDo = s.utworzona.addSecs(12 * 3600);
    const QString numer = s.numer;
    const QDateTime waznaDo = s.waznaDo;
    sesje.insert(numer, std::move(s));
    return OdpowiedzJson(201, QJsonObject{{QStringLiteral("referenceNumber"), numer},
                                          {QStringLiteral("validUntil"), Czas(waznaDo)}});
}

Sesja* SymulatorKsef::Wnetrze::sesjaKontekstu(const Uwierzytelnienie& u, const QString& numer) {
    const auto it = sesje.find(numer);
    if (it == sesje.end() || it->nip != u.nip) return nullptr;
    return &*it;
}

namespace {

OdpowiedzHttp BrakSesji(const QString& numer) {
    return BladApi(400, 21173, QStringLiteral("Brak sesji o wskazanym numerze referencyjnym."),
                   {QStringLiteral("Sesja o numerze referencyjnym %1 nie została odnaleziona.").arg(numer)});
}

int StatusSesjiOtwartej(const Sesja& s) { return s.kluczPoprawny ? 100 : 415; }

}  // namespace

OdpowiedzHttp SymulatorKsef::Wnetrze::wyslijFakture(const ZadanieHttp& z, const Uwierzytelnienie& u,
                                                    const QString& numer, const QString& sciezka) {
    Sesja* s = sesjaKontekstu(u, numer);
    if (!s) {
        blad(QStringLiteral("faktura do nieznanej sesji %1").arg(numer));
        return BrakSesji(numer);
    }
    if (s->zamknieta || !s->kluczPoprawny) {
        const int kod = s->zamknieta ? 170 : StatusSesjiOtwartej(*s);
        blad(QStringLiteral("faktura do sesji w stanie %1").arg(kod));
        return BladApi(400, 21180, QStringLiteral("Status sesji nie pozwala na wykonanie operacji."),
                       {QStringLiteral("Status sesji %1 uniemożliwia wysyłkę faktur.").arg(kod)});
    }
    if (s->faktury.size() >= 10000) {
        blad(QStringLiteral("przekroczony limit faktur sesji %1").arg(numer));
        return BladApi(
            400, 21155, QStringLiteral("Przekroczono dozwoloną liczbę faktur w sesji."),
            {QStringLiteral("Sesja o numerze referencyjnym %1 osiągnęła dozwolony limit liczby faktur 10000.")
                 .arg(numer)});
    }
    QString bladJson;
    const QJsonObject o = CzytajJson(z.cialo, &bladJson);
    if (!bladJson.isEmpty()) return BladDanych(bladJson);
    const QByteArray skrot =
        QByteArray::fromBase64(o.value(QStringLiteral("invoiceHash")).toString().toLatin1());
    const QByteArray skrotZaszyfrowanej =
        QByteArray::fromBase64(o.value(QStringLiteral("encryptedInvoiceHash")).toString().toLatin1());
    const qint64 rozmiar = o.value(QStringLiteral("invoiceSize")).toInteger(-1);
    const qint64 rozmiarZaszyfrowanej = o.value(QStringLiteral("encryptedInvoiceSize")).toInteger(-1);
    const QByteArray tresc =
        QByteArray::fromBase64(o.value(QStringLiteral("encryptedInvoiceContent")).toString().toLatin1());
    if (skrot.size() != 32 || skrotZaszyfrowanej.size() != 32 || rozmiar < 1 || rozmiarZaszyfrowanej < 1 ||
        tresc.isEmpty()) {
        blad(QStringLiteral("niepełne metadane faktury"));
        return BladDanych(
            QStringLiteral("Wymagane pola: invoiceHash, invoiceSize, encryptedInvoiceHash, "
                           "encryptedInvoiceSize, encryptedInvoiceContent."));
    }
    const auto zlyRozmiar = [&](const QString& co) {
        blad(QStringLiteral("rozmiar %1 nie zgadza się z treścią").arg(co));
        return BladApi(400, 21402, QStringLiteral("Nieprawidłowy rozmiar pliku."),
                       {QStringLiteral("Długość treści nie zgadza się z rozmiarem pliku.")});
    };
    const auto zlySkrot = [&](const QString& co) {
        blad(QStringLiteral("skrót %1 nie zgadza się z treścią").arg(co));
        return BladApi(400, 21403, QStringLiteral("Nieprawidłowy skrót pliku."),
                       {QStringLiteral("Skrót treści nie zgadza się ze skrótem pliku.")});
    };
    const QJsonValue trybOffline = o.value(QStringLiteral("offlineMode"));
    const QJsonValue korygowanaJson = o.value(QStringLiteral("hashOfCorrectedInvoice"));
    if (!(trybOffline.isUndefined() || trybOffline.isNull() || trybOffline.isBool()) ||
        !(korygowanaJson.isUndefined() || korygowanaJson.isNull() || korygowanaJson.isString())) {
        blad(QStringLiteral("offlineMode lub hashOfCorrectedInvoice złego typu"));
        return BladDanych(
            QStringLiteral("offlineMode musi być wartością logiczną, hashOfCorrectedInvoice "
                           "tekstem Base64."));
    }
    const bool deklarowanyOffline = trybOffline.toBool(false);
    const QString skrotKorygowanej = korygowanaJson.toString();
    int korygowana = -1;
    if (!skrotKorygowanej.isEmpty())
        if (auto odmowa = sprawdzKorekteTechniczna(s->nip, deklarowanyOffline, skrotKorygowanej, &korygowana))
            return *odmowa;
    if (tresc.size() != rozmiarZaszyfrowanej) return zlyRozmiar(QStringLiteral("zaszyfrowanej faktury"));
    if (Sha256(tresc) != skrotZaszyfrowanej) return zlySkrot(QStringLiteral("zaszyfrowanej faktury"));
    if (wez(AwariaSymulatora::ZlySkrotFaktury, sciezka))
        return zlySkrot(QStringLiteral("faktury (na żądanie testu)"));

    const auto jawna = OdszyfrujAes256Cbc(s->klucz, s->iv, tresc);
    if (jawna) {
        if (jawna->size() != rozmiar) return zlyRozmiar(QStringLiteral("faktury"));
        if (Sha256(*jawna) != skrot) return zlySkrot(QStringLiteral("faktury"));
    }

    Faktura f;
    f.numer = numerReferencyjny("EE");
    f.sesja = s->numer;
    f.porzadkowy = static_cast<int>(s->faktury.size()) + 1;
    f.skrot = QString::fromLatin1(skrot.toBase64());
    f.przyjeta = QDateTime::currentDateTimeUtc();
    f.deklarowanyOffline = f.offline = deklarowanyOffline;
    f.skrotKorygowanej = skrotKorygowanej;
    f.korygowana = korygowana;
    if (!jawna) {
        blad(QStringLiteral("nie można odszyfrować faktury %1").arg(f.numer));
        f.wynik = Status{435, QStringLiteral("Błąd odszyfrowania pliku"), {}, {}};
    } else {
        f.xml = *jawna;
        const OdczytFaktury odczyt = CzytajFakture(f.xml);
        f.numerFaktury = odczyt.numer;
        f.nipSprzedawcy = odczyt.nipSprzedawcy;
        f.dataWystawienia = odczyt.dataWystawienia;
        const QString klucz = odczyt.nipSprzedawcy + u'|' + odczyt.rodzaj + u'|' + odczyt.numer;
        QStringList bledySchematu;
        if (odczyt.bladPliku.isEmpty() && schematFa3) bledySchematu = schematFa3->waliduj(f.xml);
        const QDate dzis = f.przyjeta.toTimeZone(StrefaPolska()).date();
        // Issued on an earlier day than it arrives: offline, whatever the request declared.
        if (odczyt.dataWystawienia.isValid() && odczyt.dataWystawienia < dzis) f.offline = true;
        if (!odczyt.bladPliku.isEmpty()) {
            f.wynik = Status{430, QStringLiteral("Błąd weryfikacji pliku faktury"), {odczyt.bladPliku}, {}};
        } else if (!bledySchematu.isEmpty()) {
            f.wynik = Status{450,
                             QStringLiteral("Błąd weryfikacji semantyki dokumentu faktury"),
                             QStringList{QStringLiteral("Dokument nie jest zgodny ze schematem FA (3).")} +
                                 bledySchematu.mid(0, 5),
                             {}};
        } else if (odczyt.nipSprzedawcy != s->nip) {
            f.wynik = Status{410,
                             QStringLiteral("Nieprawidłowy zakres uprawnień"),
                             {QStringLiteral("Brak uprawnień do wystawienia faktury w imieniu NIP %1.")
                                  .arg(odczyt.nipSprzedawcy)},
                             {}};
        } else if (odczyt.dataWystawienia.isValid() && odczyt.dataWystawienia > dzis) {
            f.wynik = Status{
                450,
                QStringLiteral("Błąd weryfikacji semantyki dokumentu faktury"),
                {QStringLiteral("Data wystawienia faktury (P_1) jest późniejsza niż data jej przyjęcia.")},
                {}};
        } else if (przyjete.contains(klucz) || wez(AwariaSymulatora::DuplikatFaktury, sciezka)) {
            QPair<QString, QString> oryginal = przyjete.value(klucz);
            if (oryginal.first.isEmpty()) {
                // Asked for without an earlier one here: it was sent from somewhere else.
                oryginal = {numerReferencyjny("SO"), numerKsef(odczyt.nipSprzedawcy, dzis.addDays(-1))};
            }
            f.wynik =
                Status{440,
                       QStringLiteral("Duplikat faktury"),
                       {QStringLiteral("Duplikat faktury. Faktura o numerze KSeF: %1 została już prawidłowo "
                                       "przesłana do systemu w sesji: %2")
                            .arg(oryginal.second, oryginal.first)},
                       {{QStringLiteral("originalSessionReferenceNumber"), oryginal.first},
                        {QStringLiteral("originalKsefNumber"), oryginal.second}}};
        } else if (wez(AwariaSymulatora::OdrzucenieFaktury, sciezka)) {
            f.wynik = Status{450,
                             QStringLiteral("Błąd weryfikacji semantyki dokumentu faktury"),
                             {QStringLiteral("Faktura odrzucona przez symulator na żądanie testu.")},
                             {}};
        } else {
            f.wynik = Status{200, QStringLiteral("Sukces"), {}, {}};
            f.nadanie = f.przyjeta.addMSecs(200);
            f.numerKsef = numerKsef(odczyt.nipSprzedawcy, dzis);
            przyjete.insert(klucz, {s->numer, f.numerKsef});
        }
        if (f.wynik.kod != 200)
            blad(QStringLiteral("faktura %1 odrzucona (%2): %3")
                     .arg(f.numerFaktury)
                     .arg(f.wynik.kod)
                     .arg(f.wynik.szczegoly.join(QStringLiteral("; "))));
    }
    s->faktury.append(static_cast<int>(faktury.size()));
    s->zmieniona = f.przyjeta;
    const QString numerFaktury = f.numer;
    faktury.push_back(std::move(f));
    return OdpowiedzJson(202, QJsonObject{{QStringLiteral("referenceNumber"), numerFaktury}});
}

std::optional<OdpowiedzHttp> SymulatorKsef::Wnetrze::sprawdzKorekteTechniczna(const QString& nip,
                                                                              bool offline,
                                                                              const QString& skrotB64,
                                                                              int* korygowana) {
    const auto odmowa = [&](const QString& szczegol) {
        blad(QStringLiteral("korekta techniczna odrzucona: %1").arg(szczegol));
        return std::optional<OdpowiedzHttp>(BladDanych(szczegol));
    };
    if (!offline)
        return odmowa(
            QStringLiteral("Korekta techniczna (hashOfCorrectedInvoice) wymaga offlineMode: true."));
    if (QByteArray::fromBase64(skrotB64.toLatin1()).size() != 32)
        return odmowa(QStringLiteral("hashOfCorrectedInvoice nie jest skrótem SHA-256 w Base64."));
    // The same bytes may have been sent more than once: every copy of the seller counts.
    QList<int> kopie;
    for (size_t i = 0; i < faktury.size(); ++i)
        if (faktury[i].skrot == skrotB64 && faktury[i].nipSprzedawcy == nip) kopie << static_cast<int>(i);
    if (kopie.isEmpty())
        return odmowa(
            QStringLiteral("Nie znaleziono faktury sprzedawcy %1 o skrócie %2.").arg(nip, skrotB64));
    for (const int i : kopie)
        if (faktury[static_cast<size_t>(i)].wynik.kod == 200) {
            blad(QStringLiteral("korekta techniczna przyjętej faktury %1").arg(skrotB64));
            return BladApi(400, 21167, QStringLiteral("Status faktury nie pozwala na korektę techniczną."),
                           {QStringLiteral("Nie można wysłać korekty technicznej do prawidłowo przetworzonej "
                                           "faktury.")});
        }
    for (const Faktura& f : faktury)
        if (f.korygowana >= 0 && f.wynik.kod == 200 && kopie.contains(f.korygowana)) {
            blad(QStringLiteral("druga korekta techniczna faktury %1").arg(skrotB64));
            return BladApi(
                400, 21166, QStringLiteral("Korekta techniczna niedostępna."),
                {QStringLiteral("Faktura posiada już przetworzoną prawidłowo korektę techniczną.")});
        }
    for (const int i : kopie)
        if (faktury[static_cast<size_t>(i)].offline) {
            *korygowana = i;
            return std::nullopt;
        }
    return odmowa(QStringLiteral("Faktura o skrócie %1 nie była wysłana w trybie offline.").arg(skrotB64));
}

OdpowiedzHttp SymulatorKsef::Wnetrze::zamknijSesje(const Uwierzytelnienie& u, const QString& numer) {
    Sesja* s = sesjaKontekstu(u, numer);
    if (!s) return BrakSesji(numer);
    if (s->zamknieta) {
        blad(QStringLiteral("ponowne zamknięcie sesji %1").arg(numer));
        return BladApi(400, 21180, QStringLiteral("Status sesji nie pozwala na wykonanie operacji."),
                       {QStringLiteral("Status sesji 170 uniemożliwia jej zamknięcie.")});
    }
    s->zamknieta = true;
    s->zmieniona = QDateTime::currentDateTimeUtc();
    s->numerUpo = numerReferencyjny("EU");
    OdpowiedzHttp odp;
    odp.kod = 204;
    return odp;
}

Status SymulatorKsef::Wnetrze::biezacyStatus(Faktura& f, bool zapytanie) {
    if (zapytanie && !f.rozstrzygnieta) ++f.zapytan;
    if (f.zapytan > opoznienie) f.rozstrzygnieta = true;
    if (f.rozstrzygnieta) return f.wynik;
    if (f.zapytan <= 1)
        return Status{100, QStringLiteral("Faktura przyjęta do dalszego przetwarzania"), {}, {}};
    return Status{150, QStringLiteral("Trwa przetwarzanie"), {}, {}};
}

QJsonObject SymulatorKsef::Wnetrze::opisFaktury(Faktura& f, bool zapytanie) {
    const Status status = biezacyStatus(f, zapytanie);
    QJsonObject o{
        {QStringLiteral("ordinalNumber"), f.porzadkowy},
        {QStringLiteral("referenceNumber"), f.numer},
        {QStringLiteral("invoiceHash"), f.skrot},
        {QStringLiteral("invoicingDate"), Czas(f.przyjeta)},
        {QStringLiteral("invoicingMode"), f.offline ? QStringLiteral("Offline") : QStringLiteral("Online")},
        {QStringLiteral("status"), status.json()}};
    if (!f.numerFaktury.isEmpty()) o.insert(QStringLiteral("invoiceNumber"), f.numerFaktury);
    if (status.kod == 200) {
        o.insert(QStringLiteral("ksefNumber"), f.numerKsef);
        o.insert(QStringLiteral("acquisitionDate"), Czas(f.nadanie));
        o.insert(QStringLiteral("permanentStorageDate"), Czas(f.nadanie.addSecs(1)));
        o.insert(QStringLiteral("upoDownloadUrl"),
                 QStringLiteral("%1/v2/sessions/%2/invoices/%3/upo").arg(adresBazowy(), f.sesja, f.numer));
        o.insert(QStringLiteral("upoDownloadUrlExpirationDate"),
                 Czas(QDateTime::currentDateTimeUtc().addDays(3)));
    }
    return o;
}

OdpowiedzHttp SymulatorKsef::Wnetrze::stanSesji(const Uwierzytelnienie& u, const QString& numer) {
    Sesja* s = sesjaKontekstu(u, numer);
    if (!s) return BrakSesji(numer);
    Status status;
    if (!s->zamknieta) {
        status = s->kluczPoprawny
                     ? Status{100, QStringLiteral("Sesja interaktywna otwarta"), {}, {}}
                     : Status{415, QStringLiteral("Błąd odszyfrowania dostarczonego klucza"), {}, {}};
    } else if (!s->przetworzona && ++s->zapytanPoZamknieciu <= opoznienie) {
        status = Status{170, QStringLiteral("Sesja interaktywna zamknięta"), {}, {}};
    } else {
        s->przetworzona = true;
        for (const int i : s->faktury) faktury[static_cast<size_t>(i)].rozstrzygnieta = true;
        status = Status{200, QStringLiteral("Sesja interaktywna przetworzona pomyślnie"), {}, {}};
    }
    int udane = 0;
    int nieudane = 0;
    for (const int i : s->faktury) {
        const int kod = biezacyStatus(faktury[static_cast<size_t>(i)], false).kod;
        if (kod == 200)
            ++udane;
        else if (kod >= 400)
            ++nieudane;
    }
    if (s->przetworzona && s->faktury.isEmpty())
        status = Status{440, QStringLiteral("Sesja anulowana"), {QStringLiteral("Nie przesłano faktur")}, {}};
    else if (s->przetworzona && udane == 0)
        status = Status{445, QStringLiteral("Błąd weryfikacji, brak poprawnych faktur"), {}, {}};
    QJsonObject o{{QStringLiteral("status"), status.json()},
                  {QStringLiteral("dateCreated"), Czas(s->utworzona)},
                  {QStringLiteral("dateUpdated"), Czas(s->zmieniona)},
                  {QStringLiteral("validUntil"), Czas(s->waznaDo)},
                  {QStringLiteral("invoiceCount"), static_cast<int>(s->faktury.size())},
                  {QStringLiteral("successfulInvoiceCount"), udane},
                  {QStringLiteral("failedInvoiceCount"), nieudane}};
    if (status.kod == 200) {
        o.insert(QStringLiteral("upo"),
                 QJsonObject{
                     {QStringLiteral("pages"),
                      QJsonArray{QJsonObject{
                          {QStringLiteral("referenceNumber"), s->numerUpo},
                          {QStringLiteral("downloadUrl"),
                           QStringLiteral("%1/storage/upo/%2/%3").arg(adresBazowy(), s->numer, s->numerUpo)},
                          {QStringLiteral("downloadUrlExpirationDate"),
                           Czas(QDateTime::currentDateTimeUtc().addDays(3))}}}}});
    }
    return OdpowiedzJson(200, o);
}

OdpowiedzHttp SymulatorKsef::Wnetrze::listaFaktur(const ZadanieHttp& z, const Uwierzytelnienie& u,
                                                  const QString& numer, bool tylkoBledne) {
    Sesja* s = sesjaKontekstu(u, numer);
    if (!s) return BrakSesji(numer);
    const int rozmiarStrony =
        std::clamp(QUrlQuery(z.zapytanie).queryItemValue(QStringLiteral("pageSize")).toInt(), 0, 1000);
    const int naStrone = rozmiarStrony < 10 ? 10 : rozmiarStrony;
    int od = 0;
    const QByteArray kontynuacja = z.naglowek("x-continuation-token");
    if (!kontynuacja.isEmpty()) {
        bool liczba = false;
        od = QByteArray::fromBase64(kontynuacja).toInt(&liczba);
        if (!liczba || od < 0)
            return BladApi(400, 21418,
                           QStringLiteral("Przekazany token kontynuacji ma nieprawidłowy format."));
    }
    QJsonArray lista;
    int pozycja = 0;
    bool dalej = false;
    for (const int i : s->faktury) {
        Faktura& f = faktury[static_cast<size_t>(i)];
        if (tylkoBledne && biezacyStatus(f, false).kod < 400) continue;
        if (pozycja++ < od) continue;
        if (lista.size() == naStrone) {
            dalej = true;
            break;
        }
        lista.append(opisFaktury(f, true));
    }
    QJsonObject o{{QStringLiteral("invoices"), lista}};
    if (dalej)
        o.insert(QStringLiteral("continuationToken"),
                 QString::fromLatin1(QByteArray::number(od + naStrone).toBase64()));
    return OdpowiedzJson(200, o);
}

OdpowiedzHttp SymulatorKsef::Wnetrze::stanFaktury(const Uwierzytelnienie& u, const QString& sesja,
                                                  const QString& faktura) {
    Sesja* s = sesjaKontekstu(u, sesja);
    if (!s) return BrakSesji(sesja);
    for (const int i : s->faktury)
        if (faktury[static_cast<size_t>(i)].numer == faktura)
            return OdpowiedzJson(200, opisFaktury(faktury[static_cast<size_t>(i)], true));
    blad(QStringLiteral("nieznana faktura %1").arg(faktura));
    return BladDanych(QStringLiteral("Faktura o numerze referencyjnym %1 nie została znaleziona w sesji %2.")
                          .arg(faktura, sesja));
}

namespace {

OdpowiedzHttp OdpowiedzUpo(const QByteArray& xml) {
    OdpowiedzHttp odp;
    odp.typ = "application/xml";
    odp.cialo = xml;
    odp.naglowki.append({"x-ms-meta-hash", Sha256(xml).toBase64()});
    return odp;
}

OdpowiedzHttp BrakUpo(const QString& numer, const QString& sesja) {
    return BladApi(400, 21178, QStringLiteral("Nie znaleziono UPO dla podanych kryteriów."),
                   {QStringLiteral("UPO o numerze referencyjnym %1 dla sesji %2 nie zostało znalezione.")
                        .arg(numer, sesja)});
}

}  // namespace

OdpowiedzHttp SymulatorKsef::Wnetrze::upoFaktury(const Uwierzytelnienie& u, const QString& sesja,
                                                 const QString& faktura, bool poNumerzeKsef) {
    Sesja* s = sesjaKontekstu(u, sesja);
    if (!s) return BrakSesji(sesja);
    for (const int i : s->faktury) {
        Faktura& f = faktury[static_cast<size_t>(i)];
        if ((poNumerzeKsef ? f.numerKsef : f.numer) != faktura) continue;
        // By its KSeF number: the number is known only once KSeF accepted it (a duplicate's answer
        // names it), so its UPO is there whether or not its status was asked for.
        if ((poNumerzeKsef ? f.wynik.kod : biezacyStatus(f, false).kod) != 200) break;
        return OdpowiedzUpo(upo(*s, {i}, false));
    }
    blad(QStringLiteral("brak UPO faktury %1").arg(faktura));
    return BrakUpo(faktura, sesja);
}

OdpowiedzHttp SymulatorKsef::Wnetrze::upoSesji(const QString& sesja, const QString& numerUpo,
                                               const Uwierzytelnienie* u) {
    const auto it = sesje.constFind(sesja);
    if (it == sesje.cend() || (u && it->nip != u->nip)) return BrakSesji(sesja);
    if (!it->przetworzona || it->numerUpo != numerUpo) {
        blad(QStringLiteral("brak UPO sesji %1").arg(sesja));
        return BrakUpo(numerUpo, sesja);
    }
    QList<int> przyjete;
    for (const int i : it->faktury)
        if (faktury[static_cast<size_t>(i)].wynik.kod == 200) przyjete << i;
    if (przyjete.isEmpty()) return BrakUpo(numerUpo, sesja);
    return OdpowiedzUpo(upo(*it, przyjete, true));
}

QByteArray SymulatorKsef::Wnetrze::upo(const Sesja& s, const QList<int>& lista, bool sesji) const {
    const auto e = [](const QString& t) { return t.toHtmlEscaped(); };
    const auto czasPolski = [](const QDateTime& t) {
        return t.toTimeZone(StrefaPolska()).toString(Qt::ISODateWithMs);
    };
    const Uwierzytelnienie u = uwierzytelnienia.value(s.uwierzytelnienie);
    QString x = QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<Potwierdzenie xmlns=\"http://upo.schematy.mf.gov.pl/KSeF/v4-3\">\n"
                    "\t<NazwaPodmiotuPrzyjmujacego>Ministerstwo Finansów</NazwaPodmiotuPrzyjmujacego>\n"
                    "\t<NumerReferencyjnySesji>%1</NumerReferencyjnySesji>\n"
                    "\t<Uwierzytelnienie>\n\t\t<IdKontekstu>\n\t\t\t<Nip>%2</Nip>\n\t\t</IdKontekstu>\n")
                    .arg(s.numer, e(s.nip));
    if (!u.numerTokenaKsef.isEmpty())
        x += QStringLiteral("\t\t<NumerReferencyjnyTokenaKSeF>%1</NumerReferencyjnyTokenaKSeF>\n")
                 .arg(u.numerTokenaKsef);
    else
        x += QStringLiteral("\t\t<SkrotDokumentuUwierzytelniajacego>%1</SkrotDokumentuUwierzytelniajacego>\n")
                 .arg(u.skrotDokumentu);
    x += QStringLiteral("\t</Uwierzytelnienie>\n");
    if (sesji) {  // one page holds them all: a session takes at most 10 000 invoices
        x += QStringLiteral(
                 "\t<OpisPotwierdzenia>\n\t\t<Strona>1</Strona>\n\t\t<LiczbaStron>1</LiczbaStron>\n"
                 "\t\t<ZakresDokumentowOd>1</ZakresDokumentowOd>\n\t\t<ZakresDokumentowDo>%1</"
                 "ZakresDokumentowDo>\n"
                 "\t\t<CalkowitaLiczbaDokumentow>%1</CalkowitaLiczbaDokumentow>\n\t</OpisPotwierdzenia>\n")
                 .arg(lista.size());
    }
    x += QStringLiteral(
        "\t<NazwaStrukturyLogicznej>Schemat_FA(3)_v1-0E.xsd</NazwaStrukturyLogicznej>\n"
        "\t<KodFormularza>FA (3)</KodFormularza>\n");
    for (const int i : lista) {
        const Faktura& f = faktury[static_cast<size_t>(i)];
        x += QStringLiteral(
                 "\t<Dokument>\n\t\t<NipSprzedawcy>%1</NipSprzedawcy>\n\t\t<NumerKSeFDokumentu>%2</"
                 "NumerKSeFDokumentu>\n"
                 "\t\t<NumerFaktury>%3</NumerFaktury>\n\t\t<DataWystawieniaFaktury>%4</"
                 "DataWystawieniaFaktury>\n"
                 "\t\t<DataPrzeslaniaDokumentu>%5</DataPrzeslaniaDokumentu>\n"
                 "\t\t<DataNadaniaNumeruKSeF>%6</DataNadaniaNumeruKSeF>\n\t\t<SkrotDokumentu>%7</"
                 "SkrotDokumentu>\n"
                 "\t\t<TrybWysylki>%8</TrybWysylki>\n\t</Dokument>\n")
                 .arg(e(f.nipSprzedawcy), f.numerKsef, e(f.numerFaktury),
                      f.dataWystawienia.toString(Qt::ISODate), czasPolski(f.przyjeta), czasPolski(f.nadanie),
                      f.skrot, f.offline ? QStringLiteral("Offline") : QStringLiteral("Online"));
    }
    x += QStringLiteral("</Potwierdzenie>\n");
    return x.toUtf8();
}

// ---- the public face ----

namespace {

// Every simulator of one process starts with the same two keys: making RSA keys is most of a start,
// and the tests start many. A key change (ZmianaKlucza) still makes new ones.
const std::vector<KluczSymulatora>& KluczeStartowe() {
    static const std::vector<KluczSymulatora> klucze{
        NowyKluczSymulatora(QStringLiteral("KsefTokenEncryption")),
        NowyKluczSymulatora(QStringLiteral("SymmetricKeyEncryption"))};
    return klucze;
}

}  // namespace

SymulatorKsef::SymulatorKsef() : w_(std::make_unique<Wnetrze>()) {
    w_->klucze = KluczeStartowe();
    w_->schematFa3 = SchematFa3();
    if (!w_->schematFa3->wczytany()) throw std::runtime_error("symulator: nie wczytano schematu FA(3)");
    Wnetrze* w = w_.get();
    w_->serwer = new SerwerHttp([w](const ZadanieHttp& z) { return w->obsluz(z); });
    w_->serwer->moveToThread(&w_->watek);
    w_->watek.setObjectName(QStringLiteral("symulator-ksef"));
    w_->watek.start();
    QMetaObject::invokeMethod(
        w_->serwer, [w] { w->port = w->serwer->slucha(); }, Qt::BlockingQueuedConnection);
    if (w_->port == 0) {
        w_->zatrzymaj();
        throw std::runtime_error("symulator: nie można nasłuchiwać na 127.0.0.1");
    }
}

SymulatorKsef::~SymulatorKsef() { w_->zatrzymaj(); }

QUrl SymulatorKsef::adres() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/v2").arg(w_->port)); }

void SymulatorKsef::dodajToken(const QString& token, const QString& nip) {
    std::lock_guard b(w_->blokada);
    w_->tokenyKsef.insert(token, TokenKsef{nip, w_->numerReferencyjny("TK")});
}

void SymulatorKsef::ustawOpoznienie(int zapytan) {
    std::lock_guard b(w_->blokada);
    w_->opoznienie = std::max(0, zapytan);
}

void SymulatorKsef::awaria(AwariaSymulatora awaria, int ile, const QString& sciezka) {
    std::lock_guard b(w_->blokada);
    if (awaria == AwariaSymulatora::ZmianaKlucza) {
        w_->noweKlucze();
        return;
    }
    if (ile <= 0) return;
    QRegularExpression wzor(sciezka);
    if (!wzor.isValid()) throw std::invalid_argument("symulator: błędne wyrażenie ścieżki");
    w_->awarie.push_back(Awaria{awaria, ile, std::move(wzor)});
}

void SymulatorKsef::retryAfterSekund(int sekundy) {
    std::lock_guard b(w_->blokada);
    w_->retryAfter = std::max(0, sekundy);
}

void SymulatorKsef::wygasTokenyDostepu() {
    std::lock_guard b(w_->blokada);
    const QDateTime przed = QDateTime::currentDateTimeUtc().addSecs(-1);
    for (auto& t : w_->tokenyDostepu) t.waznyDo = przed;
}

void SymulatorKsef::kodBleduSerwera(int kod) {
    std::lock_guard b(w_->blokada);
    w_->kodBledu = kod >= 500 && kod <= 599 ? kod : 500;
}

std::vector<OdebranaFaktura> SymulatorKsef::faktury() const {
    std::lock_guard b(w_->blokada);
    std::vector<OdebranaFaktura> wynik;
    for (const Faktura& f : w_->faktury)
        wynik.push_back(OdebranaFaktura{f.xml, f.sesja, f.numer, f.wynik.kod == 200 ? f.numerKsef : QString(),
                                        f.wynik.kod, f.skrot, f.deklarowanyOffline, f.offline,
                                        f.skrotKorygowanej, f.korygowana});
    return wynik;
}

int SymulatorKsef::ileZadan(const QString& sciezka) const {
    std::lock_guard b(w_->blokada);
    const QRegularExpression wzor(sciezka);
    int ile = 0;
    for (const QString& z : w_->zadania)
        if (wzor.match(z).hasMatch()) ++ile;
    return ile;
}

QStringList SymulatorKsef::bledy() const {
    std::lock_guard b(w_->blokada);
    return w_->bledy;
}
