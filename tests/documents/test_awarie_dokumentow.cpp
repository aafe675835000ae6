// Saving and deleting while the k-th file operation fails, once or for good, and after a crash:
// the document file is always the old one or the new one, whole, and nothing else is left.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <functional>

#include "app/siatka.h"
#include "documents/okno_na_danych.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

using Krok = std::function<void(Tfaktura_f&, PlatformaTestowa&)>;

struct Scenariusz {
    std::vector<TDokument> dokumenty;
    Krok przygotuj;  // runs before the faults begin
    Krok dzialaj;    // the operation under the faults
    // Saving again what was saved changes nothing; deleting again would delete another document.
    bool powtarzalne;
};

struct Pliki {
    QByteArray dokumenty, faktura;
};

class AwarieDokumentow : public ::testing::Test {
  protected:
    void SetUp() override {
        TUstawieniaFaktury u{};
        u.numerator.ustaw(QStringLiteral("41"));
        ustawienia_ = Bajty(u);
    }

    // The folder as every run starts from it.
    void przywroc(const Scenariusz& s) {
        katalog_.zapiszRekordy(PlikDokumentow, s.dokumenty);
        katalog_.zapisz(PlikUstawienFaktury, ustawienia_);
    }
    Pliki pliki() const { return {katalog_.czytaj(PlikDokumentow), katalog_.czytaj(PlikUstawienFaktury)}; }
    QStringList folder(const QString& nazwa) const {
        return QDir(katalog_.plik(nazwa)).entryList(QDir::Files, QDir::Name);
    }

    // The files the operation leaves when nothing fails.
    Pliki bezAwarii(const Scenariusz& s) {
        przywroc(s);
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        s.przygotuj(*okno, platforma);
        s.dzialaj(*okno, platforma);
        EXPECT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();
        return pliki();
    }

    void kazdaOperacjaZawodzi(const Scenariusz& s) {
        const Pliki nowe = bezAwarii(s);
        przywroc(s);
        const Pliki stare = pliki();
        ASSERT_NE(nowe.dokumenty, stare.dokumenty);
        for (const bool naZawsze : {false, true}) {
            bool wszystkie = false;  // the k-th operation was not reached: every one has failed in turn
            for (int k = 1; !wszystkie && k < 100; ++k) {
                SCOPED_TRACE(testing::Message() << "k=" << k << " naZawsze=" << naZawsze);
                przywroc(s);
                ZawodnySystemPlikow zawodny;
                PlatformaTestowa platforma;
                auto okno = UruchomOkno(platforma, zawodny);
                s.przygotuj(*okno, platforma);
                const int przed = zawodny.liczbaOperacji();
                zawodny.zawiedzOd(k, naZawsze);
                s.dzialaj(*okno, platforma);
                wszystkie = zawodny.liczbaOperacji() - przed < k;
                if (wszystkie) {
                    EXPECT_TRUE(platforma.bledy().empty());
                } else {
                    EXPECT_GE(zawodny.liczbaBledow(), 1) << "the fault did not fire";
                }
                zawodny.napraw();

                const Pliki po = pliki();
                const bool staryLubNowy = po.dokumenty == stare.dokumenty || po.dokumenty == nowe.dokumenty;
                // A dead disk can cut back neither a half-written append nor a half-overwritten
                // record; saving again on a working disk writes the whole record over it.
                if (!naZawsze || !s.powtarzalne) {
                    EXPECT_TRUE(staryLubNowy) << "dokumenty.dat: " << po.dokumenty.size() << " bajtów";
                }
                EXPECT_TRUE(po.faktura == stare.faktura || po.faktura == nowe.faktura);
                EXPECT_EQ(zawodny.liczbaOtwartych(), 0);
                if (naZawsze) {
                    // Repeated on a working disk, the operation completes once, never twice.
                    platforma.komunikaty.clear();
                    if (po.dokumenty == stare.dokumenty || s.powtarzalne) s.dzialaj(*okno, platforma);
                    EXPECT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();
                    EXPECT_EQ(pliki().dokumenty, nowe.dokumenty);
                }
                EXPECT_EQ(folder("Uslugi"), PlikiUslug);
                // The settings file is replaced whole; only a dead disk may keep its temporary
                // file, which the next write of the settings replaces.
                QStringList admini = folder("Admini");
                if (naZawsze)
                    admini.removeIf(
                        [](const QString& n) { return n.startsWith("faktura.dat.") && n.endsWith(".tmp"); });
                EXPECT_EQ(admini, PlikiAdmini);
            }
            EXPECT_TRUE(wszystkie) << "the operation never completed";
        }
    }

