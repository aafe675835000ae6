#include "eksport/rejestr.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numeric>

#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "eksport/pola.h"
#include "store/cp1250.h"

namespace {

// UTF-8 of every Windows-1250 byte, so that a hundred thousand rows need no QString each.
struct Utf8Bajtu {
    char bajty[4];
    std::uint8_t dlugosc;
};
const std::array<Utf8Bajtu, 256>& TabelaUtf8() {
    static const std::array<Utf8Bajtu, 256> tabela = [] {
        std::array<Utf8Bajtu, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char znak = static_cast<char>(b);
            const QByteArray utf8 = ZCp1250(&znak, 1).toUtf8();
            t[b].dlugosc = static_cast<std::uint8_t>(utf8.size());
            std::copy(utf8.begin(), utf8.end(), t[b].bajty);
        }
        return t;
    }();
    return tabela;
}

bool Bialy(unsigned char b) { return b == ' ' || b == '\t' || b == '\n' || b == '\r'; }

// One text cell: control characters dropped, white space runs made one blank, none at the ends,
// quoted when it holds a separator or a quote. A cell a spreadsheet would take for a formula
// gets an apostrophe in front, so that opening the file runs nothing. Written straight into the
// output: a hundred thousand rows make six hundred thousand cells.
// What a byte is to a cell: part of the text, white space, dropped, a character that needs
// quoting, or a byte of the upper half that becomes two or three bytes of UTF-8.
enum Klasa : std::uint8_t { kZnak, kBialy, kPominiety, kCytat, kGorny };
const std::array<Klasa, 256>& KlasyBajtow() {
    static const std::array<Klasa, 256> klasy = [] {
        std::array<Klasa, 256> k{};
        for (int b = 0; b < 256; ++b)
            k[b] = b >= 0x80                              ? kGorny
                   : Bialy(static_cast<unsigned char>(b)) ? kBialy
                   : b < 0x20 || b == 0x7F                ? kPominiety
                   : b == ';' || b == '"'                 ? kCytat
                                                          : kZnak;
        return k;
    }();
    return klasy;
}

void DopiszTekst(std::string& wynik, const char* znaki, std::size_t dlugosc) {
    const auto& utf8 = TabelaUtf8();
    const auto& klasy = KlasyBajtow();
    // Room for an apostrophe, every character in three bytes and doubled, and the quotes.
    char komorka[1 + 2 * 3 * 255 + 2];
    char* const poczatek = komorka + 1;
    char* k = poczatek;
    bool przerwa = false, cytat = false;
    for (std::size_t i = 0; i < dlugosc; ++i) {
        const auto b = static_cast<unsigned char>(znaki[i]);
        const Klasa klasa = klasy[b];
        if (klasa == kBialy) {
            przerwa = true;
            continue;
        }
        if (klasa == kPominiety) continue;
        if (przerwa && k > poczatek) *k++ = ' ';
        przerwa = false;
        if (klasa == kGorny) {
            std::memcpy(k, utf8[b].bajty, 4);
            k += utf8[b].dlugosc;
        } else {
            cytat = cytat || klasa == kCytat;
            *k++ = static_cast<char>(b);
        }
    }
    char* p = poczatek;
    if (k > p && (*p == '=' || *p == '+' || *p == '-' || *p == '@')) *--p = '\'';
    if (!cytat) {
        wynik.append(p, static_cast<std::size_t>(k - p));
        return;
    }
    std::string cytowana;
    cytowana.reserve(static_cast<std::size_t>(k - p) * 2 + 2);
    cytowana.push_back('"');
    for (const char* c = p; c < k; ++c) {
        if (*c == '"') cytowana.push_back('"');
        cytowana.push_back(*c);
    }
    cytowana.push_back('"');
    wynik += cytowana;
}

template <std::size_t N>
void DopiszTekst(std::string& wynik, const TTekst<N>& tekst) {
    DopiszTekst(wynik, tekst.znaki, tekst.dlugoscTekstu());
}

