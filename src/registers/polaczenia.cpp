// Events of the registers subsystem: pick list, client and service lists, summary, hand-off.
#include <QChildEvent>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <functional>

#include "app/faktura_f.h"
#include "app/siatka.h"

namespace {

// Runs a handler of the window on a double click on a widget. Widgets created inside it later
// (the cell editors of a grid, which take the second click of a double click on a cell being
// edited) are watched too, so a double click anywhere on the widget counts.
class PodwojneKlikniecie : public QObject {
  public:
    PodwojneKlikniecie(Tfaktura_f* okno, QWidget* cel, std::function<void()> obsluga)
        : QObject(cel), okno_(okno), obsluga_(std::move(obsluga)) {
        cel->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override {
        if (zdarzenie->type() == QEvent::ChildAdded) {
            QObject* dziecko = static_cast<QChildEvent*>(zdarzenie)->child();
            if (dziecko->isWidgetType()) dziecko->installEventFilter(this);
        } else if (zdarzenie->type() == QEvent::MouseButtonDblClick) {
            okno_->Straz(obsluga_);
            return true;
        }
        return QObject::eventFilter(obiekt, zdarzenie);
    }

  private:
    Tfaktura_f* okno_;
    std::function<void()> obsluga_;
};

}  // namespace

void Tfaktura_f::polaczRejestry() {
    polacz(SpeedButton3, &Tfaktura_f::SpeedButton3Click);
    polacz(SpeedButton12, &Tfaktura_f::SpeedButton12Click);
    polacz(SpeedButton11, &Tfaktura_f::SpeedButton11Click);
    polacz(SpeedButton10, &Tfaktura_f::SpeedButton10Click);
    polacz(SpeedButton5, &Tfaktura_f::SpeedButton5Click);
    polacz(SpeedButton13, &Tfaktura_f::SpeedButton13Click);
    new PodwojneKlikniecie(this, lista->viewport(), [this] { listaDblClick(); });
    new PodwojneKlikniecie(this, odbiorca1, [this] { odbiorca1DblClick(); });
    new PodwojneKlikniecie(this, odbiorca2, [this] { odbiorca2DblClick(); });
    new PodwojneKlikniecie(this, odbiorca3, [this] { odbiorca3DblClick(); });
    new PodwojneKlikniecie(this, odbiorca4, [this] { odbiorca4DblClick(); });
    new PodwojneKlikniecie(this, tabela->viewport(), [this] { tabelaDblClick(); });
    // The invoice list may hold many thousands of lines; equal heights spare the view measuring each.
    lista->setUniformItemSizes(true);
}
