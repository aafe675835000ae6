// The life of a document: a new invoice, a correction of the stored invoice shown, saving the form
// (appending a new document or replacing the stored one) and deleting the stored document shown.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <cstring>
#include <optional>

#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "calc/liczby.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_dokumentow.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/stan_ksef.h"
#include "store/uzupelnienia.h"

namespace {

// What went wrong after a change had already taken effect: the steps that keep the window in line
// with the files still run, and the user is told at the end what was done and what failed.
class BledyPoZmianie {
  public:
    explicit BledyPoZmianie(QString coZrobiono) : coZrobiono_(std::move(coZrobiono)) {}
    template <class F>
    void wykonaj(F krok) {
        try {
            krok();
        } catch (const BladPliku& blad) {
            dodaj(blad);
        }
    }
    void dodaj(const BladPliku& blad) {
        dodajCaly(blad.zPrzedrostkiem(coZrobiono_ + QStringLiteral(", ale ")));
    }
    // The message says all by itself.
    void dodajCaly(const BladPliku& blad) {
        if (!pierwszy_)
            pierwszy_ = blad;
        else
            dalsze_ << blad.komunikat();
    }
    // The last steps of the document file: a write that failed is a failed save, anything later a
    // failure after the save.
    void zakoncz(PlikDokumentow& plik) {
        const bool niedokonczony = plik.zapisNiedokonczony();
        try {
            plik.zakoncz();
        } catch (const BladPliku& blad) {
            niedokonczony ? dodajCaly(blad) : dodaj(blad);
        }
    }
    void zglos() const {
        if (!pierwszy_) return;
        if (dalsze_.isEmpty()) throw *pierwszy_;
        throw BladPliku::ZKomunikatem(pierwszy_->operacja(), pierwszy_->sciezka(), pierwszy_->kod(),
                                      pierwszy_->komunikat() + u'\n' + dalsze_.join(u'\n'));
    }

