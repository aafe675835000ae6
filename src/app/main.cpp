#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "app/dane_demonstracyjne.h"
#include "app/faktura_f.h"
#include "app/platforma.h"
#include "print/font_f.h"
#include "app/straz.h"
#include "store/system_plikow.h"

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

    QApplication aplikacja(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    // Standard dialogs (files, printing, fonts) speak Polish.
    QTranslator tlumaczenie;
    if (tlumaczenie.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&tlumaczenie);

    Tfaktura_f faktura_f(PlatformaPulpitu(), DomyslnySystemPlikow());
    faktura_f.font_f = new Tfont_f(PlatformaPulpitu(), DomyslnySystemPlikow(), &faktura_f);
    faktura_f.show();
    return QApplication::exec();
}
