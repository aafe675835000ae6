#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "app/aplikacja.h"
#include "app/straz.h"
#include "store/system_plikow.h"
#include "ustawienia/dane_demonstracyjne.h"

namespace {

bool JestEkran() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--dane-demonstracyjne") == 0) {
        QCoreApplication aplikacja(argc, argv);
        try {
            PrzygotujDaneDemonstracyjne(DomyslnySystemPlikow(), QString::fromLocal8Bit(argv[2]));
        } catch (...) {
            std::fprintf(stderr, "%s\n", KomunikatBiezacegoBledu().toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }
    if (!JestEkran()) {
        std::fprintf(stderr,
                     "Brak ekranu: program potrzebuje środowiska graficznego.\n"
                     "Bez ekranu uruchom go przez wirtualny ekran: xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }

    return UruchomModul(argc, argv);
}
