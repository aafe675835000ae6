// What the form shows of long amounts, names and words, rendered offscreen at the form's sizes:
// amounts keep their leading digits, texts their beginnings, nothing starts with an ellipsis and
// nothing is drawn past the edge of its control; whatever is cut is whole in its tooltip.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>
#include <QToolTip>

#include "app/dopasowanie.h"
#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/siatka.h"
#include "wspolne/katalog_testowy.h"

namespace {

const QString Wielokropek = QStringLiteral("…");

TEST(TekstWSzerokosci, PrzypadkiKwotITekstow) {
    const QFontMetricsF m(QFont(QStringLiteral("Courier New"), 8));
    const auto szer = [&m](const char* t) { return m.horizontalAdvance(QString::fromUtf8(t)); };
    const struct {
        const char* tekst;
        qreal szerokosc;
        bool kwota;
        const char* widoczny;
        bool obciety;
    } przypadki[] = {
        {"        0.00", szer("        0.00"), true, "        0.00", false},  // fits with its padding
        {"  123.00", szer(" 123.00"), true, " 123.00", false},                // one blank less is enough
        {"  123.00", szer("123.00"), true, "123.00", false},
        // Leading digits stay and the end goes; a text keeps its blanks and its start.
        {"  123456.00", szer("123456…") + 1, true, "123456…", false},
        {"  Usługa", szer("  Usł…") + 1, false, "  Usł…", true},
        {"Usługa transportowa", szer("Usługa…") + 1, false, "Usługa…", true},
        {"", 10, true, "", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.tekst);
        const TekstWidoczny w = TekstWSzerokosci(QString::fromUtf8(p.tekst), m, p.szerokosc, p.kwota);
        EXPECT_EQ(w.tekst, QString::fromUtf8(p.widoczny));
        EXPECT_EQ(w.obciety, p.obciety || w.tekst.endsWith(Wielokropek));
        EXPECT_LE(m.horizontalAdvance(w.tekst), p.szerokosc);
    }
}

// The rendered pixels of `obszar` are exactly `tekst` drawn in the font and colour given: what is
// on the screen is that text, whole, and nothing else.
void OczekujNarysowanego(const QImage& obraz, const QRect& obszar, const QFont& czcionka, const QColor& kolor,
                         Qt::Alignment wyrownanie, const QString& tekst) {
    ASSERT_TRUE(obraz.rect().contains(obszar));
    const QImage narysowany = obraz.copy(obszar);
    QImage wzor = narysowany;
    wzor.fill(narysowany.pixel(0, 0));
    {
        QPainter p(&wzor);
        p.setFont(czcionka);
        p.setPen(kolor);
        p.drawText(QRect(QPoint(0, 0), obszar.size()), static_cast<int>(wyrownanie) | Qt::TextSingleLine,
                   tekst);
    }
    EXPECT_TRUE(narysowany == wzor) << "drawn differs from " << tekst.toStdString();
    // Something was drawn at all: the comparison would hold for an empty text on an empty cell too.
    bool tusz = false;
    for (int y = 0; y < narysowany.height() && !tusz; ++y)
        for (int x = 0; x < narysowany.width() && !tusz; ++x)
            tusz = narysowany.pixel(x, y) != narysowany.pixel(0, 0);
    EXPECT_EQ(tusz, !tekst.trimmed().isEmpty()) << tekst.toStdString();
}

class Wyglad : public ::testing::Test {
  protected:
    void SetUp() override {
        okno = UruchomOkno(platforma);
        okno->show();
    }
    void Linia(int r, const char* nazwa, const char* ilosc, const char* netto, const char* vat) {
        okno->tabela->ustawKomorke(1, r, QString::fromUtf8(nazwa));
        okno->tabela->ustawKomorke(4, r, QString::fromUtf8(ilosc));
        okno->tabela->ustawKomorke(5, r, QString::fromUtf8(netto));
        okno->tabela->ustawKomorke(6, r, QString::fromUtf8(vat));
    }
    // The text area of a cell in the grid's viewport, as the view paints it.
    static QRect ObszarKomorki(Siatka* s, int kolumna, int wiersz) {
        const int siatkaLinii = s->showGrid() ? 1 : 0;
        return QRect(s->columnViewportPosition(kolumna) + Siatka::MarginesKomorki,
                     s->rowViewportPosition(wiersz - 1), s->szerokoscTekstu(kolumna),
                     s->rowHeight(wiersz - 1) - siatkaLinii);
    }
    // Every cell of the item rows: nothing begins with an ellipsis, a cell shows its whole text
    // (without padding blanks for an amount) or the beginning of it followed by an ellipsis, within
    // its width, and the pixels are that text.
    static void OczekujKomorek(Siatka* s) {
        s->setCurrentItem(nullptr);
        s->clearSelection();
        const QImage obraz = s->viewport()->grab().toImage();
        const QFontMetricsF m(s->font());
        for (int r = 1; r < s->rowCount() + 1; ++r)
            for (int c = 1; c < s->columnCount(); ++c) {
                const QString tekst = s->komorka(c, r);
                const TekstWidoczny w = s->tekstWidoczny(c, r);
                SCOPED_TRACE(QStringLiteral("%1 (%2, %3): %4")
                                 .arg(s->objectName())
                                 .arg(c)
                                 .arg(r)
                                 .arg(tekst)
                                 .toStdString());
                EXPECT_FALSE(w.tekst.startsWith(Wielokropek));
                EXPECT_LE(m.horizontalAdvance(w.tekst), s->szerokoscTekstu(c));
                const QString caly = s->kolumnaKwot(c) ? tekst.trimmed() : tekst;
                if (w.obciety) {
                    ASSERT_TRUE(w.tekst.endsWith(Wielokropek));
                    EXPECT_TRUE(caly.startsWith(w.tekst.chopped(1).trimmed()));
                    EXPECT_GE(w.tekst.size(), 4) << "too little of it is left";
                } else {
                    EXPECT_EQ(s->kolumnaKwot(c) ? w.tekst.trimmed() : w.tekst, caly);
                }
                OczekujNarysowanego(obraz, ObszarKomorki(s, c, r), s->font(),
                                    s->palette().color(QPalette::Text), Qt::AlignLeft | Qt::AlignVCenter,
                                    w.tekst);
            }
    }
    // The tooltip that hovering over a cell shows; empty when none is shown.
    // A tooltip being hidden stays on the screen for a moment, so a marker tip is shown first: it
    // is still there when hovering shows none.
    static QString Podpowiedz(QWidget* w, const QPoint& miejsce) {
        const QString znacznik = QStringLiteral("(brak podpowiedzi)");
        QToolTip::showText(w->mapToGlobal(miejsce), znacznik, w);
        QHelpEvent zdarzenie(QEvent::ToolTip, miejsce, w->mapToGlobal(miejsce));
        QCoreApplication::sendEvent(w, &zdarzenie);
        const QString tekst = QToolTip::text();
        return tekst == znacznik ? QString() : tekst;
    }
    static QString PodpowiedzKomorki(Siatka* s, int kolumna, int wiersz) {
        return Podpowiedz(s->viewport(), ObszarKomorki(s, kolumna, wiersz).center());
    }
    static QString PodpowiedzEtykiety(QLabel* l) { return Podpowiedz(l, l->rect().center()); }
    // A label that keeps its text inside the form: it lies within the window, its text is drawn
    // within it in the font chosen, and it is the whole text unless it was cut with an ellipsis.
    void OczekujEtykiety(QLabel* l, bool obcietaDozwolona) {
        SCOPED_TRACE(l->objectName().toStdString() + ": " + l->text().toStdString());
        auto* dopasowana = qobject_cast<EtykietaDopasowana*>(l);
        ASSERT_NE(dopasowana, nullptr);
        const QRect wOknie(l->mapTo(okno.get(), QPoint(0, 0)), l->size());
        EXPECT_TRUE(okno->rect().contains(wOknie));
        EXPECT_TRUE(l->parentWidget()->rect().contains(l->geometry()));
        const TekstDopasowany d = dopasowana->dopasowanie();
        EXPECT_LE(QFontMetricsF(d.czcionka).horizontalAdvance(d.tekst), l->width());
        EXPECT_GE(d.czcionka.pointSizeF() > 0 ? d.czcionka.pointSizeF() : QFontInfo(d.czcionka).pointSizeF(),
                  NajmniejszaCzcionkaPunkty - 0.5);
        EXPECT_FALSE(d.tekst.startsWith(Wielokropek));
        if (d.obciety) {
            EXPECT_TRUE(obcietaDozwolona);
            EXPECT_TRUE(l->text().trimmed().startsWith(d.tekst.chopped(1)));
        } else {
            EXPECT_EQ(d.tekst.trimmed(), l->text().trimmed());
        }
        const QImage obraz = l->grab().toImage();
        OczekujNarysowanego(obraz, l->rect(), d.czcionka, l->palette().color(QPalette::WindowText),
                            QStyle::visualAlignment(l->layoutDirection(), l->alignment()), d.tekst);
        EXPECT_EQ(PodpowiedzEtykiety(l), d.obciety || d.pomniejszony ? l->text().trimmed() : QString());
    }

    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    std::unique_ptr<Tfaktura_f> okno;
};

TEST_F(Wyglad, SiatkiPoStarcieIZwyklychKwotach) {
    okno->Timer2Timer();
    // "        0.00" in every amount column of the summary fits whole, padding included.
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(okno->tabela_vat->tekstWidoczny(c, 1).tekst, "        0.00");
        EXPECT_FALSE(okno->tabela_vat->tekstWidoczny(c, 1).obciety);
    }
    OczekujKomorek(okno->tabela_vat);
    // The normalised forms of a saved quantity (7 characters) and price (8) fit their columns whole.
    Linia(1, "Usługa", "   2.00", "  100.00", "22");
    Linia(2, "", "1234.00", "99999.99", "7");
    okno->Timer2Timer();
    for (const auto& [c, r] : {std::pair{4, 1}, {5, 1}, {4, 2}, {5, 2}})
        EXPECT_EQ(okno->tabela->tekstWidoczny(c, r).tekst, okno->tabela->komorka(c, r));
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(okno->tabela_vat->tekstWidoczny(c, r).tekst, okno->tabela_vat->komorka(c, r));
    OczekujKomorek(okno->tabela);
    OczekujKomorek(okno->tabela_vat);
    EXPECT_EQ(PodpowiedzKomorki(okno->tabela, 4, 1), QString());
}

