// "Wylicz" of the monthly summary over a document file of 100,000 records (325 MB, page cache warm)
// on the real window, next to cat of the same file in the same run: reading is meant to cost no more
// than twice what the disk cache gives to a plain copy.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <vector>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "store/system_plikow.h"
#include "wspolne_pomiarow.h"

namespace {

constexpr int LiczbaDokumentow = 100000;

// Invoices and corrections of 2009 and 2010 for 500 buyers, two or three rate rows each.
TDokument Przyklad(int i) {
    TDokument d{};
    d.rodzaj.ustaw(i % 10 == 0 ? QStringLiteral("K") : QStringLiteral("F"));
    d.numerator.ustaw(QString::number(i));
    d.data_wystawienia.ustaw(QStringLiteral("%1-%2-%3")
                                 .arg(2009 + i / 12 % 2)
                                 .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(i % 28 + 1, 2, 10, QLatin1Char('0')));
    d.odbiorca1.ustaw(QStringLiteral("Klient numer %1 Sp. z o.o.").arg(i % 500));
    d.stawki[3][0].ustaw(QStringLiteral("%1.%2").arg(100 + i % 900).arg(i % 100, 2, 10, QLatin1Char('0')));
    d.stawki[3][1].ustaw(QStringLiteral("      23.00"));
    if (i % 3 == 0) d.stawki[3][2].ustaw(QStringLiteral("       8.10"));
    d.stawki_korekty[3][0].ustaw(QStringLiteral("90.00"));
    return d;
}

struct Srodowisko {
    QTemporaryDir katalog;
    PlatformaCicha platforma;
    Tfaktura_f* okno = nullptr;
    QString dokumenty;

    Srodowisko() {
        QDir(katalog.path()).mkpath("Admini");
        QDir(katalog.path()).mkpath("Uslugi");
        dokumenty = katalog.filePath("Uslugi/dokumenty.dat");
        QFile plik(dokumenty);
        if (!plik.open(QIODevice::WriteOnly)) qFatal("nie można utworzyć %s", qPrintable(dokumenty));
        std::vector<TDokument> blok(1000);
        for (int od = 0; od < LiczbaDokumentow; od += static_cast<int>(blok.size())) {
            for (std::size_t i = 0; i < blok.size(); ++i) blok[i] = Przyklad(od + static_cast<int>(i));
            plik.write(reinterpret_cast<const char*>(blok.data()),
                       static_cast<qint64>(blok.size() * sizeof(TDokument)));
        }
        plik.close();
        QDir::setCurrent(katalog.path());
        okno = new Tfaktura_f(platforma, DomyslnySystemPlikow());
        okno->Timer1->stop();
        okno->Timer2->stop();
        okno->SpeedButton17Click();
        okno->lata->setEditText(QStringLiteral("2010"));
    }
};

Srodowisko& Dane() {
    static Srodowisko srodowisko;
    return srodowisko;
}

void Wylicz(benchmark::State& stan, const char* klient) {
    Srodowisko& s = Dane();
    s.okno->klienci->setEditText(QString::fromUtf8(klient));
    s.okno->SpeedButton19Click();  // warms the page cache
    if (std::accumulate(s.okno->SumyMiesiecy.begin(), s.okno->SumyMiesiecy.end(), 0.0) <= 0)
        stan.SkipWithError("rok 2010 powinien mieć dodatnią sumę");
    for (auto _ : stan) s.okno->SpeedButton19Click();
    stan.SetBytesProcessed(stan.iterations() * static_cast<int64_t>(LiczbaDokumentow) * sizeof(TDokument));
}
BENCHMARK_CAPTURE(Wylicz, wszyscy_klienci, "Dowolny")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Wylicz, jeden_klient, "numer 7 ")->Unit(benchmark::kMillisecond)->UseRealTime();

void Cat(benchmark::State& stan) {
    Srodowisko& s = Dane();
    for (auto _ : stan) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start(QStringLiteral("cat"), {s.dokumenty});
        if (!cat.waitForFinished(-1) || cat.exitCode() != 0) stan.SkipWithError("cat nie zadziałał");
    }
    stan.SetBytesProcessed(stan.iterations() * static_cast<int64_t>(LiczbaDokumentow) * sizeof(TDokument));
}
BENCHMARK(Cat)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return UruchomPomiary(argc, argv); }
