#include "eksport/ksef.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "eksport/pola.h"

namespace {

// The summary fields of FA(3) in the order of the schema; the first three take a tax amount too.
enum Grupa {
    kPodstawowa,
    kObnizona1,
    kObnizona2,
    kZero,
    kZwolniona,
    kNiepodlegajaca,
    kOdwrotne,
    kLiczbaGrup
};

struct PolaGrupy {
    const char* netto;
    const char* podatek;  // nullptr: the group has no tax field
};
constexpr std::array<PolaGrupy, kLiczbaGrup> kPolaGrup{{{"P_13_1", "P_14_1"},
                                                        {"P_13_2", "P_14_2"},
                                                        {"P_13_3", "P_14_3"},
                                                        {"P_13_6_1", nullptr},
                                                        {"P_13_7", nullptr},
                                                        {"P_13_8", nullptr},
                                                        {"P_13_10", nullptr}}};

struct StawkaFa3 {
    QString kod;  // P_12
    Grupa grupa;
};

// Our rate texts and their FA(3) codes. A plain 0 is the domestic 0 % and "np" the supply outside
// the country; the codes 4 and 3 exist but are not ours.
std::optional<StawkaFa3> KodStawki(const QString& tekst) {
    const QString s = ZnormalizowanaStawka(tekst);
    if (s == QLatin1String("23") || s == QLatin1String("22")) return StawkaFa3{s, kPodstawowa};
    if (s == QLatin1String("8") || s == QLatin1String("7")) return StawkaFa3{s, kObnizona1};
    if (s == QLatin1String("5")) return StawkaFa3{s, kObnizona2};
    if (s == QLatin1String("0")) return StawkaFa3{QStringLiteral("0 KR"), kZero};
    if (s == QLatin1String("zw")) return StawkaFa3{s, kZwolniona};
    if (s == QLatin1String("np")) return StawkaFa3{QStringLiteral("np I"), kNiepodlegajaca};
    if (s == QLatin1String("oo")) return StawkaFa3{s, kOdwrotne};
    return std::nullopt;
}

// An amount of FA(3): two decimals, up to 16 digits before the point, never "-0.00".
std::optional<QString> Kwota(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const QString t = KwotaPliku(x);
    const qsizetype kropka = t.indexOf(u'.');
    if (kropka < 0 || kropka - (t.startsWith(u'-') ? 1 : 0) > 16) return std::nullopt;
    return t;
}

// A quantity or unit price in its shortest exact decimal form, when it fits the digits allowed.
std::optional<QString> Liczba(double x, int calkowitych, int poPrzecinku) {
    if (!std::isfinite(x)) return std::nullopt;
    if (x == 0) return QStringLiteral("0");
    char bufor[400];
    const auto zapis = std::to_chars(bufor, bufor + sizeof bufor, x, std::chars_format::fixed);
    if (zapis.ec != std::errc{}) return std::nullopt;
    const std::string_view t(bufor, zapis.ptr - bufor);
    const std::size_t poczatek = t.starts_with('-') ? 1 : 0;
    const std::size_t kropka = t.find('.');
    const std::size_t cyfrCalkowitych = (kropka == std::string_view::npos ? t.size() : kropka) - poczatek;
    const std::size_t cyfrUlamka = kropka == std::string_view::npos ? 0 : t.size() - kropka - 1;
    if (cyfrCalkowitych > static_cast<std::size_t>(calkowitych) ||
        cyfrUlamka > static_cast<std::size_t>(poPrzecinku))
        return std::nullopt;
    return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
}

struct ZakresDat {
    QDate od, do_;
};
const ZakresDat kDatyFaktury{QDate(2006, 1, 1), QDate(2050, 1, 1)};
const ZakresDat kTerminy{QDate(2016, 7, 1), QDate(2050, 1, 1)};

const QStringList& KodyKrajowUe() {
    static const QStringList kody =
        QStringLiteral("AT BE BG CY CZ DK EE FI FR DE EL HR HU IE IT LV LT LU MT NL PT RO SK SI ES SE XI")
            .split(u' ');
    return kody;
}

struct WierszFa {
    int numer;
    QString nazwa, pkwiu, jm, ilosc, cena, wartosc, stawka;
    bool stanPrzed;
};

struct Platnosc {
    std::optional<QDate> termin;
    std::optional<int> dni;  // a term in days from the issue date
    std::optional<int> forma;
    QString innaForma;
    QString rachunek, bank;
    bool pusta() const { return !termin && !dni && !forma && innaForma.isEmpty() && rachunek.isEmpty(); }
};

using Tabela = TTekst<60>[6][3];
using TabelaStawek = TTekst<20>[4][3];

class Mapowanie {
  public:
    Mapowanie(const TDokument& d, const std::optional<FakturaKorygowana>& korygowana, const KontekstKsef& k)
        : d_(d), korygowana_(korygowana), k_(k), korekta_(JestKorekta(d)) {}

