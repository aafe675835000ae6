// faktura-ksef: sending the data folder's documents to KSeF, as commands or in a window.
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <memory>

#include "store/system_plikow.h"
#include "wysylka/polecenia_ksef.h"

namespace {

std::atomic<bool> Przerwano{false};

// Ctrl+C asks the sending to stop after its current step, so that the state on disk stays one the
// next run resumes from; a second one ends the program at once.
void Przerwij(int) {
    if (Przerwano.exchange(true)) std::_Exit(130);
}

}  // namespace

int main(int argc, char** argv) {
    QStringList argumenty;
    for (int i = 1; i < argc; ++i) argumenty << QString::fromLocal8Bit(argv[i]);

    ZaleznosciKsef zaleznosci = DomyslneZaleznosciKsef();
    zaleznosci.przerwij = [] { return Przerwano.load(); };
    std::signal(SIGINT, Przerwij);

    // Only the window needs the GUI; the commands run without a display.
    std::unique_ptr<QCoreApplication> aplikacja;
    if (argumenty.isEmpty())
        aplikacja = std::make_unique<QApplication>(argc, argv);
    else
        aplikacja = std::make_unique<QCoreApplication>(argc, argv);

    Srodowisko srodowisko{DomyslnySystemPlikow(), stdout, stderr, ::isatty(STDERR_FILENO) == 1,
                          QDateTime::currentDateTimeUtc()};
    return UruchomProgramKsef(argumenty, srodowisko, zaleznosci);
}
