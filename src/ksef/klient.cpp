#include "ksef/klient.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>
#include <algorithm>

#include "ksef/xades.h"

namespace {

struct KodIOpis {
    int kod;
    const char16_t* opis;
};

constexpr KodIOpis KodyWyjatkow[] = {
#include "ksef/kody_bledow.inc"
};

// An invoice's status codes, as the API describes SessionInvoiceStatusResponse.status.
constexpr KodIOpis StatusyFaktury[] = {
    {100, u"Faktura przyjęta do dalszego przetwarzania"},
    {150, u"Trwa przetwarzanie"},
    {200, u"Sukces"},
    {405, u"Przetwarzanie anulowane z powodu błędu sesji"},
    {410, u"Nieprawidłowy zakres uprawnień"},
    {415, u"Brak możliwości wysyłania faktury z załącznikiem"},
    {430, u"Błąd weryfikacji pliku faktury"},
    {435, u"Błąd odszyfrowania pliku"},
    {440, u"Duplikat faktury"},
    {450, u"Błąd weryfikacji semantyki dokumentu faktury"},
    {500, u"Nieznany błąd"},
    {550, u"Operacja została anulowana przez system"},
};

QString Szukaj(const auto& tablica, int kod) {
    for (const KodIOpis& k : tablica)
        if (k.kod == kod) return QString::fromUtf16(k.opis);
    return {};
}

// KSeF writes up to seven digits of a second's fraction, which Qt's ISO reader does not take.
QDateTime CzasZTekstu(const QString& tekst) {
    static const QRegularExpression ulamek(QStringLiteral("(\\.\\d{3})\\d+"));
    QString krotszy = tekst;
    krotszy.replace(ulamek, QStringLiteral("\\1"));
    QDateTime czas = QDateTime::fromString(krotszy, Qt::ISODateWithMs);
    if (!czas.isValid()) czas = QDateTime::fromString(krotszy, Qt::ISODate);
    return czas.toUTC();
}

StatusKsef StatusZJson(const QJsonObject& o) {
    StatusKsef s;
    s.kod = o.value(QLatin1String("code")).toInt();
    s.opis = o.value(QLatin1String("description")).toString();
    for (const QJsonValue& d : o.value(QLatin1String("details")).toArray()) s.szczegoly << d.toString();
    s.rozszerzenia = o.value(QLatin1String("extensions")).toObject();
    return s;
}

StatusFakturyKsef StatusFakturyZJson(const QJsonObject& o) {
    StatusFakturyKsef s;
    s.numerFaktury = o.value(QLatin1String("referenceNumber")).toString();
    s.skrot = o.value(QLatin1String("invoiceHash")).toString();
    s.numerKsef = o.value(QLatin1String("ksefNumber")).toString();
    s.dataPrzyjecia = CzasZTekstu(o.value(QLatin1String("acquisitionDate")).toString());
    s.status = StatusZJson(o.value(QLatin1String("status")).toObject());
    if (s.status.opis.isEmpty()) s.status.opis = OpisStatusuFaktury(s.status.kod);
    return s;
}

QByteArray Json(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

QString Zakoduj(const QString& czesc) { return QString::fromLatin1(QUrl::toPercentEncoding(czesc)); }

QString BrakOdpowiedzi(const QString& adres, const QString& powod) {
    return QStringLiteral(
               "KSeF nie odpowiada (%1): %2. Stan dokumentów jest zapisany; spróbuj ponownie "
               "później.")
        .arg(adres, powod);
}

}  // namespace

BladKsef::BladKsef(const QString& komunikat, int statusHttp, int kodKsef, bool przejsciowy)
    : Odmowa(komunikat), statusHttp_(statusHttp), kodKsef_(kodKsef), przejsciowy_(przejsciowy) {}

QString OpisKoduKsef(int kod) { return Szukaj(KodyWyjatkow, kod); }
QString OpisStatusuFaktury(int kod) { return Szukaj(StatusyFaktury, kod); }

QString StatusKsef::tekst() const {
    QString t = opis;
    if (!szczegoly.isEmpty()) t += (t.isEmpty() ? QString() : QStringLiteral(": ")) + szczegoly.join(u"; ");
    return t;
}

KlientKsef::KlientKsef(SrodowiskoKsef srodowisko, OpcjeKlienta opcje)
    : srodowisko_(std::move(srodowisko)),
      opcje_(std::move(opcje)),
      siec_(std::make_unique<QNetworkAccessManager>()) {
    // Checked here as well as where the address is read: a token must never travel unencrypted.
    if (!BezpiecznyAdres(srodowisko_.api))
        throw Odmowa(
            QStringLiteral("Adres KSeF „%1” nie jest szyfrowany; dane logowania są wysyłane tylko przez "
                           "https albo do tego komputera.")
                .arg(srodowisko_.api.toString()));
    siec_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

KlientKsef::~KlientKsef() = default;

void KlientKsef::czekaj(std::chrono::milliseconds ile) {
    if (opcje_.czekaj) {
        opcje_.czekaj(ile);
        return;
    }
    QThread::msleep(static_cast<unsigned long>(ile.count()));
}

KlientKsef::Odpowiedz KlientKsef::wywolajRaz(const QByteArray& metoda, const QString& sciezka,
                                             const QByteArray& tresc, const QByteArray& typ,
                                             const QByteArray& token, int& retryAfter) {
    QUrl adres = srodowisko_.api;
    const int zapytanie = sciezka.indexOf(QLatin1Char('?'));
    adres.setPath(srodowisko_.api.path() + (zapytanie < 0 ? sciezka : sciezka.left(zapytanie)),
                  QUrl::TolerantMode);
    if (zapytanie >= 0) adres.setQuery(sciezka.mid(zapytanie + 1));
    QNetworkRequest zadanie(adres);
    zadanie.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    zadanie.setTransferTimeout(static_cast<int>(opcje_.limitCzasu.count()));
    zadanie.setRawHeader("Accept", "application/json, application/xml");
    if (!tresc.isEmpty() || metoda == "POST") zadanie.setHeader(QNetworkRequest::ContentTypeHeader, typ);
    if (!token.isEmpty()) zadanie.setRawHeader("Authorization", "Bearer " + token);
    if (!ciagDalszy_.isEmpty()) zadanie.setRawHeader("x-continuation-token", ciagDalszy_.toUtf8());

    QNetworkReply* odpowiedz = siec_->sendCustomRequest(zadanie, metoda, tresc);
    QEventLoop petla;
    QObject::connect(odpowiedz, &QNetworkReply::finished, &petla, &QEventLoop::quit);
    if (!odpowiedz->isFinished()) petla.exec();
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> wlasna(
        odpowiedz, [](QNetworkReply* r) { r->deleteLater(); });
    Odpowiedz wynik;
    wynik.status = odpowiedz->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    wynik.tresc = odpowiedz->readAll();
    wynik.typ = odpowiedz->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    bool ok = false;
    const int sekundy = odpowiedz->rawHeader("Retry-After").trimmed().toInt(&ok);
    retryAfter = ok ? sekundy : -1;
    if (wynik.status == 0) {
        wynik.tresc = odpowiedz->errorString().toUtf8();
    }
    return wynik;
}

KlientKsef::Odpowiedz KlientKsef::wywolaj(const QByteArray& metoda, const QString& sciezka,
                                          const QByteArray& tresc, const QByteArray& typ,
                                          Autoryzacja autoryzacja) {
    const bool wysylkaFaktury = metoda == "POST" && sciezka.endsWith(QLatin1String("/invoices"));
    std::chrono::milliseconds przerwa = opcje_.pierwszaPrzerwa;
    bool odswiezono = false;
    for (int proba = 0;; ++proba) {
        QByteArray token;
        switch (autoryzacja) {
            case Autoryzacja::Brak:
                break;
            case Autoryzacja::Dostep:
                if (!tokenDostepu_.isEmpty() && dostepWaznyDo_.isValid() && !tokenOdswiezenia_.isEmpty() &&
                    QDateTime::currentDateTimeUtc().addSecs(30) >= dostepWaznyDo_)
                    odswiezToken();
                token = tokenDostepu_;
                break;
            case Autoryzacja::Operacja:
                token = tokenOperacji_;
                break;
            case Autoryzacja::Odswiezenie:
                token = tokenOdswiezenia_;
                break;
        }
        int retryAfter = -1;
        const Odpowiedz o = wywolajRaz(metoda, sciezka, tresc, typ, token, retryAfter);
        const bool ostatnia = proba >= opcje_.ponowien;
        if (o.status == 429 && !ostatnia) {
            // KSeF says how long the block lasts; without it, the usual back-off.
            czekaj(retryAfter >= 0 ? std::chrono::milliseconds(std::chrono::seconds(retryAfter)) : przerwa);
            przerwa = std::min(przerwa * 2, opcje_.najdluzszaPrzerwa);
            continue;
        }
        // An invoice whose answer was lost may have reached KSeF: it is never sent again blindly; the
        // caller looks it up in the session first.
        if ((o.status == 0 || o.status >= 500) && !ostatnia && !wysylkaFaktury) {
            czekaj(przerwa);
            przerwa = std::min(przerwa * 2, opcje_.najdluzszaPrzerwa);
            continue;
        }
        if (o.status == 401 && autoryzacja == Autoryzacja::Dostep && !odswiezono &&
            !tokenOdswiezenia_.isEmpty()) {
            odswiezono = true;
            odswiezToken();
            continue;
        }
        if (o.status == 0)
            throw BladKsef(BrakOdpowiedzi(srodowisko_.api.host(), QString::fromUtf8(o.tresc)), 0, 0, true);
        if (o.status >= 300) odmowa(o);
        return o;
    }
}

QJsonObject KlientKsef::json(const Odpowiedz& o) const {
    QJsonParseError blad{};
    const QJsonDocument d = QJsonDocument::fromJson(o.tresc, &blad);
    if (blad.error != QJsonParseError::NoError || !d.isObject())
        throw BladKsef(
            QStringLiteral("KSeF odpowiedział w nieoczekiwany sposób (HTTP %1): to nie jest dokument JSON.")
                .arg(o.status),
            o.status, 0, false);
    return d.object();
}

void KlientKsef::odmowa(const Odpowiedz& o) const {
    const QJsonObject d = QJsonDocument::fromJson(o.tresc).object();
    QStringList czesci;
    int pierwszyKod = 0;
    // ExceptionResponse: each code with our description from the API, then what KSeF added.
    for (const QJsonValue& w : d.value(QLatin1String("exception"))
                                   .toObject()
                                   .value(QLatin1String("exceptionDetailList"))
                                   .toArray()) {
        const QJsonObject s = w.toObject();
        const int kod = s.value(QLatin1String("exceptionCode")).toInt();
        if (!pierwszyKod) pierwszyKod = kod;
        QString opis = OpisKoduKsef(kod);
        if (opis.isEmpty()) opis = s.value(QLatin1String("exceptionDescription")).toString();
        QStringList szczegoly;
        for (const QJsonValue& x : s.value(QLatin1String("details")).toArray()) szczegoly << x.toString();
        QString czesc = QStringLiteral("%1 %2").arg(kod).arg(opis);
        if (!szczegoly.isEmpty()) czesc += QStringLiteral(" (%1)").arg(szczegoly.join(u"; "));
        czesci << czesc;
    }
    // Problem details (401, 403, 429): title and detail as KSeF wrote them.
    if (czesci.isEmpty()) {
        const QString tytul = d.value(QLatin1String("title")).toString();
        const QString szczegol = d.value(QLatin1String("detail")).toString();
        if (!tytul.isEmpty() || !szczegol.isEmpty())
            czesci << (szczegol.isEmpty() ? tytul
                       : tytul.isEmpty()  ? szczegol
                                          : tytul + QStringLiteral(": ") + szczegol);
    }
    QString poczatek;
    switch (o.status) {
        case 401:
            poczatek = QStringLiteral("KSeF odmówił dostępu (brak lub wygasłe uwierzytelnienie)");
            break;
        case 403:
            poczatek = QStringLiteral("KSeF odmówił: brak uprawnień do tej operacji");
            break;
        case 429:
            poczatek = QStringLiteral("KSeF ogranicza liczbę zapytań; spróbuj ponownie później");
            break;
        default:
            poczatek = o.status >= 500 ? QStringLiteral("Błąd po stronie KSeF (HTTP %1)").arg(o.status)
                                       : QStringLiteral("KSeF odrzucił żądanie (HTTP %1)").arg(o.status);
    }
    const QString komunikat = czesci.isEmpty()
                                  ? poczatek + QLatin1Char('.')
                                  : poczatek + QStringLiteral(": ") + czesci.join(u"; ") + QLatin1Char('.');
    throw BladKsef(komunikat, o.status, pierwszyKod, o.status == 429 || o.status >= 500);
}

const KlientKsef::Klucz& KlientKsef::klucz(const QString& uzycie) {
    const QDateTime teraz = QDateTime::currentDateTimeUtc();
    auto znajdz = [&]() -> const Klucz* {
        const Klucz* najlepszy = nullptr;
        for (const Klucz& k : klucze_) {
            if (k.uzycie != uzycie || k.certyfikat.waznyOd() > teraz || k.certyfikat.waznyDo() < teraz)
                continue;
            // Of two valid keys the newer one: the older is on its way out.
            if (!najlepszy || k.certyfikat.waznyOd() > najlepszy->certyfikat.waznyOd()) najlepszy = &k;
        }
        return najlepszy;
    };
    if (const Klucz* k = znajdz()) return *k;
    klucze_.clear();
    const Odpowiedz o =
        wywolaj("GET", QStringLiteral("/security/public-key-certificates"), {}, {}, Autoryzacja::Brak);
    const QJsonDocument d = QJsonDocument::fromJson(o.tresc);
    if (!d.isArray())
        throw BladKsef(QStringLiteral("KSeF nie podał kluczy publicznych w oczekiwanej postaci."), o.status,
                       0, false);
    for (const QJsonValue& w : d.array()) {
        const QJsonObject c = w.toObject();
        for (const QJsonValue& u : c.value(QLatin1String("usage")).toArray()) {
            klucze_.append(
                Klucz{u.toString(),
                      CertyfikatX509::zBase64Der(c.value(QLatin1String("certificate")).toString().toLatin1()),
                      c.value(QLatin1String("publicKeyId")).toString()});
        }
    }
    if (const Klucz* k = znajdz()) return *k;
    throw BladKsef(QStringLiteral("KSeF nie podał ważnego klucza publicznego do „%1”.").arg(uzycie), o.status,
                   0, false);
}

const CertyfikatX509& KlientKsef::kluczPubliczny(const QString& uzycie) { return klucz(uzycie).certyfikat; }
QString KlientKsef::idKlucza(const QString& uzycie) { return klucz(uzycie).id; }
void KlientKsef::zapomnijKlucze() { klucze_.clear(); }

namespace {

struct Wyzwanie {
    QString wyzwanie;
    qint64 czasMs = 0;
};

QJsonObject Kontekst(const QString& nip) {
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("Nip")}, {QStringLiteral("value"), nip}};
}

// Key withdrawn or unknown: what was encrypted with it must be made again with the new one.
constexpr int KodNieznanegoKlucza = 21470;

}  // namespace

