#pragma once
// The main window: the invoice form, the button column, the hidden working panels, the two timers
// and all the state that the operations share. The controls are the state: operations read and
// write them directly, and pure work is done by calc/ and store/.
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "calc/dokument.h"
#include "store/blad.h"
#include "store/naglowek.h"
#include "store/rekordy.h"

class QCalendarWidget;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class ListaLinii;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class QTimer;
class QToolButton;
class Platforma;
class Siatka;
class SystemPlikow;
class Tfont_f;
struct OpisDialoguPliku;

// Which list the pick-list panel holds.
enum class RodzajListy : std::uint8_t { Brak = 0, Klienci = 1, Uslugi = 2, Dokumenty = 3 };

class Tfaktura_f : public QWidget {
    Q_OBJECT
  public:
    // Creating the window runs the start-up sequence.
    Tfaktura_f(Platforma& platforma, SystemPlikow& pliki, QWidget* rodzic = nullptr);
    ~Tfaktura_f() override;

    // ---- Top level ----------------------------------------------------------------------------
    QLabel* Label2;  // clock
    QTimer* Timer1;  // clock, 100 ms
    QTimer* Timer2;  // button states and recalculation, 100 ms

    // ---- Panel1: the button column ------------------------------------------------------------
    QFrame* Panel1;
    QLabel* Label10;
    QLabel* Image1;
    QToolButton* SpeedButton21;  // "Zapisz szablon"
    QToolButton* SpeedButton22;  // "Wstaw szablon"
    QToolButton* SpeedButton23;  // "Usuń szablon"
    QToolButton* SpeedButton28;  // "Ewidencja"
    QToolButton* SpeedButton20;  // "Drukuj"
    QToolButton* SpeedButton17;  // "Podliczenie"
    QToolButton* SpeedButton9;   // "Korekta faktury"
    QToolButton* SpeedButton8;   // "Usuń fakturę"
    QToolButton* SpeedButton3;   // "Wczytaj fakturę"
    QToolButton* SpeedButton2;   // "Zapisz fakturę"
    QToolButton* SpeedButton6;   // "Nowa faktura"
    QToolButton* SpeedButton4;   // "Pomoc"
    QToolButton* SpeedButton1;   // "Zamknij moduł"

    // ---- Panel2: the invoice form -------------------------------------------------------------
    QFrame* Panel2;
    QLabel* Label1;
    QLineEdit* miejscowosc;
    QLabel* Label3;
    QLineEdit* data_wystawienia;
    QLabel* Label4;
    QLineEdit* numerator;
    QLabel* Label5;
    QLineEdit* rozszerzenie;
    QLabel* Label23;  // "korygująca" under the title
    QLabel* Label13;  // copy marker
    QLabel* Label24;  // number of the corrected invoice
    QLabel* Label6;
    QLineEdit* odbiorca1;
    QLineEdit* odbiorca2;
    QLineEdit* odbiorca3;
    QLineEdit* odbiorca4;
    QLabel* Label7;
    QLineEdit* nip_odbiorcy;
    QToolButton* SpeedButton5;  // "?" client list
    QLabel* Label8;
    QComboBox* forma_zaplaty;
    QLabel* Label9;
    QLineEdit* data_uslugi;
    QToolButton* SpeedButton7;  // "?" calendar
    QCalendarWidget* MonthCalendar1;
    QLabel* Label11;
    QComboBox* termin_zaplaty;
    QLabel* Label12;
    QLineEdit* podpis;
    QLabel* Label25;  // title of the item grid
    Siatka* tabela;
    QLabel* Label15;
    Siatka* tabela_vat;
    QToolButton* SpeedButton15;  // "Pokaż przed korektą"
    QToolButton* SpeedButton16;  // "Pokaż po korekcie"
    QToolButton* SpeedButton13;  // "Usługi"
    QLabel* Label16;
    QLabel* Label17;  // total
    QLabel* Label18;
    QLabel* Label19;  // total in words, złote
    QLabel* Label58;  // total in words, grosze
    QLabel* Label14;  // printout footer
    QLabel* Label55;  // seller lines 1..3
    QLabel* Label56;
    QLabel* Label57;
    QLabel* Label22;  // status: what the form holds
    QLabel* Label26;  // note shown for a correction

