#include "store/stan_ksef.h"

#include <algorithm>
#include <limits>
#include <type_traits>

#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/pary.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

constexpr std::uint64_t NajwiekszyStan = std::uint64_t{64} << 10;
constexpr std::uint64_t NajwiekszyXml = std::uint64_t{16} << 20;

// A document's or session's name becomes a file name: only letters, digits, "-" and "_", so that no
// name reaches outside the KSeF folder.
void SprawdzNazwe(const QString& nazwa) {
    const bool dobra =
        !nazwa.isEmpty() && nazwa.size() <= 200 && std::all_of(nazwa.begin(), nazwa.end(), [](QChar z) {
            const char16_t k = z.unicode();
            return (k >= u'a' && k <= u'z') || (k >= u'A' && k <= u'Z') || (k >= u'0' && k <= u'9') ||
                   k == u'-' || k == u'_';
        });
    if (!dobra) throw Odmowa(QStringLiteral("Nazwa „%1” nie może być nazwą pliku KSeF.").arg(nazwa));
}

QString PlikKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                 const QString& koncowka) {
    SprawdzNazwe(nazwa);
    return KatalogKsef(system, katalogDanych) + u'/' + nazwa + koncowka;
}

const QString KluczStan = QStringLiteral("stan");

BladPliku BlednaWartosc(const QString& sciezka, const QString& klucz, const QString& wartosc) {
    return BladPliku(
        QStringLiteral("odczyt"), sciezka, 0,
        QStringLiteral("plik jest uszkodzony (błędna wartość „%1” klucza %2)").arg(wartosc, klucz));
}

QString TekstCzasu(const QDateTime& czas) {
    if (!czas.isValid()) return {};
    const QDateTime utc = czas.toUTC();
    return utc.toString(utc.time().msec() != 0 ? Qt::ISODateWithMs : Qt::ISODate);
}

QDateTime CzasZTekstu(const QString& tekst, const QString& sciezka, const QString& klucz) {
    const QDateTime czas = QDateTime::fromString(tekst, Qt::ISODateWithMs);
    if (!czas.isValid()) throw BlednaWartosc(sciezka, klucz, tekst);
    return czas.toUTC();
}

// The state of an empty file is none: a change that is under way, or was never finished, created it.
std::optional<StanKsef> StanZPar(const Pary& pary, const QString& sciezka) {
    if (pary.linie().empty()) return std::nullopt;
    StanKsef stan;
    const auto tekst = [&](const char* klucz) {
        return pary.wartosc(QLatin1String(klucz)).value_or(QString());
    };
    const QString slowo = tekst("stan");
    const std::optional<StanWysylki> rodzaj = StanZeSlowa(slowo);
    if (!rodzaj) throw BlednaWartosc(sciezka, KluczStan, slowo);
    stan.stan = *rodzaj;
    stan.srodowisko = tekst("srodowisko");
    stan.skrot = tekst("skrot");
    stan.numerSesji = tekst("numer_sesji");
    stan.numerFaktury = tekst("numer_faktury");
    stan.numerKsef = tekst("numer_ksef");
    stan.powod = tekst("powod");
    stan.trybOffline = tekst("tryb_offline");
    stan.stanowisko = tekst("stanowisko");
    stan.skrotRekordu = tekst("skrot_rekordu");
    stan.linkKoduI = tekst("link_kodu_1");
    stan.linkKoduII = tekst("link_kodu_2");
    stan.skrotPierwotny = tekst("skrot_pierwotny");
    const auto liczba = [&](const char* klucz, auto& cel) {
        const QString t = tekst(klucz);
        if (t.isEmpty()) return;
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        using T = std::remove_reference_t<decltype(cel)>;
        if (!ok || n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max())
            throw BlednaWartosc(sciezka, QLatin1String(klucz), t);
        cel = static_cast<T>(n);
    };
    liczba("rozmiar", stan.rozmiar);
    liczba("kod", stan.kod);
    if (const QString t = tekst("data_przyjecia"); !t.isEmpty())
        stan.dataPrzyjecia = CzasZTekstu(t, sciezka, QStringLiteral("data_przyjecia"));
    if (const QString t = tekst("czas_zmiany"); !t.isEmpty())
        stan.czasZmiany = CzasZTekstu(t, sciezka, QStringLiteral("czas_zmiany"));
    if (const QString t = tekst("termin_offline"); !t.isEmpty()) {
        stan.terminOffline = QDate::fromString(t, Qt::ISODate);
        if (!stan.terminOffline.isValid()) throw BlednaWartosc(sciezka, QStringLiteral("termin_offline"), t);
    }
    if (const QString t = tekst("upo"); !t.isEmpty()) {
        if (t != QLatin1String("tak") && t != QLatin1String("nie"))
            throw BlednaWartosc(sciezka, QStringLiteral("upo"), t);
        stan.maUpo = t == QLatin1String("tak");
    }
    return stan;
}