void KlientKsef::uwierzytelnijTokenem(const QString& nipKontekstu, const QString& token) {
    for (int proba = 0;; ++proba) {
        const QJsonObject w = json(
            wywolaj("POST", QStringLiteral("/auth/challenge"), "{}", "application/json", Autoryzacja::Brak));
        const QString wyzwanie = w.value(QLatin1String("challenge")).toString();
        const qint64 czasMs = static_cast<qint64>(w.value(QLatin1String("timestampMs")).toDouble());
        const QByteArray jawny = (token + QLatin1Char('|') + QString::number(czasMs)).toUtf8();
        const QString uzycie = QStringLiteral("KsefTokenEncryption");
        const QByteArray szyfr = SzyfrujRsaOaep(kluczPubliczny(uzycie), jawny);
        QJsonObject zadanie{{QStringLiteral("challenge"), wyzwanie},
                            {QStringLiteral("contextIdentifier"), Kontekst(nipKontekstu)},
                            {QStringLiteral("encryptedToken"), QString::fromLatin1(szyfr.toBase64())}};
        const QString id = idKlucza(uzycie);
        if (!id.isEmpty()) zadanie.insert(QStringLiteral("publicKeyId"), id);
        try {
            dokonczUwierzytelnienie(json(wywolaj("POST", QStringLiteral("/auth/ksef-token"), Json(zadanie),
                                                 "application/json", Autoryzacja::Brak)));
            return;
        } catch (const BladKsef& b) {
            if (b.kodKsef() != KodNieznanegoKlucza || proba > 0) throw;
            zapomnijKlucze();
        }
    }
}

