// Client and service lists: the file dialogs, the list lines, choosing into the form or the grid,
// the double clicks that open them, and files that cannot be read.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/platforma.h"
#include "app/siatka.h"
#include "documents/okno_na_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

namespace {

struct Klient {
    int slot;
    const char *odbiorca1, *odbiorca2, *odbiorca3, *odbiorca4, *nip;
};

std::unique_ptr<TBazaKlientow> BazaKlientow(std::initializer_list<Klient> klienci) {
    auto baza = std::make_unique<TBazaKlientow>();
    for (int s = 0; s < TBazaKlientow::LiczbaMiejsc; ++s)
        baza->numer[s].ustaw(QStringLiteral("%1").arg(s + 1, 2, 10, QLatin1Char('0')));
    for (const Klient& k : klienci) {
        baza->odbiorca1[k.slot].ustaw(QString::fromUtf8(k.odbiorca1));
        baza->odbiorca2[k.slot].ustaw(QString::fromUtf8(k.odbiorca2));
        baza->odbiorca3[k.slot].ustaw(QString::fromUtf8(k.odbiorca3));
        baza->odbiorca4[k.slot].ustaw(QString::fromUtf8(k.odbiorca4));
        baza->nip_odbiorcy[k.slot].ustaw(QString::fromUtf8(k.nip));
    }
    return baza;
}

struct Usluga {
    int slot;
    const char *nazwa, *pkwiu, *jm, *vat, *netto;
};

std::unique_ptr<TBazaUslug> BazaUslug(std::initializer_list<Usluga> uslugi) {
    auto baza = std::make_unique<TBazaUslug>();
    for (int s = 0; s < TBazaUslug::LiczbaMiejsc; ++s)
        baza->numer[s].ustaw(QStringLiteral("%1").arg(s + 1, 2, 10, QLatin1Char('0')));
    for (const Usluga& u : uslugi) {
        baza->nazwa_uslugi[u.slot].ustaw(QString::fromUtf8(u.nazwa));
        baza->pkwiu[u.slot].ustaw(QString::fromUtf8(u.pkwiu));
        baza->jm[u.slot].ustaw(QString::fromUtf8(u.jm));
        baza->vat[u.slot].ustaw(QString::fromUtf8(u.vat));
        baza->netto[u.slot].ustaw(QString::fromUtf8(u.netto));
    }
    return baza;
}

QStringList LinieListyBaz(const ListaLinii* lista) {
    QStringList linie;
    for (int i = 0; i < lista->count(); ++i) linie << lista->tekst(i);
    return linie;
}

class ListyBaz : public ::testing::Test {
  protected:
    void SetUp() override { dane_.uruchom(); }
    Tfaktura_f& okno() { return *dane_.okno; }
    QString zapiszPlik(const QString& wzgledna, const QByteArray& bajty) {
        dane_.katalog.zapisz(wzgledna, bajty);
        return dane_.katalog.plik(wzgledna);
    }
    void wybierz(const QString& plik) { dane_.platforma.wybranePliki.push_back(plik); }
    // The working directory is somewhere else, as a file dialog may leave it.
    void zmienKatalog() { QDir::setCurrent(dane_.katalog.plik("Uslugi")); }
    bool wKataloguDanych() const {
        return QDir::currentPath() == RzeczywistaSciezka(DomyslnySystemPlikow(), dane_.okno->KatalogDanych);
    }

