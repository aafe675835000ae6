#pragma once
// The file dialogs' dates and sizes in Polish. Qt writes them in the format of the session's language
// (LANG), which is the only part of the dialog that does not follow the Polish texts of the program.
#include <QIdentityProxyModel>

class PolskieDatyPlikow : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;
    // Over a QFileSystemModel: the size and date columns written by the Polish locale.
    QVariant data(const QModelIndex& indeks, int rola = Qt::DisplayRole) const override;
};