void KlientKsef::uwierzytelnijCertyfikatem(const QString& nipKontekstu, const CertyfikatX509& certyfikat,
                                           const KluczPrywatny& klucz) {
    const QJsonObject w =
        json(wywolaj("POST", QStringLiteral("/auth/challenge"), "{}", "application/json", Autoryzacja::Brak));
    const QByteArray xml =
        PodpiszXades(ZadanieUwierzytelnienia(w.value(QLatin1String("challenge")).toString(), nipKontekstu,
                                             IdentyfikatorPodmiotu::PodmiotCertyfikatu),
                     certyfikat, klucz, QDateTime::currentDateTimeUtc());
    dokonczUwierzytelnienie(json(
        wywolaj("POST", QStringLiteral("/auth/xades-signature"), xml, "application/xml", Autoryzacja::Brak)));
}

void KlientKsef::dokonczUwierzytelnienie(const QJsonObject& inicjacja) {
    const QString numer = inicjacja.value(QLatin1String("referenceNumber")).toString();
    tokenOperacji_ = inicjacja.value(QLatin1String("authenticationToken"))
                         .toObject()
                         .value(QLatin1String("token"))
                         .toString()
                         .toUtf8();
    if (numer.isEmpty() || tokenOperacji_.isEmpty())
        throw BladKsef(QStringLiteral("KSeF nie podał numeru uwierzytelnienia."), 0, 0, false);
    std::chrono::milliseconds przerwa = opcje_.pierwszaPrzerwa, lacznie{0};
    for (;;) {
        const QJsonObject s =
            json(wywolaj("GET", QStringLiteral("/auth/") + Zakoduj(numer), {}, {}, Autoryzacja::Operacja));
        const StatusKsef status = StatusZJson(s.value(QLatin1String("status")).toObject());
        if (status.kod == 200) break;
        if (status.kod != 100)
            throw BladKsef(QStringLiteral("Uwierzytelnienie w KSeF nie powiodło się: %1 (kod %2).")
                               .arg(status.tekst())
                               .arg(status.kod),
                           200, status.kod, false);
        if (lacznie >= opcje_.najdluzszeOczekiwanie)
            throw BladKsef(
                QStringLiteral("KSeF nie zakończył uwierzytelnienia w oczekiwanym czasie; spróbuj ponownie."),
                200, status.kod, true);
        czekaj(przerwa);
        lacznie += przerwa;
        przerwa = std::min(przerwa * 3 / 2, opcje_.najdluzszaPrzerwa);
    }
    const QJsonObject t = json(
        wywolaj("POST", QStringLiteral("/auth/token/redeem"), {}, "application/json", Autoryzacja::Operacja));
    const QJsonObject dostep = t.value(QLatin1String("accessToken")).toObject();
    tokenDostepu_ = dostep.value(QLatin1String("token")).toString().toUtf8();
    dostepWaznyDo_ = CzasZTekstu(dostep.value(QLatin1String("validUntil")).toString());
    tokenOdswiezenia_ =
        t.value(QLatin1String("refreshToken")).toObject().value(QLatin1String("token")).toString().toUtf8();
    tokenOperacji_.clear();
    if (tokenDostepu_.isEmpty())
        throw BladKsef(QStringLiteral("KSeF nie wydał tokena dostępowego."), 200, 0, false);
}

