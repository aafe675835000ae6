#include "ustawienia/zapamietany_katalog.h"

#include <QDir>

#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/sciezki.h"

namespace {

// A path is far shorter; anything longer is not a file this program wrote.
constexpr std::uint64_t NajwiekszyPlik = 64 * 1024;

}  // namespace

QString PlikZapamietanegoKatalogu() {
    QString konfiguracja = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (konfiguracja.isEmpty() || QDir::isRelativePath(konfiguracja))
        konfiguracja = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(konfiguracja + QStringLiteral("/faktura/katalog-danych"));
}

void ZapamietajKatalog(SystemPlikow& system, const QString& katalog) {
    const QString plik = PlikZapamietanegoKatalogu();
    UtworzKatalogi(system, KatalogNadrzedny(plik));
    ZapiszAtomowo(system, plik, QDir::cleanPath(QDir(katalog).absolutePath()).toUtf8() + '\n');
}

std::optional<QString> CzytajZapamietanyKatalog(SystemPlikow& system) {
    QByteArray dane;
    try {
        // Missing, not a regular file, unreadable or too long: nothing is remembered.
        dane = CzytajCalyPlik(system, PlikZapamietanegoKatalogu(), NajwiekszyPlik);
    } catch (const BladPliku&) {
        return std::nullopt;
    }
    // The launcher reads the file the same way: everything but the line ends at its end.
    while (dane.endsWith('\n')) dane.chop(1);
    const QString katalog = QString::fromUtf8(dane);
    if (dane.isEmpty() || dane.contains('\0') || QDir::isRelativePath(katalog)) return std::nullopt;
    return QDir::cleanPath(katalog);
}

QString DomyslnyNowyKatalog() { return QDir::cleanPath(QDir::homePath() + QStringLiteral("/Faktury")); }
