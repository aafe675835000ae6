// The life of a document: a new invoice, a correction of the stored invoice shown, saving the form
// (appending a new document or replacing the stored one) and deleting the stored document shown.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <exception>

#include "app/faktura_f.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "calc/liczby.h"
#include "store/blad.h"
#include "store/plik_dokumentow.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

// Lets the steps that keep the window in line with the files run after a failure; the first error
// is reported at the end.
class OdlozonyBlad {
  public:
    template <class F>
    void wykonaj(F krok) {
        try {
            krok();
        } catch (...) {
            if (!blad_) blad_ = std::current_exception();
        }
    }
    void zglos() const {
        if (blad_) std::rethrow_exception(blad_);
    }

  private:
    std::exception_ptr blad_;
};

// The stored number of a sequence plus one; a text without leading digits counts as 0.
QString NastepnyNumer(const TTekst<10>& zapisany) {
    return QString::number(static_cast<qint64>(CalkowitaZTekstu(zapisany.tekst())) + 1);
}

// "faktura.dat", created with a zero record when missing.
void CzytajUstawieniaFaktury(Tfaktura_f& okno) {
    okno.UstawieniaFaktury =
        ZapewnijICzytaj<TUstawieniaFaktury>(okno.pliki(), okno.SciezkaPliku(SciezkaUstawienFaktury));
}

// The standing parameters of the document just appended go back to "faktura.dat": the place, the
// signature, and the number and suffix of the sequence of its kind.
void ZapiszUstawieniaFaktury(Tfaktura_f& okno) {
    TUstawieniaFaktury ustawienia = okno.UstawieniaFaktury;
    ustawienia.miejscowosc.ustaw(okno.miejscowosc->text());
    const QString rodzaj = okno.Dokument.rodzaj.tekst();
    if (rodzaj == QLatin1String("F")) {
        ustawienia.numerator.ustaw(okno.numerator->text());
        ustawienia.rozszerzenie.ustaw(okno.rozszerzenie->text());
    } else if (rodzaj == QLatin1String("K")) {
        ustawienia.numerator_korekty.ustaw(okno.numerator->text());
        ustawienia.rozszerzenie_korekty.ustaw(okno.rozszerzenie->text());
    }
    ustawienia.podpis.ustaw(okno.podpis->text());
    ZapiszRekordAtomowo(okno.pliki(), okno.SciezkaPliku(SciezkaUstawienFaktury), ustawienia);
    okno.UstawieniaFaktury = ustawienia;
}

// A non-zero amount of an item column becomes two decimals right-aligned in a field of the given
// width (a longer number is written whole); zero, an empty cell included, stays as typed.
void NormalizujKolumne(Siatka* tabela, int kolumna, int szerokosc) {
    for (int r = 1; r <= 3; ++r) {
        const double wartosc = LiczbaZTekstu(tabela->komorka(kolumna, r));
        if (wartosc == 0) continue;
        QString tekst = TekstKwoty(wartosc).trimmed();
        if (tekst == QStringView(TekstPozaZakresem)) tekst = QString::number(wartosc, 'f', 2);
        tabela->ustawKomorke(kolumna, r, tekst.rightJustified(szerokosc));
    }
}

QString PytanieOZapis(bool nowyDokument, bool korekta) {
    if (nowyDokument)
        return korekta ? QStringLiteral("Zapisać nową fakturę korygującą ?")
                       : QStringLiteral("Zapisać nową fakturę ?");
    return korekta ? QStringLiteral("Zapisać zmiany w fakturze korygującej ?")
                   : QStringLiteral("Zapisać zmiany w fakturze ?");
}

// The record at `pozycja` (from 1) of an open document file, or an error when there is none: a
// write there must never become an append.
void SprawdzPozycje(PlikRekordow& plik, std::int64_t pozycja) {
    if (pozycja < 1 || pozycja > plik.liczbaRekordow())
        throw BladPliku(QStringLiteral("zapis"), plik.sciezka(), 0,
                        QStringLiteral("pokazany dokument nie odpowiada żadnemu zapisanemu (pozycja %1); "
                                       "wczytaj go ponownie z listy faktur")
                            .arg(pozycja));
}

void DopiszDokument(Tfaktura_f& okno) {
    PlikRekordow plik(okno.pliki(), okno.SciezkaPliku(SciezkaDokumentow), sizeof(TDokument));
    plik.otworz();
    okno.PodstawDoPliku();
    const std::int64_t n = plik.liczbaRekordow();
    if (n >= INT32_MAX)
        throw BladPliku(QStringLiteral("zapis"), plik.sciezka(), 0,
                        QStringLiteral("plik dokumentów jest pełny"));
    plik.szukaj(n);
    okno.PozycjaDokumentu = static_cast<std::int32_t>(n + 1);
    plik.zapisz(okno.Dokument);

    // The document is in the file from here on: whatever fails next, the form is the stored
    // record at PozycjaDokumentu, so that saving again replaces it instead of adding it twice.
    // Deleting is allowed only now; before, PozycjaDokumentu named another document.
    okno.NowyDokument = false;
    okno.UsuwanieDozwolone = true;
    OdlozonyBlad blad;
    blad.wykonaj([&plik] { plik.synchronizuj(); });
    blad.wykonaj([&plik] { plik.zamknij(); });
    blad.wykonaj([&okno] { ZapiszUstawieniaFaktury(okno); });
    okno.SpeedButton6->setEnabled(true);
    okno.CzytajOstatniDokument();
    blad.zglos();
}