void KlientKsef::odswiezToken() {
    const QJsonObject t = json(wywolaj("POST", QStringLiteral("/auth/token/refresh"), {}, "application/json",
                                       Autoryzacja::Odswiezenie));
    const QJsonObject dostep = t.value(QLatin1String("accessToken")).toObject();
    tokenDostepu_ = dostep.value(QLatin1String("token")).toString().toUtf8();
    dostepWaznyDo_ = CzasZTekstu(dostep.value(QLatin1String("validUntil")).toString());
}

void KlientKsef::wyloguj() {
    if (tokenDostepu_.isEmpty()) return;
    try {
        wywolaj("DELETE", QStringLiteral("/auth/sessions/current"));
    } catch (const Odmowa&) {
        // Its end changes nothing of what was sent; the session runs out by itself.
    }
    tokenDostepu_.clear();
    tokenOdswiezenia_.clear();
}

KlientKsef::Sesja KlientKsef::otworzSesje() {
    for (int proba = 0;; ++proba) {
        Sesja sesja;
        sesja.klucz = LosoweBajty(32);
        sesja.iv = LosoweBajty(16);
        const QString uzycie = QStringLiteral("SymmetricKeyEncryption");
        QJsonObject szyfrowanie{
            {QStringLiteral("encryptedSymmetricKey"),
             QString::fromLatin1(SzyfrujRsaOaep(kluczPubliczny(uzycie), sesja.klucz).toBase64())},
            {QStringLiteral("initializationVector"), QString::fromLatin1(sesja.iv.toBase64())}};
        const QString id = idKlucza(uzycie);
        if (!id.isEmpty()) szyfrowanie.insert(QStringLiteral("publicKeyId"), id);
        const QJsonObject zadanie{{QStringLiteral("formCode"),
                                   QJsonObject{{QStringLiteral("systemCode"), QStringLiteral("FA (3)")},
                                               {QStringLiteral("schemaVersion"), QStringLiteral("1-0E")},
                                               {QStringLiteral("value"), QStringLiteral("FA")}}},
                                  {QStringLiteral("encryption"), szyfrowanie}};
        try {
            const QJsonObject o = json(wywolaj("POST", QStringLiteral("/sessions/online"), Json(zadanie)));
            sesja.numer = o.value(QLatin1String("referenceNumber")).toString();
            if (sesja.numer.isEmpty())
                throw BladKsef(QStringLiteral("KSeF nie podał numeru sesji."), 201, 0, false);
            return sesja;
        } catch (const BladKsef& b) {
            if (b.kodKsef() != KodNieznanegoKlucza || proba > 0) throw;
            zapomnijKlucze();
        }
    }
}

