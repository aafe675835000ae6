// Monthly summary: the gross amounts of one year's documents added up month by month, for all buyers
// or for one, shown as totals and as bars scaled to the largest month.
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/platforma.h"
#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "store/blad.h"
#include "store/cp1250.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

const QString Dowolny = QStringLiteral("Dowolny");

// About 200 B per read: the file is read at the speed of the disk cache, not one call per record.
constexpr std::size_t RekordowNaOdczyt = 64;

template <std::size_t N>
std::string_view Bajty(const TTekst<N>& tekst) {
    return {tekst.znaki, tekst.dlugoscTekstu()};
}

// A text to look for in the stored Windows-1250 bytes. Nothing is looked for when the text is empty
// (it occurs nowhere) or holds a character that no stored text can hold.
std::optional<QByteArray> Wzorzec(const QString& tekst) {
    QByteArray bajty = DoCp1250(tekst);
    if (bajty.isEmpty() || ZCp1250(bajty.constData(), bajty.size()) != tekst) return std::nullopt;
    return bajty;
}

bool Zawiera(std::string_view tekst, const std::optional<QByteArray>& wzorzec) {
    return wzorzec &&
           tekst.find(std::string_view(wzorzec->constData(), wzorzec->size())) != std::string_view::npos;
}

// What a document adds to its month: an invoice its gross total, a correction the change it makes,
// a record of another kind nothing.
double KwotaDokumentuZRekordu(const TDokument& d) {
    if (Rodzaj(d) == RodzajDokumentu::Inny) return 0;
    return SumujStawki(d, BezGrup{}).kwoty.doZaplaty;
}

// Whole number nearest to x, halves to even, kept within 0..maksimum; a negative or undefined
// amount gives 0.
int Pozycja(double x, int maksimum) {
    if (!(x > 0)) return 0;
    const double r = std::nearbyint(x);
    return r >= maksimum ? maksimum : static_cast<int>(r);
}

struct Paski {
    int maksimum = 0;
    std::array<int, 12> pozycje{};
};

// Bars from 0 to the largest total. A scale beyond what a bar can count is narrowed in proportion.
Paski PoliczPaski(const std::array<double, 12>& sumy, double skala) {
    constexpr int Granica = std::numeric_limits<int>::max();
    const double mnoznik = skala > Granica ? Granica / skala : 1.0;
    Paski paski;
    paski.maksimum = Pozycja(skala * mnoznik, Granica);
    for (std::size_t m = 0; m < 12; ++m) paski.pozycje[m] = Pozycja(sumy[m] * mnoznik, paski.maksimum);
    return paski;
}

}  // namespace

void Tfaktura_f::SpeedButton17Click() {
    Panel1->setEnabled(false);
    UstawTekst(Label60, QString());
    klienci->clear();
    klienci->setEditText(Dowolny);
    klienci->addItem(Dowolny);
    PokazNad(Panel5, MiejscePanelu5);
}

void Tfaktura_f::SpeedButton24Click() {
    ZDialogiem([this] {
        const std::optional<QString> wybrany = platforma().plikDoOtwarcia(this, OpenDialog2());
        if (!wybrany) return;
        CzytajBazeKlientow(*wybrany);
        QStringList nazwy;
        for (const auto& nazwa : BazaKlientow->odbiorca1)
            if (nazwa.dlugoscTekstu() > 0) nazwy << nazwa.tekst();
        klienci->addItems(nazwy);
    });
}

void Tfaktura_f::SpeedButton19Click() {
    SumyMiesiecy.fill(0);
    const QString klient = klienci->currentText();
    const bool dowolny = klient == Dowolny;
    const std::optional<QByteArray> rok = Wzorzec(lata->currentText());
    const std::optional<QByteArray> wzorzecKlienta = dowolny ? std::nullopt : Wzorzec(klient);
    bool cosPoliczone = false;

    KazdyRekord<TDokument>(
        pliki(), SciezkaPliku(SciezkaDokumentow), RekordowNaOdczyt, [&](const TDokument& d) {
            const std::string_view data = Bajty(d.data_wystawienia);
            if (!Zawiera(data, rok) || !(dowolny || Zawiera(Bajty(d.odbiorca1), wzorzecKlienta))) return;
            cosPoliczone = true;
            // There are twelve totals only: a date without a month 1..12 in its place adds to none.
            const int miesiac = MiesiacDaty(d.data_wystawienia);
            if (miesiac == 0) return;
            const double KwotaDokumentu = KwotaDokumentuZRekordu(d);
            SumyMiesiecy[miesiac - 1] += KwotaDokumentu;
        });

    if (cosPoliczone) {
        if (dowolny) {
            Label27->setText(QStringLiteral("Podliczenie dokumentów dla wszystkich klientów"));
        } else {
            Label27->setText(QStringLiteral("Podliczenie dokumentów dla wybranego klienta"));
            UstawTekst(Label60, klient);
        }
    }
    for (std::size_t m = 0; m < 12; ++m)
        UstawTekst(SumyMiesiecyEtykiety[m], TekstKwoty(SumyMiesiecy[m]) + QStringLiteral(" PLN"));
    double skala = 0;
    for (double suma : SumyMiesiecy)
        if (suma >= skala) skala = suma;
    UstawTekst(Label54, TekstKwoty(skala) + QStringLiteral(" PLN = 100%"));

    const Paski paski = PoliczPaski(SumyMiesiecy, skala);
    for (std::size_t m = 0; m < 12; ++m) {
        // A bar whose range is 0..0 shows a busy animation instead of an empty bar.
        PaskiMiesiecy[m]->setRange(0, std::max(paski.maksimum, 1));
        PaskiMiesiecy[m]->setValue(paski.pozycje[m]);
    }
}

void Tfaktura_f::SpeedButton18Click() {
    Panel5->hide();
    Panel1->setEnabled(true);
}
