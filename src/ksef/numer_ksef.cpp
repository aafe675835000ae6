#include "ksef/numer_ksef.h"

#include <QRegularExpression>

quint8 Crc8Ksef(const QByteArray& dane) {
    quint8 crc = 0x00;
    for (const char znak : dane) {
        crc ^= static_cast<quint8>(znak);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? static_cast<quint8>((crc << 1) ^ 0x07) : static_cast<quint8>(crc << 1);
    }
    return crc;
}

bool PoprawnyNumerKsef(const QString& numer) {
    static const QRegularExpression wzor(QStringLiteral("^\\d{10}-\\d{8}-[0-9A-F]{12}-[0-9A-F]{2}$"));
    if (numer.size() != 35 || !wzor.match(numer).hasMatch()) return false;
    if (!QDate::fromString(numer.mid(11, 8), QStringLiteral("yyyyMMdd")).isValid()) return false;
    const quint8 suma = Crc8Ksef(numer.left(32).toLatin1());
    return numer.right(2) == QStringLiteral("%1").arg(suma, 2, 16, QLatin1Char('0')).toUpper();
}

QString NumerKsef(const QString& nip, const QDate& data, const QString& techniczna) {
    const QString czesc = nip + QLatin1Char('-') + data.toString(QStringLiteral("yyyyMMdd")) +
                          QLatin1Char('-') + techniczna.toUpper();
    const quint8 suma = Crc8Ksef(czesc.toLatin1());
    return czesc + QLatin1Char('-') + QStringLiteral("%1").arg(suma, 2, 16, QLatin1Char('0')).toUpper();
}
