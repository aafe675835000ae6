// Time to print one invoice page into a PDF file through Qt's printer, as the print command does it
// for one copy: printer set-up, job, page, file written.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include "print/dane_wydruku.h"
#include "print/plotno_drukarki.h"
#include "print/wydruk.h"

namespace {

void BM_StronaFakturyDoPdf(benchmark::State& stan) {
    QTemporaryDir katalog;
    const QString plik = katalog.filePath(QStringLiteral("faktura.pdf"));
    const DaneWydruku dane = DaneFaktury();
    for (auto _ : stan) {
        QPrinter drukarka(QPrinter::HighResolution);
        drukarka.setOutputFormat(QPrinter::PdfFormat);
        drukarka.setOutputFileName(plik);
        drukarka.setResolution(600);
        PlotnoDrukarki plotno(drukarka);
        Drukarka d(plotno);
        DrukujKopie(d, dane, 1);
    }
}
BENCHMARK(BM_StronaFakturyDoPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aplikacja(argc, argv);
    // "--jedna-strona PLIK": print one page and end, for timing the whole process (bench/wydruk.sh).
    if (argc == 3 && QByteArray(argv[1]) == "--jedna-strona") {
        QPrinter drukarka(QPrinter::HighResolution);
        drukarka.setOutputFormat(QPrinter::PdfFormat);
        drukarka.setOutputFileName(QString::fromLocal8Bit(argv[2]));
        drukarka.setResolution(600);
        PlotnoDrukarki plotno(drukarka);
        Drukarka d(plotno);
        DrukujKopie(d, DaneFaktury(), 1);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