// The known keys set over what the file held, so that the others stay.
void StanDoPar(const StanKsef& stan, Pary& pary) {
    pary.ustaw(KluczStan, SlowoStanu(stan.stan));
    pary.ustawNiepuste(QStringLiteral("srodowisko"), stan.srodowisko);
    pary.ustawNiepuste(QStringLiteral("skrot"), stan.skrot);
    pary.ustawNiepuste(QStringLiteral("rozmiar"), stan.rozmiar ? QString::number(stan.rozmiar) : QString());
    pary.ustawNiepuste(QStringLiteral("numer_sesji"), stan.numerSesji);
    pary.ustawNiepuste(QStringLiteral("numer_faktury"), stan.numerFaktury);
    pary.ustawNiepuste(QStringLiteral("numer_ksef"), stan.numerKsef);
    pary.ustawNiepuste(QStringLiteral("data_przyjecia"), TekstCzasu(stan.dataPrzyjecia));
    pary.ustawNiepuste(QStringLiteral("kod"), stan.kod ? QString::number(stan.kod) : QString());
    pary.ustawNiepuste(QStringLiteral("powod"), stan.powod);
    pary.ustaw(QStringLiteral("upo"), stan.maUpo ? QStringLiteral("tak") : QStringLiteral("nie"));
    pary.ustawNiepuste(QStringLiteral("tryb_offline"), stan.trybOffline);
    pary.ustawNiepuste(QStringLiteral("termin_offline"),
                       stan.terminOffline.isValid() ? stan.terminOffline.toString(Qt::ISODate) : QString());
    pary.ustawNiepuste(QStringLiteral("czas_zmiany"), TekstCzasu(stan.czasZmiany));
    pary.ustawNiepuste(QStringLiteral("stanowisko"), stan.stanowisko);
    pary.ustawNiepuste(QStringLiteral("skrot_rekordu"), stan.skrotRekordu);
    pary.ustawNiepuste(QStringLiteral("link_kodu_1"), stan.linkKoduI);
    pary.ustawNiepuste(QStringLiteral("link_kodu_2"), stan.linkKoduII);
    pary.ustawNiepuste(QStringLiteral("skrot_pierwotny"), stan.skrotPierwotny);
}

}  // namespace

QString NazwaStanu(StanWysylki stan) {
    switch (stan) {
        case StanWysylki::Niewyslany:
            return QStringLiteral("niewysłany");
        case StanWysylki::Wysylany:
            return QStringLiteral("wysyłany");
        case StanWysylki::Wyslany:
            return QStringLiteral("wysłany");
        case StanWysylki::Przyjety:
            return QStringLiteral("przyjęty");
        case StanWysylki::Odrzucony:
            return QStringLiteral("odrzucony");
        case StanWysylki::Offline:
            return QStringLiteral("offline");
    }
    return {};
}

QString SlowoStanu(StanWysylki stan) {
    switch (stan) {
        case StanWysylki::Niewyslany:
            return QStringLiteral("niewyslany");
        case StanWysylki::Wysylany:
            return QStringLiteral("wysylany");
        case StanWysylki::Wyslany:
            return QStringLiteral("wyslany");
        case StanWysylki::Przyjety:
            return QStringLiteral("przyjety");
        case StanWysylki::Odrzucony:
            return QStringLiteral("odrzucony");
        case StanWysylki::Offline:
            return QStringLiteral("offline");
    }
    return {};
}