    void awariaPoKazdejOperacji(const Scenariusz& s,
                                ZawodnySystemPlikow::Awaria rodzaj = ZawodnySystemPlikow::Awaria::Utrata) {
        const Pliki nowe = bezAwarii(s);
        przywroc(s);
        const Pliki stare = pliki();
        bool wszystkie = false;
        for (int k = 1; !wszystkie && k < 100; ++k) {
            SCOPED_TRACE(testing::Message() << "k=" << k);
            bool udane = false;
            przywroc(s);
            ZawodnySystemPlikow zawodny;
            PlatformaTestowa platforma;
            {
                auto okno = UruchomOkno(platforma, zawodny);
                s.przygotuj(*okno, platforma);
                const int przed = zawodny.liczbaOperacji();
                zawodny.zawiedzOd(k, true);
                s.dzialaj(*okno, platforma);
                wszystkie = zawodny.liczbaOperacji() - przed < k;
                udane = platforma.bledy().empty();
            }
            zawodny.symulujAwarie(rodzaj);
            {
                // The next start completes or undoes what the crash interrupted.
                PlatformaTestowa poAwarii;
                auto okno = UruchomOkno(poAwarii);
                EXPECT_TRUE(poAwarii.bledy().empty()) << poAwarii.bledy().front().toStdString();
            }
            const Pliki po = pliki();
            if (udane) {
                EXPECT_EQ(po.dokumenty, nowe.dokumenty) << "what was reported done survives";
            } else {
                EXPECT_TRUE(po.dokumenty == stare.dokumenty || po.dokumenty == nowe.dokumenty)
                    << "dokumenty.dat: " << po.dokumenty.size() << " bajtów";
            }
            EXPECT_TRUE(po.faktura == stare.faktura || po.faktura == nowe.faktura);
            EXPECT_EQ(folder("Uslugi"), PlikiUslug);
            EXPECT_EQ(folder("Admini"), PlikiAdmini);
        }
        EXPECT_TRUE(wszystkie);
    }

    KatalogTestowy katalog_;
    QByteArray ustawienia_;
};

const std::vector<TDokument> TrzyDokumenty = {DokumentZTabela("F", "1", "A", "A"),
                                              DokumentZTabela("K", "2", "B", "B"),
                                              DokumentZTabela("F", "3", "C", "C")};

Scenariusz NowaFaktura() {
    return {TrzyDokumenty,
            [](Tfaktura_f& okno, PlatformaTestowa&) {
                okno.SpeedButton6Click();
                okno.odbiorca1->setText(QStringLiteral("Nowy odbiorca"));
            },
            [](Tfaktura_f& okno, PlatformaTestowa& p) { Zapisz(okno, p); }, true};
}

Scenariusz NowaKorekta() {
    return {TrzyDokumenty,
            [](Tfaktura_f& okno, PlatformaTestowa&) {
                okno.SpeedButton9Click();
                okno.nip_odbiorcy->setText(QStringLiteral("123"));
            },
            [](Tfaktura_f& okno, PlatformaTestowa& p) { Zapisz(okno, p); }, true};
}

Scenariusz ZmianaKorekty() {
    return {TrzyDokumenty,
            [](Tfaktura_f& okno, PlatformaTestowa&) {
                WczytajZListy(okno, 1);
                // One change in each half of the record.
                okno.odbiorca3->setText(QStringLiteral("zmieniony"));
                okno.tabela->ustawKomorke(6, 3, QStringLiteral("23"));
            },
            [](Tfaktura_f& okno, PlatformaTestowa& p) { Zapisz(okno, p); }, true};
}

Scenariusz UsuniecieKorekty() {
    return {TrzyDokumenty, [](Tfaktura_f& okno, PlatformaTestowa&) { WczytajZListy(okno, 1); },
            [](Tfaktura_f& okno, PlatformaTestowa& p) { Usun(okno, p); }, false};
}

