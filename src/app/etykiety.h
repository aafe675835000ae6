#pragma once
// Labels that show data: their value is their accessible description (UstawTekst).
#include <QLabel>

#include "app/dopasowanie.h"
#include "kontrolki/teksty_kontrolek.h"

// A label for amounts and amounts in words that keeps its text inside its width: a text that does
// not fit is drawn in a smaller size of the same font, and only below the smallest one cut with an
// ellipsis; the whole text is then in its tooltip. text() is always the whole text.
class EtykietaDopasowana : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // What is drawn now, in which font.
    TekstDopasowany dopasowanie() const;

  protected:
    void paintEvent(QPaintEvent* zdarzenie) override;
    bool event(QEvent* zdarzenie) override;

  private:
    // Fitting a long text tries several font sizes; a repaint of an unchanged label reuses the last.
    struct Zapamietane {
        QString tekst;
        QFont czcionka;
        int szerokosc = -1;
        TekstDopasowany wynik;
    };
    mutable Zapamietane ostatnie_;
};
