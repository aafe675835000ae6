#include "store/plik_rekordow.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>

#include "store/blad.h"
#include "store/sciezki.h"

PlikRekordow::PlikRekordow(SystemPlikow& system, const QString& sciezka, std::size_t rozmiarRekordu)
    : system_(system), sciezka_(RzeczywistaSciezka(system, sciezka)), rozmiarRekordu_(rozmiarRekordu) {
    if (rozmiarRekordu == 0) throw std::invalid_argument("PlikRekordow: zerowy rozmiar rekordu");
}

// The open file closes itself without a word; whoever cares calls zamknij() first.
PlikRekordow::~PlikRekordow() = default;

void PlikRekordow::otworzW(TrybOtwarcia tryb) {
    if (otwarty()) zamknij();
    plik_.emplace(system_, sciezka_, tryb);
    pozycja_ = 0;
}

void PlikRekordow::otworz() {
    try {
        otworzW(TrybOtwarcia::OdczytZapis);
    } catch (const BladPliku& blad) {
        const int kod = blad.kod();
        if (kod != EACCES && kod != EPERM && kod != EROFS) throw;
        otworzW(TrybOtwarcia::Odczyt);
    }
}

void PlikRekordow::otworzDoOdczytu() { otworzW(TrybOtwarcia::Odczyt); }

void PlikRekordow::utworz() { otworzW(TrybOtwarcia::Utworz); }

void PlikRekordow::wymagajOtwarcia(const QString& operacja) const {
    if (!otwarty()) throw BladPliku(operacja, sciezka_, 0, QStringLiteral("plik nie jest otwarty"));
}

void PlikRekordow::sprawdzRozmiar(std::size_t rozmiarTypu) const {
    if (rozmiarTypu != rozmiarRekordu_)
        throw std::invalid_argument("PlikRekordow: typ rekordu nie ma rozmiaru rekordu pliku");
}

std::uint64_t PlikRekordow::przesuniecie() const {
    return static_cast<std::uint64_t>(pozycja_) * rozmiarRekordu_;
}

std::int64_t PlikRekordow::liczbaRekordow() {
    wymagajOtwarcia(QStringLiteral("odczyt rozmiaru"));
    return static_cast<std::int64_t>(plik_->rozmiar() / rozmiarRekordu_);
}

void PlikRekordow::szukaj(std::int64_t numer) {
    const QString operacja = QStringLiteral("pozycjonowanie");
    wymagajOtwarcia(operacja);
    // Past the end a write would leave a hole of zero bytes, and a read cannot succeed.
    if (numer < 0 || numer > liczbaRekordow())
        throw BladPliku(operacja, sciezka_, 0, QStringLiteral("nie ma rekordu nr %1").arg(numer + 1));
    pozycja_ = numer;
}

void PlikRekordow::czytaj(void* rekord) {
    const QString operacja = QStringLiteral("odczyt");
    wymagajOtwarcia(operacja);
    const std::size_t przeczytano = plik_->czytaj(przesuniecie(), rekord, rozmiarRekordu_);
    if (przeczytano < rozmiarRekordu_) {
        const QString opis = pozycja_ == 0 ? QStringLiteral("plik jest krótszy niż jeden rekord")
                                           : QStringLiteral("nie ma całego rekordu nr %1").arg(pozycja_ + 1);
        throw BladPliku(operacja, sciezka_, 0, opis);
    }
    ++pozycja_;
}

void PlikRekordow::zapisz(const void* rekord) {
    wymagajOtwarcia(QStringLiteral("zapis"));
    const std::uint64_t od = przesuniecie();
    const std::uint64_t dawnyRozmiar = plik_->rozmiar();

    // What the write may overwrite, to put it back when the write fails half-way.
    QByteArray dawneBajty;
    if (od < dawnyRozmiar) {
        dawneBajty.resize(
            static_cast<qsizetype>(std::min<std::uint64_t>(rozmiarRekordu_, dawnyRozmiar - od)));
        dawneBajty.resize(static_cast<qsizetype>(
            plik_->czytaj(od, dawneBajty.data(), static_cast<std::size_t>(dawneBajty.size()))));
    }

    try {
        plik_->zapisz(od, rekord, rozmiarRekordu_);
    } catch (const BladPliku&) {
        // Best effort: the original error is the one to report.
        try {
            if (!dawneBajty.isEmpty())
                plik_->zapisz(od, dawneBajty.constData(), static_cast<std::size_t>(dawneBajty.size()));
        } catch (const BladPliku&) {
        }
        try {
            if (od + rozmiarRekordu_ > dawnyRozmiar) plik_->obetnij(dawnyRozmiar);
        } catch (const BladPliku&) {
        }
        throw;
    }
    ++pozycja_;
}

void PlikRekordow::synchronizuj() {
    wymagajOtwarcia(QStringLiteral("synchronizacja"));
    plik_->synchronizuj();
}

void PlikRekordow::zamknij() {
    if (!otwarty()) return;
    OtwartyPlik plik = std::move(*plik_);
    plik_.reset();
    plik.zamknij();
}

bool PlikIstnieje(SystemPlikow& system, const QString& sciezka) {
    return system.istnieje(RzeczywistaSciezka(system, sciezka));
}

void UsunPlik(SystemPlikow& system, const QString& sciezka) {
    system.usun(RzeczywistaSciezka(system, sciezka));
}
