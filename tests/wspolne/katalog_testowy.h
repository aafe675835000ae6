#pragma once
// A fresh data folder for one test, made the process's working directory while the test runs.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "app/faktura_f.h"
#include "store/rekordy.h"
#include "wspolne/bajty.h"
#include "wspolne/platforma_testowa.h"

class SystemPlikow;

class KatalogTestowy {
  public:
    // With the suite's "Admini" and "Uslugi" folders unless told otherwise.
    explicit KatalogTestowy(bool zFolderami = true);
    ~KatalogTestowy();

    QString sciezka() const { return katalog_.path(); }
    QString plik(const QString& wzgledna) const;  // "Admini/siec.dat" style
    bool istnieje(const QString& wzgledna) const;
    QByteArray czytaj(const QString& wzgledna) const;
    void zapisz(const QString& wzgledna, const QByteArray& dane) const;
    void utworzFolder(const QString& wzgledna) const;

    template <class T>
    void zapiszRekordy(const QString& wzgledna, const std::vector<T>& rekordy) const {
        zapisz(wzgledna, Bajty(rekordy));
    }
    template <class T>
    T rekord(const QString& wzgledna, int numer = 0) const {
        const QByteArray dane = czytaj(wzgledna);
        T r{};
        if (dane.size() >= static_cast<qsizetype>((numer + 1) * sizeof(T)))
            std::memcpy(&r, dane.constData() + numer * sizeof(T), sizeof(T));
        return r;
    }

  private:
    QTemporaryDir katalog_;
    QString poprzedni_;
};

// Every file below a folder with its bytes, by path relative to it.
std::map<QString, QByteArray> ZawartoscFolderu(const QString& folder);

// A document record with the given kind, number and buyer.
TDokument Dokument(const QString& rodzaj, const QString& numer, const QString& odbiorca);

// Starts the real main window in the current directory with a scripted desktop and real files.
std::unique_ptr<Tfaktura_f> UruchomOkno(PlatformaTestowa& platforma);
std::unique_ptr<Tfaktura_f> UruchomOkno(PlatformaTestowa& platforma, SystemPlikow& pliki);