std::optional<StanWysylki> StanZeSlowa(const QString& slowo) {
    for (StanWysylki stan : {StanWysylki::Niewyslany, StanWysylki::Wysylany, StanWysylki::Wyslany,
                             StanWysylki::Przyjety, StanWysylki::Odrzucony, StanWysylki::Offline})
        if (slowo == SlowoStanu(stan)) return stan;
    return std::nullopt;
}

bool JestWKsef(const StanKsef& stan) {
    // A document handed to a session may have reached KSeF before the run was cut off: until the next
    // run learns otherwise it counts as sent.
    return stan.stan == StanWysylki::Wysylany || stan.stan == StanWysylki::Wyslany ||
           stan.stan == StanWysylki::Przyjety;
}

bool WystawionyOffline(const StanKsef& stan) {
    return stan.stan == StanWysylki::Offline ||
           (stan.stan == StanWysylki::Odrzucony && !stan.trybOffline.isEmpty());
}

QString KatalogKsef(SystemPlikow& system, const QString& katalogDanych) {
    return RzeczywistaSciezka(system, SciezkaDanych(katalogDanych, QStringLiteral("\\KSeF")));
}

QString KatalogKsef(SystemPlikow& system) { return KatalogKsef(system, KatalogDanychRoboczego(system)); }

std::optional<StanKsef> CzytajStanKsef(SystemPlikow& system, const QString& katalogDanych,
                                       const QString& nazwa) {
    const QString sciezka = PlikKsef(system, katalogDanych, nazwa, QStringLiteral(".stan"));
    const std::optional<QByteArray> bajty = CzytajJesliIstnieje(system, sciezka, NajwiekszyStan);
    if (!bajty) return std::nullopt;
    return StanZPar(Pary::Z(*bajty, sciezka), sciezka);
}

std::optional<StanKsef> CzytajStanKsef(SystemPlikow& system, const QString& nazwa) {
    return CzytajStanKsef(system, KatalogDanychRoboczego(system), nazwa);
}

StanKsef ZmienStanKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                       const std::function<void(std::optional<StanKsef>& stan)>& zmien) {
    const QString sciezka = PlikKsef(system, katalogDanych, nazwa, QStringLiteral(".stan"));
    std::optional<StanKsef> stan;
    ZmienParyPodBlokada(system, sciezka, NajwiekszyStan, [&](Pary& pary) {
        stan = StanZPar(pary, sciezka);
        zmien(stan);
        if (!stan) {
            pary = Pary();
            return;
        }
        stan->czasZmiany = QDateTime::currentDateTimeUtc();
        stan->stanowisko = NazwaStanowiska();
        StanDoPar(*stan, pary);
    });
    return stan.value_or(StanKsef{});
}

StanKsef ZmienStanKsef(SystemPlikow& system, const QString& nazwa,
                       const std::function<void(std::optional<StanKsef>& stan)>& zmien) {
    return ZmienStanKsef(system, KatalogDanychRoboczego(system), nazwa, zmien);
}

std::optional<QByteArray> CzytajXmlKsef(SystemPlikow& system, const QString& katalogDanych,
                                        const QString& nazwa) {
    return CzytajJesliIstnieje(system, PlikKsef(system, katalogDanych, nazwa, QStringLiteral(".xml")),
                               NajwiekszyXml);
}

std::optional<QByteArray> CzytajXmlKsef(SystemPlikow& system, const QString& nazwa) {
    return CzytajXmlKsef(system, KatalogDanychRoboczego(system), nazwa);
}

namespace {

// The kept bytes' file, under the folder-wide lock of every writer of them.
struct ZapisXml {
    QString sciezka;
    ZablokowanyPlik blokada;
};

ZapisXml ZacznijZapisXml(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                         const QByteArray& xml) {
    const QString sciezka = PlikKsef(system, katalogDanych, nazwa, QStringLiteral(".xml"));
    if (static_cast<std::uint64_t>(xml.size()) > NajwiekszyXml)
        throw Odmowa(
            QStringLiteral("Plik FA(3) dokumentu %1 jest za duży (bajtów: %2).").arg(nazwa).arg(xml.size()));
    return {sciezka,
            ZablokujTworzac(system, KatalogKsef(system, katalogDanych) + QStringLiteral("/xml.blk"))};
}

}  // namespace

