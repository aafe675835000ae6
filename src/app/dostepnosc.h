#pragma once
class QCalendarWidget;

// The calendar's own navigation buttons, year box and day table carry no names of their own; screen
// readers and test tools need them.
void NazwijWnetrzeKalendarza(QCalendarWidget* kalendarz);
