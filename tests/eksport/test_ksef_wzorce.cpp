// FA(3) files compared byte for byte with files kept beside the tests: a change of element order,
// indentation or an optional element that appears or goes shows up here, not only in the schema.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "eksport/dane_eksportu.h"
#include "eksport/ksef.h"
#include "eksport/walidacja.h"

namespace {

KontekstKsef KontekstWzorcow() {
    KontekstKsef k;
    k.firma = FirmaTestowa();
    k.stopka = UstawieniaTestowe().stopka.tekst();
    k.czasWytworzenia = QDateTime(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
    k.opcje.podstawaZwolnienia = QStringLiteral("art. 43 ust. 1 pkt 29 lit. c ustawy");
    return k;
}

struct Wzorzec {
    const char* plik;      // in tests/eksport/fa3
    std::size_t dokument;  // in ZestawDokumentow
    std::function<void(TDokument&, KontekstKsef&)> zmiana;
};

QByteArray Wygeneruj(const Wzorzec& w) {
    std::vector<TDokument> dokumenty = ZestawDokumentow();
    KontekstKsef k = KontekstWzorcow();
    if (w.zmiana) w.zmiana(dokumenty[w.dokument], k);
    SpisFaktur spis;
    for (std::size_t i = 0; i < w.dokument; ++i) spis.dodaj(dokumenty[i]);
    const WynikKsef wynik = DokumentFa3(dokumenty[w.dokument], spis.znajdz(dokumenty[w.dokument]), k);
    EXPECT_TRUE(wynik.powody.isEmpty()) << w.plik << ": " << wynik.powody.join("; ").toStdString();
    return wynik.xml;
}

TEST(KsefWzorce, PlikiSaTakieSameJakZachowane) {
    const std::vector<Wzorzec> wzorce = {
        {"faktura_trzy_stawki.xml", 2, {}},
        {"faktura_poprzedni_rok.xml", 1, {}},
        {"faktura_bez_nip_gotowka.xml", 3, {}},
        {"faktura_zwolnienie_karta.xml", 4, {}},
        {"korekta_zmniejszajaca.xml", 5, {}},
        {"korekta_zwiekszajaca.xml", 6, {}},
        {"faktura_ue.xml", 7, {}},
        // Every annotation that can say yes, the reverse charge group and the directive's basis.
        {"faktura_wszystkie_adnotacje.xml", 4,
         [](TDokument& d, KontekstKsef& k) {
             k.opcje.metodaKasowa = true;
             k.opcje.podzielonaPlatnosc = true;
             k.opcje.rodzajPodstawy = OpcjeKsef::Podstawa::Dyrektywa;
             d.pozycje[5][1].ustaw(QStringLiteral("oo"));
             d.stawki[0][1].ustaw(QStringLiteral("oo"));
         }},
        // Another form of payment, another basis, three address lines, no footer and no bank name.
        {"faktura_inna_forma_platnosci.xml", 4,
         [](TDokument& d, KontekstKsef& k) {
             k.opcje.rodzajPodstawy = OpcjeKsef::Podstawa::Inna;
             k.stopka.clear();
             k.firma.bank.ustaw(QString());
             d.forma_zaplaty.ustaw(QStringLiteral("Kompensata"));
             d.odbiorca4.ustaw(QStringLiteral("Polska"));
         }},
        // A term of one day, the service date after the issue, a Greek buyer.
        {"faktura_termin_dzien.xml", 7,
         [](TDokument& d, KontekstKsef&) {
             d.termin_zaplaty.ustaw(QStringLiteral("1 dzień"));
             d.data_uslugi.ustaw(QStringLiteral("2026-03-06"));
             d.nip_odbiorcy.ustaw(QStringLiteral("EL 123456789"));
         }},
        // A correction with every optional part: service date, EU buyer, term in days.
        {"korekta_ue_termin_w_dniach.xml", 5,
         [](TDokument& d, KontekstKsef&) {
             d.nip_odbiorcy.ustaw(QStringLiteral("DE 123456789"));
             d.data_uslugi.ustaw(QStringLiteral("2026-02-09"));
             d.odbiorca4.ustaw(QStringLiteral("Niemcy"));
         }},
    };
    QStringList pliki;
    for (const Wzorzec& w : wzorce) {
        QFile plik(QStringLiteral(WZORCE_FA3 "/") + QString::fromLatin1(w.plik));
        ASSERT_TRUE(plik.open(QIODevice::ReadOnly)) << w.plik;
        EXPECT_EQ(Wygeneruj(w).toStdString(), plik.readAll().toStdString()) << w.plik;
        pliki << plik.fileName();
    }
    // The kept files are valid themselves.
    const WynikWalidacji wynik = Waliduj(pliki);
    EXPECT_EQ(wynik.kod, 0) << wynik.opis.toStdString();
    EXPECT_EQ(wynik.poprawne, pliki) << wynik.opis.toStdString();
}

}  // namespace
