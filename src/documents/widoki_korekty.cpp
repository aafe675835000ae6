// The two views of a correction: the invoice's tables as they were before it (navy, read-only) and
// the corrected tables (red, editable). Both move tables between Dokument and the grids only; the
// file is written by saving.
#include <QLabel>

#include "app/faktura_f.h"
#include "app/siatka.h"

namespace {

void UstawWidok(Tfaktura_f& okno, std::int32_t kolor, const QString& tytul, bool edycja) {
    okno.UstawTabele(kolor, tytul, edycja);
    okno.StanWidokuKorekty(edycja);
}

}  // namespace

void Tfaktura_f::SpeedButton15Click() {
    // Only this view makes the item grid read-only. Pressed again, the grids hold the invoice's
    // tables, which must not be kept as the correction.
    const bool widokFakturyPokazany = !tabela->isEnabled();
    UstawWidok(*this, KolorFaktury, QStringLiteral("Tabelka faktury"), false);
    if (widokFakturyPokazany) return;
    TabeleDoRekordu(Dokument.pozycje_korekty, Dokument.stawki_korekty);
    RekordDoTabel(Dokument.pozycje, Dokument.stawki);
}

void Tfaktura_f::SpeedButton16Click() {
    UstawWidok(*this, KolorKorekty, QStringLiteral("Tabelka korekty"), true);
    RekordDoTabel(Dokument.pozycje_korekty, Dokument.stawki_korekty);
}
