#include "eksport/nazwy_plikow.h"

#include "calc/dokument.h"

QString NazwyPlikow::nazwa(const TDokument& dokument, std::int64_t pozycja) {
    const QString podstawa = NazwaDokumentu(dokument);
    QString nazwa = podstawa + rozszerzenie_;
    // A suffix may itself end in "_rekordN"; counting on keeps even that apart.
    for (int kolejny = 1; uzyte_.contains(nazwa.toLower()); ++kolejny) {
        nazwa = podstawa + QStringLiteral("_rekord%1").arg(pozycja) +
                (kolejny > 1 ? QStringLiteral("_%1").arg(kolejny) : QString()) + rozszerzenie_;
    }
    uzyte_.insert(nazwa.toLower());
    return nazwa;
}
