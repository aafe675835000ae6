// The KSeF verification codes on the printout: read back from the recorded page and from a PDF
// rendered to pixels, in the free band above the footer, and nothing else of the page moved.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "print/dane_wydruku.h"
#include "print/kod_qr.h"
#include "print/plotno_drukarki.h"
#include "print/wydruk.h"
#include "wspolne/plotno_nagrywajace.h"

namespace {

using R = ZdarzeniePlotna::Rodzaj;
constexpr std::int32_t DpiNagrania = 600;  // 24 pixels per unit

const QString LinkI = QStringLiteral(
    "https://qr-test.ksef.mf.gov.pl/invoice/9999999999/01-12-2026/"
    "UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE");
const QString LinkII = QStringLiteral(
    "https://qr-test.ksef.mf.gov.pl/certificate/Nip/9999999999/9999999999/01F20A5D352AE590/"
    "UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE/"
    "mSkm_XmM9fq7PgAJwiL32L9ujhyguOEV48cDB0ncemD2r9TMGa3lr0iRoFk588agCi8QPsOuscUY1rZ7ff76STbGquO-gZtQys5_"
    "fHdf2HUfDqPqVTnUS6HknBu0zLkyf9ygoW7WbH06Ty_8BgQTlOmJFzNWSt9WZa7tAGuAE9JOooNps-"
    "KG2PYkkIP4q4jPMp3FKypAygHVnXtS0RDG"
    "gOxhhM7LWtFP7D-dWINbh5yXD8Lr-JVbeOpyQjHa6WmMYavCDQJ3X_Z-iS01LZu2s1B3xuOykl1h0sLObCdADrbxOONsXrvQa61Xt_"
    "rxyprVraj2Uf9pANQgR4-12HEcMw");

std::vector<ZdarzeniePlotna> Nagraj(const DaneWydruku& dane) {
    PlotnoNagrywajace plotno(DpiNagrania, DpiNagrania);
    Drukarka d(plotno);
    DrukujKopie(d, dane, 1);
    return plotno.zdarzenia();
}

// What zbarimg reads from an image file: one decoded text per line.
QStringList Odczytaj(const QString& plik) {
    QProcess proces;
    proces.start(QStringLiteral("zbarimg"),
                 {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sdisable"),
                  QStringLiteral("-Sqrcode.enable"), plik});
    proces.waitForFinished(60000);
    return QString::fromUtf8(proces.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool MaZbar() {
    if (!QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) return true;
    ADD_FAILURE() << "zbarimg (zbar-tools) nie jest zainstalowany; instaluje go scripts/zaleznosci.sh";
    return false;
}

TEST(KodyKsefWydruku, TaSamaStronaIKodyWWolnymPasie) {
    struct Przypadek {
        const char* nazwa;
        DaneWydruku dane;
        bool offline;
    };
    const Przypadek przypadki[] = {
        {"faktura przyjęta", DaneFaktury(), false},
        {"korekta offline", DaneKorekty(), true},
        {"faktura offline", DaneFaktury(), true},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        const std::vector<ZdarzeniePlotna> bez = Nagraj(p.dane);
        DaneWydruku z = p.dane;
        z.kodyKsef = KodyKsefWydruku{
            LinkI,
            p.offline ? QStringLiteral("OFFLINE") : QStringLiteral("9999999999-20261201-0100001AF629-61"),
            p.offline ? LinkII : QString()};
        const std::vector<ZdarzeniePlotna> zKodami = Nagraj(z);
        // Everything of the page as before, in the same order; the codes come after it.
        ASSERT_GT(zKodami.size(), bez.size());
        const std::size_t koniec = bez.size() - 2;  // before the job's end and the last portrait step
        for (std::size_t i = 0; i < koniec; ++i) ASSERT_EQ(zKodami[i], bez[i]) << i;
        EXPECT_EQ(zKodami.back(), bez.back());

        std::vector<ZdarzeniePlotna> obrazy;
        for (std::size_t i = koniec; i < zKodami.size(); ++i)
            if (zKodami[i].rodzaj == R::Obraz) obrazy.push_back(zKodami[i]);
        ASSERT_EQ(obrazy.size(), p.offline ? 2u : 1u);
        for (const ZdarzeniePlotna& o : obrazy) {
            // Left of the signature (x 150), below the last text of a correction (242) and above
            // the footer rule (273), and clear of every other element of the page.
            EXPECT_GE(o.x1, 10 * 24);
            EXPECT_LE(o.x2, 145 * 24);
            EXPECT_GE(o.y1, 247 * 24);
            EXPECT_LE(o.y2, 269 * 24);
            for (std::size_t i = 0; i < koniec; ++i) {
                const ZdarzeniePlotna& e = bez[i];
                if (e.rodzaj != R::Tekst && e.rodzaj != R::Prostokat) continue;
                const bool wSrodku = e.x1 >= o.x1 && e.x1 <= o.x2 && e.y1 >= o.y1 && e.y1 <= o.y2;
                EXPECT_FALSE(wSrodku) << OpisZdarzenia(e).toStdString();
            }
            // Whole printer pixels per module: the image fits its box exactly.
            EXPECT_EQ((o.x2 - o.x1) % o.obraz.width(), 0);
        }
        bool podpisI = false, podpisII = false;
        for (std::size_t i = koniec; i < zKodami.size(); ++i) {
            podpisI |= zKodami[i].tekst == z.kodyKsef->podpisI;
            podpisII |= zKodami[i].tekst == QStringLiteral("CERTYFIKAT");
        }
        EXPECT_TRUE(podpisI);
        EXPECT_EQ(podpisII, p.offline);
    }
}

TEST(KodyKsefWydruku, KodyOdczytaneZNagraniaToLinki) {
    if (!MaZbar()) return;
    DaneWydruku dane = DaneKorekty();
    dane.kodyKsef = KodyKsefWydruku{LinkI, QStringLiteral("OFFLINE"), LinkII};
    QTemporaryDir katalog;
    QStringList odczytane;
    for (const ZdarzeniePlotna& z : Nagraj(dane)) {
        if (z.rodzaj != R::Obraz) continue;
        // The image at the size it is printed (600 dpi), as a scanner would see it.
        const QString plik = katalog.filePath(QStringLiteral("kod%1.png").arg(odczytane.size()));
        z.obraz.scaled(z.x2 - z.x1, z.y2 - z.y1, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(plik);
        odczytane += Odczytaj(plik);
    }
    EXPECT_EQ(odczytane, (QStringList{LinkI, LinkII}));
}

TEST(KodyKsefWydruku, KodyOdczytaneZPdf) {
    if (!MaZbar()) return;
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        FAIL() << "pdftoppm (poppler-utils) nie jest zainstalowany";
    QTemporaryDir katalog;
    const QString pdf = katalog.filePath(QStringLiteral("faktura.pdf"));
    {
        QPrinter drukarka(QPrinter::HighResolution);
        drukarka.setOutputFormat(QPrinter::PdfFormat);
        drukarka.setOutputFileName(pdf);
        drukarka.setResolution(600);
        drukarka.setPageSize(QPageSize(QPageSize::A4));
        drukarka.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        PlotnoDrukarki plotno(drukarka);
        Drukarka d(plotno);
        DaneWydruku dane = DaneFaktury();
        dane.kodyKsef = KodyKsefWydruku{LinkI, QStringLiteral("OFFLINE"), LinkII};
        DrukujKopie(d, dane, 1);
    }
    QProcess proces;
    // At the printer's 600 dpi, only the band above the footer (5 mm margin, 24 pixels a unit).
    proces.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-x"), QStringLiteral("0"),
                  QStringLiteral("-y"), QString::number(118 + 240 * 24), QStringLiteral("-W"),
                  QString::number(118 + 150 * 24), QStringLiteral("-H"), QString::number(40 * 24),
                  QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                  katalog.filePath(QStringLiteral("strona"))});
    ASSERT_TRUE(proces.waitForFinished(60000));
    QStringList odczytane = Odczytaj(katalog.filePath(QStringLiteral("strona.png")));
    odczytane.sort();
    QStringList oczekiwane{LinkI, LinkII};
    oczekiwane.sort();
    EXPECT_EQ(odczytane, oczekiwane);
}

TEST(KodyKsefWydruku, KodQrMaStrefeCiszyIPoziomM) {
    const QImage kod = ObrazKoduQr(LinkI);
    ASSERT_FALSE(kod.isNull());
    EXPECT_EQ(kod.width(), kod.height());
    // Four light modules around the symbol: its first and last four rows are white.
    for (int y : {0, 3, kod.height() - 1})
        for (int x = 0; x < kod.width(); ++x) ASSERT_EQ(qGray(kod.pixel(x, y)), 255);
    // A 109-character link takes version 6 at level M (41 modules) with 8-bit data.
    EXPECT_EQ(kod.width(), 41 + 8);
}

}  // namespace
