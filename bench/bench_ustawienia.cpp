// A full client list (5001 used slots, 3.49 MB) in the settings program: open it, change one slot
// and save it, set beside copying the same file with cp and syncing the copy, in the same run.
// Saving makes the new file durable (fsync) before it replaces the old one and syncs the folder, so
// the shell's durable replacement (cp, sync, mv, sync of the folder) is measured too. Each figure is
// the median of its repetitions, the page cache warm.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "store/rekordy.h"
#include "store/system_plikow.h"
#include "ustawienia/listy.h"

namespace {

constexpr int Powtorzen = 15;

struct Srodowisko {
    QTemporaryDir katalog;
    QString lista, kopia;

    Srodowisko() {
        lista = katalog.filePath(QStringLiteral("pelna.kli"));
        kopia = katalog.filePath(QStringLiteral("kopia.kli"));
        auto baza = std::make_unique<TBazaKlientow>();
        for (int s = 0; s < TBazaKlientow::LiczbaMiejsc; ++s) {
            baza->numer[s].ustaw(QStringLiteral("%1").arg(s + 1, 2, 10, QLatin1Char('0')));
            baza->odbiorca1[s].ustaw(
                QStringLiteral("Zakład Usługowo-Handlowy „Kowalski i Synowie” nr %1").arg(s));
            baza->odbiorca2[s].ustaw(QStringLiteral("ul. Marszałkowska %1 m. 12").arg(s));
            baza->odbiorca3[s].ustaw(QStringLiteral("00-%1 Warszawa").arg(s % 1000, 3, 10, QLatin1Char('0')));
            baza->odbiorca4[s].ustaw(QStringLiteral("woj. mazowieckie"));
            baza->nip_odbiorcy[s].ustaw(QStringLiteral("525-000-%1").arg(s));
        }
        QFile plik(lista);
        if (!plik.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            plik.write(reinterpret_cast<const char*>(baza.get()), sizeof(TBazaKlientow)) !=
                static_cast<qint64>(sizeof(TBazaKlientow)))
            std::abort();
        plik.close();
        Polecenie("cat '" + lista + "' > /dev/null");
    }

    static void Polecenie(const QString& polecenie) {
        if (std::system(polecenie.toLocal8Bit().constData()) != 0) std::abort();
    }
};

Srodowisko& S() {
    static Srodowisko srodowisko;
    return srodowisko;
}

void Rozmiar(benchmark::State& stan) {
    stan.counters["MB"] = static_cast<double>(QFile(S().lista).size()) / 1e6;
}

void OtwarcieEdycjaZapisListy(benchmark::State& stan) {
    const QString sciezka = S().lista;
    int runda = 0;
    for (auto _ : stan) {
        auto lista = Lista::Otworz(RodzajBazy::Klienci, DomyslnySystemPlikow(), sciezka);
        if (lista->uzyteMiejsca().size() != TBazaKlientow::LiczbaMiejsc)
            stan.SkipWithError("zła liczba wpisów");
        QStringList wpis = lista->wpis(2500);
        wpis[1] = QStringLiteral("ul. Nowa %1").arg(++runda);
        lista->ustawWpis(2500, wpis);
        lista->zapisz(DomyslnySystemPlikow());
    }
    Rozmiar(stan);
}
BENCHMARK(OtwarcieEdycjaZapisListy)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(Powtorzen)
    ->ReportAggregatesOnly(true);

void OtwarcieListy(benchmark::State& stan) {
    for (auto _ : stan) {
        auto lista = Lista::Otworz(RodzajBazy::Klienci, DomyslnySystemPlikow(), S().lista);
        benchmark::DoNotOptimize(lista->numer(5000));
    }
}
BENCHMARK(OtwarcieListy)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(Powtorzen)
    ->ReportAggregatesOnly(true);

void CpISync(benchmark::State& stan) {
    const QString polecenie = "cp '" + S().lista + "' '" + S().kopia + "' && sync '" + S().kopia + "'";
    for (auto _ : stan) Srodowisko::Polecenie(polecenie);
    QFile::remove(S().kopia);
    Rozmiar(stan);
}
BENCHMARK(CpISync)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(Powtorzen)
    ->ReportAggregatesOnly(true);

// The floor of any durable replacement from the shell.
void CpSyncMvSync(benchmark::State& stan) {
    const QString polecenie = "cp '" + S().lista + "' '" + S().kopia + "' && sync '" + S().kopia +
                              "' && mv '" + S().kopia + "' '" + S().lista + "' && sync '" +
                              S().katalog.path() + "'";
    for (auto _ : stan) Srodowisko::Polecenie(polecenie);
}
BENCHMARK(CpSyncMvSync)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(Powtorzen)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