  private:
    QString coZrobiono_;
    std::optional<BladPliku> pierwszy_;
    QStringList dalsze_;
};

// The stored number of a sequence plus one; a text without leading digits counts as 0. When the
// document file holds a later document of the sequence than "faktura.dat" knows of (its number
// could not be recorded after it was saved), the proposal follows that document instead.
QString NastepnyNumer(const TTekst<10>& zapisany, const std::optional<QString>& ostatniWPliku) {
    std::int64_t numer = CalkowitaZTekstu(zapisany.tekst());
    if (ostatniWPliku) numer = std::max<std::int64_t>(numer, CalkowitaZTekstu(*ostatniWPliku));
    return QString::number(numer + 1);
}

// The number text of the last stored document of the sequence; nothing when the file cannot be read,
// which leaves the proposal to "faktura.dat" alone.
std::optional<QString> OstatniNumerWPliku(Tfaktura_f& okno, RodzajDokumentu rodzaj,
                                          const TTekst<20>& rozszerzenie) {
    try {
        return NumerOstatniegoDokumentu(
            okno.pliki(), okno.SciezkaPliku(SciezkaDokumentow),
            [rodzaj](const TDokument& d) { return Rodzaj(d) == rodzaj; }, rozszerzenie.tekst());
    } catch (const BladPliku&) {
        return std::nullopt;
    }
}

// "faktura.dat", created with a zero record when missing.
void CzytajUstawieniaFaktury(Tfaktura_f& okno) {
    okno.UstawieniaFaktury =
        ZapewnijICzytaj<TUstawieniaFaktury>(okno.pliki(), okno.SciezkaPliku(SciezkaUstawienFaktury));
}

// The standing parameters of the document just appended go back to "faktura.dat" under its lock:
// the place, the signature, and the number and suffix of the sequence of its kind; every other field
// as it is now on the disk, so that a document of the other sequence stored meanwhile on another
// workstation keeps its number and settings changed meanwhile (copies, footer) stay, and the bytes
// after the record stay too. Returns the record that was on the disk.
TUstawieniaFaktury ZapiszUstawieniaFaktury(Tfaktura_f& okno) {
    const bool korekta = JestKorekta(okno.Dokument);
    TUstawieniaFaktury zapisane{};
    const PlikZRekordem<TUstawieniaFaktury> naDysku = ZmienPodBlokada<TUstawieniaFaktury>(
        okno.pliki(), okno.SciezkaPliku(SciezkaUstawienFaktury), [&](TUstawieniaFaktury& u) {
            u.miejscowosc.ustaw(okno.miejscowosc->text());
            if (korekta) {
                u.numerator_korekty.ustaw(okno.numerator->text());
                u.rozszerzenie_korekty.ustaw(okno.rozszerzenie->text());
            } else {
                u.numerator.ustaw(okno.numerator->text());
                u.rozszerzenie.ustaw(okno.rozszerzenie->text());
            }
            u.podpis.ustaw(okno.podpis->text());
            zapisane = u;
        });
    okno.UstawieniaFaktury = zapisane;
    return *naDysku.rekord;
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

// The record at `pozycja` as it is now stored, read under the lock (so that no delete elsewhere can
// move it meanwhile), into Dokument. When it cannot be read, or its write failed half-way (the next
// change completes it from the journal), the form keeps the document as written, which is what the
// file holds or will hold.
void CzytajZapisany(Tfaktura_f& okno, PlikDokumentow& plik, std::int64_t pozycja, BledyPoZmianie& bledy) {
    bledy.wykonaj([&] {
        const TDokument zapisany = plik.czytaj(pozycja);
        if (std::memcmp(&zapisany, &okno.Dokument, sizeof zapisany) == 0) okno.Dokument = zapisany;
    });
}

// Tells the user which number another workstation stored while this one edited its document, so
// that a duplicate is noticed, never made silently.
void ZglosNumerInnegoStanowiska(Tfaktura_f& okno, const TUstawieniaFaktury& przeczytane,
                                const TUstawieniaFaktury& naDysku, bool korekta) {
    const TTekst<10>& przed = korekta ? przeczytane.numerator_korekty : przeczytane.numerator;
    const TTekst<10>& teraz = korekta ? naDysku.numerator_korekty : naDysku.numerator;
    if (przed.tekst() == teraz.tekst()) return;
    const QString rozszerzenie = (korekta ? naDysku.rozszerzenie_korekty : naDysku.rozszerzenie).tekst();
    okno.platforma().informacja(
        &okno, QStringLiteral("Informacja"),
        QStringLiteral(
            "W czasie edycji na innym stanowisku zapisano %1 nr %2/%3. Ten dokument został zapisany "
            "z numerem %4/%5; sprawdź, czy numery się nie powtarzają.")
            .arg(korekta ? QStringLiteral("fakturę korygującą") : QStringLiteral("fakturę"), teraz.tekst(),
                 rozszerzenie, okno.numerator->text(), okno.rozszerzenie->text()));
}

void DopiszDokument(Tfaktura_f& okno) {
    okno.PodstawDoPliku();
    std::optional<PlikDokumentow> plik(std::in_place, okno.pliki(), okno.SciezkaPliku(SciezkaDokumentow));
    const std::int64_t pozycja = plik->dopisz(okno.Dokument);

    // The document is stored from here on: whatever fails next, the form is the stored record at
    // PozycjaDokumentu, so that saving again replaces it instead of adding it twice. Deleting is
    // allowed only now; before, PozycjaDokumentu named another document.
    okno.PozycjaDokumentu = static_cast<std::int32_t>(pozycja);
    okno.StanZapisanegoDokumentu();
    BledyPoZmianie bledy(QStringLiteral("Dokument został zapisany"));
    if (!plik->zapisNiedokonczony()) CzytajZapisany(okno, *plik, pozycja, bledy);
    bledy.zakoncz(*plik);
    plik.reset();

    const bool korekta = JestKorekta(okno.Dokument);
    const TUstawieniaFaktury przeczytane = okno.UstawieniaFaktury;
    try {
        ZglosNumerInnegoStanowiska(okno, przeczytane, ZapiszUstawieniaFaktury(okno), korekta);
    } catch (const BladPliku& blad) {
        bledy.dodaj(BladPliku::ZKomunikatem(
            blad.operacja(), blad.sciezka(), blad.kod(),
            QStringLiteral("jego numeru nie udało się zapisać w ustawieniach. %1. Następny nowy dokument "
                           "otrzyma mimo to kolejny numer.")
                .arg(blad.komunikat())));
    }
    okno.SpeedButton6->setEnabled(true);
    // The document just saved is shown as stored: read back at its own position, not as the last
    // record, which another workstation may have appended since.
    okno.PokazWczytanyDokument();
    bledy.zglos();
}

void ZastapDokument(Tfaktura_f& okno) {
    okno.PodstawDoPliku();
    std::optional<PlikDokumentow> plik(std::in_place, okno.pliki(), okno.SciezkaPliku(SciezkaDokumentow));
    // Only the document the form was loaded from may be written over: a record changed or removed
    // meanwhile on another workstation is never overwritten, and an in-place save never appends.
    okno.PozycjaDokumentu = static_cast<std::int32_t>(plik->znajdz(
        okno.DokumentZPliku ? okno.PozycjaDokumentu : 0, okno.DokumentZPliku.value_or(TDokument{})));
    plik->zastap(okno.PozycjaDokumentu, okno.Dokument);
    okno.StanZapisanegoDokumentu();
    BledyPoZmianie bledy(QStringLiteral("Dokument został zapisany"));
    if (!plik->zapisNiedokonczony()) CzytajZapisany(okno, *plik, okno.PozycjaDokumentu, bledy);
    bledy.zakoncz(*plik);
    plik.reset();
    okno.PokazWczytanyDokument();
    bledy.zglos();
}

// A document that KSeF has, or may have, is the one the buyer receives from there: it is never
// changed in place nor deleted, only corrected. Nor is one issued offline, which the buyer already has. When
// its state cannot be read nothing is changed either, since it may have been sent. Returns true when the
// change is refused (and says why).
bool OdmowaZmianyWKsef(Tfaktura_f& okno, bool usuwanie) {
    // Nothing is read below a data root that was refused at start-up.
    if (okno.BladKataloguDanych) throw *okno.BladKataloguDanych;
    const TDokument& zapisany = okno.DokumentZPliku ? *okno.DokumentZPliku : okno.Dokument;
    std::optional<StanKsef> stan;
    try {
        stan = CzytajStanKsef(okno.pliki(), okno.KatalogDanych, NazwaDokumentu(zapisany));
    } catch (const BladPliku& blad) {
        throw blad.zPrzedrostkiem(usuwanie ? QStringLiteral("Dokument nie został usunięty, bo nie wiadomo, "
                                                            "czy jest w KSeF: ")
                                           : QStringLiteral("Zmiany nie zostały zapisane, bo nie wiadomo, "
                                                            "czy dokument jest w KSeF: "));
    }
    if (!stan || !(JestWKsef(*stan) || WystawionyOffline(*stan))) return false;
    const QString ktory =
        (JestKorekta(zapisany) ? QStringLiteral("Faktura korygująca %1") : QStringLiteral("Faktura %1"))
            .arg(NumerDokumentu(zapisany));
    // Issued offline: the buyer has it with codes naming its kept bytes, which a changed record would
    // no longer match.
    const QString dzien = zapisany.data_wystawienia.tekst().trimmed();
    const QString kiedy = dzien.isEmpty() ? QString() : u' ' + dzien;
    const QString gdzie =
        stan->stan == StanWysylki::Odrzucony
            ? QStringLiteral(
                  "%1 została wystawiona offline%2 i odrzucona przez KSeF; "
                  "wysyłanie ponowi ją jako korektę techniczną tej samej treści.")
                  .arg(ktory, kiedy)
        : WystawionyOffline(*stan)
            ? QStringLiteral("%1 została wystawiona offline%2 i czeka na wysłanie do KSeF.").arg(ktory, kiedy)
        : stan->numerKsef.isEmpty()
            ? QStringLiteral("%1 została wysłana do KSeF.").arg(ktory)
            : QStringLiteral("%1 jest w KSeF pod numerem %2.").arg(ktory, stan->numerKsef);
    const QString czego =
        usuwanie ? QStringLiteral("Nie można jej usunąć") : QStringLiteral("Nie można jej zmienić");
    okno.platforma().informacja(
        &okno, QStringLiteral("Informacja"),
        QStringLiteral("%1 %2; zamiast tego wystaw fakturę korygującą.").arg(gdzie, czego));
    return true;
}

}  // namespace

void Tfaktura_f::SpeedButton6Click() {
    StanNowejFaktury();
    SpeedButton6->setEnabled(false);
    UstawTekst(Label22, QStringLiteral("Edycja nowej faktury Vat"));
    SpeedButton9->setEnabled(false);

    UstawTekst(Label24, QString());
    Label25->setText(QStringLiteral("Tabelka dokumentu"));
    tabela->setEnabled(true);

    miejscowosc->clear();
    data_wystawienia->setText(DataDzisiaj);
    for (QLineEdit* pole :
         {odbiorca1, odbiorca2, odbiorca3, odbiorca4, nip_odbiorcy, podpis, szukaj, data_uslugi})
        pole->clear();
    for (QLabel* etykieta : {Label13, Label14, Label19, Label23}) UstawTekst(etykieta, QString());
    UstawTekst(Label17, QStringLiteral("0.00 PLN"));
    forma_zaplaty->setEditText(QString());
    termin_zaplaty->setEditText(QString());
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 6; ++c) tabela->ustawKomorke(c, r, QString());
        for (int c = 1; c <= 3; ++c) tabela_vat->ustawKomorke(c, r, QString());
    }

    CzytajUstawieniaFaktury(*this);
    zastosujUstawieniaFaktury(false);
    numerator->setText(
        NastepnyNumer(UstawieniaFaktury.numerator,
                      OstatniNumerWPliku(*this, RodzajDokumentu::Faktura, UstawieniaFaktury.rozszerzenie)));

    // The payment the settings program proposes; last, so that a file that cannot be read leaves
    // a new invoice with both fields empty and the error reported.
    const TUzupelnienia uzupelnienia =
        CzytajLubDomyslny<TUzupelnienia>(pliki(), SciezkaPliku(SciezkaUzupelnien));
    forma_zaplaty->setEditText(uzupelnienia.forma_zaplaty.tekst());
    termin_zaplaty->setEditText(uzupelnienia.termin_zaplaty.tekst());
}

