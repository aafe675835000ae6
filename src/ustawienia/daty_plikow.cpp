#include "ustawienia/daty_plikow.h"

#include <QFileSystemModel>
#include <QLocale>

namespace {

// The columns of QFileSystemModel: name, size, kind, date of the last change.
constexpr int KolumnaRozmiaru = 1;
constexpr int KolumnaDaty = 3;

}  // namespace

QVariant PolskieDatyPlikow::data(const QModelIndex& indeks, int rola) const {
    const auto* pliki = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (rola != Qt::DisplayRole || !pliki || !indeks.isValid())
        return QIdentityProxyModel::data(indeks, rola);
    const QModelIndex zrodlo = mapToSource(indeks);
    const QLocale polski(QLocale::Polish, QLocale::Poland);
    if (indeks.column() == KolumnaDaty)
        return polski.toString(pliki->lastModified(zrodlo), QLocale::ShortFormat);
    if (indeks.column() == KolumnaRozmiaru && !pliki->isDir(zrodlo))
        return polski.formattedDataSize(pliki->size(zrodlo));
    return QIdentityProxyModel::data(indeks, rola);
}
