#include "app/aplikacja.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "store/pliki_danych.h"
#include "store/system_plikow.h"

std::optional<QString> KomunikatPozaFolderemDanych(SystemPlikow& pliki) {
    const QString biezacy = pliki.katalogRoboczy();
    if (JestFolderemDanych(pliki, biezacy)) return std::nullopt;
    return KomunikatNieFolderDanych(biezacy);
}

std::optional<int> OdmowaPozaFolderemDanych(Platforma& platforma, SystemPlikow& pliki) {
    const auto komunikat = KomunikatPozaFolderemDanych(pliki);
    if (!komunikat) return std::nullopt;
    platforma.bladStandardowy(nullptr, *komunikat);
    return KodPozaFolderemDanych;
}

int UruchomModul(int& argc, char** argv, const std::function<void(Tfaktura_f&)>& przedPokazaniem) {
    QApplication aplikacja(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    // Standard dialogs (files, printing, fonts) speak Polish.
    QTranslator tlumaczenie;
    if (tlumaczenie.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&tlumaczenie);

    if (const auto kod = OdmowaPozaFolderemDanych(PlatformaPulpitu(), DomyslnySystemPlikow())) return *kod;
    Tfaktura_f faktura_f(PlatformaPulpitu(), DomyslnySystemPlikow());
    if (przedPokazaniem) przedPokazaniem(faktura_f);
    faktura_f.show();
    return QApplication::exec();
}
