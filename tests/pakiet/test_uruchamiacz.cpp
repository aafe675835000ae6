// The desktop menu's launcher faktura-start, run as the desktop runs it, from a folder that also
// holds two stand-ins for the module and the settings program; each stand-in reports its name, its
// working directory and its arguments.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include "store/system_plikow.h"
#include "ustawienia/zapamietany_katalog.h"

namespace {

struct Start {
    int kod = -1;
    QString program;  // the stand-in that ran, empty when none did
    QString katalog;  // its working directory
    QStringList argumenty;
    QString wyjscie;  // everything on standard output
};

class Srodowisko {
  public:
    Srodowisko() {
        QFile::copy(QStringLiteral(URUCHAMIACZ), programy_.filePath("faktura-start"));
        for (const char* nazwa : {"faktura", "faktura-ustawienia"})
            zapisz(programy_.filePath(nazwa),
                   QStringLiteral("#!/bin/sh\nprintf '%s\\n' %1 \"$(pwd -P)\" \"$@\"\n").arg(nazwa).toUtf8());
        for (const char* nazwa : {"faktura-start", "faktura", "faktura-ustawienia"})
            QFile::setPermissions(programy_.filePath(nazwa), QFile::ReadOwner | QFile::WriteOwner |
                                                                 QFile::ExeOwner | QFile::ReadGroup |
                                                                 QFile::ExeGroup);
        ustawKonfiguracje(dom_.filePath("konfiguracja"));
    }

    QString dom() const { return dom_.path(); }
    QString programy() const { return programy_.path(); }
    // XDG_CONFIG_HOME as the launcher sees it (the tests here also write with this one).
    void ustawKonfiguracje(const QString& xdg) { xdg_ = xdg; }
    QString plikKonfiguracji() const {
        return (QDir::isAbsolutePath(xdg_) ? xdg_ : dom_.filePath(".config")) + "/faktura/katalog-danych";
    }
    void zapamietaj(const QByteArray& zawartosc) const {
        QDir().mkpath(QFileInfo(plikKonfiguracji()).path());
        zapisz(plikKonfiguracji(), zawartosc);
    }
    // A data folder below the home folder, with its settings folder spelt `ustawienia`.
    QString folderDanych(const QString& nazwa, const QString& ustawienia = QStringLiteral("Admini")) const {
        const QString folder = dom_.filePath(nazwa);
        QDir().mkpath(folder + u'/' + ustawienia);
        return folder;
    }

    // As the menu does: the launcher's full path. `jak` names another way to start it.
    Start uruchom(const QStringList& argumenty = {}, const QString& jak = {}) const {
        QProcess proces;
        QProcessEnvironment srodowisko;
        srodowisko.insert("PATH", "/usr/bin:/bin");
        srodowisko.insert("HOME", dom_.path());
        srodowisko.insert("XDG_CONFIG_HOME", xdg_);
        proces.setProcessEnvironment(srodowisko);
        proces.setWorkingDirectory(jak.isEmpty() ? dom_.path() : programy_.path());
        if (jak.isEmpty())
            proces.start(programy_.filePath("faktura-start"), argumenty);
        else
            proces.start(QStringLiteral("/bin/sh"), QStringList{jak} + argumenty);
        Start s;
        if (!proces.waitForFinished(10000)) return s;
        s.kod = proces.exitCode();
        s.wyjscie = QString::fromUtf8(proces.readAllStandardOutput());
        QStringList wiersze = s.wyjscie.split(u'\n');
        if (wiersze.endsWith(QString())) wiersze.removeLast();
        if (wiersze.size() >= 2 && (wiersze[0] == "faktura" || wiersze[0] == "faktura-ustawienia")) {
            s.program = wiersze[0];
            s.katalog = wiersze[1];
            s.argumenty = wiersze.mid(2);
        }
        return s;
    }

  private:
    static void zapisz(const QString& sciezka, const QByteArray& dane) {
        QFile f(sciezka);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(dane);
    }

