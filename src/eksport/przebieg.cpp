#include "eksport/przebieg.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

#include "calc/kwoty_dokumentu.h"
#include "eksport/nazwy_plikow.h"
#include "eksport/pola.h"
#include "eksport/postep.h"
#include "eksport/rejestr.h"
#include "eksport/rysownik_pdf.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_dokumentow.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/stan_ksef.h"
#include "store/uzupelnienia.h"

namespace {

// About 200 kB per read for the exports that work on each document; the register reads 100 kB,
// so that what one read copies is still in the processor's cache when it is looked at.
constexpr std::size_t RekordowNaOdczyt = 64;
constexpr std::size_t RekordowRejestru = 32;

QString NieJestDokumentem(const TDokument& d) {
    return QStringLiteral("rekord nie jest ani fakturą, ani korektą (rodzaj „%1”)")
        .arg(CzystyTekst(d.rodzaj.tekst()));
}

class Eksport {
  public:
    Eksport(const Polecenie& polecenie, Srodowisko& srodowisko)
        : p_(polecenie), s_(srodowisko), filtr_(polecenie.wybor) {}

    int uruchom();

  private:
    void czytajDane();
    QString sciezkaWyniku(const QString& sciezka) const {
        return QDir::cleanPath(QDir(katalogRoboczy_).absoluteFilePath(sciezka));
    }
    std::int64_t policzWybrane();
    void pdf();
    void ksef();
    void csv();
    void odrzuc(const TDokument& d, std::int64_t pozycja, const QStringList& powody);
    void sprawdzPlikRejestru(const QString& cel);
    void wypiszRejestr(const QString& cel, const RejestrSprzedazy& rejestr);
    int zakoncz(const QString& dokad);