    OknoNaDanych dane_{{DokumentZTabela("F", "1", "A", "A")}};
};

TEST_F(ListyBaz, KlienciZWybranychMiejsc) {
    const auto baza = BazaKlientow({
        {0, "Firma A", "ul. Długa 1", "00-001 Warszawa", "Polska", "111-222-33-44"},
        {1, "Firma B", "", "", "", ""},
        {3, "", "tylko druga linia", "x", "y", "z"},
        {5, "Żabka", "ul. Krótka 2", "30-001 Kraków", "woj. małopolskie", "555"},
    });
    const QString plik = zapiszPlik("Uslugi/firmy.kli", Bajty(*baza));
    wybierz(plik);
    zmienKatalog();
    Kliknij(okno(), &Tfaktura_f::SpeedButton5Click);

    ASSERT_EQ(dane_.platforma.dialogi.size(), 1u);
    EXPECT_EQ(dane_.platforma.dialogi[0].filtr, "Lista klientów|*.kli;klienci.dat");
    EXPECT_EQ(dane_.platforma.dialogi[0].domyslneRozszerzenie, "*.kli");
    EXPECT_EQ(dane_.platforma.dialogi[0].folderPoczatkowy, "Uslugi");
    EXPECT_EQ(okno().Label20->text(), "Baza klientów " + plik);
    EXPECT_EQ(okno().TrybListy, RodzajListy::Klienci);
    EXPECT_EQ(LinieListyBaz(okno().lista),
              QStringList({"01 Firma A ul. Długa 1 111-222-33-44 Polska 00-001 Warszawa", "02 Firma B    ",
                           "06 Żabka ul. Krótka 2 555 woj. małopolskie 30-001 Kraków"}));
    EXPECT_EQ(okno().lista->currentRow(), 0);
    EXPECT_FALSE(okno().Panel3->isHidden());
    EXPECT_FALSE(okno().Panel1->isEnabled());
    EXPECT_TRUE(wKataloguDanych());

    okno().lista->setCurrentRow(2);
    Kliknij(okno(), &Tfaktura_f::SpeedButton11Click);
    EXPECT_EQ(okno().odbiorca1->text(), "Żabka");
    EXPECT_EQ(okno().odbiorca2->text(), "ul. Krótka 2");
    EXPECT_EQ(okno().odbiorca3->text(), "30-001 Kraków");
    EXPECT_EQ(okno().odbiorca4->text(), "woj. małopolskie");
    EXPECT_EQ(okno().nip_odbiorcy->text(), "555");
    EXPECT_EQ(okno().numerator->text(), "1") << "nothing else in the form changes";
    EXPECT_EQ(okno().PozycjaDokumentu, 1);
    EXPECT_TRUE(okno().Panel3->isHidden());
    EXPECT_TRUE(okno().Panel1->isEnabled());
    EXPECT_TRUE(dane_.platforma.bledy().empty());
}

// The default lists that the settings program fills are offered beside the chosen ones, under the
// same caption, and choosing one opens it like any other list.
TEST_F(ListyBaz, DialogOferujeListyDomyslne) {
    struct Przypadek {
        const char* opis;
        void (Tfaktura_f::*otworz)();
        const char* filtrQt;
        const char* plik;
        QByteArray bajty;
        const char* linia;
        RodzajListy tryb;
    };
    const Przypadek przypadki[] = {
        {"klienci", &Tfaktura_f::SpeedButton5Click, "Lista klientów (*.kli klienci.dat)",
         "Uslugi/klienci.dat", Bajty(*BazaKlientow({{2, "Firma C", "ul. Polna 3", "", "", "123"}})),
         "03 Firma C ul. Polna 3 123  ", RodzajListy::Klienci},
        {"usługi", &Tfaktura_f::SpeedButton13Click, "Lista usług (*.usl uslugi.dat)", "Uslugi/uslugi.dat",
         Bajty(*BazaUslug({{1, "Montaż", "43.21", "szt.", "23", "150.00"}})), "02 Montaż 43.21 150.00 23",
         RodzajListy::Uslugi},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        dane_.platforma.dialogi.clear();
        const QString plik = zapiszPlik(QString::fromUtf8(p.plik), p.bajty);
        wybierz(plik);
        Kliknij(okno(), p.otworz);

        ASSERT_EQ(dane_.platforma.dialogi.size(), 1u);
        const OpisDialoguPliku& dialog = dane_.platforma.dialogi[0];
        EXPECT_EQ(dialog.folderPoczatkowy, "Uslugi");
        const QString filtr = FiltrQt(dialog);
        EXPECT_EQ(filtr, QString::fromUtf8(p.filtrQt));
        // The patterns between the parentheses, matched as the dialog matches names.
        const QString wzorce = filtr.section(QLatin1Char('('), 1).chopped(1);
        const QString rozszerzenie = dialog.domyslneRozszerzenie.mid(1);
        const struct {
            QString nazwa;
            bool oferowana;
        } nazwy[] = {
            {QFileInfo(plik).fileName(), true},
            {"moja" + rozszerzenie, true},
            {"faktura.dat", false},
            {"dokumenty.dat", false},
            {QFileInfo(plik).fileName() + ".tmp", false},
        };
        for (const auto& n : nazwy)
            EXPECT_EQ(QDir::match(wzorce, n.nazwa), n.oferowana) << n.nazwa.toStdString();

        EXPECT_TRUE(okno().Label20->text().endsWith(plik)) << okno().Label20->text().toStdString();
        EXPECT_EQ(okno().TrybListy, p.tryb);
        EXPECT_EQ(LinieListyBaz(okno().lista), QStringList{QString::fromUtf8(p.linia)});
        EXPECT_TRUE(dane_.platforma.bledy().empty());
        Kliknij(okno(), &Tfaktura_f::SpeedButton10Click);
    }
}

TEST_F(ListyBaz, PustaBazaKlientowDajePustaListe) {
    const QString plik = dane_.katalog.plik("Uslugi/klienci.dat");
    const QString odbiorca = okno().odbiorca1->text();
    wybierz(plik);
    Kliknij(okno(), &Tfaktura_f::SpeedButton5Click);
    EXPECT_EQ(okno().lista->count(), 0);
    // Nothing to take: the panel stays open until "Powrót".
    Kliknij(okno(), &Tfaktura_f::SpeedButton11Click);
    EXPECT_FALSE(okno().Panel3->isHidden());
    EXPECT_EQ(okno().odbiorca1->text(), odbiorca);
    Kliknij(okno(), &Tfaktura_f::SpeedButton10Click);
    EXPECT_TRUE(okno().Panel3->isHidden());
    EXPECT_TRUE(okno().Panel1->isEnabled());
    EXPECT_TRUE(dane_.platforma.bledy().empty());
}

TEST_F(ListyBaz, DluzszyPlikKlientowDajeTylkoPierwszyRekord) {
    const auto pierwszy = BazaKlientow({{7, "Pierwszy", "", "", "", ""}});
    const auto drugi = BazaKlientow({{2, "Drugi", "", "", "", ""}});
    wybierz(zapiszPlik("Uslugi/dwa.kli", Bajty(*pierwszy) + Bajty(*drugi)));
    Kliknij(okno(), &Tfaktura_f::SpeedButton5Click);
    EXPECT_EQ(LinieListyBaz(okno().lista), QStringList{"08 Pierwszy    "});
}

TEST_F(ListyBaz, AnulowanyDialogNicNieZmienia) {
    zmienKatalog();
    Kliknij(okno(), &Tfaktura_f::SpeedButton13Click);
    EXPECT_TRUE(okno().Panel3->isHidden());
    EXPECT_TRUE(okno().Panel1->isEnabled());
    EXPECT_EQ(okno().TrybListy, RodzajListy::Brak);
    EXPECT_TRUE(wKataloguDanych());
}

TEST_F(ListyBaz, NieczytelnyPlikZwracaKolumnePrzyciskowIKatalog) {
    struct Przypadek {
        const char* opis;
        QByteArray bajty;  // empty: no such file
        void (Tfaktura_f::*otworz)();
    };
    const Przypadek przypadki[] = {
        {"brak pliku klientów", {}, &Tfaktura_f::SpeedButton5Click},
        {"za krótki plik klientów", QByteArray(1000, 'x'), &Tfaktura_f::SpeedButton5Click},
        {"za krótki plik usług", QByteArray(36983, '\0'), &Tfaktura_f::SpeedButton13Click},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        dane_.platforma.komunikaty.clear();
        const QString plik =
            p.bajty.isEmpty() ? dane_.katalog.plik("Uslugi/brak.kli") : zapiszPlik("Uslugi/zly.dat", p.bajty);
        wybierz(plik);
        zmienKatalog();
        Kliknij(okno(), p.otworz);
        ASSERT_EQ(dane_.platforma.bledy().size(), 1u);
        EXPECT_TRUE(dane_.platforma.bledy()[0].contains(plik)) << dane_.platforma.bledy()[0].toStdString();
        EXPECT_TRUE(okno().Panel3->isHidden());
        EXPECT_TRUE(okno().Panel1->isEnabled());
        EXPECT_TRUE(wKataloguDanych());
    }
}

TEST_F(ListyBaz, UslugiIWybranieWDrugimWierszu) {
    const auto baza = BazaUslug({
        {0, "Usługa A", "12.34.56", "szt.", "23", "100.00"},
        {2, "Usługa C", "", "godz.", "8", "50.00"},
        {4, "", "bez nazwy", "", "", ""},
    });
    const QString plik = zapiszPlik("Uslugi/cennik.usl", Bajty(*baza));
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r)
            okno().tabela->ustawKomorke(c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
    okno().tabela->setCurrentCell(1, 4);  // row 2 of the grid, column "Ilość"

    wybierz(plik);
    Kliknij(okno(), &Tfaktura_f::SpeedButton13Click);
    ASSERT_EQ(dane_.platforma.dialogi.size(), 1u);
    EXPECT_EQ(dane_.platforma.dialogi[0].filtr, "Lista usług|*.usl;uslugi.dat");
    EXPECT_EQ(dane_.platforma.dialogi[0].domyslneRozszerzenie, "*.usl");
    EXPECT_EQ(dane_.platforma.dialogi[0].folderPoczatkowy, "Uslugi");
    EXPECT_EQ(okno().Label20->text(), "Lista usług " + plik);
    EXPECT_EQ(okno().TrybListy, RodzajListy::Uslugi);
    EXPECT_EQ(LinieListyBaz(okno().lista),
              QStringList({"01 Usługa A 12.34.56 100.00 23", "03 Usługa C  50.00 8"}));

    okno().lista->setCurrentRow(1);
    Kliknij(okno(), &Tfaktura_f::SpeedButton11Click);
    const QStringList wiersz2 = {"Usługa C", "", "godz.", "c4r2", "50.00", "8"};
    for (int c = 1; c <= 6; ++c) {
        for (int r = 1; r <= 3; ++r) {
            const QString oczekiwany = r == 2 ? wiersz2[c - 1] : QStringLiteral("c%1r%2").arg(c).arg(r);
            EXPECT_EQ(okno().tabela->komorka(c, r), oczekiwany) << "c=" << c << " r=" << r;
        }
    }
    EXPECT_TRUE(dane_.platforma.bledy().empty());
}

TEST_F(ListyBaz, UslugaNieTrafiaDoTabeliFakturyPrzedKorekta) {
    OknoNaDanych korekta({DokumentZTabela("K", "1", "A", "A")});
    Tfaktura_f& k = korekta.uruchom();
    const auto baza = BazaUslug({{0, "Usługa A", "1", "szt.", "23", "100.00"}});
    korekta.katalog.zapisz("Uslugi/c.usl", Bajty(*baza));
    k.SpeedButton15Click();
    korekta.platforma.wybranePliki.push_back(korekta.katalog.plik("Uslugi/c.usl"));
    Kliknij(k, &Tfaktura_f::SpeedButton13Click);
    Kliknij(k, &Tfaktura_f::SpeedButton11Click);
    EXPECT_EQ(k.tabela->komorka(1, 1), "A p11");
    EXPECT_TRUE(k.Panel3->isHidden());
}

TEST_F(ListyBaz, DwuklikiOtwierajaListy) {
    struct Przypadek {
        const char* opis;
        std::function<QWidget*(Tfaktura_f&)> cel;
        const char* filtr;
        RodzajListy tryb;
    };
    const Przypadek przypadki[] = {
        {"odbiorca1", [](Tfaktura_f& o) -> QWidget* { return o.odbiorca1; },
         "Lista klientów|*.kli;klienci.dat", RodzajListy::Klienci},
        {"odbiorca4", [](Tfaktura_f& o) -> QWidget* { return o.odbiorca4; },
         "Lista klientów|*.kli;klienci.dat", RodzajListy::Klienci},
        {"komórka tabeli", [](Tfaktura_f& o) -> QWidget* { return o.tabela->viewport(); },
         "Lista usług|*.usl;uslugi.dat", RodzajListy::Uslugi},
        {"edytor komórki",
         [](Tfaktura_f& o) -> QWidget* {
             o.tabela->editItem(o.tabela->item(1, 1));
             return o.tabela->viewport()->findChild<QLineEdit*>();
         },
         "Lista usług|*.usl;uslugi.dat", RodzajListy::Uslugi},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        dane_.platforma.dialogi.clear();
        okno().TrybListy = RodzajListy::Brak;
        QWidget* cel = p.cel(okno());
        ASSERT_NE(cel, nullptr);
        QTest::mouseDClick(cel, Qt::LeftButton);
        ASSERT_EQ(dane_.platforma.dialogi.size(), 1u);
        EXPECT_EQ(dane_.platforma.dialogi[0].filtr, p.filtr);
        EXPECT_EQ(okno().TrybListy, p.tryb) << "set before the dialog, which was cancelled";
    }

    // A double click on the list takes the selected line.
    Kliknij(okno(), &Tfaktura_f::SpeedButton3Click);
    QTest::mouseDClick(okno().lista->viewport(), Qt::LeftButton);
    EXPECT_TRUE(okno().Panel3->isHidden());
    EXPECT_TRUE(dane_.platforma.bledy().empty());
}

}  // namespace
