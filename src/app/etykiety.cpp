#include "app/etykiety.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

TekstDopasowany EtykietaDopasowana::dopasowanie() const {
    const int szerokosc = contentsRect().width();
    if (ostatnie_.szerokosc != szerokosc || ostatnie_.tekst != text() || ostatnie_.czcionka != font())
        ostatnie_ = {text(), font(), szerokosc, DopasujDoSzerokosci(text(), font(), szerokosc)};
    return ostatnie_.wynik;
}

void EtykietaDopasowana::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    const TekstDopasowany d = dopasowanie();
    p.setFont(d.czcionka);
    style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), d.tekst, foregroundRole());
}

bool EtykietaDopasowana::event(QEvent* zdarzenie) {
    if (zdarzenie->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const TekstDopasowany d = dopasowanie();
        if (d.pomniejszony || d.obciety) {
            QToolTip::showText(static_cast<QHelpEvent*>(zdarzenie)->globalPos(), text().trimmed(), this);
        } else {
            QToolTip::hideText();
            zdarzenie->ignore();
        }
        return true;
    }
    return QLabel::event(zdarzenie);
}