void ZastapDokument(Tfaktura_f& okno) {
    const QString sciezka = okno.SciezkaPliku(SciezkaDokumentow);
    {
        PlikRekordow plik(okno.pliki(), sciezka, sizeof(TDokument));
        plik.otworz();
        okno.PodstawDoPliku();
        SprawdzPozycje(plik, okno.PozycjaDokumentu);
        plik.szukaj(okno.PozycjaDokumentu - 1);
        plik.zapisz(okno.Dokument);
        okno.UsuwanieDozwolone = true;
        plik.synchronizuj();
        plik.zamknij();
    }
    PlikRekordow plik(okno.pliki(), sciezka, sizeof(TDokument));
    plik.otworzDoOdczytu();
    plik.szukaj(okno.PozycjaDokumentu - 1);
    // Read whole before it replaces Dokument, which holds the tables the form does not show.
    TDokument zapisany{};
    plik.czytaj(zapisany);
    okno.Dokument = zapisany;
    okno.PokazWczytanyDokument();
    plik.zamknij();
}

}  // namespace

void Tfaktura_f::SpeedButton6Click() {
    NowyDokument = true;
    SpeedButton6->setEnabled(false);
    Label22->setText(QStringLiteral("Edycja nowej faktury Vat"));
    ZapisDozwolony = true;
    Korekta = false;
    UsuwanieDozwolone = false;
    SpeedButton9->setEnabled(false);

    Label24->clear();
    Label25->setText(QStringLiteral("Tabelka dokumentu"));
    tabela->setEnabled(true);

    miejscowosc->clear();
    data_wystawienia->setText(DataDzisiaj);
    for (QLineEdit* pole :
         {odbiorca1, odbiorca2, odbiorca3, odbiorca4, nip_odbiorcy, podpis, szukaj, data_uslugi})
        pole->clear();
    for (QLabel* etykieta : {Label13, Label14, Label19, Label23}) etykieta->clear();
    Label17->setText(QStringLiteral("0.00 PLN"));
    forma_zaplaty->setEditText(QString());
    termin_zaplaty->setEditText(QString());
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 6; ++c) tabela->ustawKomorke(c, r, QString());
        for (int c = 1; c <= 3; ++c) tabela_vat->ustawKomorke(c, r, QString());
    }

    CzytajUstawieniaFaktury(*this);
    zastosujUstawieniaFaktury(false);
    numerator->setText(NastepnyNumer(UstawieniaFaktury.numerator));
}

void Tfaktura_f::SpeedButton9Click() {
    Label22->setText(QStringLiteral("Edycja korygowanej faktury Vat"));
    // Spelt without "ą" on purpose: a correction being edited reads so until it is stored, when
    // the stored kind shows "korygująca".
    Label23->setText(QStringLiteral("korygujaca"));
    Korekta = true;
    UsuwanieDozwolone = false;
    SpeedButton9->setEnabled(false);
    NowyDokument = true;

    Label24->setText(
        (Dokument.numerator.tekst() + QLatin1Char('/') + Dokument.rozszerzenie.tekst()).left(31));
    UstawTabele(KolorKorekty, QStringLiteral("Tabelka korekty"), true);

    CzytajUstawieniaFaktury(*this);
    rozszerzenie->setText(UstawieniaFaktury.rozszerzenie_korekty.tekst());
    numerator->setText(NastepnyNumer(UstawieniaFaktury.numerator_korekty));
}

void Tfaktura_f::SpeedButton2Click() {
    // The refresh brings the button in line only at its next tick; the invoice's tables shown
    // before a correction must not be stored as the correction meanwhile.
    if (!ZapisDozwolony) return;
    if (!platforma_.pytanie(this, QStringLiteral("Pytanie"), PytanieOZapis(NowyDokument, Korekta))) return;
    NormalizujKolumne(tabela, 4, 7);
    NormalizujKolumne(tabela, 5, 8);
    if (NowyDokument)
        DopiszDokument(*this);
    else
        ZastapDokument(*this);
}

void Tfaktura_f::SpeedButton8Click() {
    // As with saving: a new document may be shown already while the button is still enabled.
    if (!UsuwanieDozwolone) return;
    const QString dokumenty = SciezkaPliku(SciezkaDokumentow);
    std::int64_t n = 0;
    {
        PlikRekordow plik(pliki_, dokumenty, sizeof(TDokument));
        plik.otworzDoOdczytu();
        n = plik.liczbaRekordow();
        plik.zamknij();
    }
    if (n <= 1) {
        platforma_.informacja(this, QStringLiteral("Informacja"),
                              QStringLiteral("Nie można usunąć ostatniego wpisu"));
        return;
    }
    if (!platforma_.pytanie(this, QStringLiteral("Pytanie"), QStringLiteral("Usunąć dokument ?"))) return;

    // The flags change only once the file has changed: a failed delete leaves the stored document
    // shown as it was, a correction still a correction.
    PrzebudujBezRekordu(pliki_, dokumenty, SciezkaPliku(SciezkaNowychDokumentow), PozycjaDokumentu);
    // Until the last record is shown the form is tied to no record: an in-place save is refused.
    PozycjaDokumentu = 0;
    NowyDokument = false;
    Korekta = false;
    // The last record is shown as an editable document, also when the invoice's tables of a
    // correction were shown.
    ZapisDozwolony = true;
    OdlozonyBlad blad;
    blad.wykonaj([this, &dokumenty] {
        pliki_.synchronizujKatalog(KatalogNadrzedny(RzeczywistaSciezka(pliki_, dokumenty)));
    });
    CzytajOstatniDokument();
    blad.zglos();
}
