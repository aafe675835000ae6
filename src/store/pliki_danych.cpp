#include "store/pliki_danych.h"

#include <memory>

#include "store/plik_rekordow.h"
#include "store/sciezki.h"

namespace {

// Slot s carries the number s+1, at least two digits.
QString NumerMiejsca(int miejsce) { return QStringLiteral("%1").arg(miejsce + 1, 2, 10, QLatin1Char('0')); }

template <class TBaza>
void UtworzBaze(SystemPlikow& system, const QString& sciezka) {
    if (PlikIstnieje(system, sciezka)) return;
    const auto baza = std::make_unique<TBaza>();  // zeroed; the client base is 3.5 MB
    for (int s = 0; s < TBaza::LiczbaMiejsc; ++s) baza->numer[s].ustaw(NumerMiejsca(s));
    ZapiszRekordAtomowo(system, sciezka, *baza);
}

}  // namespace

TDokument RekordPoczatkowy(const QString& dataDzisiaj) {
    TDokument dokument{};
    dokument.numerator.ustaw(QStringLiteral("0"));
    dokument.rozszerzenie.ustaw(dataDzisiaj);
    dokument.rodzaj.ustaw(QStringLiteral("F"));
    dokument.odbiorca1.ustaw(QStringLiteral("Początek bloczka faktur"));
    return dokument;
}

TUstawieniaSieci UstawieniaSieciDlaKatalogu(const QString& katalog) {
    TUstawieniaSieci ustawienia{};
    ustawienia.tryb = 1;
    ustawienia.sciezka_lokalna.ustaw(katalog);
    return ustawienia;
}

namespace {

KatalogDanychZUstawien KatalogZUstawien(const QString& biezacy, const TUstawieniaSieci& ustawienia) {
    KatalogDanychZUstawien wynik{biezacy, ustawienia};
    if (ustawienia.tryb == 1)
        wynik.katalog = ustawienia.sciezka_lokalna.tekst();
    else if (ustawienia.tryb == 2)
        wynik.katalog = ustawienia.sciezka_sieciowa.tekst();
    return wynik;
}

}  // namespace

KatalogDanychZUstawien UstalKatalogDanych(SystemPlikow& system, const QString& biezacy) {
    const QString siecDat = SciezkaDanych(biezacy, SciezkaUstawienSieci);
    return KatalogZUstawien(biezacy, ZapewnijICzytaj(system, siecDat, UstawieniaSieciDlaKatalogu(biezacy)));
}

KatalogDanychZUstawien CzytajKatalogDanych(SystemPlikow& system, const QString& biezacy) {
    const QString siecDat = SciezkaDanych(biezacy, SciezkaUstawienSieci);
    if (!PlikIstnieje(system, siecDat)) return KatalogZUstawien(biezacy, UstawieniaSieciDlaKatalogu(biezacy));
    TUstawieniaSieci ustawienia{};
    CzytajRekord(system, siecDat, ustawienia);
    return KatalogZUstawien(biezacy, ustawienia);
}

void UtworzDomyslneBazy(SystemPlikow& system, const QString& katalogDanych) {
    UtworzBaze<TBazaUslug>(system, SciezkaDanych(katalogDanych, SciezkaBazyUslug));
    UtworzBaze<TBazaKlientow>(system, SciezkaDanych(katalogDanych, SciezkaBazyKlientow));
}

void UtworzPlikiDanych(SystemPlikow& system, const QString& katalogDanych, const QString& dataDzisiaj) {
    UtworzDomyslneBazy(system, katalogDanych);
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaUstawienFaktury), TUstawieniaFaktury{});
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaDanychFirmy), TDaneFirmy{});
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaInfo), TInfo{});
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaDokumentow), RekordPoczatkowy(dataDzisiaj));
}