TEST_F(AwarieDokumentow, ZapisNowejFaktury) { kazdaOperacjaZawodzi(NowaFaktura()); }
TEST_F(AwarieDokumentow, ZapisNowejKorekty) { kazdaOperacjaZawodzi(NowaKorekta()); }
TEST_F(AwarieDokumentow, ZapisWMiejscu) { kazdaOperacjaZawodzi(ZmianaKorekty()); }
TEST_F(AwarieDokumentow, Usuniecie) { kazdaOperacjaZawodzi(UsuniecieKorekty()); }

TEST_F(AwarieDokumentow, AwariaPrzyZapisieNowej) { awariaPoKazdejOperacji(NowaFaktura()); }
TEST_F(AwarieDokumentow, AwariaPrzyZapisieWMiejscu) { awariaPoKazdejOperacji(ZmianaKorekty()); }
// A crash may leave garbage where the disk had not yet written what was not synced.
TEST_F(AwarieDokumentow, AwariaZeSmieciamiPrzyZapisieNowej) {
    awariaPoKazdejOperacji(NowaFaktura(), ZawodnySystemPlikow::Awaria::Smieci);
}
TEST_F(AwarieDokumentow, AwariaZeSmieciamiPrzyZapisieWMiejscu) {
    awariaPoKazdejOperacji(ZmianaKorekty(), ZawodnySystemPlikow::Awaria::Smieci);
}
TEST_F(AwarieDokumentow, AwariaPrzyUsuwaniu) { awariaPoKazdejOperacji(UsuniecieKorekty()); }
TEST_F(AwarieDokumentow, AwariaZeSmieciamiPrzyUsuwaniu) {
    awariaPoKazdejOperacji(UsuniecieKorekty(), ZawodnySystemPlikow::Awaria::Smieci);
}

// A failed delete leaves the window on the document it showed, a correction still a correction, so
// that saving it afterwards writes it where it was and as what it was.
TEST_F(AwarieDokumentow, PoNieudanymUsunieciuZapisTrafiaWTenSamRekord) {
    katalog_.zapiszRekordy(PlikDokumentow, TrzyDokumenty);
    ZawodnySystemPlikow zawodny;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma, zawodny);
    WczytajZListy(*okno, 1);
    zawodny.zawiedz(ZawodnySystemPlikow::Operacja::Kopiowanie, QStringLiteral("dokumenty.old"));
    Usun(*okno, platforma);
    ASSERT_EQ(zawodny.liczbaBledow(), 1);
    ASSERT_EQ(platforma.bledy().size(), 1u);
    EXPECT_TRUE(okno->Korekta);
    EXPECT_EQ(okno->PozycjaDokumentu, 2);
    okno->odbiorca2->setText(QStringLiteral("po błędzie"));
    Zapisz(*okno, platforma);
    const std::vector<TDokument> po = Rekordy(katalog_.czytaj(PlikDokumentow));
    ASSERT_EQ(po.size(), 3u);
    EXPECT_EQ(po[1].rodzaj.tekst(), "K");
    EXPECT_EQ(po[1].odbiorca2.tekst(), "po błędzie");
    EXPECT_EQ(Bajty(po[0]), Bajty(TrzyDokumenty[0]));
    EXPECT_EQ(Bajty(po[2]), Bajty(TrzyDokumenty[2]));
}

// After the new document is in the file, a failure of the steps that follow must not make a
// second save add it again.
TEST_F(AwarieDokumentow, PonownyZapisPoBledzieNieDublujeDokumentu) {
    katalog_.zapiszRekordy(PlikDokumentow, TrzyDokumenty);
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->SpeedButton6Click();
    okno->odbiorca1->setText(QStringLiteral("Nowy"));
    // faktura.dat cannot be replaced: its folder is gone.
    QDir(katalog_.plik("Admini")).removeRecursively();
    Zapisz(*okno, platforma);
    ASSERT_EQ(platforma.bledy().size(), 1u);
    EXPECT_TRUE(platforma.bledy()[0].contains("faktura.dat")) << platforma.bledy()[0].toStdString();
    EXPECT_FALSE(okno->NowyDokument);
    EXPECT_EQ(okno->PozycjaDokumentu, 4);
    EXPECT_EQ(okno->Label22->text(), "Edycja wczytanej faktury Vat");
    Zapisz(*okno, platforma);
    EXPECT_EQ(Rekordy(katalog_.czytaj(PlikDokumentow)).size(), 4u);
}

}  // namespace
