#pragma once
// Labels that show data. A screen reader hears a label through its accessible name, which for
// these labels is fixed ("Razem do zapłaty"); the value travels in the accessible description,
// which UstawTekst keeps equal to the text.
#include <QLabel>

#include "app/dopasowanie.h"

// Sets the label's text and its accessible description only when the text changes, so that a
// refresh that finds nothing new costs one comparison.
void UstawTekst(QLabel* etykieta, const QString& tekst);
// The same for a label that shows a shortened form of a value: the description carries `calosc`.
void UstawTekst(QLabel* etykieta, const QString& tekst, const QString& calosc);
// The value as a screen reader gets it: without the blanks that pad amounts on the left.
QString OpisWartosci(const QString& tekst);

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