QString KlientKsef::wyslijFakture(const Sesja& sesja, const QByteArray& xml, bool offline,
                                  const QString& skrotKorygowanej) {
    const QByteArray szyfr = SzyfrujAes256Cbc(xml, sesja.klucz, sesja.iv);
    QJsonObject zadanie{{QStringLiteral("invoiceHash"), Sha256Base64(xml)},
                        {QStringLiteral("invoiceSize"), static_cast<double>(xml.size())},
                        {QStringLiteral("encryptedInvoiceHash"), Sha256Base64(szyfr)},
                        {QStringLiteral("encryptedInvoiceSize"), static_cast<double>(szyfr.size())},
                        {QStringLiteral("encryptedInvoiceContent"), QString::fromLatin1(szyfr.toBase64())}};
    if (offline) zadanie.insert(QStringLiteral("offlineMode"), true);
    if (!skrotKorygowanej.isEmpty())
        zadanie.insert(QStringLiteral("hashOfCorrectedInvoice"), skrotKorygowanej);
    const QJsonObject o = json(wywolaj(
        "POST", QStringLiteral("/sessions/online/%1/invoices").arg(Zakoduj(sesja.numer)), Json(zadanie)));
    const QString numer = o.value(QLatin1String("referenceNumber")).toString();
    if (numer.isEmpty())
        throw BladKsef(QStringLiteral("KSeF nie podał numeru referencyjnego faktury."), 202, 0, true);
    return numer;
}

