#include "wysylka/wysylka.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "calc/dokument.h"
#include "eksport/przebieg.h"
#include "ksef/klient.h"
#include "ksef/kody_qr.h"
#include "ksef/kryptografia.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/stan_ksef.h"
#include "wysylka/bajty_ksef.h"

namespace {

// A workstation that finds another one sending waits this long before it gives up.
constexpr std::chrono::milliseconds CzekanieNaInneStanowisko{3000};

// KSeF refused the invoice itself (its schema, size, hash, content): the document is rejected.
// Anything else (no access, no rights, a limit) says nothing of the document and ends the run; the
// document is then looked up by its hash the next time.
bool OdrzucaDokument(const BladKsef& b) {
    static constexpr int KodyDokumentu[] = {21001, 21217, 21401, 21402, 21403, 21405};
    return b.statusHttp() == 400 && std::find(std::begin(KodyDokumentu), std::end(KodyDokumentu),
                                              b.kodKsef()) != std::end(KodyDokumentu);
}

// One run of sending: one authentication, at most one interactive session.
class Wysylka {
  public:
    Wysylka(SystemPlikow& system, const ZadanieWysylki& zadanie, const PostepWysylki& postep)
        : system_(system), z_(zadanie), p_(postep), filtr_(zadanie.wybor) {}

    WynikWysylki wyslij();
    WynikWysylki pobierzUpo();

  private:
    void przygotuj();
    // The credentials are read before anything else: a missing file or a wrong password is said
    // first, not after the documents were looked at.
    void czytajPoswiadczenia();
    KlientKsef& klient();
    void komunikat(const QString& tekst) {
        if (p_.komunikat) p_.komunikat(tekst);
    }
    bool przerwano() const { return p_.przerwij && p_.przerwij(); }
    void blad(const QString& nazwa, const QString& tekst) {
        wynik_.bledy << QStringLiteral("%1: %2").arg(nazwa, tekst);
        wynik_.kod = 1;
    }
    // The FA(3) bytes of the document, made once.
    std::optional<QByteArray> xmlDokumentu(const TDokument& d, const QString& nazwa,
                                           const std::optional<FakturaKorygowana>& korygowana);
    void wyslijDokument(const TDokument& d, const QString& nazwa,
                        const std::optional<FakturaKorygowana>& korygowana);
    QString linkKoduI(const QByteArray& xml) const;
    void dokonczWyslane(const QString& nazwa);
    void pobierzUpoDokumentu(const QString& nazwa, const StanKsef& stan);
    void zamknijSesje();
    void postep() {
        if (p_.postep) p_.postep(zrobione_, wszystkie_);
    }

