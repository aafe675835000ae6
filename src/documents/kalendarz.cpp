// Date of service picked from a month calendar.
#include <QCalendarWidget>
#include <QLineEdit>

#include "app/faktura_f.h"

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
