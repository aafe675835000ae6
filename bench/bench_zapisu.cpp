// Changes of a document file of 100,000 records (325 MB), on the disk of the data folder:
// - an in-place save with the journal and the lock against the plain write and sync of the record
//   that the program did before, and against the window's whole "Zapisz fakturę";
// - a delete (rebuild without one record, copied by the kernel) against cp + sync + mv + folder
//   sync of the same file from the shell.
// FAKTURA_BENCH_DOKUMENTY sets another number of records.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "app/faktura_f.h"
#include "store/plik_dokumentow.h"
#include "store/pliki_danych.h"
#include "store/system_plikow.h"
#include "wspolne_pomiarow.h"

namespace {

int LiczbaDokumentow() {
    const QByteArray z = qgetenv("FAKTURA_BENCH_DOKUMENTY");
    return z.isEmpty() ? 100000 : z.toInt();
}

TDokument Dokument(int i) {
    TDokument d{};
    d.rodzaj.ustaw(QStringLiteral("F"));
    d.numerator.ustaw(QString::number(i + 1));
    d.rozszerzenie.ustaw(QStringLiteral("2026"));
    d.odbiorca1.ustaw(QStringLiteral("Przedsiębiorstwo Handlowo-Usługowe nr %1 Sp. z o.o.").arg(i));
    return d;
}

void Polecenie(const QString& polecenie) {
    if (std::system(polecenie.toLocal8Bit().constData()) != 0)
        qFatal("nie powiodło się: %s", qPrintable(polecenie));
}

struct Srodowisko {
    // Below the working directory, on the disk, not in a memory file system.
    QTemporaryDir katalog{QDir::currentPath() + QStringLiteral("/pomiar-XXXXXX")};
    QString dokumenty;
    PlatformaCicha platforma;
    std::unique_ptr<Tfaktura_f> okno;

    Srodowisko() {
        QDir(katalog.path()).mkpath("Admini");
        QDir(katalog.path()).mkpath("Uslugi");
        dokumenty = katalog.filePath("Uslugi/dokumenty.dat");
        QFile plik(dokumenty);
        if (!plik.open(QIODevice::WriteOnly)) qFatal("nie można utworzyć %s", qPrintable(dokumenty));
        std::vector<TDokument> blok(1000);
        for (int i = 0; i < LiczbaDokumentow(); i += 1000) {
            const int n = std::min(1000, LiczbaDokumentow() - i);
            for (int j = 0; j < n; ++j) blok[static_cast<std::size_t>(j)] = Dokument(i + j);
            plik.write(reinterpret_cast<const char*>(blok.data()),
                       static_cast<qint64>(n * sizeof(TDokument)));
        }
        plik.close();
        Polecenie("sync '" + dokumenty + "'");
        QDir::setCurrent(katalog.path());
        platforma.odpowiedz = true;
        okno = std::make_unique<Tfaktura_f>(platforma, DomyslnySystemPlikow());
        okno->Timer1->stop();
        okno->Timer2->stop();
    }
    ~Srodowisko() { QDir::setCurrent(QDir::rootPath()); }
};

std::unique_ptr<Srodowisko> Wspolne;
Srodowisko& S() {
    if (!Wspolne) Wspolne = std::make_unique<Srodowisko>();
    return *Wspolne;
}

// The record in the middle of the file, changed a little in each round.
std::int64_t Srodek() { return LiczbaDokumentow() / 2; }

void ZapisWMiejscuBezDziennika(benchmark::State& stan) {
    SystemPlikow& system = DomyslnySystemPlikow();
    TDokument d = Dokument(static_cast<int>(Srodek()));
    int runda = 0;
    for (auto _ : stan) {
        d.odbiorca2.ustaw(QString::number(++runda));
        OtwartyPlik plik(system, S().dokumenty, TrybOtwarcia::OdczytZapis);
        plik.zapisz(static_cast<std::uint64_t>(Srodek() - 1) * sizeof(TDokument), &d, sizeof d);
        plik.synchronizuj();
        plik.zamknij();
    }
}
BENCHMARK(ZapisWMiejscuBezDziennika)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void ZapisWMiejscuZDziennikiem(benchmark::State& stan) {
    SystemPlikow& system = DomyslnySystemPlikow();
    TDokument d = Dokument(static_cast<int>(Srodek()));
    int runda = 0;
    for (auto _ : stan) {
        PlikDokumentow plik(system, S().dokumenty);
        const TDokument teraz = plik.czytaj(Srodek());
        d = teraz;
        d.odbiorca2.ustaw(QString::number(++runda));
        plik.zastap(plik.znajdz(Srodek(), teraz), d);
        plik.zakoncz();
    }
}
BENCHMARK(ZapisWMiejscuZDziennikiem)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// "Zapisz fakturę" on the document shown (the last one): the journal, the re-read and the form.
void ZapisWMiejscuWOknie(benchmark::State& stan) {
    Tfaktura_f& okno = *S().okno;
    int runda = 0;
    for (auto _ : stan) {
        okno.odbiorca2->setText(QString::number(++runda));
        okno.SpeedButton2Click();
    }
}
BENCHMARK(ZapisWMiejscuWOknie)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void CpSyncMvSync(benchmark::State& stan) {
    const QString uslugi = S().katalog.filePath("Uslugi");
    const QString kopia = uslugi + "/kopia.dat";
    const QString polecenie = "cp '" + S().dokumenty + "' '" + kopia + "' && sync '" + kopia + "' && mv '" +
                              kopia + "' '" + S().dokumenty + "' && sync '" + uslugi + "'";
    for (auto _ : stan) Polecenie(polecenie);
}
BENCHMARK(CpSyncMvSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

// Deletes the record in the middle: all but one record are copied.
void UsuniecieZPliku(benchmark::State& stan) {
    SystemPlikow& system = DomyslnySystemPlikow();
    const QString nowe = S().katalog.filePath("Uslugi/dokumenty.old");
    for (auto _ : stan) {
        PrzebudujBezRekordu(system, S().dokumenty, nowe, Srodek());
        stan.PauseTiming();
        // The file keeps its size for the next round.
        OtwartyPlik plik(system, S().dokumenty, TrybOtwarcia::OdczytZapis);
        const TDokument d = Dokument(0);
        plik.zapisz(plik.rozmiar(), &d, sizeof d);
        plik.zamknij();
        stan.ResumeTiming();
    }
    stan.counters["MB"] = static_cast<double>(QFile(S().dokumenty).size()) / 1e6;
}
BENCHMARK(UsuniecieZPliku)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

}  // namespace

int main(int argc, char** argv) {
    return UruchomPomiary(argc, argv, [] { Wspolne.reset(); });
}
