// Events of the monthly summary, the sales-register hand-off and the calendar date entry.
#include <QCalendarWidget>
#include <QKeyEvent>

#include "app/faktura_f.h"

namespace {

// Passes the keys typed in the calendar to its key handler; Esc ends there, every other key is
// left to the calendar.
class KlawiszeKalendarza : public QObject {
  public:
    explicit KlawiszeKalendarza(Tfaktura_f* okno) : QObject(okno), okno_(okno) {}

    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override {
        if (zdarzenie->type() != QEvent::KeyPress) return QObject::eventFilter(obiekt, zdarzenie);
        const auto* klawisz = static_cast<QKeyEvent*>(zdarzenie);
        const int znak = klawisz->key() == Qt::Key_Escape ? 27
                         : klawisz->text().isEmpty()      ? 0
                                                          : klawisz->text().at(0).unicode();
        okno_->Straz([this, znak] { okno_->MonthCalendar1KeyPress(znak); });
        return znak == 27;
    }

  private:
    Tfaktura_f* okno_;
};

}  // namespace

void Tfaktura_f::polaczZestawienieIEwidencje() {
    polacz(SpeedButton17, &Tfaktura_f::SpeedButton17Click);
    polacz(SpeedButton24, &Tfaktura_f::SpeedButton24Click);
    polacz(SpeedButton19, &Tfaktura_f::SpeedButton19Click);
    polacz(SpeedButton18, &Tfaktura_f::SpeedButton18Click);

    polacz(SpeedButton28, &Tfaktura_f::SpeedButton28Click);
    polacz(SpeedButton27, &Tfaktura_f::SpeedButton27Click);
    polacz(SpeedButton30, &Tfaktura_f::SpeedButton30Click);
    polacz(SpeedButton29, &Tfaktura_f::SpeedButton29Click);

    polacz(SpeedButton7, &Tfaktura_f::SpeedButton7Click);
    // The calendar reports a double click on a day (and Enter) as activation of the selected date.
    connect(MonthCalendar1, &QCalendarWidget::activated, this,
            [this] { Straz([this] { MonthCalendar1DblClick(); }); });
    // Keys that the calendar's parts (its day grid has the focus) leave alone reach the calendar.
    MonthCalendar1->installEventFilter(new KlawiszeKalendarza(this));
}
