#include "kontrolki/teksty_kontrolek.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include "calc/liczby.h"

QString OpisWartosci(const QString& tekst) { return tekst.trimmed(); }

void UstawTekst(QLabel* etykieta, const QString& tekst) {
    if (etykieta->text() == tekst) return;
    etykieta->setText(tekst);
    etykieta->setAccessibleDescription(OpisWartosci(tekst));
}

void UstawTekst(QLabel* etykieta, const QString& tekst, const QString& calosc) {
    if (etykieta->text() != tekst) etykieta->setText(tekst);
    const QString opis = OpisWartosci(calosc);
    if (etykieta->accessibleDescription() != opis) etykieta->setAccessibleDescription(opis);
}

void KropkiZamiastPrzecinkow(QLineEdit* edytor) {
    QString tekst = edytor->text();
    if (!tekst.contains(u',')) return;
    const int kursor = edytor->cursorPosition();
    edytor->setText(tekst.replace(u',', u'.'));
    edytor->setCursorPosition(kursor);
}

QString UwagaOLiczbie(const QString& tekst) {
    if (LiczbaWCalosci(tekst)) return {};
    return QStringLiteral("Tej wartości nie można w całości odczytać jako liczby: liczona jest jako %1")
        .arg(QString::number(LiczbaZTekstu(tekst), 'g', QLocale::FloatingPointShortest));
}
