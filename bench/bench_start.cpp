// Start-up as the program does it, ending at the first paint of the main window; run by
// bench/start.sh, which times the whole process.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "store/system_plikow.h"

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
    QApplication aplikacja(argc, argv);
    QTranslator tlumaczenie;
    if (tlumaczenie.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&tlumaczenie);
    Tfaktura_f okno(PlatformaPulpitu(), DomyslnySystemPlikow());
    PierwszeMalowanie filtr;
    okno.installEventFilter(&filtr);
    okno.show();
    QApplication::exec();
    std::fprintf(stderr, "w procesie do pierwszego malowania: %lld ms\n", static_cast<long long>(zegar.elapsed()));
    return 0;
}
