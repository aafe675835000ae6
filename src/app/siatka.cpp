#include "app/siatka.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "calc/liczby.h"
#include "kontrolki/teksty_kontrolek.h"
#include "print/kolory.h"

namespace {

const QColor TloLiczbyCzesciowej(0xFF, 0xC0, 0xC0);

bool Zaznacz(std::vector<bool>& flagi, const std::vector<int>& kolumny) {
    const std::vector<bool> poprzednie = flagi;
    flagi.assign(flagi.size(), false);
    for (int k : kolumny)
        if (k >= 0 && k < static_cast<int>(flagi.size())) flagi[static_cast<std::size_t>(k)] = true;
    return flagi != poprzednie;
}

bool Zaznaczona(const std::vector<bool>& flagi, int kolumna) {
    return kolumna >= 0 && kolumna < static_cast<int>(flagi.size()) &&
           flagi[static_cast<std::size_t>(kolumna)];
}

// Draws a cell's text itself, so that an amount too wide for its cell loses its padding blanks and
// then its end, never its leading digits, and a text is cut at its end; a cut cell shows its whole
// text as its tooltip. Background, selection and focus are the style's, except the red background
// of a number cell that does not read wholly as a number.
class DelegatSiatki : public QStyledItemDelegate {
  public:
    explicit DelegatSiatki(Siatka* siatka) : QStyledItemDelegate(siatka), siatka_(siatka) {}

