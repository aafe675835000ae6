#pragma once
// Texts of controls that the module's window and the settings program handle alike: the value of a
// data label as a screen reader hears it, and numbers typed with a Polish decimal comma.
#include <QString>

class QLabel;
class QLineEdit;

// Labels that show data. A screen reader hears a label through its accessible name, which for
// these labels is fixed ("Razem do zapłaty"); the value travels in the accessible description,
// which UstawTekst keeps equal to the text.
//
// Sets the label's text and its accessible description only when the text changes, so that a
// refresh that finds nothing new costs one comparison.
void UstawTekst(QLabel* etykieta, const QString& tekst);
// The same for a label that shows a shortened form of a value: the description carries `calosc`.
void UstawTekst(QLabel* etykieta, const QString& tekst, const QString& calosc);
// The value as a screen reader gets it: without the blanks that pad amounts on the left.
QString OpisWartosci(const QString& tekst);

// Every comma in the edit becomes a point, the cursor staying where it was: the files hold numbers
// with a point, and the lenient reading of a number stops at a comma.
void KropkiZamiastPrzecinkow(QLineEdit* edytor);
// What a number text that does not read wholly as a number (see LiczbaWCalosci) counts as; empty for
// one that does.
QString UwagaOLiczbie(const QString& tekst);
