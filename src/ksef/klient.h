#pragma once
// The KSeF API 2.0 as blocking calls: each waits for its answer (the window calls them on a worker
// thread). Retries follow the API: 429 waits for Retry-After, a 5xx or a dropped connection is tried
// again after a growing pause, polling backs off. Every refusal of KSeF becomes a BladKsef whose
// message is Polish: the API's exception codes with their descriptions.
#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "ksef/kryptografia.h"
#include "ksef/srodowiska.h"
#include "store/blad.h"

class QNetworkAccessManager;

class BladKsef : public Odmowa {
  public:
    BladKsef(const QString& komunikat, int statusHttp, int kodKsef, bool przejsciowy);
    int statusHttp() const { return statusHttp_; }  // 0: no answer at all
    int kodKsef() const { return kodKsef_; }        // the API's exception code, 0 when none
    // A failure that may pass by itself (no connection, 5xx, 429 beyond the retries): the state
    // stays resumable and the next run tries again.
    bool przejsciowy() const { return przejsciowy_; }

  private:
    int statusHttp_;
    int kodKsef_;
    bool przejsciowy_;
};

// The Polish description of an exception code of the API; empty when the code is unknown.
QString OpisKoduKsef(int kod);
// The description of an invoice's status code, as the API lists them.
QString OpisStatusuFaktury(int kod);

struct StatusKsef {
    int kod = 0;
    QString opis;
    QStringList szczegoly;
    QJsonObject rozszerzenia;
    // "opis: szczegół; szczegół"
    QString tekst() const;
};

struct StatusFakturyKsef {
    QString numerFaktury;  // reference number
    QString skrot;         // invoiceHash
    QString numerKsef;
    QDateTime dataPrzyjecia;
    StatusKsef status;
};

struct StatusSesjiKsef {
    StatusKsef status;
    int faktur = 0, udanych = 0, nieudanych = 0;
    QStringList stronyUpo;  // reference numbers of the session UPO's pages
};

struct OpcjeKlienta {
    std::chrono::milliseconds limitCzasu{30000};  // one request
    int ponowien = 5;                             // 429 / 5xx / no connection
    std::chrono::milliseconds pierwszaPrzerwa{500};
    std::chrono::milliseconds najdluzszaPrzerwa{8000};
    std::chrono::milliseconds najdluzszeOczekiwanie{300000};  // polling a status
    // The pause between tries; the tests replace it to count the pauses instead of sleeping.
    std::function<void(std::chrono::milliseconds)> czekaj;
};

class KlientKsef {
  public:
    explicit KlientKsef(SrodowiskoKsef srodowisko, OpcjeKlienta opcje = {});
    ~KlientKsef();
    KlientKsef(const KlientKsef&) = delete;
    KlientKsef& operator=(const KlientKsef&) = delete;

    const SrodowiskoKsef& srodowisko() const { return srodowisko_; }

    // The public-key certificate of the usage ("KsefTokenEncryption", "SymmetricKeyEncryption")
    // valid now; fetched once and again after KSeF reports the key unknown or withdrawn.
    const CertyfikatX509& kluczPubliczny(const QString& uzycie);
    QString idKlucza(const QString& uzycie);  // its publicKeyId, sent with what it encrypted
    void zapomnijKlucze();

    // Authentication: challenge, the request, polling until 200, the one redeem. Afterwards the
    // access token is sent with every call and refreshed when it runs out.
    void uwierzytelnijTokenem(const QString& nipKontekstu, const QString& token);
    void uwierzytelnijCertyfikatem(const QString& nipKontekstu, const CertyfikatX509& certyfikat,
                                   const KluczPrywatny& klucz);
    bool uwierzytelniony() const { return !tokenDostepu_.isEmpty(); }
    void odswiezToken();
    // Ends the authentication session on KSeF's side (best effort).
    void wyloguj();

    struct Sesja {
        QString numer;
        QByteArray klucz, iv;
    };
    Sesja otworzSesje();
    // The invoice's reference number. offline: the invoice was issued offline (offlineMode).
    QString wyslijFakture(const Sesja& sesja, const QByteArray& xml, bool offline = false,
                          const QString& skrotKorygowanej = {});
    StatusFakturyKsef statusFaktury(const QString& numerSesji, const QString& numerFaktury);
    // Waits until KSeF decides (a code other than 100 / 150).
    StatusFakturyKsef czekajNaFakture(const QString& numerSesji, const QString& numerFaktury);
    QList<StatusFakturyKsef> fakturySesji(const QString& numerSesji);
    void zamknijSesje(const QString& numerSesji);
    StatusSesjiKsef statusSesji(const QString& numerSesji);
    // After closing: waits until KSeF has processed the session (a code other than 100, 150, 170).
    StatusSesjiKsef czekajNaSesje(const QString& numerSesji);
    QByteArray upoFaktury(const QString& numerSesji, const QString& numerFaktury);
    QByteArray upoFakturyKsef(const QString& numerSesji, const QString& numerKsef);
    QByteArray upoSesji(const QString& numerSesji, const QString& numerUpo);

  private:
    struct Odpowiedz {
        int status = 0;
        QByteArray tresc;
        QByteArray typ;
    };
    enum class Autoryzacja { Brak, Dostep, Operacja, Odswiezenie };
    Odpowiedz wywolaj(const QByteArray& metoda, const QString& sciezka, const QByteArray& tresc = {},
                      const QByteArray& typ = "application/json",
                      Autoryzacja autoryzacja = Autoryzacja::Dostep);
    Odpowiedz wywolajRaz(const QByteArray& metoda, const QString& sciezka, const QByteArray& tresc,
                         const QByteArray& typ, const QByteArray& token, int& retryAfter);
    QJsonObject json(const Odpowiedz& odpowiedz) const;
    [[noreturn]] void odmowa(const Odpowiedz& odpowiedz) const;
    void czekaj(std::chrono::milliseconds ile);
    void dokonczUwierzytelnienie(const QJsonObject& inicjacja);

    SrodowiskoKsef srodowisko_;
    OpcjeKlienta opcje_;
    std::unique_ptr<QNetworkAccessManager> siec_;
    struct Klucz {
        QString uzycie;
        CertyfikatX509 certyfikat;
        QString id;
    };
    const Klucz& klucz(const QString& uzycie);
    QList<Klucz> klucze_;
    QByteArray tokenOperacji_, tokenDostepu_, tokenOdswiezenia_;
    QDateTime dostepWaznyDo_;
    QString ciagDalszy_;  // x-continuation-token of the next page of a list
};
