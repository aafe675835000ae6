// Exports of a data folder: pdf and ksef of 1000 documents against the in-process printout of one
// page, csv of 100,000 documents (325 MB) against `cat` of the document file, both as processes.
// Run with --benchmark_repetitions=5 --benchmark_report_aggregates_only=true for medians.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "calc/dokument.h"
#include "eksport/dane_eksportu.h"
#include "eksport/pdf.h"
#include "eksport/przebieg.h"
#include "print/plotno_drukarki.h"
#include "print/wydruk.h"
#include "store/pliki_danych.h"
#include "store/system_plikow.h"

namespace {

// The documents of the export tests repeated, each round with a suffix of its own, so that every
// file name is new and every correction finds the invoice of its round.
std::vector<TDokument> Dokumenty(std::size_t ile) {
    const std::vector<TDokument> zestaw = ZestawDokumentow();
    std::vector<TDokument> wynik;
    wynik.reserve(ile);
    for (std::size_t i = 0; wynik.size() < ile; ++i) {
        TDokument d = zestaw[1 + i % (zestaw.size() - 1)];
        const QString runda = QStringLiteral("/%1").arg(i / (zestaw.size() - 1));
        d.rozszerzenie.ustaw(d.rozszerzenie.tekst() + runda);
        if (JestKorekta(d)) d.dotyczy.ustaw(d.dotyczy.tekst() + runda);
        wynik.push_back(d);
    }
    return wynik;
}

// A data folder with `ile` documents, the seller, the settings and the printout font.
class FolderDanych {
  public:
    explicit FolderDanych(std::size_t ile) {
        QDir d(katalog_.path());
        for (const char* f : {"Admini", "Uslugi", "FONT"}) d.mkpath(QLatin1String(f));
        zapisz("Admini/faktura.dat", UstawieniaTestowe());
        zapisz("Admini/firma.dat", FirmaTestowa());
        TCzcionka c{};
        c.nazwa.ustaw(QStringLiteral("Liberation Serif"));
        c.rozmiar = 10;
        zapisz("FONT/font_welkaro.dat", c);
        QFile plik(sciezka("Uslugi/dokumenty.dat"));
        plik.open(QIODevice::WriteOnly);
        const std::vector<TDokument> blok = Dokumenty(std::min<std::size_t>(ile, 7000));
        for (std::size_t zapisane = 0; zapisane < ile;) {
            const std::size_t n = std::min(blok.size(), ile - zapisane);
            plik.write(reinterpret_cast<const char*>(blok.data()),
                       static_cast<qint64>(n * sizeof(TDokument)));
            zapisane += n;
        }
    }
    QString sciezka(const char* wzgledna) const { return katalog_.filePath(QString::fromLatin1(wzgledna)); }