// A quantity or price that does not read wholly as a number is painted on red, its text still
// whole, and its tooltip says what the line counts it as; other cells stay as they were.
TEST_F(Wyglad, LiczbaCzesciowaOznaczonaWSiatce) {
    const QString Uwaga =
        QStringLiteral("Tej wartości nie można w całości odczytać jako liczby: liczona jest jako ");
    const struct {
        int kolumna;
        const char* tekst;
        const char* liczonaJako;  // nullptr: read whole, not marked
    } przypadki[] = {
        {4, "1.5", nullptr}, {4, "", nullptr},      {4, "  2", nullptr}, {4, "1.5x", "15"},
        {4, "12 34", "12"},  {4, "1,5", "1"},       {4, "-", "0"},       {5, "150,00", "150"},
        {5, "1e400", "0"},   {5, "99.99", nullptr}, {6, "zw", nullptr},  {1, "1,5 godz.", nullptr},
    };
    Siatka* s = okno->tabela;
    for (const auto& p : przypadki) {
        SCOPED_TRACE(QStringLiteral("%1: %2").arg(p.kolumna).arg(QString::fromUtf8(p.tekst)).toStdString());
        Linia(1, "", "1", "10.00", "22");
        s->ustawKomorke(p.kolumna, 1, QString::fromUtf8(p.tekst));
        s->setCurrentItem(nullptr);
        s->clearSelection();
        const bool oznaczona = p.liczonaJako != nullptr;
        EXPECT_EQ(s->liczbaCzesciowa(p.kolumna, 1), oznaczona);

        const QImage obraz = s->viewport()->grab().toImage();
        const QRect obszar = ObszarKomorki(s, p.kolumna, 1);
        const QColor tlo = obraz.pixelColor(obszar.topLeft());
        const QColor zwykleTlo = obraz.pixelColor(ObszarKomorki(s, 3, 1).topLeft());
        if (oznaczona) {
            EXPECT_GT(tlo.red() - tlo.green(), 40) << tlo.name().toStdString();
            EXPECT_GT(tlo.red() - tlo.blue(), 40) << tlo.name().toStdString();
        } else {
            EXPECT_EQ(tlo, zwykleTlo);
        }
        OczekujNarysowanego(obraz, obszar, s->font(), s->palette().color(QPalette::Text),
                            Qt::AlignLeft | Qt::AlignVCenter, s->tekstWidoczny(p.kolumna, 1).tekst);
        EXPECT_EQ(PodpowiedzKomorki(s, p.kolumna, 1), oznaczona ? Uwaga + p.liczonaJako : QString());
    }
}