    // ---- Panel3: pick list (over the form) ----------------------------------------------------
    QFrame* Panel3;
    QLabel* Label20;
    ListaLinii* lista;
    QLineEdit* szukaj;
    QToolButton* SpeedButton12;  // magnifier
    QLabel* Label21;
    QToolButton* SpeedButton11;  // "Wstaw"
    QToolButton* SpeedButton10;  // "Powrót"

    // ---- Panel4: help -------------------------------------------------------------------------
    QFrame* Panel4;
    QPlainTextEdit* Memo1;
    QToolButton* SpeedButton14;  // "Koniec pomocy"

    // ---- Panel5: monthly summary --------------------------------------------------------------
    QFrame* Panel5;
    QLabel* Label27;
    QLabel* Label60;
    std::array<QLabel*, 12> NazwyMiesiecy;         // Label41, Label43..Label52, Label42
    std::array<QProgressBar*, 12> PaskiMiesiecy;   // ProgressBar1..ProgressBar12
    std::array<QLabel*, 12> SumyMiesiecyEtykiety;  // Label29..Label40
    QLabel* Label53;
    QLabel* Label54;
    QLabel* Label28;
    QComboBox* lata;
    QLabel* Label59;
    QComboBox* klienci;
    QToolButton* SpeedButton24;  // "?" buyer names
    QToolButton* SpeedButton19;  // "Wylicz"
    QToolButton* SpeedButton18;  // "Powrót"

    // ---- Panel6: sales-register hand-off ------------------------------------------------------
    QFrame* Panel6;
    QLabel* Label61;
    QLabel* Label92;
    QLabel* Image5;
    QLabel* Label74;
    QLineEdit* folder;
    QToolButton* SpeedButton27;
    QLabel* Label75;
    QLineEdit* kwota_brutto;
    QLabel* Label88;
    QRadioButton* ro1;
    QRadioButton* ro2;
    QToolButton* SpeedButton30;  // "Wykonaj"
    QToolButton* SpeedButton29;  // "Zaniechaj"

    // ---- Window state -------------------------------------------------------------------------
    QString KatalogDanych;
    // Why "siec.dat" names no usable data root; while set, no data file is opened (SciezkaPliku).
    std::optional<BladPliku> BladKataloguDanych;
    TDokument Dokument{};
    // The record as it was read from the file when it was shown (nothing while the form is tied to
    // no record): an in-place save or a delete goes ahead only while the file still holds exactly it.
    std::optional<TDokument> DokumentZPliku;
    std::int32_t PozycjaDokumentu = 0;
    // The document flags: read anywhere, set only by the transitions below.
    bool Korekta = false;
    bool NowyDokument = false;
    bool ZapisDozwolony = false;
    bool UsuwanieDozwolone = false;
    QString DataDzisiaj;
    TUstawieniaSieci UstawieniaSieci{};
    TUstawieniaFaktury UstawieniaFaktury{};
    std::int32_t LiczbaKopii = 0;
    TDaneFirmy DaneFirmy{};
    QString LiniaFirmy1, LiniaFirmy2, LiniaFirmy3;
    QString KwotaDoZaplaty;
    RodzajListy TrybListy = RodzajListy::Brak;
    std::unique_ptr<TBazaKlientow> BazaKlientow;  // one buffer for the whole run
    std::unique_ptr<TBazaUslug> BazaUslug;
    std::vector<int> SlotyListy;  // slot of each line of `lista` (clients, services)
    // The document flags held when the invoice list opened. Opening it clears them, but the form
    // keeps its document until a line is taken, so "Powrót" puts them back.
    struct StanDokumentu {
        bool NowyDokument, Korekta, ZapisDozwolony, UsuwanieDozwolone, NowaFakturaWlaczona;
    };
    std::optional<StanDokumentu> StanPrzedListaFaktur;