    SystemPlikow& system_;
    const ZadanieWysylki& z_;
    const PostepWysylki& p_;
    FiltrDokumentow filtr_;
    FolderDanych dane_;
    KontekstKsef kontekst_;
    QString nip_;
    std::optional<CertyfikatX509> certyfikat_;
    std::optional<KluczPrywatny> klucz_;
    std::unique_ptr<KlientKsef> klient_;
    std::optional<KlientKsef::Sesja> sesja_;
    WynikWysylki wynik_;
    QStringList doSprawdzenia_;  // sent or being sent: their state is followed after the sending
    int zrobione_ = 0, wszystkie_ = 0;
    bool ponownie_ = false;    // a document found never to have reached KSeF goes out again
    bool drugaRunda_ = false;  // that second sending is over: what still did not arrive waits
    QHash<QString, QPair<int, QString>> odmowyKorekty_;  // technical corrections KSeF refused
};

void Wysylka::przygotuj() {
    Srodowisko srodowisko{system_, stdout, stderr, false, QDateTime::currentDateTimeUtc()};
    dane_ = CzytajFolderDanych(srodowisko);
    kontekst_.firma = dane_.firma;
    kontekst_.stopka = dane_.ustawienia.stopka.tekst();
    kontekst_.opcje = z_.opcje;
    kontekst_.systemInfo = QStringLiteral("faktura-ksef");
    nip_ = z_.poswiadczenia.nipKontekstu;
    if (nip_.isEmpty()) nip_ = CyfryNip(dane_.firma.nip.tekst()).value_or(QString());
    if (nip_.isEmpty() || !PoprawnyNip(nip_))
        throw Odmowa(
            QStringLiteral("Brak poprawnego NIP-u firmy, w imieniu której dokumenty są wysyłane do KSeF: "
                           "uzupełnij dane firmy albo NIP kontekstu w ustawieniach KSeF."));
    czytajPoswiadczenia();
}

void Wysylka::czytajPoswiadczenia() {
    const PoswiadczeniaKsef& pw = z_.poswiadczenia;
    if (pw.rodzaj == PoswiadczeniaKsef::Rodzaj::Token) {
        if (pw.token.isEmpty()) throw Odmowa(QStringLiteral("Brak tokena KSeF."));
        return;
    }
    if (pw.plikCertyfikatu.isEmpty() || pw.plikKlucza.isEmpty())
        throw Odmowa(QStringLiteral("Brak certyfikatu KSeF albo jego klucza."));
    certyfikat_.emplace(CertyfikatX509::zPliku(pw.plikCertyfikatu));
    klucz_.emplace(KluczPrywatny::zPliku(pw.plikKlucza, pw.hasloKlucza));
    if (!klucz_->pasujeDo(*certyfikat_))
        throw Odmowa(QStringLiteral("Klucz „%1” nie należy do certyfikatu „%2”.")
                         .arg(pw.plikKlucza, pw.plikCertyfikatu));
}

KlientKsef& Wysylka::klient() {
    if (klient_) return *klient_;
    auto klient = std::make_unique<KlientKsef>(z_.srodowisko, z_.klient);
    komunikat(QStringLiteral("Uwierzytelnianie w KSeF (%1)…").arg(z_.srodowisko.nazwa));
    if (z_.poswiadczenia.rodzaj == PoswiadczeniaKsef::Rodzaj::Token)
        klient->uwierzytelnijTokenem(nip_, z_.poswiadczenia.token);
    else
        klient->uwierzytelnijCertyfikatem(nip_, *certyfikat_, *klucz_);
    klient_ = std::move(klient);
    return *klient_;
}

std::optional<QByteArray> Wysylka::xmlDokumentu(const TDokument& d, const QString& nazwa,
                                                const std::optional<FakturaKorygowana>& korygowana) {
    BajtyDokumentu bajty = BajtyFa3(system_, dane_.katalogDanych, kontekst_, d, nazwa, korygowana);
    if (!bajty.xml) {
        blad(nazwa, bajty.blad);
        return std::nullopt;
    }
    if (bajty.korektaTechniczna)
        komunikat(QStringLiteral("%1: wystawiony offline i odrzucony przez KSeF; wysłany zostanie w nowej "
                                 "postaci jako korekta techniczna.")
                      .arg(nazwa));
    else if (bajty.noweZaZmienione)
        komunikat(
            QStringLiteral("%1: dokument zmieniono od poprzedniej próby; wysłany zostanie w nowej postaci.")
                .arg(nazwa));
    return std::move(bajty.xml);
}

QString Wysylka::linkKoduI(const QByteArray& xml) const {
    return LinkKoduIBajtow(z_.srodowisko.qr, dane_.firma, xml);
}

void Wysylka::wyslijDokument(const TDokument& d, const QString& nazwa,
                             const std::optional<FakturaKorygowana>& korygowana) {
    const std::optional<StanKsef> przed = CzytajStanKsef(system_, dane_.katalogDanych, nazwa);
    const std::optional<QByteArray> xml = xmlDokumentu(d, nazwa, korygowana);
    if (!xml) return;
    KlientKsef& k = klient();
    if (!sesja_) {
        sesja_ = k.otworzSesje();
        komunikat(QStringLiteral("Otwarto sesję KSeF %1.").arg(sesja_->numer));
    }
    const QString skrot = Sha256Base64(*xml);
    // Issued offline: sent as such. Rejected after an offline issue: sent again with new bytes as
    // its technical correction, naming the first bytes' hash. A correction once begun stays one
    // until accepted: a run cut off before it reached KSeF sends it again with that hash.
    const bool offline = przed && !przed->trybOffline.isEmpty();
    QString skrotKorygowanej;
    if (offline && !przed->skrotPierwotny.isEmpty())
        skrotKorygowanej = przed->skrotPierwotny;
    else if (offline && przed->stan == StanWysylki::Odrzucony && przed->skrot != skrot)
        skrotKorygowanej = przed->skrot;
    const QString rekord = SkrotRekordu(d, korygowana);
    const QString link = linkKoduI(*xml);
    // Written before the invoice leaves: a run that dies now finds it by this hash in this session.
    ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
        const StanKsef poprzedni = s.value_or(StanKsef{});
        StanKsef nowy = poprzedni;
        nowy.stan = StanWysylki::Wysylany;
        nowy.srodowisko = z_.srodowisko.api.toString();
        nowy.skrot = skrot;
        nowy.rozmiar = xml->size();
        nowy.numerSesji = sesja_->numer;
        nowy.numerFaktury.clear();
        nowy.kod = 0;
        nowy.powod.clear();
        if (nowy.skrotRekordu.isEmpty() || poprzedni.skrot != skrot) nowy.skrotRekordu = rekord;
        // An offline invoice's printed KOD I keeps naming its first bytes.
        if (!skrotKorygowanej.isEmpty())
            nowy.skrotPierwotny = skrotKorygowanej;
        else if (nowy.linkKoduI.isEmpty() || !offline)
            nowy.linkKoduI = link;
        s = nowy;
    });
    doSprawdzenia_ << nazwa;
    QString numer;
    try {
        numer = k.wyslijFakture(*sesja_, *xml, offline, skrotKorygowanej);
    } catch (const BladKsef& b) {
        if (OdrzucaDokument(b)) {
            ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
                StanKsef nowy = s.value_or(StanKsef{});
                nowy.stan = StanWysylki::Odrzucony;
                nowy.kod = b.kodKsef();
                nowy.powod = b.komunikat();
                s = nowy;
            });
            doSprawdzenia_.removeAll(nazwa);
            ++wynik_.odrzucone;
            blad(nazwa, b.komunikat());
            return;
        }
        // The correction refused as already accepted, or its invoice as accepted: a repetition of a
        // request whose answer was lost meets this too. If the session holds it, it is followed;
        // if not, the refusal is the document's.
        if (!skrotKorygowanej.isEmpty() && b.statusHttp() == 400 &&
            (b.kodKsef() == 21166 || b.kodKsef() == 21167)) {
            odmowyKorekty_.insert(nazwa, {b.kodKsef(), b.komunikat()});
            return;
        }
        if (!b.przejsciowy()) throw;
        // The answer was lost: the invoice is looked up in the session by its hash afterwards.
        komunikat(QStringLiteral("%1: %2").arg(nazwa, b.komunikat()));
        return;
    }
    ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
        StanKsef nowy = s.value_or(StanKsef{});
        nowy.stan = StanWysylki::Wyslany;
        nowy.numerFaktury = numer;
        s = nowy;
    });
    ++wynik_.wyslane;
}

