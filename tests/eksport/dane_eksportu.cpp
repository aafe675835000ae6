#include "eksport/dane_eksportu.h"

#include "calc/dokument.h"
#include "calc/podsumowanie.h"
#include "store/pliki_danych.h"

namespace {

void Wypelnij(TTekst<60> (&pozycje)[6][3], TTekst<20> (&stawki)[4][3], const std::vector<Linia>& linie) {
    std::array<PozycjaTabeli, 3> tabela;
    for (int r = 0; r < 3; ++r) {
        const Linia pusta{"", "", "", "", "", ""};
        const Linia& l = r < static_cast<int>(linie.size()) ? linie[r] : pusta;
        const char* komorki[6] = {l.nazwa, l.pkwiu, l.jm, l.ilosc, l.cena, l.stawka};
        for (int c = 0; c < 6; ++c) pozycje[c][r].ustaw(QString::fromUtf8(komorki[c]));
        tabela[r] = {QString::fromUtf8(l.ilosc), QString::fromUtf8(l.cena), QString::fromUtf8(l.stawka)};
    }
    const WynikPodsumowania wynik = ObliczPodsumowanie(tabela);
    for (int r = 0; r < 3; ++r) {
        const WierszStawki& w = wynik.wiersze[r];
        stawki[0][r].ustaw(w.stawka);
        stawki[1][r].ustaw(w.netto);
        stawki[2][r].ustaw(w.kwotaVat);
        stawki[3][r].ustaw(w.brutto);
    }
}

void UstawNaglowek(TDokument& d, const Naglowek& n) {
    d.miejscowosc.ustaw(QStringLiteral("Warszawa"));
    d.numerator.ustaw(QString::fromUtf8(n.numer));
    d.rozszerzenie.ustaw(QString::fromUtf8(n.rozszerzenie));
    d.data_wystawienia.ustaw(QString::fromUtf8(n.data));
    d.odbiorca1.ustaw(QString::fromUtf8(n.odbiorca1));
    d.odbiorca2.ustaw(QStringLiteral("ul. Polna 1"));
    d.odbiorca3.ustaw(QStringLiteral("00-001 Warszawa"));
    d.nip_odbiorcy.ustaw(QString::fromUtf8(n.nip));
    d.forma_zaplaty.ustaw(QString::fromUtf8(n.forma));
    d.termin_zaplaty.ustaw(QString::fromUtf8(n.termin));
    d.data_uslugi.ustaw(QString::fromUtf8(n.dataUslugi));
    d.podpis.ustaw(QStringLiteral("Jan Nowak"));
}

}  // namespace

TDokument NowaFaktura(const Naglowek& n, const std::vector<Linia>& linie) {
    TDokument d{};
    UstawNaglowek(d, n);
    d.rodzaj.ustaw(QStringLiteral("F"));
    Wypelnij(d.pozycje, d.stawki, linie);
    return d;
}

TDokument NowaKorekta(const TDokument& faktura, const Naglowek& n, const std::vector<Linia>& linie) {
    TDokument d = faktura;
    UstawNaglowek(d, n);
    d.rodzaj.ustaw(QStringLiteral("K"));
    d.dotyczy.ustaw((faktura.numerator.tekst() + u'/' + faktura.rozszerzenie.tekst()).left(31));
    Wypelnij(d.pozycje_korekty, d.stawki_korekty, linie);
    return d;
}

TDaneFirmy FirmaTestowa() {
    TDaneFirmy f{};
    f.linia1.ustaw(QStringLiteral("Usługi Remontowe Jan Nowak"));
    f.linia2.ustaw(QStringLiteral("ul. Lipowa 5"));
    f.linia3.ustaw(QStringLiteral("00-950 Warszawa"));
    f.nip.ustaw(QStringLiteral("999-999-99-99"));
    f.bank.ustaw(QStringLiteral("Bank Przykładowy S.A."));
    f.konto.ustaw(QStringLiteral("73 1111 1111 1111 1111 1111 1111"));
    return f;
}

TUstawieniaFaktury UstawieniaTestowe() {
    TUstawieniaFaktury u{};
    u.oznaczenie_kopii.ustaw(QStringLiteral("oryginał"));
    u.stopka.ustaw(QStringLiteral("Dziękujemy za zakupy"));
    u.liczba_kopii.ustaw(QStringLiteral("2"));
    return u;
}

std::vector<TDokument> ZestawDokumentow() {
    const TDokument f1 = NowaFaktura(
        {"1", "2026", "2026-01-10", "F.H.U. Kowalski", "111-111-11-11", "Przelew", "7 dni", "2026-01-08"},
        {{"Naprawa instalacji", "43.22.11.0", "usł.", "2", "100.00", "23"},
         {"Dojazd", "", "km", "10", "2.50", "8"},
         {"Książka", "58.11.1", "szt.", "1", "40.00", "5"}});
    const TDokument f2 = NowaFaktura({"2", "2026", "2026-01-15", "Jan Kowalski", "", "Gotówka", "2026-01-15"},
                                     {{"Przegląd kotła", "", "szt.", "1", "250.00", "23"}});
    const TDokument f3 = NowaFaktura({"3", "2026", "2026-02-03", "Szkoła Podstawowa nr 1", "526-000-12-46",
                                      "Karta kredytowa", "po odbiorze"},
                                     {{"Kurs szkoleniowy", "85.59.1", "godz.", "4", "125.00", "zw"},
                                      {"Materiały", "", "kpl.", "1", "50.00", "23"}});
    const TDokument k1 = NowaKorekta(
        f1, {"1", "K/2026", "2026-02-10", "F.H.U. Kowalski", "111-111-11-11", "Przelew", "14 dni"},
        {{"Naprawa instalacji", "43.22.11.0", "usł.", "1", "100.00", "23"},
         {"Dojazd", "", "km", "10", "2.50", "8"},
         {"Książka", "58.11.1", "szt.", "1", "40.00", "5"}});
    const TDokument k2 =
        NowaKorekta(f2, {"2", "K/2026", "2026-03-01", "Jan Kowalski", "", "Gotówka", "2026-03-01"},
                    {{"Przegląd kotła", "", "szt.", "1", "300.00", "23"}});
    const TDokument f4 =
        NowaFaktura({"4", "2026", "2026-03-05", "Müller GmbH", "DE 123456789", "Przelew", "2026-03-19"},
                    {{"Montaż za granicą", "", "usł.", "1", "1000.00", "np"},
                     {"Eksport części", "", "szt.", "3", "20.00", "0"},
                     {"Usługa 22%", "", "szt.", "2", "0.5", "22%"}});
    const TDokument f5 =
        NowaFaktura({"9", "2025", "2025-12-30", "F.H.U. Kowalski", "1111111111", "Przelew", "7 dni"},
                    {{"Naprawa", "", "usł.", "1", "80.00", "23"}});
    return {RekordPoczatkowy(QStringLiteral("2026-01-01")), f5, f1, f2, f3, k1, k2, f4};
}