    // The transitions of the form's state, each setting all four document flags
    // (app/flagi_dokumentu.cpp).
    // No record chosen yet, counted as a stored invoice: start-up before the last record is read,
    // the list of documents open, a delete until the new last record is shown.
    void StanBezDokumentu();
    // A stored invoice or correction shown.
    void StanWczytanegoDokumentu(bool korekta);
    // The form's document just stored, of the kind it was made as.
    void StanZapisanegoDokumentu();
    void StanNowejFaktury();
    void StanNowejKorekty();
    // The correction views: the invoice's tables before it (not to be saved) or the corrected ones.
    void StanWidokuKorekty(bool edycja);
    // A template inserted is an invoice.
    void StanFakturyZSzablonu();
    // The list of documents left without a choice.
    void PrzywrocStanDokumentu(const StanDokumentu& stan);
    TSzablon Szablon{};
    std::array<double, 12> SumyMiesiecy{};
    Tfont_f* font_f = nullptr;  // the hidden font window, created with this one and owned by it

    // Where the working panels and the calendar appear over the form; the handlers that show them
    // put them there.
    static constexpr QRect MiejscePanelu3{4, 4, 678, 618};
    static constexpr QRect MiejscePanelu4{71, 108, 689, 337};
    static constexpr QRect MiejscePanelu5{10, 8, 682, 625};
    static constexpr QRect MiejscePanelu6{201, 123, 526, 279};
    static constexpr QRect MiejsceKalendarza{419, 93, 254, 154};
    static void PokazNad(QWidget* panel, const QRect& miejsce);

    // ---- Event handlers (each connected to its control in app/zdarzenia.cpp) -----------------
    // Start-up, closing, help and clock (app/faktura_f.cpp)
    void FormCreate();
    void FormCloseQuery();
    void SpeedButton1Click();  // "Zamknij moduł"
    void Wygaszaj();
    void SpeedButton4Click();   // "Pomoc"
    void SpeedButton14Click();  // "Koniec pomocy"
    void Timer1Timer();
    // Refresh of button states, VAT summary, total and words (app/odswiezanie.cpp)
    void Timer2Timer();
    // Document lifecycle (documents/)
    void SpeedButton6Click();  // "Nowa faktura"
    void SpeedButton9Click();  // "Korekta faktury"
    void SpeedButton2Click();  // "Zapisz fakturę"
    void SpeedButton8Click();  // "Usuń fakturę"
    // Correction views (documents/)
    void SpeedButton15Click();  // "Pokaż przed korektą"
    void SpeedButton16Click();  // "Pokaż po korekcie"
    // Pick list, client and service lists (registers/)
    void SpeedButton3Click();   // "Wczytaj fakturę"
    void SpeedButton12Click();  // search
    void SpeedButton11Click();  // "Wstaw"
    void listaDblClick();
    void SpeedButton10Click();  // "Powrót"
    void SpeedButton5Click();   // client list
    void odbiorca1DblClick();
    void odbiorca2DblClick();
    void odbiorca3DblClick();
    void odbiorca4DblClick();
    void SpeedButton13Click();  // service list
    void tabelaDblClick();
    // Monthly summary (registers/)
    void SpeedButton17Click();  // "Podliczenie"
    void SpeedButton24Click();  // "?" buyer names
    void SpeedButton19Click();  // "Wylicz"
    void SpeedButton18Click();  // "Powrót"
    // Sales-register hand-off (registers/)
    void SpeedButton28Click();  // "Ewidencja"
    void SpeedButton27Click();  // "?" program file
    void SpeedButton30Click();  // "Wykonaj"
    void SpeedButton29Click();  // "Zaniechaj"
    // Printing and templates (print/)
    void SpeedButton20Click();  // "Drukuj"
    void SpeedButton21Click();  // "Zapisz szablon"
    void SpeedButton22Click();  // "Wstaw szablon"
    void SpeedButton23Click();  // "Usuń szablon"
    // Calendar date entry (documents/)
    void SpeedButton7Click();
    void MonthCalendar1DblClick();
    void MonthCalendar1KeyPress(int znak);

    // ---- Record and form ----------------------------------------------------------------------
    void PodstawDoPliku();
    void PodstawDoFormatki();
    void CzytajOstatniDokument();
    // The two grids against a record's pair of tables (the header row and the line numbers are
    // never stored).
    void TabeleDoRekordu(TabelaPozycji& pozycje, TabelaStawek& stawki) const;
    void RekordDoTabel(const TabelaPozycji& pozycje, const TabelaStawek& stawki);
    // After `Dokument` was read from the file: the form, the kind's presentation, the correction
    // button and the status line show the stored document.
    void PokazWczytanyDokument();
    // The grids' and their title's colour, the title, and whether the item grid can be edited.
    void UstawTabele(std::int32_t kolor, const QString& tytul, bool edycja);

