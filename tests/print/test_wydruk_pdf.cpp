// One invoice printed through Qt's printer into a PDF file, its words read back with their boxes.
#include <gtest/gtest.h>

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "print/dane_wydruku.h"
#include "print/plotno_drukarki.h"
#include "print/wydruk.h"

namespace {

struct Slowo {
    QString tekst;
    double x, y;  // top-left corner in points from the page's top-left corner
};

std::vector<Slowo> SlowaPdf(const QString& pdf, int* strony) {
    QProcess proces;
    proces.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    proces.waitForFinished(30000);
    const QString html = QString::fromUtf8(proces.readAllStandardOutput());
    *strony = html.count(QStringLiteral("<page "));
    static const QRegularExpression WzorSlowa(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    std::vector<Slowo> slowa;
    for (auto it = WzorSlowa.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        slowa.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return slowa;
}

TEST(WydrukPdf, TekstyNaSwoichMiejscach) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        FAIL() << "pdftotext (poppler-utils) nie jest zainstalowany; instaluje go scripts/zaleznosci.sh";
    QTemporaryDir katalog;
    const QString pdf = katalog.filePath(QStringLiteral("faktura.pdf"));
    constexpr double MarginesMm = 5;
    {
        QPrinter drukarka(QPrinter::HighResolution);
        drukarka.setOutputFormat(QPrinter::PdfFormat);
        drukarka.setOutputFileName(pdf);
        drukarka.setResolution(600);
        drukarka.setPageSize(QPageSize(QPageSize::A4));
        drukarka.setPageOrientation(QPageLayout::Landscape);  // the printout turns it back
        drukarka.setPageMargins(QMarginsF(MarginesMm, MarginesMm, MarginesMm, MarginesMm),
                                QPageLayout::Millimeter);
        PlotnoDrukarki plotno(drukarka);
        Drukarka d(plotno);
        DrukujKopie(d, DaneFaktury(), 1);
        EXPECT_EQ(d.miary().punktyNaMmX, 24);
    }
    int strony = 0;
    const std::vector<Slowo> slowa = SlowaPdf(pdf, &strony);
    EXPECT_EQ(strony, 1);

    // A unit is 24 pixels of 1/600 inch: 2.88 points.
    const double margines = MarginesMm / 25.4 * 72;
    struct Oczekiwane {
        const char* slowo;
        int x, y;
    };
    const Oczekiwane oczekiwane[] = {
        {"Miejscowość", 10, 5},  {"Sprzedawca", 10, 23}, {"Nabywca", 10, 65},
        {"Faktura", 115, 80},    {"Rozbicie", 10, 152},  {"Usługa", 11, 134},
        {"Dziękujemy", 10, 203}, {"Podpis", 150, 257},   {"Wydruk", 10, 276},
    };
    // Well under a unit (2.88 points): the page margins are kept to the printer's own steps.
    constexpr double Tolerancja = 0.5;
    for (const Oczekiwane& o : oczekiwane) {
        const QString tekst = QString::fromUtf8(o.slowo);
        const auto it =
            std::find_if(slowa.begin(), slowa.end(), [&](const Slowo& s) { return s.tekst == tekst; });
        ASSERT_NE(it, slowa.end()) << o.slowo;
        EXPECT_NEAR(it->x, margines + o.x * 2.88, Tolerancja) << o.slowo;
        EXPECT_NEAR(it->y, margines + o.y * 2.88, Tolerancja) << o.slowo;
    }
    // The page is portrait: the footer at 276 units (280 mm) is on it.
    const auto stopka =
        std::find_if(slowa.begin(), slowa.end(), [](const Slowo& s) { return s.tekst == "Kwintaro"; });
    EXPECT_NE(stopka, slowa.end());
}

}  // namespace
