#pragma once
// How the export run draws one document into a PDF file, without the run itself depending on the
// drawing: the run (csv and FA(3) need no graphics at all) calls whatever drawing the program has
// switched on. faktura-eksport switches none and hands pdf to faktura-eksport-pdf, so that a csv or
// FA(3) export never loads the graphics libraries; faktura-eksport-pdf switches on pdf.cpp's.

#include <QString>
#include <memory>

#include "store/rekordy.h"

class SystemPlikow;

class RysownikPdf {
  public:
    virtual ~RysownikPdf() = default;
    // The document into the file `plik`, which becomes `cel`; its KSeF codes from the state kept
    // below `katalogDanych`.
    virtual void rysuj(SystemPlikow& pliki, const TDokument& dokument, const QString& katalogDanych,
                       const QString& plik, const QString& cel) = 0;
};

struct UstawieniaRysownikaPdf {
    int dpi = 0;
    TUstawieniaFaktury ustawienia{};
    TDaneFirmy firma{};
    QString kontakt;  // of the printout's last line
};

// Reads what every page needs (the printout's font) and refuses (Odmowa, BladPliku) when it
// cannot draw at all.
using FabrykaRysownikaPdf = std::unique_ptr<RysownikPdf> (*)(SystemPlikow& pliki,
                                                             const UstawieniaRysownikaPdf& ustawienia);
void UstawRysownikPdf(FabrykaRysownikaPdf fabryka);
FabrykaRysownikaPdf BiezacyRysownikPdf();
