// PDF export against the print dialog's PDF file of the same stored document: the same words at
// the same places, one page each, every font embedded.
#include <gtest/gtest.h>

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>

#include "calc/dokument.h"
#include "eksport/dane_eksportu.h"
#include "eksport/uruchomienie.h"
#include "print/plotno_drukarki.h"
#include "print/wydruk.h"
#include "store/pliki_danych.h"
#include "store/stan_ksef.h"
#include "store/uzupelnienia.h"
#include "wspolne/katalog_testowy.h"

namespace {

struct Slowo {
    QString tekst;
    double x, y;
};

QString Uruchomiony(const QString& program, const QStringList& argumenty) {
    QProcess proces;
    proces.start(program, argumenty);
    proces.waitForFinished(60000);
    return QString::fromUtf8(proces.readAllStandardOutput());
}

bool Narzedzia() {
    for (const char* narzedzie : {"pdftotext", "pdffonts"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(narzedzie)).isEmpty()) {
            ADD_FAILURE() << narzedzie
                          << " (poppler-utils) nie jest zainstalowany; instaluje go scripts/zaleznosci.sh";
            return false;
        }
    }
    return true;
}

std::vector<Slowo> SlowaPdf(const QString& pdf, int* strony) {
    const QString html =
        Uruchomiony(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    *strony = static_cast<int>(html.count(QStringLiteral("<page ")));
    static const QRegularExpression WzorSlowa(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    std::vector<Slowo> slowa;
    for (auto it = WzorSlowa.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        slowa.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return slowa;
}

// The "emb" column of pdffonts for every font of the file.
QStringList OsadzenieCzcionek(const QString& pdf) {
    const QStringList linie = Uruchomiony(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts);
    QStringList osadzone;
    for (const QString& linia : linie.mid(2)) {
        const QStringList pola = linia.split(u' ', Qt::SkipEmptyParts);
        if (pola.size() >= 5) osadzone << pola[pola.size() - 5];
    }
    return osadzone;
}

void ZapiszCzcionke(const KatalogTestowy& katalog) {
    TCzcionka c{};
    c.kolor = 0x00000080;
    c.nazwa.ustaw(QStringLiteral("Liberation Serif"));
    c.rozmiar = 10;
    katalog.utworzFolder(QStringLiteral("FONT"));
    katalog.zapiszRekordy(QStringLiteral("FONT/font_welkaro.dat"), std::vector<TCzcionka>{c});
}

// The print command with the print dialog's "print to file": its printer at its own resolution, one copy.
void PdfOknaDrukowania(const TDokument& d, const QString& plik) {
    StanCzcionki czcionka;
    CzytajFonty(DomyslnySystemPlikow(), czcionka, NazwaFontuWydruku);
    QPrinter drukarka(QPrinter::HighResolution);
    drukarka.setOutputFormat(QPrinter::PdfFormat);
    drukarka.setOutputFileName(plik);
    drukarka.setPageSize(QPageSize(QPageSize::A4));
    PlotnoDrukarki plotno(drukarka);
    Drukarka strona(plotno);
    DrukujKopie(strona, DaneWydrukuZRekordu(d, UstawieniaTestowe(), FirmaTestowa(), czcionka), 1);
}

class EksportPdf : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Narzedzia());
        ZapiszDane(katalog, ZestawDokumentow());
        ZapiszCzcionke(katalog);
    }
    KatalogTestowy katalog;
};

