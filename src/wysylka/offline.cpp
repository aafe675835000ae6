#include <QHash>
#include <QSet>

#include "calc/dokument.h"
#include "eksport/przebieg.h"
#include "ksef/kody_qr.h"
#include "ksef/kryptografia.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/stan_ksef.h"
#include "wysylka/bajty_ksef.h"
#include "wysylka/wysylka.h"

TerminWysylki OpisTerminu(const StanKsef& stan, const QDate& dzisiaj) {
    if (stan.stan != StanWysylki::Offline) return {};
    if (!stan.terminOffline.isValid()) {
        // Issued during a failure whose end is not known yet: its 7 working days have not begun.
        if (stan.trybOffline == SlowoTrybuOffline(TrybOffline::Awaryjny))
            return {QStringLiteral("wyślij w ciągu 7 dni roboczych od końca awarii"), false};
        return {};
    }
    TerminWysylki t;
    const QString data = stan.terminOffline.toString(Qt::ISODate);
    const qint64 zostalo = dzisiaj.daysTo(stan.terminOffline);
    t.ostrzezenie = zostalo <= 1;
    if (zostalo < 0)
        t.opis = QStringLiteral("termin wysłania minął %1").arg(data);
    else if (zostalo == 0)
        t.opis = QStringLiteral("wyślij dziś (termin %1)").arg(data);
    else if (zostalo == 1)
        t.opis = QStringLiteral("wyślij najpóźniej jutro (termin %1)").arg(data);
    else
        t.opis = QStringLiteral("wyślij do %1").arg(data);
    return t;
}

QString SlowoTrybuOffline(TrybOffline tryb) {
    switch (tryb) {
        case TrybOffline::Offline24:
            return QStringLiteral("offline24");
        case TrybOffline::Offline:
            return QStringLiteral("offline");
        case TrybOffline::Awaryjny:
            break;
    }
    return QStringLiteral("awaryjny");
}

std::optional<TrybOffline> TrybOfflineZeSlowa(const QString& slowo) {
    for (const TrybOffline t : {TrybOffline::Offline24, TrybOffline::Offline, TrybOffline::Awaryjny})
        if (slowo == SlowoTrybuOffline(t)) return t;
    return std::nullopt;
}

namespace {

// As the sending: a workstation that finds another one sending waits this long before it gives up.
constexpr std::chrono::milliseconds CzekanieOfflineNaStanowisko{3000};

class WystawianieOffline {
  public:
    WystawianieOffline(SystemPlikow& system, const ZadanieOffline& zadanie, const PostepWysylki& postep)
        : system_(system), z_(zadanie), p_(postep), filtr_(zadanie.wybor) {}

    WynikWysylki wystaw();

  private:
    void przygotuj();
    void komunikat(const QString& tekst) {
        if (p_.komunikat) p_.komunikat(tekst);
    }
    bool przerwano() const { return p_.przerwij && p_.przerwij(); }
    void postep() {
        if (p_.postep) p_.postep(zrobione_, wszystkie_);
    }
    void blad(const QString& nazwa, const QString& tekst) {
        wynik_.bledy << QStringLiteral("%1: %2").arg(nazwa, tekst);
        wynik_.kod = 1;
    }
    void pomin(const QString& nazwa, const QString& tekst) {
        ++wynik_.pominiete;
        komunikat(QStringLiteral("%1: %2").arg(nazwa, tekst));
    }
    // The deadline of bytes issued on `wystawienie` in the task's mode; invalid: not known yet.
    std::optional<QDate> termin(const QString& nazwa, const QDate& wystawienie);
    void wystawDokument(const TDokument& d, const QString& nazwa,
                        const std::optional<FakturaKorygowana>& korygowana,
                        const std::optional<StanKsef>& stan);