    // Steps of the pick-list panel shared by the lists that fill it (registers/).
    void PokazPanelListy();
    // Copies the entry behind line `indeks` of a client or service list into the form.
    void WstawWpisBazy(int indeks);
    // The first record of a client list file into the window's one client buffer, in one read.
    void CzytajBazeKlientow(const QString& sciezka);
    // The client file dialog, shared by the client list and the summary's buyer names.
    static OpisDialoguPliku OpenDialog2();

    // The control that shows a header text of the document (an edit, or a combo box's edit text).
    QString TekstPola(PoleNaglowka pole) const;
    void UstawTekstPola(PoleNaglowka pole, const QString& tekst);

    // Runs one handler: any error is shown by the standard error report and the program goes on
    // with the state as far as the handler got.
    void Straz(const std::function<void()>& dzialanie);

    // Path of a data file: KatalogDanych followed by a relative path that begins with a backslash;
    // BladKataloguDanych when the data root was refused at start-up.
    QString SciezkaPliku(const QString& wzgledna) const;
    // File dialogs may leave the process elsewhere; operations set the working directory back.
    void PrzywrocKatalogRoboczy();
    // Runs an operation that shows file dialogs and sets the working directory back afterwards,
    // also when the operation fails (then the operation's error is the one reported).
    template <class F>
    auto ZDialogiem(F&& operacja) -> decltype(operacja());

    Platforma& platforma() { return platforma_; }
    SystemPlikow& pliki() { return pliki_; }

    // Colours of the item tables: navy for an invoice, red for a correction (0x00BBGGRR).
    static constexpr std::int32_t KolorFaktury = 0x800000;
    static constexpr std::int32_t KolorKorekty = 0x0000FF;
    // Font colour of a label in 0x00BBGGRR.
    static std::int32_t KolorCzcionki(const QLabel* etykieta);
    static void UstawKolorCzcionki(QLabel* etykieta, std::int32_t kolor);

  protected:
    void closeEvent(QCloseEvent* zdarzenie) override;

  private:
    // The window and its panels (app/budowa_okna.cpp).
    void zbudujOkno();
    void zbudujPanel1();
    void zbudujPanel2();
    void zbudujNaglowek(QWidget* f);
    void zbudujOdbiorce(QWidget* f);
    void zbudujPlatnosc(QWidget* f);
    void zbudujTabele(QWidget* f);
    void zbudujKwoty(QWidget* f);
    void zbudujPanel3();
    void zbudujPanel4();
    void zbudujPanel5();
    void zbudujPanel6();
    void ustawKolejnoscTab();
    // The one table of events (app/zdarzenia.cpp).
    void polaczZdarzenia();

    void ustawFlagi(bool nowy, bool korekta, bool zapis, bool usuwanie);
    // Steps of the start-up sequence.
    void przygotujFormularz();
    void ustawDateDzisiaj();
    void czytajPlikiDanych();
    void pokazInnyKatalogDanych();
    void zastosujUstawieniaFaktury(bool zPodpowiedziaDrukowania);
    void zastosujDaneFirmy();
    void prezentacjaRodzaju(RodzajDokumentu rodzaj);
    void zamknijModul();
    void przekazKwoteDoEwidencji();
    void zapiszSzablon();
    void wstawSzablon();
    void usunSzablon();

    Platforma& platforma_;
    SystemPlikow& pliki_;
};

template <class F>
auto Tfaktura_f::ZDialogiem(F&& operacja) -> decltype(operacja()) {
    try {
        if constexpr (std::is_void_v<decltype(operacja())>) {
            operacja();
            PrzywrocKatalogRoboczy();
        } else {
            auto wynik = operacja();
            PrzywrocKatalogRoboczy();
            return wynik;
        }
    } catch (...) {
        try {
            PrzywrocKatalogRoboczy();
        } catch (...) {
            // The operation's own error is the one to report.
        }
        throw;
    }
}
