#include "print/wydruk.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>

#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "calc/podsumowanie.h"
#include "calc/slownie.h"
#include "print/kod_qr.h"

QString TekstKwotyPln(double kwota) { return TekstKwoty(kwota) + QStringLiteral(" PLN"); }

namespace {

const QString KrojCourier = QStringLiteral("Courier New");

struct Kolumna {
    std::int32_t x;
    std::int32_t szerokosc;
};

constexpr std::array<Kolumna, 6> KolumnyPozycji{
    {{10, 100}, {110, 20}, {130, 10}, {140, 20}, {160, 20}, {180, 10}}};
constexpr std::array<Kolumna, 4> KolumnyStawek{{{10, 10}, {20, 25}, {45, 25}, {70, 25}}};

enum Waga : std::uint8_t { Zwykla = 0, Gruba = 1 };

// The stored size is not checked, so the offsets from it are taken without overflowing.
std::int32_t Rozmiar(std::int32_t s, std::int32_t zmiana) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{s} + zmiana,
                                                              std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// Frames first, then each text one unit right of its frame and dy below the row's top.
void WierszTabeli(Drukarka& d, std::span<const Kolumna> kolumny, std::int32_t y, std::int32_t wysokosc,
                  std::int32_t dy, std::span<const QString> teksty) {
    for (const Kolumna& k : kolumny) d.Prostokat(k.x, y, k.szerokosc, wysokosc);
    for (std::size_t i = 0; i < kolumny.size(); ++i) d.Pisz(kolumny[i].x + 1, y + dy, teksty[i]);
}

class Strona {
  public:
    Strona(Drukarka& d, const DaneWydruku& dane)
        : d_(d), dane_(dane), s_(dane.czcionka.RozmiarCzcionki), korekta_(JestKorekta(dane.dokument)) {}

    void rysuj();

  private:
    void czcionkaUzytkownika(std::int32_t zmiana, Waga waga) {
        d_.UstawCzcionke(dane_.czcionka.NazwaCzcionki, Rozmiar(s_, zmiana));
        d_.Pogrubienie(waga);
    }
    void courier(std::int32_t zmiana, Waga waga) {
        d_.UstawCzcionke(KrojCourier, Rozmiar(s_, zmiana));
        d_.Pogrubienie(waga);
    }
    void naglowekPozycji(std::int32_t y);
    void wierszePozycji(const TabelaPozycji& tabela, std::int32_t y);
    void tabelaStawek(const TabelaStawek& tabela, std::int32_t y);
    void poleZWartoscia(std::int32_t y, const QString& etykieta, const QString& wartosc);
    void naglowek();
    void sprzedawca();
    void nabywcaITytul();
    void platnosc();
    void tabele();
    void kwoty();
    void podpisIStopka();
    void kodyKsef();