    WynikKsef wynik();

  private:
    void blad(const QString& powod) {
        if (!powody_.contains(powod)) powody_.append(powod);
    }
    std::optional<QDate> data(const QString& tekst, const QString& czego, const ZakresDat& zakres);
    void sprzedawca();
    void nabywca();
    void daty();
    void wiersze(const Tabela& tabela, bool stanPrzed);
    void stawki();
    void platnosc();
    void zaznaczStawke(Grupa grupa);
    QByteArray xml() const;

    const TDokument& d_;
    const std::optional<FakturaKorygowana>& korygowana_;
    const KontekstKsef& k_;
    const bool korekta_;
    QStringList powody_;

    QString nipSprzedawcy_, nazwaSprzedawcy_, adres1Sprzedawcy_, adres2Sprzedawcy_;
    QString nipNabywcy_, kodUe_, nrVatUe_, krajNabywcy_ = QStringLiteral("PL");
    QString nazwaNabywcy_, adres1Nabywcy_, adres2Nabywcy_;
    QDate dataWystawienia_;
    std::optional<QDate> dataUslugi_;
    QDate dataKorygowanej_;
    QString numer_, miejscowosc_, dodatkowyTermin_, kwotaNaleznosci_;
    std::vector<WierszFa> wiersze_;
    std::array<long double, kLiczbaGrup> netto_{}, podatek_{};
    std::array<bool, kLiczbaGrup> grupy_{};
    bool zwolnienie_ = false, odwrotne_ = false;
    Platnosc platnosc_;
};

std::optional<QDate> Mapowanie::data(const QString& tekst, const QString& czego, const ZakresDat& zakres) {
    const std::optional<QDate> wynik = DataZTekstu(tekst);
    if (!wynik) {
        blad(QStringLiteral("%1 „%2” nie jest datą w postaci RRRR-MM-DD").arg(czego, tekst));
    } else if (*wynik < zakres.od) {
        blad(QStringLiteral("%1 „%2” jest wcześniejsza niż %3")
                 .arg(czego, tekst, zakres.od.toString(Qt::ISODate)));
    } else if (*wynik > zakres.do_) {
        blad(QStringLiteral("%1 „%2” jest późniejsza niż %3")
                 .arg(czego, tekst, zakres.do_.toString(Qt::ISODate)));
    } else {
        return wynik;
    }
    return std::nullopt;
}

void Mapowanie::sprzedawca() {
    const TDaneFirmy& f = k_.firma;
    const QString nip = CzystyTekst(f.nip.tekst());
    const std::optional<QString> cyfry = CyfryNip(nip);
    if (nip.isEmpty()) {
        blad(QStringLiteral("brak NIP sprzedawcy w danych firmy (firma.dat)"));
    } else if (!cyfry) {
        blad(QStringLiteral("NIP sprzedawcy „%1” nie składa się z 10 cyfr").arg(nip));
    } else if (!PoprawnyNip(*cyfry)) {
        blad(QStringLiteral("NIP sprzedawcy „%1” ma błędną cyfrę kontrolną").arg(nip));
    } else {
        nipSprzedawcy_ = *cyfry;
    }
    nazwaSprzedawcy_ = CzystyTekst(f.linia1.tekst());
    if (nazwaSprzedawcy_.isEmpty())
        blad(QStringLiteral("brak nazwy sprzedawcy (pierwsza linia danych firmy)"));
    const QString linia2 = CzystyTekst(f.linia2.tekst());
    const QString linia3 = CzystyTekst(f.linia3.tekst());
    adres1Sprzedawcy_ = linia2.isEmpty() ? linia3 : linia2;
    adres2Sprzedawcy_ = linia2.isEmpty() ? QString() : linia3;
    if (adres1Sprzedawcy_.isEmpty())
        blad(QStringLiteral("brak adresu sprzedawcy (druga i trzecia linia danych firmy)"));

    const QString konto = CzystyTekst(f.konto.tekst());
    QString rachunek;
    for (const QChar z : konto)
        if (z != u' ' && z != u'-') rachunek.append(z.toUpper());
    if (!rachunek.isEmpty()) {
        static const QRegularExpression kRachunek(QStringLiteral("^[A-Z0-9]{10,34}$"));
        if (kRachunek.match(rachunek).hasMatch())
            platnosc_.rachunek = rachunek;
        else
            blad(QStringLiteral(
                     "numer konta sprzedawcy „%1” nie jest numerem rachunku (10 do 34 liter i cyfr)")
                     .arg(konto));
    }
    platnosc_.bank = CzystyTekst(f.bank.tekst());
}

void Mapowanie::nabywca() {
    const QString nip = CzystyTekst(d_.nip_odbiorcy.tekst());
    if (!nip.isEmpty()) {
        if (const std::optional<QString> cyfry = CyfryNip(nip)) {
            if (PoprawnyNip(*cyfry))
                nipNabywcy_ = *cyfry;
            else
                blad(QStringLiteral("NIP nabywcy „%1” ma błędną cyfrę kontrolną").arg(nip));
        } else {
            QString zwarty;
            for (const QChar z : nip)
                if (z != u' ' && z != u'-' && z != u'.') zwarty.append(z.toUpper());
            static const QRegularExpression kNrVatUe(QStringLiteral("^[0-9A-Z+*]{1,12}$"));
            const QString kraj = zwarty.left(2);
            if (KodyKrajowUe().contains(kraj) && kNrVatUe.match(zwarty.mid(2)).hasMatch()) {
                kodUe_ = kraj;
                nrVatUe_ = zwarty.mid(2);
                // Addresses use the ISO list, which names Greece GR.
                krajNabywcy_ = kraj == QLatin1String("EL") ? QStringLiteral("GR") : kraj;
            } else {
                blad(QStringLiteral("NIP nabywcy „%1” nie jest polskim NIP-em ani numerem VAT UE").arg(nip));
            }
        }
    }
    nazwaNabywcy_ = CzystyTekst(d_.odbiorca1.tekst());
    QStringList adres;
    for (const auto* linia : {&d_.odbiorca2, &d_.odbiorca3, &d_.odbiorca4}) {
        const QString t = CzystyTekst(linia->tekst());
        if (!t.isEmpty()) adres.append(t);
    }
    if (!adres.isEmpty()) {
        adres1Nabywcy_ = adres.takeFirst();
        adres2Nabywcy_ = adres.join(QStringLiteral(", "));
    }
}

void Mapowanie::daty() {
    numer_ = CzystyTekst(NumerDokumentu(d_));
    if (CzystyTekst(d_.numerator.tekst()).isEmpty()) blad(QStringLiteral("dokument nie ma numeru"));
    miejscowosc_ = CzystyTekst(d_.miejscowosc.tekst());

    const QString wystawienie = CzystyTekst(d_.data_wystawienia.tekst());
    if (wystawienie.isEmpty()) {
        blad(QStringLiteral("brak daty wystawienia"));
    } else if (const auto d = data(wystawienie, QStringLiteral("data wystawienia"), kDatyFaktury)) {
        dataWystawienia_ = *d;
    }
    const QString usluga = CzystyTekst(d_.data_uslugi.tekst());
    if (!usluga.isEmpty()) {
        if (const auto d = data(usluga, QStringLiteral("data usługi"), kDatyFaktury);
            d && *d != dataWystawienia_)
            dataUslugi_ = d;
    }
    if (!korekta_) return;
    if (!korygowana_) {
        const QString dotyczy = CzystyTekst(d_.dotyczy.tekst());
        if (dotyczy.isEmpty())
            blad(QStringLiteral("korekta nie wskazuje faktury, którą koryguje"));
        else
            blad(QStringLiteral("faktury korygowanej „%1” nie ma w pliku dokumentów przed tą korektą")
                     .arg(dotyczy));
        return;
    }
    if (const auto d = data(korygowana_->dataWystawienia,
                            QStringLiteral("data wystawienia faktury korygowanej %1").arg(korygowana_->numer),
                            kDatyFaktury))
        dataKorygowanej_ = *d;
}

void Mapowanie::zaznaczStawke(Grupa grupa) {
    if (grupa == kZwolniona) {
        zwolnienie_ = true;
        if (CzystyTekst(k_.opcje.podstawaZwolnienia).isEmpty())
            blad(QStringLiteral("stawka „zw” wymaga podstawy zwolnienia (opcja --podstawa-zwolnienia)"));
    }
    if (grupa == kOdwrotne) odwrotne_ = true;
}

void Mapowanie::wiersze(const Tabela& tabela, bool stanPrzed) {
    for (int r = 0; r < 3; ++r) {
        std::array<QString, 6> komorki;
        bool pusty = true;
        for (int c = 0; c < 6; ++c) {
            komorki[c] = CzystyTekst(tabela[c][r].tekst());
            pusty = pusty && komorki[c].isEmpty();
        }
        if (pusty) continue;
        const QString ktory = !korekta_   ? QStringLiteral("wiersz %1").arg(r + 1)
                              : stanPrzed ? QStringLiteral("wiersz %1 przed korektą").arg(r + 1)
                                          : QStringLiteral("wiersz %1 po korekcie").arg(r + 1);
        WierszFa w{r + 1, komorki[0], komorki[1], komorki[2], {}, {}, {}, {}, stanPrzed};
        if (komorki[5].isEmpty()) {
            blad(QStringLiteral("%1 nie ma stawki VAT").arg(ktory));
        } else if (const std::optional<StawkaFa3> s = KodStawki(komorki[5])) {
            w.stawka = s->kod;
            zaznaczStawke(s->grupa);
        } else {
            blad(QStringLiteral("%1: stawka VAT „%2” nie ma kodu w FA(3)").arg(ktory, komorki[5]));
        }
        if (w.pkwiu.size() > 50) blad(QStringLiteral("%1: PKWiU ma więcej niż 50 znaków").arg(ktory));
        const double ilosc = LiczbaZTekstu(tabela[3][r].tekst());
        const double cena = LiczbaZTekstu(tabela[4][r].tekst());
        if (!komorki[3].isEmpty()) {
            if (const auto t = Liczba(ilosc, 16, 6))
                w.ilosc = *t;
            else
                blad(QStringLiteral("%1: ilość „%2” ma więcej niż 6 miejsc po przecinku lub jest za duża")
                         .arg(ktory, komorki[3]));
        }
        if (!komorki[4].isEmpty()) {
            if (const auto t = Liczba(cena, 14, 8))
                w.cena = *t;
            else
                blad(QStringLiteral("%1: cena „%2” ma więcej niż 8 miejsc po przecinku lub jest za duża")
                         .arg(ktory, komorki[4]));
        }
        // The net value of a line is not stored; it is quantity times price, as the summary takes it.
        if (const auto t = Kwota(static_cast<double>(static_cast<long double>(ilosc) * cena)))
            w.wartosc = *t;
        else
            blad(QStringLiteral("%1: wartość netto jest poza zakresem").arg(ktory));
        wiersze_.push_back(w);
    }
}

void Mapowanie::stawki() {
    const SumyStawek sumy = SumujStawki(d_, [this](const WierszPodsumowania& w) {
        if (!w.czytelny) {
            blad(QStringLiteral("kwota w podsumowaniu VAT jest „poza zakresem”"));
            return -1;
        }
        // The summary's first row exists also when the first line is empty: without a rate and
        // with zero amounts it says nothing.
        const QString stawka = CzystyTekst(w.stawka.tekst());
        if (stawka.isEmpty()) {
            if (w.netto != 0 || w.podatek != 0 || w.brutto != 0)
                blad(QStringLiteral("wiersz %1 podsumowania VAT ma kwoty, ale nie ma stawki").arg(w.wiersz));
            return -1;
        }
        const std::optional<StawkaFa3> s = KodStawki(stawka);
        if (!s) {
            blad(QStringLiteral("stawka VAT „%1” podsumowania nie ma kodu w FA(3)").arg(stawka));
            return -1;
        }
        zaznaczStawke(s->grupa);
        return static_cast<int>(s->grupa);
    });
    for (std::size_t i = 0; i < sumy.liczbaGrup; ++i) {
        const KwotyGrupy& g = sumy.grupy[i];
        grupy_[g.grupa] = true;
        netto_[g.grupa] = g.netto;
        podatek_[g.grupa] = g.podatek;
    }
}

void Mapowanie::platnosc() {
    static const QRegularExpression kDni(QStringLiteral("^(\\d{1,4}) ?(dni|dzień|dzien)\\.?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString termin = CzystyTekst(d_.termin_zaplaty.tekst());
    if (!termin.isEmpty()) {
        const std::optional<QDate> data = DataZTekstu(termin);
        const QRegularExpressionMatch dni = kDni.match(termin);
        if (data && *data >= kTerminy.od && *data <= kTerminy.do_) {
            platnosc_.termin = data;
        } else if (dni.hasMatch()) {
            platnosc_.dni = dni.captured(1).toInt();
            const QDate koniec =
                dataWystawienia_.isValid() ? dataWystawienia_.addDays(*platnosc_.dni) : QDate();
            if (koniec.isValid() && koniec >= kTerminy.od && koniec <= kTerminy.do_)
                platnosc_.termin = koniec;
        } else {
            // Free text, or a date older than FA(3) takes for a term.
            dodatkowyTermin_ = termin;
        }
    }
    const QString forma = CzystyTekst(d_.forma_zaplaty.tekst());
    if (forma.isEmpty()) return;
    static const QHash<QString, int> kFormy{
        {QStringLiteral("gotówka"), 1},
        {QStringLiteral("gotowka"), 1},
        {QStringLiteral("karta"), 2},
        {QStringLiteral("karta kredytowa"), 2},
        {QStringLiteral("karta płatnicza"), 2},
        {QStringLiteral("karta debetowa"), 2},
        {QStringLiteral("bon"), 3},
        {QStringLiteral("czek"), 4},
        {QStringLiteral("kredyt"), 5},
        {QStringLiteral("przelew"), 6},
        {QStringLiteral("mobilna"), 7},
        {QStringLiteral("płatność mobilna"), 7},
    };
    const auto it = kFormy.constFind(forma.toLower());
    if (it != kFormy.constEnd())
        platnosc_.forma = it.value();
    else
        platnosc_.innaForma = forma;
}

class Pisarz {
  public:
    explicit Pisarz(QByteArray* bajty) : w_(bajty) {
        w_.setAutoFormatting(true);
        w_.setAutoFormattingIndent(2);
    }
    QXmlStreamWriter& w() { return w_; }
    void otworz(const char* nazwa) { w_.writeStartElement(PrzestrzenNazwFa3, QString::fromLatin1(nazwa)); }
    void zamknij() { w_.writeEndElement(); }
    // Optional elements are left out when empty: an empty token is invalid.
    void pole(const char* nazwa, const QString& tekst) {
        if (!tekst.isEmpty()) w_.writeTextElement(PrzestrzenNazwFa3, QString::fromLatin1(nazwa), tekst);
    }
    void pole(const char* nazwa, int liczba) { pole(nazwa, QString::number(liczba)); }

  private:
    QXmlStreamWriter w_;
};

QString TekstKwoty2(long double x) { return Kwota(static_cast<double>(x)).value_or(QString()); }

QByteArray Mapowanie::xml() const {
    QByteArray bajty;
    Pisarz p(&bajty);
    QXmlStreamWriter& w = p.w();
    w.writeStartDocument();
    w.writeDefaultNamespace(PrzestrzenNazwFa3);
    p.otworz("Faktura");

    p.otworz("Naglowek");
    p.otworz("KodFormularza");
    w.writeAttribute(QStringLiteral("kodSystemowy"), QStringLiteral("FA (3)"));
    w.writeAttribute(QStringLiteral("wersjaSchemy"), QStringLiteral("1-0E"));
    w.writeCharacters(QStringLiteral("FA"));
    p.zamknij();
    p.pole("WariantFormularza", 3);
    p.pole("DataWytworzeniaFa", k_.czasWytworzenia.toUTC().toString(Qt::ISODate));
    p.pole("SystemInfo", CzystyTekst(k_.systemInfo));
    p.zamknij();

    p.otworz("Podmiot1");
    p.otworz("DaneIdentyfikacyjne");
    p.pole("NIP", nipSprzedawcy_);
    p.pole("Nazwa", nazwaSprzedawcy_);
    p.zamknij();
    p.otworz("Adres");
    p.pole("KodKraju", QStringLiteral("PL"));
    p.pole("AdresL1", adres1Sprzedawcy_);
    p.pole("AdresL2", adres2Sprzedawcy_);
    p.zamknij();
    p.zamknij();

    p.otworz("Podmiot2");
    p.otworz("DaneIdentyfikacyjne");
    if (!nipNabywcy_.isEmpty()) {
        p.pole("NIP", nipNabywcy_);
    } else if (!kodUe_.isEmpty()) {
        p.pole("KodUE", kodUe_);
        p.pole("NrVatUE", nrVatUe_);
    } else {
        p.pole("BrakID", 1);
    }
    p.pole("Nazwa", nazwaNabywcy_);
    p.zamknij();
    if (!adres1Nabywcy_.isEmpty()) {
        p.otworz("Adres");
        p.pole("KodKraju", krajNabywcy_);
        p.pole("AdresL1", adres1Nabywcy_);
        p.pole("AdresL2", adres2Nabywcy_);
        p.zamknij();
    }
    p.pole("JST", 2);
    p.pole("GV", 2);
    p.zamknij();

    p.otworz("Fa");
    p.pole("KodWaluty", QStringLiteral("PLN"));
    p.pole("P_1", dataWystawienia_.toString(Qt::ISODate));
    p.pole("P_1M", miejscowosc_);
    p.pole("P_2", numer_);
    if (dataUslugi_) p.pole("P_6", dataUslugi_->toString(Qt::ISODate));
    for (int g = 0; g < kLiczbaGrup; ++g) {
        if (!grupy_[g]) continue;
        p.pole(kPolaGrup[g].netto, TekstKwoty2(netto_[g]));
        if (kPolaGrup[g].podatek) p.pole(kPolaGrup[g].podatek, TekstKwoty2(podatek_[g]));
    }
    p.pole("P_15", kwotaNaleznosci_);

    p.otworz("Adnotacje");
    p.pole("P_16", k_.opcje.metodaKasowa ? 1 : 2);
    p.pole("P_17", 2);
    p.pole("P_18", odwrotne_ ? 1 : 2);
    p.pole("P_18A", k_.opcje.podzielonaPlatnosc ? 1 : 2);
    p.otworz("Zwolnienie");
    if (zwolnienie_) {
        p.pole("P_19", 1);
        const char* pole = k_.opcje.rodzajPodstawy == OpcjeKsef::Podstawa::Ustawa      ? "P_19A"
                           : k_.opcje.rodzajPodstawy == OpcjeKsef::Podstawa::Dyrektywa ? "P_19B"
                                                                                       : "P_19C";
        p.pole(pole, CzystyTekst(k_.opcje.podstawaZwolnienia));
    } else {
        p.pole("P_19N", 1);
    }
    p.zamknij();
    p.otworz("NoweSrodkiTransportu");
    p.pole("P_22N", 1);
    p.zamknij();
    p.pole("P_23", 2);
    p.otworz("PMarzy");
    p.pole("P_PMarzyN", 1);
    p.zamknij();
    p.zamknij();

    p.pole("RodzajFaktury", korekta_ ? QStringLiteral("KOR") : QStringLiteral("VAT"));
    if (korekta_) {
        p.otworz("DaneFaKorygowanej");
        p.pole("DataWystFaKorygowanej", dataKorygowanej_.toString(Qt::ISODate));
        p.pole("NrFaKorygowanej", CzystyTekst(korygowana_->numer));
        // Our invoices were issued outside the national system.
        p.pole("NrKSeFN", 1);
        p.zamknij();
    }
    if (!dodatkowyTermin_.isEmpty()) {
        p.otworz("DodatkowyOpis");
        p.pole("Klucz", QStringLiteral("Termin płatności"));
        p.pole("Wartosc", dodatkowyTermin_);
        p.zamknij();
    }
    for (const WierszFa& r : wiersze_) {
        p.otworz("FaWiersz");
        p.pole("NrWierszaFa", r.numer);
        p.pole("P_7", r.nazwa);
        p.pole("PKWiU", r.pkwiu);
        p.pole("P_8A", r.jm);
        p.pole("P_8B", r.ilosc);
        p.pole("P_9A", r.cena);
        p.pole("P_11", r.wartosc);
        p.pole("P_12", r.stawka);
        if (r.stanPrzed) p.pole("StanPrzed", 1);
        p.zamknij();
    }
    if (!platnosc_.pusta()) {
        p.otworz("Platnosc");
        if (platnosc_.termin || platnosc_.dni) {
            p.otworz("TerminPlatnosci");
            if (platnosc_.termin) p.pole("Termin", platnosc_.termin->toString(Qt::ISODate));
            if (platnosc_.dni) {
                p.otworz("TerminOpis");
                p.pole("Ilosc", *platnosc_.dni);
                p.pole("Jednostka", *platnosc_.dni == 1 ? QStringLiteral("dzień") : QStringLiteral("dni"));
                p.pole("ZdarzeniePoczatkowe", QStringLiteral("wystawienie faktury"));
                p.zamknij();
            }
            p.zamknij();
        }
        if (platnosc_.forma) {
            p.pole("FormaPlatnosci", *platnosc_.forma);
        } else if (!platnosc_.innaForma.isEmpty()) {
            p.pole("PlatnoscInna", 1);
            p.pole("OpisPlatnosci", platnosc_.innaForma);
        }
        if (!platnosc_.rachunek.isEmpty()) {
            p.otworz("RachunekBankowy");
            p.pole("NrRB", platnosc_.rachunek);
            p.pole("NazwaBanku", platnosc_.bank);
            p.zamknij();
        }
        p.zamknij();
    }
    p.zamknij();  // Fa

    const QString stopka = CzystyTekst(k_.stopka);
    if (!stopka.isEmpty()) {
        p.otworz("Stopka");
        p.otworz("Informacje");
        p.pole("StopkaFaktury", stopka);
        p.zamknij();
        p.zamknij();
    }
    p.zamknij();  // Faktura
    w.writeEndDocument();
    return bajty;
}

WynikKsef Mapowanie::wynik() {
    if (!JestFaktura(d_) && !korekta_) {
        blad(QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
                 .arg(CzystyTekst(d_.rodzaj.tekst())));
        return {{}, powody_};
    }
    const QDateTime czas = k_.czasWytworzenia.toUTC();
    if (!czas.isValid() || czas < NajwczesniejszyCzasWytworzenia() ||
        czas > QDateTime(QDate(2050, 1, 1), QTime(23, 59, 59), Qt::UTC))
        blad(QStringLiteral("zegar komputera wskazuje %1, a FA(3) przyjmuje pliki utworzone od 2025-09-01")
                 .arg(czas.toString(Qt::ISODate)));
    sprzedawca();
    nabywca();
    daty();
    if (korekta_) {
        for (int r = 0; r < 3; ++r) {
            // Before and after, line by line: each line before the correction, then the same line after.
            Tabela przed{}, po{};
            for (int c = 0; c < 6; ++c) {
                przed[c][r] = d_.pozycje[c][r];
                po[c][r] = d_.pozycje_korekty[c][r];
            }
            wiersze(przed, true);
            wiersze(po, false);
        }
    } else {
        wiersze(d_.pozycje, false);
    }
    stawki();
    if (const auto t = Kwota(ObliczKwotyDokumentu(d_).doZaplaty))
        kwotaNaleznosci_ = *t;
    else
        blad(QStringLiteral("kwota należności jest poza zakresem"));
    for (int g = 0; g < kLiczbaGrup; ++g) {
        if (grupy_[g] && (!Kwota(static_cast<double>(netto_[g])) || !Kwota(static_cast<double>(podatek_[g]))))
            blad(QStringLiteral("suma podsumowania VAT jest poza zakresem"));
    }
    platnosc();
    if (!powody_.isEmpty()) return {{}, powody_};
    return {xml(), {}};
}

}  // namespace

void SpisFaktur::dodaj(const TDokument& dokument) {
    if (!JestFaktura(dokument)) return;
    const QString numer = NumerDokumentu(dokument);
    faktury_.insert(numer.left(TTekst<30>::Pojemnosc),
                    {numer, CzystyTekst(dokument.data_wystawienia.tekst())});
}

std::optional<FakturaKorygowana> SpisFaktur::znajdz(const TDokument& korekta) const {
    const QString dotyczy = korekta.dotyczy.tekst();
    if (dotyczy.isEmpty()) return std::nullopt;
    const auto it = faktury_.constFind(dotyczy);
    if (it == faktury_.constEnd()) return std::nullopt;
    return it.value();
}

WynikKsef DokumentFa3(const TDokument& dokument, const std::optional<FakturaKorygowana>& korygowana,
                      const KontekstKsef& kontekst) {
    return Mapowanie(dokument, korygowana, kontekst).wynik();
}

QDateTime NajwczesniejszyCzasWytworzenia() { return QDateTime(QDate(2025, 9, 1), QTime(0, 0), Qt::UTC); }
