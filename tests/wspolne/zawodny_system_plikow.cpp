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

void ZawodnySystemPlikow::zawiedz(Operacja rodzaj, const QString& nazwa, int k, bool naZawsze, int kod) {
    bladNazwany_ = BladNazwany{rodzaj, nazwa, k - 1, naZawsze, kod};
}

void ZawodnySystemPlikow::napraw() {
    odmawiajBlokad_ = false;
    bladOd_ = 0;
    bladNazwany_.reset();
    wolneBajty_.reset();
}

namespace {

QString NazwaOperacji(ZawodnySystemPlikow::Operacja rodzaj) {
    using O = ZawodnySystemPlikow::Operacja;
    switch (rodzaj) {
        case O::Otwarcie:
        case O::OtwarcieDoZapisu:
            return QStringLiteral("otwarcie");
        case O::Utworzenie:
            return QStringLiteral("utworzenie");
        case O::Odczyt:
            return QStringLiteral("odczyt");
        case O::Zapis:
            return QStringLiteral("zapis");
        case O::Rozmiar:
            return QStringLiteral("odczyt rozmiaru");
        case O::Obciecie:
            return QStringLiteral("obcięcie");
        case O::Synchronizacja:
            return QStringLiteral("synchronizacja");
        case O::Zamkniecie:
            return QStringLiteral("zamknięcie");
        case O::ZmianaNazwy:
            return QStringLiteral("zmiana nazwy");
        case O::Usuniecie:
            return QStringLiteral("usunięcie");
        case O::SynchronizacjaKatalogu:
            return QStringLiteral("synchronizacja");
        case O::UtworzenieKatalogu:
            return QStringLiteral("utworzenie katalogu");
        case O::OdczytKataloguRoboczego:
            return QStringLiteral("odczyt katalogu roboczego");
        case O::ZmianaKataloguRoboczego:
            return QStringLiteral("zmiana katalogu roboczego");
        case O::Kopiowanie:
            return QStringLiteral("kopiowanie");
        case O::Blokada:
            return QStringLiteral("blokada");
    }
    return {};
}

QString OstatniSkladnik(const QString& sciezka) {
    QString s = sciezka;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (s.size() > 1 && s.endsWith(QLatin1Char('/'))) s.chop(1);
    return s.mid(s.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace

void ZawodnySystemPlikow::operacja(Operacja rodzaj, const QString& sciezka, const QString& drugaSciezka) {
    const int numer = ++liczbaOperacji_;
    if (bladOd_ != 0 && numer >= bladOd_ && (numer == bladOd_ || bladNaZawsze_)) {
        ++liczbaBledow_;
        throw BladPliku(NazwaOperacji(rodzaj), sciezka, kodBledu_);
    }
    if (bladNazwany_ && bladNazwany_->rodzaj == rodzaj &&
        (OstatniSkladnik(sciezka) == bladNazwany_->nazwa ||
         (!drugaSciezka.isEmpty() && OstatniSkladnik(drugaSciezka) == bladNazwany_->nazwa))) {
        BladNazwany& b = *bladNazwany_;
        if (b.pozostalo > 0) {
            --b.pozostalo;
            return;
        }
        const int kod = b.kod;
        if (!b.naZawsze) bladNazwany_.reset();
        ++liczbaBledow_;
        throw BladPliku(NazwaOperacji(rodzaj), sciezka, kod);
    }
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

OpisPliku ZawodnySystemPlikow::opisz(const QString& sciezka) { return wewnetrzny_.opisz(sciezka); }

std::vector<QString> ZawodnySystemPlikow::zawartoscKatalogu(const QString& katalog) {
    return wewnetrzny_.zawartoscKatalogu(katalog);
}

int ZawodnySystemPlikow::otworz(const QString& sciezka, TrybOtwarcia tryb) {
    const bool tworzy = tryb == TrybOtwarcia::Utworz || tryb == TrybOtwarcia::UtworzNowy;
    operacja(tworzy                              ? Operacja::Utworzenie
             : tryb == TrybOtwarcia::OdczytZapis ? Operacja::OtwarcieDoZapisu
                                                 : Operacja::Otwarcie,
             sciezka);
    const QString klucz = Klucz(sciezka);
    sledz(klucz);
    const int numer = wewnetrzny_.otworz(sciezka, tryb);
    Wpis& wpis = wpisyBiezace_[klucz];
    if (!wpis) {
        wpis = nastepnyPlik_++;
        daneTrwale_[*wpis] = QByteArray();  // a new file whose data was never synced is empty
    } else if (tryb == TrybOtwarcia::Utworz) {
        // Emptied: whatever was synced of it may come back after a crash, as with a lost truncation.
        niezsynchronizowane_[*wpis].push_back({0, static_cast<std::uint64_t>(daneTrwale_[*wpis].size())});
    }
    uchwyty_[numer] = Uchwyt{sciezka, *wpis};
    return numer;
}

std::size_t ZawodnySystemPlikow::czytaj(int numer, std::uint64_t pozycja, void* bufor, std::size_t ile) {
    operacja(Operacja::Odczyt, uchwyt(numer).sciezka);
    return wewnetrzny_.czytaj(numer, pozycja, bufor, ile);
}

void ZawodnySystemPlikow::zapisz(int numer, std::uint64_t pozycja, const void* dane, std::size_t ile) {
    auto& zapisane = niezsynchronizowane_[uchwyt(numer).plik];
    try {
        operacja(Operacja::Zapis, uchwyt(numer).sciezka);
    } catch (const BladPliku&) {
        wewnetrzny_.zapisz(numer, pozycja, dane, ile / 2);
        zapisane.push_back({pozycja, pozycja + ile / 2});
        throw;
    }
    zapiszWMiejscu(numer, pozycja, dane, ile);
}

void ZawodnySystemPlikow::zapiszWMiejscu(int numer, std::uint64_t pozycja, const void* dane,
                                         std::size_t ile) {
    niezsynchronizowane_[uchwyt(numer).plik].push_back({pozycja, pozycja + ile});
    if (wolneBajty_) {
        const std::uint64_t dotad = wewnetrzny_.rozmiar(numer);
        const std::uint64_t przyrost = pozycja + ile > dotad ? pozycja + ile - dotad : 0;
        if (przyrost > *wolneBajty_) {
            const std::uint64_t miesci = dotad + *wolneBajty_ > pozycja ? dotad + *wolneBajty_ - pozycja : 0;
            wewnetrzny_.zapisz(numer, pozycja, dane, static_cast<std::size_t>(miesci));
            wolneBajty_ = pozycja + miesci > dotad ? *wolneBajty_ - (pozycja + miesci - dotad) : *wolneBajty_;
            ++liczbaBledow_;
            throw BladPliku(QStringLiteral("zapis"), uchwyt(numer).sciezka, ENOSPC);
        }
        *wolneBajty_ -= przyrost;
    }
    wewnetrzny_.zapisz(numer, pozycja, dane, ile);
}

std::uint64_t ZawodnySystemPlikow::rozmiar(int numer) {
    operacja(Operacja::Rozmiar, uchwyt(numer).sciezka);
    return wewnetrzny_.rozmiar(numer);
}

void ZawodnySystemPlikow::obetnij(int numer, std::uint64_t rozmiar) {
    operacja(Operacja::Obciecie, uchwyt(numer).sciezka);
    wewnetrzny_.obetnij(numer, rozmiar);
}

void ZawodnySystemPlikow::synchronizuj(int numer) {
    const Uchwyt& u = uchwyt(numer);
    operacja(Operacja::Synchronizacja, u.sciezka);
    wewnetrzny_.synchronizuj(numer);
    daneTrwale_[u.plik] = zawartosc(numer);
    niezsynchronizowane_.erase(u.plik);
}

void ZawodnySystemPlikow::kopiuj(int zrodlo, std::uint64_t od, int cel, std::uint64_t doPozycji,
                                 std::uint64_t ile) {
    const Uchwyt& u = uchwyt(cel);
    uchwyt(zrodlo);
    auto& zapisane = niezsynchronizowane_[u.plik];
    try {
        operacja(Operacja::Kopiowanie, u.sciezka);
    } catch (const BladPliku&) {
        wewnetrzny_.kopiuj(zrodlo, od, cel, doPozycji, ile / 2);
        zapisane.push_back({doPozycji, doPozycji + ile / 2});
        throw;
    }
    if (wolneBajty_) {
        // Through a buffer, so that a full disk stops the copy where a write would stop.
        std::vector<char> bufor(static_cast<std::size_t>(std::min<std::uint64_t>(ile, 1 << 20)));
        while (ile > 0) {
            const std::size_t porcja = static_cast<std::size_t>(std::min<std::uint64_t>(ile, bufor.size()));
            if (wewnetrzny_.czytaj(zrodlo, od, bufor.data(), porcja) < porcja)
                throw BladPliku(QStringLiteral("odczyt"), uchwyt(zrodlo).sciezka, 0,
                                QStringLiteral("plik skrócił się w czasie kopiowania"));
            zapiszWMiejscu(cel, doPozycji, bufor.data(), porcja);
            od += porcja;
            doPozycji += porcja;
            ile -= porcja;
        }
        return;
    }
    wewnetrzny_.kopiuj(zrodlo, od, cel, doPozycji, ile);
    zapisane.push_back({doPozycji, doPozycji + ile});
}

OpisPliku ZawodnySystemPlikow::opiszUchwyt(int numer) {
    uchwyt(numer);
    return wewnetrzny_.opiszUchwyt(numer);
}

bool ZawodnySystemPlikow::zablokuj(int numer) {
    operacja(Operacja::Blokada, uchwyt(numer).sciezka);
    if (odmawiajBlokad_) return false;
    return wewnetrzny_.zablokuj(numer);
}

void ZawodnySystemPlikow::zamknij(int numer) {
    const QString sciezka = uchwyt(numer).sciezka;
    uchwyty_.erase(numer);
    try {
        operacja(Operacja::Zamkniecie, sciezka);
    } catch (const BladPliku&) {
        wewnetrzny_.zamknij(numer);
        throw;
    }
    wewnetrzny_.zamknij(numer);
}

void ZawodnySystemPlikow::zmienNazwe(const QString& z, const QString& na) {
    operacja(Operacja::ZmianaNazwy, z, na);
    const QString kluczZ = Klucz(z), kluczNa = Klucz(na);
    sledz(kluczZ);
    sledz(kluczNa);
    wewnetrzny_.zmienNazwe(z, na);
    wpisyBiezace_[kluczNa] = wpisyBiezace_[kluczZ];
    wpisyBiezace_[kluczZ].reset();
}

void ZawodnySystemPlikow::usun(const QString& sciezka) {
    operacja(Operacja::Usuniecie, sciezka);
    const QString klucz = Klucz(sciezka);
    sledz(klucz);
    wewnetrzny_.usun(sciezka);
    wpisyBiezace_[klucz].reset();
}

void ZawodnySystemPlikow::synchronizujKatalog(const QString& katalog) {
    operacja(Operacja::SynchronizacjaKatalogu, katalog);
    wewnetrzny_.synchronizujKatalog(katalog);
    const QString klucz = Klucz(katalog);
    for (const auto& [sciezka, wpis] : wpisyBiezace_)
        if (KatalogNadrzedny(sciezka) == klucz) wpisyTrwale_[sciezka] = wpis;
}

void ZawodnySystemPlikow::utworzKatalog(const QString& katalog) {
    operacja(Operacja::UtworzenieKatalogu, katalog);
    wewnetrzny_.utworzKatalog(katalog);
}

QString ZawodnySystemPlikow::katalogRoboczy() {
    operacja(Operacja::OdczytKataloguRoboczego, QStringLiteral("."));
    return wewnetrzny_.katalogRoboczy();
}

void ZawodnySystemPlikow::ustawKatalogRoboczy(const QString& katalog) {
    operacja(Operacja::ZmianaKataloguRoboczego, katalog);
    wewnetrzny_.ustawKatalogRoboczy(katalog);
}

void ZawodnySystemPlikow::symulujAwarie(Awaria rodzaj) {
    // What each file's data looks like after the crash.
    std::map<int, QByteArray> poAwarii = daneTrwale_;
    if (rodzaj == Awaria::Smieci) {
        for (const auto& [plik, zakresy] : niezsynchronizowane_) {
            QByteArray& dane = poAwarii[plik];
            for (const auto& [od, do_] : zakresy) {
                if (static_cast<std::uint64_t>(dane.size()) < do_)
                    dane.resize(static_cast<qsizetype>(do_), '\0');
                for (std::uint64_t i = od; i < do_; ++i)
                    dane[static_cast<qsizetype>(i)] = static_cast<char>(0xA5 ^ (i * 131));
            }
        }
    }
    for (const auto& [numer, u] : uchwyty_) {
        try {
            wewnetrzny_.zamknij(numer);
        } catch (const BladPliku&) {
        }
    }
    uchwyty_.clear();
    for (const auto& [sciezka, wpis] : wpisyTrwale_) {
        if (wpis) {
            const QByteArray& dane = poAwarii[*wpis];
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
    niezsynchronizowane_.clear();
}