    SystemPlikow& system_;
    const ZadanieOffline& z_;
    const PostepWysylki& p_;
    FiltrDokumentow filtr_;
    FolderDanych dane_;
    KontekstKsef kontekst_;
    QString nipSprzedawcy_, nipKontekstu_;
    std::optional<CertyfikatX509> certyfikat_;
    std::optional<KluczPrywatny> klucz_;
    QDate dzisiaj_;
    WynikWysylki wynik_;
    int zrobione_ = 0, wszystkie_ = 0;
};

void WystawianieOffline::przygotuj() {
    if (z_.tryb == TrybOffline::Offline && !z_.koniec)
        throw Odmowa(QStringLiteral(
            "Tryb offline (niedostępność KSeF) wymaga daty końca ogłoszonej niedostępności (--koniec)."));
    Srodowisko srodowisko{system_, stdout, stderr, false, QDateTime::currentDateTimeUtc()};
    dane_ = CzytajFolderDanych(srodowisko);
    kontekst_.firma = dane_.firma;
    kontekst_.stopka = dane_.ustawienia.stopka.tekst();
    kontekst_.opcje = z_.opcje;
    kontekst_.systemInfo = QStringLiteral("faktura-ksef");
    nipSprzedawcy_ = CyfryNip(dane_.firma.nip.tekst()).value_or(QString());
    if (nipSprzedawcy_.isEmpty() || !PoprawnyNip(nipSprzedawcy_))
        throw Odmowa(
            QStringLiteral("Brak poprawnego NIP-u sprzedawcy w danych firmy: bez niego faktury offline nie "
                           "mają kodów KSeF."));
    nipKontekstu_ = z_.nipKontekstu.isEmpty() ? nipSprzedawcy_ : z_.nipKontekstu;
    if (!PoprawnyNip(nipKontekstu_))
        throw Odmowa(
            QStringLiteral("NIP kontekstu „%1” w ustawieniach KSeF nie jest poprawny.").arg(nipKontekstu_));
    dzisiaj_ = z_.dzisiaj.isValid() ? z_.dzisiaj : QDate::currentDate();

    // The certificate and its key before any document: a KOD II that does not verify is worse than
    // none, and an invoice handed over with it cannot be taken back.
    if (z_.plikCertyfikatu.isEmpty() || z_.plikKlucza.isEmpty())
        throw Odmowa(
            QStringLiteral("Brak certyfikatu KSeF typu Offline albo jego klucza: podaj --certyfikat PLIK.crt "
                           "--klucz PLIK.key "
                           "albo wybierz je w ustawieniach KSeF."));
    certyfikat_.emplace(CertyfikatX509::zPliku(z_.plikCertyfikatu));
    klucz_.emplace(KluczPrywatny::zPliku(z_.plikKlucza, z_.hasloKlucza));
    if (!klucz_->pasujeDo(*certyfikat_))
        throw Odmowa(QStringLiteral("Klucz „%1” nie należy do certyfikatu „%2”.")
                         .arg(z_.plikKlucza, z_.plikCertyfikatu));
    const QDateTime teraz = QDateTime::currentDateTimeUtc();
    if (teraz < certyfikat_->waznyOd() || teraz > certyfikat_->waznyDo())
        throw Odmowa(QStringLiteral("Certyfikat „%1” jest ważny od %2 do %3: kod KSeF podpisany nim nie "
                                    "zostałby potwierdzony.")
                         .arg(z_.plikCertyfikatu, certyfikat_->waznyOd().toString(Qt::ISODate),
                              certyfikat_->waznyDo().toString(Qt::ISODate)));
}

std::optional<QDate> WystawianieOffline::termin(const QString& nazwa, const QDate& wystawienie) {
    if (z_.tryb != TrybOffline::Offline24 && z_.koniec && *z_.koniec < wystawienie) {
        blad(nazwa, QStringLiteral("koniec %1 (%2) jest wcześniejszy niż data wystawienia (%3)")
                        .arg(z_.tryb == TrybOffline::Offline ? QStringLiteral("niedostępności KSeF")
                                                             : QStringLiteral("awarii KSeF"),
                             z_.koniec->toString(Qt::ISODate), wystawienie.toString(Qt::ISODate)));
        return std::nullopt;
    }
    switch (z_.tryb) {
        case TrybOffline::Offline24:
            return TerminOffline(TrybOffline::Offline24, wystawienie);
        case TrybOffline::Offline:
            return TerminOffline(TrybOffline::Offline, wystawienie, z_.koniec);
        case TrybOffline::Awaryjny:
            break;
    }
    // The 7 working days run from the failure's end; until it is known there is no deadline yet.
    if (!z_.koniec) return QDate();
    return TerminOffline(TrybOffline::Awaryjny, wystawienie, std::nullopt, z_.koniec);
}

void WystawianieOffline::wystawDokument(const TDokument& d, const QString& nazwa,
                                        const std::optional<FakturaKorygowana>& korygowana,
                                        const std::optional<StanKsef>& stan) {
    const bool juzOffline = stan && stan->stan == StanWysylki::Offline;
    std::optional<QByteArray> xml;
    if (juzOffline) {
        // Handed over with its codes: its bytes stay as they are.
        xml = CzytajXmlKsef(system_, dane_.katalogDanych, nazwa);
        if (!xml) {
            blad(nazwa, QStringLiteral("wystawiony offline, ale jego pliku FA(3) nie ma w folderze KSeF"));
            return;
        }
    } else {
        BajtyDokumentu bajty = BajtyFa3(system_, dane_.katalogDanych, kontekst_, d, nazwa, korygowana);
        if (!bajty.xml) {
            blad(nazwa, bajty.blad);
            return;
        }
        xml = std::move(bajty.xml);
    }
    const std::optional<QDate> wystawienie = DataWystawieniaFa3(*xml);
    if (!wystawienie) {
        blad(nazwa, QStringLiteral("plik FA(3) nie ma daty wystawienia (P_1)"));
        return;
    }
    const std::optional<QDate> nowyTermin = termin(nazwa, *wystawienie);
    if (!nowyTermin) return;

    const QByteArray skrotSha = Sha256(*xml);
    const QString skrot = Sha256Base64(*xml);
    const QString rekord = SkrotRekordu(d, korygowana);
    QString linkI, linkII;
    if (!juzOffline || stan->linkKoduI.isEmpty())
        linkI = LinkKoduIBajtow(z_.srodowisko.qr, dane_.firma, *xml);
    if (!juzOffline || stan->linkKoduII.isEmpty()) {
        DaneKoduII kod;
        kod.idKontekstu = nipKontekstu_;
        kod.nipSprzedawcy = nipSprzedawcy_;
        kod.numerSeryjny = certyfikat_->numerSeryjnyHex();
        kod.skrotSha256 = skrotSha;
        linkII = LinkKoduII(z_.srodowisko.qr, kod, *klucz_);
    }
    QString inny;  // the state another workstation gave the document meanwhile
    const StanKsef zapisany =
        ZmienStanKsef(system_, dane_.katalogDanych, nazwa, [&](std::optional<StanKsef>& s) {
            const StanKsef poprzedni = s.value_or(StanKsef{});
            if (poprzedni.stan != StanWysylki::Niewyslany && poprzedni.stan != StanWysylki::Offline) {
                inny = NazwaStanu(poprzedni.stan);
                return;
            }
            StanKsef nowy = poprzedni;
            const bool byloOffline = poprzedni.stan == StanWysylki::Offline;
            nowy.stan = StanWysylki::Offline;
            nowy.trybOffline = SlowoTrybuOffline(z_.tryb);
            nowy.terminOffline = *nowyTermin;
            if (!byloOffline) {
                nowy.srodowisko = z_.srodowisko.api.toString();
                nowy.skrot = skrot;
                nowy.rozmiar = xml->size();
                nowy.kod = 0;
                nowy.powod.clear();
                if (nowy.skrotRekordu.isEmpty() || poprzedni.skrot != skrot) nowy.skrotRekordu = rekord;
            }
            if (!linkI.isEmpty() && (!byloOffline || nowy.linkKoduI.isEmpty())) nowy.linkKoduI = linkI;
            if (!linkII.isEmpty() && (!byloOffline || nowy.linkKoduII.isEmpty())) nowy.linkKoduII = linkII;
            s = nowy;
        });
    if (!inny.isEmpty()) {
        pomin(nazwa, QStringLiteral("w międzyczasie zmienił stan na „%1”; pominięto").arg(inny));
        return;
    }
    ++wynik_.wystawione;
    const TerminWysylki t = OpisTerminu(zapisany, dzisiaj_);
    komunikat(QStringLiteral("%1: %2 (%3), %4.")
                  .arg(nazwa,
                       juzOffline ? QStringLiteral("nowy termin trybu offline")
                                  : QStringLiteral("wystawiony offline"),
                       zapisany.trybOffline, t.opis));
}

WynikWysylki WystawianieOffline::wystaw() {
    przygotuj();
    BlokadaWysylki blokada(system_, dane_.katalogDanych, CzekanieOfflineNaStanowisko);
    const PrzegladDokumentow przeglad{system_, dane_.plikDokumentow, filtr_, [this] { return przerwano(); }};
    wszystkie_ = przeglad.liczba();
    postep();
    const auto powtorzony = [&](const QString& nazwa, std::int64_t pozycja) {
        blad(nazwa, QStringLiteral("dokument o tym numerze występuje w pliku więcej niż raz (rekord %1); "
                                   "wystawiono pierwszy")
                        .arg(pozycja));
    };
    przeglad.kazdy(powtorzony, [&](WybranyDokument& w) {
        const TDokument& d = w.d;
        const QString& nazwa = w.nazwa;
        std::optional<FakturaKorygowana>& korygowana = w.korygowana;
        try {
            const std::optional<StanKsef> stan = CzytajStanKsef(system_, dane_.katalogDanych, nazwa);
            const StanWysylki s = stan ? stan->stan : StanWysylki::Niewyslany;
            if (s == StanWysylki::Odrzucony) {
                pomin(nazwa, QStringLiteral("odrzucony przez KSeF; pominięto (popraw go i wyślij ponownie)"));
            } else if (s != StanWysylki::Niewyslany && s != StanWysylki::Offline) {
                pomin(nazwa, QStringLiteral("jest już w KSeF (%1); pominięto").arg(NazwaStanu(s)));
            } else {
                bool wstrzymana = false;
                if (korygowana && s == StanWysylki::Niewyslany) {
                    // A correction names its invoice's KSeF number; an invoice that will be in KSeF
                    // but has no number yet would be named as one issued outside it.
                    const std::optional<StanKsef> stanFaktury =
                        w.nazwaFaktury.isEmpty()
                            ? std::nullopt
                            : CzytajStanKsef(system_, dane_.katalogDanych, w.nazwaFaktury);
                    if (stanFaktury && stanFaktury->stan == StanWysylki::Przyjety) {
                        korygowana->numerKsef = stanFaktury->numerKsef;
                    } else if (stanFaktury && stanFaktury->stan != StanWysylki::Odrzucony) {
                        pomin(nazwa,
                              QStringLiteral("faktura %1 nie ma jeszcze numeru KSeF; pominięto (wyślij "
                                             "ją najpierw, korekta musi ten numer podać)")
                                  .arg(korygowana->numer));
                        wstrzymana = true;
                    }
                }
                if (!wstrzymana) wystawDokument(d, nazwa, korygowana, stan);
            }
        } catch (const BladPliku& b) {
            blad(nazwa, b.komunikat());
        }
        ++zrobione_;
        postep();
    });
    return wynik_;
}

}  // namespace

WynikWysylki WystawOffline(SystemPlikow& system, const ZadanieOffline& zadanie, const PostepWysylki& postep) {
    WystawianieOffline w(system, zadanie, postep);
    return w.wystaw();
}
