#pragma once
// Which KSeF a program talks to: the Ministry's three environments by name, or any URL (the tests'
// simulator). Credentials go over https only, or over plain http to this machine's own loopback.
#include <QString>
#include <QUrl>
#include <optional>

struct SrodowiskoKsef {
    QString nazwa;  // "test", "demo", "produkcja", or the URL as given
    QUrl api;       // base of the API paths, ".../v2"
    QUrl qr;        // base of the verification links (KOD I, KOD II)
};

// "test", "demo", "produkcja" (any letter case), or an http(s) URL of the API's base. nullopt with
// `blad` set (Polish) for anything else, and for plain http to another host than loopback.
std::optional<SrodowiskoKsef> ZnajdzSrodowisko(const QString& nazwaLubAdres, QString* blad = nullptr);

// True for https, and for http to 127.0.0.0/8 or ::1.
bool BezpiecznyAdres(const QUrl& adres);
