#pragma once
// FA(3) files checked with xmllint against the copy of the official schema kept with the tests,
// offline through its catalog. A missing xmllint or schema is a failure, never a skip.
#include <QByteArray>
#include <QString>
#include <QStringList>

struct WynikWalidacji {
    int kod = -1;          // xmllint's exit code: 0 valid, 3 invalid, 5 schema not compiled
    QString opis;          // what xmllint said
    QStringList poprawne;  // files it reported as valid
};

QString KatalogKsef();
WynikWalidacji Waliduj(const QStringList& pliki);

// The texts of the elements at a path below the root, e.g. "Fa/FaWiersz/P_12", in document order.
QStringList Pola(const QByteArray& xml, const QString& sciezka);
