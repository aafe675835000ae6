#include "eksport/rejestr.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>
#include <string_view>

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
enum Klasa : std::uint8_t { Znak, ZnakiBiale, Pominiety, Cytat, Gorny };
const std::array<Klasa, 256>& KlasyBajtow() {
    static const std::array<Klasa, 256> klasy = [] {
        std::array<Klasa, 256> k{};
        for (int b = 0; b < 256; ++b)
            k[b] = b >= 0x80                              ? Gorny
                   : Bialy(static_cast<unsigned char>(b)) ? ZnakiBiale
                   : b < 0x20 || b == 0x7F                ? Pominiety
                   : b == ';' || b == '"'                 ? Cytat
                                                          : Znak;
        return k;
    }();
    return klasy;
}

// Writes the cell at w and returns its end; room for 3 + 6 * dlugosc bytes is needed (every byte
// three bytes of UTF-8, doubled by the quoting, an apostrophe and the quotes).
// Whether the eight bytes of x are written as they are: characters of the class Znak (0x21..0x7E,
// neither ';' nor '"') and single blanks between them, none first or last.
bool OsiemBezZmian(std::uint64_t x) {
    constexpr std::uint64_t J = 0x0101010101010101u, H = 0x8080808080808080u, N = 0x7F7F7F7F7F7F7F7Fu;
    const auto zero = [](std::uint64_t v) { return (v - J) & ~v & H; };
    if (x & H) return false;                    // the upper half
    if ((x - 0x20 * J) & ~x & H) return false;  // control characters
    if ((x + J) & H) return false;              // DEL
    if ((zero(x ^ (0x3B * J)) | zero(x ^ (0x22 * J))) != 0) return false;
    // The high bit of every blank, exactly.
    const std::uint64_t v = x ^ (0x20 * J);
    const std::uint64_t odstepy = ~(((v & N) + N) | v | N);
    return (odstepy & (odstepy << 8)) == 0 && (odstepy & 0x80u) == 0 && (odstepy >> 63) == 0;
}

char* PiszTekst(char* w, const char* znaki, std::size_t dlugosc) {
    const auto& utf8 = TabelaUtf8();
    const auto& klasy = KlasyBajtow();
    char* const poczatek = w;
    bool przerwa = false, cytat = false;
    for (std::size_t i = 0; i < dlugosc; ++i) {
        // Runs of plain characters and single blanks, as most of a date, a number or a name is, go
        // eight at a time.
        if (std::uint64_t osiem;
            i + 8 <= dlugosc && (std::memcpy(&osiem, znaki + i, 8), OsiemBezZmian(osiem))) {
            const char b = znaki[i];
            if (w == poczatek) {
                if (b == '=' || b == '+' || b == '-' || b == '@') *w++ = '\'';
            } else if (przerwa) {
                *w++ = ' ';
            }
            przerwa = false;
            std::memcpy(w, znaki + i, 8);
            w += 8;
            i += 7;
            continue;
        }
        const auto b = static_cast<unsigned char>(znaki[i]);
        const Klasa klasa = klasy[b];
        if (klasa == ZnakiBiale) {
            przerwa = true;
            continue;
        }
        if (klasa == Pominiety) continue;
        if (w == poczatek) {
            if (b == '=' || b == '+' || b == '-' || b == '@') *w++ = '\'';
        } else if (przerwa) {
            *w++ = ' ';
        }
        przerwa = false;
        if (klasa == Gorny) {
            std::memcpy(w, utf8[b].bajty, 4);
            w += utf8[b].dlugosc;
        } else {
            cytat = cytat || klasa == Cytat;
            *w++ = static_cast<char>(b);
        }
    }
    if (!cytat) return w;
    // Rare: the cell is quoted in place, from its end, every quote doubled.
    const auto cudzyslowy = static_cast<std::size_t>(std::count(poczatek, w, '"'));
    char* const koniec = w + cudzyslowy + 2;
    char* d = koniec;
    *--d = '"';
    for (const char* z = w; z > poczatek;) {
        *--d = *--z;
        if (*z == '"') *--d = '"';
    }
    *--d = '"';
    return koniec;
}

template <std::size_t N>
char* PiszTekst(char* w, const TTekst<N>& tekst) {
    return PiszTekst(w, tekst.znaki, tekst.dlugoscTekstu());
}