void Wysylka::dokonczWyslane(const QString& nazwa) {
    std::optional<StanKsef> stan = CzytajStanKsef(system_, dane_.katalogDanych, nazwa);
    if (!stan) return;
    KlientKsef& k = klient();
    if (stan->stan == StanWysylki::Wysylany) {
        // Sent by a run whose answer never came: in the session under its hash, or never arrived.
        QString znaleziony;
        for (const StatusFakturyKsef& f : k.fakturySesji(stan->numerSesji))
            if (f.skrot == stan->skrot) znaleziony = f.numerFaktury;
        if (znaleziony.isEmpty() && odmowyKorekty_.contains(nazwa)) {
            const auto [kod, powod] = odmowyKorekty_.take(nazwa);
            ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
                if (!s) return;
                s->stan = StanWysylki::Odrzucony;
                s->kod = kod;
                s->powod = powod;
            });
            ++wynik_.odrzucone;
            blad(nazwa, powod);
            return;
        }
        if (znaleziony.isEmpty()) {
            stan = ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
                if (s) s->stan = StanWysylki::Niewyslany;
            });
            if (drugaRunda_) {
                // Sent twice in this run without reaching KSeF: not done, whatever else went well.
                blad(nazwa, QStringLiteral("nie dotarł do KSeF; zostanie wysłany przy następnym wysyłaniu."));
                return;
            }
            ponownie_ = true;
            komunikat(QStringLiteral("%1: nie dotarł do KSeF; zostanie wysłany ponownie.").arg(nazwa));
            return;
        }
        stan = ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
            if (!s) return;
            s->stan = StanWysylki::Wyslany;
            s->numerFaktury = znaleziony;
        });
    }
    if (stan->stan != StanWysylki::Wyslany) return;
    const StatusFakturyKsef f = k.czekajNaFakture(stan->numerSesji, stan->numerFaktury);
    QString numerKsef = f.numerKsef;
    QString sesjaUpo = stan->numerSesji;
    QDateTime data = f.dataPrzyjecia;
    if (f.status.kod == 440) {
        // Already in KSeF from an earlier sending: that one is the document's.
        numerKsef = f.status.rozszerzenia.value(QLatin1String("originalKsefNumber")).toString();
        sesjaUpo = f.status.rozszerzenia.value(QLatin1String("originalSessionReferenceNumber")).toString();
    }
    if (f.status.kod == 200 || (f.status.kod == 440 && !numerKsef.isEmpty())) {
        ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
            if (!s) return;
            s->stan = StanWysylki::Przyjety;
            s->numerKsef = numerKsef;
            s->dataPrzyjecia = data;
            s->kod = 0;
            s->powod.clear();
            if (f.status.kod == 440) {
                s->numerSesji = sesjaUpo;
                s->numerFaktury.clear();
            }
        });
        ++wynik_.przyjete;
        komunikat(QStringLiteral("%1: przyjęty, numer KSeF %2.").arg(nazwa, numerKsef));
        return;
    }
    ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
        if (!s) return;
        s->stan = StanWysylki::Odrzucony;
        s->kod = f.status.kod;
        s->powod = f.status.tekst();
    });
    ++wynik_.odrzucone;
    blad(nazwa, QStringLiteral("odrzucony przez KSeF: %1 (kod %2)").arg(f.status.tekst()).arg(f.status.kod));
}

