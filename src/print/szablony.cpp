// Document templates: a saved picture of the form that a new invoice can be filled from. The
// in-memory `Szablon` is separate from `Dokument`, which these operations never touch.
#include <QComboBox>
#include <QLineEdit>
#include <utility>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "calc/dokument.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/naglowek.h"
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
    ZDialogiem([this] { zapiszSzablon(); });
}

void Tfaktura_f::zapiszSzablon() {
    const std::optional<QString> plik = platforma().plikDoZapisu(this, SaveDialog1());
    if (!plik) return;
    KazdePoleNaglowka(Szablon, [this](PoleNaglowka pole, auto& tekst) {
        if (PoleSzablonu(pole)) tekst.ustaw(TekstPola(pole));
    });
    UstawRodzaj(Szablon, RodzajDokumentu::Faktura);
    TabeleDoRekordu(Szablon.pozycje, Szablon.stawki);
    ZapiszRekordAtomowo(pliki(), *plik, Szablon);
    platforma().informacja(this, QStringLiteral("Informacja"), QStringLiteral("Szablon został zapisany."));
}

void Tfaktura_f::SpeedButton22Click() {
    ZDialogiem([this] { wstawSzablon(); });
}

void Tfaktura_f::wstawSzablon() {
    const std::optional<QString> plik = platforma().plikDoOtwarcia(this, OpenDialog4());
    if (!plik) return;
    // The form changes only after the whole record has been read.
    TSzablon wczytany{};
    CzytajRekord(pliki(), *plik, wczytany);
    Szablon = wczytany;
    KazdePoleNaglowka(std::as_const(Szablon), [this](PoleNaglowka pole, const auto& tekst) {
        if (PoleSzablonu(pole)) UstawTekstPola(pole, tekst.tekst());
    });
    UstawRodzaj(Szablon, RodzajDokumentu::Faktura);
    StanFakturyZSzablonu();
    RekordDoTabel(Szablon.pozycje, Szablon.stawki);
}

void Tfaktura_f::SpeedButton23Click() {
    ZDialogiem([this] { usunSzablon(); });
}

void Tfaktura_f::usunSzablon() {
    const std::optional<QString> plik = platforma().plikDoOtwarcia(this, OpenDialog4());
    if (!plik) return;
    if (!platforma().pytanie(this, QStringLiteral("Pytanie"), QStringLiteral("Usunąć wskazany szablon ?")))
        return;
    // Saying "deleted" about a file that is still there would mislead the user, so a failed delete
    // says what happened instead.
    QString wynik = QStringLiteral("Szablon został usunięty.");
    try {
        UsunPlik(pliki(), *plik);
    } catch (const BladPliku& blad) {
        wynik = QStringLiteral("Nie usunięto szablonu. ") + blad.komunikat();
    }
    platforma().informacja(this, QStringLiteral("Informacja"), wynik);
}
