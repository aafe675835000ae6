// Cost of one refresh tick of the real window with unchanged grids, next to the pure computation.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "calc/podsumowanie.h"
#include "store/system_plikow.h"
#include "wspolne_pomiarow.h"

namespace {

Tfaktura_f* Okno() {
    static QTemporaryDir katalog;
    static PlatformaCicha platforma;
    static Tfaktura_f* okno = [] {
        QDir(katalog.path()).mkpath("Admini");
        QDir(katalog.path()).mkpath("Uslugi");
        QDir::setCurrent(katalog.path());
        auto* o = new Tfaktura_f(platforma, DomyslnySystemPlikow());
        o->Timer1->stop();
        o->Timer2->stop();
        const char* const linie[3][3] = {{"1", "100", "22"}, {"2", "12.5", "7"}, {"1", "0.333", "22"}};
        for (int r = 1; r <= 3; ++r)
            for (int c = 0; c < 3; ++c) o->tabela->ustawKomorke(4 + c, r, linie[r - 1][c]);
        o->show();
        o->Timer2Timer();
        return o;
    }();
    return okno;
}

void TykniecieOkna(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    for (auto _ : stan) okno->Timer2Timer();
}
BENCHMARK(TykniecieOkna);

void ObliczeniaTykniecia(benchmark::State& stan) {
    const std::array<PozycjaTabeli, 3> pozycje = {
        {{"1", "100", "22"}, {"2", "12.5", "7"}, {"1", "0.333", "22"}}};
    for (auto _ : stan) benchmark::DoNotOptimize(ObliczPodsumowanie(pozycje));
}
BENCHMARK(ObliczeniaTykniecia);

void TykniecieZegara(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    for (auto _ : stan) okno->Timer1Timer();
}
BENCHMARK(TykniecieZegara);

}  // namespace

int main(int argc, char** argv) { return UruchomPomiary(argc, argv); }
