#include "wspolne/katalog_testowy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTimer>
#include <cstring>

#include "store/system_plikow.h"

KatalogTestowy::KatalogTestowy(bool zFolderami) : poprzedni_(QDir::currentPath()) {
    if (zFolderami) {
        utworzFolder(QStringLiteral("Admini"));
        utworzFolder(QStringLiteral("Uslugi"));
    }
    QDir::setCurrent(katalog_.path());
}

KatalogTestowy::~KatalogTestowy() { QDir::setCurrent(poprzedni_); }

QString KatalogTestowy::plik(const QString& wzgledna) const { return katalog_.filePath(wzgledna); }

bool KatalogTestowy::istnieje(const QString& wzgledna) const { return QFile::exists(plik(wzgledna)); }

QByteArray KatalogTestowy::czytaj(const QString& wzgledna) const {
    QFile f(plik(wzgledna));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void KatalogTestowy::zapisz(const QString& wzgledna, const QByteArray& dane) const {
    QFile f(plik(wzgledna));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(dane);
}

void KatalogTestowy::utworzFolder(const QString& wzgledna) const { QDir(katalog_.path()).mkpath(wzgledna); }

TDokument Dokument(const QString& rodzaj, const QString& numer, const QString& odbiorca) {
    TDokument d{};
    d.rodzaj.ustaw(rodzaj);
    d.numerator.ustaw(numer);
    d.odbiorca1.ustaw(odbiorca);
    return d;
}

std::unique_ptr<Tfaktura_f> UruchomOkno(PlatformaTestowa& platforma) {
    return UruchomOkno(platforma, DomyslnySystemPlikow());
}

std::unique_ptr<Tfaktura_f> UruchomOkno(PlatformaTestowa& platforma, SystemPlikow& pliki) {
    auto okno = std::make_unique<Tfaktura_f>(platforma, pliki);
    // Tests drive the timers by hand.
    okno->Timer1->stop();
    okno->Timer2->stop();
    return okno;
}

std::map<QString, QByteArray> ZawartoscFolderu(const QString& folder) {
    std::map<QString, QByteArray> pliki;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sciezka = it.next();
        QFile f(sciezka);
        if (f.open(QIODevice::ReadOnly)) pliki[QDir(folder).relativeFilePath(sciezka)] = f.readAll();
    }
    return pliki;
}
