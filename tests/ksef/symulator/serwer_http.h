#pragma once
// A small HTTP/1.1 server for the simulator: Content-Length bodies, keep-alive, one request at a time
// per connection. It lives on the simulator's thread; the handler is called there.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <functional>

namespace symulator {

struct ZadanieHttp {
    QByteArray metoda;
    QString sciezka;  // percent-decoded, without the query
    QString zapytanie;
    QList<QPair<QByteArray, QByteArray>> naglowki;  // names lower-case
    QByteArray cialo;

    QByteArray naglowek(const QByteArray& nazwa) const;  // empty when absent
};

struct OdpowiedzHttp {
    int kod = 200;
    QList<QPair<QByteArray, QByteArray>> naglowki;
    QByteArray cialo;
    QByteArray typ = "application/json";
    bool zerwij = false;  // close the connection without any answer
};

class SerwerHttp : public QObject {
  public:
    using Obsluga = std::function<OdpowiedzHttp(const ZadanieHttp&)>;
    explicit SerwerHttp(Obsluga obsluga, QObject* rodzic = nullptr);

    // Binds 127.0.0.1 on a free port; 0 when it could not.
    quint16 slucha();

  private:
    void nowePolaczenie();

    QTcpServer* serwer_;  // a child, so that it moves to the simulator's thread with this object
    Obsluga obsluga_;
};

}  // namespace symulator
