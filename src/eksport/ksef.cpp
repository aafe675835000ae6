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

// ------------------------------------------------------------------------------------------------
// Values fixed by the FA(3) schema (schemat_FA(3)_v1-0E.xsd and the elementary types it imports)

// KodFormularza: the value of TKodFormularza and the two attributes the schema fixes.
const QString WartoscKodFormularza = QStringLiteral("FA");
const QString KodSystemowy = QStringLiteral("FA (3)");
const QString WersjaSchemy = QStringLiteral("1-0E");
// WariantFormularza: its only enumerated value.
constexpr int WartoscWariantuFormularza = 3;

// Yes/no fields, type TWybor1_2 (P_16, P_17, P_18, P_18A, P_23; JST and GV enumerate the same two
// values): 1 is yes, 2 is no.
constexpr int Tak = 1;
constexpr int Nie = 2;
// Single ticks, type TWybor1 (BrakID, P_19, P_19N, P_22N, P_PMarzyN, NrKSeFN, StanPrzed,
// PlatnoscInna): the one value 1; a tick that does not apply is left out.
constexpr int Zaznaczone = 1;

struct ZakresDat {
    QDate od, do_;
};
// P_1, P_6 and DataWystFaKorygowanej: type TDataT, minInclusive 2006-01-01, maxInclusive 2050-01-01.
const ZakresDat DatyFaktury{QDate(2006, 1, 1), QDate(2050, 1, 1)};
// Termin of TerminPlatnosci: type TData of FA(3), minInclusive 2016-07-01, maxInclusive 2050-01-01.
const ZakresDat Terminy{QDate(2016, 7, 1), QDate(2050, 1, 1)};
// DataWytworzeniaFa: TDataCzas restricted to minInclusive 2025-09-01T00:00:00Z and maxInclusive
// 2050-01-01T23:59:59Z.
const QDateTime NajwczesniejszyCzas(QDate(2025, 9, 1), QTime(0, 0), Qt::UTC);
const QDateTime NajpozniejszyCzas(QDate(2050, 1, 1), QTime(23, 59, 59), Qt::UTC);

// Digits before the point of decimal fields: TKwotowy (amounts, 18 digits with 2 after the point),
// TIlosci (P_8B, 22 digits with 6 after), TKwotowy2 (P_9A, 22 digits with 8 after).
struct Cyfry {
    int calkowitych, poPrzecinku;
};
constexpr Cyfry CyfryKwoty{16, 2};
constexpr Cyfry CyfryIlosci{16, 6};
constexpr Cyfry CyfryCeny{14, 8};

// ------------------------------------------------------------------------------------------------
// Codes and values

// The summary fields of FA(3) in the order of the schema; the first three take a tax amount too.
enum Grupa { Podstawowa, Obnizona1, Obnizona2, Zero, Zwolniona, Niepodlegajaca, Odwrotne, LiczbaGrup };

