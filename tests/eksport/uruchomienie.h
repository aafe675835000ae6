#pragma once
// The export run in this process on the current folder, with its output and messages captured.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "store/rekordy.h"
#include "store/system_plikow.h"

class KatalogTestowy;

struct Przebieg {
    int kod = -1;
    QByteArray wyjscie;  // standard output
    QString bledy;       // progress, refusals, errors
};

inline const QDateTime CzasTestow(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

Przebieg Uruchom(const QStringList& argumenty, SystemPlikow& pliki = DomyslnySystemPlikow(),
                 const QDateTime& teraz = CzasTestow);

// The settings, the seller and the documents written into a test data folder.
void ZapiszDane(const KatalogTestowy& katalog, const std::vector<TDokument>& dokumenty);
