#include "app/siatka.h"

#include <QHeaderView>

#include "print/kolory.h"

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
    // Amounts are padded with blanks on the left; when a cell is too narrow, the padding goes first
    // and the digits stay readable.
    setTextElideMode(Qt::ElideLeft);
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

void Siatka::ustawKomorke(int kolumna, int wiersz, const QString& tekst) {
    QTableWidgetItem* e = element(kolumna, wiersz);
    if (e && e->text() != tekst) e->setText(tekst);
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