    Drukarka& d_;
    const DaneWydruku& dane_;
    std::int32_t s_;
    bool korekta_;
};

void Strona::naglowekPozycji(std::int32_t y) {
    static const std::array<QString, 6> Etykiety{"Nazwa", "PKWiU", "J.m.", "Ilość", "Netto", "Vat"};
    czcionkaUzytkownika(0, Gruba);
    WierszTabeli(d_, KolumnyPozycji, y, 8, 2, Etykiety);
    d_.Pogrubienie(Zwykla);
}

void Strona::wierszePozycji(const TabelaPozycji& tabela, std::int32_t y) {
    courier(-1, Zwykla);
    for (int r = 0; r < 3; ++r) {
        std::array<QString, 6> teksty;
        for (int c = 0; c < 6; ++c) teksty[c] = tabela[c][r].tekst();
        WierszTabeli(d_, KolumnyPozycji, y + 5 * r, 5, 1, teksty);
    }
}

void Strona::tabelaStawek(const TabelaStawek& tabela, std::int32_t y) {
    static const std::array<QString, 4> Etykiety{"Vat", "Netto", "Kwota Vat", "Brutto"};
    czcionkaUzytkownika(0, Gruba);
    d_.Pisz(10, y, QStringLiteral("Rozbicie stawek podatku Vat"));
    czcionkaUzytkownika(0, Zwykla);
    WierszTabeli(d_, KolumnyStawek, y + 5, 5, 1, Etykiety);
    courier(-1, Zwykla);
    for (int r = 0; r < 3; ++r) {
        std::array<QString, 4> teksty;
        for (int c = 0; c < 4; ++c) teksty[c] = tabela[c][r].tekst();
        WierszTabeli(d_, KolumnyStawek, y + 10 + 5 * r, 5, 1, teksty);
    }
}

void Strona::poleZWartoscia(std::int32_t y, const QString& etykieta, const QString& wartosc) {
    czcionkaUzytkownika(0, Gruba);
    d_.Pisz(10, y, etykieta);
    d_.Pogrubienie(Zwykla);
    d_.Pisz(40, y, wartosc);
}

void Strona::rysuj() {
    naglowek();
    sprzedawca();
    nabywcaITytul();
    platnosc();
    tabele();
    kwoty();
    podpisIStopka();
    if (dane_.kodyKsef && !dane_.kodyKsef->linkI.isEmpty()) kodyKsef();
}

void Strona::naglowek() {
    czcionkaUzytkownika(0, Gruba);
    d_.Pisz(10, 5, QStringLiteral("Miejscowość ") + dane_.pole(PoleNaglowka::miejscowosc));
    d_.Pisz(10, 10, QStringLiteral("Data wystawienia ") + dane_.pole(PoleNaglowka::data_wystawienia));
    d_.Prostokat(10, 15, 180, 1);
}

void Strona::sprzedawca() {
    czcionkaUzytkownika(2, Gruba);
    d_.Pisz(10, 23, QStringLiteral("Sprzedawca :"));
    d_.Prostokat(10, 28, 177, 30);
    d_.Prostokat(11, 28, 178, 31);
    d_.Prostokat(12, 28, 179, 32);
    czcionkaUzytkownika(0, Zwykla);
    d_.Pisz(14, 30, dane_.liniaFirmy1);
    d_.Pisz(14, 35, dane_.liniaFirmy2);
    d_.Pisz(14, 40, dane_.liniaFirmy3);
    d_.Pisz(14, 45, QStringLiteral("Nip ") + dane_.nip);
    d_.Pisz(14, 50, QStringLiteral("Bank ") + dane_.bank);
    d_.Pisz(14, 55, QStringLiteral("Konto ") + dane_.konto);
}

void Strona::nabywcaITytul() {
    const QString numer =
        dane_.pole(PoleNaglowka::numerator) + QStringLiteral("/") + dane_.pole(PoleNaglowka::rozszerzenie);
    czcionkaUzytkownika(2, Gruba);
    d_.Pisz(10, 65, QStringLiteral("Nabywca :"));
    czcionkaUzytkownika(0, Zwykla);
    d_.Pisz(10, 70, dane_.pole(PoleNaglowka::odbiorca1));

    // The title comes before buyer lines 2-4, which are written over it where they are long.
    czcionkaUzytkownika(7, Gruba);
    if (korekta_) {
        d_.Pisz(115, 80, QStringLiteral("Faktura korygująca Vat"));
        d_.Pisz(115, 86, QStringLiteral("nr ") + numer);
    } else {
        d_.Pisz(115, 80, QStringLiteral("Faktura Vat nr ") + numer);
    }
    czcionkaUzytkownika(0, Zwykla);
    d_.Pisz(115, korekta_ ? 93 : 87, dane_.oznaczenie_kopii);
    d_.Pisz(10, 75, dane_.pole(PoleNaglowka::odbiorca2));
    d_.Pisz(10, 80, dane_.pole(PoleNaglowka::odbiorca3));
    d_.Pisz(10, 85, dane_.pole(PoleNaglowka::odbiorca4));
    d_.Pisz(10, 90, QStringLiteral("Nip ") + dane_.pole(PoleNaglowka::nip_odbiorcy));
    d_.Prostokat(10, 100, 100, 1);
}

void Strona::platnosc() {
    poleZWartoscia(105, QStringLiteral("Forma zapłaty :"), dane_.pole(PoleNaglowka::forma_zaplaty));
    poleZWartoscia(110, QStringLiteral("Termin płatności :"), dane_.pole(PoleNaglowka::termin_zaplaty));
    poleZWartoscia(115, QStringLiteral("Data usługi :"), dane_.pole(PoleNaglowka::data_uslugi));
}

// The items (a correction's corrected ones, then the invoice's as they were) and the VAT summary.
void Strona::tabele() {
    const TDokument& dok = dane_.dokument;
    naglowekPozycji(125);
    wierszePozycji(korekta_ ? dok.pozycje_korekty : dok.pozycje, 133);
    if (korekta_) {
        czcionkaUzytkownika(0, Zwykla);
        d_.Pisz(10, 152,
                QStringLiteral("Korekta dotyczy faktury nr ") + dane_.dotyczy +
                    QStringLiteral(" o następującym wyglądzie pierwotnym"));
        naglowekPozycji(156);
        wierszePozycji(dok.pozycje, 164);
    }
    tabelaStawek(korekta_ ? dok.stawki_korekty : dok.stawki, korekta_ ? 183 : 152);
}

// The amount to pay (a correction's before, after and difference), in words, and the footer.
void Strona::kwoty() {
    const KwotyDokumentu kwoty = ObliczKwotyDokumentu(dane_.dokument);
    if (korekta_) {
        courier(2, Gruba);
        d_.Pisz(10, 223, QStringLiteral("Do zapłaty pierwotnie było:"));
        d_.Pisz(75, 223, TekstKwotyPln(kwoty.przedKorekta));
        d_.Pisz(10, 227, QStringLiteral("Do zapłaty po korekcie jest:"));
        d_.Pisz(75, 227, TekstKwotyPln(kwoty.poKorekcie));
        d_.Pisz(10, 231, QStringLiteral("Różnica do zapłaty:"));
        d_.Pisz(75, 231, TekstKwotyPln(kwoty.doZaplaty));
    } else {
        czcionkaUzytkownika(2, Gruba);
        d_.Pisz(10, 192, QStringLiteral("Do zapłaty :   ") + TekstKwotyPln(kwoty.doZaplaty));
    }
    const std::int32_t ySlownie = korekta_ ? 237 : 198;
    czcionkaUzytkownika(-1, Zwykla);
    d_.Pisz(10, ySlownie, LiniaSlownie(kwoty.doZaplaty));
    d_.Pisz(10, ySlownie + 5, dane_.stopka);
}

void Strona::podpisIStopka() {
    czcionkaUzytkownika(0, Zwykla);
    d_.Pisz(150, 252, dane_.pole(PoleNaglowka::podpis));
    czcionkaUzytkownika(-1, Zwykla);
    d_.Pisz(150, 257, QStringLiteral("Podpis osoby uprawnionej"));
    d_.Pisz(150, 261, QStringLiteral("do wystawiania faktury"));
    d_.Prostokat(10, 273, 180, 1);
    czcionkaUzytkownika(-2, Zwykla);
    d_.Pisz(10, 276, LiniaProgramu(dane_.kontakt));
}

// The band left of the signature, between the last text of a correction (its footer at 242) and the
// footer rule at 273: the codes 22 units square (a KOD II signed with an RSA key needs 85 modules:
// a quarter of a millimetre each) with their labels under them, the link as text beside them.
constexpr std::int32_t GoraKodow = 247, BokKodu = 22, LewyKodI = 10, LewyKodII = 58, PrawyBrzegLinku = 145;
constexpr std::int32_t RozmiarOpisuKodu = 6;                     // points, Courier New
constexpr double SzerokoscZnakuOpisu = 6.0 * 0.6 / 72.0 * 25.0;  // print units: 1.25

void Strona::kodyKsef() {
    const KodyKsefWydruku& kody = *dane_.kodyKsef;
    const std::int32_t yOpisu = GoraKodow + BokKodu + 1;  // 270: ends before the rule at 273
    d_.UstawCzcionke(KrojCourier, RozmiarOpisuKodu);
    d_.Pogrubienie(Zwykla);
    d_.ObrazKwadratowy(LewyKodI, GoraKodow, BokKodu, ObrazKoduQr(kody.linkI));
    d_.Pisz(LewyKodI, yOpisu, kody.podpisI);
    // Without KOD II the link takes its place; the KSeF number under KOD I is 44 units wide.
    std::int32_t xLinku = LewyKodII;
    if (!kody.linkII.isEmpty()) {
        d_.ObrazKwadratowy(LewyKodII, GoraKodow, BokKodu, ObrazKoduQr(kody.linkII));
        d_.Pisz(LewyKodII, yOpisu, QStringLiteral("CERTYFIKAT"));
        xLinku = LewyKodII + BokKodu + 4;
    }
    // The link as text too, in lines that end before the signature's column.
    const qsizetype naLinie =
        std::max<qsizetype>(10, static_cast<qsizetype>((PrawyBrzegLinku - xLinku) / SzerokoscZnakuOpisu));
    std::int32_t y = GoraKodow;
    d_.Pisz(xLinku, y, QStringLiteral("Weryfikacja faktury w KSeF:"));
    for (qsizetype od = 0; od < kody.linkI.size() && y + 3 <= GoraKodow + BokKodu; od += naLinie) {
        y += 3;
        d_.Pisz(xLinku, y, kody.linkI.mid(od, naLinie));
    }
}

}  // namespace

