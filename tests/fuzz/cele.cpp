#include "fuzz/cele.h"

#include <QString>
#include <QStringList>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "calc/liczby.h"
#include "calc/podsumowanie.h"
#include "calc/slownie.h"
#include "store/rekordy.h"

namespace {

QString Tekst(const std::uint8_t* dane, std::size_t rozmiar) {
    return QString::fromUtf8(reinterpret_cast<const char*>(dane), static_cast<qsizetype>(rozmiar));
}

void Wymagaj(bool warunek, const char* opis) {
    if (!warunek) throw std::logic_error(opis);
}

template <std::size_t N>
void SprawdzTekst(const TTekst<N>& t) {
    Wymagaj(t.tekst().size() <= static_cast<qsizetype>(N), "tekst dłuższy niż pole");
}

template <class T, class F>
void Dekoduj(const std::uint8_t* dane, std::size_t rozmiar, F sprawdz) {
    T rekord{};
    std::memcpy(&rekord, dane, std::min(rozmiar, sizeof rekord));
    sprawdz(rekord);
}

}  // namespace

void CelLiczby(const std::uint8_t* dane, std::size_t rozmiar) {
    const QString tekst = Tekst(dane, rozmiar);
    const double x = LiczbaZTekstu(tekst);
    Wymagaj(std::isfinite(x), "liczba z tekstu nieskończona");
    const QString kwota = TekstKwoty(x);
    Wymagaj(kwota.size() >= 12, "tekst kwoty krótszy niż 12");
    const double z = LiczbaZTekstu(kwota.trimmed());
    if (kwota.trimmed() != QStringLiteral("poza zakresem"))
        Wymagaj(std::abs(z - x) <= 0.005 + std::abs(x) * 1e-15, "kwota nie wraca");
    (void)CalkowitaZTekstu(tekst);
    const KwotaWSlowach slowa = KwotaPieniezna(x);
    if (x < 0) Wymagaj(slowa.zlote.isEmpty() && slowa.grosze.isEmpty(), "słowa dla ujemnej kwoty");
}

void CelRekordu(const std::uint8_t* dane, std::size_t rozmiar) {
    Dekoduj<TDokument>(dane, rozmiar, [](const TDokument& d) {
        SprawdzTekst(d.miejscowosc);
        SprawdzTekst(d.odbiorca1);
        SprawdzTekst(d.dotyczy);
        SprawdzTekst(d.rodzaj);
        for (const auto& kolumna : d.pozycje)
            for (const auto& komorka : kolumna) SprawdzTekst(komorka);
        for (const auto& kolumna : d.stawki_korekty)
            for (const auto& komorka : kolumna) SprawdzTekst(komorka);
    });
    Dekoduj<TUstawieniaFaktury>(dane, rozmiar, [](const TUstawieniaFaktury& u) {
        SprawdzTekst(u.liczba_kopii);
        SprawdzTekst(u.stopka);
        (void)CalkowitaZTekstu(u.liczba_kopii.tekst());
    });
    Dekoduj<TCzcionka>(dane, rozmiar, [](const TCzcionka& c) { SprawdzTekst(c.nazwa); });
    Dekoduj<TEwidencja>(dane, rozmiar, [](const TEwidencja& e) { SprawdzTekst(e.folder); });
    // Encoding back never grows past the capacity either.
    TTekst<10> t{};
    t.ustaw(Tekst(dane, rozmiar));
    Wymagaj(t.dlugosc <= 10, "długość ponad pojemność");
}

void CelPodsumowania(const std::uint8_t* dane, std::size_t rozmiar) {
    const QStringList komorki = Tekst(dane, rozmiar).split(QLatin1Char('\n'));
    std::array<PozycjaTabeli, 3> pozycje;
    for (int i = 0; i < 9 && i < komorki.size(); ++i) {
        QString* pole[] = {&pozycje[i / 3].ilosc, &pozycje[i / 3].netto, &pozycje[i / 3].vat};
        *pole[i % 3] = komorki[i];
    }
    const WynikPodsumowania wynik = ObliczPodsumowanie(pozycje);
    for (const WierszStawki& w : wynik.wiersze)
        for (const QString* k : {&w.stawka, &w.netto, &w.kwotaVat, &w.brutto})
            Wymagaj(k->size() <= 20, "komórka podsumowania ponad 20 znaków");
    Wymagaj(!wynik.kwotaDoZaplaty.isEmpty(), "pusta kwota do zapłaty");
}
