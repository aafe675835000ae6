#include "ustawienia/pliki_stron.h"

#include <QDir>

#include "store/blad.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

FolderyDanych UstalFoldery(SystemPlikow& system, const QString& startowy) {
    // The module runs in its start folder, so a relative path of "siec.dat" is taken from there,
    // and a path it would refuse is refused here too rather than pages opening another folder.
    // A folder still to be made has nothing to read.
    if (system.opisz(startowy).rodzaj != OpisPliku::Rodzaj::Katalog) return {startowy, startowy};
    system.ustawKatalogRoboczy(startowy);
    const KatalogDanychZUstawien dane = CzytajKatalogDanych(system, startowy);
    if (dane.blad) throw *dane.blad;
    const QString katalog = RzeczywistaSciezka(system, dane.katalog);
    return {startowy, QDir::cleanPath(QDir(startowy).absoluteFilePath(katalog))};
}

QString SciezkaCzcionkiWydruku(const QString& startowy) {
    return SciezkaDanych(startowy, QStringLiteral("\\FONT\\") + NazwaFontuWydruku);
}
