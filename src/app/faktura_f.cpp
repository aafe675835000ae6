#include "app/faktura_f.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <optional>

#include "app/etykiety.h"
#include "app/font_f.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "app/straz.h"
#include "calc/dokument.h"
#include "calc/liczby.h"
#include "print/kolory.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/plik_dokumentow.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

// Pictures and the help text are compiled into the static library, whose resources must be
// registered by hand.
static void ZaladujZasoby() { Q_INIT_RESOURCE(zasoby); }

Tfaktura_f::Tfaktura_f(Platforma& platforma, SystemPlikow& pliki, QWidget* rodzic)
    : QWidget(rodzic), platforma_(platforma), pliki_(pliki) {
    ZaladujZasoby();
    // The form is designed for Tahoma; where it is missing, the metric-alike sans face stands in.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
    zbudujOkno();
    // The hidden font window belongs to the main window, so the print command always finds it.
    font_f = new Tfont_f(platforma_, pliki_, this);
    polaczZdarzenia();
    Timer1->start();
    Timer2->start();
    Straz([this] { FormCreate(); });
}

Tfaktura_f::~Tfaktura_f() = default;

// ------------------------------------------------------------------------------------------------
// Start-up

void Tfaktura_f::FormCreate() {
    KatalogDanych = pliki_.katalogRoboczy();
    przygotujFormularz();
    ustawDateDzisiaj();
    czytajPlikiDanych();
}

// The state flags, the summary's years and months, and the form emptied and labelled.
void Tfaktura_f::przygotujFormularz() {
    UstawTekst(Label22, QStringLiteral("Wczytany ostatnio wystawiony dokument"));
    StanBezDokumentu();
    SpeedButton9->setEnabled(false);
    tabela->setEnabled(true);

    lata->clear();
    lata->setEditText(QString());
    for (int rok = 2009; rok <= 2020; ++rok) lata->addItem(QString::number(rok));
    lata->setCurrentIndex(-1);
    lata->setEditText(QString());
    for (QLabel* suma : SumyMiesiecyEtykiety) UstawTekst(suma, QStringLiteral("0.00 PLN"));

    for (QLineEdit* e : {miejscowosc, data_wystawienia, data_uslugi, odbiorca1, odbiorca2, odbiorca3,
                         odbiorca4, nip_odbiorcy, podpis})
        e->clear();
    UstawTekst(Label13, QString());
    UstawTekst(Label14, QString());
    UstawTekst(Label17, QStringLiteral("0.00 PLN"));
    for (QLabel* l : {Label19, Label23, Label24, Label54}) UstawTekst(l, QString());
    szukaj->clear();

    const char* const naglowki[7] = {"Lp", "Nazwa usługi", "PKWiU", "J.m", "Ilość", "Netto", "Vat"};
    for (int c = 0; c < 7; ++c) tabela->ustawKomorke(c, 0, QString::fromUtf8(naglowki[c]));
    for (int r = 1; r <= 3; ++r) tabela->ustawKomorke(0, r, QString::number(r));
    const char* const naglowkiVat[4] = {"Stawka", "Netto", "Kwota Vat", "Brutto"};
    for (int c = 0; c < 4; ++c) tabela_vat->ustawKomorke(c, 0, QString::fromUtf8(naglowkiVat[c]));

    const auto pozycje = [](QComboBox* lista, const QStringList& teksty) {
        lista->clear();
        lista->addItems(teksty);
        lista->setCurrentIndex(-1);
        lista->setEditText(QString());
    };
    pozycje(forma_zaplaty,
            {QStringLiteral("Gotówka"), QStringLiteral("Przelew"), QStringLiteral("Karta kredytowa")});
    pozycje(termin_zaplaty, {QStringLiteral("7 dni"), QStringLiteral("14 dni"), QStringLiteral("21 dni")});
}

void Tfaktura_f::ustawDateDzisiaj() {
    const QDate dzis = platforma_.teraz().date();
    DataDzisiaj = TekstDaty(dzis);
    data_wystawienia->setText(DataDzisiaj);
    MonthCalendar1->setSelectedDate(dzis);
}