StatusFakturyKsef KlientKsef::statusFaktury(const QString& numerSesji, const QString& numerFaktury) {
    return StatusFakturyZJson(json(wywolaj(
        "GET", QStringLiteral("/sessions/%1/invoices/%2").arg(Zakoduj(numerSesji), Zakoduj(numerFaktury)))));
}

StatusFakturyKsef KlientKsef::czekajNaFakture(const QString& numerSesji, const QString& numerFaktury) {
    std::chrono::milliseconds przerwa = opcje_.pierwszaPrzerwa, lacznie{0};
    for (;;) {
        StatusFakturyKsef s = statusFaktury(numerSesji, numerFaktury);
        if (s.status.kod != 100 && s.status.kod != 150) return s;
        if (lacznie >= opcje_.najdluzszeOczekiwanie)
            throw BladKsef(
                QStringLiteral("KSeF nie rozpatrzył jeszcze faktury %1; jej stan zostanie sprawdzony przy "
                               "następnym wysyłaniu.")
                    .arg(numerFaktury),
                200, s.status.kod, true);
        czekaj(przerwa);
        lacznie += przerwa;
        przerwa = std::min(przerwa * 3 / 2, opcje_.najdluzszaPrzerwa);
    }
}

QList<StatusFakturyKsef> KlientKsef::fakturySesji(const QString& numerSesji) {
    QList<StatusFakturyKsef> wynik;
    QString dalej;
    for (int strona = 0; strona < 1000; ++strona) {
        ciagDalszy_ = dalej;
        Odpowiedz o;
        try {
            o = wywolaj("GET",
                        QStringLiteral("/sessions/%1/invoices?pageSize=1000").arg(Zakoduj(numerSesji)));
        } catch (...) {
            ciagDalszy_.clear();
            throw;
        }
        ciagDalszy_.clear();
        const QJsonObject d = json(o);
        for (const QJsonValue& f : d.value(QLatin1String("invoices")).toArray())
            wynik << StatusFakturyZJson(f.toObject());
        dalej = d.value(QLatin1String("continuationToken")).toString();
        if (dalej.isEmpty()) break;
    }
    return wynik;
}

