#include "store/cale_pliki.h"

#include <unistd.h>

#include <QDir>
#include <QSysInfo>
#include <cerrno>

CelIstnieje::CelIstnieje(const QString& sciezka)
    : Odmowa(QStringLiteral("Plik „%1” już istnieje.").arg(sciezka)), sciezka_(sciezka) {}

QString NazwaStanowiska() {
    QString nazwa = QSysInfo::machineHostName();
    for (QChar& znak : nazwa)
        if (!(znak.isLetterOrNumber() && znak.unicode() < 128) && znak != u'-' && znak != u'_') znak = u'_';
    return nazwa.isEmpty() ? QStringLiteral("stanowisko") : nazwa;
}

QString NazwaTymczasowa(const QString& cel) {
    return cel + u'.' + NazwaStanowiska() + u'.' + QString::number(::getpid()) + QStringLiteral(".tmp");
}

namespace {

// The temporary file is the writer's own detail: a failure is reported under the name of the file
// being written, and a missing folder is named as such.
BladPliku PodNazwaCelu(SystemPlikow& system, const BladPliku& blad, const QString& cel) {
    const QString folder = KatalogNadrzedny(cel);
    QString powod = blad.kod() != 0 ? KomunikatSystemu(blad.kod()) : blad.komunikatSystemu();
    if (blad.kod() == ENOENT && system.opisz(folder).rodzaj != OpisPliku::Rodzaj::Katalog)
        powod = QStringLiteral("Nie ma folderu „%1”").arg(folder);
    return BladPliku(blad.operacja(), cel, blad.kod(), powod);
}

// Everything the two writers share: `pisz` leaves the whole content, synced, under the temporary
// name; then the rename and the folder's sync.
void Zastap(SystemPlikow& system, const QString& sciezka, const OpcjeZapisu& opcje,
            const std::function<void(const QString& tymczasowy)>& pisz) {
    const QString cel = opcje.sciezkaPakietu ? RzeczywistaSciezka(system, sciezka) : sciezka;
    if (!opcje.zastap && system.istnieje(cel)) throw CelIstnieje(cel);
    const QString tymczasowy = NazwaTymczasowa(cel);
    try {
        pisz(tymczasowy);
        if (opcje.zastap)
            system.zmienNazwe(tymczasowy, cel);
        else if (!system.zmienNazweBezZastepowania(tymczasowy, cel))
            throw CelIstnieje(cel);
    } catch (const BladPliku& blad) {
        UsunPozostaly(system, tymczasowy);
        throw PodNazwaCelu(system, blad, cel);
    } catch (...) {
        UsunPozostaly(system, tymczasowy);
        throw;
    }
    if (opcje.synchronizujFolder) system.synchronizujKatalog(KatalogNadrzedny(cel));
}

}  // namespace

void ZapiszAtomowo(SystemPlikow& system, const QString& sciezka, const void* dane, std::size_t ile,
                   const OpcjeZapisu& opcje) {
    Zastap(system, sciezka, opcje, [&](const QString& tymczasowy) {
        OtwartyPlik plik(system, tymczasowy, TrybOtwarcia::Utworz);
        plik.zapisz(0, dane, ile);
        plik.synchronizuj();
        plik.zamknij();
    });
}

void ZapiszPrzez(SystemPlikow& system, const QString& sciezka,
                 const std::function<void(const QString& tymczasowy)>& pisz, const OpcjeZapisu& opcje) {
    Zastap(system, sciezka, opcje, [&](const QString& tymczasowy) {
        pisz(tymczasowy);
        OtwartyPlik plik(system, tymczasowy, TrybOtwarcia::OdczytZapis);
        plik.synchronizuj();
        plik.zamknij();
    });
}

SynchronizacjaNaKoniec::~SynchronizacjaNaKoniec() {
    if (zrobiona_) return;
    try {
        system_.synchronizujKatalog(folder_);
    } catch (...) {
        // An error is already on its way; the files written are whole either way.
    }
}

void SynchronizacjaNaKoniec::teraz() {
    zrobiona_ = true;
    system_.synchronizujKatalog(folder_);
}

void UtworzKatalogi(SystemPlikow& system, const QString& katalog) {
    if (katalog.isEmpty()) return;
    const QString pelna = QDir::cleanPath(QDir(system.katalogRoboczy()).absoluteFilePath(katalog));
    const OpisPliku::Rodzaj rodzaj = system.opisz(pelna).rodzaj;
    if (rodzaj == OpisPliku::Rodzaj::Katalog) return;
    const QString nadrzedny = KatalogNadrzedny(pelna);
    if (rodzaj == OpisPliku::Rodzaj::Brak && nadrzedny != pelna) UtworzKatalogi(system, nadrzedny);
    // Something else of that name is reported by the attempt to make the folder.
    system.utworzKatalog(pelna);
    system.synchronizujKatalog(nadrzedny);
}

QByteArray CzytajCalyPlik(OtwartyPlik& plik, std::uint64_t najwiecej) {
    const std::uint64_t rozmiar = plik.rozmiar();
    if (rozmiar > najwiecej)
        throw BladPliku(
            QStringLiteral("odczyt"), plik.sciezka(), 0,
            QStringLiteral("plik jest za duży (bajtów: %1, najwyżej %2)").arg(rozmiar).arg(najwiecej));
    QByteArray dane(static_cast<qsizetype>(rozmiar), Qt::Uninitialized);
    dane.resize(static_cast<qsizetype>(plik.czytaj(0, dane.data(), static_cast<std::size_t>(rozmiar))));
    return dane;
}

QByteArray CzytajCalyPlik(SystemPlikow& system, const QString& sciezka, std::uint64_t najwiecej) {
    OtwartyPlik plik(system, RzeczywistaSciezka(system, sciezka), TrybOtwarcia::Odczyt);
    QByteArray dane = CzytajCalyPlik(plik, najwiecej);
    plik.zamknij();
    return dane;
}

void RozdzielRekordIOgon(const QByteArray& calosc, const QString& sciezka, void* rekord, std::size_t rozmiar,
                         QByteArray& ogon) {
    if (calosc.size() < static_cast<qsizetype>(rozmiar))
        throw BladPliku(QStringLiteral("odczyt"), sciezka, 0,
                        QStringLiteral("plik jest krótszy niż jeden rekord"));
    std::memcpy(rekord, calosc.constData(), rozmiar);
    ogon = calosc.mid(static_cast<qsizetype>(rozmiar));
}

void ZapiszRekordZOgonem(SystemPlikow& system, const QString& sciezka, const void* rekord,
                         std::size_t rozmiar, const QByteArray& ogon) {
    if (ogon.isEmpty()) {
        ZapiszAtomowo(system, sciezka, rekord, rozmiar);
        return;
    }
    QByteArray calosc(static_cast<qsizetype>(rozmiar), Qt::Uninitialized);
    std::memcpy(calosc.data(), rekord, rozmiar);
    calosc.append(ogon);
    ZapiszAtomowo(system, sciezka, calosc);
}

bool ZapewnijPlik(SystemPlikow& system, const QString& sciezka, const void* rekordDomyslny,
                  std::size_t rozmiar) {
    if (PlikIstnieje(system, sciezka)) return false;
    ZapiszAtomowo(system, sciezka, rekordDomyslny, rozmiar);
    return true;
}