// A stored amount as KwotaKomorki reads it. The summary writes blanks, an optional "-", digits, a
// point and two digits; such a cell is whole grosze over 100, and since a division of two exact
// doubles is correctly rounded, that is the very double the decimal text denotes. Any other cell
// goes to KwotaKomorki.
inline double Kwota(const TTekst<20>& komorka) {
    const std::size_t n = komorka.dlugoscTekstu();
    if (n == 0) return 0;
    const char* p = komorka.znaki;
    std::size_t i = 0;
    while (i < n && p[i] == ' ') ++i;
    const bool ujemna = i < n && p[i] == '-';
    if (ujemna) ++i;
    const std::size_t cyfry = i;
    std::int64_t grosze = 0;
    while (i < n && p[i] >= '0' && p[i] <= '9' && i - cyfry < 13) grosze = grosze * 10 + (p[i++] - '0');
    if (i == cyfry || i + 3 != n || p[i] != '.' || p[i + 1] < '0' || p[i + 1] > '9' || p[i + 2] < '0' ||
        p[i + 2] > '9')
        return KwotaKomorki(komorka);
    grosze = grosze * 100 + (p[i + 1] - '0') * 10 + (p[i + 2] - '0');
    const double x = static_cast<double>(grosze) / 100.0;
    return ujemna ? -x : x;
}

// Groups in the order of their columns: numbers from the highest rate, then texts, then none.
bool PrzedGrupa(const QString& a, const QString& b) {
    const auto klasa = [](const QString& s, double* liczba) {
        if (s.isEmpty()) return 2;
        bool ok = false;
        *liczba = s.toDouble(&ok);
        return ok ? 0 : 1;
    };
    double la = 0, lb = 0;
    const int ka = klasa(a, &la), kb = klasa(b, &lb);
    if (ka != kb) return ka < kb;
    if (ka == 0) return la > lb;
    return a < b;
}

QString NazwaGrupy(const QString& stawka) {
    if (stawka.isEmpty()) return QStringLiteral("bez stawki");
    bool liczba = false;
    stawka.toDouble(&liczba);
    return liczba ? stawka + QLatin1Char('%') : stawka;
}

}  // namespace

double KwotaZapisana(const TTekst<20>& komorka) { return Kwota(komorka); }

int RejestrSprzedazy::grupa(const TTekst<20>& stawka) {
    // A file holds few rate texts: they are looked up by their bytes, without a string each.
    const std::uint8_t dlugosc = static_cast<std::uint8_t>(stawka.dlugoscTekstu());
    for (const ZnanaStawka& z : znane_)
        if (z.dlugosc == dlugosc && std::memcmp(z.bajty, stawka.znaki, dlugosc) == 0) return z.grupa;
    std::string surowa(stawka.znaki, dlugosc);
    if (const auto it = grupyStawek_.find(surowa); it != grupyStawek_.end()) return it->second;
    const QString nazwa = ZnormalizowanaStawka(stawka.tekst());
    const auto [poNazwie, nowa] =
        grupyPoNazwie_.try_emplace(nazwa.toStdString(), static_cast<int>(grupy_.size()));
    if (nowa) grupy_.push_back(nazwa);
    if (znane_.size() < kZnaneStawki) {
        ZnanaStawka z{{}, dlugosc, poNazwie->second};
        std::memcpy(z.bajty, stawka.znaki, dlugosc);
        znane_.push_back(z);
    }
    grupyStawek_.emplace(std::move(surowa), poNazwie->second);
    return poNazwie->second;
}

void RejestrSprzedazy::dolacz(const RejestrSprzedazy& dalsze) {
    std::vector<int> grupa(dalsze.grupy_.size());
    for (std::size_t g = 0; g < dalsze.grupy_.size(); ++g) {
        const auto [it, nowa] =
            grupyPoNazwie_.try_emplace(dalsze.grupy_[g].toStdString(), static_cast<int>(grupy_.size()));
        if (nowa) grupy_.push_back(dalsze.grupy_[g]);
        grupa[g] = it->second;
    }
    const std::size_t tekstow = teksty_.size();
    const auto kwot = static_cast<std::uint32_t>(kwoty_.size());
    teksty_ += dalsze.teksty_;
    for (Kwoty k : dalsze.kwoty_) {
        k.grupa = grupa[static_cast<std::size_t>(k.grupa)];
        kwoty_.push_back(k);
    }
    for (Wiersz w : dalsze.wiersze_) {
        w.tekstOd += tekstow;
        w.tekstDo += tekstow;
        w.kwotyOd += kwot;
        w.kwotyDo += kwot;
        wiersze_.push_back(w);
    }
}

void RejestrSprzedazy::rezerwuj(std::size_t dokumentow) {
    teksty_.reserve(dokumentow * 96);
    kwoty_.reserve(dokumentow * 3);
    wiersze_.reserve(dokumentow);
}

