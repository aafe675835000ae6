// The one table of events: every control's event and the handler it runs. Every handler runs
// under the error guard, so that no error reaches Qt's event loop.
#include <QCalendarWidget>
#include <QChildEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/faktura_f.h"
#include "app/font_f.h"
#include "app/lista_linii.h"
#include "app/siatka.h"
#include "kontrolki/teksty_kontrolek.h"

namespace {

// Runs a handler of the window on a double click on a widget. Widgets created inside it later
// (the cell editors of a grid, which take the second click of a double click on a cell being
// edited) are watched too, so a double click anywhere on the widget counts.
class PodwojneKlikniecie : public QObject {
  public:
    PodwojneKlikniecie(Tfaktura_f* okno, QWidget* cel, void (Tfaktura_f::*obsluga)())
        : QObject(cel), okno_(okno), obsluga_(obsluga) {
        cel->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override {
        if (zdarzenie->type() == QEvent::ChildAdded) {
            QObject* dziecko = static_cast<QChildEvent*>(zdarzenie)->child();
            if (dziecko->isWidgetType()) dziecko->installEventFilter(this);
        } else if (zdarzenie->type() == QEvent::MouseButtonDblClick) {
            // The handler may rebuild the widget and with it this filter, so the lambda must
            // not reach back through `this`.
            Tfaktura_f* okno = okno_;
            const auto obsluga = obsluga_;
            okno->Straz([okno, obsluga] { (okno->*obsluga)(); });
            return true;
        }
        return QObject::eventFilter(obiekt, zdarzenie);
    }

  private:
    Tfaktura_f* okno_;
    void (Tfaktura_f::*obsluga_)();
};

// Passes the keys typed in the calendar to its key handler; Esc ends there, every other key is
// left to the calendar.
class KlawiszeKalendarza : public QObject {
  public:
    KlawiszeKalendarza(Tfaktura_f* okno, QCalendarWidget* kalendarz) : QObject(kalendarz), okno_(okno) {
        kalendarz->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override {
        if (zdarzenie->type() != QEvent::KeyPress) return QObject::eventFilter(obiekt, zdarzenie);
        const auto* klawisz = static_cast<QKeyEvent*>(zdarzenie);
        const int znak = klawisz->key() == Qt::Key_Escape ? 27
                         : klawisz->text().isEmpty()      ? 0
                                                          : klawisz->text().at(0).unicode();
        Tfaktura_f* okno = okno_;
        okno->Straz([okno, znak] { okno->MonthCalendar1KeyPress(znak); });
        return znak == 27;
    }

  private:
    Tfaktura_f* okno_;
};

using T = Tfaktura_f;

// Every button and the handler of its click.
const struct {
    QToolButton* T::*przycisk;
    void (T::*obsluga)();
} Klikniecia[] = {
    // Button column
    {&T::SpeedButton21, &T::SpeedButton21Click},  // "Zapisz szablon"
    {&T::SpeedButton22, &T::SpeedButton22Click},  // "Wstaw szablon"
    {&T::SpeedButton23, &T::SpeedButton23Click},  // "Usuń szablon"
    {&T::SpeedButton28, &T::SpeedButton28Click},  // "Ewidencja"
    {&T::SpeedButton20, &T::SpeedButton20Click},  // "Drukuj"
    {&T::SpeedButton17, &T::SpeedButton17Click},  // "Podliczenie"
    {&T::SpeedButton9, &T::SpeedButton9Click},    // "Korekta faktury"
    {&T::SpeedButton8, &T::SpeedButton8Click},    // "Usuń fakturę"
    {&T::SpeedButton3, &T::SpeedButton3Click},    // "Wczytaj fakturę"
    {&T::SpeedButton2, &T::SpeedButton2Click},    // "Zapisz fakturę"
    {&T::SpeedButton6, &T::SpeedButton6Click},    // "Nowa faktura"
    {&T::SpeedButton4, &T::SpeedButton4Click},    // "Pomoc"
    {&T::SpeedButton1, &T::SpeedButton1Click},    // "Zamknij moduł"
    // The form
    {&T::SpeedButton5, &T::SpeedButton5Click},    // "?" client list
    {&T::SpeedButton7, &T::SpeedButton7Click},    // "?" calendar
    {&T::SpeedButton13, &T::SpeedButton13Click},  // "Usługi"
    {&T::SpeedButton15, &T::SpeedButton15Click},  // "Pokaż przed korektą"
    {&T::SpeedButton16, &T::SpeedButton16Click},  // "Pokaż po korekcie"
    // Pick list
    {&T::SpeedButton12, &T::SpeedButton12Click},  // search
    {&T::SpeedButton11, &T::SpeedButton11Click},  // "Wstaw"
    {&T::SpeedButton10, &T::SpeedButton10Click},  // "Powrót"
    // Help
    {&T::SpeedButton14, &T::SpeedButton14Click},  // "Koniec pomocy"
    // Monthly summary
    {&T::SpeedButton24, &T::SpeedButton24Click},  // "?" buyer names
    {&T::SpeedButton19, &T::SpeedButton19Click},  // "Wylicz"
    {&T::SpeedButton18, &T::SpeedButton18Click},  // "Powrót"
    // Sales-register hand-off
    {&T::SpeedButton27, &T::SpeedButton27Click},  // "?" program file
    {&T::SpeedButton30, &T::SpeedButton30Click},  // "Wykonaj"
    {&T::SpeedButton29, &T::SpeedButton29Click},  // "Zaniechaj"
};

}  // namespace

void Tfaktura_f::polaczZdarzenia() {
    const auto wStrazy = [this](void (T::*obsluga)()) {
        return [this, obsluga] { Straz([this, obsluga] { (this->*obsluga)(); }); };
    };
    for (const auto& [przycisk, obsluga] : Klikniecia)
        connect(this->*przycisk, &QToolButton::clicked, this, wStrazy(obsluga));

    connect(Timer1, &QTimer::timeout, this, wStrazy(&T::Timer1Timer));
    connect(Timer2, &QTimer::timeout, this, wStrazy(&T::Timer2Timer));

    const struct {
        QWidget* cel;
        void (T::*obsluga)();
    } podwojne[] = {
        {lista->viewport(), &T::listaDblClick}, {odbiorca1, &T::odbiorca1DblClick},
        {odbiorca2, &T::odbiorca2DblClick},     {odbiorca3, &T::odbiorca3DblClick},
        {odbiorca4, &T::odbiorca4DblClick},     {tabela->viewport(), &T::tabelaDblClick},
    };
    for (const auto& [cel, obsluga] : podwojne) new PodwojneKlikniecie(this, cel, obsluga);

    // The calendar reports a double click on a day (and Enter) as activation of the selected date.
    connect(MonthCalendar1, &QCalendarWidget::activated, this, wStrazy(&T::MonthCalendar1DblClick));
    // Keys that the calendar's parts (its day grid has the focus) leave alone reach the calendar.
    new KlawiszeKalendarza(this, MonthCalendar1);

    // A comma typed (or pasted) into a number cell of the item grid becomes the point that the
    // files use, while it is typed; the lenient reading of the cell would stop at the comma.
    connect(tabela, &Siatka::edytorLiczby, this, [this](QLineEdit* edytor) {
        connect(edytor, &QLineEdit::textEdited, edytor,
                [this, edytor] { Straz([edytor] { KropkiZamiastPrzecinkow(edytor); }); });
    });

    connect(font_f->Button1, &QPushButton::clicked, font_f,
            [this] { Straz([this] { font_f->Button1Click(); }); });
}
