#include "eksport/uruchomienie.h"

#include <QFile>
#include <cstdio>

#include "eksport/dane_eksportu.h"
#include "eksport/pdf.h"
#include "eksport/przebieg.h"
#include "wspolne/katalog_testowy.h"

namespace {

QByteArray Przeczytaj(std::FILE* plik) {
    std::fflush(plik);
    std::rewind(plik);
    QByteArray dane;
    char bufor[65536];
    for (std::size_t n; (n = std::fread(bufor, 1, sizeof bufor, plik)) > 0;)
        dane.append(bufor, static_cast<qsizetype>(n));
    std::fclose(plik);
    return dane;
}

}  // namespace

Przebieg Uruchom(const QStringList& argumenty, SystemPlikow& pliki, const QDateTime& teraz) {
    // As faktura-eksport-pdf runs: with the drawing switched on.
    WlaczRysownikPdf();
    std::FILE* wyjscie = std::tmpfile();
    std::FILE* bledy = std::tmpfile();
    Srodowisko srodowisko{pliki, wyjscie, bledy, false, teraz};
    Przebieg p;
    p.kod = UruchomProgram(argumenty, srodowisko);
    p.wyjscie = Przeczytaj(wyjscie);
    p.bledy = QString::fromUtf8(Przeczytaj(bledy));
    return p;
}

void ZapiszDane(const KatalogTestowy& katalog, const std::vector<TDokument>& dokumenty) {
    katalog.zapiszRekordy(QStringLiteral("Admini/faktura.dat"),
                          std::vector<TUstawieniaFaktury>{UstawieniaTestowe()});
    katalog.zapiszRekordy(QStringLiteral("Admini/firma.dat"), std::vector<TDaneFirmy>{FirmaTestowa()});
    katalog.zapiszRekordy(QStringLiteral("Uslugi/dokumenty.dat"), dokumenty);
}