std::optional<QString> RejestrSprzedazy::dodaj(const TDokument& d) {
    const bool korekta = JestKorekta(d);
    if (!korekta && !JestFaktura(d))
        return QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
            .arg(CzystyTekst(d.rodzaj.tekst()));

    // At most three groups per table; a correction's two tables may bring six.
    std::array<Kwoty, 6> kwoty{};
    std::size_t ile = 0;
    // The gross total as ObliczKwotyDokumentu states it, from the cells read here once.
    long double suma[2] = {0, 0};
    const auto tabela = [&](const TTekst<20>(&stawki)[4][3], long double znak, long double& brutto3) {
        for (int r = 0; r < 3; ++r) {
            const double brutto = Kwota(stawki[3][r]);
            brutto3 = r == 0 ? static_cast<long double>(brutto) : brutto3 + brutto;
            if (stawki[0][r].dlugosc == 0 && stawki[1][r].dlugosc == 0 && stawki[2][r].dlugosc == 0 &&
                stawki[3][r].dlugosc == 0)
                continue;
            const double netto = Kwota(stawki[1][r]);
            const double podatek = Kwota(stawki[2][r]);
            if (std::isnan(netto) || std::isnan(podatek) || std::isnan(brutto)) return false;
            // An empty first row of the summary: no rate and nothing to count.
            if (stawki[0][r].dlugoscTekstu() == 0 && netto == 0 && podatek == 0 && brutto == 0) continue;
            const int g = grupa(stawki[0][r]);
            std::size_t i = 0;
            while (i < ile && kwoty[i].grupa != g) ++i;
            if (i == ile) kwoty[ile++] = {g, 0, 0, 0};
            kwoty[i].netto += znak * netto;
            kwoty[i].podatek += znak * podatek;
            kwoty[i].brutto += znak * brutto;
        }
        return true;
    };
    const bool czytelne = korekta ? tabela(d.stawki, -1, suma[0]) && tabela(d.stawki_korekty, 1, suma[1])
                                  : tabela(d.stawki, 1, suma[0]);
    const double razem = korekta ? static_cast<double>(suma[1] - suma[0]) : static_cast<double>(suma[0]);
    if (!czytelne || std::isnan(razem))
        return QStringLiteral("kwota w podsumowaniu VAT jest „poza zakresem”");

    Wiersz w{teksty_.size(), 0, static_cast<std::uint32_t>(kwoty_.size()), 0, razem};
    // The number and its suffix are one cell, as printed.
    char numer[TTekst<10>::Pojemnosc + 1 + TTekst<20>::Pojemnosc];
    const std::size_t n = d.numerator.dlugoscTekstu(), r = d.rozszerzenie.dlugoscTekstu();
    std::copy_n(d.numerator.znaki, n, numer);
    numer[n] = '/';
    std::copy_n(d.rozszerzenie.znaki, r, numer + n + 1);
    DopiszTekst(teksty_, numer, n + 1 + r);
    teksty_ += korekta ? ";korekta;" : ";faktura;";
    DopiszTekst(teksty_, d.data_wystawienia);
    teksty_.push_back(';');
    DopiszTekst(teksty_, d.data_uslugi);
    teksty_.push_back(';');
    DopiszTekst(teksty_, d.odbiorca1);
    teksty_.push_back(';');
    DopiszTekst(teksty_, d.nip_odbiorcy);
    w.tekstDo = teksty_.size();
    kwoty_.insert(kwoty_.end(), kwoty.begin(), kwoty.begin() + static_cast<std::ptrdiff_t>(ile));
    w.kwotyDo = static_cast<std::uint32_t>(kwoty_.size());
    wiersze_.push_back(w);
    return std::nullopt;
}

// The longest amount text: up to 10^36 with grosze, a sign and the point.
constexpr std::size_t kNajdluzszaKwota = 48;

