// The pick-list panel with the list of stored documents: lines, search, taking a line, "Powrót".
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "app/siatka.h"
#include "documents/okno_na_danych.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

std::vector<TDokument> PiecDokumentow() {
    std::vector<TDokument> d;
    for (int i = 1; i <= 5; ++i)
        d.push_back(DokumentZTabela(i == 4 ? "K" : "F", QString::number(i),
                                    QStringLiteral("Odbiorca %1").arg(i), QStringLiteral("D%1").arg(i)));
    return d;
}

QStringList LinieListyFaktur(const ListaLinii* lista) {
    QStringList linie;
    for (int i = 0; i < lista->count(); ++i) linie << lista->tekst(i);
    return linie;
}

bool PanelOtwarty(const Tfaktura_f& okno) { return !okno.Panel3->isHidden() && !okno.Panel1->isEnabled(); }

TEST(ListaFaktur, PiecRekordowIWybranieTrzeciego) {
    const std::vector<TDokument> rekordy = PiecDokumentow();
    OknoNaDanych dane(rekordy);
    Tfaktura_f& okno = dane.uruchom();
    const QByteArray dokumentPrzed = Bajty(okno.Dokument);

    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    EXPECT_EQ(LinieListyFaktur(okno.lista),
              QStringList({"F 1/2011 Odbiorca 1", "F 2/2011 Odbiorca 2", "F 3/2011 Odbiorca 3",
                           "K 4/2011 Odbiorca 4", "F 5/2011 Odbiorca 5"}));
    EXPECT_EQ(okno.lista->currentRow(), 0);
    EXPECT_EQ(okno.Label20->text(), "Lista faktur");
    EXPECT_EQ(okno.TrybListy, RodzajListy::Dokumenty);
    EXPECT_TRUE(PanelOtwarty(okno));
    EXPECT_EQ(okno.Panel3->geometry(), QRect(4, 4, 678, 618));
    EXPECT_EQ(Bajty(okno.Dokument), dokumentPrzed) << "filling the list leaves Dokument alone";

    okno.lista->setCurrentRow(2);
    Kliknij(okno, &Tfaktura_f::SpeedButton11Click);
    EXPECT_EQ(okno.PozycjaDokumentu, 3);
    EXPECT_EQ(Bajty(okno.Dokument), Bajty(rekordy[2]));
    EXPECT_EQ(okno.odbiorca1->text(), "Odbiorca 3");
    EXPECT_EQ(okno.tabela->komorka(1, 1), "D3 p11");
    EXPECT_FALSE(PanelOtwarty(okno));
    EXPECT_TRUE(okno.Panel3->isHidden());
    EXPECT_TRUE(okno.SpeedButton9->isEnabled());
    EXPECT_EQ(okno.Label22->text(), "Edycja wczytanej faktury Vat");
    EXPECT_EQ(okno.Label23->text(), "");

    // A correction, taken by a double click.
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    okno.lista->setCurrentRow(3);
    okno.listaDblClick();
    EXPECT_EQ(okno.PozycjaDokumentu, 4);
    EXPECT_TRUE(okno.Korekta);
    EXPECT_FALSE(okno.SpeedButton9->isEnabled());
    EXPECT_EQ(okno.Label23->text(), "korygująca");
    EXPECT_EQ(okno.Label22->text(), "Edycja wczytanej faktury korygującej Vat");
    EXPECT_EQ(okno.tabela->komorka(1, 1), "D4 k11");
    EXPECT_TRUE(dane.platforma.bledy().empty());
}

TEST(ListaFaktur, NowyPlikMaJednaLinie) {
    OknoNaDanych dane;
    Tfaktura_f& okno = dane.uruchom();
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    EXPECT_EQ(LinieListyFaktur(okno.lista), QStringList{"F 0/2010-03-15 Początek bloczka faktur"});
    Kliknij(okno, &Tfaktura_f::SpeedButton11Click);
    EXPECT_EQ(okno.PozycjaDokumentu, 1);
    EXPECT_EQ(okno.odbiorca1->text(), "Początek bloczka faktur");
}

