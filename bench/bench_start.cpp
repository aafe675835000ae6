// Start-up as the program does it, ending at the first paint of the main window; run by
// bench/start.sh, which times the whole process.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>

#include "app/aplikacja.h"
#include "app/faktura_f.h"

namespace {

class PierwszeMalowanie : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* zdarzenie) override {
        if (zdarzenie->type() == QEvent::Paint) QCoreApplication::exit(0);
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer zegar;
    zegar.start();
    PierwszeMalowanie filtr;
    const int wynik =
        UruchomModul(argc, argv, [&filtr](Tfaktura_f& okno) { okno.installEventFilter(&filtr); });
    std::fprintf(stderr, "w procesie do pierwszego malowania: %lld ms\n",
                 static_cast<long long>(zegar.elapsed()));
    return wynik;
}
