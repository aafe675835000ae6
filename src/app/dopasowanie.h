#pragma once
// How a text that may be too wide is shown in a fixed width: amounts lose their padding blanks
// first, and whatever is cut loses its end, so that the beginning of a number (its leading digits)
// or of a name stays visible.
#include <QFont>
#include <QString>

class QFontMetricsF;

struct TekstWidoczny {
    QString tekst;         // what is drawn
    bool obciety = false;  // part of the text is missing (an ellipsis ends it)
};

// The text itself when it fits `szerokosc` pixels; for an amount (`kwota`), then with as few of
// its leading blanks dropped as make it fit; else cut at its right end with an ellipsis (an amount
// without any of its leading blanks).
TekstWidoczny TekstWSzerokosci(const QString& tekst, const QFontMetricsF& metryka, qreal szerokosc,
                               bool kwota);

struct TekstDopasowany {
    QFont czcionka;  // the label's own font or a smaller size of it
    QString tekst;
    bool pomniejszony = false;  // drawn smaller than the label's own font
    bool obciety = false;
};

// The smallest size a label's text is shrunk to before it is cut: small, but still read easily.
inline constexpr qreal NajmniejszaCzcionkaPunkty = 6.0;

// A label's text in `szerokosc` pixels: whole in the label's font (leading blanks dropped when they
// are what does not fit); else whole in the largest smaller pixel size of the same font down to
// NajmniejszaCzcionkaPunkty; else cut with an ellipsis at that smallest size.
TekstDopasowany DopasujDoSzerokosci(const QString& tekst, const QFont& czcionka, int szerokosc);
