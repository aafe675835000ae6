// Cost of one recomputation of the VAT summary, the total and its words (run on every 100 ms tick).
#include <benchmark/benchmark.h>

#include "calc/podsumowanie.h"

namespace {

const std::array<std::array<PozycjaTabeli, 3>, 4> Tabele{{
    {{{"2", "10.50", "22"}, {}, {}}},
    {{{"1", "100", "22"}, {"3", "33.33", "22"}, {}}},
    {{{"1", "100", "22"}, {"2", "12.5", "7"}, {"1", "0.333", "22"}}},
    {{{"1", "100", "22"}, {"2", "12.5", "7"}, {"4", "2.5", "0"}}},
}};

void ObliczPodsumowaniePrzyklad(benchmark::State& stan) {
    const auto& tabela = Tabele[stan.range(0)];
    for (auto _ : stan) {
        WynikPodsumowania wynik = ObliczPodsumowanie(tabela);
        benchmark::DoNotOptimize(wynik);
    }
}
BENCHMARK(ObliczPodsumowaniePrzyklad)->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
