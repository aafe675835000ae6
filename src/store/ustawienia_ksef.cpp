#include "store/ustawienia_ksef.h"

#include "store/blad.h"
#include "store/pary.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

constexpr std::uint64_t NajwiekszeUstawienia = std::uint64_t{64} << 10;

QString Sciezka(SystemPlikow& system, const QString& katalogDanych) {
    return RzeczywistaSciezka(system, SciezkaDanych(katalogDanych, SciezkaUstawienKsef));
}

const QString KluczSrodowiska = QStringLiteral("srodowisko");
const QString KluczNipu = QStringLiteral("nip_kontekstu");
const QString KluczPoswiadczenia = QStringLiteral("poswiadczenie");
const QString KluczCertyfikatu = QStringLiteral("certyfikat");
const QString KluczKlucza = QStringLiteral("klucz");
const QString KluczCertyfikatuOffline = QStringLiteral("certyfikat_offline");
const QString KluczKluczaOffline = QStringLiteral("klucz_offline");

}  // namespace

UstawieniaKsef CzytajUstawieniaKsef(SystemPlikow& system, const QString& katalogDanych) {
    const QString sciezka = Sciezka(system, katalogDanych);
    UstawieniaKsef u;
    const std::optional<QByteArray> bajty = CzytajJesliIstnieje(system, sciezka, NajwiekszeUstawienia);
    if (!bajty) return u;
    const Pary pary = Pary::Z(*bajty, sciezka);
    if (const auto w = pary.wartosc(KluczSrodowiska); w && !w->isEmpty()) u.srodowisko = *w;
    u.nipKontekstu = pary.wartosc(KluczNipu).value_or(QString());
    if (const auto w = pary.wartosc(KluczPoswiadczenia); w && !w->isEmpty()) {
        if (*w == QLatin1String("token"))
            u.poswiadczenie = UstawieniaKsef::Poswiadczenie::Token;
        else if (*w == QLatin1String("certyfikat"))
            u.poswiadczenie = UstawieniaKsef::Poswiadczenie::Certyfikat;
        else
            throw BladPliku(QStringLiteral("odczyt"), sciezka, 0,
                            QStringLiteral("plik jest uszkodzony (błędna wartość „%1” klucza %2)")
                                .arg(*w, KluczPoswiadczenia));
    }
    u.plikCertyfikatu = pary.wartosc(KluczCertyfikatu).value_or(QString());
    u.plikKlucza = pary.wartosc(KluczKlucza).value_or(QString());
    u.plikCertyfikatuOffline = pary.wartosc(KluczCertyfikatuOffline).value_or(QString());
    u.plikKluczaOffline = pary.wartosc(KluczKluczaOffline).value_or(QString());
    return u;
}

UstawieniaKsef CzytajUstawieniaKsef(SystemPlikow& system) {
    return CzytajUstawieniaKsef(system, KatalogDanychRoboczego(system));
}

void ZapiszUstawieniaKsef(SystemPlikow& system, const QString& katalogDanych, const UstawieniaKsef& u) {
    ZmienParyPodBlokada(system, Sciezka(system, katalogDanych), NajwiekszeUstawienia, [&](Pary& pary) {
        pary.ustawNiepuste(KluczSrodowiska, u.srodowisko);
        pary.ustawNiepuste(KluczNipu, u.nipKontekstu);
        pary.ustaw(KluczPoswiadczenia, u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token
                                           ? QStringLiteral("token")
                                           : QStringLiteral("certyfikat"));
        pary.ustawNiepuste(KluczCertyfikatu, u.plikCertyfikatu);
        pary.ustawNiepuste(KluczKlucza, u.plikKlucza);
        pary.ustawNiepuste(KluczCertyfikatuOffline, u.plikCertyfikatuOffline);
        pary.ustawNiepuste(KluczKluczaOffline, u.plikKluczaOffline);
    });
}

void ZapiszUstawieniaKsef(SystemPlikow& system, const UstawieniaKsef& u) {
    ZapiszUstawieniaKsef(system, KatalogDanychRoboczego(system), u);
}
