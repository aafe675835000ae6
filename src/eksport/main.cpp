// faktura-eksport: stored documents as PDF files, FA(3) e-invoices or a CSV sales register.
#include <unistd.h>

#include <QDateTime>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

#include "eksport/przebieg.h"
#include "store/system_plikow.h"

namespace {

// The error stream of this program carries its own Polish lines only: the toolkit's notes (a runtime
// folder it picked, a painter that could not begin) are dropped, since every failure behind them is
// reported by the export itself, with the file and the reason. A fatal one ends the program, so it is
// said in Polish before that.
void FiltrKomunikatow(QtMsgType rodzaj, const QMessageLogContext&, const QString& tekst) {
    if (rodzaj != QtFatalMsg) return;
    const QString powod = tekst.contains(QLatin1String("platform plugin"))
                              ? QStringLiteral(
                                    "nie ma wtyczki grafiki Qt wskazanej przez QT_QPA_PLATFORM "
                                    "(bez ekranu wystarczy „offscreen”)")
                              : QStringLiteral("błąd wewnętrzny biblioteki Qt");
    const QByteArray linia =
        QStringLiteral("faktura-eksport: %1; program przerwał pracę.\n").arg(powod).toUtf8();
    std::fwrite(linia.constData(), 1, static_cast<std::size_t>(linia.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(FiltrKomunikatow);
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
