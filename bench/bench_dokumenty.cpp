// A large document file: filling the invoice list and deleting a document, each next to reading or
// copying the same file with cat and cp in the same run; and opening a full client list.
//
// The folder holds 100,000 documents (325 MB) unless FAKTURA_BENCH_DOKUMENTY says another number.
// Reading and copying run with the page cache warm. Deleting makes the rebuilt file durable (fsync)
// before it replaces the old one and syncs the folder after, so it is set beside "cp", "cp + sync"
// and the same durable replacement done from the shell.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdlib>

#include "app/faktura_f.h"
#include "app/lista_linii.h"
#include "app/platforma.h"
#include "store/rekordy.h"
#include "store/system_plikow.h"
#include "wspolne_pomiarow.h"

namespace {

int LiczbaDokumentow() {
    const QByteArray z = qgetenv("FAKTURA_BENCH_DOKUMENTY");
    return z.isEmpty() ? 100000 : z.toInt();
}

void ZapiszDokumenty(const QString& sciezka, int ile) {
    QFile plik(sciezka);
    if (!plik.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("nie można utworzyć %s", qPrintable(sciezka));
    std::vector<TDokument> blok(1000);
    for (int i = 0; i < ile; i += static_cast<int>(blok.size())) {
        const int n = std::min<int>(static_cast<int>(blok.size()), ile - i);
        for (int j = 0; j < n; ++j) {
            TDokument& d = blok[static_cast<std::size_t>(j)];
            d = TDokument{};
            d.rodzaj.ustaw(QStringLiteral("F"));
            d.numerator.ustaw(QString::number(i + j + 1));
            d.rozszerzenie.ustaw(QStringLiteral("2011"));
            d.odbiorca1.ustaw(
                QStringLiteral("Przedsiębiorstwo Handlowo-Usługowe nr %1 Sp. z o.o.").arg(i + j));
            d.odbiorca2.ustaw(QStringLiteral("ul. Długa %1").arg(j));
            d.pozycje[0][0].ustaw(QStringLiteral("Usługa serwisowa"));
            d.pozycje[3][0].ustaw(QStringLiteral("   1.00"));
            d.pozycje[4][0].ustaw(QStringLiteral("  100.00"));
        }
        plik.write(reinterpret_cast<const char*>(blok.data()), static_cast<qint64>(n * sizeof(TDokument)));
    }
}

void ZapiszPelnaBazeKlientow(const QString& sciezka) {
    auto baza = std::make_unique<TBazaKlientow>();
    for (int s = 0; s < TBazaKlientow::LiczbaMiejsc; ++s) {
        baza->numer[s].ustaw(QStringLiteral("%1").arg(s + 1, 2, 10, QLatin1Char('0')));
        baza->odbiorca1[s].ustaw(
            QStringLiteral("Zakład Usługowo-Handlowy „Kowalski i Synowie” nr %1").arg(s));
        baza->odbiorca2[s].ustaw(QStringLiteral("ul. Marszałkowska %1 m. 12").arg(s));
        baza->odbiorca3[s].ustaw(QStringLiteral("00-%1 Warszawa").arg(s, 3, 10, QLatin1Char('0')));
        baza->odbiorca4[s].ustaw(QStringLiteral("woj. mazowieckie"));
        baza->nip_odbiorcy[s].ustaw(QStringLiteral("525-000-%1").arg(s));
    }
    QFile plik(sciezka);
    if (!plik.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("nie można utworzyć %s", qPrintable(sciezka));
    plik.write(reinterpret_cast<const char*>(baza.get()), sizeof(TBazaKlientow));
}

struct Srodowisko {
    QTemporaryDir katalog;
    PlatformaCicha platforma;
    std::unique_ptr<Tfaktura_f> okno;
    QString dokumenty, klienci;

    Srodowisko() {
        platforma.odpowiedz = true;
        QDir(katalog.path()).mkpath("Admini");
        QDir(katalog.path()).mkpath("Uslugi");
        QDir::setCurrent(katalog.path());
        dokumenty = katalog.filePath("Uslugi/dokumenty.dat");
        klienci = katalog.filePath("Uslugi/pelna.kli");
        ZapiszDokumenty(dokumenty, LiczbaDokumentow());
        ZapiszPelnaBazeKlientow(klienci);
        okno = std::make_unique<Tfaktura_f>(platforma, DomyslnySystemPlikow());
        okno->Timer1->stop();
        okno->Timer2->stop();
        // Warm the page cache.
        Polecenie("cat '" + dokumenty + "' > /dev/null");
    }
    ~Srodowisko() { QDir::setCurrent(QDir::rootPath()); }

    static void Polecenie(const QString& polecenie) {
        if (std::system(polecenie.toLocal8Bit().constData()) != 0)
            qFatal("nie powiodło się: %s", qPrintable(polecenie));
    }
};

// Made on first use, and gone before the application object.
std::unique_ptr<Srodowisko> Wspolne;

Srodowisko& S() {
    if (!Wspolne) Wspolne = std::make_unique<Srodowisko>();
    return *Wspolne;
}

void Rozmiar(benchmark::State& stan) {
    stan.counters["MB"] = static_cast<double>(QFile(S().dokumenty).size()) / 1e6;
}

void CatDokumentow(benchmark::State& stan) {
    const QString polecenie = "cat '" + S().dokumenty + "' > /dev/null";
    for (auto _ : stan) Srodowisko::Polecenie(polecenie);
    Rozmiar(stan);
}
BENCHMARK(CatDokumentow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Times one call, leaving out what is done between the rounds.
template <class F>
void ZmierzWywolanie(benchmark::State& stan, F wywolanie) {
    const auto od = std::chrono::steady_clock::now();
    wywolanie();
    stan.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - od).count());
}

void WypelnienieListyFaktur(benchmark::State& stan) {
    Tfaktura_f& okno = *S().okno;
    for (auto _ : stan) {
        ZmierzWywolanie(stan, [&okno] { okno.SpeedButton3Click(); });
        if (okno.lista->count() != LiczbaDokumentow()) stan.SkipWithError("zła liczba linii");
        okno.SpeedButton10Click();
    }
    Rozmiar(stan);
}
BENCHMARK(WypelnienieListyFaktur)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// The same with the window on screen, up to the list painted.
void WypelnienieIWyswietlenieListyFaktur(benchmark::State& stan) {
    Tfaktura_f& okno = *S().okno;
    okno.show();
    QApplication::processEvents();
    for (auto _ : stan) {
        okno.SpeedButton3Click();
        okno.lista->repaint();
        QApplication::processEvents();
        stan.PauseTiming();
        okno.SpeedButton10Click();
        QApplication::processEvents();
        stan.ResumeTiming();
    }
    okno.hide();
}
BENCHMARK(WypelnienieIWyswietlenieListyFaktur)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void CpDokumentow(benchmark::State& stan) {
    const QString polecenie = "cp '" + S().dokumenty + "' '" + S().katalog.filePath("kopia.dat") + "'";
    for (auto _ : stan) Srodowisko::Polecenie(polecenie);
    QFile::remove(S().katalog.filePath("kopia.dat"));
}
BENCHMARK(CpDokumentow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void CpISyncDokumentow(benchmark::State& stan) {
    const QString kopia = S().katalog.filePath("kopia.dat");
    const QString polecenie = "cp '" + S().dokumenty + "' '" + kopia + "' && sync '" + kopia + "'";
    for (auto _ : stan) Srodowisko::Polecenie(polecenie);
    QFile::remove(kopia);
}
BENCHMARK(CpISyncDokumentow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The floor of any durable replacement from the shell: copy, sync, rename over the file, sync the
// folder (the old file's blocks are freed by the rename).
void CpSyncMvDokumentow(benchmark::State& stan) {
    const QString kopia = S().katalog.filePath("Uslugi/kopia.dat");
    const QString polecenie = "cp '" + S().dokumenty + "' '" + kopia + "' && sync '" + kopia + "' && mv '" +
                              kopia + "' '" + S().dokumenty + "' && sync '" + S().katalog.filePath("Uslugi") +
                              "'";
    for (auto _ : stan) Srodowisko::Polecenie(polecenie);
}
BENCHMARK(CpSyncMvDokumentow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Deletes the document shown, the last one, so that each round copies all but one record.
void UsuniecieDokumentu(benchmark::State& stan) {
    Tfaktura_f& okno = *S().okno;
    for (auto _ : stan) okno.SpeedButton8Click();
    Rozmiar(stan);
}
BENCHMARK(UsuniecieDokumentu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void OtwarcieListyKlientow(benchmark::State& stan) {
    Srodowisko& s = S();
    s.platforma.wybranyPlik = s.klienci;
    for (auto _ : stan) {
        ZmierzWywolanie(stan, [&s] { s.okno->SpeedButton5Click(); });
        if (s.okno->lista->count() != TBazaKlientow::LiczbaMiejsc) stan.SkipWithError("zła liczba linii");
        s.okno->SpeedButton10Click();
    }
}
BENCHMARK(OtwarcieListyKlientow)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    return UruchomPomiary(argc, argv, [] { Wspolne.reset(); });
}
