#include "wysylka/polecenia_ksef.h"

#include <QDir>
#include <optional>

#include "calc/dokument.h"
#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "eksport/nazwy_plikow.h"
#include "eksport/pola.h"
#include "eksport/postep.h"
#include "print/wydruk.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "store/stan_ksef.h"
#include "store/ustawienia_ksef.h"
#include "wysylka/haslo.h"
#include "wysylka/okno_ksef.h"
#include "wysylka/polecenie_ksef.h"

namespace {

constexpr std::size_t RekordowNaOdczyt = 64;
// A token is some hundred characters; a file far longer is no token file.
constexpr std::uint64_t NajdluzszyToken = 64 * 1024;

// What the list shows of a state: a document handed to a session is sent as far as the user is
// concerned; only the next run learns whether KSeF got it.
QString OpisStanu(const std::optional<StanKsef>& stan) {
    if (!stan) return NazwaStanu(StanWysylki::Niewyslany);
    return NazwaStanu(stan->stan == StanWysylki::Wysylany ? StanWysylki::Wyslany : stan->stan);
}

QString PowodOdrzucenia(const StanKsef& stan) {
    if (stan.stan != StanWysylki::Odrzucony) return {};
    const QString powod = CzystyTekst(stan.powod);
    if (stan.kod == 0) return powod;
    return powod.isEmpty() ? QStringLiteral("kod %1").arg(stan.kod)
                           : QStringLiteral("kod %1: %2").arg(stan.kod).arg(powod);
}

// The warning of an offline document close to its deadline or past it; empty when there is none.
QString OstrzezenieTerminu(const QString& nazwa, const StanKsef& stan, const QDate& dzisiaj) {
    const TerminWysylki t = OpisTerminu(stan, dzisiaj);
    if (!t.ostrzezenie) return {};
    return QStringLiteral("Uwaga: %1 wystawiony offline: %2.").arg(nazwa, t.opis);
}

class Polecenia {
  public:
    Polecenia(const PolecenieKsef& p, Srodowisko& s, const ZaleznosciKsef& z) : p_(p), s_(s), z_(z) {}

    int uruchom();

  private:
    QString sciezka(const QString& podana) const {
        return QDir::cleanPath(QDir(folder_.katalogRoboczy).absoluteFilePath(podana));
    }
    // Every chosen invoice and correction in file order (other records are no documents).
    template <class F>
    void kazdyDokument(F&& dzialanie) {
        const FiltrDokumentow filtr(p_.wybor);
        std::int64_t pozycja = 0;
        KazdyRekord<TDokument>(s_.pliki, folder_.plikDokumentow, RekordowNaOdczyt, [&](const TDokument& d) {
            ++pozycja;
            if (filtr.pasuje(d, pozycja) && (JestFaktura(d) || JestKorekta(d))) dzialanie(d, pozycja);
        });
    }
    int stan();
    int pliki();
    int wyslij();
    int offline();
    // Offline documents whose deadline is tomorrow, today or past, on the error stream.
    void ostrzezTerminy();
    QDate dzisiaj() const {
        return s_.teraz.isValid() ? s_.teraz.toLocalTime().date() : QDate::currentDate();
    }
    ZadanieWysylki zadanie();
    SrodowiskoKsef srodowiskoKsef(const UstawieniaKsef& ustawienia);
    QString nipSejfu(const UstawieniaKsef& ustawienia) const;
    QByteArray hasloKlucza(const QString& nazwaSekretu, const QString& pytanie);