TEST(ListaFaktur, Szukanie) {
    struct Przypadek {
        const char* opis;
        QStringList odbiorcy;
        const char* fraza;
        int wybrana;  // selected line afterwards
        bool komunikat;
    };
    const Przypadek przypadki[] = {
        {"jedna linia", {"abc"}, "abc", 0, true},
        {"tylko w pierwszej linii", {"abc", "x", "y"}, "abc", 0, true},
        {"pierwsze trafienie od drugiej linii",
         {"a", "b", "c", "szukany", "d", "e", "f", "szukany"},
         "szuk",
         3,
         false},
        {"wielkość liter się liczy", {"a", "ABC"}, "abc", 0, true},
        {"pusta fraza niczego nie znajduje", {"a", "b"}, "", 0, true},
        {"fraza w numerze", {"a", "b", "c"}, "3/2011", 2, false},
        {"polskie litery", {"a", "b", "Zażółć gęślą"}, "gęś", 2, false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        std::vector<TDokument> rekordy;
        for (const QString& o : p.odbiorcy)
            rekordy.push_back(DokumentZTabela("F", QString::number(rekordy.size() + 1), o, "X"));
        OknoNaDanych dane(rekordy);
        Tfaktura_f& okno = dane.uruchom();
        Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
        okno.szukaj->setText(QString::fromUtf8(p.fraza));
        for (int powtorzenie = 0; powtorzenie < 2; ++powtorzenie) {
            okno.lista->setCurrentRow(okno.lista->count() - 1);
            dane.platforma.komunikaty.clear();
            Kliknij(okno, &Tfaktura_f::SpeedButton12Click);
            EXPECT_EQ(okno.lista->currentRow(), p.wybrana);
            EXPECT_TRUE(okno.lista->zaznaczony(p.wybrana));
            ASSERT_EQ(dane.platforma.komunikaty.size(), p.komunikat ? 1u : 0u);
            if (p.komunikat) {
                EXPECT_EQ(dane.platforma.komunikaty[0].rodzaj, "informacja");
                EXPECT_EQ(dane.platforma.komunikaty[0].tytul, "Informacja");
                EXPECT_EQ(dane.platforma.komunikaty[0].tekst, "Brak danych spełniających zadane kryteria.");
            }
        }
        EXPECT_EQ(okno.szukaj->text(), QString::fromUtf8(p.fraza));
        EXPECT_EQ(okno.lista->count(), p.odbiorcy.size());
    }
}

// The list box as a person and a screen reader meet it: each line a list item with its text,
// arrow keys move the selection.
TEST(ListaFaktur, ListaJakPoleListy) {
    std::vector<TDokument> rekordy;
    const QStringList odbiorcy = {"Krótki", "Średni odbiorca", "Bardzo długa nazwa odbiorcy z Łodzi i okolic",
                                  "x"};
    for (const QString& o : odbiorcy)
        rekordy.push_back(DokumentZTabela("F", QString::number(rekordy.size() + 1), o, "X"));
    OknoNaDanych dane(rekordy);
    Tfaktura_f& okno = dane.uruchom();
    okno.show();
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    ASSERT_EQ(okno.lista->count(), 4);

    QAccessibleInterface* dostep = QAccessible::queryAccessibleInterface(okno.lista);
    ASSERT_NE(dostep, nullptr);
    EXPECT_EQ(dostep->role(), QAccessible::List);
    EXPECT_EQ(dostep->text(QAccessible::Name), "Lista");
    ASSERT_EQ(dostep->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dostep->child(i)->role(), QAccessible::ListItem);
        EXPECT_EQ(dostep->child(i)->text(QAccessible::Name),
                  QStringLiteral("F %1/2011 %2").arg(i + 1).arg(odbiorcy[i]));
    }
    EXPECT_TRUE(dostep->child(0)->state().selected);

    okno.lista->setFocus();
    QTest::keyClick(okno.lista, Qt::Key_Down);
    QTest::keyClick(okno.lista, Qt::Key_Down);
    EXPECT_EQ(okno.lista->currentRow(), 2);
    EXPECT_EQ(okno.lista->wybranyWiersz(), 2);
    EXPECT_TRUE(dostep->child(2)->state().selected);
    Kliknij(okno, &Tfaktura_f::SpeedButton11Click);
    EXPECT_EQ(okno.PozycjaDokumentu, 3);

    // The next filling replaces the lines and selects the first.
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    EXPECT_EQ(okno.lista->count(), 4);
    EXPECT_EQ(okno.lista->currentRow(), 0);
}

