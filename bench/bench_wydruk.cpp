// Time to print one invoice page into a PDF file through Qt's printer, as the print command does it
// for one copy: printer set-up, job, page, file written.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include "print/plotno_drukarki.h"
#include "print/wydruk.h"

namespace {

DaneWydruku PrzykladowaFaktura() {
    DaneWydruku d;
    d.miejscowosc = QStringLiteral("Kraków");
    d.data_wystawienia = QStringLiteral("2010-03-15");
    d.numerator = QStringLiteral("17");
    d.rozszerzenie = QStringLiteral("FV/2010");
    d.odbiorca1 = QStringLiteral("Odbiorca Sp. z o.o.");
    d.odbiorca2 = QStringLiteral("ul. Długa 5");
    d.odbiorca3 = QStringLiteral("30-001 Kraków");
    d.nip_odbiorcy = QStringLiteral("123-456-78-90");
    d.forma_zaplaty = QStringLiteral("przelew");
    d.termin_zaplaty = QStringLiteral("14 dni");
    d.data_uslugi = QStringLiteral("2010-03-14");
    d.podpis = QStringLiteral("Jan Nowak");
    d.oznaczenie_kopii = QStringLiteral("oryginał / kopia");
    d.stopka = QStringLiteral("Dziękujemy za zakupy");
    d.liniaFirmy1 = QStringLiteral("Firma Usługowa Sprzedawca");
    d.liniaFirmy2 = QStringLiteral("ul. Krótka 1");
    d.liniaFirmy3 = QStringLiteral("00-950 Warszawa");
    d.nip = QStringLiteral("111-222-33-44");
    d.bank = QStringLiteral("Bank Pierwszy");
    d.konto = QStringLiteral("12 3456 7890");
    TDokument& dok = d.dokument;
    dok.rodzaj.ustaw(QStringLiteral("F"));
    const char* wiersz[] = {"Usługa serwisowa", "71.12.1", "szt", "   1.00", " 100.00", "23"};
    for (int c = 0; c < 6; ++c) dok.pozycje[c][0].ustaw(QString::fromUtf8(wiersz[c]));
    const char* stawka[] = {"23", "      100.00", "       23.00", "      123.00"};
    for (int c = 0; c < 4; ++c) dok.stawki[c][0].ustaw(QString::fromUtf8(stawka[c]));
    d.czcionka.NazwaCzcionki = QStringLiteral("Arial");
    d.czcionka.RozmiarCzcionki = 10;
    return d;
}

void BM_StronaFakturyDoPdf(benchmark::State& stan) {
    QTemporaryDir katalog;
    const QString plik = katalog.filePath(QStringLiteral("faktura.pdf"));
    const DaneWydruku dane = PrzykladowaFaktura();
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
        DrukujKopie(d, PrzykladowaFaktura(), 1);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