std::optional<KodyKsefWydruku> KodyKsefZeStanu(const std::optional<StanKsef>& stan) {
    if (!stan || stan->linkKoduI.isEmpty() || stan->stan == StanWysylki::Niewyslany) return std::nullopt;
    // Rejected online, it never became an invoice in KSeF; issued offline, it was one all along.
    if (stan->stan == StanWysylki::Odrzucony && stan->trybOffline.isEmpty()) return std::nullopt;
    KodyKsefWydruku kody;
    kody.linkI = stan->linkKoduI;
    kody.podpisI = stan->stan == StanWysylki::Przyjety && !stan->numerKsef.isEmpty()
                       ? stan->numerKsef
                       : QStringLiteral("OFFLINE");
    kody.linkII = stan->linkKoduII;
    return kody;
}

QString LiniaProgramu(const QString& kontakt) {
    QString linia = QStringLiteral("Wydruk generowany z programu Kwintaro");
    if (!kontakt.trimmed().isEmpty()) linia += QString(8, u' ') + kontakt;
    return linia;
}

QString LiniaSlownie(double kwotaDoZaplaty) {
    const bool ujemna = kwotaDoZaplaty < 0;
    const KwotaWSlowach slowa = KwotaPieniezna(ujemna ? -kwotaDoZaplaty : kwotaDoZaplaty);
    return QStringLiteral("Słownie :   ") + (ujemna ? QStringLiteral("minus") : QString()) +
           QStringLiteral(" ") + slowa.zlote + QStringLiteral(" ") + slowa.grosze;
}

