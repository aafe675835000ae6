#include "ksef/kody_qr.h"

#include <QXmlStreamReader>

QString Base64Url(const QByteArray& dane) {
    return QString::fromLatin1(dane.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

std::optional<QDate> DataWystawieniaFa3(const QByteArray& xml) {
    QXmlStreamReader czytnik(xml);
    while (!czytnik.atEnd()) {
        czytnik.readNext();
        // P_1 of the invoice itself: the first one, in the Fa element.
        if (czytnik.isStartElement() && czytnik.name() == QLatin1String("P_1")) {
            const QDate data = QDate::fromString(czytnik.readElementText().trimmed(), Qt::ISODate);
            if (data.isValid()) return data;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

namespace {

// The QR base without a trailing slash, so that the links have exactly one between their parts.
QString Baza(const QUrl& bazaQr) {
    QString baza = bazaQr.toString(QUrl::StripTrailingSlash);
    while (baza.endsWith(QLatin1Char('/'))) baza.chop(1);
    return baza;
}

}  // namespace

QString LinkKoduI(const QUrl& bazaQr, const QString& nipSprzedawcy, const QDate& dataWystawienia,
                  const QByteArray& skrotSha256) {
    return QStringLiteral("%1/invoice/%2/%3/%4")
        .arg(Baza(bazaQr), nipSprzedawcy, dataWystawienia.toString(QStringLiteral("dd-MM-yyyy")),
             Base64Url(skrotSha256));
}

QString TrescKoduII(const QUrl& bazaQr, const DaneKoduII& dane) {
    QString baza = Baza(bazaQr);
    const qsizetype schemat = baza.indexOf(QLatin1String("://"));
    if (schemat >= 0) baza = baza.mid(schemat + 3);
    return QStringLiteral("%1/certificate/%2/%3/%4/%5/%6")
        .arg(baza, dane.typKontekstu, dane.idKontekstu, dane.nipSprzedawcy, dane.numerSeryjny,
             Base64Url(dane.skrotSha256));
}

QString LinkKoduII(const QUrl& bazaQr, const DaneKoduII& dane, const KluczPrywatny& klucz) {
    const QString tresc = TrescKoduII(bazaQr, dane);
    const QString baza = Baza(bazaQr);
    const QString schemat = baza.left(baza.indexOf(QLatin1String("://")) + 3);
    return schemat + tresc + QLatin1Char('/') + Base64Url(klucz.podpiszPssLubRs(tresc.toUtf8()));
}