TEST_F(Wyglad, SiatkiZDlugimiKwotamiINazwa) {
    const QString nazwa = QStringLiteral("Usługa transportowa i montaż urządzeń chłodniczych, etap 12a");
    ASSERT_EQ(nazwa.size(), 60);
    Linia(1, nazwa.toUtf8().constData(), "  123.00", "999999.99", "22");
    Linia(2, "", "1234.00", "1233999987.66", "7");
    Linia(3, "", "1", "12345678", "0");
    okno->Timer2Timer();
    ASSERT_EQ(okno->tabela_vat->komorka(1, 2).trimmed(), "1522755984772.44");

    EXPECT_EQ(okno->tabela->tekstWidoczny(4, 1).tekst.trimmed(), "123.00");
    EXPECT_EQ(okno->tabela->tekstWidoczny(4, 2).tekst, "1234.00");
    EXPECT_EQ(okno->tabela->tekstWidoczny(5, 1).tekst, "999999.99");
    EXPECT_TRUE(okno->tabela->tekstWidoczny(5, 2).tekst.startsWith("123399"));
    EXPECT_TRUE(okno->tabela->tekstWidoczny(1, 1).tekst.startsWith("Usługa transportowa"));
    EXPECT_TRUE(okno->tabela->tekstWidoczny(1, 1).obciety);
    EXPECT_TRUE(okno->tabela_vat->tekstWidoczny(1, 2).tekst.startsWith("15227559"));
    OczekujKomorek(okno->tabela);
    OczekujKomorek(okno->tabela_vat);

    // Cut cells show their whole text when hovered, and give it to assistive technology.
    EXPECT_EQ(PodpowiedzKomorki(okno->tabela, 1, 1), nazwa);
    EXPECT_EQ(PodpowiedzKomorki(okno->tabela, 5, 2), "1233999987.66");
    EXPECT_EQ(PodpowiedzKomorki(okno->tabela_vat, 1, 2), "1522755984772.44");
    EXPECT_EQ(PodpowiedzKomorki(okno->tabela, 5, 1), QString());
    QAccessibleInterface* siatka = QAccessible::queryAccessibleInterface(okno->tabela);
    ASSERT_NE(siatka, nullptr);
    ASSERT_NE(siatka->tableInterface(), nullptr);
    QAccessibleInterface* komorka = siatka->tableInterface()->cellAt(0, 1);
    ASSERT_NE(komorka, nullptr);
    EXPECT_EQ(komorka->text(QAccessible::Name), nazwa);
}

