#include "ustawienia/dane_demonstracyjne.h"

#include <QDate>
#include <QDir>
#include <array>
#include <stdexcept>
#include <vector>

#include "calc/dokument.h"
#include "calc/podsumowanie.h"
#include "store/plik_dokumentow.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "ustawienia/czcionka_wydruku.h"
#include "ustawienia/listy.h"
#include "ustawienia/nowy_katalog.h"
#include "ustawienia/pliki_stron.h"
#include "ustawienia/pola_rekordow.h"

namespace {

// As a page saves it, filled in from the zero record the module would create.
template <class T>
void ZapiszStroneJesliBrak(SystemPlikow& pliki, const QString& sciezka,
                           const std::vector<PoleRekordu<T>>& pola, const QStringList& wartosci,
                           T rekord = T{}) {
    if (PlikIstnieje(pliki, sciezka)) return;
    if (const QStringList bledy = BledyZmian(rekord, pola, wartosci); !bledy.isEmpty())
        throw std::logic_error(bledy.join(u' ').toStdString());
    Zastosuj(rekord, pola, wartosci);
    ZapiszPlikZRekordem(pliki, sciezka, rekord, {});
}

void ZapiszListeJesliBrak(SystemPlikow& pliki, RodzajBazy rodzaj, const QString& sciezka,
                          const std::vector<QStringList>& wpisy) {
    if (PlikIstnieje(pliki, sciezka)) return;
    const auto lista = Lista::Nowa(rodzaj, sciezka);
    for (const QStringList& wpis : wpisy) {
        const int miejsce = lista->wolneMiejsce().value();
        if (const QStringList bledy = lista->bledyWpisu(miejsce, wpis); !bledy.isEmpty())
            throw std::logic_error(bledy.join(u' ').toStdString());
        lista->ustawWpis(miejsce, wpis);
    }
    lista->zapisz(pliki);
}

struct PozycjaPokazowa {
    const char* nazwa;
    const char* pkwiu;
    const char* jm;
    const char* ilosc;
    const char* netto;
};

// The item lines in the grid's columns and the VAT summary the window computes for them.
void WypelnijTabele(TabelaPozycji& pozycje, TabelaStawek& stawki, const std::vector<PozycjaPokazowa>& linie) {
    std::array<PozycjaTabeli, 3> doPodsumowania;
    for (std::size_t r = 0; r < linie.size() && r < 3; ++r) {
        const PozycjaPokazowa& l = linie[r];
        const QString komorki[6] = {QString::fromUtf8(l.nazwa), QString::fromUtf8(l.pkwiu),
                                    QString::fromUtf8(l.jm),    QString::fromUtf8(l.ilosc),
                                    QString::fromUtf8(l.netto), QStringLiteral("23")};
        for (int c = 0; c < 6; ++c) pozycje[c][r].ustaw(komorki[c]);
        doPodsumowania[r] = {komorki[3], komorki[4], komorki[5]};
    }
    const WynikPodsumowania podsumowanie = ObliczPodsumowanie(doPodsumowania);
    for (int r = 0; r < 3; ++r) {
        const WierszStawki& w = podsumowanie.wiersze[static_cast<std::size_t>(r)];
        const QString komorki[4] = {w.stawka, w.netto, w.kwotaVat, w.brutto};
        for (int c = 0; c < 4; ++c) stawki[c][r].ustaw(komorki[c]);
    }
}

TDokument FakturaPokazowa(const QString& numer, const QString& rok, const QDate& data,
                          const QStringList& nabywca, const std::vector<PozycjaPokazowa>& linie) {
    TDokument d{};
    d.miejscowosc.ustaw(QStringLiteral("Kraków"));
    d.data_wystawienia.ustaw(TekstDaty(data));
    d.data_uslugi.ustaw(TekstDaty(data));
    d.numerator.ustaw(numer);
    d.rozszerzenie.ustaw(rok);
    TTekst<80>* const odbiorca[4] = {&d.odbiorca1, &d.odbiorca2, &d.odbiorca3, &d.odbiorca4};
    for (int i = 0; i < 4; ++i) odbiorca[i]->ustaw(nabywca.value(i));
    d.nip_odbiorcy.ustaw(nabywca.value(4));
    d.forma_zaplaty.ustaw(QStringLiteral("Przelew"));
    d.termin_zaplaty.ustaw(QStringLiteral("14 dni"));
    d.podpis.ustaw(QStringLiteral("Anna Łęcka"));
    UstawRodzaj(d, RodzajDokumentu::Faktura);
    WypelnijTabele(d.pozycje, d.stawki, linie);
    return d;
}

// A few documents in a new document file, appended as the module saves them: three invoices and a
// correction of the second one.
void DopiszDokumentyPokazowe(SystemPlikow& pliki, const QString& dokumenty, const QDate& dzis) {
    const QString rok = QString::number(dzis.year());
    // Within this year, so that the numbers' year is the year of their dates.
    const auto dzien = [&dzis](int ileWstecz) {
        const QDate data = dzis.addDays(-ileWstecz);
        return data.year() == dzis.year() ? data : QDate(dzis.year(), 1, 1);
    };
    const QStringList piekarnia = {QStringLiteral("Piekarnia „Kłos” s.c."), QStringLiteral("ul. Młyńska 3"),
                                   QStringLiteral("30-001 Kraków"), QStringLiteral("Małopolska"),
                                   QStringLiteral("679-111-22-46")};
    const QStringList slusarz = {QStringLiteral("Zakład Ślusarski Wąsik"), QStringLiteral("os. Górali 17"),
                                 QStringLiteral("34-400 Nowy Targ"), QStringLiteral("Podhale"),
                                 QStringLiteral("735-222-33-46")};
    const QStringList kowalski = {QStringLiteral("Jan Kowalski"), QStringLiteral("ul. Słoneczna 8 m. 2"),
                                  QStringLiteral("32-020 Wieliczka"), QString(), QString()};
    const PozycjaPokazowa ksiega{"Prowadzenie księgi przychodów i rozchodów", "69.20.2", "mies.", "1",
                                 "350.00"};
    const PozycjaPokazowa deklaracja{"Sporządzenie deklaracji VAT", "69.20.2", "szt.", "1", "80.00"};
    const PozycjaPokazowa doradztwo{"Doradztwo podatkowe", "69.20.3", "godz.", "3", "150.00"};

    std::vector<TDokument> nowe;
    nowe.push_back(FakturaPokazowa(QStringLiteral("1"), rok, dzien(20), piekarnia, {ksiega, deklaracja}));
    nowe.push_back(FakturaPokazowa(QStringLiteral("2"), rok, dzien(12), slusarz, {ksiega, doradztwo}));
    nowe.push_back(FakturaPokazowa(QStringLiteral("3"), rok, dzien(5), kowalski,
                                   {{doradztwo.nazwa, doradztwo.pkwiu, doradztwo.jm, "2", doradztwo.netto}}));
    // The correction keeps the invoice's tables and states the corrected ones: one hour of advice less.
    TDokument korekta = nowe[1];
    korekta.numerator.ustaw(QStringLiteral("1"));
    korekta.rozszerzenie.ustaw(QStringLiteral("K/") + rok);
    korekta.data_wystawienia.ustaw(TekstDaty(dzien(2)));
    korekta.dotyczy.ustaw(NumerDokumentu(nowe[1]));
    UstawRodzaj(korekta, RodzajDokumentu::Korekta);
    WypelnijTabele(korekta.pozycje_korekty, korekta.stawki_korekty,
                   {ksiega, {doradztwo.nazwa, doradztwo.pkwiu, doradztwo.jm, "2", doradztwo.netto}});
    nowe.push_back(korekta);

    PlikDokumentow plik(pliki, dokumenty);
    for (const TDokument& d : nowe) plik.dopisz(d);
    plik.zakoncz();
}

}  // namespace

