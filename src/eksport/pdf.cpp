#include "eksport/pdf.h"

#include <QGuiApplication>
#include <QPageSize>
#include <algorithm>

#include "calc/dokument.h"
#include "eksport/rysownik_pdf.h"
#include "print/czcionki.h"
#include "store/blad.h"
#include "store/pliki_danych.h"
#include "store/stan_ksef.h"
#include "store/system_plikow.h"

DrukarkaPdf::DrukarkaPdf(int dpi)
    : drukarka_(QPrinter::HighResolution), plotno_(drukarka_), strona_(plotno_) {
    drukarka_.setOutputFormat(QPrinter::PdfFormat);
    drukarka_.setResolution(dpi);
    drukarka_.setPageSize(QPageSize(QPageSize::A4));
    drukarka_.setFontEmbeddingEnabled(true);
    drukarka_.setCreator(QStringLiteral("faktura-eksport"));
}

void DrukarkaPdf::drukuj(SystemPlikow& system, const DaneWydruku& dane, const QString& plik,
                         const QString& nazwa) {
    // Qt's PDF engine opens the file itself and tells only that it could not begin. Made here first,
    // a folder that takes no file is reported as every other write: the file's name and the system's
    // reason.
    OtwartyPlik(system, plik, TrybOtwarcia::Utworz).zamknij();
    drukarka_.setOutputFileName(plik);
    drukarka_.setDocName(dane.pole(PoleNaglowka::numerator) + QLatin1Char('/') +
                         dane.pole(PoleNaglowka::rozszerzenie));
    try {
        // One page: the copies of the settings belong to paper, a file is copied by copying it.
        DrukujKopie(strona_, dane, 1);
    } catch (const BladDrukarki& blad) {
        throw Odmowa(QStringLiteral("plik PDF „%1” nie został zapisany: %2").arg(nazwa, blad.komunikat()));
    }

    // A PDF file ends with its end-of-file marker; without it the disk took only part of it.
    OtwartyPlik wynik(system, plik, TrybOtwarcia::Odczyt);
    const std::uint64_t rozmiar = wynik.rozmiar();
    char koniec[32] = {};
    const std::size_t ile = static_cast<std::size_t>(std::min<std::uint64_t>(rozmiar, sizeof koniec));
    const std::size_t przeczytane = wynik.czytaj(rozmiar - ile, koniec, ile);
    wynik.zamknij();
    if (std::string_view(koniec, przeczytane).find("%%EOF") == std::string_view::npos)
        throw Odmowa(QStringLiteral("plik PDF „%1” nie został zapisany w całości").arg(nazwa));
}

namespace {

class RysownikDrukarkiPdf : public RysownikPdf {
  public:
    RysownikDrukarkiPdf(SystemPlikow& pliki, const UstawieniaRysownikaPdf& u) : u_(u), drukarka_(u.dpi) {
        // As the print command reads it: "FONT\" below the folder the program runs in.
        CzytajFonty(pliki, czcionka_, NazwaFontuWydruku);
    }
    void rysuj(SystemPlikow& pliki, const TDokument& d, const QString& katalogDanych, const QString& plik,
               const QString& cel) override {
        DaneWydruku dane = DaneWydrukuZRekordu(d, u_.ustawienia, u_.firma, czcionka_, u_.kontakt);
        dane.kodyKsef = KodyKsefZeStanu(CzytajStanKsef(pliki, katalogDanych, NazwaDokumentu(d)));
        drukarka_.drukuj(pliki, dane, plik, cel);
    }

  private:
    UstawieniaRysownikaPdf u_;
    StanCzcionki czcionka_;
    DrukarkaPdf drukarka_;
};

std::unique_ptr<RysownikPdf> NowyRysownikDrukarkiPdf(SystemPlikow& pliki, const UstawieniaRysownikaPdf& u) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw Odmowa(QStringLiteral("eksport PDF wymaga aplikacji graficznej Qt"));
    return std::make_unique<RysownikDrukarkiPdf>(pliki, u);
}

}  // namespace

void WlaczRysownikPdf() { UstawRysownikPdf(&NowyRysownikDrukarkiPdf); }
