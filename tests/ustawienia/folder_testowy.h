#pragma once
// A temporary start folder for one test of the settings program, and a private configuration
// folder so that the remembered data folder never lands in the user's own.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "pulpit_testowy.h"
#include "store/system_plikow.h"
#include "ustawienia/ustawienia_f.h"
#include "wspolne/bajty.h"

class FolderTestowy {
  public:
    explicit FolderTestowy(bool zFolderami = true)
        : dawnyXdg_(qgetenv("XDG_CONFIG_HOME")), dawnyBiezacy_(QDir::currentPath()) {
        qputenv("XDG_CONFIG_HOME", konfiguracja_.path().toUtf8());
        if (zFolderami) {
            folder("Admini");
            folder("Uslugi");
        }
    }
    ~FolderTestowy() {
        QDir::setCurrent(dawnyBiezacy_);
        if (dawnyXdg_.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", dawnyXdg_);
    }

    QString sciezka() const { return katalog_.path(); }
    QString plik(const QString& wzgledna) const { return katalog_.filePath(wzgledna); }
    QString konfiguracja() const { return konfiguracja_.path(); }
    void folder(const QString& wzgledna) const { QDir(katalog_.path()).mkpath(wzgledna); }
    bool istnieje(const QString& wzgledna) const { return QFile::exists(plik(wzgledna)); }
    QByteArray czytaj(const QString& wzgledna) const {
        QFile f(plik(wzgledna));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void zapisz(const QString& wzgledna, const QByteArray& dane) const {
        QFile f(plik(wzgledna));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(dane);
    }

    // The window on this folder with the scripted desktop.
    std::unique_ptr<Tustawienia_f> okno(PulpitTestowy& pulpit, bool nowyKatalog = false) const {
        return std::make_unique<Tustawienia_f>(pulpit, DomyslnySystemPlikow(), sciezka(), nowyKatalog, true);
    }

  private:
    QTemporaryDir katalog_;
    QTemporaryDir konfiguracja_;
    QByteArray dawnyXdg_;
    QString dawnyBiezacy_;
};

inline QByteArray LosoweBajty(qsizetype ile, unsigned ziarno) {
    std::mt19937 los(ziarno);
    QByteArray dane(ile, Qt::Uninitialized);
    for (qsizetype i = 0; i < ile; ++i) dane[i] = static_cast<char>(los() & 0xFF);
    return dane;
}

// Positions where two byte arrays differ.
inline std::vector<int> Roznice(const QByteArray& a, const QByteArray& b) {
    std::vector<int> roznice;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a[i] != b[i]) roznice.push_back(static_cast<int>(i));
    return roznice;
}
