// TEMPORARY stand-in of this branch, so that the KSeF page and window link and their tests run;
// the store's own implementation replaces this file whole.
#include "store/ustawienia_ksef.h"

#include "store/cale_pliki.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

QString SciezkaPliku(SystemPlikow& system) {
    return SciezkaDanych(CzytajKatalogDanych(system, system.katalogRoboczy()).katalog, SciezkaUstawienKsef);
}

}  // namespace

UstawieniaKsef CzytajUstawieniaKsef(SystemPlikow& system) {
    UstawieniaKsef u;
    const QString sciezka = SciezkaPliku(system);
    if (!PlikIstnieje(system, sciezka)) return u;
    const QString tekst = QString::fromUtf8(CzytajCalyPlik(system, sciezka, 1 << 20));
    for (const QString& wiersz : tekst.split(u'\n')) {
        const qsizetype rowna = wiersz.indexOf(u'=');
        if (rowna < 0) continue;
        const QString klucz = wiersz.left(rowna).trimmed();
        const QString wartosc = wiersz.mid(rowna + 1).trimmed();
        if (klucz == u"srodowisko") u.srodowisko = wartosc;
        if (klucz == u"nip") u.nipKontekstu = wartosc;
        if (klucz == u"poswiadczenie")
            u.poswiadczenie = wartosc == u"token" ? UstawieniaKsef::Poswiadczenie::Token
                                                  : UstawieniaKsef::Poswiadczenie::Certyfikat;
        if (klucz == u"certyfikat") u.plikCertyfikatu = wartosc;
        if (klucz == u"klucz") u.plikKlucza = wartosc;
        if (klucz == u"certyfikat_offline") u.plikCertyfikatuOffline = wartosc;
        if (klucz == u"klucz_offline") u.plikKluczaOffline = wartosc;
    }
    return u;
}

void ZapiszUstawieniaKsef(SystemPlikow& system, const UstawieniaKsef& u) {
    QString tekst;
    const auto dodaj = [&](const char* klucz, const QString& wartosc) {
        tekst += QString::fromLatin1(klucz) + u'=' + QString(wartosc).remove(u'\n').remove(u'\r') + u'\n';
    };
    dodaj("srodowisko", u.srodowisko);
    dodaj("nip", u.nipKontekstu);
    dodaj("poswiadczenie", u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token
                               ? QStringLiteral("token")
                               : QStringLiteral("certyfikat"));
    dodaj("certyfikat", u.plikCertyfikatu);
    dodaj("klucz", u.plikKlucza);
    dodaj("certyfikat_offline", u.plikCertyfikatuOffline);
    dodaj("klucz_offline", u.plikKluczaOffline);
    ZapiszAtomowo(system, SciezkaPliku(system), tekst.toUtf8());
}
