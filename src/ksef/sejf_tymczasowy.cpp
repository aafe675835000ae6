// Stands in for the keyring until its client is merged (then this file goes): no keyring answers,
// so the programs ask for every secret, as they do on a machine without a desktop session.
#include "ksef/sejf.h"

QString NazwaSekretu(RodzajSekretu rodzaj, const QString& nipKontekstu, const QString& srodowisko) {
    const char* rodzaje[] = {"token", "haslo-klucza", "haslo-klucza-offline"};
    return QStringLiteral("faktura-ksef/%1/%2/%3")
        .arg(QLatin1String(rodzaje[static_cast<int>(rodzaj)]), nipKontekstu, srodowisko);
}

WynikSejfu CzytajSekret(const QString&) { return {std::nullopt, false, {}}; }
WynikSejfu ZapiszSekret(const QString&, const QString&) {
    return {std::nullopt, false, QStringLiteral("Pęk kluczy pulpitu jest niedostępny.")};
}
WynikSejfu UsunSekret(const QString&) { return {std::nullopt, false, {}}; }