DaneWydruku DaneWydrukuZRekordu(const TDokument& dokument, const TUstawieniaFaktury& ustawienia,
                                const TDaneFirmy& firma, const StanCzcionki& czcionka,
                                const QString& kontakt) {
    DaneWydruku dane;
    KazdePoleNaglowka(dokument,
                      [&dane](PoleNaglowka pole, const auto& tekst) { dane.pole(pole) = tekst.tekst(); });
    dane.oznaczenie_kopii = ustawienia.oznaczenie_kopii.tekst();
    dane.stopka = ustawienia.stopka.tekst();
    dane.dotyczy = dokument.dotyczy.tekst();
    dane.dokument = dokument;
    dane.liniaFirmy1 = firma.linia1.tekst();
    dane.liniaFirmy2 = firma.linia2.tekst();
    dane.liniaFirmy3 = firma.linia3.tekst();
    dane.nip = firma.nip.tekst();
    dane.bank = firma.bank.tekst();
    dane.konto = firma.konto.tekst();
    dane.czcionka = czcionka;
    dane.kontakt = kontakt;
    return dane;
}

void RysujStrone(Drukarka& drukarka, const DaneWydruku& dane) { Strona(drukarka, dane).rysuj(); }

void DrukujKopie(Drukarka& drukarka, const DaneWydruku& dane, std::int32_t liczbaKopii) {
    drukarka.UstawKolor(dane.czcionka.Czcionka.kolor);
    for (std::int32_t kopia = 0; kopia < liczbaKopii; ++kopia) {
        drukarka.UstawPionowo();
        drukarka.OtworzZadanie();
        drukarka.ObliczMiaryStrony();
        // Without a printout font the user's texts would take whatever face the previous copy left
        // (its Courier New rows), so each copy starts from the printer's own face and all look alike.
        if (dane.czcionka.NazwaCzcionki.isEmpty()) drukarka.DomyslnyKroj();
        RysujStrone(drukarka, dane);
        drukarka.ZamknijZadanie();
        drukarka.UstawPionowo();
    }
}
