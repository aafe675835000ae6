#include "ustawienia/wiersz_polecen_ustawien.h"

ArgumentyUstawien CzytajArgumentyUstawien(const QStringList& argumenty) {
    ArgumentyUstawien wynik;
    bool koniecOpcji = false;
    for (const QString& a : argumenty) {
        if (!koniecOpcji && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            wynik.pomoc = true;
        } else if (!koniecOpcji && a == QLatin1String("--nowy-katalog")) {
            wynik.nowyKatalog = true;
        } else if (!koniecOpcji && a == QLatin1String("--")) {
            koniecOpcji = true;
        } else if (!koniecOpcji && a.startsWith(u'-') && a.size() > 1) {
            wynik.blad = QStringLiteral("nieznana opcja „%1”").arg(a);
            return wynik;
        } else if (wynik.katalog.isEmpty()) {
            wynik.katalog = a;
        } else {
            wynik.blad =
                QStringLiteral("można podać tylko jeden folder danych („%1” i „%2”)").arg(wynik.katalog, a);
            return wynik;
        }
    }
    return wynik;
}

QString TekstPomocyUstawien(const QString& program) {
    return QStringLiteral(
               "Użycie: %1 [--nowy-katalog] [KATALOG]\n"
               "\n"
               "Ustawienia i listy modułu Faktura: dane firmy, ustawienia faktur, położenie danych,\n"
               "czcionka wydruku, listy klientów i usług, folder programu Ewidencja sprzedaży.\n"
               "\n"
               "KATALOG          folder, w którym uruchamiany jest moduł (z plikiem Admini/siec.dat);\n"
               "                 bez niego folder bieżący. Folder danych ustala się z pliku siec.dat\n"
               "                 tak samo, jak robi to moduł.\n"
               "--nowy-katalog   zacznij od strony „Nowy katalog danych” (KATALOG: proponowany folder)\n"
               "-h, --help       pokaż ten opis i zakończ\n"
               "\n"
               "Ostatnio utworzony lub otwarty folder jest zapamiętywany w pliku\n"
               "$XDG_CONFIG_HOME/faktura/katalog-danych (domyślnie ~/.config/faktura/katalog-danych).\n")
        .arg(program);
}
