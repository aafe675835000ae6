// The tests' KSeF as a process of its own: prints its address and serves until its standard input
// closes or it is told to stop (SIGTERM, SIGINT).
#include <signal.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "ksef/symulator/symulator.h"

namespace {

// The waiting threads outlive the application object; once it is gone they must not touch it.
std::mutex BlokadaKonca;
bool AplikacjaDziala = false;

void Zakoncz() {
    std::lock_guard blokada(BlokadaKonca);
    if (AplikacjaDziala) QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit);
}

}  // namespace

int main(int argc, char** argv) {
    // Blocked before any thread starts, so that only the waiting thread below receives them.
    sigset_t sygnaly;
    sigemptyset(&sygnaly);
    sigaddset(&sygnaly, SIGTERM);
    sigaddset(&sygnaly, SIGINT);
    pthread_sigmask(SIG_BLOCK, &sygnaly, nullptr);

    QCoreApplication aplikacja(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Symulator KSeF dla testów (tylko 127.0.0.1)."));
    parser.addHelpOption();
    const QCommandLineOption token(QStringLiteral("token"),
                                   QStringLiteral("Przyjmowany token KSeF (powtarzalne)."),
                                   QStringLiteral("T"));
    const QCommandLineOption nip(QStringLiteral("nip"), QStringLiteral("NIP kontekstu kolejnego tokena."),
                                 QStringLiteral("N"));
    const QCommandLineOption opoznienie(
        QStringLiteral("opoznienie"), QStringLiteral("Ile zapytań o stan zwraca 100, zanim przyjdzie wynik."),
        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOptions({token, nip, opoznienie});
    parser.process(aplikacja);
    const QStringList tokeny = parser.values(token);
    const QStringList nipy = parser.values(nip);
    if (tokeny.size() != nipy.size()) {
        std::fprintf(stderr, "Każdy --token potrzebuje swojego --nip.\n");
        return 2;
    }
    bool liczba = false;
    const int ileZapytan = parser.value(opoznienie).toInt(&liczba);
    if (!liczba || ileZapytan < 0) {
        std::fprintf(stderr, "--opoznienie przyjmuje liczbę nieujemną.\n");
        return 2;
    }

    try {
        SymulatorKsef symulator;
        for (qsizetype i = 0; i < tokeny.size(); ++i) symulator.dodajToken(tokeny[i], nipy[i]);
        symulator.ustawOpoznienie(ileZapytan);
        std::printf("%s\n", symulator.adres().toString().toUtf8().constData());
        std::fflush(stdout);

        {
            std::lock_guard blokada(BlokadaKonca);
            AplikacjaDziala = true;
        }
        std::thread([sygnaly] {
            int sygnal = 0;
            sigwait(&sygnaly, &sygnal);
            Zakoncz();
        }).detach();
        std::thread([] {
            char bufor[256];
            while (read(STDIN_FILENO, bufor, sizeof bufor) > 0) {
            }
            Zakoncz();
        }).detach();
        const int wynik = aplikacja.exec();
        std::lock_guard blokada(BlokadaKonca);
        AplikacjaDziala = false;
        return wynik;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
