#include "ustawienia/zapamietany_katalog.h"

#include <QDir>

#include "store/plik_rekordow.h"
#include "store/sciezki.h"
#include "ustawienia/pliki_stron.h"

QString PlikZapamietanegoKatalogu() {
    QString konfiguracja = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (konfiguracja.isEmpty() || QDir::isRelativePath(konfiguracja))
        konfiguracja = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(konfiguracja + QStringLiteral("/faktura/katalog-danych"));
}

void ZapamietajKatalog(SystemPlikow& system, const QString& katalog) {
    const QString plik = PlikZapamietanegoKatalogu();
    UtworzKatalogiDo(system, KatalogNadrzedny(plik));
    const QByteArray linia = QDir::cleanPath(QDir(katalog).absolutePath()).toUtf8() + '\n';
    ZapiszAtomowo(system, plik, linia.constData(), static_cast<std::size_t>(linia.size()));
}
