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
        if (klasa == ZnakiBiale) {
            przerwa = true;
            continue;
        }
        if (klasa == Pominiety) continue;
        if (przerwa && k > poczatek) *k++ = ' ';
        przerwa = false;
        if (klasa == Gorny) {
            std::memcpy(k, utf8[b].bajty, 4);
            k += utf8[b].dlugosc;
        } else {
            cytat = cytat || klasa == Cytat;
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
    for (const ZnanaStawka& z : znane_)
        if (z.dlugosc == dlugosc && std::memcmp(z.bajty, stawka.znaki, dlugosc) == 0) return z.grupa;
    std::string surowa(stawka.znaki, dlugosc);
    if (const auto it = grupyStawek_.find(surowa); it != grupyStawek_.end()) return it->second;
    const QString nazwa = ZnormalizowanaStawka(stawka.tekst());
    const auto [poNazwie, nowa] =
        grupyPoNazwie_.try_emplace(nazwa.toStdString(), static_cast<int>(grupy_.size()));
    if (nowa) grupy_.push_back(nazwa);
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
        for (GrupaWiersza& g : c.grupy) g.grupa = grupa[static_cast<std::size_t>(g.grupa)];
        czesci_.push_back(std::move(c));
    }
    dalsze.czesci_.assign(1, Czesc{});
}

std::size_t RejestrSprzedazy::liczbaWierszy() const {
    std::size_t wierszy = 0;
    for (const Czesc& c : czesci_) wierszy += c.wiersze.size();
    return wierszy;
}

void RejestrSprzedazy::rezerwuj(std::size_t dokumentow) {
    Czesc& c = czesci_.back();
    c.teksty.reserve(c.teksty.size() + dokumentow * 128);
    c.grupy.reserve(c.grupy.size() + dokumentow * 3);
    c.wiersze.reserve(c.wiersze.size() + dokumentow);
}

// The groups' amounts are written as the document is added, in the threads that read the file.
void RejestrSprzedazy::dopiszKwoty(Czesc& c, const SumyStawek& sumy) {
    const std::size_t wiersz = c.wiersze.back().od;
    char kwoty[(3 * std::tuple_size_v<decltype(sumy.grupy)> + 1) * (NajdluzszaKwotaPliku + 1) + 2];
    char* p = kwoty;
    for (std::size_t g = 0; g < sumy.liczbaGrup; ++g) {
        const KwotyGrupy& k = sumy.grupy[g];
        char* const od = p;
        *p++ = ';';
        p = PiszKwotePliku(p, static_cast<double>(k.netto), separator_);
        *p++ = ';';
        p = PiszKwotePliku(p, static_cast<double>(k.podatek), separator_);
        *p++ = ';';
        p = PiszKwotePliku(p, static_cast<double>(k.brutto), separator_);
        c.grupy.push_back({k.grupa, static_cast<std::uint16_t>(c.teksty.size() - wiersz + (od - kwoty)),
                           static_cast<std::uint16_t>(p - od)});
    }
    *p++ = ';';
    p = PiszKwotePliku(p, sumy.kwoty.doZaplaty, separator_);
    *p++ = '\r';
    *p++ = '\n';
    c.teksty.append(kwoty, static_cast<std::size_t>(p - kwoty));
}

std::optional<QString> RejestrSprzedazy::dodaj(const TDokument& d) {
    const RodzajDokumentu rodzaj = Rodzaj(d);
    if (rodzaj == RodzajDokumentu::Inny)
        return QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
            .arg(CzystyTekst(d.rodzaj.tekst()));

    // The rows after one that cannot be read make no columns: the document is refused.
    bool nieczytelny = false;
    const SumyStawek sumy = SumujStawki(d, [&](const WierszPodsumowania& w) {
        nieczytelny = nieczytelny || !w.czytelny;
        return nieczytelny ? -1 : grupa(w.stawka);
    });
    if (!sumy.czytelne || std::isnan(sumy.kwoty.doZaplaty))
        return QStringLiteral("kwota w podsumowaniu VAT jest „poza zakresem”");

    Czesc& c = czesci_.back();
    const std::size_t od = c.teksty.size();
    // The number and its suffix are one cell, as printed.
    char numer[NajdluzszyNumer];
    DopiszTekst(c.teksty, numer, BajtyNumeru(d, numer));
    c.teksty += rodzaj == RodzajDokumentu::Korekta ? ";korekta;" : ";faktura;";
    DopiszTekst(c.teksty, d.data_wystawienia);
    c.teksty.push_back(';');
    DopiszTekst(c.teksty, d.data_uslugi);
    c.teksty.push_back(';');
    DopiszTekst(c.teksty, d.odbiorca1);
    c.teksty.push_back(';');
    DopiszTekst(c.teksty, d.nip_odbiorcy);
    c.wiersze.push_back({od, static_cast<std::uint32_t>(c.grupy.size()),
                         static_cast<std::uint16_t>(c.teksty.size() - od),
                         static_cast<std::uint8_t>(sumy.liczbaGrup)});
    dopiszKwoty(c, sumy);
    return std::nullopt;
}

// Row w of part c with a column for every group of the file: its own groups' cells where they
// fall, three empty cells for each other group.
char* RejestrSprzedazy::piszWiersz(char* p, const Czesc& c, std::size_t w,
                                   const std::vector<int>& kolumna) const {
    const Wiersz& wiersz = c.wiersze[w];
    const char* const bajty = c.teksty.data() + wiersz.od;
    const std::size_t koniec = w + 1 < c.wiersze.size() ? c.wiersze[w + 1].od : c.teksty.size();
    std::memcpy(p, bajty, wiersz.komorkiTekstu);
    p += wiersz.komorkiTekstu;
    for (std::size_t k = 0; k < kolumna.size(); ++k) {
        const GrupaWiersza* g = nullptr;
        for (std::uint32_t i = wiersz.grupyOd; i < wiersz.grupyOd + wiersz.liczbaGrup; ++i)
            if (kolumna[static_cast<std::size_t>(c.grupy[i].grupa)] == static_cast<int>(k)) g = &c.grupy[i];
        if (!g) {
            std::memcpy(p, ";;;", 3);
            p += 3;
            continue;
        }
        std::memcpy(p, bajty + g->od, g->dlugosc);
        p += g->dlugosc;
    }
    // The total follows the row's last group.
    const GrupaWiersza* const ostatnia =
        wiersz.liczbaGrup ? &c.grupy[wiersz.grupyOd + wiersz.liczbaGrup - 1u] : nullptr;
    const std::size_t razem = ostatnia ? ostatnia->od + ostatnia->dlugosc : wiersz.komorkiTekstu;
    std::memcpy(p, bajty + razem, koniec - wiersz.od - razem);
    return p + (koniec - wiersz.od - razem);
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

    // Every row's own bytes and three empty cells for each group it lacks, written through a
    // pointer into room made at once.
    std::size_t rozmiar = static_cast<std::size_t>(naglowek.size());
    for (const Czesc& c : czesci_) {
        rozmiar += c.teksty.size() + 3 * grupy_.size() * c.wiersze.size();
        rozmiar -= 3 * c.grupy.size();
    }
    QByteArray wynik;
    wynik.resize(static_cast<qsizetype>(rozmiar));
    char* p = wynik.data();
    std::memcpy(p, naglowek.constData(), static_cast<std::size_t>(naglowek.size()));
    p += naglowek.size();
    for (const Czesc& c : czesci_)
        for (std::size_t w = 0; w < c.wiersze.size(); ++w) p = piszWiersz(p, c, w, kolumna);
    wynik.truncate(p - wynik.constData());
    return wynik;
}
