#include "store/bazy.h"

#include <memory>

#include "store/plik_rekordow.h"
#include "store/sciezki.h"

namespace {

// Slot s carries the number s+1, at least two digits.
QString NumerMiejsca(int miejsce) { return QStringLiteral("%1").arg(miejsce + 1, 2, 10, QLatin1Char('0')); }

template <class TBaza>
void UtworzBaze(SystemPlikow& system, const QString& sciezka) {
    if (PlikIstnieje(system, sciezka)) return;
    const auto baza = std::make_unique<TBaza>();  // zeroed; the client base is 3.5 MB
    for (int s = 0; s < TBaza::LiczbaMiejsc; ++s) baza->numer[s].ustaw(NumerMiejsca(s));
    ZapiszRekordAtomowo(system, sciezka, *baza);
}

}  // namespace

TDokument RekordPoczatkowy(const QString& dataDzisiaj) {
    TDokument dokument{};
    dokument.numerator.ustaw(QStringLiteral("0"));
    dokument.rozszerzenie.ustaw(dataDzisiaj);
    dokument.rodzaj.ustaw(QStringLiteral("F"));
    dokument.odbiorca1.ustaw(QStringLiteral("Początek bloczka faktur"));
    return dokument;
}

void UtworzDomyslneBazy(SystemPlikow& system, const QString& katalogDanych) {
    UtworzBaze<TBazaUslug>(system, SciezkaDanych(katalogDanych, SciezkaBazyUslug));
    UtworzBaze<TBazaKlientow>(system, SciezkaDanych(katalogDanych, SciezkaBazyKlientow));
}
