#include "eksport/rejestr.h"

#include <algorithm>
#include <array>
#include <cmath>
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
// gets an apostrophe in front, so that opening the file runs nothing.
void DopiszTekst(std::string& wynik, const char* znaki, std::size_t dlugosc) {
    const auto& utf8 = TabelaUtf8();
    std::string komorka;
    bool przerwa = false;
    for (std::size_t i = 0; i < dlugosc; ++i) {
        const auto b = static_cast<unsigned char>(znaki[i]);
        if (Bialy(b)) {
            przerwa = true;
            continue;
        }
        if (b < 0x20 || b == 0x7F) continue;
        if (przerwa && !komorka.empty()) komorka.push_back(' ');
        przerwa = false;
        komorka.append(utf8[b].bajty, utf8[b].dlugosc);
    }
    if (!komorka.empty() &&
        (komorka[0] == '=' || komorka[0] == '+' || komorka[0] == '-' || komorka[0] == '@'))
        komorka.insert(komorka.begin(), '\'');
    if (komorka.find_first_of(";\"") == std::string::npos) {
        wynik += komorka;
        return;
    }
    wynik.push_back('"');
    for (char c : komorka) {
        if (c == '"') wynik.push_back('"');
        wynik.push_back(c);
    }
    wynik.push_back('"');
}

template <std::size_t N>
void DopiszTekst(std::string& wynik, const TTekst<N>& tekst) {
    DopiszTekst(wynik, tekst.znaki, tekst.dlugoscTekstu());
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

int RejestrSprzedazy::grupa(const TTekst<20>& stawka) {
    std::string surowa(stawka.znaki, stawka.dlugoscTekstu());
    const auto it = grupyStawek_.find(surowa);
    if (it != grupyStawek_.end()) return it->second;
    const QString nazwa = ZnormalizowanaStawka(stawka.tekst());
    const auto [poNazwie, nowa] =
        grupyPoNazwie_.try_emplace(nazwa.toStdString(), static_cast<int>(grupy_.size()));
    if (nowa) grupy_.push_back(nazwa);
    grupyStawek_.emplace(std::move(surowa), poNazwie->second);
    return poNazwie->second;
}

std::optional<QString> RejestrSprzedazy::dodaj(const TDokument& d) {
    const bool korekta = JestKorekta(d);
    if (!korekta && !JestFaktura(d))
        return QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
            .arg(CzystyTekst(d.rodzaj.tekst()));

    // At most three groups per table; a correction's two tables may bring six.
    std::array<Kwoty, 6> kwoty{};
    std::size_t ile = 0;
    const auto tabela = [&](const TTekst<20>(&stawki)[4][3], long double znak) {
        for (int r = 0; r < 3; ++r) {
            const double netto = KwotaKomorki(stawki[1][r]);
            const double podatek = KwotaKomorki(stawki[2][r]);
            const double brutto = KwotaKomorki(stawki[3][r]);
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
    const bool czytelne = korekta ? tabela(d.stawki, -1) && tabela(d.stawki_korekty, 1) : tabela(d.stawki, 1);
    const double razem = ObliczKwotyDokumentu(d).doZaplaty;
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

void RejestrSprzedazy::dopiszKwote(std::string& wynik, long double kwota) const {
    const double x = static_cast<double>(kwota);
    const double grosze = x * 100.0;
    const double zaokraglone = std::nearbyint(grosze);
    // Far from a half grosz the nearest whole number is what TekstKwoty rounds to; near one, and for
    // amounts beyond a 64-bit count of grosze, TekstKwoty itself decides.
    if (std::fabs(x) < 1e13 && std::fabs(grosze - zaokraglone) < 0.49) {
        auto g = static_cast<std::int64_t>(zaokraglone);
        if (g < 0) {
            wynik.push_back('-');
            g = -g;
        }
        char cyfry[24];
        char* p = cyfry + sizeof cyfry;
        const int ulamek = static_cast<int>(g % 100);
        std::int64_t calosc = g / 100;
        do {
            *--p = static_cast<char>('0' + calosc % 10);
            calosc /= 10;
        } while (calosc > 0);
        wynik.append(p, cyfry + sizeof cyfry - p);
        wynik.push_back(kropka_ ? '.' : ',');
        wynik.push_back(static_cast<char>('0' + ulamek / 10));
        wynik.push_back(static_cast<char>('0' + ulamek % 10));
        return;
    }
    std::string t = TekstKwoty(x).trimmed().toStdString();
    if (t == "-0.00") t = "0.00";
    if (!kropka_) std::replace(t.begin(), t.end(), '.', ',');
    wynik += t;
}

QByteArray RejestrSprzedazy::csv() const {
    std::vector<int> kolejnosc(grupy_.size());
    std::iota(kolejnosc.begin(), kolejnosc.end(), 0);
    std::sort(kolejnosc.begin(), kolejnosc.end(),
              [&](int a, int b) { return PrzedGrupa(grupy_[a], grupy_[b]); });
    std::vector<int> kolumna(grupy_.size());
    for (std::size_t k = 0; k < kolejnosc.size(); ++k) kolumna[kolejnosc[k]] = static_cast<int>(k);

    std::string wynik = "\xEF\xBB\xBF";
    wynik.reserve(teksty_.size() + wiersze_.size() * (16 + 14 * 3 * grupy_.size()) + 256);
    wynik += "Numer;Rodzaj;Data wystawienia;Data usługi;Nabywca;NIP nabywcy";
    for (int g : kolejnosc) {
        const std::string nazwa = NazwaGrupy(grupy_[g]).toStdString();
        wynik += ";Netto " + nazwa + ";VAT " + nazwa + ";Brutto " + nazwa;
    }
    wynik += ";Brutto razem\r\n";

    std::vector<const Kwoty*> komorki(grupy_.size());
    for (const Wiersz& w : wiersze_) {
        wynik.append(teksty_, w.tekstOd, w.tekstDo - w.tekstOd);
        std::fill(komorki.begin(), komorki.end(), nullptr);
        for (std::uint32_t i = w.kwotyOd; i < w.kwotyDo; ++i) komorki[kolumna[kwoty_[i].grupa]] = &kwoty_[i];
        for (const Kwoty* k : komorki) {
            if (!k) {
                wynik += ";;;";
                continue;
            }
            wynik.push_back(';');
            dopiszKwote(wynik, k->netto);
            wynik.push_back(';');
            dopiszKwote(wynik, k->podatek);
            wynik.push_back(';');
            dopiszKwote(wynik, k->brutto);
        }
        wynik.push_back(';');
        dopiszKwote(wynik, w.razem);
        wynik += "\r\n";
    }
    return QByteArray(wynik.data(), static_cast<qsizetype>(wynik.size()));
}
