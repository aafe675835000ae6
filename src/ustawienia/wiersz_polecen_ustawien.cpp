#include "ustawienia/wiersz_polecen_ustawien.h"

#include <QDir>

#include "ustawienia/zapamietany_katalog.h"

ArgumentyUstawien CzytajArgumentyUstawien(const QStringList& argumenty) {
    ArgumentyUstawien wynik;
    bool koniecOpcji = false;
    for (const QString& a : argumenty) {
        if (!koniecOpcji && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            wynik.pomoc = true;
        } else if (!koniecOpcji && a == QLatin1String("--nowy-katalog")) {
            wynik.nowyKatalog = true;
        } else if (!koniecOpcji && a == QLatin1String("--ostatni-katalog")) {
            wynik.ostatniKatalog = true;
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
    if (wynik.ostatniKatalog && !wynik.katalog.isEmpty())
        wynik.blad = QStringLiteral("--ostatni-katalog i folder „%1” wykluczają się").arg(wynik.katalog);
    return wynik;
}

FolderStartowy UstalFolderStartowy(const ArgumentyUstawien& argumenty, SystemPlikow& system,
                                   const QString& biezacy) {
    if (argumenty.ostatniKatalog)
        return {CzytajZapamietanyKatalog(system).value_or(DomyslnyNowyKatalog()), true};
    if (argumenty.katalog.isEmpty()) return {QDir::cleanPath(biezacy), false};
    return {QDir::cleanPath(QDir(biezacy).absoluteFilePath(argumenty.katalog)), true};
}

QString TekstPomocyUstawien(const QString& program) {
    return QStringLiteral(
               "Użycie: %1 [--nowy-katalog] [--ostatni-katalog | KATALOG]\n"
               "\n"
               "Ustawienia i listy modułu Faktura: dane firmy, ustawienia faktur, płatność i kontakt\n"
               "na wydruku, położenie danych, czcionka wydruku, listy klientów i usług, folder programu\n"
               "Ewidencja sprzedaży, wysyłanie faktur do KSeF.\n"
               "\n"
               "KATALOG          folder, w którym uruchamiany jest moduł (z plikiem Admini/siec.dat);\n"
               "                 bez niego folder bieżący. Folder danych ustala się z pliku siec.dat\n"
               "                 tak samo, jak robi to moduł.\n"
               "--nowy-katalog   zacznij od strony „Nowy katalog danych” (KATALOG: proponowany folder)\n"
               "--ostatni-katalog\n"
               "                 zamiast KATALOG ostatnio utworzony lub otwarty folder danych; gdy go\n"
               "                 nie ma, strona „Nowy katalog danych” z propozycją ~/Faktury\n"
               "-h, --help       pokaż ten opis i zakończ\n"
               "\n"
               "Ostatnio utworzony lub otwarty folder jest zapamiętywany w pliku\n"
               "$XDG_CONFIG_HOME/faktura/katalog-danych (domyślnie ~/.config/faktura/katalog-danych).\n")
        .arg(program);
}
