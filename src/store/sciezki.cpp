#include "store/sciezki.h"

#include <QStringList>
#include <algorithm>

#include "store/system_plikow.h"

namespace {

// The entry of the folder that differs from nazwa only in letter case; the first in sorted order
// when several do (possible on a case-sensitive file system), so that the choice never changes.
QString WpisBezWzgleduNaWielkosc(SystemPlikow& system, const QString& katalog, const QString& nazwa) {
    std::vector<QString> wpisy = system.zawartoscKatalogu(katalog);
    std::sort(wpisy.begin(), wpisy.end());
    for (const QString& wpis : wpisy)
        if (QString::compare(wpis, nazwa, Qt::CaseInsensitive) == 0) return wpis;
    return {};
}

}  // namespace

QString RzeczywistaSciezka(SystemPlikow& system, const QString& sciezka) {
    QString ukosniki = sciezka;
    ukosniki.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool bezwzgledna = ukosniki.startsWith(QLatin1Char('/'));
    const QStringList skladniki = ukosniki.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString wynik = bezwzgledna ? QStringLiteral("/") : QString();
    bool istnieje = true;  // below a component that does not exist nothing can be found
    for (const QString& skladnik : skladniki) {
        const QString katalog = wynik.isEmpty() ? QStringLiteral(".") : wynik;
        const QString przedrostek =
            (wynik.isEmpty() || wynik.endsWith(QLatin1Char('/'))) ? wynik : wynik + QLatin1Char('/');
        QString nazwa = skladnik;
        if (istnieje && !system.istnieje(przedrostek + skladnik)) {
            const QString znaleziony = WpisBezWzgleduNaWielkosc(system, katalog, skladnik);
            if (znaleziony.isEmpty())
                istnieje = false;
            else
                nazwa = znaleziony;
        }
        wynik = przedrostek + nazwa;
    }
    return wynik;
}

QString SciezkaDanych(const QString& katalogDanych, const QString& wzgledna) {
    return katalogDanych + wzgledna;
}

QString KatalogNadrzedny(const QString& sciezka) {
    const qsizetype ukosnik = sciezka.lastIndexOf(QLatin1Char('/'));
    if (ukosnik < 0) return QStringLiteral(".");
    if (ukosnik == 0) return QStringLiteral("/");
    return sciezka.left(ukosnik);
}
