#include "app/dostepnosc.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QSpinBox>
#include <QToolButton>

void NazwijWnetrzeKalendarza(QCalendarWidget* kalendarz) {
    const struct {
        const char* nazwaObiektu;
        const char* nazwaDostepna;
    } czesci[] = {
        {"qt_calendar_prevmonth", "Poprzedni miesiąc"}, {"qt_calendar_nextmonth", "Następny miesiąc"},
        {"qt_calendar_monthbutton", "Miesiąc"},          {"qt_calendar_yearbutton", "Rok"},
        {"qt_calendar_yearedit", "Rok"},                 {"qt_calendar_calendarview", "Dni miesiąca"},
    };
    for (const auto& czesc : czesci)
        if (QWidget* w = kalendarz->findChild<QWidget*>(QString::fromLatin1(czesc.nazwaObiektu)))
            w->setAccessibleName(QString::fromUtf8(czesc.nazwaDostepna));
    for (QSpinBox* rok : kalendarz->findChildren<QSpinBox*>()) {
        rok->setAccessibleName(QStringLiteral("Rok"));
        for (QWidget* w : rok->findChildren<QWidget*>()) w->setAccessibleName(QStringLiteral("Rok"));
    }
}