TEST_F(EksportPdf, TeSameSlowaNaTychSamychMiejscachCoWydruk) {
    const Przebieg p = Uruchom({"pdf", "--do", "wyniki"});
    ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
    EXPECT_TRUE(p.bledy.contains(QStringLiteral("Wyeksportowano dokumentów: 7 z 7")))
        << p.bledy.toStdString();
    const std::vector<TDokument> zestaw = ZestawDokumentow();
    struct P {
        std::size_t dokument;
        const char* plik;
    };
    for (const P& przypadek : {P{2, "F_1_2026.pdf"}, P{5, "K_1_K_2026.pdf"}}) {
        const QString wzor = katalog.plik(QStringLiteral("wzor.pdf"));
        PdfOknaDrukowania(zestaw[przypadek.dokument], wzor);
        int stronyWzoru = 0, strony = 0;
        const std::vector<Slowo> oczekiwane = SlowaPdf(wzor, &stronyWzoru);
        const QString plik = katalog.plik(QStringLiteral("wyniki/") + QString::fromLatin1(przypadek.plik));
        const std::vector<Slowo> slowa = SlowaPdf(plik, &strony);
        EXPECT_EQ(stronyWzoru, 1);
        EXPECT_EQ(strony, 1) << przypadek.plik;  // two copies in the settings, one page in the file
        ASSERT_GT(oczekiwane.size(), 50u);
        ASSERT_EQ(slowa.size(), oczekiwane.size()) << przypadek.plik;
        for (std::size_t i = 0; i < slowa.size(); ++i) {
            EXPECT_EQ(slowa[i].tekst, oczekiwane[i].tekst) << przypadek.plik << " " << i;
            EXPECT_NEAR(slowa[i].x, oczekiwane[i].x, 0.01) << slowa[i].tekst.toStdString();
            EXPECT_NEAR(slowa[i].y, oczekiwane[i].y, 0.01) << slowa[i].tekst.toStdString();
        }
        const QStringList osadzenie = OsadzenieCzcionek(plik);
        EXPECT_FALSE(osadzenie.isEmpty());
        EXPECT_EQ(osadzenie.count(QStringLiteral("yes")), osadzenie.size())
            << osadzenie.join(' ').toStdString();
    }
    // The correction says what it corrects.
    int strony = 0;
    const std::vector<Slowo> korekta =
        SlowaPdf(katalog.plik(QStringLiteral("wyniki/K_1_K_2026.pdf")), &strony);
    EXPECT_TRUE(
        std::any_of(korekta.begin(), korekta.end(), [](const Slowo& s) { return s.tekst == "korygująca"; }));
}

// The last line takes the contact the settings program keeps; without it the line ends with the
// program's name and no placeholder contact is printed.
TEST_F(EksportPdf, OstatniaLiniaZKontaktemZUzupelnien) {
    for (const bool zKontaktem : {false, true}) {
        SCOPED_TRACE(zKontaktem);
        if (zKontaktem) {
            TUzupelnienia u{};
            u.kontakt_wydruku.ustaw(QStringLiteral("tel. 600 100 200"));
            katalog.zapiszRekordy(QStringLiteral("Admini/uzupelnienia.dat"), std::vector{u});
        }
        const QString folder = zKontaktem ? QStringLiteral("z") : QStringLiteral("bez");
        const Przebieg p = Uruchom({"pdf", "--do", folder, "--numer", "1/2026"});
        ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
        int strony = 0;
        const std::vector<Slowo> slowa =
            SlowaPdf(katalog.plik(folder + QStringLiteral("/F_1_2026.pdf")), &strony);
        const auto nazwa =
            std::find_if(slowa.begin(), slowa.end(), [](const Slowo& s) { return s.tekst == "Kwintaro"; });
        ASSERT_NE(nazwa, slowa.end());
        QStringList poNazwie;
        for (auto it = nazwa + 1; it != slowa.end(); ++it)
            if (std::abs(it->y - nazwa->y) < 0.5) poNazwie << it->tekst;
        EXPECT_EQ(poNazwie.join(u' '), zKontaktem ? QStringLiteral("tel. 600 100 200") : QString());
    }
}

