// Date of service picked from a month calendar.
#include <QCalendarWidget>
#include <QLineEdit>

#include "app/faktura_f.h"

namespace {

// Year, month and day joined by "-"; a one-digit value gets a leading "0" (2010-03-05).
QString TekstDaty(const QDate& data) {
    const auto dwieCyfry = [](int wartosc) { return QString::number(wartosc).rightJustified(2, u'0'); };
    return dwieCyfry(data.year()) + u'-' + dwieCyfry(data.month()) + u'-' + dwieCyfry(data.day());
}

}  // namespace

void Tfaktura_f::SpeedButton7Click() {
    PokazNad(MonthCalendar1, MiejsceKalendarza);
    // Esc reaches the calendar only while it has the focus.
    MonthCalendar1->setFocus();
}

void Tfaktura_f::MonthCalendar1DblClick() {
    data_uslugi->setText(TekstDaty(MonthCalendar1->selectedDate()));
    MonthCalendar1->hide();
}

void Tfaktura_f::MonthCalendar1KeyPress(int znak) {
    if (znak == 27) MonthCalendar1->hide();
}
