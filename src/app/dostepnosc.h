#pragma once
class QCalendarWidget;
class QWidget;

// The calendar's own navigation buttons, year box and day table carry no names of their own; screen
// readers and test tools need them.
void NazwijWnetrzeKalendarza(QCalendarWidget* kalendarz);

// A standard dialog names its lists by the labels beside them; the edits above the lists get the
// same name, so every control of the dialog has one.
void NazwijWnetrzeOkna(QWidget* okno);
