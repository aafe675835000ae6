// The compact lines behind the pick list: texts back as they were joined, the longest line, search.
#include <gtest/gtest.h>

#include <QScrollBar>

#include "app/lista_linii.h"
#include "registers/linie_listy.h"
#include "store/cp1250.h"
#include "store/tekst.h"

namespace {

LinieListy Linie(const QStringList& teksty) {
    LinieListy linie;
    for (const QString& t : teksty) {
        TTekst<80> pole{};
        pole.ustaw(t);
        LiniaListy linia;
        linia << pole;
        linie.dodaj(linia);
    }
    return linie;
}

TEST(LinieListy, TekstyNajdluzszaISzukanie) {
    struct Przypadek {
        const char* opis;
        QStringList teksty;
        std::size_t najdluzsza;
        const char* fraza;
        std::size_t od;
        long long znaleziona;
    };
    const Przypadek przypadki[] = {
        {"brak linii", {}, 0, "a", 0, -1},
        {"jedna pusta linia", {""}, 0, "", 0, 0},
        {"pierwsza z równie długich", {"ab", "abc", "xyz", "a"}, 1, "xy", 0, 2},
        {"szukanie od podanej linii", {"abc", "x", "abc"}, 0, "abc", 1, 2},
        {"polskie litery", {"Łódź", "Zażółć gęślą jaźń"}, 1, "jaźń", 0, 1},
        {"wielkość liter", {"ABC", "abc"}, 0, "abc", 0, 1},
        {"nie ma frazy", {"abc", "def"}, 0, "g", 0, -1},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        const LinieListy linie = Linie(p.teksty);
        ASSERT_EQ(linie.liczba(), static_cast<std::size_t>(p.teksty.size()));
        for (int i = 0; i < p.teksty.size(); ++i) EXPECT_EQ(linie.tekst(i), p.teksty[i]);
        EXPECT_EQ(linie.najdluzsza(), p.najdluzsza);
        EXPECT_EQ(linie.znajdz(QString::fromUtf8(p.fraza), p.od), p.znaleziona);

        // Joined from two parts split anywhere, the lines are the same.
        for (int k = 0; k <= p.teksty.size(); ++k) {
            LinieListy razem = Linie(p.teksty.mid(0, k));
            razem.dolacz(Linie(p.teksty.mid(k)));
            ASSERT_EQ(razem.liczba(), linie.liczba()) << k;
            for (std::size_t i = 0; i < linie.liczba(); ++i) EXPECT_EQ(razem.tekst(i), linie.tekst(i)) << k;
            EXPECT_EQ(razem.najdluzsza(), p.najdluzsza) << k;
        }

        ModelLinii model;
        model.ustaw(Linie(p.teksty));
        ASSERT_EQ(model.rowCount(), p.teksty.size());
        for (int i = 0; i < p.teksty.size(); ++i) {
            EXPECT_EQ(model.data(model.index(i), Qt::DisplayRole).toString(), p.teksty[i]);
            EXPECT_FALSE(model.data(model.index(i), Qt::EditRole).isValid());
        }
        EXPECT_FALSE(model.data(model.index(p.teksty.size()), Qt::DisplayRole).isValid());
    }
}

// Lines far wider than the list box (a client line joins five texts of 50 characters) are laid out
// whole, the longest not being the first, so the horizontal scroll bar reaches their ends.
TEST(ListaLinii, KazdaLiniaCalaWPoziomie) {
    ListaLinii lista(nullptr);
    lista.setFont(QFont(QStringLiteral("Courier New"), 8));
    lista.setGeometry(8, 30, 660, 500);
    const QStringList teksty = {"01 Krótki", QStringLiteral("02 ") + QString(76, u'ą'), QString(40, u'x')};
    LinieListy linie;
    for (const QString& t : teksty) {
        TTekst<80> pole{};
        pole.ustaw(t);
        LiniaListy linia;
        linia << pole << ' ' << pole << ' ' << pole;
        linie.dodaj(linia);
    }
    lista.ustawLinie(std::move(linie));
    lista.show();
    const QFontMetrics miary(lista.font());
    ASSERT_GT(miary.horizontalAdvance(lista.tekst(1)), lista.viewport()->width());
    for (int i = 0; i < lista.count(); ++i) {
        const QRect miejsce = lista.visualRect(lista.model()->index(i, 0));
        EXPECT_GE(miejsce.width(), miary.horizontalAdvance(lista.tekst(i))) << i;
    }
    EXPECT_GT(lista.horizontalScrollBar()->maximum(), 0);
}

}  // namespace