void Wysylka::pobierzUpoDokumentu(const QString& nazwa, const StanKsef& stan) {
    if (stan.stan != StanWysylki::Przyjety || stan.maUpo || stan.numerSesji.isEmpty()) return;
    KlientKsef& k = klient();
    const QByteArray upo = stan.numerFaktury.isEmpty() ? k.upoFakturyKsef(stan.numerSesji, stan.numerKsef)
                                                       : k.upoFaktury(stan.numerSesji, stan.numerFaktury);
    ZapiszUpo(system_, dane_.katalogDanych, nazwa, upo);
    ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [](std::optional<StanKsef>& s) {
        if (s) s->maUpo = true;
    });
}

void Wysylka::zamknijSesje() {
    if (!sesja_) return;
    const QString numer = sesja_->numer;
    sesja_.reset();
    KlientKsef& k = klient();
    k.zamknijSesje(numer);
    komunikat(QStringLiteral("Zamknięto sesję KSeF %1.").arg(numer));
    // The session's UPO comes once KSeF has processed the closed session.
    try {
        const StatusSesjiKsef stan = k.czekajNaSesje(numer);
        for (const QString& strona : stan.stronyUpo)
            ZapiszUpoSesji(system_, dane_.katalogDanych, numer, k.upoSesji(numer, strona));
        if (stan.stronyUpo.isEmpty())
            komunikat(QStringLiteral("Sesja KSeF %1: %2 (kod %3), bez UPO sesji.")
                          .arg(numer, stan.status.tekst())
                          .arg(stan.status.kod));
    } catch (const BladKsef& b) {
        // Each invoice has its own UPO already; the session's can be fetched in KSeF's application.
        komunikat(QStringLiteral("UPO sesji KSeF %1 nie zostało pobrane: %2").arg(numer, b.komunikat()));
    }
}