    const Polecenie& p_;
    Srodowisko& s_;
    FiltrDokumentow filtr_;
    QString katalogRoboczy_, katalogDanych_, plikDokumentow_;
    TUstawieniaFaktury ustawienia_{};
    TDaneFirmy firma_{};
    QString kontakt_;  // of the printout's last line
    Postep* postep_ = nullptr;
    std::int64_t wybrane_ = 0, wyeksportowane_ = 0, odrzucone_ = 0;
};

void Eksport::czytajDane() {
    FolderDanych dane = CzytajFolderDanych(s_);
    katalogRoboczy_ = std::move(dane.katalogRoboczy);
    katalogDanych_ = std::move(dane.katalogDanych);
    plikDokumentow_ = std::move(dane.plikDokumentow);
    ustawienia_ = dane.ustawienia;
    firma_ = dane.firma;
    kontakt_ = std::move(dane.kontakt);
}

std::int64_t Eksport::policzWybrane() {
    std::int64_t pozycja = 0, wybrane = 0;
    KazdyRekord<TDokument>(s_.pliki, plikDokumentow_, RekordowNaOdczyt, [&](const TDokument& d) {
        if (filtr_.pasuje(d, ++pozycja)) ++wybrane;
    });
    return wybrane;
}

void Eksport::odrzuc(const TDokument& d, std::int64_t pozycja, const QStringList& powody) {
    ++odrzucone_;
    const QString linia =
        QStringLiteral("Odrzucono: %1: %2.").arg(OpisDokumentu(d, pozycja), powody.join(u"; "));
    if (postep_)
        postep_->komunikat(linia);
    else
        WypiszLinie(s_.bledy, linia);
}

void Eksport::pdf() {
    const FabrykaRysownikaPdf fabryka = BiezacyRysownikPdf();
    if (!fabryka) throw Odmowa(QStringLiteral("ten program nie rysuje plików PDF"));
    const std::unique_ptr<RysownikPdf> rysownik =
        fabryka(s_.pliki, UstawieniaRysownikaPdf{p_.dpi, ustawienia_, firma_, kontakt_});
    const QString folder = sciezkaWyniku(p_.cel);
    UtworzKatalogi(s_.pliki, folder);

    Postep postep(s_.bledy, s_.terminal, QStringLiteral("pdf"), policzWybrane());
    postep_ = &postep;
    NazwyPlikow nazwy(QStringLiteral(".pdf"));
    std::int64_t pozycja = 0;
    SynchronizacjaNaKoniec synchronizacja(s_.pliki, folder);
    KazdyRekord<TDokument>(s_.pliki, plikDokumentow_, RekordowNaOdczyt, [&](const TDokument& d) {
        if (!filtr_.pasuje(d, ++pozycja)) return;
        ++wybrane_;
        const QString cel = QDir(folder).filePath(nazwy.nazwa(d, pozycja));
        if (!JestFaktura(d) && !JestKorekta(d)) {
            odrzuc(d, pozycja, {NieJestDokumentem(d)});
        } else if (!p_.nadpisz && s_.pliki.istnieje(cel)) {
            odrzuc(d, pozycja, {WynikIstnieje(cel)});
        } else {
            try {
                ZapiszPrzez(
                    s_.pliki, cel,
                    [&](const QString& tymczasowy) {
                        rysownik->rysuj(s_.pliki, d, katalogDanych_, tymczasowy, cel);
                    },
                    OpcjeWyniku(p_.nadpisz, false));
                ++wyeksportowane_;
            } catch (const CelIstnieje&) {
                odrzuc(d, pozycja, {WynikIstnieje(cel)});
            }
        }
        postep.ustaw(wybrane_);
    });
    synchronizacja.teraz();
    postep.zakoncz();
    postep_ = nullptr;
}

void Eksport::ksef() {
    KontekstKsef kontekst;
    kontekst.firma = firma_;
    kontekst.stopka = ustawienia_.stopka.tekst();
    kontekst.czasWytworzenia = s_.teraz;
    kontekst.opcje = p_.ksef;
    if (s_.teraz.toUTC() < NajwczesniejszyCzasWytworzenia())
        throw Odmowa(QStringLiteral("zegar komputera wskazuje %1, a FA(3) przyjmuje pliki utworzone od "
                                    "2025-09-01; popraw datę systemową")
                         .arg(s_.teraz.toUTC().toString(Qt::ISODate)));
    const QString folder = sciezkaWyniku(p_.cel);
    UtworzKatalogi(s_.pliki, folder);

    Postep postep(s_.bledy, s_.terminal, QStringLiteral("ksef"), policzWybrane());
    postep_ = &postep;
    NazwyPlikow nazwy(QStringLiteral(".xml"));
    SpisFaktur spis;
    std::int64_t pozycja = 0;
    SynchronizacjaNaKoniec synchronizacja(s_.pliki, folder);
    KazdyRekord<TDokument>(s_.pliki, plikDokumentow_, RekordowNaOdczyt, [&](const TDokument& d) {
        if (filtr_.pasuje(d, ++pozycja)) {
            ++wybrane_;
            // Only invoices stored before the correction count as the one it corrects.
            const WynikKsef wynik = DokumentFa3(d, JestKorekta(d) ? spis.znajdz(d) : std::nullopt, kontekst);
            const QString cel = QDir(folder).filePath(nazwy.nazwa(d, pozycja));
            if (!wynik.powody.isEmpty()) {
                odrzuc(d, pozycja, wynik.powody);
            } else {
                try {
                    ZapiszAtomowo(s_.pliki, cel, wynik.xml, OpcjeWyniku(p_.nadpisz, false));
                    ++wyeksportowane_;
                } catch (const CelIstnieje&) {
                    odrzuc(d, pozycja, {WynikIstnieje(cel)});
                }
            }
            postep.ustaw(wybrane_);
        }
        spis.dodaj(d);
    });
    synchronizacja.teraz();
    postep.zakoncz();
    postep_ = nullptr;
}

// The register replaces a file only when told to, and never one of the data files.
void Eksport::sprawdzPlikRejestru(const QString& cel) {
    const QFileInfo info(cel);
    if (info.isDir())
        throw Odmowa(QStringLiteral("„%1” jest folderem; podaj plik, np. rejestr.csv").arg(cel));
    // Spelled in another letter case the target is still the data file where names ignore case,
    // as on the suite's shared folders.
    const QStringList kandydaci{info.canonicalFilePath(),
                                QFileInfo(RzeczywistaSciezka(s_.pliki, cel)).canonicalFilePath()};
    for (const QString& dane : {SciezkaUstawienSieci, SciezkaUstawienFaktury, SciezkaDanychFirmy, SciezkaInfo,
                                SciezkaUstawienEwidencji, SciezkaDokumentow, SciezkaBazyUslug,
                                SciezkaBazyKlientow, SciezkaUzupelnien}) {
        const QString plik =
            QFileInfo(RzeczywistaSciezka(s_.pliki, SciezkaDanych(katalogDanych_, dane))).canonicalFilePath();
        if (!plik.isEmpty() && kandydaci.contains(plik))
            throw Odmowa(QStringLiteral("„%1” jest plikiem danych; rejestr go nie zastąpi").arg(cel));
    }
    if (!p_.nadpisz && s_.pliki.istnieje(cel)) throw Odmowa(WynikIstnieje(cel));
}

void Eksport::csv() {
    const QString cel = p_.cel.isEmpty() ? QString() : sciezkaWyniku(p_.cel);
    if (!cel.isEmpty()) {
        sprawdzPlikRejestru(cel);
        UtworzKatalogi(s_.pliki, KatalogNadrzedny(cel));
    }
    const std::int64_t liczbaRekordow = LiczbaRekordow<TDokument>(s_.pliki, plikDokumentow_);
    Postep postep(s_.bledy, s_.terminal, QStringLiteral("csv"), liczbaRekordow);
    postep_ = &postep;
    // A long file is read and turned into rows in two halves at once; the second half's rows and
    // refusals follow the first's, so the result is in file order.
    struct Czesc {
        RejestrSprzedazy rejestr;
        std::vector<std::pair<std::int64_t, QString>> odrzucone;
        std::int64_t wybrane = 0, wyeksportowane = 0;
    };
    std::array<Czesc, 2> czesci{Czesc{RejestrSprzedazy(p_.kropka), {}, 0, 0},
                                Czesc{RejestrSprzedazy(p_.kropka), {}, 0, 0}};
    const auto przejdz = [&](int numer, std::int64_t od, std::int64_t doRekordu) {
        Czesc& c = czesci[numer];
        // The first part shows the progress of all: in two halves it has done half as many.
        const bool zPostepem = numer == 0;
        const std::int64_t czesciNaRaz = doRekordu == INT64_MAX && od == 0 ? 1 : 2;
        // One row per record at most; a selection of few of many documents needs less.
        if (!p_.wybor.pozycja && !p_.wybor.numer)
            c.rejestr.rezerwuj(static_cast<std::size_t>(
                std::max<std::int64_t>(0, std::min(doRekordu, liczbaRekordow) - od)));
        KazdyRekordZakresu<TDokument>(s_.pliki, plikDokumentow_, od, doRekordu, RekordowRejestru,
                                      [&](const TDokument& d, std::int64_t pozycja) {
                                          if (filtr_.pasuje(d, pozycja)) {
                                              ++c.wybrane;
                                              if (const std::optional<QString> powod = c.rejestr.dodaj(d))
                                                  c.odrzucone.emplace_back(pozycja, *powod);
                                              else
                                                  ++c.wyeksportowane;
                                          }
                                          if (zPostepem && pozycja % 4096 == 0)
                                              postep.ustaw(czesciNaRaz * (pozycja - od));
                                      });
    };
    WCzesciachNaRaz(s_.pliki, liczbaRekordow, przejdz);
    RejestrSprzedazy& rejestr = czesci[0].rejestr;
    rejestr.dolacz(std::move(czesci[1].rejestr));
    for (Czesc& c : czesci) {
        wybrane_ += c.wybrane;
        wyeksportowane_ += c.wyeksportowane;
        // Records refused are read again for the message: few, and only now in order.
        for (const auto& [pozycja, powod] : c.odrzucone) {
            TDokument d{};
            CzytajRekordNr(s_.pliki, plikDokumentow_, pozycja, d);
            odrzuc(d, pozycja, {powod});
        }
    }
    postep.ustaw(liczbaRekordow);
    postep.zakoncz();
    postep_ = nullptr;

    wypiszRejestr(cel, rejestr);
}

// The register to its file, or to the standard output when no file is named: there piece by piece,
// as it is assembled.
void Eksport::wypiszRejestr(const QString& cel, const RejestrSprzedazy& rejestr) {
    if (!cel.isEmpty()) {
        try {
            ZapiszAtomowo(s_.pliki, cel, rejestr.csv(), OpcjeWyniku(p_.nadpisz, true));
        } catch (const CelIstnieje&) {
            throw Odmowa(WynikIstnieje(cel));
        }
        return;
    }
    bool zapisane = true;
    rejestr.pisz([&](const char* bajty, std::size_t ile) {
        zapisane = zapisane && std::fwrite(bajty, 1, ile, s_.wyjscie) == ile;
    });
    if (!zapisane || std::fflush(s_.wyjscie) != 0)
        throw Odmowa(QStringLiteral("nie można zapisać rejestru na standardowe wyjście"));
}

int Eksport::zakoncz(const QString& dokad) {
    // Nothing selected is one case, however it was selected: nothing was refused and nothing
    // failed, so the run succeeded and says that no file was made.
    if (wybrane_ == 0) {
        WypiszLinie(s_.bledy, QStringLiteral(
                                  "Żaden dokument nie spełnia warunków wyboru; niczego nie wyeksportowano."));
        return KodSukcesu;
    }
    WypiszLinie(s_.bledy,
                QStringLiteral("Wyeksportowano dokumentów: %1 z %2%3%4.")
                    .arg(wyeksportowane_)
                    .arg(wybrane_)
                    .arg(dokad)
                    .arg(odrzucone_ ? QStringLiteral("; odrzucono: %1").arg(odrzucone_) : QString()));
    return odrzucone_ ? KodOdrzucenia : KodSukcesu;
}

int Eksport::uruchom() {
    try {
        czytajDane();
        switch (p_.rodzaj) {
            case RodzajEksportu::Pdf:
                pdf();
                return zakoncz(QStringLiteral(" do „%1”").arg(sciezkaWyniku(p_.cel)));
            case RodzajEksportu::Ksef:
                ksef();
                return zakoncz(QStringLiteral(" do „%1”").arg(sciezkaWyniku(p_.cel)));
            case RodzajEksportu::Csv:
                csv();
                return zakoncz(p_.cel.isEmpty() ? QStringLiteral(" na standardowe wyjście")
                                                : QStringLiteral(" do „%1”").arg(sciezkaWyniku(p_.cel)));
        }
    } catch (...) {
        WypiszLinie(s_.bledy, QStringLiteral("faktura-eksport: %1").arg(KomunikatBiezacegoBledu()));
    }
    return KodOdrzucenia;
}

FabrykaRysownikaPdf rysownikPdf = nullptr;

}  // namespace