    const PolecenieKsef& p_;
    Srodowisko& s_;
    const ZaleznosciKsef& z_;
    FolderDanych folder_;
};

int Polecenia::stan() {
    int bledy = 0;
    const QDate dzien = dzisiaj();
    QStringList ostrzezenia;
    kazdyDokument([&](const TDokument& d, std::int64_t pozycja) {
        std::optional<StanKsef> stan;
        try {
            stan = CzytajStanKsef(s_.pliki, folder_.katalogDanych, NazwaDokumentu(d));
        } catch (const BladPliku& blad) {
            ++bledy;
            WypiszLinie(s_.bledy, QStringLiteral("%1: %2").arg(OpisDokumentu(d, pozycja), blad.komunikat()));
            WypiszLinie(
                s_.wyjscie,
                QStringList{CzystyTekst(NumerDokumentu(d)), CzystyTekst(d.data_wystawienia.tekst()),
                            CzystyTekst(d.odbiorca1.tekst()), KwotaPliku(ObliczKwotyDokumentu(d).doZaplaty),
                            QStringLiteral("nieznany"), QString(), QString(), QString()}
                    .join(u'\t'));
            return;
        }
        const QStringList pola{CzystyTekst(NumerDokumentu(d)), CzystyTekst(d.data_wystawienia.tekst()),
                               CzystyTekst(d.odbiorca1.tekst()),
                               KwotaPliku(ObliczKwotyDokumentu(d).doZaplaty), OpisStanu(stan),
                               stan ? CzystyTekst(stan->numerKsef) : QString(),
                               !stan                                ? QString()
                               : stan->stan == StanWysylki::Offline ? OpisTerminu(*stan, dzien).opis
                                                                    : PowodOdrzucenia(*stan),
                               // The KOD I link, when the document's printout carries it.
                               KodyKsefZeStanu(stan).value_or(KodyKsefWydruku{}).linkI};
        WypiszLinie(s_.wyjscie, pola.join(u'\t'));
        if (stan) ostrzezenia << OstrzezenieTerminu(NazwaDokumentu(d), *stan, dzien);
    });
    // After the list, so that its lines stay whole when both streams go to one terminal.
    for (const QString& o : ostrzezenia)
        if (!o.isEmpty()) WypiszLinie(s_.bledy, o);
    if (std::fflush(s_.wyjscie) != 0) throw Odmowa(QStringLiteral("nie można pisać na standardowe wyjście"));
    return bledy ? KodOdrzucenia : KodSukcesu;
}

// upo and xml: the kept bytes of each chosen document that has them, as files of the export's names.
int Polecenia::pliki() {
    const bool upo = p_.rodzaj == RodzajPoleceniaKsef::Upo;
    const QString folder = sciezka(p_.cel);
    UtworzKatalogi(s_.pliki, folder);
    NazwyPlikow nazwy(upo ? QStringLiteral(".upo.xml") : QStringLiteral(".xml"));
    std::int64_t wybrane = 0, zapisane = 0, bezPliku = 0, odrzucone = 0;
    SynchronizacjaNaKoniec synchronizacja(s_.pliki, folder);
    kazdyDokument([&](const TDokument& d, std::int64_t pozycja) {
        ++wybrane;
        const QString nazwa = NazwaDokumentu(d);
        std::optional<QByteArray> bajty;
        try {
            bajty = upo ? CzytajUpo(s_.pliki, folder_.katalogDanych, nazwa)
                        : CzytajXmlKsef(s_.pliki, folder_.katalogDanych, nazwa);
        } catch (const BladPliku& blad) {
            ++odrzucone;
            WypiszLinie(
                s_.bledy,
                QStringLiteral("Odrzucono: %1: %2.").arg(OpisDokumentu(d, pozycja), blad.komunikat()));
            return;
        }
        if (!bajty) {
            ++bezPliku;
            WypiszLinie(s_.bledy, QStringLiteral("Pominięto: %1: %2.")
                                      .arg(OpisDokumentu(d, pozycja),
                                           upo ? QStringLiteral("KSeF nie wydał jeszcze UPO")
                                               : QStringLiteral("dokument nie był wysyłany do KSeF")));
            return;
        }
        const QString cel = QDir(folder).filePath(nazwy.nazwa(d, pozycja));
        try {
            ZapiszAtomowo(s_.pliki, cel, *bajty, OpcjeWyniku(p_.nadpisz, false));
            ++zapisane;
        } catch (const CelIstnieje&) {
            ++odrzucone;
            WypiszLinie(
                s_.bledy,
                QStringLiteral("Odrzucono: %1: %2.").arg(OpisDokumentu(d, pozycja), WynikIstnieje(cel)));
        }
    });
    synchronizacja.teraz();
    if (wybrane == 0) {
        WypiszLinie(s_.bledy,
                    QStringLiteral("Żaden dokument nie spełnia warunków wyboru; niczego nie zapisano."));
        return KodSukcesu;
    }
    QString podsumowanie = QStringLiteral("Zapisano plików: %1 z %2 wybranych dokumentów do „%3”")
                               .arg(zapisane)
                               .arg(wybrane)
                               .arg(folder);
    if (bezPliku) podsumowanie += QStringLiteral("; pominięto: %1").arg(bezPliku);
    if (odrzucone) podsumowanie += QStringLiteral("; odrzucono: %1").arg(odrzucone);
    WypiszLinie(s_.bledy, podsumowanie + u'.');
    return odrzucone ? KodOdrzucenia : KodSukcesu;
}

QByteArray Polecenia::hasloKlucza(const QString& nazwaSekretu, const QString& pytanie) {
    if (z_.zmiennaHasla)
        if (std::optional<QByteArray> haslo = z_.zmiennaHasla(); haslo && !haslo->isEmpty()) return *haslo;
    if (z_.czytajSekret) {
        const WynikSejfu sejf = z_.czytajSekret(nazwaSekretu);
        if (sejf.wartosc && !sejf.wartosc->isEmpty()) return sejf.wartosc->toUtf8();
    }
    if (z_.zapytajOHaslo)
        if (std::optional<QByteArray> haslo = z_.zapytajOHaslo(pytanie)) return *haslo;
    throw Odmowa(
        QStringLiteral("brak hasła klucza: ustaw zmienną FAKTURA_KSEF_HASLO, zapisz hasło w oknie "
                       "programu albo uruchom polecenie na terminalu"));
}

SrodowiskoKsef Polecenia::srodowiskoKsef(const UstawieniaKsef& ustawienia) {
    QString blad;
    const QString nazwaSrodowiska = p_.srodowisko.value_or(ustawienia.srodowisko);
    const std::optional<SrodowiskoKsef> srodowisko = ZnajdzSrodowisko(nazwaSrodowiska, &blad);
    if (!srodowisko)
        throw Odmowa(p_.srodowisko
                         ? blad
                         : QStringLiteral("%1 (ustawienia KSeF „%2”)")
                               .arg(blad, RzeczywistaSciezka(s_.pliki, SciezkaDanych(folder_.katalogDanych,
                                                                                     SciezkaUstawienKsef))));
    return *srodowisko;
}

// The keyring keeps a secret per firm: the context's NIP, or the seller's when none is set.
QString Polecenia::nipSejfu(const UstawieniaKsef& ustawienia) const {
    return !ustawienia.nipKontekstu.isEmpty() ? ustawienia.nipKontekstu
                                              : CyfryNip(folder_.firma.nip.tekst()).value_or(QString());
}

// The sending's task from the command line, and for what it leaves out the data folder's KSeF
// settings; no secret is written anywhere on the way.
ZadanieWysylki Polecenia::zadanie() {
    const UstawieniaKsef ustawienia = CzytajUstawieniaKsef(s_.pliki, folder_.katalogDanych);
    ZadanieWysylki z;
    z.wybor = p_.wybor;
    z.opcje = p_.ksef;
    z.srodowisko = srodowiskoKsef(ustawienia);

    PoswiadczeniaKsef& p = z.poswiadczenia;
    p.nipKontekstu = ustawienia.nipKontekstu;
    const QString nipSejfu = this->nipSejfu(ustawienia);
    if (p_.plikTokenu) {
        p.rodzaj = PoswiadczeniaKsef::Rodzaj::Token;
        const QString plik = sciezka(*p_.plikTokenu);
        OtwartyPlik otwarty(s_.pliki, plik, TrybOtwarcia::Odczyt);
        QByteArray bajty = CzytajCalyPlik(otwarty, NajdluzszyToken);
        otwarty.zamknij();
        p.token = QString::fromUtf8(bajty).trimmed();
        bajty.fill('\0');
        if (p.token.isEmpty()) throw Odmowa(QStringLiteral("plik tokenu „%1” jest pusty").arg(plik));
        return z;
    }
    const bool certyfikat = p_.plikCertyfikatu.has_value() ||
                            ustawienia.poswiadczenie == UstawieniaKsef::Poswiadczenie::Certyfikat;
    if (!certyfikat) {
        p.rodzaj = PoswiadczeniaKsef::Rodzaj::Token;
        const WynikSejfu sejf =
            z_.czytajSekret
                ? z_.czytajSekret(NazwaSekretu(RodzajSekretu::Token, nipSejfu, z.srodowisko.nazwa))
                : WynikSejfu{std::nullopt, false, {}};
        if (!sejf.wartosc || sejf.wartosc->isEmpty())
            throw Odmowa(QStringLiteral(
                             "brak tokenu KSeF%1: podaj --token-plik PLIK albo zapisz token w oknie programu")
                             .arg(!sejf.blad.isEmpty() ? QStringLiteral(" (%1)").arg(sejf.blad)
                                  : !sejf.sejfDostepny
                                      ? QStringLiteral(" (pęk kluczy pulpitu jest niedostępny)")
                                      : QString()));
        p.token = *sejf.wartosc;
        return z;
    }
    p.rodzaj = PoswiadczeniaKsef::Rodzaj::Certyfikat;
    p.plikCertyfikatu = p_.plikCertyfikatu ? sciezka(*p_.plikCertyfikatu) : ustawienia.plikCertyfikatu;
    p.plikKlucza = p_.plikKlucza ? sciezka(*p_.plikKlucza) : ustawienia.plikKlucza;
    if (p.plikCertyfikatu.isEmpty() || p.plikKlucza.isEmpty())
        throw Odmowa(
            QStringLiteral("brak certyfikatu KSeF: podaj --certyfikat PLIK.crt --klucz PLIK.key albo "
                           "wybierz je w oknie programu"));
    p.hasloKlucza = hasloKlucza(NazwaSekretu(RodzajSekretu::HasloKlucza, nipSejfu, z.srodowisko.nazwa),
                                QStringLiteral("Hasło klucza KSeF: "));
    return z;
}

void Polecenia::ostrzezTerminy() {
    const QDate dzien = dzisiaj();
    kazdyDokument([&](const TDokument& d, std::int64_t) {
        try {
            const QString nazwa = NazwaDokumentu(d);
            if (const std::optional<StanKsef> stan = CzytajStanKsef(s_.pliki, folder_.katalogDanych, nazwa))
                if (const QString o = OstrzezenieTerminu(nazwa, *stan, dzien); !o.isEmpty())
                    WypiszLinie(s_.bledy, o);
        } catch (const BladPliku&) {
            // The sending reports a state it cannot read.
        }
    });
}

int Polecenia::wyslij() {
    ZadanieWysylki z = zadanie();
    ostrzezTerminy();
    std::optional<Postep> postep;
    PostepWysylki p;
    p.komunikat = [&](const QString& linia) {
        if (postep)
            postep->komunikat(linia);
        else
            WypiszLinie(s_.bledy, linia);
    };
    p.postep = [&](int zrobione, int wszystkie) {
        if (!postep) postep.emplace(s_.bledy, s_.terminal, QStringLiteral("KSeF"), wszystkie);
        postep->ustaw(zrobione);
    };
    p.przerwij = [this] { return z_.przerwij && z_.przerwij(); };
    WynikWysylki wynik;
    try {
        wynik = z_.wyslij(s_.pliki, z, p);
    } catch (...) {
        z.poswiadczenia.hasloKlucza.fill('\0');
        throw;
    }
    z.poswiadczenia.hasloKlucza.fill('\0');
    if (postep) postep->zakoncz();
    for (const QString& blad : wynik.bledy) WypiszLinie(s_.bledy, blad);
    WypiszLinie(s_.bledy, QStringLiteral("Wysłano: %1, przyjęto: %2, odrzucono: %3, pominięto: %4.")
                              .arg(wynik.wyslane)
                              .arg(wynik.przyjete)
                              .arg(wynik.odrzucone)
                              .arg(wynik.pominiete));
    return wynik.kod == KodSukcesu && wynik.bledy.isEmpty() ? KodSukcesu : KodOdrzucenia;
}

int Polecenia::offline() {
    const UstawieniaKsef ustawienia = CzytajUstawieniaKsef(s_.pliki, folder_.katalogDanych);
    ZadanieOffline z;
    z.wybor = p_.wybor;
    z.opcje = p_.ksef;
    z.srodowisko = srodowiskoKsef(ustawienia);
    z.tryb = p_.trybOffline;
    z.koniec = p_.koniec;
    z.nipKontekstu = ustawienia.nipKontekstu;
    z.dzisiaj = dzisiaj();
    z.plikCertyfikatu = p_.plikCertyfikatu ? sciezka(*p_.plikCertyfikatu) : ustawienia.plikCertyfikatuOffline;
    z.plikKlucza = p_.plikKlucza ? sciezka(*p_.plikKlucza) : ustawienia.plikKluczaOffline;
    if (z.plikCertyfikatu.isEmpty() || z.plikKlucza.isEmpty())
        throw Odmowa(
            QStringLiteral("brak certyfikatu KSeF typu Offline: podaj --certyfikat PLIK.crt --klucz PLIK.key "
                           "albo wybierz go w ustawieniach KSeF"));
    z.hasloKlucza =
        hasloKlucza(NazwaSekretu(RodzajSekretu::HasloKluczaOffline, nipSejfu(ustawienia), z.srodowisko.nazwa),
                    QStringLiteral("Hasło klucza certyfikatu KSeF typu Offline: "));
    PostepWysylki p;
    p.komunikat = [&](const QString& linia) { WypiszLinie(s_.bledy, linia); };
    p.przerwij = [this] { return z_.przerwij && z_.przerwij(); };
    WynikWysylki wynik;
    try {
        wynik = z_.wystawOffline(s_.pliki, z, p);
    } catch (...) {
        z.hasloKlucza.fill('\0');
        throw;
    }
    z.hasloKlucza.fill('\0');
    for (const QString& blad : wynik.bledy) WypiszLinie(s_.bledy, blad);
    WypiszLinie(
        s_.bledy,
        QStringLiteral("Wystawiono offline: %1, pominięto: %2.").arg(wynik.wystawione).arg(wynik.pominiete));
    return wynik.kod == KodSukcesu && wynik.bledy.isEmpty() ? KodSukcesu : KodOdrzucenia;
}

int Polecenia::uruchom() {
    try {
        folder_ = CzytajFolderDanych(s_);
        switch (p_.rodzaj) {
            case RodzajPoleceniaKsef::Stan:
                return stan();
            case RodzajPoleceniaKsef::Upo:
            case RodzajPoleceniaKsef::Xml:
                return pliki();
            case RodzajPoleceniaKsef::Wyslij:
                return wyslij();
            case RodzajPoleceniaKsef::Offline:
                return offline();
            case RodzajPoleceniaKsef::Okno:
                break;
        }
    } catch (...) {
        WypiszLinie(s_.bledy, QStringLiteral("faktura-ksef: %1").arg(KomunikatBiezacegoBledu()));
    }
    return KodOdrzucenia;
}

}  // namespace