struct PolaGrupy {
    const char* netto;
    const char* podatek;  // nullptr: the group has no tax field
};
constexpr std::array<PolaGrupy, LiczbaGrup> PolaGrup{{{"P_13_1", "P_14_1"},
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
    if (s == QLatin1String("23") || s == QLatin1String("22")) return StawkaFa3{s, Podstawowa};
    if (s == QLatin1String("8") || s == QLatin1String("7")) return StawkaFa3{s, Obnizona1};
    if (s == QLatin1String("5")) return StawkaFa3{s, Obnizona2};
    if (s == QLatin1String("0")) return StawkaFa3{QStringLiteral("0 KR"), Zero};
    if (s == QLatin1String("zw")) return StawkaFa3{s, Zwolniona};
    if (s == QLatin1String("np")) return StawkaFa3{QStringLiteral("np I"), Niepodlegajaca};
    if (s == QLatin1String("oo")) return StawkaFa3{s, Odwrotne};
    return std::nullopt;
}

// A form of payment the way people write it, as its code of TFormaPlatnosci (1 cash, 2 card,
// 3 voucher, 4 cheque, 5 credit, 6 transfer, 7 mobile).
std::optional<int> KodFormyPlatnosci(const QString& forma) {
    static const QHash<QString, int> Formy{
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
    const auto it = Formy.constFind(forma.toLower());
    if (it == Formy.constEnd()) return std::nullopt;
    return it.value();
}

// An amount of FA(3): two decimals, up to 16 digits before the point, never "-0.00".
std::optional<QString> Kwota(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const QString t = KwotaPliku(x);
    const qsizetype kropka = t.indexOf(u'.');
    if (kropka < 0 || kropka - (t.startsWith(u'-') ? 1 : 0) > CyfryKwoty.calkowitych) return std::nullopt;
    return t;
}

// A quantity or unit price in its shortest exact decimal form, when it fits the digits allowed.
std::optional<QString> Liczba(double x, Cyfry cyfry) {
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
    if (cyfrCalkowitych > static_cast<std::size_t>(cyfry.calkowitych) ||
        cyfrUlamka > static_cast<std::size_t>(cyfry.poPrzecinku))
        return std::nullopt;
    return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
}

QString TekstKwoty2(long double x) { return Kwota(static_cast<double>(x)).value_or(QString()); }

const QStringList& KodyKrajowUe() {
    static const QStringList kody =
        QStringLiteral("AT BE BG CY CZ DK EE FI FR DE EL HR HU IE IT LV LT LU MT NL PT RO SK SI ES SE XI")
            .split(u' ');
    return kody;
}

// ------------------------------------------------------------------------------------------------
// What a document says in the terms of FA(3): gathered and checked by Mapowanie, written by PisarzFa3

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

struct DaneFa3 {
    explicit DaneFa3(bool korekta) : korekta_(korekta) {}

    const bool korekta_;
    QString nipSprzedawcy_, nazwaSprzedawcy_, adres1Sprzedawcy_, adres2Sprzedawcy_;
    QString nipNabywcy_, kodUe_, nrVatUe_, krajNabywcy_ = QStringLiteral("PL");
    QString nazwaNabywcy_, adres1Nabywcy_, adres2Nabywcy_;
    QDate dataWystawienia_;
    std::optional<QDate> dataUslugi_;
    QDate dataKorygowanej_;
    QString numerKorygowanej_;
    QString numerKsefKorygowanej_;
    QString numer_, miejscowosc_, dodatkowyTermin_, kwotaNaleznosci_;
    std::vector<WierszFa> wiersze_;
    std::array<long double, LiczbaGrup> netto_{}, podatek_{};
    std::array<bool, LiczbaGrup> grupy_{};
    bool zwolnienie_ = false, odwrotne_ = false;
    Platnosc platnosc_;
};

// ------------------------------------------------------------------------------------------------
// Reading and checking

using Tabela = TTekst<60>[6][3];
using TabelaStawek = TTekst<20>[4][3];

class Mapowanie : private DaneFa3 {
  public:
    Mapowanie(const TDokument& d, const std::optional<FakturaKorygowana>& korygowana, const KontekstKsef& k)
        : DaneFa3(JestKorekta(d)), d_(d), korygowana_(korygowana), k_(k) {}

    WynikKsef wynik();

  private:
    void blad(const QString& powod) {
        if (!powody_.contains(powod)) powody_.append(powod);
    }
    std::optional<QDate> data(const QString& tekst, const QString& czego, const ZakresDat& zakres);
    void czasWytworzenia();
    void sprzedawca();
    void nabywca();
    void daty();
    void tabele();
    void wiersze(const Tabela& tabela, bool stanPrzed);
    void liczbyWiersza(WierszFa& w, const Tabela& tabela, int r, const std::array<QString, 6>& komorki,
                       const QString& ktory);
    void stawki();
    void sumy();
    void platnosc();
    void zaznaczStawke(Grupa grupa);

    const TDokument& d_;
    const std::optional<FakturaKorygowana>& korygowana_;
    const KontekstKsef& k_;
    QStringList powody_;
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

void Mapowanie::czasWytworzenia() {
    const QDateTime czas = k_.czasWytworzenia.toUTC();
    if (!czas.isValid() || czas < NajwczesniejszyCzas || czas > NajpozniejszyCzas)
        blad(QStringLiteral("zegar komputera wskazuje %1, a FA(3) przyjmuje pliki utworzone od %2")
                 .arg(czas.toString(Qt::ISODate), NajwczesniejszyCzas.date().toString(Qt::ISODate)));
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
        static const QRegularExpression Rachunek(QStringLiteral("^[A-Z0-9]{10,34}$"));
        if (Rachunek.match(rachunek).hasMatch())
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
            static const QRegularExpression NrVatUe(QStringLiteral("^[0-9A-Z+*]{1,12}$"));
            const QString kraj = zwarty.left(2);
            if (KodyKrajowUe().contains(kraj) && NrVatUe.match(zwarty.mid(2)).hasMatch()) {
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
    } else if (const auto d = data(wystawienie, QStringLiteral("data wystawienia"), DatyFaktury)) {
        dataWystawienia_ = *d;
    }
    const QString usluga = CzystyTekst(d_.data_uslugi.tekst());
    if (!usluga.isEmpty()) {
        if (const auto d = data(usluga, QStringLiteral("data usługi"), DatyFaktury);
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
    numerKorygowanej_ = CzystyTekst(korygowana_->numer);
    numerKsefKorygowanej_ = korygowana_->numerKsef;
    if (const auto d = data(korygowana_->dataWystawienia,
                            QStringLiteral("data wystawienia faktury korygowanej %1").arg(korygowana_->numer),
                            DatyFaktury))
        dataKorygowanej_ = *d;
}

void Mapowanie::zaznaczStawke(Grupa grupa) {
    if (grupa == Zwolniona) {
        zwolnienie_ = true;
        if (CzystyTekst(k_.opcje.podstawaZwolnienia).isEmpty())
            blad(QStringLiteral("stawka „zw” wymaga podstawy zwolnienia (opcja --podstawa-zwolnienia)"));
    }
    if (grupa == Odwrotne) odwrotne_ = true;
}

void Mapowanie::tabele() {
    if (!korekta_) {
        wiersze(d_.pozycje, false);
        stawki();
        return;
    }
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
    stawki();
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
        liczbyWiersza(w, tabela, r, komorki, ktory);
        wiersze_.push_back(w);
    }
}

// Quantity, unit price and net value of line `r`.
void Mapowanie::liczbyWiersza(WierszFa& w, const Tabela& tabela, int r, const std::array<QString, 6>& komorki,
                              const QString& ktory) {
    const double ilosc = LiczbaZTekstu(tabela[3][r].tekst());
    const double cena = LiczbaZTekstu(tabela[4][r].tekst());
    if (!komorki[3].isEmpty()) {
        if (const auto t = Liczba(ilosc, CyfryIlosci))
            w.ilosc = *t;
        else
            blad(QStringLiteral("%1: ilość „%2” ma więcej niż 6 miejsc po przecinku lub jest za duża")
                     .arg(ktory, komorki[3]));
    }
    if (!komorki[4].isEmpty()) {
        if (const auto t = Liczba(cena, CyfryCeny))
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

void Mapowanie::sumy() {
    if (const auto t = Kwota(ObliczKwotyDokumentu(d_).doZaplaty))
        kwotaNaleznosci_ = *t;
    else
        blad(QStringLiteral("kwota należności jest poza zakresem"));
    for (int g = 0; g < LiczbaGrup; ++g) {
        if (grupy_[g] && (!Kwota(static_cast<double>(netto_[g])) || !Kwota(static_cast<double>(podatek_[g]))))
            blad(QStringLiteral("suma podsumowania VAT jest poza zakresem"));
    }
}

void Mapowanie::platnosc() {
    static const QRegularExpression Dni(QStringLiteral("^(\\d{1,4}) ?(dni|dzień|dzien)\\.?$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QString termin = CzystyTekst(d_.termin_zaplaty.tekst());
    if (!termin.isEmpty()) {
        const std::optional<QDate> data = DataZTekstu(termin);
        const QRegularExpressionMatch dni = Dni.match(termin);
        if (data && *data >= Terminy.od && *data <= Terminy.do_) {
            platnosc_.termin = data;
        } else if (dni.hasMatch()) {
            platnosc_.dni = dni.captured(1).toInt();
            const QDate koniec =
                dataWystawienia_.isValid() ? dataWystawienia_.addDays(*platnosc_.dni) : QDate();
            if (koniec.isValid() && koniec >= Terminy.od && koniec <= Terminy.do_) platnosc_.termin = koniec;
        } else {
            // Free text, or a date older than FA(3) takes for a term.
            dodatkowyTermin_ = termin;
        }
    }
    const QString forma = CzystyTekst(d_.forma_zaplaty.tekst());
    if (forma.isEmpty()) return;
    platnosc_.forma = KodFormyPlatnosci(forma);
    if (!platnosc_.forma) platnosc_.innaForma = forma;
}

// ------------------------------------------------------------------------------------------------
// Writing: one function per element, in the order of the schema

class PisarzFa3 {
  public:
    PisarzFa3(const DaneFa3& d, const KontekstKsef& k) : d_(d), k_(k), w_(&bajty_) {
        w_.setAutoFormatting(true);
        w_.setAutoFormattingIndent(2);
    }
    QByteArray xml();

  private:
    // An element of FA(3)'s namespace, closed at the end of the scope.
    class Element {
      public:
        Element(QXmlStreamWriter& w, const char* nazwa) : w_(w) {
            w_.writeStartElement(PrzestrzenNazwFa3, QString::fromLatin1(nazwa));
        }
        ~Element() { w_.writeEndElement(); }
        Element(const Element&) = delete;
        Element& operator=(const Element&) = delete;

      private:
        QXmlStreamWriter& w_;
    };

    // Optional elements are left out when empty: an empty token is invalid.
    void pole(const char* nazwa, const QString& tekst) {
        if (!tekst.isEmpty()) w_.writeTextElement(PrzestrzenNazwFa3, QString::fromLatin1(nazwa), tekst);
    }
    void pole(const char* nazwa, int liczba) { pole(nazwa, QString::number(liczba)); }
    void pole(const char* nazwa, const QDate& data) { pole(nazwa, data.toString(Qt::ISODate)); }

    void naglowek();
    void kodFormularza();
    void podmiot1();
    void podmiot2();
    void daneIdentyfikacyjneNabywcy();
    void adres(const QString& kodKraju, const QString& linia1, const QString& linia2);
    void fa();
    void sumyStawek();
    void adnotacje();
    void zwolnienie();
    void noweSrodkiTransportu();
    void pMarzy();
    void daneFaKorygowanej();
    void dodatkowyOpis();
    void faWiersz(const WierszFa& r);
    void platnosc();
    void terminPlatnosci();
    void rachunekBankowy();
    void stopka();

    const DaneFa3& d_;
    const KontekstKsef& k_;
    QByteArray bajty_;
    QXmlStreamWriter w_;
};

QByteArray PisarzFa3::xml() {
    w_.writeStartDocument();
    w_.writeDefaultNamespace(PrzestrzenNazwFa3);
    {
        const Element faktura(w_, "Faktura");
        naglowek();
        podmiot1();
        podmiot2();
        fa();
        stopka();
    }
    w_.writeEndDocument();
    return bajty_;
}

void PisarzFa3::naglowek() {
    const Element e(w_, "Naglowek");
    kodFormularza();
    pole("WariantFormularza", WartoscWariantuFormularza);
    pole("DataWytworzeniaFa", k_.czasWytworzenia.toUTC().toString(Qt::ISODate));
    pole("SystemInfo", CzystyTekst(k_.systemInfo));
}

void PisarzFa3::kodFormularza() {
    const Element e(w_, "KodFormularza");
    w_.writeAttribute(QStringLiteral("kodSystemowy"), KodSystemowy);
    w_.writeAttribute(QStringLiteral("wersjaSchemy"), WersjaSchemy);
    w_.writeCharacters(WartoscKodFormularza);
}

// The seller: always a Polish taxpayer.
void PisarzFa3::podmiot1() {
    const Element e(w_, "Podmiot1");
    {
        const Element dane(w_, "DaneIdentyfikacyjne");
        pole("NIP", d_.nipSprzedawcy_);
        pole("Nazwa", d_.nazwaSprzedawcy_);
    }
    adres(QStringLiteral("PL"), d_.adres1Sprzedawcy_, d_.adres2Sprzedawcy_);
}

// The buyer; the address is optional for a buyer.
void PisarzFa3::podmiot2() {
    const Element e(w_, "Podmiot2");
    daneIdentyfikacyjneNabywcy();
    if (!d_.adres1Nabywcy_.isEmpty()) adres(d_.krajNabywcy_, d_.adres1Nabywcy_, d_.adres2Nabywcy_);
    // Never a subordinate unit of local government nor a member of a VAT group.
    pole("JST", Nie);
    pole("GV", Nie);
}

void PisarzFa3::daneIdentyfikacyjneNabywcy() {
    const Element e(w_, "DaneIdentyfikacyjne");
    if (!d_.nipNabywcy_.isEmpty()) {
        pole("NIP", d_.nipNabywcy_);
    } else if (!d_.kodUe_.isEmpty()) {
        pole("KodUE", d_.kodUe_);
        pole("NrVatUE", d_.nrVatUe_);
    } else {
        pole("BrakID", Zaznaczone);
    }
    pole("Nazwa", d_.nazwaNabywcy_);
}

// TAdres, shared by the seller and the buyer.
void PisarzFa3::adres(const QString& kodKraju, const QString& linia1, const QString& linia2) {
    const Element e(w_, "Adres");
    pole("KodKraju", kodKraju);
    pole("AdresL1", linia1);
    pole("AdresL2", linia2);
}

void PisarzFa3::fa() {
    const Element e(w_, "Fa");
    pole("KodWaluty", QStringLiteral("PLN"));
    pole("P_1", d_.dataWystawienia_);
    pole("P_1M", d_.miejscowosc_);
    pole("P_2", d_.numer_);
    if (d_.dataUslugi_) pole("P_6", *d_.dataUslugi_);
    sumyStawek();
    pole("P_15", d_.kwotaNaleznosci_);
    adnotacje();
    pole("RodzajFaktury", d_.korekta_ ? QStringLiteral("KOR") : QStringLiteral("VAT"));
    if (d_.korekta_) daneFaKorygowanej();
    if (!d_.dodatkowyTermin_.isEmpty()) dodatkowyOpis();
    for (const WierszFa& r : d_.wiersze_) faWiersz(r);
    if (!d_.platnosc_.pusta()) platnosc();
}

// P_13_x (net) and P_14_x (tax) of every rate group the document uses.
void PisarzFa3::sumyStawek() {
    for (int g = 0; g < LiczbaGrup; ++g) {
        if (!d_.grupy_[g]) continue;
        pole(PolaGrup[g].netto, TekstKwoty2(d_.netto_[g]));
        if (PolaGrup[g].podatek) pole(PolaGrup[g].podatek, TekstKwoty2(d_.podatek_[g]));
    }
}

void PisarzFa3::adnotacje() {
    const Element e(w_, "Adnotacje");
    pole("P_16", k_.opcje.metodaKasowa ? Tak : Nie);
    pole("P_17", Nie);  // no self-billing
    pole("P_18", d_.odwrotne_ ? Tak : Nie);
    pole("P_18A", k_.opcje.podzielonaPlatnosc ? Tak : Nie);
    zwolnienie();
    noweSrodkiTransportu();
    pole("P_23", Nie);  // no simplified triangular procedure
    pMarzy();
}

void PisarzFa3::zwolnienie() {
    const Element e(w_, "Zwolnienie");
    if (!d_.zwolnienie_) {
        pole("P_19N", Zaznaczone);
        return;
    }
    pole("P_19", Zaznaczone);
    const char* podstawa = k_.opcje.rodzajPodstawy == OpcjeKsef::Podstawa::Ustawa      ? "P_19A"
                           : k_.opcje.rodzajPodstawy == OpcjeKsef::Podstawa::Dyrektywa ? "P_19B"
                                                                                       : "P_19C";
    pole(podstawa, CzystyTekst(k_.opcje.podstawaZwolnienia));
}

void PisarzFa3::noweSrodkiTransportu() {
    const Element e(w_, "NoweSrodkiTransportu");
    pole("P_22N", Zaznaczone);
}

void PisarzFa3::pMarzy() {
    const Element e(w_, "PMarzy");
    pole("P_PMarzyN", Zaznaczone);
}

void PisarzFa3::daneFaKorygowanej() {
    const Element e(w_, "DaneFaKorygowanej");
    pole("DataWystFaKorygowanej", d_.dataKorygowanej_);
    pole("NrFaKorygowanej", d_.numerKorygowanej_);
    if (!d_.numerKsefKorygowanej_.isEmpty()) {
        // The corrected invoice is in KSeF: the correction names it by its KSeF number.
        pole("NrKSeF", Zaznaczone);
        pole("NrKSeFFaKorygowanej", d_.numerKsefKorygowanej_);
    } else {
        // An invoice issued outside the national system.
        pole("NrKSeFN", Zaznaczone);
    }
}

// A payment term FA(3) cannot express as a date or a number of days.
void PisarzFa3::dodatkowyOpis() {
    const Element e(w_, "DodatkowyOpis");
    pole("Klucz", QStringLiteral("Termin płatności"));
    pole("Wartosc", d_.dodatkowyTermin_);
}

void PisarzFa3::faWiersz(const WierszFa& r) {
    const Element e(w_, "FaWiersz");
    pole("NrWierszaFa", r.numer);
    pole("P_7", r.nazwa);
    pole("PKWiU", r.pkwiu);
    pole("P_8A", r.jm);
    pole("P_8B", r.ilosc);
    pole("P_9A", r.cena);
    pole("P_11", r.wartosc);
    pole("P_12", r.stawka);
    if (r.stanPrzed) pole("StanPrzed", Zaznaczone);
}

void PisarzFa3::platnosc() {
    const Element e(w_, "Platnosc");
    const Platnosc& p = d_.platnosc_;
    if (p.termin || p.dni) terminPlatnosci();
    if (p.forma) {
        pole("FormaPlatnosci", *p.forma);
    } else if (!p.innaForma.isEmpty()) {
        pole("PlatnoscInna", Zaznaczone);
        pole("OpisPlatnosci", p.innaForma);
    }
    if (!p.rachunek.isEmpty()) rachunekBankowy();
}

// The date, and a term in days also as days counted from the issue.
void PisarzFa3::terminPlatnosci() {
    const Element e(w_, "TerminPlatnosci");
    const Platnosc& p = d_.platnosc_;
    if (p.termin) pole("Termin", *p.termin);
    if (!p.dni) return;
    const Element opis(w_, "TerminOpis");
    pole("Ilosc", *p.dni);
    pole("Jednostka", *p.dni == 1 ? QStringLiteral("dzień") : QStringLiteral("dni"));
    pole("ZdarzeniePoczatkowe", QStringLiteral("wystawienie faktury"));
}

void PisarzFa3::rachunekBankowy() {
    const Element e(w_, "RachunekBankowy");
    pole("NrRB", d_.platnosc_.rachunek);
    pole("NazwaBanku", d_.platnosc_.bank);
}

void PisarzFa3::stopka() {
    const QString stopka = CzystyTekst(k_.stopka);
    if (stopka.isEmpty()) return;
    const Element e(w_, "Stopka");
    const Element informacje(w_, "Informacje");
    pole("StopkaFaktury", stopka);
}

WynikKsef Mapowanie::wynik() {
    if (!JestFaktura(d_) && !korekta_) {
        blad(QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
                 .arg(CzystyTekst(d_.rodzaj.tekst())));
        return {{}, powody_};
    }
    czasWytworzenia();
    sprzedawca();
    nabywca();
    daty();
    tabele();
    sumy();
    platnosc();
    if (!powody_.isEmpty()) return {{}, powody_};
    return {PisarzFa3(*this, k_).xml(), {}};
}

}  // namespace

void SpisFaktur::dodaj(const TDokument& dokument) {
    if (!JestFaktura(dokument)) return;
    const QString numer = NumerDokumentu(dokument);
    faktury_.insert(numer.left(TTekst<30>::Pojemnosc),
                    {numer, CzystyTekst(dokument.data_wystawienia.tekst()), {}});
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

QDateTime NajwczesniejszyCzasWytworzenia() { return NajwczesniejszyCzas; }