void UstawRysownikPdf(FabrykaRysownikaPdf fabryka) { rysownikPdf = fabryka; }
FabrykaRysownikaPdf BiezacyRysownikPdf() { return rysownikPdf; }

FolderDanych CzytajFolderDanych(Srodowisko& s) {
    FolderDanych wynik;
    wynik.katalogRoboczy = s.pliki.katalogRoboczy();
    if (!JestFolderemDanych(s.pliki, wynik.katalogRoboczy))
        throw Odmowa(KomunikatNieFolderDanych(wynik.katalogRoboczy));
    // As the module finds it: a path of "siec.dat" it would refuse is refused here too, and a data
    // root elsewhere is named, so that the original of a copied folder is never exported silently.
    const KatalogDanychZUstawien dane = CzytajKatalogDanych(s.pliki, wynik.katalogRoboczy);
    if (dane.blad) throw *dane.blad;
    wynik.katalogDanych = dane.katalog;
    if (InnyKatalogDanych(s.pliki, wynik.katalogRoboczy, wynik.katalogDanych))
        WypiszLinie(s.bledy, QStringLiteral("Uwaga: ") +
                                 OpisInnegoKataloguDanych(wynik.katalogRoboczy, wynik.katalogDanych));
    wynik.ustawienia = CzytajLubDomyslny<TUstawieniaFaktury>(
        s.pliki, SciezkaDanych(wynik.katalogDanych, SciezkaUstawienFaktury));
    wynik.firma =
        CzytajLubDomyslny<TDaneFirmy>(s.pliki, SciezkaDanych(wynik.katalogDanych, SciezkaDanychFirmy));
    wynik.kontakt =
        CzytajLubDomyslny<TUzupelnienia>(s.pliki, SciezkaDanych(wynik.katalogDanych, SciezkaUzupelnien))
            .kontakt_wydruku.tekst();
    wynik.plikDokumentow = SciezkaDanych(wynik.katalogDanych, SciezkaDokumentow);
    const QString rzeczywisty = RzeczywistaSciezka(s.pliki, wynik.plikDokumentow);
    if (!s.pliki.istnieje(rzeczywisty))
        throw Odmowa(QStringLiteral("nie ma pliku dokumentów „%1”").arg(rzeczywisty));
    OtwartyPlik plik(s.pliki, rzeczywisty, TrybOtwarcia::Odczyt);
    const std::uint64_t reszta = plik.rozmiar() % sizeof(TDokument);
    plik.zamknij();
    // A journal beside the file: a copy of the module is changing one record now, or a crash left
    // the change for the module's next start to complete. This reader takes no lock and writes
    // nothing, so it says so rather than completing the change itself.
    if (s.pliki.istnieje(SciezkaDziennika(rzeczywisty)))
        WypiszLinie(s.bledy,
                    QStringLiteral("Uwaga: przy pliku dokumentów jest dziennik niedokończonej zmiany "
                                   "(„%1”); jeden rekord może być w trakcie zmiany. Uruchom moduł, "
                                   "aby ją dokończył, i powtórz eksport.")
                        .arg(SciezkaDziennika(rzeczywisty)));
    // The module reads whole records only; a torn tail of an interrupted write is no document.
    if (reszta != 0)
        WypiszLinie(s.bledy,
                    QStringLiteral("Uwaga: plik dokumentów „%1” kończy się niepełnym rekordem (%2 B), "
                                   "który pominięto.")
                        .arg(rzeczywisty)
                        .arg(reszta));
    return wynik;
}

