#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "store/system_plikow.h"
#include "ustawienia/pulpit_ustawien.h"
#include "ustawienia/ustawienia_f.h"
#include "ustawienia/wiersz_polecen_ustawien.h"

namespace {

bool JestEkran() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    // Help needs no display: answered before Qt starts.
    QStringList surowe;
    for (int i = 1; i < argc; ++i) surowe.append(QString::fromLocal8Bit(argv[i]));
    const QString program = QStringLiteral("faktura-ustawienia");
    if (CzytajArgumentyUstawien(surowe).pomoc) {
        std::fputs(TekstPomocyUstawien(program).toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!JestEkran()) {
        std::fprintf(stderr,
                     "Brak ekranu: program potrzebuje środowiska graficznego.\n"
                     "Bez ekranu uruchom go przez wirtualny ekran: xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }

    // The desktop matches the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kwintaro.Faktura.Ustawienia"));
    QApplication aplikacja(argc, argv);
    // The installed icon theme's picture; the one built in when the program is not installed.
    QIcon wbudowana;
    for (const int rozmiar : {16, 32, 48, 256})
        wbudowana.addFile(QStringLiteral(":/ikony/%1/ustawienia.png").arg(rozmiar));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("io.github.kwintaro.Faktura.Ustawienia"), wbudowana));
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    QTranslator tlumaczenie;
    if (tlumaczenie.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&tlumaczenie);

    // Qt has taken its own options out by now.
    const ArgumentyUstawien argumenty = CzytajArgumentyUstawien(QApplication::arguments().mid(1));
    if (!argumenty.blad.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(program), argumenty.blad.toLocal8Bit().constData(),
                     TekstPomocyUstawien(program).toLocal8Bit().constData());
        return 2;
    }
    const FolderStartowy startowy =
        UstalFolderStartowy(argumenty, DomyslnySystemPlikow(), QDir::currentPath());
    Tustawienia_f okno(PulpitQt(), DomyslnySystemPlikow(), startowy.katalog, argumenty.nowyKatalog,
                       startowy.podany);
    okno.show();
    return QApplication::exec();
}