    QTemporaryDir dom_;
    QTemporaryDir programy_;
    QString xdg_;
};

QString Kanoniczna(const QString& sciezka) { return QFileInfo(sciezka).canonicalFilePath(); }

TEST(Uruchamiacz, WybieraModulAlboUstawienia) {
    // Returns the folder the module must be started in; empty: the settings program must open.
    const struct {
        const char* nazwa;
        std::function<QString(Srodowisko&)> przygotuj;
    } przypadki[] = {
        {"nothing remembered", [](Srodowisko&) { return QString(); }},
        {"a data folder",
         [](Srodowisko& s) {
             const QString folder = s.folderDanych("Faktury");
             s.zapamietaj(folder.toUtf8() + '\n');
             return folder;
         }},
        {"the suite's spelling ADMINI",
         [](Srodowisko& s) {
             const QString folder = s.folderDanych("dane", "ADMINI");
             s.zapamietaj(folder.toUtf8() + '\n');
             return folder;
         }},
        {"no line end",
         [](Srodowisko& s) {
             const QString folder = s.folderDanych("bez konca");
             s.zapamietaj(folder.toUtf8());
             return folder;
         }},
        {"blanks, Polish letters, shell characters",
         [](Srodowisko& s) {
             const QString folder = s.folderDanych("-Dane Łódź  $HOME `x` 'y'");
             s.zapamietaj(folder.toUtf8() + '\n');
             return folder;
         }},
        {"a folder that is gone",
         [](Srodowisko& s) {
             s.zapamietaj(s.dom().toUtf8() + "/usuniety\n");
             return QString();
         }},
        {"a folder without Admini",
         [](Srodowisko& s) {
             QDir().mkpath(s.dom() + "/pusty/Uslugi");
             s.zapamietaj(s.dom().toUtf8() + "/pusty\n");
             return QString();
         }},
        {"Admini is a file",
         [](Srodowisko& s) {
             QDir().mkpath(s.dom() + "/plik");
             QFile f(s.dom() + "/plik/Admini");
             f.open(QIODevice::WriteOnly);
             s.zapamietaj(s.dom().toUtf8() + "/plik\n");
             return QString();
         }},
        {"a relative path",
         [](Srodowisko& s) {
             s.folderDanych("wzgledny");
             s.zapamietaj("wzgledny\n");
             return QString();
         }},
        {"an empty file",
         [](Srodowisko& s) {
             s.zapamietaj({});
             return QString();
         }},
        {"the file is a folder",
         [](Srodowisko& s) {
             QDir().mkpath(s.plikKonfiguracji());
             return QString();
         }},
        {"XDG_CONFIG_HOME empty: ~/.config",
         [](Srodowisko& s) {
             s.ustawKonfiguracje({});
             const QString folder = s.folderDanych("Faktury");
             s.zapamietaj(folder.toUtf8() + '\n');
             return folder;
         }},
        {"XDG_CONFIG_HOME relative: ~/.config",
         [](Srodowisko& s) {
             s.ustawKonfiguracje("konfiguracja");
             const QString folder = s.folderDanych("Faktury");
             s.zapamietaj(folder.toUtf8() + '\n');
             return folder;
         }},
    };
    for (const auto& p : przypadki) {
        Srodowisko s;
        const QString folder = p.przygotuj(s);
        const Start start = s.uruchom();
        EXPECT_EQ(start.kod, 0) << p.nazwa;
        if (folder.isEmpty()) {
            EXPECT_EQ(start.program, "faktura-ustawienia") << p.nazwa << ": " << start.wyjscie.toStdString();
            EXPECT_EQ(start.argumenty, QStringList{"--ostatni-katalog"}) << p.nazwa;
        } else {
            EXPECT_EQ(start.program, "faktura") << p.nazwa << ": " << start.wyjscie.toStdString();
            EXPECT_EQ(start.katalog, Kanoniczna(folder)) << p.nazwa;
            EXPECT_TRUE(start.argumenty.isEmpty()) << p.nazwa;
        }
    }
}

// What the settings program writes, the launcher reads: a name that needs every care.
TEST(Uruchamiacz, CzytaToCoZapamietalyUstawienia) {
    Srodowisko s;
    const QString folder = s.folderDanych("Dane \"firmy\" Łódź\tnr 2\nwiersz");
    const QByteArray dawny = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (s.dom() + "/konfiguracja").toUtf8());
    ZapamietajKatalog(DomyslnySystemPlikow(), folder);
    const auto odczytany = CzytajZapamietanyKatalog(DomyslnySystemPlikow());
    qputenv("XDG_CONFIG_HOME", dawny);
    EXPECT_EQ(odczytany, folder);
    const Start start = s.uruchom();
    EXPECT_EQ(start.program, "faktura") << start.wyjscie.toStdString();
    // The stand-in prints its folder as lines; the name holds a line end itself.
    EXPECT_EQ(start.katalog + u'\n' + start.argumenty.value(0), Kanoniczna(folder));
}

TEST(Uruchamiacz, ArgumentyIUruchomienieZeWzglednejSciezki) {
    Srodowisko s;
    const QString folder = s.folderDanych("Faktury");
    s.zapamietaj(folder.toUtf8() + '\n');
    Start start = s.uruchom({"-platform", "offscreen", "dwa słowa"});
    EXPECT_EQ(start.program, "faktura");
    EXPECT_EQ(start.argumenty, (QStringList{"-platform", "offscreen", "dwa słowa"}));

    // Started as "sh faktura-start" in its own folder: the programs beside it are still found after
    // the change of folder.
    start = s.uruchom({}, QStringLiteral("faktura-start"));
    EXPECT_EQ(start.program, "faktura");
    EXPECT_EQ(start.katalog, Kanoniczna(folder));

    QDir(folder).rmdir("Admini");
    start = s.uruchom({}, QStringLiteral("./faktura-start"));
    EXPECT_EQ(start.program, "faktura-ustawienia");
    EXPECT_EQ(start.argumenty, QStringList{"--ostatni-katalog"});
}

TEST(Uruchamiacz, Pomoc) {
    Srodowisko s;
    for (const char* opcja : {"--help", "-h"}) {
        const Start start = s.uruchom({opcja});
        EXPECT_EQ(start.kod, 0);
        EXPECT_TRUE(start.program.isEmpty()) << opcja;
        EXPECT_TRUE(start.wyjscie.startsWith(QStringLiteral("Użycie: faktura-start"))) << opcja;
    }
}

// Neither program beside it: the shell's "cannot execute" code, not a silent success.
TEST(Uruchamiacz, BrakProgramu) {
    Srodowisko s;
    QFile::remove(s.programy() + "/faktura-ustawienia");
    const Start start = s.uruchom();
    EXPECT_EQ(start.kod, 127);
}

}  // namespace