void PrzygotujDaneDemonstracyjne(SystemPlikow& pliki, const QString& folder) {
    const QString korzen = QDir::cleanPath(QDir(folder).absolutePath());
    UtworzFolderyDanych(pliki, korzen);
    auto sciezka = [&korzen](const QString& wzgledna) { return SciezkaDanych(korzen, wzgledna); };

    // The working directory is the data root, so the demo folder may move.
    UtworzWlasneUstawieniaSieci(pliki, korzen);
    const QDate dzis = QDate::currentDate();
    const QString rok = QString::number(dzis.year());
    const bool bezDokumentow = !PlikIstnieje(pliki, sciezka(SciezkaDokumentow));

    ZapiszStroneJesliBrak(
        pliki, sciezka(SciezkaDanychFirmy), PolaFirmy(),
        {QStringLiteral("Biuro Rachunkowe „Żuraw” Sp. z o.o."), QStringLiteral("ul. Źródlana 12/4"),
         QStringLiteral("31-532 Kraków"), QStringLiteral("675-000-12-31"),
         QStringLiteral("Bank Spółdzielczy w Krakowie"), QStringLiteral("79 1234 5600 0000 0012 3456 7890")});

    ZapiszStroneJesliBrak(
        pliki, sciezka(SciezkaUstawienFaktury), PolaFaktury(),
        // The numbers of the documents below are taken, as saving them in the module would record.
        {QStringLiteral("Kraków"), QString::fromLatin1(bezDokumentow ? "3" : "0"), rok,
         QString::fromLatin1(bezDokumentow ? "1" : "0"), QStringLiteral("K/") + rok,
         QStringLiteral("oryginał"), QStringLiteral("Anna Łęcka"), QStringLiteral("1"),
         QStringLiteral("Dziękujemy za terminową zapłatę.")});

    const QString font = SciezkaCzcionkiWydruku(korzen);
    if (!PlikIstnieje(pliki, font))
        ZapiszPlikZRekordem(pliki, font, ZmienionaCzcionka(TCzcionka{}, {QStringLiteral("Arial"), 10, 0, 0}),
                            {});

    ZapiszListeJesliBrak(
        pliki, RodzajBazy::Klienci, sciezka(QStringLiteral("\\Uslugi\\klienci_demo.kli")),
        {
            {QStringLiteral("Piekarnia „Kłos” s.c."), QStringLiteral("ul. Młyńska 3"),
             QStringLiteral("30-001 Kraków"), QStringLiteral("Małopolska"), QStringLiteral("679-111-22-46")},
            {QStringLiteral("Jan Kowalski"), QStringLiteral("ul. Słoneczna 8 m. 2"),
             QStringLiteral("32-020 Wieliczka"), QString(), QString()},
            {QStringLiteral("Zakład Ślusarski Wąsik"), QStringLiteral("os. Górali 17"),
             QStringLiteral("34-400 Nowy Targ"), QStringLiteral("Podhale"), QStringLiteral("735-222-33-46")},
        });
    ZapiszListeJesliBrak(
        pliki, RodzajBazy::Uslugi, sciezka(QStringLiteral("\\Uslugi\\uslugi_demo.usl")),
        {
            {QStringLiteral("Prowadzenie księgi przychodów i rozchodów"), QStringLiteral("69.20.2"),
             QStringLiteral("mies."), QStringLiteral("23"), QStringLiteral("350.00")},
            {QStringLiteral("Sporządzenie deklaracji VAT"), QStringLiteral("69.20.2"), QStringLiteral("szt."),
             QStringLiteral("23"), QStringLiteral("80.00")},
            {QStringLiteral("Doradztwo podatkowe"), QStringLiteral("69.20.3"), QStringLiteral("godz."),
             QStringLiteral("23"), QStringLiteral("150.00")},
        });

    // What the module's first start would add, then documents to look at in a new document file.
    UtworzPlikiDanych(pliki, korzen, RekordPoczatkowy(TekstDaty(dzis)));
    if (bezDokumentow) DopiszDokumentyPokazowe(pliki, sciezka(SciezkaDokumentow), dzis);
}
