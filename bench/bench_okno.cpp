// Cost of one refresh tick of the real window, with unchanged grids (idle) and with a value that
// changes on every tick, next to the pure computation; and the cost of painting the grids and the
// amount labels.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
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
        QCoreApplication::processEvents();
        return o;
    }();
    return okno;
}

// The quantity of line 1 flips between two values, so every tick writes new summary cells, a new
// total and new words.
void ZmienIlosc(Tfaktura_f* okno, bool& druga) {
    okno->tabela->ustawKomorke(4, 1, druga ? QStringLiteral("2") : QStringLiteral("1"));
    druga = !druga;
}

void TykniecieOkna(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    for (auto _ : stan) okno->Timer2Timer();
}
BENCHMARK(TykniecieOkna);

void TykniecieZmiennychWartosci(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    bool druga = false;
    for (auto _ : stan) {
        ZmienIlosc(okno, druga);
        okno->Timer2Timer();
    }
    okno->tabela->ustawKomorke(4, 1, QStringLiteral("1"));
    okno->Timer2Timer();
}
BENCHMARK(TykniecieZmiennychWartosci);

// The same, with the window painting what changed, as the event loop does after a tick.
void TykniecieZmiennychZMalowaniem(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    bool druga = false;
    for (auto _ : stan) {
        ZmienIlosc(okno, druga);
        okno->Timer2Timer();
        QCoreApplication::processEvents();
    }
    okno->tabela->ustawKomorke(4, 1, QStringLiteral("1"));
    okno->Timer2Timer();
    QCoreApplication::processEvents();
}
BENCHMARK(TykniecieZmiennychZMalowaniem);

void MalowanieSiatek(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    for (auto _ : stan) {
        okno->tabela->viewport()->repaint();
        okno->tabela_vat->viewport()->repaint();
    }
}
BENCHMARK(MalowanieSiatek);

// The total and the longest words of a nine-digit amount, which do not fit the word label at the
// form's font.
void MalowanieEtykietKwot(benchmark::State& stan) {
    Tfaktura_f* okno = Okno();
    const QString zlote = okno->Label19->text();
    okno->Label19->setText(QString::fromUtf8(
        "dziewięćset dziewięćdziesiąt dziewięć milionów dziewięćset dziewięćdziesiąt dziewięć tysięcy "
        "dziewięćset dziewięćdziesiąt dziewięć złotych"));
    for (auto _ : stan) {
        okno->Label17->repaint();
        okno->Label19->repaint();
    }
    okno->Label19->setText(zlote);
}
BENCHMARK(MalowanieEtykietKwot);

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