template <class Tekst>
constexpr std::size_t MiejsceTekstu = 3 + 6 * Tekst::Pojemnosc;

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
    // A file holds few rate texts: they are looked up by their bytes, without a string each.
    const std::uint8_t dlugosc = static_cast<std::uint8_t>(stawka.dlugoscTekstu());
    if (dlugosc <= 8) {
        // Both hold 20 bytes: the first eight are compared as one word, those past the text masked off.
        std::uint64_t bajty;
        std::memcpy(&bajty, stawka.znaki, 8);
        const std::uint64_t maska =
            dlugosc == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * dlugosc)) - 1;
        for (const ZnanaStawka& z : znane_) {
            std::uint64_t znane;
            std::memcpy(&znane, z.bajty, 8);
            if (z.dlugosc == dlugosc && ((znane ^ bajty) & maska) == 0) return z.grupa;
        }
    } else {
        for (const ZnanaStawka& z : znane_)
            if (z.dlugosc == dlugosc && std::memcmp(z.bajty, stawka.znaki, dlugosc) == 0) return z.grupa;
    }
    std::string surowa(stawka.znaki, dlugosc);
    if (const auto it = grupyStawek_.find(surowa); it != grupyStawek_.end()) return it->second;
    const QString nazwa = ZnormalizowanaStawka(stawka.tekst());
    const auto [poNazwie, nowa] =
        grupyPoNazwie_.try_emplace(nazwa.toStdString(), static_cast<int>(grupy_.size()));
    if (nowa) {
        grupy_.push_back(nazwa);
        nowaGrupa_ = true;
    }
    if (znane_.size() < ZnaneStawki) {
        ZnanaStawka z{{}, dlugosc, poNazwie->second};
        std::memcpy(z.bajty, stawka.znaki, dlugosc);
        znane_.push_back(z);
    }
    grupyStawek_.emplace(std::move(surowa), poNazwie->second);
    return poNazwie->second;
}

void RejestrSprzedazy::dolacz(RejestrSprzedazy&& dalsze) {
    std::vector<int> grupa(dalsze.grupy_.size());
    for (std::size_t g = 0; g < dalsze.grupy_.size(); ++g) {
        const auto [it, nowa] =
            grupyPoNazwie_.try_emplace(dalsze.grupy_[g].toStdString(), static_cast<int>(grupy_.size()));
        if (nowa) grupy_.push_back(dalsze.grupy_[g]);
        grupa[g] = it->second;
    }
    for (Czesc& c : dalsze.czesci_) {
        for (Uklad& u : c.uklady)
            for (int& g : u.grupy) g = grupa[static_cast<std::size_t>(g)];
        czesci_.push_back(std::move(c));
    }
    dalsze.czesci_.clear();
    dalsze.czesci_.emplace_back();
    // The groups of this register may now be more: rows added from here on start a new layout.
    nowaGrupa_ = true;
}

std::size_t RejestrSprzedazy::liczbaWierszy() const {
    std::size_t wierszy = 0;
    for (const Czesc& c : czesci_) wierszy += c.wiersze.size();
    return wierszy;
}

RejestrSprzedazy::Bajty& RejestrSprzedazy::Bajty::operator=(const Bajty& inne) {
    if (this == &inne) return *this;
    rozmiar_ = 0;
    rezerwuj(inne.rozmiar_);
    if (inne.rozmiar_) std::memcpy(dane_.get(), inne.dane_.get(), inne.rozmiar_);
    rozmiar_ = inne.rozmiar_;
    return *this;
}

void RejestrSprzedazy::Bajty::Zwolnij::operator()(char* p) const noexcept { std::free(p); }

void RejestrSprzedazy::Bajty::rezerwuj(std::size_t pojemnosc) {
    if (pojemnosc <= pojemnosc_) return;
    pojemnosc = std::max(pojemnosc, 2 * pojemnosc_);
    constexpr std::size_t DuzaStrona = std::size_t{2} << 20;
    char* nowe = nullptr;
    if (pojemnosc >= 2 * DuzaStrona) {
        // Whole large pages; the advice is only a hint, and without it the room is as good.
        pojemnosc = (pojemnosc + DuzaStrona - 1) / DuzaStrona * DuzaStrona;
        nowe = static_cast<char*>(std::aligned_alloc(DuzaStrona, pojemnosc));
        if (nowe) ::madvise(nowe, pojemnosc, MADV_HUGEPAGE);
    } else {
        nowe = static_cast<char*>(std::malloc(pojemnosc));
    }
    if (!nowe) throw std::bad_alloc();
    std::unique_ptr<char[], Zwolnij> dane(nowe);
    if (rozmiar_) std::memcpy(nowe, dane_.get(), rozmiar_);
    dane_ = std::move(dane);
    pojemnosc_ = pojemnosc;
}

