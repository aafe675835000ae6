#include "eksport/wybor.h"

#include <algorithm>
#include <cstring>

#include "eksport/pola.h"
#include "store/cp1250.h"

namespace {

// The stored bytes of a text, or nothing when a character of it has no Windows-1250 code.
std::optional<QByteArray> BajtyTekstu(const QString& tekst) {
    QByteArray bajty = DoCp1250(tekst);
    if (ZCp1250(bajty.constData(), bajty.size()) != tekst) return std::nullopt;
    return bajty;
}

template <std::size_t N>
bool ZaczynaSieOd(const TTekst<N>& tekst, const QByteArray& poczatek) {
    const std::size_t dlugosc = tekst.dlugoscTekstu();
    const auto ile = static_cast<std::size_t>(poczatek.size());
    return dlugosc >= ile && std::memcmp(tekst.znaki, poczatek.constData(), ile) == 0;
}

bool NumerRowny(const TDokument& d, const QByteArray& numer) {
    char bajty[NajdluzszyNumer];
    const std::size_t ile = BajtyNumeru(d, bajty);
    return static_cast<std::size_t>(numer.size()) == ile && std::memcmp(numer.constData(), bajty, ile) == 0;
}

}  // namespace

FiltrDokumentow::FiltrDokumentow(const KryteriaWyboru& kryteria)
    : pozycja_(kryteria.pozycja), pozycje_(kryteria.pozycje) {
    if (pozycje_) std::sort(pozycje_->begin(), pozycje_->end());
    // A month names its year as well; when both are given, both must hold.
    if (kryteria.rok && kryteria.miesiac && !kryteria.miesiac->startsWith(*kryteria.rok)) cokolwiek_ = false;
    const std::optional<QString>& data = kryteria.miesiac ? kryteria.miesiac : kryteria.rok;
    if (data) {
        poczatekDaty_ = BajtyTekstu(*data);
        if (!poczatekDaty_) cokolwiek_ = false;
    }
    if (kryteria.numer) {
        numer_ = BajtyTekstu(*kryteria.numer);
        if (!numer_) cokolwiek_ = false;
    }
}

bool FiltrDokumentow::pasuje(const TDokument& dokument, std::int64_t pozycja) const {
    if (!cokolwiek_) return false;
    if (pozycja_ && *pozycja_ != pozycja) return false;
    if (pozycje_ && !std::binary_search(pozycje_->begin(), pozycje_->end(), pozycja)) return false;
    if (poczatekDaty_ && !ZaczynaSieOd(dokument.data_wystawienia, *poczatekDaty_)) return false;
    if (numer_ && !NumerRowny(dokument, *numer_)) return false;
    if (!pozycja_ && !pozycje_ && !numer_ && JestPoczatkiemBloczka(dokument)) return false;
    return true;
}
