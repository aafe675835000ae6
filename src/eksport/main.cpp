// faktura-eksport: stored documents as PDF files, FA(3) e-invoices or a CSV sales register.
#include <unistd.h>

#include <QDateTime>
#include <QGuiApplication>
#include <memory>

#include "eksport/przebieg.h"
#include "store/system_plikow.h"

namespace {

QtMessageHandler PoprzedniaObsluga = nullptr;

// Without a desktop session Qt notes that it picked a runtime folder itself; that is no news to the
// user of a command-line program, whose error stream carries the refusals.
void FiltrKomunikatow(QtMsgType rodzaj, const QMessageLogContext& kontekst, const QString& tekst) {
    if (tekst.contains(QLatin1String("XDG_RUNTIME_DIR not set"))) return;
    if (PoprzedniaObsluga) PoprzedniaObsluga(rodzaj, kontekst, tekst);
}

}  // namespace

int main(int argc, char** argv) {
    PoprzedniaObsluga = qInstallMessageHandler(FiltrKomunikatow);
    QStringList argumenty;
    for (int i = 1; i < argc; ++i) argumenty << QString::fromLocal8Bit(argv[i]);

    // Only the page drawing needs the GUI; without a display it runs on the offscreen platform.
    std::unique_ptr<QGuiApplication> aplikacja;
    const Argumenty a = CzytajArgumenty(argumenty);
    if (a.polecenie && a.polecenie->rodzaj == RodzajEksportu::Pdf) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        aplikacja = std::make_unique<QGuiApplication>(argc, argv);
    }

    Srodowisko srodowisko{DomyslnySystemPlikow(), stdout, stderr, ::isatty(STDERR_FILENO) == 1,
                          QDateTime::currentDateTimeUtc()};
    return UruchomProgram(argumenty, srodowisko);
}