void RejestrSprzedazy::rezerwuj(std::size_t dokumentow) {
    Czesc& c = czesci_.back();
    c.teksty.rezerwuj(c.teksty.size() + dokumentow * 144);
    c.wiersze.reserve(c.wiersze.size() + dokumentow);
}

namespace {

char* PiszKwote(char* p, std::int64_t grosze, char separator) {
    return PiszGroszePliku(p, grosze, separator);
}
char* PiszKwote(char* p, long double kwota, char separator) {
    return PiszKwotePliku(p, static_cast<double>(kwota), separator);
}
char* PiszKwote(char* p, double kwota, char separator) { return PiszKwotePliku(p, kwota, separator); }

std::int64_t DoZaplaty(const SumyStawekWGroszach& s) { return s.doZaplaty; }
double DoZaplaty(const SumyStawek& s) { return s.kwoty.doZaplaty; }

// The most a row takes, besides three bytes for each column of a group it lacks: its text cells,
// its kind and the amounts of every group it can have.
constexpr std::size_t NajdluzszyWiersz =
    3 + 6 * NajdluzszyNumer + sizeof ";korekta;" + MiejsceTekstu<decltype(TDokument::data_wystawienia)> + 1 +
    MiejsceTekstu<decltype(TDokument::data_uslugi)> + 1 + MiejsceTekstu<decltype(TDokument::odbiorca1)> + 1 +
    MiejsceTekstu<decltype(TDokument::nip_odbiorcy)> +
    (3 * std::tuple_size_v<decltype(SumyStawek::grupy)> + 1) * (NajdluzszaKwotaPliku + 1) + 2;
static_assert(NajdluzszyWiersz < 65536, "the text cells' length is 16-bit");

}  // namespace

// Groups in the order of their columns.
std::vector<int> RejestrSprzedazy::kolejnoscKolumn() const {
    std::vector<int> kolejnosc(grupy_.size());
    std::iota(kolejnosc.begin(), kolejnosc.end(), 0);
    std::sort(kolejnosc.begin(), kolejnosc.end(),
              [&](int a, int b) { return PrzedGrupa(grupy_[a], grupy_[b]); });
    return kolejnosc;
}

// The columns of every group known now, for the rows added from here on.
void RejestrSprzedazy::nowyUklad(Czesc& c) {
    std::vector<int> kolejnosc = kolejnoscKolumn();
    kolumnaGrupy_.assign(grupy_.size(), 0);
    for (std::size_t k = 0; k < kolejnosc.size(); ++k) kolumnaGrupy_[kolejnosc[k]] = static_cast<int>(k);
    if (!c.uklady.empty() && c.uklady.back().odWiersza == c.wiersze.size())
        c.uklady.back().grupy = std::move(kolejnosc);
    else
        c.uklady.push_back({std::move(kolejnosc), c.wiersze.size()});
    nowaGrupa_ = false;
}

// The amount cells after the row's text cells, written as the document is added, in the threads
// that read the file: the row's groups in the order of their columns, empty cells between them.
template <class Sumy>
char* RejestrSprzedazy::piszKwoty(char* p, const Sumy& sumy) const {
    std::array<std::pair<int, std::size_t>, std::tuple_size_v<decltype(sumy.grupy)>> wlasne;
    for (std::size_t g = 0; g < sumy.liczbaGrup; ++g) {
        std::pair<int, std::size_t> w{kolumnaGrupy_[static_cast<std::size_t>(sumy.grupy[g].grupa)], g};
        std::size_t i = g;
        for (; i > 0 && wlasne[i - 1].first > w.first; --i) wlasne[i] = wlasne[i - 1];
        wlasne[i] = w;
    }
    int kolumna = 0;
    for (std::size_t i = 0; i < sumy.liczbaGrup; ++i) {
        for (; kolumna < wlasne[i].first; ++kolumna) {
            std::memcpy(p, ";;;", 3);
            p += 3;
        }
        const auto& k = sumy.grupy[wlasne[i].second];
        *p++ = ';';
        p = PiszKwote(p, k.netto, separator_);
        *p++ = ';';
        p = PiszKwote(p, k.podatek, separator_);
        *p++ = ';';
        p = PiszKwote(p, k.brutto, separator_);
        ++kolumna;
    }
    for (const auto kolumn = static_cast<int>(kolumnaGrupy_.size()); kolumna < kolumn; ++kolumna) {
        std::memcpy(p, ";;;", 3);
        p += 3;
    }
    *p++ = ';';
    p = PiszKwote(p, DoZaplaty(sumy), separator_);
    *p++ = '\r';
    *p++ = '\n';
    return p;
}

