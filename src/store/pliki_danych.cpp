#include "store/pliki_danych.h"

#include <signal.h>

#include <QDir>
#include <cerrno>
#include <limits>
#include <memory>

#include "store/blad.h"
#include "store/cale_pliki.h"
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

TUstawieniaSieci UstawieniaSieciDlaKatalogu(const QString& katalog) {
    TUstawieniaSieci ustawienia{};
    ustawienia.tryb = 1;
    ustawienia.sciezka_lokalna.ustaw(katalog);
    return ustawienia;
}

namespace {

// The data root that "siec.dat" names. A path that would silently lead elsewhere is refused: a NUL
// byte would cut it short, an empty one would put the data below "/", and a folder that does not
// exist would show only as a failure of some later file.
KatalogDanychZUstawien KatalogZUstawien(SystemPlikow& system, const QString& siecDat, const QString& biezacy,
                                        const TUstawieniaSieci& ustawienia) {
    KatalogDanychZUstawien wynik{biezacy, ustawienia, std::nullopt};
    if (ustawienia.tryb != 1 && ustawienia.tryb != 2) return wynik;
    const QString sciezka =
        ustawienia.tryb == 1 ? ustawienia.sciezka_lokalna.tekst() : ustawienia.sciezka_sieciowa.tekst();
    const QString ktora = ustawienia.tryb == 1 ? QStringLiteral("lokalna") : QStringLiteral("sieciowa");
    const auto odmowa = [&](const QString& powod) {
        return BladPliku::ZKomunikatem(
            QStringLiteral("odczyt"), siecDat, 0,
            QStringLiteral(
                "Plik „%1” (tryb %2) wskazuje nieprawidłowy katalog danych: %3. Popraw ścieżkę %4 w "
                "ustawieniach programu.")
                .arg(siecDat)
                .arg(ustawienia.tryb)
                .arg(powod, ktora));
    };
    wynik.katalog = sciezka;
    if (const qsizetype nul = sciezka.indexOf(QChar(0)); nul >= 0) {
        wynik.blad = odmowa(QStringLiteral("ścieżka zawiera znak NUL na pozycji %1").arg(nul + 1));
        return wynik;
    }
    if (sciezka.trimmed().isEmpty()) {
        wynik.blad = odmowa(QStringLiteral("ścieżka jest pusta"));
        return wynik;
    }
    const OpisPliku katalog = system.opisz(RzeczywistaSciezka(system, sciezka));
    if (katalog.rodzaj == OpisPliku::Rodzaj::Brak)
        wynik.blad = odmowa(QStringLiteral("katalog „%1” nie istnieje").arg(sciezka));
    else if (katalog.rodzaj != OpisPliku::Rodzaj::Katalog)
        wynik.blad = odmowa(QStringLiteral("„%1” nie jest katalogiem").arg(sciezka));
    return wynik;
}

bool ProcesDziala(qint64 pid) {
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
           (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The data files whose temporary name earlier versions of the program wrote as "<file>.tmp".
const QStringList DawneTymczasowe = {
    QStringLiteral("siec.dat.tmp"),      QStringLiteral("faktura.dat.tmp"),
    QStringLiteral("firma.dat.tmp"),     QStringLiteral("info.dat.tmp"),
    QStringLiteral("ewidencja.dat.tmp"), QStringLiteral("uslugi.dat.tmp"),
    QStringLiteral("klienci.dat.tmp"),   QStringLiteral("font_welkaro.dat.tmp"),
};

}  // namespace

KatalogDanychZUstawien UstalKatalogDanych(SystemPlikow& system, const QString& biezacy) {
    const QString siecDat = SciezkaDanych(biezacy, SciezkaUstawienSieci);
    return KatalogZUstawien(system, RzeczywistaSciezka(system, siecDat), biezacy,
                            ZapewnijICzytaj(system, siecDat, UstawieniaSieciDlaKatalogu(biezacy)));
}

KatalogDanychZUstawien CzytajKatalogDanych(SystemPlikow& system, const QString& biezacy) {
    const QString siecDat = SciezkaDanych(biezacy, SciezkaUstawienSieci);
    if (!PlikIstnieje(system, siecDat))
        return KatalogDanychZUstawien{biezacy, UstawieniaSieciDlaKatalogu(biezacy), std::nullopt};
    TUstawieniaSieci ustawienia{};
    CzytajRekord(system, siecDat, ustawienia);
    return KatalogZUstawien(system, RzeczywistaSciezka(system, siecDat), biezacy, ustawienia);
}

QString KatalogDanychRoboczego(SystemPlikow& system) {
    const KatalogDanychZUstawien dane = CzytajKatalogDanych(system, system.katalogRoboczy());
    if (dane.blad) throw *dane.blad;
    return dane.katalog;
}

bool JestFolderemDanych(SystemPlikow& system, const QString& folder) {
    if (folder.isEmpty()) return false;
    const QString admini = RzeczywistaSciezka(system, SciezkaDanych(folder, QStringLiteral("\\Admini")));
    return system.opisz(admini).rodzaj == OpisPliku::Rodzaj::Katalog;
}

QString KomunikatNieFolderDanych(const QString& folder) {
    return QStringLiteral(
               "Folder „%1” nie jest folderem danych modułu Faktura (nie ma w nim podfolderu Admini). "
               "Uruchom program w folderze danych albo utwórz nowy folder danych programem "
               "faktura-ustawienia (strona „Nowy katalog danych”).")
        .arg(folder);
}

bool InnyKatalogDanych(SystemPlikow& system, const QString& startowy, const QString& katalog) {
    // A relative path of "siec.dat" is taken from the start folder, as the programs run there.
    const auto pelna = [&](const QString& sciezka) {
        return QDir::cleanPath(QDir(startowy).absoluteFilePath(RzeczywistaSciezka(system, sciezka)));
    };
    return pelna(katalog) != pelna(startowy);
}

QString OpisInnegoKataloguDanych(const QString& startowy, const QString& katalog) {
    return QStringLiteral(
               "Dane są czytane i zapisywane w folderze „%1”, a nie w folderze uruchomienia „%2”: tak "
               "wskazuje plik Admini/siec.dat tego folderu. Jeśli ten folder jest kopią lub został "
               "przeniesiony, a ma używać własnych danych, wybierz w programie faktura-ustawienia na "
               "stronie „Dane” opcję „Dane w folderze, w którym moduł jest uruchamiany”.")
        .arg(katalog, startowy);
}

void UsunPozostalosci(SystemPlikow& system, const QStringList& katalogi, std::int64_t teraz) {
    const QString stanowisko = NazwaStanowiska();
    for (const QString& wzgledny : katalogi) {
        const QString katalog = RzeczywistaSciezka(system, wzgledny);
        for (const QString& nazwa : system.zawartoscKatalogu(katalog)) {
            if (!nazwa.endsWith(QStringLiteral(".tmp"))) continue;
            const QString sciezka = katalog + u'/' + nazwa;
            const OpisPliku opis = system.opisz(sciezka);
            if (opis.rodzaj != OpisPliku::Rodzaj::Plik) continue;
            const std::int64_t wiek = teraz - opis.czasModyfikacji;
            // "<file>.<workstation>.<process>.tmp"
            const QStringList czesci = nazwa.split(u'.');
            bool liczba = false;
            const qint64 pid = czesci.size() >= 4 ? czesci[czesci.size() - 2].toLongLong(&liczba) : 0;
            bool usunac = false;
            if (liczba)
                usunac = (czesci[czesci.size() - 3] == stanowisko && !ProcesDziala(pid)) || wiek > 24 * 3600;
            else
                usunac = DawneTymczasowe.contains(nazwa, Qt::CaseInsensitive) && wiek > 3600;
            if (!usunac) continue;
            try {
                system.usun(sciezka);
            } catch (const BladPliku&) {
                // Left for the next start; it harms nothing meanwhile.
            }
        }
    }
}

void UtworzDomyslneBazy(SystemPlikow& system, const QString& katalogDanych) {
    UtworzBaze<TBazaUslug>(system, SciezkaDanych(katalogDanych, SciezkaBazyUslug));
    UtworzBaze<TBazaKlientow>(system, SciezkaDanych(katalogDanych, SciezkaBazyKlientow));
}

void UtworzPlikiDanych(SystemPlikow& system, const QString& katalogDanych,
                       const TDokument& rekordPoczatkowy) {
    UtworzDomyslneBazy(system, katalogDanych);
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaUstawienFaktury), TUstawieniaFaktury{});
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaDanychFirmy), TDaneFirmy{});
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaInfo), TInfo{});
    ZapewnijPlik(system, SciezkaDanych(katalogDanych, SciezkaDokumentow), rekordPoczatkowy);
}
