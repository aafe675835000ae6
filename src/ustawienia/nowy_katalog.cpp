#include "ustawienia/nowy_katalog.h"

#include <QDir>

#include "calc/dokument.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"
#include "ustawienia/kontrola_tekstu.h"
#include "ustawienia/pliki_stron.h"
#include "ustawienia/pola_rekordow.h"

namespace {

// The first data file of the module found in `katalog`, as a real path.
std::optional<QString> PlikDanychModulu(SystemPlikow& system, const QString& katalog) {
    for (const QString& plik : {SciezkaUstawienSieci, SciezkaUstawienFaktury, SciezkaDanychFirmy, SciezkaInfo,
                                SciezkaDokumentow, SciezkaBazyUslug, SciezkaBazyKlientow}) {
        const QString sciezka = RzeczywistaSciezka(system, SciezkaDanych(katalog, plik));
        if (system.istnieje(sciezka)) return sciezka;
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> PrzeszkodaNowegoKatalogu(SystemPlikow& system, const QString& podany) {
    if (podany.trimmed().isEmpty()) return QStringLiteral("Podaj folder, w którym mają powstać dane.");
    const QString katalog = QDir::cleanPath(podany);
    if (QDir::isRelativePath(katalog)) return QStringLiteral("Podaj pełną ścieżkę folderu (od „/”).");
    // The suite's paths use the backslash as separator; a name holding one would be another path.
    if (katalog.contains(u'\\')) return QStringLiteral("Ścieżka folderu nie może zawierać znaku „\\”.");
    if (const auto blad = BladTekstu(QStringLiteral("Ścieżka folderu"), katalog, 200))
        return *blad + QStringLiteral(" Plik „siec.dat” przechowuje ścieżkę danych w tej postaci.");
    const QString rzeczywisty = RzeczywistaSciezka(system, katalog);
    // "x/." exists only when x is a folder.
    if (system.istnieje(rzeczywisty) && !system.istnieje(rzeczywisty + QStringLiteral("/.")))
        return QStringLiteral("„%1” jest plikiem, a nie folderem.").arg(rzeczywisty);
    if (const auto plik = PlikDanychModulu(system, katalog))
        return QStringLiteral(
                   "Folder „%1” zawiera już dane modułu (plik „%2”). Istniejący folder danych "
                   "nie jest nadpisywany: otwórz go albo wybierz inny folder.")
            .arg(katalog, *plik);
    return std::nullopt;
}

bool ZawieraDaneModulu(SystemPlikow& system, const QString& katalog) {
    return PlikDanychModulu(system, QDir::cleanPath(katalog)).has_value();
}

void UtworzWlasneUstawieniaSieci(SystemPlikow& system, const QString& katalog) {
    TUstawieniaSieci siec{};
    siec.tryb = NowyTryb(siec.tryb, RodzajTrybu::Biezacy);
    ZapewnijPlik(system, SciezkaDanych(katalog, SciezkaUstawienSieci), siec);
}

void UtworzFolderyDanych(SystemPlikow& system, const QString& katalog) {
    UtworzKatalogi(system, RzeczywistaSciezka(system, katalog));
    for (const char* folder : {"Admini", "Uslugi", "Szablony", "FONT"})
        UtworzKatalogi(system, RzeczywistaSciezka(system, SciezkaDanych(katalog, QStringLiteral("\\") +
                                                                                     QLatin1String(folder))));
}

QString UtworzNowyKatalogDanych(SystemPlikow& system, const QString& podany, const QString& dataDzisiaj) {
    const QString katalog = QDir::cleanPath(podany);
    if (const auto przeszkoda = PrzeszkodaNowegoKatalogu(system, katalog)) throw Odmowa(*przeszkoda);
    UtworzFolderyDanych(system, katalog);
    // No absolute path in "siec.dat": a copy or a moved folder reads its own files, never the
    // original's.
    UtworzWlasneUstawieniaSieci(system, katalog);
    UtworzPlikiDanych(system, katalog, RekordPoczatkowy(dataDzisiaj));
    return katalog;
}