TEST_F(EksportPdf, InnaRozdzielczoscTeSameMiejsca) {
    const QString wzor = katalog.plik(QStringLiteral("wzor.pdf"));
    PdfOknaDrukowania(ZestawDokumentow()[2], wzor);
    int strony = 0;
    const std::vector<Slowo> oczekiwane = SlowaPdf(wzor, &strony);
    // One unit is 48, 24 or 12 pixels: 2.88 points at every one of them.
    for (const char* dpi : {"600", "300"}) {
        const QString folder = QStringLiteral("dpi") + QString::fromLatin1(dpi);
        const Przebieg p = Uruchom({"pdf", "--do", folder, "--dpi", dpi, "--numer", "1/2026"});
        ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
        const std::vector<Slowo> slowa =
            SlowaPdf(katalog.plik(folder + QStringLiteral("/F_1_2026.pdf")), &strony);
        EXPECT_EQ(strony, 1);
        for (const char* kotwica :
             {"Miejscowość", "Sprzedawca", "Nabywca", "Faktura", "Rozbicie", "Podpis", "Wydruk"}) {
            const auto znajdz = [&](const std::vector<Slowo>& lista) {
                return std::find_if(lista.begin(), lista.end(),
                                    [&](const Slowo& s) { return s.tekst == QString::fromUtf8(kotwica); });
            };
            const auto a = znajdz(slowa), b = znajdz(oczekiwane);
            ASSERT_TRUE(a != slowa.end() && b != oczekiwane.end()) << kotwica;
            EXPECT_NEAR(a->x, b->x, 0.5) << dpi << " " << kotwica;
            EXPECT_NEAR(a->y, b->y, 0.5) << dpi << " " << kotwica;
        }
    }
}

}  // namespace

namespace {

// A document with a KSeF state carries KOD I in its PDF, labelled with its KSeF number, and the
// code read back from the rendered page is the kept link; a document without a state has none.
TEST_F(EksportPdf, DokumentWKsefMaKodIZeStanu) {
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        FAIL() << "zbarimg (zbar-tools) albo pdftoppm nie jest zainstalowany; instaluje je "
                  "scripts/zaleznosci.sh";
    const std::vector<TDokument> dokumenty = ZestawDokumentow();
    const TDokument& faktura = dokumenty.at(1);
    const QString link = QStringLiteral(
        "https://qr-test.ksef.mf.gov.pl/invoice/9999999999/01-12-2026/"
        "UtQp9Gpc51y-u3xApZjIjgkpZ01js-J8KflSPW8WzIE");
    const QString numerKsef = QStringLiteral("9999999999-20261201-0100001AF629-61");
    ZmienStanKsef(DomyslnySystemPlikow(), katalog.sciezka(), NazwaDokumentu(faktura),
                  [&](std::optional<StanKsef>& s) {
                      StanKsef nowy;
                      nowy.stan = StanWysylki::Przyjety;
                      nowy.numerKsef = numerKsef;
                      nowy.linkKoduI = link;
                      s = nowy;
                  });
    const Przebieg p = Uruchom({QStringLiteral("pdf"), QStringLiteral("--do"), QStringLiteral("pdf"),
                                QStringLiteral("--pozycja"), QStringLiteral("2"), QStringLiteral("--dpi"),
                                QStringLiteral("600")});
    ASSERT_EQ(p.kod, 0) << p.bledy.toStdString();
    const QString pdf =
        katalog.plik(QStringLiteral("pdf/") + NazwaDokumentu(faktura) + QStringLiteral(".pdf"));
    QProcess render;
    // The bottom fifth of the A4 page at 600 dpi: the codes' band above the footer.
    render.start(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-y"), QStringLiteral("5600"),
         QStringLiteral("-H"), QStringLiteral("1416"), QStringLiteral("-W"), QStringLiteral("4960"),
         QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, katalog.plik(QStringLiteral("s"))});
    ASSERT_TRUE(render.waitForFinished(60000));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               {QStringLiteral("--raw"), QStringLiteral("-q"), katalog.plik(QStringLiteral("s.png"))});
    ASSERT_TRUE(zbar.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), link);
    EXPECT_TRUE(Uruchomiony(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(numerKsef));
}

}  // namespace
