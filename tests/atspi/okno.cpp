// The real window for the accessibility test, on the platform and the buses its environment names:
// it shows an invoice line and its total, writes "gotowe" once the window is up, and on each line
// "zmien" read from standard input changes the quantity, recomputes and writes "gotowe" again.
// It ends when standard input closes. Usage: okno FOLDER
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>

#include "app/faktura_f.h"
#include "app/siatka.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/platforma_testowa.h"

namespace {

void Gotowe() {
    std::printf("gotowe\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication aplikacja(argc, argv);
    if (argc < 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) return 2;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    if (!platforma.bledy().empty()) {
        std::fprintf(stderr, "%s\n", platforma.bledy().front().toUtf8().constData());
        return 3;
    }
    okno->tabela->ustawKomorke(
        1, 1, QStringLiteral("Usługa transportowa i montaż urządzeń chłodniczych, etap 12a"));
    okno->tabela->ustawKomorke(4, 1, QStringLiteral("2"));
    okno->tabela->ustawKomorke(5, 1, QStringLiteral("10.50"));
    okno->tabela->ustawKomorke(6, 1, QStringLiteral("22"));
    okno->Timer2Timer();
    okno->Timer1Timer();
    okno->show();
    QTimer::singleShot(0, &Gotowe);

    QByteArray wejscie;
    QSocketNotifier czytnik(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&czytnik, &QSocketNotifier::activated, [&] {
        char bufor[256];
        const ssize_t n = ::read(STDIN_FILENO, bufor, sizeof bufor);
        if (n <= 0) {
            czytnik.setEnabled(false);
            // Not quit(): that asks the windows to close, and this one asks the user first.
            QCoreApplication::exit(0);
            return;
        }
        wejscie.append(bufor, n);
        for (qsizetype koniec; (koniec = wejscie.indexOf('\n')) >= 0; wejscie.remove(0, koniec + 1)) {
            if (wejscie.left(koniec) != "zmien") continue;
            okno->tabela->ustawKomorke(4, 1, QStringLiteral("3"));
            okno->Timer2Timer();
            QTimer::singleShot(0, &Gotowe);
        }
    });
    return aplikacja.exec();
}
