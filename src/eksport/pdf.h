#pragma once
// The printout page drawn into PDF files without a dialog: the printer of the print dialog's PDF
// file (A4, portrait, fonts embedded) at a chosen resolution, one job and one page per file.

#include <QPrinter>
#include <QString>

#include "print/geometria.h"
#include "print/plotno_drukarki.h"
#include "print/wydruk.h"

class SystemPlikow;

class DrukarkaPdf {
  public:
    explicit DrukarkaPdf(int dpi);

    // One page of the document into the file `plik`. Throws BladDrukarki, or Odmowa naming the file
    // as `nazwa` (the file it becomes) when the PDF file was not written whole (Qt's PDF engine does
    // not report a failed write itself).
    void drukuj(SystemPlikow& system, const DaneWydruku& dane, const QString& plik, const QString& nazwa);

  private:
    QPrinter drukarka_;
    PlotnoDrukarki plotno_;
    Drukarka strona_;
};

// Switches on the PDF drawing of the export run (eksport/rysownik_pdf.h): this printer, which needs
// a QGuiApplication.
void WlaczRysownikPdf();