TEST_F(Wyglad, EtykietyKwotISlow) {
    const struct {
        const char* nazwa;
        const char* netto;
        bool obcieteSlowa;  // the words do not fit even the smallest size
    } przypadki[] = {
        {"zwykła kwota", "25.62", false},
        {"999 999 999 słownie", "999999999", false},
        {"kwota 13-cyfrowa", "1234567890123.45", false},
        {"999 999 999 999 słownie", "999999999999", true},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        Linia(1, "", "1", p.netto, "0");
        okno->Timer2Timer();
        OczekujEtykiety(okno->Label17, false);
        OczekujEtykiety(okno->Label19, p.obcieteSlowa);
        OczekujEtykiety(okno->Label58, false);
        EXPECT_EQ(qobject_cast<EtykietaDopasowana*>(okno->Label19)->dopasowanie().obciety, p.obcieteSlowa);
    }
    // The words of 999 999 999 are wider than their label in the form's font, and shown whole in a
    // smaller size; a longer total than any amount to pay still stays inside the form.
    Linia(1, "", "1", "999999999", "0");
    okno->Timer2Timer();
    EXPECT_TRUE(qobject_cast<EtykietaDopasowana*>(okno->Label19)->dopasowanie().pomniejszony);
    UstawTekst(okno->Label17, QStringLiteral("-123456789012345678901234567890123.99 PLN"));
    OczekujEtykiety(okno->Label17, false);
}

TEST_F(Wyglad, SumyMiesiecyZestawienia) {
    TDokument d = Dokument("F", "1", "Kowalski");
    d.data_wystawienia.ustaw(QStringLiteral("2010-03-15"));
    for (int w = 0; w < 3; ++w) d.stawki[3][w].ustaw(QStringLiteral("99999999999999999999"));
    katalog.zapiszRekordy<TDokument>("Uslugi/dokumenty.dat", {d});
    okno->SpeedButton17->click();
    okno->lata->setEditText(QStringLiteral("2010"));
    okno->SpeedButton19->click();
    ASSERT_TRUE(platforma.bledy().empty());
    ASSERT_EQ(okno->SumyMiesiecyEtykiety[2]->text(), "300000000000000000000.00 PLN");
    for (QLabel* suma : okno->SumyMiesiecyEtykiety) OczekujEtykiety(suma, false);
    EXPECT_TRUE(qobject_cast<EtykietaDopasowana*>(okno->SumyMiesiecyEtykiety[2])->dopasowanie().pomniejszony);
    OczekujEtykiety(okno->Label54, false);
}

}  // namespace
