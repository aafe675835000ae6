#pragma once
// The KSeF number of an accepted invoice: "NIP-RRRRMMDD-XXXXXXXXXXXX-CC", 35 characters, CC the
// CRC-8 (polynomial 0x07, start 0x00) of its first 32 characters, as two upper-case hex digits.
#include <QByteArray>
#include <QDate>
#include <QString>

quint8 Crc8Ksef(const QByteArray& dane);
bool PoprawnyNumerKsef(const QString& numer);
// A number from its parts (the simulator's, and tests'); `techniczna` is 12 upper-case hex digits.
QString NumerKsef(const QString& nip, const QDate& data, const QString& techniczna);