std::optional<QString> RejestrSprzedazy::dodaj(const TDokument& d) {
    const RodzajDokumentu rodzaj = Rodzaj(d);
    if (rodzaj == RodzajDokumentu::Inny)
        return QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
            .arg(CzystyTekst(d.rodzaj.tekst()));
    // Plain amounts are summed in whole grosze; any other cell takes the general sum.
    SumyStawekWGroszach sumy;
    if (!SumujStawkiWGroszach(
            d, [&](const TTekst<20>& stawka) { return grupa(stawka); }, sumy))
        return dodajOgolnie(d, rodzaj);
    dodajWiersz(d, rodzaj, sumy);
    return std::nullopt;
}

std::optional<QString> RejestrSprzedazy::dodajOgolnie(const TDokument& d, RodzajDokumentu rodzaj) {
    // The rows after one that cannot be read make no columns: the document is refused.
    bool nieczytelny = false;
    const SumyStawek sumy = SumujStawki(d, [&](const WierszPodsumowania& w) {
        nieczytelny = nieczytelny || !w.czytelny;
        return nieczytelny ? -1 : grupa(w.stawka);
    });
    if (!sumy.czytelne || std::isnan(sumy.kwoty.doZaplaty))
        return QStringLiteral("kwota w podsumowaniu VAT jest „poza zakresem”");
    dodajWiersz(d, rodzaj, sumy);
    return std::nullopt;
}

template <class Sumy>
void RejestrSprzedazy::dodajWiersz(const TDokument& d, RodzajDokumentu rodzaj, const Sumy& sumy) {
    Czesc& c = czesci_.back();
    if (nowaGrupa_ || c.uklady.empty()) nowyUklad(c);
    char* const wiersz = c.teksty.miejsce(NajdluzszyWiersz + 3 * kolumnaGrupy_.size());
    char* p = wiersz;
    // The number and its suffix are one cell, as printed.
    char numer[NajdluzszyNumer];
    p = PiszTekst(p, numer, BajtyNumeru(d, numer));
    const std::string_view rodzajKomorki = rodzaj == RodzajDokumentu::Korekta ? ";korekta;" : ";faktura;";
    std::memcpy(p, rodzajKomorki.data(), rodzajKomorki.size());
    p += rodzajKomorki.size();
    p = PiszTekst(p, d.data_wystawienia);
    *p++ = ';';
    p = PiszTekst(p, d.data_uslugi);
    *p++ = ';';
    p = PiszTekst(p, d.odbiorca1);
    *p++ = ';';
    p = PiszTekst(p, d.nip_odbiorcy);
    c.wiersze.push_back({c.teksty.size(), static_cast<std::uint16_t>(p - wiersz)});
    c.teksty.ustawKoniec(piszKwoty(p, sumy));
}

namespace {

// Pieces for the caller: long runs of rows as they are, rows laid out again gathered in a buffer.
class Wyjscie {
  public:
    explicit Wyjscie(const std::function<void(const char*, std::size_t)>& wyjscie)
        : wyjscie_(wyjscie), bufor_(new char[Rozmiar]) {}
    // Room for `ile` bytes at the returned pointer; koniec() says how many were written.
    char* miejsce(std::size_t ile) {
        if (Rozmiar - zajete_ < ile) oproznij();
        if (ile > Rozmiar) {
            duzy_.reset(new char[ile]);
            return duzy_.get();
        }
        return bufor_.get() + zajete_;
    }
    void koniec(const char* p) {
        if (duzy_) {
            wyjscie_(duzy_.get(), static_cast<std::size_t>(p - duzy_.get()));
            duzy_.reset();
            return;
        }
        zajete_ = static_cast<std::size_t>(p - bufor_.get());
    }
    void dopisz(const char* bajty, std::size_t ile) {
        if (ile == 0) return;
        if (ile >= Rozmiar / 4) {
            oproznij();
            wyjscie_(bajty, ile);
            return;
        }
        std::memcpy(miejsce(ile), bajty, ile);
        zajete_ += ile;
    }
    void oproznij() {
        if (zajete_) wyjscie_(bufor_.get(), zajete_);
        zajete_ = 0;
    }

