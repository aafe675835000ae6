#include "ustawienia/pliki_stron.h"

#include <QDir>
#include <cstring>

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

QByteArray ResztaPliku(SystemPlikow& system, const QString& sciezka, std::uint64_t od) {
    OtwartyPlik plik(system, RzeczywistaSciezka(system, sciezka), TrybOtwarcia::Odczyt);
    const std::uint64_t rozmiar = plik.rozmiar();
    QByteArray reszta;
    if (rozmiar > od) {
        reszta.resize(static_cast<qsizetype>(rozmiar - od));
        const std::size_t ile = plik.czytaj(od, reszta.data(), static_cast<std::size_t>(reszta.size()));
        reszta.resize(static_cast<qsizetype>(ile));
    }
    plik.zamknij();
    return reszta;
}

QByteArray CzytajCalyPlik(SystemPlikow& system, const QString& sciezka, std::uint64_t najwiecej) {
    OtwartyPlik plik(system, RzeczywistaSciezka(system, sciezka), TrybOtwarcia::Odczyt);
    const std::uint64_t rozmiar = plik.rozmiar();
    if (rozmiar > najwiecej)
        throw BladPliku(
            QStringLiteral("odczyt"), plik.sciezka(), 0,
            QStringLiteral("plik jest za duży (%1 bajtów, najwyżej %2)").arg(rozmiar).arg(najwiecej));
    QByteArray dane(static_cast<qsizetype>(rozmiar), Qt::Uninitialized);
    dane.resize(static_cast<qsizetype>(plik.czytaj(0, dane.data(), static_cast<std::size_t>(rozmiar))));
    plik.zamknij();
    return dane;
}

void ZapiszRekordZOgonem(SystemPlikow& system, const QString& sciezka, const void* rekord,
                         std::size_t rozmiar, const QByteArray& ogon) {
    if (ogon.isEmpty()) {
        ZapiszAtomowo(system, sciezka, rekord, rozmiar);
        return;
    }
    QByteArray calosc(static_cast<qsizetype>(rozmiar), Qt::Uninitialized);
    std::memcpy(calosc.data(), rekord, rozmiar);
    calosc.append(ogon);
    ZapiszAtomowo(system, sciezka, calosc.constData(), static_cast<std::size_t>(calosc.size()));
}

void UtworzKatalogiDo(SystemPlikow& system, const QString& katalog) {
    const QString rzeczywisty = RzeczywistaSciezka(system, katalog);
    if (rzeczywisty.isEmpty() || system.istnieje(rzeczywisty)) return;
    const QString nadrzedny = KatalogNadrzedny(rzeczywisty);
    if (nadrzedny != rzeczywisty) UtworzKatalogiDo(system, nadrzedny);
    system.utworzKatalog(rzeczywisty);
    system.synchronizujKatalog(nadrzedny);
}
