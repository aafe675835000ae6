// The module's program as a person starts it from a terminal: what it says and how it ends before
// any window opens.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "wspolne/programy.h"

namespace {

struct Proces {
    int kod;
    QString wyjscie, bledy;
};

// Without a screen, so that no window can open and wait for a person.
Proces Uruchom(const QStringList& argumenty, const QString& folder) {
    QProcess proces;
    proces.setWorkingDirectory(folder);
    QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
    for (const char* zmienna : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        srodowisko.remove(QString::fromLatin1(zmienna));
    proces.setProcessEnvironment(srodowisko);
    proces.start(ProgramBudowy(PROGRAM_MODULU), argumenty);
    EXPECT_TRUE(proces.waitForFinished(60000));
    return {proces.exitCode(), QString::fromLocal8Bit(proces.readAllStandardOutput()),
            QString::fromLocal8Bit(proces.readAllStandardError())};
}

TEST(ProgramModulu, PozaFolderemDanychMowiToIKonczy) {
    QTemporaryDir folder;
    const Proces p = Uruchom({}, folder.path());
    EXPECT_EQ(p.kod, 1);
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("„%1” nie jest folderem danych").arg(folder.path())))
        << p.bledy.toStdString();
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("faktura-ustawienia"))) << p.bledy.toStdString();
    EXPECT_FALSE(p.bledy.contains(QStringLiteral("Brak ekranu"))) << "the folder is the first thing wrong";
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "nothing written";

    // In a data folder only the missing screen is left to say.
    QDir(folder.path()).mkdir(QStringLiteral("Admini"));
    const Proces wDanych = Uruchom({}, folder.path());
    EXPECT_EQ(wDanych.kod, 2);
    EXPECT_TRUE(wDanych.bledy.contains(QStringLiteral("Brak ekranu"))) << wDanych.bledy.toStdString();
}

TEST(ProgramModulu, DaneDemonstracyjneWymagajaFolderu) {
    QTemporaryDir folder;
    const struct {
        QStringList argumenty;
        int kod;
    } przypadki[] = {
        {{"--dane-demonstracyjne"}, 2},
        {{"--dane-demonstracyjne", ""}, 2},
        {{"--dane-demonstracyjne", "a", "b"}, 2},
        {{"--dane-demonstracyjne", "demo"}, 0},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.argumenty.join(u' ').toStdString());
        const Proces wynik = Uruchom(p.argumenty, folder.path());
        EXPECT_EQ(wynik.kod, p.kod) << wynik.bledy.toStdString();
        if (p.kod == 2) {
            EXPECT_TRUE(wynik.bledy.contains(QStringLiteral("--dane-demonstracyjne wymaga")))
                << wynik.bledy.toStdString();
            EXPECT_TRUE(wynik.bledy.contains(QStringLiteral("Użycie: faktura"))) << wynik.bledy.toStdString();
            EXPECT_FALSE(QDir(folder.path()).exists(QStringLiteral("a")));
        }
    }
    EXPECT_EQ(QFileInfo(folder.filePath(QStringLiteral("demo/Uslugi/dokumenty.dat"))).size(), 5 * 3251);
    EXPECT_FALSE(QDir(folder.path()).exists(QStringLiteral("Admini")))
        << "the demo is made in its folder only";
}

}  // namespace
