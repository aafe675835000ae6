#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "store/sciezki.h"
#include "store/system_plikow.h"

namespace {

class SciezkiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir d(katalog_.path());
        ASSERT_TRUE(d.mkpath("Admini") && d.mkpath("Uslugi") && d.mkpath("Żółw") && d.mkpath("Obie/Admini") &&
                    d.mkpath("Obie/ADMINI"));
        QFile(d.filePath("Admini/siec.dat")).open(QIODevice::WriteOnly);
    }
    QTemporaryDir katalog_;
    SystemPlikow& system_ = DomyslnySystemPlikow();
};

TEST_F(SciezkiTest, DopasowujeWielkoscLiterISeparatory) {
    struct Przypadek {
        QString wzgledna;
        QString oczekiwana;  // below the data root
    };
    const Przypadek przypadki[] = {
        {"\\Admini\\siec.dat", "/Admini/siec.dat"},
        {"\\ADMINI\\faktura.dat", "/Admini/faktura.dat"},
        {"\\admini\\SIEC.DAT", "/Admini/siec.dat"},
        {"\\\\Uslugi\\\\\\dokumenty.dat", "/Uslugi/dokumenty.dat"},
        {"/uslugi//x/", "/Uslugi/x"},
        {"\\ŻÓŁW\\a.dat", "/Żółw/a.dat"},
        {"\\Brak\\ADMINI\\Nowy.dat", "/Brak/ADMINI/Nowy.dat"},  // nothing to match below a missing folder
        {"\\Obie\\ADMINI\\x", "/Obie/ADMINI/x"},                // the exact spelling wins
        {"\\Obie\\admini\\x", "/Obie/ADMINI/x"},                // else the first in sorted order
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(RzeczywistaSciezka(system_, SciezkaDanych(katalog_.path(), p.wzgledna)),
                  katalog_.path() + p.oczekiwana)
            << p.wzgledna.toStdString();
}

TEST_F(SciezkiTest, KatalogGlowny) {
    EXPECT_EQ(SciezkaDanych("/", "\\Uslugi\\x"), QStringLiteral("/\\Uslugi\\x"));
    EXPECT_EQ(RzeczywistaSciezka(system_, SciezkaDanych("/", "\\Nie_ma_Uslugi\\x")),
              QStringLiteral("/Nie_ma_Uslugi/x"));
    EXPECT_EQ(RzeczywistaSciezka(system_, "\\"), QStringLiteral("/"));
    EXPECT_EQ(RzeczywistaSciezka(system_, "\\\\TMP"), QStringLiteral("/tmp"));
}

TEST_F(SciezkiTest, WzglednaOdKataloguRoboczego) {
    const QString dawny = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(katalog_.path()));
    EXPECT_EQ(RzeczywistaSciezka(system_, "ADMINI\\siec.dat"), QStringLiteral("Admini/siec.dat"));
    EXPECT_EQ(RzeczywistaSciezka(system_, "FONT\\44.abc"), QStringLiteral("FONT/44.abc"));
    EXPECT_EQ(RzeczywistaSciezka(system_, ""), QString());
    QDir::setCurrent(dawny);
}

TEST(Sciezki, KatalogNadrzedny) {
    const std::pair<QString, QString> przypadki[] = {
        {"/a/b/c.dat", "/a/b"}, {"/c.dat", "/"}, {"c.dat", "."}, {"a/c.dat", "a"}};
    for (const auto& [sciezka, katalog] : przypadki) EXPECT_EQ(KatalogNadrzedny(sciezka), katalog);
}

}  // namespace