void KlientKsef::zamknijSesje(const QString& numerSesji) {
    wywolaj("POST", QStringLiteral("/sessions/online/%1/close").arg(Zakoduj(numerSesji)), {},
            "application/json");
}

StatusSesjiKsef KlientKsef::statusSesji(const QString& numerSesji) {
    const QJsonObject d = json(wywolaj("GET", QStringLiteral("/sessions/%1").arg(Zakoduj(numerSesji))));
    StatusSesjiKsef s;
    s.status = StatusZJson(d.value(QLatin1String("status")).toObject());
    s.faktur = d.value(QLatin1String("invoiceCount")).toInt();
    s.udanych = d.value(QLatin1String("successfulInvoiceCount")).toInt();
    s.nieudanych = d.value(QLatin1String("failedInvoiceCount")).toInt();
    for (const QJsonValue& p :
         d.value(QLatin1String("upo")).toObject().value(QLatin1String("pages")).toArray())
        s.stronyUpo << p.toObject().value(QLatin1String("referenceNumber")).toString();
    return s;
}

StatusSesjiKsef KlientKsef::czekajNaSesje(const QString& numerSesji) {
    std::chrono::milliseconds przerwa = opcje_.pierwszaPrzerwa, lacznie{0};
    for (;;) {
        StatusSesjiKsef s = statusSesji(numerSesji);
        const int kod = s.status.kod;
        if (kod != 100 && kod != 150 && kod != 170) return s;
        if (lacznie >= opcje_.najdluzszeOczekiwanie)
            throw BladKsef(QStringLiteral("KSeF nie przetworzył jeszcze sesji %1.").arg(numerSesji), 200, kod,
                           true);
        czekaj(przerwa);
        lacznie += przerwa;
        przerwa = std::min(przerwa * 3 / 2, opcje_.najdluzszaPrzerwa);
    }
}

QByteArray KlientKsef::upoFaktury(const QString& numerSesji, const QString& numerFaktury) {
    return wywolaj(
               "GET",
               QStringLiteral("/sessions/%1/invoices/%2/upo").arg(Zakoduj(numerSesji), Zakoduj(numerFaktury)))
        .tresc;
}

QByteArray KlientKsef::upoFakturyKsef(const QString& numerSesji, const QString& numerKsef) {
    return wywolaj("GET", QStringLiteral("/sessions/%1/invoices/ksef/%2/upo")
                              .arg(Zakoduj(numerSesji), Zakoduj(numerKsef)))
        .tresc;
}

QByteArray KlientKsef::upoSesji(const QString& numerSesji, const QString& numerUpo) {
    return wywolaj("GET", QStringLiteral("/sessions/%1/upo/%2").arg(Zakoduj(numerSesji), Zakoduj(numerUpo)))
        .tresc;
}
