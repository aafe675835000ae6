#include "app/dostepnosc.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QSpinBox>
#include <QToolButton>

void NazwijWnetrzeKalendarza(QCalendarWidget* kalendarz) {
    const struct {
        const char* nazwaObiektu;
        const char* nazwaDostepna;
    } czesci[] = {
        {"qt_calendar_prevmonth", "Poprzedni miesiąc"},
        {"qt_calendar_nextmonth", "Następny miesiąc"},
        {"qt_calendar_monthbutton", "Miesiąc"},
        {"qt_calendar_yearbutton", "Rok"},
        {"qt_calendar_yearedit", "Rok"},
        {"qt_calendar_calendarview", "Dni miesiąca"},
    };
    for (const auto& czesc : czesci)
        if (QWidget* w = kalendarz->findChild<QWidget*>(QString::fromLatin1(czesc.nazwaObiektu)))
            w->setAccessibleName(QString::fromUtf8(czesc.nazwaDostepna));
    for (QSpinBox* rok : kalendarz->findChildren<QSpinBox*>()) {
        rok->setAccessibleName(QStringLiteral("Rok"));
        for (QWidget* w : rok->findChildren<QWidget*>()) w->setAccessibleName(QStringLiteral("Rok"));
    }
}

void NazwijWnetrzeOkna(QWidget* okno) {
    for (QLabel* etykieta : okno->findChildren<QLabel*>())
        if (QWidget* opisany = etykieta->buddy(); opisany && opisany->accessibleName().isEmpty())
            opisany->setAccessibleName(
                etykieta->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
    // An edit and a list stand in one column under one label: the unnamed one takes the name of the
    // named one nearest in its column.
    if (okno->layout()) okno->layout()->activate();
    QList<QWidget*> kolumny;
    for (QWidget* w : okno->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QListView*>(w)) kolumny.append(w);
    for (QWidget* bezNazwy : kolumny) {
        if (!bezNazwy->accessibleName().isEmpty()) continue;
        if (auto* ramka = qobject_cast<QGroupBox*>(bezNazwy->parentWidget())) {
            bezNazwy->setAccessibleName(ramka->title().remove(QLatin1Char('&')));
            continue;
        }
        const QPoint miejsce = bezNazwy->mapTo(okno, QPoint(0, 0));
        QWidget* najblizszy = nullptr;
        int odleglosc = 0;
        for (QWidget* w : kolumny) {
            if (w->accessibleName().isEmpty()) continue;
            const int d = std::abs(w->mapTo(okno, QPoint(0, 0)).x() - miejsce.x());
            if (!najblizszy || d < odleglosc) najblizszy = w, odleglosc = d;
        }
        if (najblizszy) bezNazwy->setAccessibleName(najblizszy->accessibleName());
    }
}