ZaleznosciKsef DomyslneZaleznosciKsef() {
    ZaleznosciKsef z;
    z.czytajSekret = CzytajSekret;
    z.zapytajOHaslo = ZapytajNaTerminalu;
    z.zmiennaHasla = []() -> std::optional<QByteArray> {
        if (!qEnvironmentVariableIsSet("FAKTURA_KSEF_HASLO")) return std::nullopt;
        return qgetenv("FAKTURA_KSEF_HASLO");
    };
    z.wyslij = WyslijDokumenty;
    z.wystawOffline = WystawOffline;
    z.okno = UruchomOknoKsef;
    return z;
}

int UruchomProgramKsef(const QStringList& argumenty, Srodowisko& srodowisko,
                       const ZaleznosciKsef& zaleznosci) {
    const ArgumentyKsef a = CzytajArgumentyKsef(argumenty);
    if (a.pomoc) {
        const QByteArray pomoc = TekstPomocyKsef().toUtf8();
        std::fwrite(pomoc.constData(), 1, static_cast<std::size_t>(pomoc.size()), srodowisko.wyjscie);
        std::fflush(srodowisko.wyjscie);
        return KodSukcesu;
    }
    if (!a.polecenie) {
        WypiszLinie(srodowisko.bledy,
                    QStringLiteral("faktura-ksef: %1\nPomoc: faktura-ksef --help").arg(a.blad));
        return KodBleduUzycia;
    }
    if (a.polecenie->rodzaj == RodzajPoleceniaKsef::Okno) return zaleznosci.okno(srodowisko.pliki);
    return Polecenia(*a.polecenie, srodowisko, zaleznosci).uruchom();
}
