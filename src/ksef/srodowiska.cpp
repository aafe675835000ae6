#include "ksef/srodowiska.h"

#include <QHostAddress>

namespace {

SrodowiskoKsef Ministerstwa(const char* nazwa, const char* api, const char* qr) {
    return {QString::fromLatin1(nazwa), QUrl(QString::fromLatin1(api)), QUrl(QString::fromLatin1(qr))};
}

}  // namespace

bool BezpiecznyAdres(const QUrl& adres) {
    if (!adres.isValid() || adres.host().isEmpty()) return false;
    const QString schemat = adres.scheme().toLower();
    if (schemat == QLatin1String("https")) return true;
    if (schemat != QLatin1String("http")) return false;
    // A name ("localhost") could be made to resolve elsewhere; only a literal loopback address counts.
    const QHostAddress host(adres.host());
    return !host.isNull() && host.isLoopback();
}

std::optional<SrodowiskoKsef> ZnajdzSrodowisko(const QString& nazwaLubAdres, QString* blad) {
    const QString nazwa = nazwaLubAdres.trimmed().toLower();
    if (nazwa == QLatin1String("test"))
        return Ministerstwa("test", "https://api-test.ksef.mf.gov.pl/v2", "https://qr-test.ksef.mf.gov.pl");
    if (nazwa == QLatin1String("demo"))
        return Ministerstwa("demo", "https://api-demo.ksef.mf.gov.pl/v2", "https://qr-demo.ksef.mf.gov.pl");
    if (nazwa == QLatin1String("produkcja"))
        return Ministerstwa("produkcja", "https://api.ksef.mf.gov.pl/v2", "https://qr.ksef.mf.gov.pl");
    const QUrl adres(nazwaLubAdres.trimmed(), QUrl::StrictMode);
    const QString schemat = adres.scheme().toLower();
    if (!adres.isValid() || (schemat != QLatin1String("http") && schemat != QLatin1String("https")) ||
        adres.host().isEmpty()) {
        if (blad)
            *blad = QStringLiteral(
                        "Nieznane środowisko KSeF „%1”: podaj test, demo, produkcja albo adres "
                        "https://…")
                        .arg(nazwaLubAdres);
        return std::nullopt;
    }
    if (!BezpiecznyAdres(adres)) {
        if (blad)
            *blad = QStringLiteral(
                        "Adres „%1” nie jest szyfrowany (http): dane logowania do KSeF są "
                        "wysyłane tylko przez https albo do tego komputera (127.0.0.1, ::1).")
                        .arg(nazwaLubAdres);
        return std::nullopt;
    }
    QUrl api = adres;
    QString sciezka = api.path();
    while (sciezka.endsWith(QLatin1Char('/'))) sciezka.chop(1);
    api.setPath(sciezka);
    // A test URL has no QR service of its own; its codes point at the test environment's.
    return SrodowiskoKsef{nazwaLubAdres.trimmed(), api,
                          QUrl(QStringLiteral("https://qr-test.ksef.mf.gov.pl"))};
}