    void paint(QPainter* p, const QStyleOptionViewItem& opcja, const QModelIndex& indeks) const override {
        QStyleOptionViewItem o = opcja;
        initStyleOption(&o, indeks);
        const QString tekst = o.text;
        o.text.clear();
        if (siatka_->kolumnaLiczb(indeks.column()) && !LiczbaWCalosci(tekst))
            o.backgroundBrush = TloLiczbyCzesciowej;
        const QWidget* w = o.widget;
        QStyle* styl = w ? w->style() : QApplication::style();
        styl->drawControl(QStyle::CE_ItemViewItem, &o, p, w);

        const QRect obszar = o.rect.adjusted(Siatka::MarginesKomorki, 0, -Siatka::MarginesKomorki, 0);
        const TekstWidoczny widoczny = TekstWSzerokosci(tekst, QFontMetricsF(o.font), obszar.width(),
                                                        siatka_->kolumnaKwot(indeks.column()));
        const QPalette::ColorGroup grupa = !(o.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (o.state & QStyle::State_Active) ? QPalette::Active
                                                                              : QPalette::Inactive;
        p->save();
        p->setFont(o.font);
        p->setPen(o.palette.color(
            grupa, (o.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(obszar, static_cast<int>(o.displayAlignment) | Qt::TextSingleLine, widoczny.tekst);
        p->restore();
    }

    bool helpEvent(QHelpEvent* zdarzenie, QAbstractItemView* widok, const QStyleOptionViewItem& opcja,
                   const QModelIndex& indeks) override {
        if (zdarzenie && zdarzenie->type() == QEvent::ToolTip) {
            const int kolumna = indeks.column(), wiersz = indeks.row() + 1;
            const QString tekst = indeks.data(Qt::DisplayRole).toString();
            QString podpowiedz;
            if (siatka_->tekstWidoczny(kolumna, wiersz).obciety)
                podpowiedz = siatka_->kolumnaKwot(kolumna) ? tekst.trimmed() : tekst;
            if (siatka_->liczbaCzesciowa(kolumna, wiersz)) {
                if (!podpowiedz.isEmpty()) podpowiedz += QLatin1Char('\n');
                podpowiedz += UwagaOLiczbie(tekst);
            }
            if (!podpowiedz.isEmpty()) {
                QToolTip::showText(zdarzenie->globalPos(), podpowiedz, widok->viewport(), opcja.rect);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(zdarzenie, widok, opcja, indeks);
    }

    QWidget* createEditor(QWidget* rodzic, const QStyleOptionViewItem& opcja,
                          const QModelIndex& indeks) const override {
        QWidget* edytor = QStyledItemDelegate::createEditor(rodzic, opcja, indeks);
        if (auto* linia = qobject_cast<QLineEdit*>(edytor); linia && siatka_->kolumnaLiczb(indeks.column()))
            emit siatka_->edytorLiczby(linia);
        return edytor;
    }

  private:
    Siatka* siatka_;
};

}  // namespace

Siatka::Siatka(int kolumny, int wiersze, const std::vector<int>& szerokosci, QWidget* rodzic)
    : QTableWidget(wiersze - 1, kolumny, rodzic) {
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(18);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setItemDelegate(new DelegatSiatki(this));
    // However a number cell gets its text (typed, pasted, set by a handler), its description follows.
    connect(this, &QTableWidget::itemChanged, this, &Siatka::opiszLiczbe);
    kwoty_.assign(static_cast<std::size_t>(kolumny), false);
    liczby_.assign(static_cast<std::size_t>(kolumny), false);
    for (int c = 0; c < kolumny; ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem());
        if (c < static_cast<int>(szerokosci.size())) setColumnWidth(c, szerokosci[c]);
        for (int r = 0; r < rowCount(); ++r) {
            auto* e = new QTableWidgetItem();
            if (c == 0) {
                e->setFlags(Qt::ItemIsEnabled);
                e->setBackground(palette().button());
            }
            setItem(r, c, e);
        }
    }
}

QTableWidgetItem* Siatka::element(int kolumna, int wiersz) const {
    if (kolumna < 0 || kolumna >= columnCount() || wiersz < 0 || wiersz > rowCount()) return nullptr;
    return wiersz == 0 ? horizontalHeaderItem(kolumna) : item(wiersz - 1, kolumna);
}

QString Siatka::komorka(int kolumna, int wiersz) const {
    const QTableWidgetItem* e = element(kolumna, wiersz);
    return e ? e->text() : QString();
}

void Siatka::opiszLiczbe(QTableWidgetItem* e) {
    if (!e || e->row() < 0 || !kolumnaLiczb(e->column())) return;
    const QString uwaga = UwagaOLiczbie(e->text());
    // Comparing first keeps the change from signalling itemChanged again and again.
    if (e->data(Qt::AccessibleDescriptionRole).toString() != uwaga)
        e->setData(Qt::AccessibleDescriptionRole, uwaga.isEmpty() ? QVariant() : QVariant(uwaga));
}

void Siatka::ustawKomorke(int kolumna, int wiersz, const QString& tekst) {
    QTableWidgetItem* e = element(kolumna, wiersz);
    if (e && e->text() != tekst) e->setText(tekst);
}

void Siatka::ustawKolumnyKwot(const std::vector<int>& kolumny) {
    Zaznacz(kwoty_, kolumny);
    viewport()->update();
}

bool Siatka::kolumnaKwot(int kolumna) const { return Zaznaczona(kwoty_, kolumna); }

void Siatka::ustawKolumnyLiczb(const std::vector<int>& kolumny) {
    if (!Zaznacz(liczby_, kolumny)) return;
    viewport()->update();
    for (int c = 0; c < columnCount(); ++c)
        for (int r = 0; r < rowCount(); ++r) {
            QTableWidgetItem* e = item(r, c);
            if (!kolumnaLiczb(c) && e) e->setData(Qt::AccessibleDescriptionRole, QVariant());
            opiszLiczbe(e);
        }
}

bool Siatka::kolumnaLiczb(int kolumna) const { return Zaznaczona(liczby_, kolumna); }

bool Siatka::liczbaCzesciowa(int kolumna, int wiersz) const {
    return wiersz >= 1 && kolumnaLiczb(kolumna) && !LiczbaWCalosci(komorka(kolumna, wiersz));
}

int Siatka::szerokoscTekstu(int kolumna) const {
    // The view paints a cell one pixel narrower than its column when it draws the grid lines.
    return columnWidth(kolumna) - (showGrid() ? 1 : 0) - 2 * MarginesKomorki;
}

TekstWidoczny Siatka::tekstWidoczny(int kolumna, int wiersz) const {
    return TekstWSzerokosci(komorka(kolumna, wiersz), QFontMetricsF(font()), szerokoscTekstu(kolumna),
                            kolumnaKwot(kolumna));
}

void Siatka::ustawKolorCzcionki(std::int32_t kolor) {
    if (kolor == kolor_ && palette().color(QPalette::Text) == KolorZTColor(kolor)) return;
    kolor_ = kolor;
    const QColor q = KolorZTColor(kolor);
    QPalette p = palette();
    for (auto grupa : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(grupa, QPalette::Text, q);
        p.setColor(grupa, QPalette::WindowText, q);
        p.setColor(grupa, QPalette::ButtonText, q);
    }
    setPalette(p);
    horizontalHeader()->setPalette(p);
}
