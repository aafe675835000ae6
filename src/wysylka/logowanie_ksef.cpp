#include "wysylka/logowanie_ksef.h"

#include "calc/dokument.h"
#include "store/cale_pliki.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

QString NipSprzedawcy(SystemPlikow& system, const QString& katalogDanych) {
    const TDaneFirmy firma =
        CzytajLubDomyslny<TDaneFirmy>(system, SciezkaDanych(katalogDanych, SciezkaDanychFirmy));
    const std::optional<QString> cyfry = CyfryNip(firma.nip.tekst());
    return cyfry && PoprawnyNip(*cyfry) ? *cyfry : QString();
}

QString NipKontekstuKsef(const UstawieniaKsef& ustawienia, const QString& nipSprzedawcy) {
    if (ustawienia.nipKontekstu.trimmed().isEmpty()) return nipSprzedawcy;
    return CyfryNip(ustawienia.nipKontekstu).value_or(ustawienia.nipKontekstu.trimmed());
}

RodzajSekretu SekretPoswiadczenia(UstawieniaKsef::Poswiadczenie poswiadczenie) {
    return poswiadczenie == UstawieniaKsef::Poswiadczenie::Token ? RodzajSekretu::Token
                                                                 : RodzajSekretu::HasloKlucza;
}

QString NazwaSekretuUstawien(const UstawieniaKsef& ustawienia, const QString& nipKontekstu) {
    return NazwaSekretu(SekretPoswiadczenia(ustawienia.poswiadczenie), nipKontekstu, ustawienia.srodowisko);
}

PoswiadczeniaKsef PoswiadczeniaZUstawien(const UstawieniaKsef& ustawienia, const QString& nipKontekstu,
                                         const QString& sekret) {
    PoswiadczeniaKsef p;
    p.nipKontekstu = nipKontekstu;
    if (ustawienia.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token) {
        p.rodzaj = PoswiadczeniaKsef::Rodzaj::Token;
        p.token = sekret;
    } else {
        p.rodzaj = PoswiadczeniaKsef::Rodzaj::Certyfikat;
        p.plikCertyfikatu = ustawienia.plikCertyfikatu;
        p.plikKlucza = ustawienia.plikKlucza;
        p.hasloKlucza = sekret.toUtf8();
    }
    return p;
}
