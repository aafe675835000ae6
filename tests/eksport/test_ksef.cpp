// FA(3) files of stored documents: valid against the official schema, the amounts and codes where
// they belong, and every document that cannot be expressed refused with its reason.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "eksport/dane_eksportu.h"
#include "eksport/ksef.h"
#include "eksport/walidacja.h"
#include "store/pliki_danych.h"

namespace {

const QDateTime Czas(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

KontekstKsef Kontekst() {
    KontekstKsef k;
    k.firma = FirmaTestowa();
    k.stopka = UstawieniaTestowe().stopka.tekst();
    k.czasWytworzenia = Czas;
    k.opcje.podstawaZwolnienia = QStringLiteral("art. 43 ust. 1 pkt 29 lit. c ustawy");
    return k;
}

// Every document of the set in file order, each correction with the invoice stored before it.
std::vector<WynikKsef> Eksportuj(const std::vector<TDokument>& dokumenty, const KontekstKsef& k) {
    std::vector<WynikKsef> wyniki;
    SpisFaktur spis;
    for (const TDokument& d : dokumenty) {
        wyniki.push_back(DokumentFa3(d, d.rodzaj.tekst() == "K" ? spis.znajdz(d) : std::nullopt, k));
        spis.dodaj(d);
    }
    return wyniki;
}

QStringList ZapiszPliki(const QTemporaryDir& katalog, const std::vector<WynikKsef>& wyniki) {
    QStringList pliki;
    for (std::size_t i = 0; i < wyniki.size(); ++i) {
        if (wyniki[i].xml.isEmpty()) continue;
        const QString plik = katalog.filePath(QStringLiteral("dokument%1.xml").arg(i));
        QFile f(plik);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(wyniki[i].xml);
        pliki << plik;
    }
    return pliki;
}

TEST(Ksef, PrzykladyMinisterstwaPrzechodzaWalidacje) {
    const QDir przyklady(KatalogKsef() + QStringLiteral("/examples"));
    QStringList pliki;
    for (const QString& nazwa : przyklady.entryList({QStringLiteral("*.xml")}, QDir::Files))
        pliki << przyklady.filePath(nazwa);
    ASSERT_EQ(pliki.size(), 5);
    const WynikWalidacji w = Waliduj(pliki);
    EXPECT_EQ(w.kod, 0) << w.opis.toStdString();
    EXPECT_EQ(w.poprawne, pliki) << w.opis.toStdString();
}

TEST(Ksef, KazdyDokumentZestawuJestZgodnyZeSchematem) {
    const std::vector<TDokument> dokumenty = ZestawDokumentow();
    const std::vector<WynikKsef> wyniki = Eksportuj(dokumenty, Kontekst());
    // The first record of the file has no date and no number worth a file.
    EXPECT_TRUE(wyniki[0].xml.isEmpty());
    for (std::size_t i = 1; i < wyniki.size(); ++i)
        EXPECT_TRUE(wyniki[i].powody.isEmpty()) << i << ": " << wyniki[i].powody.join("; ").toStdString();
    QTemporaryDir katalog;
    const QStringList pliki = ZapiszPliki(katalog, wyniki);
    ASSERT_EQ(pliki.size(), static_cast<qsizetype>(dokumenty.size() - 1));
    const WynikWalidacji w = Waliduj(pliki);
    EXPECT_EQ(w.kod, 0) << w.opis.toStdString();
    EXPECT_EQ(w.poprawne, pliki) << w.opis.toStdString();
}

struct OczekiwanePola {
    const char* nazwa;
    std::size_t dokument;  // in ZestawDokumentow
    std::vector<std::pair<const char*, QStringList>> pola;
};

TEST(Ksef, PolaDokumentowZestawu) {
    const std::vector<WynikKsef> wyniki = Eksportuj(ZestawDokumentow(), Kontekst());
    const QStringList brak;
    const std::vector<OczekiwanePola> przypadki = {
        {"trzy stawki, przelew, termin w dniach, data usługi",
         2,
         {{"Naglowek/DataWytworzeniaFa", {"2026-12-07T12:00:00Z"}},
          {"Podmiot1/DaneIdentyfikacyjne/NIP", {"9999999999"}},
          {"Podmiot1/Adres/AdresL1", {"ul. Lipowa 5"}},
          {"Podmiot1/Adres/AdresL2", {"00-950 Warszawa"}},
          {"Podmiot2/DaneIdentyfikacyjne/NIP", {"1111111111"}},
          {"Podmiot2/DaneIdentyfikacyjne/Nazwa", {"F.H.U. Kowalski"}},
          {"Fa/P_1", {"2026-01-10"}},
          {"Fa/P_2", {"1/2026"}},
          {"Fa/P_6", {"2026-01-08"}},
          {"Fa/P_13_1", {"200.00"}},
          {"Fa/P_14_1", {"46.00"}},
          {"Fa/P_13_2", {"25.00"}},
          {"Fa/P_14_2", {"2.00"}},
          {"Fa/P_13_3", {"40.00"}},
          {"Fa/P_14_3", {"2.00"}},
          {"Fa/P_15", {"315.00"}},
          {"Fa/Adnotacje/Zwolnienie/P_19N", {"1"}},
          {"Fa/RodzajFaktury", {"VAT"}},
          {"Fa/FaWiersz/P_8B", {"2", "10", "1"}},
          {"Fa/FaWiersz/P_9A", {"100", "2.5", "40"}},
          {"Fa/FaWiersz/P_11", {"200.00", "25.00", "40.00"}},
          {"Fa/FaWiersz/P_12", {"23", "8", "5"}},
          {"Fa/FaWiersz/PKWiU", {"43.22.11.0", "58.11.1"}},
          {"Fa/Platnosc/TerminPlatnosci/Termin", {"2026-01-17"}},
          {"Fa/Platnosc/TerminPlatnosci/TerminOpis/Ilosc", {"7"}},
          {"Fa/Platnosc/FormaPlatnosci", {"6"}},
          {"Fa/Platnosc/RachunekBankowy/NrRB", {"73111111111111111111111111"}},
          {"Stopka/Informacje/StopkaFaktury", {"Dziękujemy za zakupy"}}}},
        {"nabywca bez NIP, gotówka, termin jako data, bez daty usługi",
         3,
         {{"Podmiot2/DaneIdentyfikacyjne/BrakID", {"1"}},
          {"Podmiot2/DaneIdentyfikacyjne/NIP", brak},
          {"Fa/P_6", brak},
          {"Fa/P_15", {"307.50"}},
          {"Fa/Platnosc/FormaPlatnosci", {"1"}},
          {"Fa/Platnosc/TerminPlatnosci/Termin", {"2026-01-15"}},
          {"Fa/Platnosc/TerminPlatnosci/TerminOpis/Ilosc", brak}}},
        {"zwolnienie z podstawą, karta, termin opisowy",
         4,
         {{"Fa/P_13_7", {"500.00"}},
          {"Fa/P_13_1", {"50.00"}},
          {"Fa/P_14_1", {"11.50"}},
          {"Fa/P_15", {"561.50"}},
          {"Fa/Adnotacje/Zwolnienie/P_19", {"1"}},
          {"Fa/Adnotacje/Zwolnienie/P_19A", {"art. 43 ust. 1 pkt 29 lit. c ustawy"}},
          {"Fa/Adnotacje/Zwolnienie/P_19N", brak},
          {"Fa/FaWiersz/P_12", {"zw", "23"}},
          {"Fa/DodatkowyOpis/Klucz", {"Termin płatności"}},
          {"Fa/DodatkowyOpis/Wartosc", {"po odbiorze"}},
          {"Fa/Platnosc/TerminPlatnosci/Termin", brak},
          {"Fa/Platnosc/FormaPlatnosci", {"2"}}}},
        {"korekta zmniejszająca: różnice, wiersze przed i po",
         5,
         {{"Fa/RodzajFaktury", {"KOR"}},
          {"Fa/P_2", {"1/K/2026"}},
          {"Fa/P_13_1", {"-100.00"}},
          {"Fa/P_14_1", {"-23.00"}},
          {"Fa/P_13_2", {"0.00"}},
          {"Fa/P_14_2", {"0.00"}},
          {"Fa/P_13_3", {"0.00"}},
          {"Fa/P_15", {"-123.00"}},
          {"Fa/DaneFaKorygowanej/DataWystFaKorygowanej", {"2026-01-10"}},
          {"Fa/DaneFaKorygowanej/NrFaKorygowanej", {"1/2026"}},
          {"Fa/DaneFaKorygowanej/NrKSeFN", {"1"}},
          {"Fa/FaWiersz/NrWierszaFa", {"1", "1", "2", "2", "3", "3"}},
          {"Fa/FaWiersz/P_8B", {"2", "1", "10", "10", "1", "1"}},
          {"Fa/FaWiersz/StanPrzed", {"1", "1", "1"}},
          {"Fa/Platnosc/TerminPlatnosci/Termin", {"2026-02-24"}}}},
        {"korekta zwiększająca",
         6,
         {{"Fa/P_13_1", {"50.00"}},
          {"Fa/P_14_1", {"11.50"}},
          {"Fa/P_15", {"61.50"}},
          {"Fa/DaneFaKorygowanej/DataWystFaKorygowanej", {"2026-01-15"}},
          {"Fa/DaneFaKorygowanej/NrFaKorygowanej", {"2/2026"}}}},
        {"nabywca z UE, np, 0 % i 22%",
         7,
         {{"Podmiot2/DaneIdentyfikacyjne/KodUE", {"DE"}},
          {"Podmiot2/DaneIdentyfikacyjne/NrVatUE", {"123456789"}},
          {"Podmiot2/Adres/KodKraju", {"DE"}},
          {"Fa/P_13_1", {"1.00"}},
          {"Fa/P_14_1", {"0.22"}},
          {"Fa/P_13_6_1", {"60.00"}},
          {"Fa/P_13_8", {"1000.00"}},
          {"Fa/FaWiersz/P_12", {"np I", "0 KR", "22"}},
          {"Fa/FaWiersz/P_9A", {"1000", "20", "0.5"}}}},
    };
    for (const OczekiwanePola& p : przypadki) {
        const QByteArray& xml = wyniki[p.dokument].xml;
        ASSERT_FALSE(xml.isEmpty()) << p.nazwa;
        for (const auto& [sciezka, wartosci] : p.pola)
            EXPECT_EQ(Pola(xml, QString::fromUtf8(sciezka)), wartosci) << p.nazwa << ": " << sciezka;
    }
}

struct PrzypadekOdmowy {
    const char* nazwa;
    std::function<void(TDokument&, KontekstKsef&)> zmiana;
    QStringList powody;  // each must be part of one reason
};

// The reasons of the document at `indeks` of the set after the change (a correction is looked up
// among the invoices stored before it).
QStringList PowodyPoZmianie(std::size_t indeks,
                            const std::function<void(TDokument&, KontekstKsef&)>& zmiana) {
    std::vector<TDokument> dokumenty = ZestawDokumentow();
    KontekstKsef k = Kontekst();
    zmiana(dokumenty[indeks], k);
    const WynikKsef w = Eksportuj(dokumenty, k)[indeks];
    EXPECT_TRUE(w.xml.isEmpty() || w.powody.isEmpty());
    return w.powody;
}

TEST(Ksef, DokumentNieDoWyrazeniaJestOdrzuconyZPowodem) {
    const std::vector<PrzypadekOdmowy> przypadki = {
        {"brak NIP sprzedawcy",
         [](TDokument&, KontekstKsef& k) { k.firma.nip.ustaw(""); },
         {"brak NIP sprzedawcy"}},
        {"zła cyfra kontrolna NIP sprzedawcy",
         [](TDokument&, KontekstKsef& k) { k.firma.nip.ustaw("999-999-99-98"); },
         {"NIP sprzedawcy „999-999-99-98” ma błędną cyfrę kontrolną"}},
        {"NIP sprzedawcy za krótki",
         [](TDokument&, KontekstKsef& k) { k.firma.nip.ustaw("12345"); },
         {"NIP sprzedawcy „12345” nie składa się z 10 cyfr"}},
        {"wiersz bez stawki",
         [](TDokument& d, KontekstKsef&) { d.pozycje[5][1].ustaw(""); },
         {"wiersz 2 nie ma stawki VAT"}},
        {"stawka bez kodu",
         [](TDokument& d, KontekstKsef&) { d.pozycje[5][1].ustaw("15"); },
         {"wiersz 2: stawka VAT „15” nie ma kodu w FA(3)"}},
        {"zwolnienie bez podstawy",
         [](TDokument& d, KontekstKsef& k) {
             d.pozycje[5][0].ustaw("zw");
             k.opcje.podstawaZwolnienia.clear();
         },
         {"stawka „zw” wymaga podstawy zwolnienia"}},
        {"data, której nie ma",
         [](TDokument& d, KontekstKsef&) { d.data_wystawienia.ustaw("2026-02-30"); },
         {"data wystawienia „2026-02-30” nie jest datą"}},
        {"data sprzed 2006",
         [](TDokument& d, KontekstKsef&) { d.data_wystawienia.ustaw("2005-12-31"); },
         {"data wystawienia „2005-12-31” jest wcześniejsza niż 2006-01-01"}},
        {"data usługi tekstem",
         [](TDokument& d, KontekstKsef&) { d.data_uslugi.ustaw("marzec"); },
         {"data usługi „marzec” nie jest datą"}},
        {"zła cyfra kontrolna NIP nabywcy",
         [](TDokument& d, KontekstKsef&) { d.nip_odbiorcy.ustaw("1111111112"); },
         {"NIP nabywcy „1111111112” ma błędną cyfrę kontrolną"}},
        {"NIP nabywcy spoza UE",
         [](TDokument& d, KontekstKsef&) { d.nip_odbiorcy.ustaw("US12-3456"); },
         {"nie jest polskim NIP-em ani numerem VAT UE"}},
        {"ilość z siedmioma miejscami",
         [](TDokument& d, KontekstKsef&) { d.pozycje[3][0].ustaw("0.1234567"); },
         {"wiersz 1: ilość „0.1234567” ma więcej niż 6 miejsc po przecinku"}},
        {"kwota poza zakresem",
         [](TDokument& d, KontekstKsef&) { d.stawki[3][0].ustaw("poza zakresem"); },
         {"kwota w podsumowaniu VAT jest „poza zakresem”", "kwota należności jest poza zakresem"}},
        {"konto, które nie jest rachunkiem",
         [](TDokument&, KontekstKsef& k) { k.firma.konto.ustaw("12 34"); },
         {"numer konta sprzedawcy „12 34” nie jest numerem rachunku"}},
        {"brak nazwy i adresu sprzedawcy",
         [](TDokument&, KontekstKsef& k) {
             k.firma.linia1.ustaw("");
             k.firma.linia2.ustaw("");
             k.firma.linia3.ustaw("");
         },
         {"brak nazwy sprzedawcy", "brak adresu sprzedawcy"}},
        {"rodzaj inny niż F i K",
         [](TDokument& d, KontekstKsef&) { d.rodzaj.ustaw("X"); },
         {"rekord nie jest ani fakturą, ani korektą (rodzaj „X”)"}},
        {"zegar sprzed FA(3)",
         [](TDokument&, KontekstKsef& k) {
             k.czasWytworzenia = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
         },
         {"zegar komputera"}},
        {"kilka powodów naraz",
         [](TDokument& d, KontekstKsef& k) {
             k.firma.nip.ustaw("");
             d.data_wystawienia.ustaw("15.03.2026");
         },
         {"brak NIP sprzedawcy", "data wystawienia „15.03.2026” nie jest datą"}},
    };
    for (const PrzypadekOdmowy& o : przypadki) {
        const QStringList powody = PowodyPoZmianie(2, o.zmiana);
        EXPECT_EQ(powody.size(), o.powody.size()) << o.nazwa << ": " << powody.join("; ").toStdString();
        for (const QString& oczekiwany : o.powody) {
            EXPECT_TRUE(std::any_of(powody.begin(), powody.end(),
                                    [&](const QString& p) { return p.contains(oczekiwany); }))
                << o.nazwa << ": " << powody.join("; ").toStdString();
        }
    }
}

TEST(Ksef, KorektaBezFakturyWPlikuJestOdrzucona) {
    // The corrected invoice missing, and stored only after the correction: neither counts.
    for (const bool fakturaPozniej : {false, true}) {
        std::vector<TDokument> dokumenty = ZestawDokumentow();
        TDokument korekta = dokumenty[5];
        korekta.dotyczy.ustaw(QStringLiteral("77/2026"));
        TDokument faktura = dokumenty[2];
        faktura.numerator.ustaw(QStringLiteral("77"));
        std::vector<TDokument> plik{korekta};
        if (fakturaPozniej) plik.push_back(faktura);
        const WynikKsef w = Eksportuj(plik, Kontekst())[0];
        EXPECT_TRUE(w.xml.isEmpty());
        EXPECT_EQ(w.powody,
                  QStringList{"faktury korygowanej „77/2026” nie ma w pliku dokumentów przed tą korektą"});
    }
}

TEST(Ksef, KorektaBierzeOstatniaFaktureZapisanaPrzedNia) {
    std::vector<TDokument> zestaw = ZestawDokumentow();
    TDokument starsza = zestaw[2];
    starsza.data_wystawienia.ustaw(QStringLiteral("2025-06-01"));
    TDokument pozniejsza = zestaw[2];
    pozniejsza.data_wystawienia.ustaw(QStringLiteral("2026-06-01"));
    // Same number three times: the one before the correction is the invoice of 2026-01-10.
    const std::vector<TDokument> plik{starsza, zestaw[2], zestaw[5], pozniejsza};
    const WynikKsef w = Eksportuj(plik, Kontekst())[2];
    ASSERT_TRUE(w.powody.isEmpty()) << w.powody.join("; ").toStdString();
    EXPECT_EQ(Pola(w.xml, "Fa/DaneFaKorygowanej/DataWystFaKorygowanej"), QStringList{"2026-01-10"});
}

TEST(Ksef, NumerKorygowanejFakturyCalyGdyDotyczyGoObcina) {
    TDokument faktura = ZestawDokumentow()[2];
    faktura.numerator.ustaw(QStringLiteral("1234567890"));
    faktura.rozszerzenie.ustaw(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    const TDokument korekta = NowaKorekta(
        faktura, {"5", "K/2026", "2026-02-01", "F.H.U. Kowalski", "1111111111", "Przelew", "7 dni"},
        {{"Naprawa instalacji", "", "usł.", "1", "100.00", "23"}});
    ASSERT_EQ(korekta.dotyczy.tekst().size(), 30);
    const WynikKsef w = Eksportuj({faktura, korekta}, Kontekst())[1];
    ASSERT_TRUE(w.powody.isEmpty()) << w.powody.join("; ").toStdString();
    EXPECT_EQ(Pola(w.xml, "Fa/DaneFaKorygowanej/NrFaKorygowanej"),
              QStringList{"1234567890/ABCDEFGHIJKLMNOPQRST"});
}

TEST(Ksef, OpcjeSprzedawcyIOdwrotneObciazenieWAdnotacjach) {
    std::vector<TDokument> dokumenty = ZestawDokumentow();
    KontekstKsef k = Kontekst();
    k.opcje.metodaKasowa = true;
    k.opcje.podzielonaPlatnosc = true;
    k.opcje.rodzajPodstawy = OpcjeKsef::Podstawa::Dyrektywa;
    dokumenty[4].pozycje[5][1].ustaw(QStringLiteral("oo"));
    dokumenty[4].stawki[0][1].ustaw(QStringLiteral("oo"));
    const WynikKsef w = Eksportuj(dokumenty, k)[4];
    ASSERT_TRUE(w.powody.isEmpty()) << w.powody.join("; ").toStdString();
    EXPECT_EQ(Pola(w.xml, "Fa/Adnotacje/P_16"), QStringList{"1"});
    EXPECT_EQ(Pola(w.xml, "Fa/Adnotacje/P_18"), QStringList{"1"});
    EXPECT_EQ(Pola(w.xml, "Fa/Adnotacje/P_18A"), QStringList{"1"});
    EXPECT_EQ(Pola(w.xml, "Fa/Adnotacje/Zwolnienie/P_19B"),
              QStringList{"art. 43 ust. 1 pkt 29 lit. c ustawy"});
    EXPECT_EQ(Pola(w.xml, "Fa/P_13_10"), QStringList{"50.00"});
    QTemporaryDir katalog;
    const QStringList pliki = ZapiszPliki(katalog, {w});
    const WynikWalidacji wynik = Waliduj(pliki);
    EXPECT_EQ(wynik.kod, 0) << wynik.opis.toStdString();
}

TEST(Ksef, ZnakiSterujaceIPustePolaNieLamiaSchematu) {
    TDokument d = ZestawDokumentow()[2];
    d.odbiorca1.ustaw(QStringLiteral("  Firma\t\x01 <&> \"Ł\"  "));
    d.odbiorca2.ustaw(QString());
    d.odbiorca3.ustaw(QString());
    d.miejscowosc.ustaw(QStringLiteral("   "));
    d.pozycje[0][0].ustaw(QStringLiteral("\x02\x03"));
    const WynikKsef w = Eksportuj({d}, Kontekst())[0];
    ASSERT_TRUE(w.powody.isEmpty()) << w.powody.join("; ").toStdString();
    EXPECT_EQ(Pola(w.xml, "Podmiot2/DaneIdentyfikacyjne/Nazwa"), QStringList{"Firma <&> \"Ł\""});
    EXPECT_EQ(Pola(w.xml, "Podmiot2/Adres"), QStringList{});
    EXPECT_EQ(Pola(w.xml, "Fa/P_1M"), QStringList{});
    QTemporaryDir katalog;
    const WynikWalidacji wynik = Waliduj(ZapiszPliki(katalog, {w}));
    EXPECT_EQ(wynik.kod, 0) << wynik.opis.toStdString();
}

}  // namespace
