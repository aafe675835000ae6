#include "store/plik_dokumentow.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "store/blad.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

namespace {

constexpr std::uint64_t R = sizeof(TDokument);

#pragma pack(push, 1)
// The journal: one change in flight. Written whole and synced (with its folder) before the
// document file is touched, removed once the change is synced.
struct TDziennik {
    char znacznik[8];            // "FKTDZN01"
    std::uint8_t rodzaj;         // 1: a record replaced in place, 2: a record appended
    std::uint64_t przesuniecie;  // byte offset of the record in the document file
    std::uint64_t dlugoscPrzed;  // the document file's length before the change
    TDokument dawny;             // replaced: the record before; appended: zero bytes
    TDokument nowy;              // the record after
    std::uint32_t suma;          // CRC-32 of every byte before it
};
#pragma pack(pop)
static_assert(sizeof(TDziennik) == 8 + 1 + 8 + 8 + 2 * 3251 + 4);

constexpr char Znacznik[8] = {'F', 'K', 'T', 'D', 'Z', 'N', '0', '1'};
constexpr std::uint8_t Zastapienie = 1;
constexpr std::uint8_t Dopisanie = 2;

std::uint32_t Crc32(const void* dane, std::size_t ile) {
    static const std::array<std::uint32_t, 256> tablica = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    const auto* b = static_cast<const unsigned char*>(dane);
    for (std::size_t i = 0; i < ile; ++i) c = tablica[(c ^ b[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t SumaDziennika(const TDziennik& d) { return Crc32(&d, offsetof(TDziennik, suma)); }

bool Istnieje(SystemPlikow& system, const QString& sciezka) {
    return system.opisz(sciezka).rodzaj != OpisPliku::Rodzaj::Brak;
}

// A journal that is whole and sound; nothing when it was torn while being written (the document
// file was not touched then).
std::optional<TDziennik> CzytajDziennik(SystemPlikow& system, const QString& sciezka) {
    OtwartyPlik plik(system, sciezka, TrybOtwarcia::Odczyt);
    auto d = std::make_unique<TDziennik>();
    const std::size_t przeczytano = plik.czytaj(0, d.get(), sizeof(TDziennik));
    plik.zamknij();
    if (przeczytano != sizeof(TDziennik) || std::memcmp(d->znacznik, Znacznik, sizeof Znacznik) != 0 ||
        (d->rodzaj != Zastapienie && d->rodzaj != Dopisanie) || SumaDziennika(*d) != d->suma)
        return std::nullopt;
    return *d;
}

}  // namespace

QString SciezkaDziennika(const QString& dokumenty) { return dokumenty + QStringLiteral(".dziennik"); }

PlikDokumentow::PlikDokumentow(SystemPlikow& system, const QString& sciezka, std::chrono::milliseconds czas)
    : system_(system),
      blokada_(system, RzeczywistaSciezka(system, sciezka), czas),
      dziennik_(SciezkaDziennika(blokada_.sciezka())) {
    dokonczZDziennika();
    // A torn last record, which no operation can read: what an append cut short by something
    // other than this program's journal leaves. Under the lock no copy of this program is
    // appending, so it can go.
    OtwartyPlik& plik = blokada_.plik();
    const std::uint64_t dlugosc = plik.rozmiar();
    if (dlugosc % R != 0) {
        plik.obetnij(dlugosc - dlugosc % R);
        plik.synchronizuj();
    }
    const QString stara = KatalogNadrzedny(blokada_.sciezka()) + QStringLiteral("/dokumenty.old");
    const QString przebudowa = RzeczywistaSciezka(system_, stara);
    if (Istnieje(system_, przebudowa)) system_.usun(przebudowa);
}

void PlikDokumentow::dokonczZDziennika() {
    if (!Istnieje(system_, dziennik_)) return;
    const std::optional<TDziennik> d = CzytajDziennik(system_, dziennik_);
    if (d) {
        // A record that the change never reached stays as it was (the change was not reported
        // done); one that it reached, wholly or in part, is written again whole, so that it is
        // the new record and never a mix. A journal that points past the end belongs to a file
        // that something else cut meanwhile.
        OtwartyPlik& plik = blokada_.plik();
        const std::uint64_t dlugosc = plik.rozmiar();
        bool dokonczyc = false;
        if (d->rodzaj == Zastapienie && d->przesuniecie + R <= dlugosc) {
            TDokument teraz{};
            plik.czytaj(d->przesuniecie, &teraz, R);
            dokonczyc = std::memcmp(&teraz, &d->dawny, R) != 0 && std::memcmp(&teraz, &d->nowy, R) != 0;
        } else if (d->rodzaj == Dopisanie && d->przesuniecie % R == 0 && d->przesuniecie < dlugosc) {
            TDokument teraz{};
            dokonczyc = dlugosc < d->przesuniecie + R || plik.czytaj(d->przesuniecie, &teraz, R) < R ||
                        std::memcmp(&teraz, &d->nowy, R) != 0;
        }
        if (dokonczyc) {
            plik.zapisz(d->przesuniecie, &d->nowy, R);
            plik.synchronizuj();
        }
    }
    system_.usun(dziennik_);
}

std::int64_t PlikDokumentow::liczbaRekordow() {
    return static_cast<std::int64_t>(blokada_.plik().rozmiar() / R);
}

TDokument PlikDokumentow::czytaj(std::int64_t pozycja) {
    if (pozycja < 1 || pozycja > liczbaRekordow())
        throw BladPliku(QStringLiteral("odczyt"), sciezka(), 0,
                        QStringLiteral("nie ma rekordu nr %1").arg(pozycja));
    TDokument d{};
    if (blokada_.plik().czytaj(static_cast<std::uint64_t>(pozycja - 1) * R, &d, R) < R)
        throw BladPliku(QStringLiteral("odczyt"), sciezka(), 0,
                        QStringLiteral("nie ma całego rekordu nr %1").arg(pozycja));
    return d;
}

std::int64_t PlikDokumentow::znajdz(std::int64_t pozycja, const TDokument& oczekiwany) {
    const std::int64_t n = liczbaRekordow();
    if (pozycja >= 1 && pozycja <= n) {
        const TDokument zapisany = czytaj(pozycja);
        if (std::memcmp(&zapisany, &oczekiwany, R) == 0) return pozycja;
    }
    // Moved up by deletes of records before it: the whole file is searched for it, in blocks.
    std::int64_t znaleziony = 0;
    int ile = 0;
    constexpr std::int64_t WBloku = 128;
    std::vector<TDokument> blok(WBloku);
    for (std::int64_t od = 0; od < n && ile < 2; od += WBloku) {
        const std::int64_t w = std::min(WBloku, n - od);
        const std::size_t bajtow = static_cast<std::size_t>(w) * R;
        if (blokada_.plik().czytaj(static_cast<std::uint64_t>(od) * R, blok.data(), bajtow) < bajtow) break;
        for (std::int64_t i = 0; i < w; ++i)
            if (std::memcmp(&blok[static_cast<std::size_t>(i)], &oczekiwany, R) == 0) {
                znaleziony = od + i + 1;
                ++ile;
            }
    }
    if (ile == 1) return znaleziony;
    throw BladPliku::ZKomunikatem(
        QStringLiteral("sprawdzenie"), sciezka(), 0,
        QStringLiteral(
            "Pokazany dokument nie odpowiada już zapisanemu w pliku „%1”: od chwili jego wczytania "
            "został zmieniony lub usunięty na innym stanowisku (albo w innym programie). Nic nie "
            "zostało zapisane; wczytaj dokument ponownie z listy faktur.")
            .arg(sciezka()));
}

void PlikDokumentow::zapiszDziennik(std::uint8_t rodzaj, std::uint64_t przesuniecie, const TDokument& dawny,
                                    const TDokument& nowy) {
    auto d = std::make_unique<TDziennik>();
    std::memcpy(d->znacznik, Znacznik, sizeof Znacznik);
    d->rodzaj = rodzaj;
    d->przesuniecie = przesuniecie;
    d->dlugoscPrzed = blokada_.plik().rozmiar();
    d->dawny = dawny;
    d->nowy = nowy;
    d->suma = SumaDziennika(*d);
    try {
        OtwartyPlik plik(system_, dziennik_, TrybOtwarcia::Utworz);
        plik.zapisz(0, d.get(), sizeof(TDziennik));
        plik.synchronizuj();
        plik.zamknij();
        // The journal's name must survive a crash too, before the record is touched.
        system_.synchronizujKatalog(KatalogNadrzedny(dziennik_));
    } catch (const BladPliku&) {
        UsunPozostaly(system_, dziennik_);
        throw;
    }
    dziennikZapisany_ = true;
}

void PlikDokumentow::zapiszRekord(std::uint64_t przesuniecie, const TDokument& nowy) {
    zapisany_.emplace(przesuniecie, nowy);
    try {
        blokada_.plik().zapisz(przesuniecie, &nowy, R);
    } catch (const BladPliku&) {
        // The journal holds the record: a second try often gets through a passing fault, and what
        // still fails is written again by zakoncz() or the next change, never left half.
        try {
            blokada_.plik().zapisz(przesuniecie, &nowy, R);
        } catch (const BladPliku&) {
            zalegly_.emplace(przesuniecie, nowy);
        }
    }
}

std::int64_t PlikDokumentow::dopisz(const TDokument& nowy) {
    const std::int64_t n = liczbaRekordow();
    if (n >= INT32_MAX)
        throw BladPliku(QStringLiteral("zapis"), sciezka(), 0, QStringLiteral("plik dokumentów jest pełny"));
    const std::uint64_t koniec = static_cast<std::uint64_t>(n) * R;
    zapiszDziennik(Dopisanie, koniec, TDokument{}, nowy);
    zapiszRekord(koniec, nowy);
    return n + 1;
}

void PlikDokumentow::zastap(std::int64_t pozycja, const TDokument& nowy) {
    const TDokument dawny = czytaj(pozycja);
    const std::uint64_t przesuniecie = static_cast<std::uint64_t>(pozycja - 1) * R;
    zapiszDziennik(Zastapienie, przesuniecie, dawny, nowy);
    zapiszRekord(przesuniecie, nowy);
}

void PlikDokumentow::przebudujBez(std::int64_t pozycja, const QString& nowe) {
    OtwartyPlik& we = blokada_.plik();
    const std::uint64_t n = we.rozmiar() / R;
    if (pozycja < 1 || static_cast<std::uint64_t>(pozycja) > n)
        throw BladPliku(QStringLiteral("usunięcie"), sciezka(), 0,
                        QStringLiteral("nie ma rekordu nr %1").arg(pozycja));
    const QString cel = RzeczywistaSciezka(system_, nowe);
    OtwartyPlik wy(system_, cel, TrybOtwarcia::Utworz);
    try {
        const std::uint64_t pominiety = static_cast<std::uint64_t>(pozycja - 1) * R;
        if (pominiety > 0) system_.kopiuj(we.uchwyt(), 0, wy.uchwyt(), 0, pominiety);
        const std::uint64_t reszta = n * R - pominiety - R;
        if (reszta > 0) system_.kopiuj(we.uchwyt(), pominiety + R, wy.uchwyt(), pominiety, reszta);
        wy.synchronizuj();
        wy.zamknij();
        system_.zmienNazwe(cel, sciezka());
    } catch (...) {
        wy.porzuc();
        UsunPozostaly(system_, cel);
        throw;
    }
    przebudowany_ = true;
}

void PlikDokumentow::zakoncz() {
    if (zalegly_) {
        const auto [przesuniecie, nowy] = *zalegly_;
        try {
            blokada_.plik().zapisz(przesuniecie, &nowy, R);
        } catch (const BladPliku& blad) {
            blokada_.plik().porzuc();
            throw BladPliku::ZKomunikatem(
                blad.operacja(), sciezka(), blad.kod(),
                QStringLiteral(
                    "Zapis dokumentu w pliku „%1” nie powiódł się (%2). Jeśli część dokumentu trafiła "
                    "już do pliku, zostanie on uzupełniony w całości przy następnej operacji na "
                    "dokumentach (zapis jest w dzienniku „%3”), tak że plik nie będzie zawierał "
                    "pomieszanych danych.")
                    .arg(sciezka(), blad.komunikatSystemu(), dziennik_));
        }
        zalegly_.reset();
    }
    if (przebudowany_) {
        // The lock was on the file now replaced; releasing it lets a waiting copy lock the new one.
        blokada_.zamknij();
        system_.synchronizujKatalog(KatalogNadrzedny(sciezka()));
        return;
    }
    OtwartyPlik& plik = blokada_.plik();
    try {
        plik.synchronizuj();
    } catch (const BladPliku&) {
        // After a failed sync the system may count the unwritten data as written: the record is
        // written once more and synced again; what still fails keeps the journal.
        if (!zapisany_) throw;
        plik.zapisz(zapisany_->first, &zapisany_->second, R);
        plik.synchronizuj();
    }
    if (dziennikZapisany_) {
        // A journal left behind is harmless (the record it holds is in place), so a second failure
        // to remove it is not reported; the next change removes it.
        try {
            system_.usun(dziennik_);
        } catch (const BladPliku&) {
            UsunPozostaly(system_, dziennik_);
        }
    }
    blokada_.zamknij();
}

void DokonczPrzerwaneZmiany(SystemPlikow& system, const QString& sciezka) {
    const QString dokumenty = RzeczywistaSciezka(system, sciezka);
    const OpisPliku opis = system.opisz(dokumenty);
    if (opis.rodzaj != OpisPliku::Rodzaj::Plik) return;
    const QString stara =
        RzeczywistaSciezka(system, KatalogNadrzedny(dokumenty) + QStringLiteral("/dokumenty.old"));
    if (!Istnieje(system, SciezkaDziennika(dokumenty)) && !Istnieje(system, stara) && opis.rozmiar % R == 0)
        return;
    try {
        PlikDokumentow plik(system, dokumenty, std::chrono::milliseconds(0));
        plik.zakoncz();
    } catch (const BladPliku& blad) {
        if (blad.kod() == EAGAIN && blad.operacja() == QStringLiteral("blokada")) return;
        throw;
    }
}

void PrzebudujBezRekordu(SystemPlikow& system, const QString& dokumenty, const QString& nowe,
                         std::int64_t pozycja) {
    PlikDokumentow plik(system, dokumenty);
    plik.przebudujBez(pozycja, nowe);
    plik.zakoncz();
}

std::optional<QString> NumerOstatniegoDokumentu(SystemPlikow& system, const QString& sciezka,
                                                const std::function<bool(const TDokument&)>& rodzaj,
                                                const QString& rozszerzenie) {
    TTekst<20> szukane{};
    szukane.ustaw(rozszerzenie);
    OtwartyPlik plik(system, RzeczywistaSciezka(system, sciezka), TrybOtwarcia::Odczyt);
    constexpr std::uint64_t WBloku = 64;
    std::vector<TDokument> blok(WBloku);
    std::uint64_t koniec = plik.rozmiar() / R;
    while (koniec > 0) {
        const std::uint64_t poczatek = koniec > WBloku ? koniec - WBloku : 0;
        const std::size_t bajtow = static_cast<std::size_t>((koniec - poczatek) * R);
        if (plik.czytaj(poczatek * R, blok.data(), bajtow) < bajtow)
            throw BladPliku(QStringLiteral("odczyt"), plik.sciezka(), 0,
                            QStringLiteral("plik skrócił się w trakcie odczytu"));
        for (std::uint64_t i = koniec - poczatek; i-- > 0;) {
            const TDokument& d = blok[static_cast<std::size_t>(i)];
            if (!rodzaj(d)) continue;
            const std::size_t dl = d.rozszerzenie.dlugoscTekstu();
            if (dl != szukane.dlugoscTekstu() || std::memcmp(d.rozszerzenie.znaki, szukane.znaki, dl) != 0)
                continue;
            plik.zamknij();
            return d.numerator.tekst();
        }
        koniec = poczatek;
    }
    plik.zamknij();
    return std::nullopt;
}