char* RejestrSprzedazy::piszKwote(char* p, long double kwota) const {
    const double x = static_cast<double>(kwota);
    const double grosze = x * 100.0;
    const double zaokraglone = std::nearbyint(grosze);
    // Far from a half grosz the nearest whole number is what TekstKwoty rounds to; near one, and for
    // amounts beyond a 64-bit count of grosze, TekstKwoty itself decides.
    if (std::fabs(x) < 1e13 && std::fabs(grosze - zaokraglone) < 0.49) {
        auto g = static_cast<std::int64_t>(zaokraglone);
        if (g < 0) {
            *p++ = '-';
            g = -g;
        }
        static constexpr char kPary[] =
            "000102030405060708091011121314151617181920212223242526272829303132333435363738394041424344454647"
            "4849"
            "505152535455565758596061626364656667686970717273747576777879808182838485868788899091929394959697"
            "9899";
        char cyfry[24];
        char* c = cyfry + sizeof cyfry;
        const auto ulamek = static_cast<std::size_t>(g % 100);
        auto calosc = static_cast<std::uint64_t>(g / 100);
        while (calosc >= 100) {
            c -= 2;
            std::memcpy(c, kPary + 2 * (calosc % 100), 2);
            calosc /= 100;
        }
        if (calosc >= 10) {
            c -= 2;
            std::memcpy(c, kPary + 2 * calosc, 2);
        } else {
            *--c = static_cast<char>('0' + calosc);
        }
        const auto ile = static_cast<std::size_t>(cyfry + sizeof cyfry - c);
        std::memcpy(p, c, ile);
        p += ile;
        *p++ = kropka_ ? '.' : ',';
        std::memcpy(p, kPary + 2 * ulamek, 2);
        return p + 2;
    }
    QByteArray t = TekstKwoty(x).trimmed().toLatin1().left(kNajdluzszaKwota);
    if (t == "-0.00") t = "0.00";
    for (char c : t) *p++ = !kropka_ && c == '.' ? ',' : c;
    return p;
}

QByteArray RejestrSprzedazy::csv() const {
    std::vector<int> kolejnosc(grupy_.size());
    std::iota(kolejnosc.begin(), kolejnosc.end(), 0);
    std::sort(kolejnosc.begin(), kolejnosc.end(),
              [&](int a, int b) { return PrzedGrupa(grupy_[a], grupy_[b]); });
    std::vector<int> kolumna(grupy_.size());
    for (std::size_t k = 0; k < kolejnosc.size(); ++k) kolumna[kolejnosc[k]] = static_cast<int>(k);

    QByteArray naglowek = "\xEF\xBB\xBFNumer;Rodzaj;Data wystawienia;Data usługi;Nabywca;NIP nabywcy";
    for (int g : kolejnosc) {
        const QByteArray nazwa = NazwaGrupy(grupy_[g]).toUtf8();
        naglowek += ";Netto " + nazwa + ";VAT " + nazwa + ";Brutto " + nazwa;
    }
    naglowek += ";Brutto razem\r\n";

    // Written through a pointer into room made ahead for each row: six hundred thousand amounts.
    QByteArray wynik;
    wynik.resize(naglowek.size() +
                 static_cast<qsizetype>(teksty_.size() + wiersze_.size() * (4 + 3 * grupy_.size())));
    std::memcpy(wynik.data(), naglowek.constData(), static_cast<std::size_t>(naglowek.size()));
    qsizetype uzyte = naglowek.size();
    const std::size_t naKwoty = (3 * grupy_.size() + 1) * (kNajdluzszaKwota + 1) + 4;
    std::vector<const Kwoty*> komorki(grupy_.size());
    for (const Wiersz& w : wiersze_) {
        const std::size_t potrzeba = w.tekstDo - w.tekstOd + naKwoty;
        if (static_cast<std::size_t>(wynik.size() - uzyte) < potrzeba)
            wynik.resize(std::max(wynik.size() * 2, uzyte + static_cast<qsizetype>(potrzeba)));
        char* const start = wynik.data() + uzyte;
        char* p = start;
        std::memcpy(p, teksty_.data() + w.tekstOd, w.tekstDo - w.tekstOd);
        p += w.tekstDo - w.tekstOd;
        std::fill(komorki.begin(), komorki.end(), nullptr);
        for (std::uint32_t i = w.kwotyOd; i < w.kwotyDo; ++i) komorki[kolumna[kwoty_[i].grupa]] = &kwoty_[i];
        for (const Kwoty* k : komorki) {
            if (!k) {
                *p++ = ';';
                *p++ = ';';
                *p++ = ';';
                continue;
            }
            *p++ = ';';
            p = piszKwote(p, k->netto);
            *p++ = ';';
            p = piszKwote(p, k->podatek);
            *p++ = ';';
            p = piszKwote(p, k->brutto);
        }
        *p++ = ';';
        p = piszKwote(p, w.razem);
        *p++ = '\r';
        *p++ = '\n';
        uzyte += p - start;
    }
    wynik.truncate(uzyte);
    return wynik;
}
