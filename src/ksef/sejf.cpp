#include "ksef/sejf.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

const QString UslugaSejfu = QStringLiteral("faktura-ksef");
// A keyring asks its user to unlock it at most once per call; longer than that, nothing answers.
constexpr int CzasSejfuMs = 5000;

const char* NazwaRodzaju(RodzajSekretu rodzaj) {
    switch (rodzaj) {
        case RodzajSekretu::Token:
            return "token";
        case RodzajSekretu::HasloKlucza:
            return "haslo-klucza";
        case RodzajSekretu::HasloKluczaOffline:
            return "haslo-klucza-offline";
    }
    return "inny";
}

QString BrakSejfu(const QString& szczegoly) {
    QString tekst = QStringLiteral(
        "Pęk kluczy pulpitu jest niedostępny; sekret nie został ani odczytany, "
        "ani zapisany.");
    if (!szczegoly.isEmpty()) tekst += QStringLiteral(" (") + szczegoly + u')';
    return tekst;
}

// Runs a job to its end or to the time limit with a loop of its own, so that the callers need no
// running event loop (the command line, a worker thread).
WynikSejfu Wykonaj(QKeychain::Job* zadanie, bool odczyt) {
    zadanie->setAutoDelete(false);
    // A secret goes to the keyring or nowhere: never to a plain settings file.
    zadanie->setInsecureFallback(false);
    QEventLoop petla;
    QTimer zegar;
    zegar.setSingleShot(true);
    bool skonczone = false;
    QObject::connect(zadanie, &QKeychain::Job::finished, &petla, [&] {
        skonczone = true;
        petla.quit();
    });
    QObject::connect(&zegar, &QTimer::timeout, &petla, &QEventLoop::quit);
    zegar.start(CzasSejfuMs);
    zadanie->start();
    if (!skonczone) petla.exec(QEventLoop::ExcludeUserInputEvents);

    WynikSejfu wynik;
    if (!skonczone) {
        // The job may still answer later: it goes when it does, or with the application.
        QObject::disconnect(zadanie, nullptr, &petla, nullptr);
        if (QCoreApplication* aplikacja = QCoreApplication::instance();
            aplikacja && zadanie->thread() == aplikacja->thread())
            zadanie->setParent(aplikacja);
        zadanie->setAutoDelete(true);
        wynik.sejfDostepny = false;
        wynik.blad = BrakSejfu(QStringLiteral("brak odpowiedzi w ciągu %1 s").arg(CzasSejfuMs / 1000));
        return wynik;
    }
    const QKeychain::Error kod = zadanie->error();
    const QString opis = zadanie->errorString();
    if (kod == QKeychain::NoError) {
        if (odczyt) wynik.wartosc = static_cast<QKeychain::ReadPasswordJob*>(zadanie)->textData();
    } else if (kod == QKeychain::EntryNotFound) {
        // Nothing kept: no error, also for a removal.
    } else if (kod == QKeychain::AccessDenied || kod == QKeychain::AccessDeniedByUser) {
        wynik.blad = QStringLiteral("Pęk kluczy odmówił dostępu do sekretu.");
    } else if (kod == QKeychain::CouldNotDeleteEntry) {
        wynik.blad = QStringLiteral("Nie udało się usunąć sekretu z pęku kluczy.");
    } else {
        // No backend, no session bus, or a failure on its way there.
        wynik.sejfDostepny = false;
        wynik.blad = BrakSejfu(opis);
    }
    delete zadanie;
    return wynik;
}

}  // namespace

QString NazwaSekretu(RodzajSekretu rodzaj, const QString& nipKontekstu, const QString& srodowisko) {
    return QStringLiteral("%1/%2/%3")
        .arg(QString::fromLatin1(NazwaRodzaju(rodzaj)), nipKontekstu, srodowisko);
}

WynikSejfu CzytajSekret(const QString& nazwa) {
    auto* zadanie = new QKeychain::ReadPasswordJob(UslugaSejfu);
    zadanie->setKey(nazwa);
    return Wykonaj(zadanie, true);
}

WynikSejfu ZapiszSekret(const QString& nazwa, const QString& wartosc) {
    auto* zadanie = new QKeychain::WritePasswordJob(UslugaSejfu);
    zadanie->setKey(nazwa);
    zadanie->setTextData(wartosc);
    WynikSejfu wynik = Wykonaj(zadanie, false);
    if (!wynik.sejfDostepny || !wynik.blad.isEmpty()) return wynik;
    wynik.wartosc = wartosc;
    return wynik;
}

WynikSejfu UsunSekret(const QString& nazwa) {
    auto* zadanie = new QKeychain::DeletePasswordJob(UslugaSejfu);
    zadanie->setKey(nazwa);
    return Wykonaj(zadanie, false);
}