// A long file is read in two halves at once: the lines are those of one pass, in file order, and a
// torn tail stays out of the list.
TEST(ListaFaktur, DlugiPlikWDwochPolowach) {
    std::vector<TDokument> rekordy;
    for (int i = 1; i <= 10001; ++i)
        rekordy.push_back(
            Dokument(i % 7 == 0 ? "K" : "F", QString::number(i), QStringLiteral("Odbiorca %1").arg(i)));
    rekordy[7000].odbiorca1.ustaw(QString(50, u'ż'));
    OknoNaDanych dane(rekordy);
    {
        QFile plik(dane.katalog.plik(PlikDokumentow));
        ASSERT_TRUE(plik.open(QIODevice::Append));
        plik.write(QByteArray(100, 'x'));
    }
    Tfaktura_f& okno = dane.uruchom();
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    ASSERT_EQ(okno.lista->count(), 10001);
    for (int i = 0; i < 10001; ++i) {
        const QString odbiorca = i == 7000 ? QString(50, u'ż') : QStringLiteral("Odbiorca %1").arg(i + 1);
        ASSERT_EQ(okno.lista->tekst(i), QStringLiteral("%1 %2/%3 %4")
                                            .arg((i + 1) % 7 == 0 ? "K" : "F")
                                            .arg(i + 1)
                                            .arg(rekordy[i].rozszerzenie.tekst(), odbiorca))
            << i;
    }
    EXPECT_EQ(okno.lista->linie().najdluzsza(), 7000u);
    okno.szukaj->setText(QStringLiteral("Odbiorca 9999"));
    Kliknij(okno, &Tfaktura_f::SpeedButton12Click);
    EXPECT_EQ(okno.lista->currentRow(), 9998);
}

// "Powrót" from the invoice list: the form still shows the document it showed when the list
// opened. Saving it afterwards must write no other content over a stored record and must store a
// correction as a correction.
TEST(ListaFaktur, PowrotPrzywracaStanDokumentu) {
    struct Przypadek {
        const char* stan;
        std::vector<void (Tfaktura_f::*)()> kroki;  // from the last stored document
        const char* zapisanyRodzaj;                 // of the record saved afterwards
        bool dopisany;                              // appended rather than replaced
    };
    const Przypadek przypadki[] = {
        {"nowa faktura", {&Tfaktura_f::SpeedButton6Click}, "F", true},
        {"nowa korekta", {&Tfaktura_f::SpeedButton9Click}, "K", true},
        {"wczytana korekta", {&Tfaktura_f::SpeedButton16Click}, "K", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.stan);
        const bool korekta = QByteArray(p.zapisanyRodzaj) == "K" && !p.dopisany;
        const std::vector<TDokument> rekordy = {DokumentZTabela("F", "1", "A", "A"),
                                                DokumentZTabela(korekta ? "K" : "F", "2", "B", "B")};
        OknoNaDanych dane(rekordy);
        Tfaktura_f& okno = dane.uruchom();
        for (auto krok : p.kroki) (okno.*krok)();
        const bool nowy = okno.NowyDokument, kor = okno.Korekta, usuwanie = okno.UsuwanieDozwolone;
        const bool nowaFaktura = okno.SpeedButton6->isEnabledTo(okno.Panel1);
        okno.odbiorca1->setText(QStringLiteral("Z formularza"));

        Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
        okno.lista->setCurrentRow(0);
        Kliknij(okno, &Tfaktura_f::SpeedButton10Click);
        EXPECT_TRUE(okno.Panel3->isHidden());
        EXPECT_TRUE(okno.Panel1->isEnabled());
        EXPECT_EQ(okno.NowyDokument, nowy);
        EXPECT_EQ(okno.Korekta, kor);
        EXPECT_EQ(okno.UsuwanieDozwolone, usuwanie);
        EXPECT_EQ(okno.SpeedButton6->isEnabledTo(okno.Panel1), nowaFaktura);
        EXPECT_EQ(okno.odbiorca1->text(), "Z formularza");

        Zapisz(okno, dane.platforma);
        ASSERT_TRUE(dane.platforma.bledy().empty()) << dane.platforma.bledy().front().toStdString();
        const std::vector<TDokument> po = Rekordy(dane.dokumenty());
        ASSERT_EQ(po.size(), p.dopisany ? 3u : 2u);
        EXPECT_EQ(Bajty(po[0]), Bajty(rekordy[0]));
        if (p.dopisany) {
            EXPECT_EQ(Bajty(po[1]), Bajty(rekordy[1])) << "the record shown before is untouched";
        }
        const TDokument& zapisany = po.back();
        EXPECT_EQ(zapisany.rodzaj.tekst(), p.zapisanyRodzaj);
        EXPECT_EQ(zapisany.odbiorca1.tekst(), "Z formularza");
        if (QByteArray(p.zapisanyRodzaj) == "K") {
            EXPECT_EQ(zapisany.pozycje[0][0].tekst(), "B p11") << "the correction keeps the invoice's tables";
        }
    }
}