WynikWysylki Wysylka::wyslij() {
    przygotuj();
    BlokadaWysylki blokada(system_, dane_.katalogDanych, CzekanieNaInneStanowisko);
    // The chosen documents in file order: an invoice is always stored before its corrections, so it
    // is sent first; a correction whose invoice is still awaiting waits for the second pass.
    QList<std::int64_t> odlozone;
    const PrzegladDokumentow przeglad{system_, dane_.plikDokumentow, filtr_, [this] { return przerwano(); }};
    wszystkie_ = przeglad.liczba();
    postep();
    const auto powtorzony = [&](const QString& nazwa, std::int64_t pozycja) {
        blad(nazwa, QStringLiteral("dokument o tym numerze występuje w pliku więcej niż raz (rekord %1); "
                                   "wysłano pierwszy")
                        .arg(pozycja));
    };
    przeglad.kazdy(powtorzony, [&](WybranyDokument& w) {
        const TDokument& d = w.d;
        const std::int64_t pozycja = w.pozycja;
        const QString& nazwa = w.nazwa;
        std::optional<FakturaKorygowana>& korygowana = w.korygowana;
        try {
            const std::optional<StanKsef> stan = CzytajStanKsef(system_, dane_.katalogDanych, nazwa);
            const StanWysylki s = stan ? stan->stan : StanWysylki::Niewyslany;
            if (s == StanWysylki::Wysylany || s == StanWysylki::Wyslany) {
                doSprawdzenia_ << nazwa;
                return;
            }
            if (s == StanWysylki::Przyjety) {
                ++wynik_.pominiete;
                ++zrobione_;
                postep();
                return;
            }
            if (korygowana) {
                const std::optional<StanKsef> stanFaktury =
                    w.nazwaFaktury.isEmpty() ? std::nullopt
                                             : CzytajStanKsef(system_, dane_.katalogDanych, w.nazwaFaktury);
                if (stanFaktury && (stanFaktury->stan == StanWysylki::Wysylany ||
                                    stanFaktury->stan == StanWysylki::Wyslany)) {
                    odlozone << pozycja;
                    return;
                }
                if (stanFaktury && stanFaktury->stan == StanWysylki::Przyjety)
                    korygowana->numerKsef = stanFaktury->numerKsef;
            }
            // A rejected document goes again once it was corrected in the module, or, issued
            // offline, as its technical correction; unchanged it would only be rejected again.
            if (s == StanWysylki::Odrzucony && stan->trybOffline.isEmpty() &&
                (stan->skrotRekordu.isEmpty() || stan->skrotRekordu == SkrotRekordu(d, korygowana))) {
                ++wynik_.pominiete;
                ++zrobione_;
                komunikat(
                    QStringLiteral("%1: odrzucony przez KSeF (%2); popraw dokument w module, a zostanie "
                                   "wysłany ponownie.")
                        .arg(nazwa, stan->powod.simplified()));
                postep();
                return;
            }
            wyslijDokument(d, nazwa, korygowana);
        } catch (const BladKsef&) {
            throw;
        } catch (const BladPliku& b) {
            blad(nazwa, b.komunikat());
        }
        ++zrobione_;
        postep();
    });

    // What was sent, now and by earlier runs: followed until KSeF decides.
    auto sprawdzWyslane = [&] {
        const QStringList lista = doSprawdzenia_;
        doSprawdzenia_.clear();
        for (const QString& nazwa : lista) {
            if (przerwano()) return;
            dokonczWyslane(nazwa);
        }
    };
    sprawdzWyslane();

    // Documents found never to have reached KSeF, and corrections that waited for their invoice.
    if (!odlozone.isEmpty() || ponownie_) {
        // A second record of a name was reported by the first pass.
        przeglad.kazdy([](const QString&, std::int64_t) {},
                       [&](WybranyDokument& w) {
                           const std::optional<StanKsef> stan =
                               CzytajStanKsef(system_, dane_.katalogDanych, w.nazwa);
                           const bool wrocil =
                               stan && stan->stan == StanWysylki::Niewyslany && !stan->numerSesji.isEmpty();
                           if (!odlozone.contains(w.pozycja) && !wrocil) return;
                           if (stan && stan->stan != StanWysylki::Niewyslany) return;
                           if (w.korygowana) {
                               const std::optional<StanKsef> stanFaktury =
                                   w.nazwaFaktury.isEmpty()
                                       ? std::nullopt
                                       : CzytajStanKsef(system_, dane_.katalogDanych, w.nazwaFaktury);
                               if (stanFaktury && stanFaktury->stan == StanWysylki::Przyjety)
                                   w.korygowana->numerKsef = stanFaktury->numerKsef;
                           }
                           wyslijDokument(w.d, w.nazwa, w.korygowana);
                           ++zrobione_;
                           postep();
                       });
        drugaRunda_ = true;
        sprawdzWyslane();
    }
    zamknijSesje();

    // The UPO of every accepted document of the selection that has none yet.
    przeglad.kazdy(
        [](const QString&, std::int64_t) {},
        [&](WybranyDokument& w) {
            const QString& nazwa = w.nazwa;
            if (const std::optional<StanKsef> stan = CzytajStanKsef(system_, dane_.katalogDanych, nazwa)) {
                try {
                    pobierzUpoDokumentu(nazwa, *stan);
                } catch (const BladKsef& b) {
                    // The document is in KSeF either way; its UPO can be fetched later ("Pobierz UPO").
                    if (b.przejsciowy())
                        komunikat(QStringLiteral("%1: UPO nie jest jeszcze dostępne (%2)")
                                      .arg(nazwa, b.komunikat()));
                    else
                        blad(nazwa, QStringLiteral("nie pobrano UPO: ") + b.komunikat());
                }
            }
        });
    if (klient_) klient_->wyloguj();
    return wynik_;
}