  private:
    template <class T>
    void zapisz(const char* wzgledna, const T& rekord) {
        QFile plik(sciezka(wzgledna));
        plik.open(QIODevice::WriteOnly);
        plik.write(reinterpret_cast<const char*>(&rekord), sizeof rekord);
    }
    QTemporaryDir katalog_;
};

int Eksportuj(const FolderDanych& dane, const QStringList& argumenty) {
    WlaczRysownikPdf();
    const QString poprzedni = QDir::currentPath();
    QDir::setCurrent(dane.sciezka(""));
    std::FILE* nic = std::fopen("/dev/null", "w");
    Srodowisko s{DomyslnySystemPlikow(), nic, nic, false, QDateTime::currentDateTimeUtc()};
    const int kod = UruchomProgram(argumenty, s);
    std::fclose(nic);
    QDir::setCurrent(poprzedni);
    return kod;
}

void Dokumentow(benchmark::State& stan, std::int64_t naPrzebieg) {
    stan.SetItemsProcessed(static_cast<std::int64_t>(stan.iterations()) * naPrzebieg);
    stan.counters["dokumenty/s"] =
        benchmark::Counter(static_cast<double>(stan.iterations() * naPrzebieg), benchmark::Counter::kIsRate);
}

void BM_Pdf1000(benchmark::State& stan) {
    const FolderDanych dane(1000);
    QTemporaryDir wyniki;
    for (auto _ : stan) {
        if (Eksportuj(dane, {"pdf", "--do", wyniki.path(), "--nadpisz"}) != 0)
            stan.SkipWithError("pdf nie powiódł się");
    }
    Dokumentow(stan, 1000);
}
BENCHMARK(BM_Pdf1000)->Unit(benchmark::kSecond)->UseRealTime();

// The print command's own page, one copy into a PDF file at the same resolution: times 1000 it is
// what the export of 1000 documents is measured against.
void BM_JednaStronaWydruku(benchmark::State& stan) {
    QTemporaryDir katalog;
    const QString plik = katalog.filePath(QStringLiteral("strona.pdf"));
    StanCzcionki czcionka;  // the font file of the data folder
    czcionka.NazwaCzcionki = QStringLiteral("Liberation Serif");
    czcionka.RozmiarCzcionki = 10;
    const DaneWydruku dane =
        DaneWydrukuZRekordu(Dokumenty(3)[2], UstawieniaTestowe(), FirmaTestowa(), czcionka);
    for (auto _ : stan) {
        QPrinter drukarka(QPrinter::HighResolution);
        drukarka.setOutputFormat(QPrinter::PdfFormat);
        drukarka.setOutputFileName(plik);
        drukarka.setPageSize(QPageSize(QPageSize::A4));
        PlotnoDrukarki plotno(drukarka);
        Drukarka d(plotno);
        DrukujKopie(d, dane, 1);
    }
}
BENCHMARK(BM_JednaStronaWydruku)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Ksef1000(benchmark::State& stan) {
    const FolderDanych dane(1000);
    QTemporaryDir wyniki;
    for (auto _ : stan) {
        if (Eksportuj(dane, {"ksef", "--do", wyniki.path(), "--nadpisz", "--podstawa-zwolnienia",
                             "art. 43 ust. 1 pkt 29 lit. c ustawy"}) != 0)
            stan.SkipWithError("ksef nie powiódł się");
    }
    Dokumentow(stan, 1000);
}
BENCHMARK(BM_Ksef1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 documents: 325 MB, read from the page cache by both processes.
const FolderDanych& DuzyFolder() {
    static const FolderDanych dane(100000);
    return dane;
}

void Proces(benchmark::State& stan, const QString& program, const QStringList& argumenty) {
    QProcess proces;
    proces.setWorkingDirectory(DuzyFolder().sciezka(""));
    proces.setStandardOutputFile(QProcess::nullDevice());
    proces.setStandardErrorFile(QProcess::nullDevice());
    proces.start(program, argumenty);
    if (!proces.waitForFinished(600000) || proces.exitCode() != 0)
        stan.SkipWithError("proces nie powiódł się");
}

void BM_Csv100000Proces(benchmark::State& stan) {
    DuzyFolder();
    for (auto _ : stan) Proces(stan, QStringLiteral(PROGRAM_EKSPORTU), {"csv"});
    Dokumentow(stan, 100000);
}
BENCHMARK(BM_Csv100000Proces)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Cat100000(benchmark::State& stan) {
    const QString plik = DuzyFolder().sciezka("Uslugi/dokumenty.dat");
    for (auto _ : stan) Proces(stan, QStringLiteral("cat"), {plik});
    Dokumentow(stan, 100000);
}
BENCHMARK(BM_Cat100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Csv100000WProcesie(benchmark::State& stan) {
    for (auto _ : stan) {
        if (Eksportuj(DuzyFolder(), {"csv"}) != 0) stan.SkipWithError("csv nie powiódł się");
    }
    Dokumentow(stan, 100000);
}
BENCHMARK(BM_Csv100000WProcesie)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aplikacja(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
