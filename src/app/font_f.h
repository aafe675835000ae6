#pragma once
// The hidden font window. It owns the printout font (`Czcionki`), which the print command reads
// from a font file, and the font dialog with the button that saves a chosen font.
#include <QWidget>

#include "print/czcionki.h"

class Platforma;
class QFontDialog;
class QPushButton;
class SystemPlikow;

class Tfont_f : public QWidget {
    Q_OBJECT
  public:
    // Owned by `rodzic` when given, yet a window of its own.
    Tfont_f(Platforma& platforma, SystemPlikow& pliki, QWidget* rodzic = nullptr);

    QFontDialog* FontDialog1;
    QPushButton* Button1;

    // `Czcionka`, `NazwaCzcionki` and `RozmiarCzcionki`: the font last read or written.
    StanCzcionki Czcionki;

    void FormCreate();
    void Button1Click();
    // "FONT\" + the name, relative to the working directory.
    void CzytajFonty(const QString& nazwaPliku);
    void ZapiszFonty(const QString& nazwaPliku);

  private:
    Platforma& platforma_;
    SystemPlikow& pliki_;
};
