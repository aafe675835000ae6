#include "eksport/pdf.h"

#include <QPageSize>
#include <algorithm>

#include "store/blad.h"
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
    drukarka_.setOutputFileName(plik);
    drukarka_.setDocName(dane.pole(PoleNaglowka::numerator) + QLatin1Char('/') +
                         dane.pole(PoleNaglowka::rozszerzenie));
    // One page: the copies of the settings belong to paper, a file is copied by copying it.
    DrukujKopie(strona_, dane, 1);

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