TEST(ListaFaktur, PowrotZWidokuFakturyKorektyNieDopuszczaZapisu) {
    OknoNaDanych dane({DokumentZTabela("K", "1", "A", "A")});
    Tfaktura_f& okno = dane.uruchom();
    okno.SpeedButton15Click();
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    Kliknij(okno, &Tfaktura_f::SpeedButton10Click);
    EXPECT_FALSE(okno.ZapisDozwolony);
    EXPECT_TRUE(okno.Korekta);
    const QByteArray przed = dane.dokumenty();
    Zapisz(okno, dane.platforma);
    EXPECT_EQ(dane.dokumenty(), przed);
}

TEST(ListaFaktur, NieczytelnyPlikZostawiaOknoJakBylo) {
    OknoNaDanych dane({DokumentZTabela("F", "1", "A", "A")});
    ZawodnySystemPlikow zawodny;
    auto okno = UruchomOkno(dane.platforma, zawodny);
    okno->SpeedButton6Click();
    for (int k = 1; k <= 3; ++k) {  // open, size, read
        SCOPED_TRACE(k);
        dane.platforma.komunikaty.clear();
        zawodny.zawiedzOd(k, false);
        Kliknij(*okno, &Tfaktura_f::SpeedButton3Click);
        EXPECT_EQ(dane.platforma.bledy().size(), 1u);
        EXPECT_TRUE(okno->Panel3->isHidden());
        EXPECT_TRUE(okno->Panel1->isEnabled());
        EXPECT_TRUE(okno->NowyDokument);
        EXPECT_FALSE(okno->UsuwanieDozwolone);
        EXPECT_FALSE(okno->SpeedButton6->isEnabledTo(okno->Panel1));
        EXPECT_EQ(zawodny.liczbaOtwartych(), 0);
    }
}

TEST(ListaFaktur, NieudaneWybranieZostawiaPanelIDokument) {
    OknoNaDanych dane({DokumentZTabela("F", "1", "A", "A"), DokumentZTabela("K", "2", "B", "B")});
    ZawodnySystemPlikow zawodny;
    auto okno = UruchomOkno(dane.platforma, zawodny);
    const QByteArray dokument = Bajty(okno->Dokument);
    Kliknij(*okno, &Tfaktura_f::SpeedButton3Click);
    okno->lista->setCurrentRow(0);
    zawodny.zawiedzOd(3, false);  // open, size, read: the read
    Kliknij(*okno, &Tfaktura_f::SpeedButton11Click);
    EXPECT_EQ(dane.platforma.bledy().size(), 1u);
    EXPECT_TRUE(PanelOtwarty(*okno)) << "Powrót closes it";
    EXPECT_EQ(Bajty(okno->Dokument), dokument);
    EXPECT_EQ(okno->PozycjaDokumentu, 2);
    Kliknij(*okno, &Tfaktura_f::SpeedButton10Click);
    EXPECT_TRUE(okno->Korekta);
}

// The buttons reach their handlers through the window's error guard.
TEST(Przyciski, SaPolaczone) {
    OknoNaDanych dane({DokumentZTabela("F", "1", "A", "A"), DokumentZTabela("F", "2", "B", "B"),
                       DokumentZTabela("K", "3", "C", "C")});
    Tfaktura_f& okno = dane.uruchom();
    okno.SpeedButton15->click();
    EXPECT_FALSE(okno.ZapisDozwolony);
    okno.SpeedButton16->click();
    EXPECT_TRUE(okno.ZapisDozwolony);
    okno.SpeedButton8->click();
    okno.SpeedButton2->click();
    EXPECT_EQ(dane.platforma.komunikaty.size(), 2u) << "both asked their question";
    okno.SpeedButton3->click();
    EXPECT_FALSE(okno.Panel3->isHidden());
    okno.szukaj->setText(QStringLiteral("B"));
    okno.SpeedButton12->click();
    EXPECT_EQ(okno.lista->currentRow(), 1);
    okno.SpeedButton11->click();
    EXPECT_TRUE(okno.Panel3->isHidden());
    EXPECT_EQ(okno.PozycjaDokumentu, 2);
    okno.SpeedButton9->click();
    EXPECT_TRUE(okno.Korekta && okno.NowyDokument);
    okno.SpeedButton6->click();
    EXPECT_FALSE(okno.Korekta);
    okno.SpeedButton3->click();
    okno.SpeedButton10->click();
    EXPECT_TRUE(okno.Panel3->isHidden());
    okno.SpeedButton5->click();
    okno.SpeedButton13->click();
    ASSERT_EQ(dane.platforma.dialogi.size(), 2u);
    EXPECT_EQ(dane.platforma.dialogi[0].filtr, "Lista klientów|*.kli;klienci.dat");
    EXPECT_EQ(dane.platforma.dialogi[1].filtr, "Lista usług|*.usl;uslugi.dat");
    EXPECT_TRUE(dane.platforma.bledy().empty());
}

}  // namespace
