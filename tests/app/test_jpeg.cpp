// The window's pictures: both decode from the built-in resources, and damaged data gives an empty
// picture without a crash and without a word on standard error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>

#include "app/jpeg.h"

// The pictures are compiled into the static library, whose resources are registered by hand.
static void ZaladujZasoby() { Q_INIT_RESOURCE(zasoby); }

namespace {

QByteArray Zasob(const char* sciezka) {
    ZaladujZasoby();
    QFile plik(QString::fromLatin1(sciezka));
    EXPECT_TRUE(plik.open(QIODevice::ReadOnly)) << sciezka;
    return plik.readAll();
}

// Everything written to standard error (file descriptor 2) while `dzialanie` runs.
template <typename F>
QByteArray StandardoweBledy(F dzialanie) {
    QTemporaryFile plik;
    EXPECT_TRUE(plik.open());
    std::fflush(stderr);
    const int zachowany = dup(2);
    dup2(plik.handle(), 2);
    dzialanie();
    std::fflush(stderr);
    dup2(zachowany, 2);
    close(zachowany);
    plik.seek(0);
    return plik.readAll();
}

TEST(Jpeg, ObrazyOknaSieDekoduja) {
    struct Przypadek {
        const char* zasob;
        QSize rozmiar;
    };
    for (const Przypadek& p : {Przypadek{":/obraz1.jpg", {140, 80}}, Przypadek{":/obraz5.jpg", {96, 96}}}) {
        QImage obraz;
        const QByteArray bledy = StandardoweBledy([&] { obraz = ObrazZJpeg(Zasob(p.zasob)); });
        ASSERT_FALSE(obraz.isNull()) << p.zasob;
        EXPECT_EQ(obraz.size(), p.rozmiar) << p.zasob;
        EXPECT_EQ(obraz.format(), QImage::Format_RGB888) << p.zasob;
        // A picture, not a plain area.
        EXPECT_NE(obraz.pixel(0, 0), obraz.pixel(p.rozmiar.width() / 2, p.rozmiar.height() / 2)) << p.zasob;
        EXPECT_TRUE(bledy.isEmpty()) << p.zasob << ": " << bledy.toStdString();
    }
}

TEST(Jpeg, UszkodzoneDaneDajaPustyObrazBezKomunikatu) {
    const QByteArray jpeg = Zasob(":/obraz1.jpg");
    QByteArray png;
    {
        QBuffer bufor(&png);
        bufor.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_RGB32).save(&bufor, "PNG");
    }
    struct Przypadek {
        const char* nazwa;
        QByteArray dane;
    };
    const std::vector<Przypadek> przypadki = {
        {"nic", QByteArray()},
        {"tekst", QByteArray("to nie jest obraz")},
        {"sam znacznik początku", QByteArray("\xFF\xD8", 2)},
        {"znacznik początku i śmieci", QByteArray("\xFF\xD8", 2) + QByteArray(200, '\x55')},
        {"sam nagłówek", jpeg.left(100)},
        {"obraz PNG", png},
    };
    for (const Przypadek& p : przypadki) {
        QImage obraz;
        const QByteArray bledy = StandardoweBledy([&] { obraz = ObrazZJpeg(p.dane); });
        EXPECT_TRUE(obraz.isNull()) << p.nazwa;
        EXPECT_TRUE(bledy.isEmpty()) << p.nazwa << ": " << bledy.toStdString();
    }
}

// Data that ends in the middle of the picture: what was decoded is kept at the picture's size.
TEST(Jpeg, UcietyObrazMaSwojRozmiarBezKomunikatu) {
    const QByteArray jpeg = Zasob(":/obraz1.jpg");
    QImage obraz;
    const QByteArray bledy = StandardoweBledy([&] { obraz = ObrazZJpeg(jpeg.left(jpeg.size() / 2)); });
    EXPECT_EQ(obraz.size(), QSize(140, 80));
    EXPECT_TRUE(bledy.isEmpty()) << bledy.toStdString();
}

}  // namespace