QByteArray ZachowajXmlKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                           const QByteArray& xml) {
    ZapisXml zapis = ZacznijZapisXml(system, katalogDanych, nazwa, xml);
    if (std::optional<QByteArray> zachowane = CzytajJesliIstnieje(system, zapis.sciezka, NajwiekszyXml))
        return *zachowane;
    try {
        ZapiszAtomowo(system, zapis.sciezka, xml, ZapisDokladny(false));
    } catch (const CelIstnieje&) {
        // Kept meanwhile by a copy that does not lock (none of ours does): its bytes stay.
        return CzytajJesliIstnieje(system, zapis.sciezka, NajwiekszyXml).value_or(xml);
    }
    zapis.blokada.plik().porzuc();
    return xml;
}

void ZastapXmlKsef(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
                   const QByteArray& xml) {
    ZapisXml zapis = ZacznijZapisXml(system, katalogDanych, nazwa, xml);
    ZapiszAtomowo(system, zapis.sciezka, xml, ZapisDokladny(true));
    zapis.blokada.plik().porzuc();
}

QByteArray ZachowajXmlKsef(SystemPlikow& system, const QString& nazwa, const QByteArray& xml) {
    return ZachowajXmlKsef(system, KatalogDanychRoboczego(system), nazwa, xml);
}

void ZapiszUpo(SystemPlikow& system, const QString& katalogDanych, const QString& nazwa,
               const QByteArray& upo) {
    const QString sciezka = PlikKsef(system, katalogDanych, nazwa, QStringLiteral(".upo.xml"));
    UtworzKatalogi(system, KatalogNadrzedny(sciezka));
    ZapiszAtomowo(system, sciezka, upo, ZapisDokladny());
}

void ZapiszUpo(SystemPlikow& system, const QString& nazwa, const QByteArray& upo) {
    ZapiszUpo(system, KatalogDanychRoboczego(system), nazwa, upo);
}

std::optional<QByteArray> CzytajUpo(SystemPlikow& system, const QString& katalogDanych,
                                    const QString& nazwa) {
    return CzytajJesliIstnieje(system, PlikKsef(system, katalogDanych, nazwa, QStringLiteral(".upo.xml")),
                               NajwiekszyXml);
}

std::optional<QByteArray> CzytajUpo(SystemPlikow& system, const QString& nazwa) {
    return CzytajUpo(system, KatalogDanychRoboczego(system), nazwa);
}

void ZapiszUpoSesji(SystemPlikow& system, const QString& katalogDanych, const QString& numerSesji,
                    const QByteArray& upo) {
    SprawdzNazwe(numerSesji);
    const QString katalog = KatalogKsef(system, katalogDanych) + QStringLiteral("/sesje");
    UtworzKatalogi(system, katalog);
    ZapiszAtomowo(system, katalog + u'/' + numerSesji + QStringLiteral(".upo.xml"), upo, ZapisDokladny());
}

void ZapiszUpoSesji(SystemPlikow& system, const QString& numerSesji, const QByteArray& upo) {
    ZapiszUpoSesji(system, KatalogDanychRoboczego(system), numerSesji, upo);
}

BlokadaWysylki::BlokadaWysylki(SystemPlikow& system, const QString& katalogDanych,
                               std::chrono::milliseconds czas) {
    const QString sciezka = KatalogKsef(system, katalogDanych) + QStringLiteral("/wysylka.blk");
    try {
        blokada_.emplace(ZablokujTworzac(system, sciezka, czas));
    } catch (const BladPliku& blad) {
        // Only a lock held elsewhere is the other workstation's run; any other failure is said as it is.
        if (blad.operacja() != QLatin1String("blokada") || blad.kod() != EAGAIN) throw;
        throw Odmowa(QStringLiteral("Wysyłanie do KSeF trwa na innym stanowisku; spróbuj ponownie później."));
    }
}

BlokadaWysylki::BlokadaWysylki(SystemPlikow& system, std::chrono::milliseconds czas)
    : BlokadaWysylki(system, KatalogDanychRoboczego(system), czas) {}