WynikWysylki Wysylka::pobierzUpo() {
    przygotuj();
    const PrzegladDokumentow przeglad{system_, dane_.plikDokumentow, filtr_, [this] { return przerwano(); }};
    przeglad.kazdy(
        [](const QString&, std::int64_t) {},
        [&](WybranyDokument& w) {
            if (const std::optional<StanKsef> stan = CzytajStanKsef(system_, dane_.katalogDanych, w.nazwa))
                pobierzUpoDokumentu(w.nazwa, *stan);
        });
    if (klient_) klient_->wyloguj();
    return wynik_;
}

}  // namespace

WynikWysylki WyslijDokumenty(SystemPlikow& system, const ZadanieWysylki& zadanie,
                             const PostepWysylki& postep) {
    Wysylka w(system, zadanie, postep);
    return w.wyslij();
}

WynikWysylki PobierzBrakujaceUpo(SystemPlikow& system, const ZadanieWysylki& zadanie,
                                 const PostepWysylki& postep) {
    Wysylka w(system, zadanie, postep);
    return w.pobierzUpo();
}

QString SprawdzPolaczenie(const SrodowiskoKsef& srodowisko, const PoswiadczeniaKsef& poswiadczenia) {
    try {
        KlientKsef klient(srodowisko);
        if (poswiadczenia.rodzaj == PoswiadczeniaKsef::Rodzaj::Token) {
            klient.uwierzytelnijTokenem(poswiadczenia.nipKontekstu, poswiadczenia.token);
        } else {
            const CertyfikatX509 certyfikat = CertyfikatX509::zPliku(poswiadczenia.plikCertyfikatu);
            const KluczPrywatny klucz =
                KluczPrywatny::zPliku(poswiadczenia.plikKlucza, poswiadczenia.hasloKlucza);
            klient.uwierzytelnijCertyfikatem(poswiadczenia.nipKontekstu, certyfikat, klucz);
        }
        klient.wyloguj();
        return {};
    } catch (...) {
        return KomunikatBiezacegoBledu();
    }
}
