// faktura-eksport: stored documents as PDF files, FA(3) e-invoices or a CSV sales register. Built twice:
// as faktura-eksport, without the graphics libraries, which hands a pdf export on to itself built as
// faktura-eksport-pdf (EKSPORT_Z_PDF), the one that draws.
#include <unistd.h>

#include <QDateTime>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "eksport/przebieg.h"
#include "store/system_plikow.h"

#ifdef EKSPORT_Z_PDF
#include <QGuiApplication>

#include "eksport/pdf.h"
#endif

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

#ifndef EKSPORT_Z_PDF
// faktura-eksport-pdf, beside this program in the build folder, in ../libexec/faktura/ when installed.
QByteArray ProgramPdf() {
    char sciezka[4096];
    const ssize_t dlugosc = ::readlink("/proc/self/exe", sciezka, sizeof sciezka - 1);
    if (dlugosc <= 0) return QByteArrayLiteral("/usr/libexec/faktura/faktura-eksport-pdf");
    const QByteArray program(sciezka, dlugosc);
    const QByteArray katalog = program.left(program.lastIndexOf('/') + 1);
    const QByteArray obok = katalog + "faktura-eksport-pdf";
    if (::access(obok.constData(), X_OK) == 0) return obok;
    return katalog + "../libexec/faktura/faktura-eksport-pdf";
}

// The pdf export is the other program's: it alone loads the graphics libraries, which would cost
// every csv and FA(3) export their start-up time. Returns only when it cannot be started.
int UruchomProgramPdf(char** argv) {
    const QByteArray program = ProgramPdf();
    ::execv(program.constData(), argv);
    const QString powod = QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray linia =
        QStringLiteral("faktura-eksport: nie można uruchomić programu eksportu PDF „%1”: %2.\n")
            .arg(QString::fromLocal8Bit(program), powod)
            .toUtf8();
    std::fwrite(linia.constData(), 1, static_cast<std::size_t>(linia.size()), stderr);
    return KodOdrzucenia;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(FiltrKomunikatow);
    QStringList argumenty;
    for (int i = 1; i < argc; ++i) argumenty << QString::fromLocal8Bit(argv[i]);

    const Argumenty a = CzytajArgumenty(argumenty);
#ifdef EKSPORT_Z_PDF
    // Only the page drawing needs the GUI; without a display it runs on the offscreen platform.
    std::unique_ptr<QGuiApplication> aplikacja;
    if (a.polecenie && a.polecenie->rodzaj == RodzajEksportu::Pdf) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        aplikacja = std::make_unique<QGuiApplication>(argc, argv);
    }
    WlaczRysownikPdf();
#else
    if (a.polecenie && a.polecenie->rodzaj == RodzajEksportu::Pdf) return UruchomProgramPdf(argv);
#endif

    Srodowisko srodowisko{DomyslnySystemPlikow(), stdout, stderr, ::isatty(STDERR_FILENO) == 1,
                          QDateTime::currentDateTimeUtc()};
    return UruchomProgram(argumenty, srodowisko);
}