// The data root, the files a first start creates, the settings, and the last stored document.
void Tfaktura_f::czytajPlikiDanych() {
    const KatalogDanychZUstawien katalog = UstalKatalogDanych(pliki_, KatalogDanych);
    UstawieniaSieci = katalog.ustawienia;
    KatalogDanych = katalog.katalog;
    if (katalog.blad) {
        BladKataloguDanych = katalog.blad;
        throw *katalog.blad;
    }
    pokazInnyKatalogDanych();
    UtworzDomyslneBazy(pliki_, KatalogDanych);

    UstawieniaFaktury = ZapewnijICzytaj<TUstawieniaFaktury>(pliki_, SciezkaPliku(SciezkaUstawienFaktury));
    zastosujUstawieniaFaktury(true);
    DaneFirmy = ZapewnijICzytaj<TDaneFirmy>(pliki_, SciezkaPliku(SciezkaDanychFirmy));
    zastosujDaneFirmy();
    // Read only to be sure that it can be; its content belongs to the suite.
    ZapewnijICzytaj<TInfo>(pliki_, SciezkaPliku(SciezkaInfo));

    ZapewnijPlik(pliki_, SciezkaPliku(SciezkaDokumentow), RekordPoczatkowy(DataDzisiaj));

    // What a crash left: a change to complete from the journal, this program's temporary files. A
    // failure here is reported, but the last document is shown all the same.
    std::optional<BladPliku> bladPorzadkow;
    try {
        DokonczPrzerwaneZmiany(pliki_, SciezkaPliku(SciezkaDokumentow));
    } catch (const BladPliku& blad) {
        bladPorzadkow = blad;
    }
    const QString biezacy = pliki_.katalogRoboczy();
    UsunPozostalosci(pliki_,
                     {SciezkaPliku(QStringLiteral("\\Admini")), SciezkaPliku(QStringLiteral("\\Uslugi")),
                      SciezkaDanych(biezacy, QStringLiteral("\\Admini")),
                      SciezkaDanych(biezacy, QStringLiteral("\\Szablony")),
                      SciezkaDanych(biezacy, QStringLiteral("\\FONT"))},
                     QDateTime::currentSecsSinceEpoch());

    CzytajOstatniDokument();
    // The start of the pad is no document: with nothing issued yet the form is a new invoice.
    if (JestPoczatkiemBloczka(Dokument)) SpeedButton6Click();
    if (bladPorzadkow) throw *bladPorzadkow;
}

// A data root elsewhere than the start folder is never used silently: the title names it, and a
// local path of "siec.dat" naming another folder (a copied or moved data folder still reading the
// original) is said at start-up. A network path is the workstations' deliberate choice.
void Tfaktura_f::pokazInnyKatalogDanych() {
    const QString startowy = pliki_.katalogRoboczy();
    if (!InnyKatalogDanych(pliki_, startowy, KatalogDanych)) return;
    setWindowTitle(QStringLiteral("Faktura — dane z folderu %1").arg(KatalogDanych));
    if (UstawieniaSieci.tryb == 1)
        platforma_.informacja(this, QStringLiteral("Informacja"),
                              OpisInnegoKataloguDanych(startowy, KatalogDanych));
}

void Tfaktura_f::zastosujUstawieniaFaktury(bool zPodpowiedziaDrukowania) {
    miejscowosc->setText(UstawieniaFaktury.miejscowosc.tekst());
    numerator->setText(UstawieniaFaktury.numerator.tekst());
    rozszerzenie->setText(UstawieniaFaktury.rozszerzenie.tekst());
    UstawTekst(Label13, UstawieniaFaktury.oznaczenie_kopii.tekst());
    podpis->setText(UstawieniaFaktury.podpis.tekst());
    LiczbaKopii = CalkowitaZTekstu(UstawieniaFaktury.liczba_kopii.tekst());
    UstawTekst(Label14, UstawieniaFaktury.stopka.tekst());
    if (zPodpowiedziaDrukowania)
        SpeedButton20->setToolTip(
            (QStringLiteral(" Wydruk faktury razy ") + UstawieniaFaktury.liczba_kopii.tekst()).left(24));
}

namespace {}  // namespace

void Tfaktura_f::zastosujDaneFirmy() {
    LiniaFirmy1 = DaneFirmy.linia1.tekst();
    LiniaFirmy2 = DaneFirmy.linia2.tekst();
    LiniaFirmy3 = DaneFirmy.linia3.tekst();
    const std::array<std::pair<QLabel*, const QString*>, 3> linie = {
        {{Label55, &LiniaFirmy1}, {Label56, &LiniaFirmy2}, {Label57, &LiniaFirmy3}}};
    for (const auto& [etykieta, linia] : linie) {
        UstawTekst(etykieta, PostacLiniiFirmy(*linia), *linia);
        etykieta->setToolTip(LiniaFirmySkrocona(*linia) ? *linia : QString());
    }
}

