#include "eksport/zapis.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "store/blad.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

WynikIstnieje::WynikIstnieje(const QString& sciezka)
    : BladEksportu(QStringLiteral("plik „%1” już istnieje (--nadpisz go zastąpi)").arg(sciezka)) {}

QString SciezkaTymczasowa(const QString& cel) {
    const QFileInfo info(cel);
    return QDir(info.path()).filePath(QStringLiteral(".%1.%2.tmp").arg(info.fileName()).arg(::getpid()));
}

void UtworzFolder(SystemPlikow& system, const QString& folder) {
    const QString pelna = QDir::cleanPath(QDir(system.katalogRoboczy()).absoluteFilePath(folder));
    if (system.istnieje(pelna)) {
        // Creating it tells a folder from a file of that name with a proper message.
        system.utworzKatalog(pelna);
        return;
    }
    const QString nadrzedny = KatalogNadrzedny(pelna);
    if (nadrzedny != pelna) UtworzFolder(system, nadrzedny);
    system.utworzKatalog(pelna);
    system.synchronizujKatalog(nadrzedny);
}

void ZapiszWynik(SystemPlikow& system, const QString& cel, const QByteArray& dane, bool nadpisz,
                 bool synchronizujFolder) {
    if (!nadpisz && system.istnieje(cel)) throw WynikIstnieje(cel);
    const QString tymczasowy = SciezkaTymczasowa(cel);
    try {
        {
            OtwartyPlik plik(system, tymczasowy, TrybOtwarcia::Utworz);
            plik.zapisz(0, dane.constData(), static_cast<std::size_t>(dane.size()));
            plik.synchronizuj();
            plik.zamknij();
        }
        if (!nadpisz && system.istnieje(cel)) throw WynikIstnieje(cel);
        system.zmienNazwe(tymczasowy, cel);
    } catch (...) {
        UsunPoBledzie(system, tymczasowy);
        throw;
    }
    if (synchronizujFolder) system.synchronizujKatalog(KatalogNadrzedny(cel));
}

void ZatwierdzWynik(SystemPlikow& system, const QString& tymczasowy, const QString& cel, bool nadpisz,
                    bool synchronizujFolder) {
    try {
        {
            OtwartyPlik plik(system, tymczasowy, TrybOtwarcia::OdczytZapis);
            plik.synchronizuj();
            plik.zamknij();
        }
        if (!nadpisz && system.istnieje(cel)) throw WynikIstnieje(cel);
        system.zmienNazwe(tymczasowy, cel);
    } catch (...) {
        UsunPoBledzie(system, tymczasowy);
        throw;
    }
    if (synchronizujFolder) system.synchronizujKatalog(KatalogNadrzedny(cel));
}

void UsunPoBledzie(SystemPlikow& system, const QString& sciezka) noexcept {
    try {
        if (system.istnieje(sciezka)) system.usun(sciezka);
    } catch (...) {
    }
}
