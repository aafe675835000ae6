// Document templates: a saved picture of the form that a new invoice can be filled from. The
// in-memory `Szablon` is separate from `Dokument`, which these operations never touch.
#include <QComboBox>
#include <QLineEdit>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "documents/formatka.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"

namespace {

OpisDialoguPliku DialogSzablonu(const char* filtr) {
    OpisDialoguPliku opis;
    opis.filtr = QString::fromUtf8(filtr);
    opis.domyslneRozszerzenie = QStringLiteral("*.sza");
    opis.folderPoczatkowy = QStringLiteral("Szablony");
    return opis;
}

OpisDialoguPliku SaveDialog1() {
    OpisDialoguPliku opis = DialogSzablonu("Szablon dokumentów|*.sza");
    opis.pytajONadpisanie = true;
    return opis;
}

OpisDialoguPliku OpenDialog4() { return DialogSzablonu("Szablony dokumentów|*.sza"); }

}  // namespace

void Tfaktura_f::SpeedButton21Click() {
    const std::optional<QString> plik = platforma().plikDoZapisu(this, SaveDialog1());
    if (!plik) return;
    Szablon.miejscowosc.ustaw(miejscowosc->text());
    Szablon.data_wystawienia.ustaw(data_wystawienia->text());
    Szablon.odbiorca1.ustaw(odbiorca1->text());
    Szablon.odbiorca2.ustaw(odbiorca2->text());
    Szablon.odbiorca3.ustaw(odbiorca3->text());
    Szablon.odbiorca4.ustaw(odbiorca4->text());
    Szablon.nip_odbiorcy.ustaw(nip_odbiorcy->text());
    Szablon.forma_zaplaty.ustaw(forma_zaplaty->currentText());
    Szablon.termin_zaplaty.ustaw(termin_zaplaty->currentText());
    Szablon.podpis.ustaw(podpis->text());
    Szablon.rodzaj.ustaw(QStringLiteral("F"));
    KomorkiDoRekordu(tabela, tabela_vat, Szablon.pozycje, Szablon.stawki);
    ZapiszRekordAtomowo(pliki(), *plik, Szablon);
    platforma().informacja(this, QStringLiteral("Informacja"), QStringLiteral("Szablon został zapisany."));
    PrzywrocKatalogRoboczy();
}

void Tfaktura_f::SpeedButton22Click() {
    const std::optional<QString> plik = platforma().plikDoOtwarcia(this, OpenDialog4());
    if (!plik) return;
    // The form changes only after the whole record has been read.
    TSzablon wczytany{};
    CzytajRekord(pliki(), *plik, wczytany);
    Szablon = wczytany;
    miejscowosc->setText(Szablon.miejscowosc.tekst());
    data_wystawienia->setText(Szablon.data_wystawienia.tekst());
    odbiorca1->setText(Szablon.odbiorca1.tekst());
    odbiorca2->setText(Szablon.odbiorca2.tekst());
    odbiorca3->setText(Szablon.odbiorca3.tekst());
    odbiorca4->setText(Szablon.odbiorca4.tekst());
    nip_odbiorcy->setText(Szablon.nip_odbiorcy.tekst());
    podpis->setText(Szablon.podpis.tekst());
    forma_zaplaty->setEditText(Szablon.forma_zaplaty.tekst());
    termin_zaplaty->setEditText(Szablon.termin_zaplaty.tekst());
    Szablon.rodzaj.ustaw(QStringLiteral("F"));
    Korekta = false;
    RekordDoKomorek(Szablon.pozycje, Szablon.stawki, tabela, tabela_vat);
    PrzywrocKatalogRoboczy();
}

void Tfaktura_f::SpeedButton23Click() {
    const std::optional<QString> plik = platforma().plikDoOtwarcia(this, OpenDialog4());
    if (!plik) return;
    if (!platforma().pytanie(this, QStringLiteral("Pytanie"), QStringLiteral("Usunąć wskazany szablon ?"))) return;
    // Saying "deleted" about a file that is still there would mislead the user, so a failed delete
    // says what happened instead.
    QString wynik = QStringLiteral("Szablon został usunięty.");
    try {
        UsunPlik(pliki(), *plik);
    } catch (const BladPliku& blad) {
        wynik = QStringLiteral("Nie usunięto szablonu. ") + blad.komunikat();
    }
    platforma().informacja(this, QStringLiteral("Informacja"), wynik);
    PrzywrocKatalogRoboczy();
}