QString WynikIstnieje(const QString& cel) {
    return QStringLiteral("plik „%1” już istnieje (--nadpisz go zastąpi)").arg(cel);
}

OpcjeZapisu OpcjeWyniku(bool nadpisz, bool synchronizujFolder) {
    OpcjeZapisu opcje;
    opcje.zastap = nadpisz;
    opcje.synchronizujFolder = synchronizujFolder;
    opcje.sciezkaPakietu = false;
    return opcje;
}

int UruchomEksport(const Polecenie& polecenie, Srodowisko& srodowisko) {
    return Eksport(polecenie, srodowisko).uruchom();
}

int UruchomProgram(const QStringList& argumenty, Srodowisko& srodowisko) {
    const Argumenty a = CzytajArgumenty(argumenty);
    if (a.pomoc) {
        const QByteArray pomoc = TekstPomocy().toUtf8();
        std::fwrite(pomoc.constData(), 1, static_cast<std::size_t>(pomoc.size()), srodowisko.wyjscie);
        std::fflush(srodowisko.wyjscie);
        return KodSukcesu;
    }
    if (!a.polecenie) {
        WypiszLinie(srodowisko.bledy,
                    QStringLiteral("faktura-eksport: %1\nPomoc: faktura-eksport --help").arg(a.blad));
        return KodBleduUzycia;
    }
    return UruchomEksport(*a.polecenie, srodowisko);
}