  private:
    static constexpr std::size_t Rozmiar = std::size_t{1} << 20;
    const std::function<void(const char*, std::size_t)>& wyjscie_;
    std::unique_ptr<char[]> bufor_, duzy_;
    std::size_t zajete_ = 0;
};

}  // namespace

void RejestrSprzedazy::pisz(const std::function<void(const char*, std::size_t)>& wyjscie) const {
    const std::vector<int> kolejnosc = kolejnoscKolumn();
    QByteArray naglowek = "\xEF\xBB\xBFNumer;Rodzaj;Data wystawienia;Data usługi;Nabywca;NIP nabywcy";
    for (int g : kolejnosc) {
        const QByteArray nazwa = NazwaGrupy(grupy_[g]).toUtf8();
        naglowek += ";Netto " + nazwa + ";VAT " + nazwa + ";Brutto " + nazwa;
    }
    naglowek += ";Brutto razem\r\n";
    Wyjscie w(wyjscie);
    w.dopisz(naglowek.constData(), static_cast<std::size_t>(naglowek.size()));

    std::vector<int> zUkladu;          // final column -> column of the layout, or -1
    std::vector<const char*> kolumny;  // where each column of the layout starts in a row
    for (const Czesc& c : czesci_) {
        const auto odWiersza = [&](std::size_t w) {
            return w < c.wiersze.size() ? c.wiersze[w].od : c.teksty.size();
        };
        for (std::size_t u = 0; u < c.uklady.size(); ++u) {
            const Uklad& uklad = c.uklady[u];
            const std::size_t od = uklad.odWiersza;
            const std::size_t doWiersza =
                u + 1 < c.uklady.size() ? c.uklady[u + 1].odWiersza : c.wiersze.size();
            if (uklad.grupy == kolejnosc) {
                w.dopisz(c.teksty.data() + odWiersza(od), odWiersza(doWiersza) - odWiersza(od));
                continue;
            }
            zUkladu.assign(kolejnosc.size(), -1);
            for (std::size_t k = 0; k < kolejnosc.size(); ++k) {
                const auto it = std::find(uklad.grupy.begin(), uklad.grupy.end(), kolejnosc[k]);
                if (it != uklad.grupy.end()) zUkladu[k] = static_cast<int>(it - uklad.grupy.begin());
            }
            kolumny.resize(uklad.grupy.size() + 1);
            for (std::size_t r = od; r < doWiersza; ++r) {
                const char* const bajty = c.teksty.data() + c.wiersze[r].od;
                const char* const koniec = c.teksty.data() + odWiersza(r + 1);
                // Amount cells hold no semicolon: each column is a semicolon and what follows up to
                // the fourth one.
                const char* q = bajty + c.wiersze[r].komorkiTekstu;
                for (std::size_t j = 0; j < uklad.grupy.size(); ++j) {
                    kolumny[j] = q;
                    for (int srednikow = 0; srednikow < 4; ++q)
                        if (*q == ';' && ++srednikow == 4) break;
                }
                kolumny[uklad.grupy.size()] = q;
                char* p = w.miejsce(static_cast<std::size_t>(koniec - bajty) + 3 * kolejnosc.size());
                std::memcpy(p, bajty, c.wiersze[r].komorkiTekstu);
                p += c.wiersze[r].komorkiTekstu;
                for (const int j : zUkladu) {
                    if (j < 0) {
                        std::memcpy(p, ";;;", 3);
                        p += 3;
                        continue;
                    }
                    const std::size_t ile = static_cast<std::size_t>(kolumny[j + 1] - kolumny[j]);
                    std::memcpy(p, kolumny[j], ile);
                    p += ile;
                }
                // The total.
                const std::size_t ile = static_cast<std::size_t>(koniec - q);
                std::memcpy(p, q, ile);
                w.koniec(p + ile);
            }
        }
    }
    w.oproznij();
}

QByteArray RejestrSprzedazy::csv() const {
    QByteArray wynik;
    std::size_t rozmiar = 4096;
    for (const Czesc& c : czesci_) rozmiar += c.teksty.size() + 3 * grupy_.size() * c.wiersze.size();
    wynik.reserve(static_cast<qsizetype>(rozmiar));
    pisz([&](const char* bajty, std::size_t ile) { wynik.append(bajty, static_cast<qsizetype>(ile)); });
    return wynik;
}
