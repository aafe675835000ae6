#include "zawodny_system_plikow.h"

#include <QDir>
#include <algorithm>

#include "store/blad.h"
#include "store/sciezki.h"

ZawodnySystemPlikow::ZawodnySystemPlikow(SystemPlikow& wewnetrzny) : wewnetrzny_(wewnetrzny) {}

ZawodnySystemPlikow::~ZawodnySystemPlikow() {
    for (const auto& [numer, u] : uchwyty_) {
        try {
            wewnetrzny_.zamknij(numer);
        } catch (const BladPliku&) {
        }
    }
}

void ZawodnySystemPlikow::zawiedzOd(int k, bool naZawsze, int kod) {
    bladOd_ = liczbaOperacji_ + k;
    bladNaZawsze_ = naZawsze;
    kodBledu_ = kod;
}

void ZawodnySystemPlikow::ustawWolneMiejsce(std::optional<std::uint64_t> wolneBajty) {
    wolneBajty_ = wolneBajty;
}

void ZawodnySystemPlikow::napraw() {
    bladOd_ = 0;
    wolneBajty_.reset();
}

void ZawodnySystemPlikow::operacja(const QString& nazwa, const QString& sciezka) {
    const int numer = ++liczbaOperacji_;
    if (bladOd_ == 0 || numer < bladOd_ || (numer > bladOd_ && !bladNaZawsze_)) return;
    throw BladPliku(nazwa, sciezka, kodBledu_);
}

const ZawodnySystemPlikow::Uchwyt& ZawodnySystemPlikow::uchwyt(int numer) const {
    const auto it = uchwyty_.find(numer);
    if (it == uchwyty_.end()) throw BladPliku(QStringLiteral("dostęp"), QStringLiteral("(uchwyt)"), EBADF);
    return it->second;
}

QString ZawodnySystemPlikow::Klucz(const QString& sciezka) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(sciezka));
}

QByteArray ZawodnySystemPlikow::zawartosc(int uchwytWewnetrzny) {
    QByteArray dane(static_cast<qsizetype>(wewnetrzny_.rozmiar(uchwytWewnetrzny)), Qt::Uninitialized);
    dane.resize(static_cast<qsizetype>(
        wewnetrzny_.czytaj(uchwytWewnetrzny, 0, dane.data(), static_cast<std::size_t>(dane.size()))));
    return dane;
}

void ZawodnySystemPlikow::sledz(const QString& klucz) {
    if (wpisyBiezace_.count(klucz)) return;
    Wpis wpis;
    if (wewnetrzny_.istnieje(klucz)) {
        const int u = wewnetrzny_.otworz(klucz, TrybOtwarcia::Odczyt);
        const int plik = nastepnyPlik_++;
        daneTrwale_[plik] = zawartosc(u);
        wewnetrzny_.zamknij(u);
        wpis = plik;
    }
    wpisyBiezace_[klucz] = wpis;
    wpisyTrwale_[klucz] = wpis;
}

bool ZawodnySystemPlikow::istnieje(const QString& sciezka) { return wewnetrzny_.istnieje(sciezka); }

std::vector<QString> ZawodnySystemPlikow::zawartoscKatalogu(const QString& katalog) {
    return wewnetrzny_.zawartoscKatalogu(katalog);
}

int ZawodnySystemPlikow::otworz(const QString& sciezka, TrybOtwarcia tryb) {
    const bool tworzy = tryb == TrybOtwarcia::Utworz || tryb == TrybOtwarcia::UtworzNowy;
    operacja(tworzy ? QStringLiteral("utworzenie") : QStringLiteral("otwarcie"), sciezka);
    const QString klucz = Klucz(sciezka);
    sledz(klucz);
    const int numer = wewnetrzny_.otworz(sciezka, tryb);
    Wpis& wpis = wpisyBiezace_[klucz];
    if (!wpis) {
        wpis = nastepnyPlik_++;
        daneTrwale_[*wpis] = QByteArray();  // a new file whose data was never synced is empty
    }
    uchwyty_[numer] = Uchwyt{sciezka, *wpis};
    return numer;
}

std::size_t ZawodnySystemPlikow::czytaj(int numer, std::uint64_t pozycja, void* bufor, std::size_t ile) {
    operacja(QStringLiteral("odczyt"), uchwyt(numer).sciezka);
    return wewnetrzny_.czytaj(numer, pozycja, bufor, ile);
}

