// The two views of a stored correction: the invoice's tables before it and the corrected tables.
#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>

#include "app/siatka.h"
#include "documents/okno_na_danych.h"

namespace {

// The grids show the tables marked `znacznik` of the kind `pozycja`/`stawka` ("p"/"s" for the
// invoice, "k"/"v" for the correction, as DokumentZTabela marks them).
void OczekujTabel(const Tfaktura_f& okno, const QString& znacznik, const char* pozycja, const char* stawka) {
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r)
            EXPECT_EQ(okno.tabela->komorka(c, r),
                      QStringLiteral("%1 %2%3%4").arg(znacznik, pozycja).arg(c).arg(r));
    for (int c = 0; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r)
            EXPECT_EQ(okno.tabela_vat->komorka(c, r),
                      QStringLiteral("%1 %2%3%4").arg(znacznik, stawka).arg(c).arg(r));
}

void OczekujWidoku(const Tfaktura_f& okno, std::int32_t kolor, const char* tytul, bool edycja) {
    EXPECT_EQ(okno.tabela->kolorCzcionki(), kolor);
    EXPECT_EQ(okno.tabela_vat->kolorCzcionki(), kolor);
    EXPECT_EQ(Tfaktura_f::KolorCzcionki(okno.Label25), kolor);
    EXPECT_EQ(okno.Label25->text(), QString::fromUtf8(tytul));
    EXPECT_EQ(okno.tabela->isEnabled(), edycja);
    EXPECT_EQ(okno.ZapisDozwolony, edycja);
}

TEST(WidokiKorekty, PrzedKorektaIPoKorekcie) {
    OknoNaDanych dane({DokumentZTabela("K", "1", "A", "A")});
    Tfaktura_f& okno = dane.uruchom();
    OczekujTabel(okno, "A", "k", "v");

    okno.SpeedButton15Click();
    OczekujWidoku(okno, Tfaktura_f::KolorFaktury, "Tabelka faktury", false);
    OczekujTabel(okno, "A", "p", "s");
    okno.Timer2Timer();
    EXPECT_FALSE(okno.SpeedButton2->isEnabled()) << "saving is not offered for the invoice's tables";
    EXPECT_FALSE(okno.SpeedButton15->isHidden());

    okno.SpeedButton16Click();
    OczekujWidoku(okno, Tfaktura_f::KolorKorekty, "Tabelka korekty", true);
    OczekujTabel(okno, "A", "k", "v");
    okno.Timer2Timer();
    EXPECT_TRUE(okno.SpeedButton2->isEnabled());
}

TEST(WidokiKorekty, ZmianyKorektyPrzetrwajaPokazanieFaktury) {
    OknoNaDanych dane({DokumentZTabela("K", "1", "A", "A")});
    Tfaktura_f& okno = dane.uruchom();
    okno.tabela->ustawKomorke(1, 2, QStringLiteral("poprawione"));
    okno.SpeedButton15Click();
    EXPECT_EQ(okno.tabela->komorka(1, 2), "A p12");
    okno.SpeedButton16Click();
    EXPECT_EQ(okno.tabela->komorka(1, 2), "poprawione");
    EXPECT_EQ(dane.katalog.rekord<TDokument>(PlikDokumentow).pozycje_korekty[0][1].tekst(), "A k12")
        << "the views never write the file";
}

TEST(WidokiKorekty, PoKorekcieBezPrzejsciaPrzywracaTabeleZPamieci) {
    OknoNaDanych dane({DokumentZTabela("K", "1", "A", "A")});
    Tfaktura_f& okno = dane.uruchom();
    okno.tabela->ustawKomorke(1, 2, QStringLiteral("niezapamiętane"));
    okno.SpeedButton16Click();
    EXPECT_EQ(okno.tabela->komorka(1, 2), "A k12");
}

TEST(WidokiKorekty, DrugiePokazanieFakturyNieNadpisujeKorekty) {
    OknoNaDanych dane({DokumentZTabela("K", "1", "A", "A")});
    Tfaktura_f& okno = dane.uruchom();
    okno.tabela->ustawKomorke(3, 1, QStringLiteral("zmiana"));
    okno.SpeedButton15Click();
    okno.SpeedButton15Click();
    OczekujWidoku(okno, Tfaktura_f::KolorFaktury, "Tabelka faktury", false);
    OczekujTabel(okno, "A", "p", "s");
    EXPECT_EQ(okno.Dokument.pozycje_korekty[2][0].tekst(), "zmiana");
    EXPECT_EQ(okno.Dokument.pozycje_korekty[0][0].tekst(), "A k11");
    okno.SpeedButton16Click();
    EXPECT_EQ(okno.tabela->komorka(3, 1), "zmiana");
    EXPECT_EQ(okno.tabela->komorka(1, 1), "A k11");
}

}  // namespace
