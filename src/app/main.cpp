#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
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

const char* const TekstPomocy =
    "Użycie: faktura\n"
    "       faktura --dane-demonstracyjne KATALOG\n"
    "\n"
    "Moduł Faktura: faktury VAT i faktury korygujące. Dane są w folderze bieżącym (z podfolderem\n"
    "Admini i plikiem Admini/siec.dat, który może wskazać inny folder danych); poza folderem danych\n"
    "moduł mówi to i kończy pracę. Nowy folder danych tworzy faktura-ustawienia. Z menu pulpitu moduł\n"
    "uruchamia faktura-start w folderze ostatnio utworzonym lub otwartym w faktura-ustawienia.\n"
    "\n"
    "--dane-demonstracyjne KATALOG\n"
    "             przygotuj w KATALOG gotowy do próby folder danych (dane sprzedawcy, listy\n"
    "             klientów i usług, trzy faktury i korekta; istniejące pliki zostają) i zakończ\n"
    "-h, --help   pokaż ten opis i zakończ\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(TekstPomocy, stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--dane-demonstracyjne") == 0) {
        if (argc != 3 || argv[2][0] == '\0') {
            std::fprintf(stderr, "faktura: opcja --dane-demonstracyjne wymaga jednego folderu\n\n%s",
                         TekstPomocy);
            return 2;
        }
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
        // Without a screen the message of a start outside a data folder goes to the terminal.
        if (const auto komunikat = KomunikatPozaFolderemDanych(DomyslnySystemPlikow())) {
            std::fprintf(stderr, "%s\n", komunikat->toLocal8Bit().constData());
            return KodPozaFolderemDanych;
        }
        std::fprintf(stderr,
                     "Brak ekranu: program potrzebuje środowiska graficznego.\n"
                     "Bez ekranu uruchom go przez wirtualny ekran: xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }

    // The desktop matches the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kwintaro.Faktura"));
    return UruchomModul(argc, argv, [](Tfaktura_f&) {
        // The installed icon theme's picture; the one built in when the program is not installed.
        QIcon wbudowana;
        for (const int rozmiar : {16, 32, 48, 256})
            wbudowana.addFile(QStringLiteral(":/ikony/%1/faktura.png").arg(rozmiar));
        QApplication::setWindowIcon(
            QIcon::fromTheme(QStringLiteral("io.github.kwintaro.Faktura"), wbudowana));
    });
}