void ZawodnySystemPlikow::zapisz(int numer, std::uint64_t pozycja, const void* dane, std::size_t ile) {
    const QString& sciezka = uchwyt(numer).sciezka;
    try {
        operacja(QStringLiteral("zapis"), sciezka);
    } catch (const BladPliku&) {
        wewnetrzny_.zapisz(numer, pozycja, dane, ile / 2);
        throw;
    }
    if (wolneBajty_) {
        const std::uint64_t dotad = wewnetrzny_.rozmiar(numer);
        const std::uint64_t przyrost = pozycja + ile > dotad ? pozycja + ile - dotad : 0;
        if (przyrost > *wolneBajty_) {
            const std::uint64_t miesci = dotad + *wolneBajty_ > pozycja ? dotad + *wolneBajty_ - pozycja : 0;
            wewnetrzny_.zapisz(numer, pozycja, dane, static_cast<std::size_t>(miesci));
            wolneBajty_ = pozycja + miesci > dotad ? *wolneBajty_ - (pozycja + miesci - dotad) : *wolneBajty_;
            throw BladPliku(QStringLiteral("zapis"), sciezka, ENOSPC);
        }
        *wolneBajty_ -= przyrost;
    }
    wewnetrzny_.zapisz(numer, pozycja, dane, ile);
}

std::uint64_t ZawodnySystemPlikow::rozmiar(int numer) {
    operacja(QStringLiteral("odczyt rozmiaru"), uchwyt(numer).sciezka);
    return wewnetrzny_.rozmiar(numer);
}

void ZawodnySystemPlikow::obetnij(int numer, std::uint64_t rozmiar) {
    operacja(QStringLiteral("obcięcie"), uchwyt(numer).sciezka);
    wewnetrzny_.obetnij(numer, rozmiar);
}

void ZawodnySystemPlikow::synchronizuj(int numer) {
    const Uchwyt& u = uchwyt(numer);
    operacja(QStringLiteral("synchronizacja"), u.sciezka);
    wewnetrzny_.synchronizuj(numer);
    daneTrwale_[u.plik] = zawartosc(numer);
}

void ZawodnySystemPlikow::zamknij(int numer) {
    const QString sciezka = uchwyt(numer).sciezka;
    uchwyty_.erase(numer);
    try {
        operacja(QStringLiteral("zamknięcie"), sciezka);
    } catch (const BladPliku&) {
        wewnetrzny_.zamknij(numer);
        throw;
    }
    wewnetrzny_.zamknij(numer);
}

void ZawodnySystemPlikow::zmienNazwe(const QString& z, const QString& na) {
    operacja(QStringLiteral("zmiana nazwy"), z);
    const QString kluczZ = Klucz(z), kluczNa = Klucz(na);
    sledz(kluczZ);
    sledz(kluczNa);
    wewnetrzny_.zmienNazwe(z, na);
    wpisyBiezace_[kluczNa] = wpisyBiezace_[kluczZ];
    wpisyBiezace_[kluczZ].reset();
}

void ZawodnySystemPlikow::usun(const QString& sciezka) {
    operacja(QStringLiteral("usunięcie"), sciezka);
    const QString klucz = Klucz(sciezka);
    sledz(klucz);
    wewnetrzny_.usun(sciezka);
    wpisyBiezace_[klucz].reset();
}

void ZawodnySystemPlikow::synchronizujKatalog(const QString& katalog) {
    operacja(QStringLiteral("synchronizacja"), katalog);
    wewnetrzny_.synchronizujKatalog(katalog);
    const QString klucz = Klucz(katalog);
    for (const auto& [sciezka, wpis] : wpisyBiezace_)
        if (KatalogNadrzedny(sciezka) == klucz) wpisyTrwale_[sciezka] = wpis;
}

void ZawodnySystemPlikow::utworzKatalog(const QString& katalog) {
    operacja(QStringLiteral("utworzenie katalogu"), katalog);
    wewnetrzny_.utworzKatalog(katalog);
}

QString ZawodnySystemPlikow::katalogRoboczy() {
    operacja(QStringLiteral("odczyt katalogu roboczego"), QStringLiteral("."));
    return wewnetrzny_.katalogRoboczy();
}

void ZawodnySystemPlikow::ustawKatalogRoboczy(const QString& katalog) {
    operacja(QStringLiteral("zmiana katalogu roboczego"), katalog);
    wewnetrzny_.ustawKatalogRoboczy(katalog);
}

void ZawodnySystemPlikow::symulujAwarie() {
    for (const auto& [numer, u] : uchwyty_) {
        try {
            wewnetrzny_.zamknij(numer);
        } catch (const BladPliku&) {
        }
    }
    uchwyty_.clear();
    for (const auto& [sciezka, wpis] : wpisyTrwale_) {
        if (wpis) {
            const QByteArray& dane = daneTrwale_[*wpis];
            const int u = wewnetrzny_.otworz(sciezka, TrybOtwarcia::Utworz);
            wewnetrzny_.zapisz(u, 0, dane.constData(), static_cast<std::size_t>(dane.size()));
            wewnetrzny_.zamknij(u);
        } else if (wewnetrzny_.istnieje(sciezka)) {
            wewnetrzny_.usun(sciezka);
        }
    }
    // After the crash what is on disk is all there is.
    wpisyBiezace_.clear();
    wpisyTrwale_.clear();
    daneTrwale_.clear();
}