void Tfaktura_f::SpeedButton9Click() {
    UstawTekst(Label22, QStringLiteral("Edycja korygowanej faktury Vat"));
    // Spelt without "ą" on purpose: a correction being edited reads so until it is stored, when
    // the stored kind shows "korygująca".
    UstawTekst(Label23, QStringLiteral("korygujaca"));
    StanNowejKorekty();
    SpeedButton9->setEnabled(false);

    UstawTekst(Label24, NumerDokumentu(Dokument).left(31));
    UstawTabele(KolorKorekty, QStringLiteral("Tabelka korekty"), true);

    CzytajUstawieniaFaktury(*this);
    rozszerzenie->setText(UstawieniaFaktury.rozszerzenie_korekty.tekst());
    numerator->setText(NastepnyNumer(
        UstawieniaFaktury.numerator_korekty,
        OstatniNumerWPliku(*this, RodzajDokumentu::Korekta, UstawieniaFaktury.rozszerzenie_korekty)));
}

void Tfaktura_f::SpeedButton2Click() {
    // The refresh brings the button in line only at its next tick; the invoice's tables shown
    // before a correction must not be stored as the correction meanwhile.
    if (!ZapisDozwolony) return;
    if (!NowyDokument && OdmowaZmianyWKsef(*this, false)) return;
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
    if (OdmowaZmianyWKsef(*this, true)) return;
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

    std::optional<PlikDokumentow> plik(std::in_place, pliki_, dokumenty);
    // Under the lock, as it is now: another workstation may have deleted meanwhile.
    if (plik->liczbaRekordow() <= 1) {
        plik.reset();
        platforma_.informacja(this, QStringLiteral("Informacja"),
                              QStringLiteral("Nie można usunąć ostatniego wpisu"));
        return;
    }
    // Only the document the form was loaded from is removed, never one that took its place.
    PozycjaDokumentu = static_cast<std::int32_t>(
        plik->znajdz(DokumentZPliku ? PozycjaDokumentu : 0, DokumentZPliku.value_or(TDokument{})));
    // The flags change only once the file has changed: a failed delete leaves the stored document
    // shown as it was, a correction still a correction.
    plik->przebudujBez(PozycjaDokumentu, SciezkaPliku(SciezkaNowychDokumentow));
    // Until the last record is shown the form is tied to no record: an in-place save and another
    // delete are refused.
    PozycjaDokumentu = 0;
    DokumentZPliku.reset();
    // The last record is shown as an editable document, also when the invoice's tables of a
    // correction were shown.
    StanBezDokumentu();
    BledyPoZmianie bledy(QStringLiteral("Dokument został usunięty"));
    bledy.zakoncz(*plik);
    plik.reset();
    bledy.wykonaj([this] { CzytajOstatniDokument(); });
    bledy.zglos();
}
