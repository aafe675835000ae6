#include "ksef/symulator/serwer_http.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>
#include <memory>

namespace symulator {

namespace {

constexpr qsizetype NajwiekszyNaglowek = 64 * 1024;
constexpr qsizetype NajwiekszeCialo = 16 * 1024 * 1024;

QByteArray OpisKodu(int kod) {
    switch (kod) {
        case 200:
            return "OK";
        case 201:
            return "Created";
        case 202:
            return "Accepted";
        case 204:
            return "No Content";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 411:
            return "Length Required";
        case 413:
            return "Content Too Large";
        case 415:
            return "Unsupported Media Type";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        case 504:
            return "Gateway Timeout";
        default:
            return "Status";
    }
}

QByteArray Zapisz(const OdpowiedzHttp& odp, bool zamknij) {
    QByteArray wynik = "HTTP/1.1 " + QByteArray::number(odp.kod) + ' ' + OpisKodu(odp.kod) + "\r\n";
    if (odp.kod != 204) {
        if (!odp.cialo.isEmpty()) wynik += "Content-Type: " + odp.typ + "\r\n";
        wynik += "Content-Length: " + QByteArray::number(odp.cialo.size()) + "\r\n";
    }
    for (const auto& [nazwa, wartosc] : odp.naglowki) wynik += nazwa + ": " + wartosc + "\r\n";
    if (zamknij) wynik += "Connection: close\r\n";
    wynik += "\r\n";
    if (odp.kod != 204) wynik += odp.cialo;
    return wynik;
}

OdpowiedzHttp Prosta(int kod) {
    OdpowiedzHttp odp;
    odp.kod = kod;
    return odp;
}

// One connection's unread bytes. Requests are answered in order, each before the next is read.
struct Polaczenie {
    QByteArray bufor;
};

}  // namespace

QByteArray ZadanieHttp::naglowek(const QByteArray& nazwa) const {
    const QByteArray szukana = nazwa.toLower();
    for (const auto& [n, w] : naglowki)
        if (n == szukana) return w;
    return {};
}

SerwerHttp::SerwerHttp(Obsluga obsluga, QObject* rodzic)
    : QObject(rodzic), serwer_(new QTcpServer(this)), obsluga_(std::move(obsluga)) {
    connect(serwer_, &QTcpServer::newConnection, this, &SerwerHttp::nowePolaczenie);
}

quint16 SerwerHttp::slucha() {
    if (!serwer_->listen(QHostAddress::LocalHost, 0)) return 0;
    return serwer_->serverPort();
}

void SerwerHttp::nowePolaczenie() {
    while (QTcpSocket* gniazdo = serwer_->nextPendingConnection()) {
        auto stan = std::make_shared<Polaczenie>();
        connect(gniazdo, &QTcpSocket::disconnected, gniazdo, &QObject::deleteLater);
        connect(gniazdo, &QTcpSocket::readyRead, this, [this, gniazdo, stan] {
            stan->bufor += gniazdo->readAll();
            for (;;) {
                const qsizetype koniec = stan->bufor.indexOf("\r\n\r\n");
                if (koniec < 0) {
                    if (stan->bufor.size() > NajwiekszyNaglowek) {
                        gniazdo->write(Zapisz(Prosta(431), true));
                        gniazdo->disconnectFromHost();
                    }
                    return;
                }
                const QList<QByteArray> linie = stan->bufor.left(koniec).split('\n');
                const QList<QByteArray> pierwsza = linie.value(0).trimmed().split(' ');
                if (pierwsza.size() != 3 || !pierwsza[2].startsWith("HTTP/1.")) {
                    gniazdo->write(Zapisz(Prosta(400), true));
                    gniazdo->disconnectFromHost();
                    return;
                }
                ZadanieHttp zadanie;
                zadanie.metoda = pierwsza[0];
                const QUrl adres(QString::fromLatin1(pierwsza[1]));
                zadanie.sciezka = adres.path(QUrl::FullyDecoded);
                zadanie.zapytanie = adres.query(QUrl::FullyDecoded);
                for (qsizetype i = 1; i < linie.size(); ++i) {
                    const qsizetype dwukropek = linie[i].indexOf(':');
                    if (dwukropek <= 0) continue;
                    zadanie.naglowki.append({linie[i].left(dwukropek).trimmed().toLower(),
                                             linie[i].mid(dwukropek + 1).trimmed()});
                }
                if (!zadanie.naglowek("transfer-encoding").isEmpty()) {
                    gniazdo->write(Zapisz(Prosta(411), true));
                    gniazdo->disconnectFromHost();
                    return;
                }
                bool liczba = true;
                const QByteArray dlugoscTekst = zadanie.naglowek("content-length");
                const qint64 dlugosc = dlugoscTekst.isEmpty() ? 0 : dlugoscTekst.toLongLong(&liczba);
                if (!liczba || dlugosc < 0 || dlugosc > NajwiekszeCialo) {
                    gniazdo->write(Zapisz(Prosta(liczba && dlugosc > 0 ? 413 : 400), true));
                    gniazdo->disconnectFromHost();
                    return;
                }
                if (stan->bufor.size() - (koniec + 4) < dlugosc) return;  // the body is still coming
                zadanie.cialo = stan->bufor.mid(koniec + 4, dlugosc);
                stan->bufor.remove(0, koniec + 4 + dlugosc);

                const OdpowiedzHttp odp = obsluga_(zadanie);
                if (odp.zerwij) {
                    gniazdo->abort();
                    gniazdo->deleteLater();
                    return;
                }
                const bool zamknij =
                    zadanie.naglowek("connection").toLower() == "close" ||
                    (pierwsza[2] == "HTTP/1.0" && zadanie.naglowek("connection").toLower() != "keep-alive");
                gniazdo->write(Zapisz(odp, zamknij));
                if (zamknij) {
                    gniazdo->disconnectFromHost();
                    return;
                }
            }
        });
    }
}

}  // namespace symulator
