// Every saved fuzzing input, and a few thousand pseudo-random ones, run through the entry points on
// each test run.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <random>

#include "fuzz/cele.h"

namespace {

using Cel = void (*)(const std::uint8_t*, std::size_t);

struct OpisCelu {
    const char* katalog;
    Cel cel;
};

const OpisCelu Cele[] = {{"liczby", CelLiczby}, {"rekord", CelRekordu}, {"podsumowanie", CelPodsumowania}};

class Korpus : public ::testing::TestWithParam<OpisCelu> {};

TEST_P(Korpus, ZapisaneWejscia) {
    const QString katalog = QStringLiteral(KORPUS_FUZZ "/") + GetParam().katalog;
    int ile = 0;
    for (QDirIterator it(katalog, QDir::Files); it.hasNext();) {
        QFile plik(it.next());
        ASSERT_TRUE(plik.open(QIODevice::ReadOnly));
        const QByteArray dane = plik.readAll();
        EXPECT_NO_THROW(GetParam().cel(reinterpret_cast<const std::uint8_t*>(dane.constData()), dane.size()))
            << plik.fileName().toStdString();
        ++ile;
    }
    EXPECT_GT(ile, 0) << "no saved inputs in " << katalog.toStdString();
}

TEST_P(Korpus, LosoweWejscia) {
    std::mt19937 los(20101);
    const char alfabet[] = "0123456789.,+-eE% \n\t12x\xc5\x82";
    for (int i = 0; i < 3000; ++i) {
        std::string dane(los() % 64, '\0');
        for (char& z : dane)
            z = (los() % 4) ? alfabet[los() % (sizeof alfabet - 1)] : static_cast<char>(los());
        EXPECT_NO_THROW(GetParam().cel(reinterpret_cast<const std::uint8_t*>(dane.data()), dane.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Cele, Korpus, ::testing::ValuesIn(Cele),
                         [](const auto& info) { return std::string(info.param.katalog); });

}  // namespace