namespace {

// The edit of each header text; the two combo boxes carry theirs in their edit text.
struct KontrolkaPola {
    QLineEdit* pole = nullptr;
    QComboBox* lista = nullptr;
};

KontrolkaPola Kontrolka(const Tfaktura_f& o, PoleNaglowka p) {
    switch (p) {
        case PoleNaglowka::miejscowosc:
            return {o.miejscowosc};
        case PoleNaglowka::data_wystawienia:
            return {o.data_wystawienia};
        case PoleNaglowka::numerator:
            return {o.numerator};
        case PoleNaglowka::rozszerzenie:
            return {o.rozszerzenie};
        case PoleNaglowka::odbiorca1:
            return {o.odbiorca1};
        case PoleNaglowka::odbiorca2:
            return {o.odbiorca2};
        case PoleNaglowka::odbiorca3:
            return {o.odbiorca3};
        case PoleNaglowka::odbiorca4:
            return {o.odbiorca4};
        case PoleNaglowka::nip_odbiorcy:
            return {o.nip_odbiorcy};
        case PoleNaglowka::forma_zaplaty:
            return {nullptr, o.forma_zaplaty};
        case PoleNaglowka::data_uslugi:
            return {o.data_uslugi};
        case PoleNaglowka::termin_zaplaty:
            return {nullptr, o.termin_zaplaty};
        case PoleNaglowka::podpis:
            return {o.podpis};
    }
    return {};
}

}  // namespace

QString Tfaktura_f::TekstPola(PoleNaglowka pole) const {
    const KontrolkaPola k = Kontrolka(*this, pole);
    return k.pole ? k.pole->text() : k.lista->currentText();
}

void Tfaktura_f::UstawTekstPola(PoleNaglowka pole, const QString& tekst) {
    const KontrolkaPola k = Kontrolka(*this, pole);
    if (k.pole)
        k.pole->setText(tekst);
    else
        k.lista->setEditText(tekst);
}

QString Tfaktura_f::SciezkaPliku(const QString& wzgledna) const {
    if (BladKataloguDanych) throw *BladKataloguDanych;
    return SciezkaDanych(KatalogDanych, wzgledna);
}

void Tfaktura_f::PrzywrocKatalogRoboczy() {
    pliki_.ustawKatalogRoboczy(RzeczywistaSciezka(pliki_, KatalogDanych));
}

void Tfaktura_f::PokazNad(QWidget* panel, const QRect& miejsce) {
    panel->setGeometry(miejsce);
    panel->show();
    panel->raise();
}

// ------------------------------------------------------------------------------------------------
// Errors

void Tfaktura_f::Straz(const std::function<void()>& dzialanie) { ::Straz(platforma_, this, dzialanie); }

// ------------------------------------------------------------------------------------------------
// Clock, help, closing

void Tfaktura_f::Timer1Timer() {
    const QString czas = platforma_.teraz().time().toString(QStringLiteral("HH:mm:ss"));
    UstawTekst(Label2, czas);
}

void Tfaktura_f::SpeedButton4Click() { PokazNad(Panel4, MiejscePanelu4); }

void Tfaktura_f::SpeedButton14Click() { Panel4->hide(); }

void Tfaktura_f::closeEvent(QCloseEvent* zdarzenie) {
    // The close box never closes the window by itself: the question decides.
    zdarzenie->ignore();
    Straz([this] { FormCloseQuery(); });
}

void Tfaktura_f::FormCloseQuery() { zamknijModul(); }

void Tfaktura_f::SpeedButton1Click() { zamknijModul(); }

void Tfaktura_f::zamknijModul() {
    if (!platforma_.pytanie(this, QStringLiteral("Pytanie"), QStringLiteral("Koniec pracy ?"))) return;
    Wygaszaj();
    platforma_.zakonczProgram();
}

void Tfaktura_f::Wygaszaj() {
    for (int przezroczystosc = 255; przezroczystosc >= 10; przezroczystosc -= 5)
        setWindowOpacity(przezroczystosc / 255.0);
}

void Tfaktura_f::UstawKolorCzcionki(QLabel* etykieta, std::int32_t kolor) {
    const QColor q = KolorZTColor(kolor);
    if (etykieta->palette().color(QPalette::WindowText) == q) return;
    QPalette p = etykieta->palette();
    p.setColor(QPalette::WindowText, q);
    etykieta->setPalette(p);
}

std::int32_t Tfaktura_f::KolorCzcionki(const QLabel* etykieta) {
    return TColorZKoloru(etykieta->palette().color(QPalette::WindowText));
}
