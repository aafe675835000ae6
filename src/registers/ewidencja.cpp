// Sales-register hand-off: the gross amount of the document in the form goes to the register
// program "ewidencja.exe" on its command line, with the day and the document reference.
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <optional>

#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/platforma.h"
#include "registers/wiersz_polecen.h"
#include "store/cale_pliki.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

const QString NazwaProgramu = QStringLiteral("ewidencja.exe");

}  // namespace

void Tfaktura_f::SpeedButton28Click() {
    ro1->setChecked(true);
    PokazNad(Panel6, MiejscePanelu6);

    const TEwidencja ustawienia =
        ZapewnijICzytaj<TEwidencja>(pliki(), SciezkaPliku(SciezkaUstawienEwidencji));
    folder->setText(ustawienia.folder.tekst());

    kwota_brutto->setText(KwotaDoZaplaty);
    UstawTekst(Label92, numerator->text() + u'\\' + rozszerzenie->text());
}

void Tfaktura_f::SpeedButton27Click() {
    OpisDialoguPliku opis;
    opis.domyslneRozszerzenie = QStringLiteral("*.exe");
    opis.nazwaPliku = NazwaProgramu;
    const std::optional<QString> wybrany = ZDialogiem([&] { return platforma().plikDoOtwarcia(this, opis); });
    if (!wybrany) return;
    // Paths chosen here use '/', those of the suite '\': either ends the folder.
    const qsizetype ukosnik = std::max(wybrany->lastIndexOf(u'\\'), wybrany->lastIndexOf(u'/'));
    if (ukosnik >= 0) folder->setText(wybrany->left(ukosnik));
}

// The register program's folder was chosen in a file dialog, and starting the program may move the
// process: the working directory is set back whatever happens.
void Tfaktura_f::SpeedButton30Click() {
    ZDialogiem([this] { przekazKwoteDoEwidencji(); });
}

void Tfaktura_f::przekazKwoteDoEwidencji() {
    // The folder is kept even when the program is not found there, so that the user can fix it. The
    // settings program writes this file too, so the change is made under its lock, and the bytes
    // after the record stay.
    ZmienPodBlokada<TEwidencja>(pliki(), SciezkaPliku(SciezkaUstawienEwidencji),
                                [&](TEwidencja& ustawienia) { ustawienia.folder.ustaw(folder->text()); });

    const QString program = folder->text() + u'\\' + NazwaProgramu;
    if (!PlikIstnieje(pliki(), program)) {
        platforma().informacja(
            this, QStringLiteral("Informacja"),
            QStringLiteral("W podanej lokalizacji nie znaleziono programu Ewidencja sprzedzaży."));
        return;
    }

    const QString odniesienie = (ro2->isChecked() ? QStringLiteral("*I* ") : QStringLiteral("*F* ")) +
                                numerator->text() + u'/' + rozszerzenie->text();
    const WierszEwidencji wiersz =
        ZbudujWierszEwidencji(data_wystawienia->text(), kwota_brutto->text(), odniesienie);
    if (!wiersz.blad.isEmpty()) {
        platforma().informacja(this, QStringLiteral("Informacja"), wiersz.blad);
        return;
    }

    // The register program runs in its own folder and is not waited for.
    const QString rzeczywisty = QFileInfo(RzeczywistaSciezka(pliki(), program)).absoluteFilePath();
    const bool uruchomiony =
        platforma().uruchomProgram(rzeczywisty, wiersz.argumenty, KatalogNadrzedny(rzeczywisty));
    if (!uruchomiony) {
        platforma().informacja(
            this, QStringLiteral("Informacja"),
            QStringLiteral(
                "Nie udało się uruchomić programu Ewidencja sprzedaży (%1). Program dla Windows można "
                "uruchomić tylko wtedy, gdy zainstalowany jest program wine. Kwota nie została przekazana.")
                .arg(rzeczywisty));
        return;
    }
    Panel6->hide();
}

void Tfaktura_f::SpeedButton29Click() { Panel6->hide(); }
