// The window and its elements: the panels, their controls and geometry, as designed.
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "app/dostepnosc.h"
#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/jpeg.h"
#include "app/lista_linii.h"
#include "app/platforma.h"
#include "app/siatka.h"
#include "app/straz.h"
#include "calc/liczby.h"
#include "print/kolory.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

namespace {

const QColor KolorBordowy(128, 0, 0);

template <class W>
W* Utworz(QWidget* rodzic, const char* nazwa, const QRect& miejsce) {
    W* w = new W(rodzic);
    w->setObjectName(QString::fromLatin1(nazwa));
    w->setGeometry(miejsce);
    return w;
}

template <class L = QLabel>
L* Etykieta(QWidget* rodzic, const char* nazwa, const QRect& miejsce, const QString& tekst,
            Qt::Alignment wyrownanie = Qt::AlignLeft | Qt::AlignVCenter) {
    L* l = Utworz<L>(rodzic, nazwa, miejsce);
    l->setText(tekst);
    l->setAlignment(wyrownanie);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLineEdit* Pole(QWidget* rodzic, const char* nazwa, const QRect& miejsce, const QString& nazwaDostepna) {
    QLineEdit* e = Utworz<QLineEdit>(rodzic, nazwa, miejsce);
    e->setAccessibleName(nazwaDostepna);
    return e;
}

QComboBox* Lista(QWidget* rodzic, const char* nazwa, const QRect& miejsce, const QString& nazwaDostepna) {
    QComboBox* c = Utworz<QComboBox>(rodzic, nazwa, miejsce);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setAccessibleName(nazwaDostepna);
    c->lineEdit()->setAccessibleName(nazwaDostepna);
    c->view()->setAccessibleName(nazwaDostepna + QStringLiteral(", lista wyboru"));
    return c;
}

// A flat button with a picture and maroon text, as in the button column.
QToolButton* Przycisk(QWidget* rodzic, const char* nazwa, const QRect& miejsce, const QString& napis,
                      const QString& podpowiedz = {}, const QIcon& ikona = {}) {
    QToolButton* b = Utworz<QToolButton>(rodzic, nazwa, miejsce);
    b->setText(napis);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::StrongFocus);
    if (!ikona.isNull()) {
        b->setIcon(ikona);
        b->setToolButtonStyle(napis.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    }
    if (!podpowiedz.isEmpty()) b->setToolTip(podpowiedz);
    QPalette p = b->palette();
    p.setColor(QPalette::ButtonText, KolorBordowy);
    b->setPalette(p);
    return b;
}

QFrame* Panel(QWidget* rodzic, const char* nazwa, const QRect& miejsce, const QColor& tlo) {
    QFrame* f = Utworz<QFrame>(rodzic, nazwa, miejsce);
    f->setFrameShape(QFrame::StyledPanel);
    f->setAutoFillBackground(true);
    QPalette p = f->palette();
    p.setColor(QPalette::Window, tlo);
    f->setPalette(p);
    return f;
}

QIcon Ikona(QStyle::StandardPixmap rodzaj) { return QApplication::style()->standardIcon(rodzaj); }

// The pick list's search button shows a magnifier, which no standard icon offers.
QIcon IkonaLupy() {
    QPixmap obraz(20, 20);
    obraz.fill(Qt::transparent);
    QPainter p(&obraz);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(KolorBordowy, 2));
    p.drawEllipse(QRectF(2, 2, 11, 11));
    p.setPen(QPen(KolorBordowy, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(18, 18));
    return QIcon(obraz);
}

QPixmap ObrazZasobu(const QString& sciezka) {
    QFile plik(sciezka);
    if (!plik.open(QIODevice::ReadOnly)) return {};
    return QPixmap::fromImage(ObrazZJpeg(plik.readAll()));
}

const char* const NazwyMiesiecyTekst[12] = {"Styczeń",  "Luty",        "Marzec",   "Kwiecień",
                                            "Maj",      "Czerwiec",    "Lipiec",   "Sierpień",
                                            "Wrzesień", "Październik", "Listopad", "Grudzień"};

}  // namespace

// ------------------------------------------------------------------------------------------------
// The window and its elements

void Tfaktura_f::zbudujOkno() {
    setObjectName(QStringLiteral("faktura_f"));
    // No title of its own: the window system then shows the program's name, so that the taskbar
    // entry is not blank.
    setWindowTitle(QString());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(861, 641);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xEA, 0xEA, 0xEA));
    setPalette(p);

    Label2 = Etykieta(this, "Label2", QRect(776, 2, 80, 16), QStringLiteral("00:00:00"),
                      Qt::AlignRight | Qt::AlignVCenter);
    Label2->setAccessibleName(QStringLiteral("Zegar"));
    QPalette szary = Label2->palette();
    szary.setColor(QPalette::WindowText, Qt::gray);
    Label2->setPalette(szary);

    zbudujPanel2();
    zbudujPanel1();
    zbudujPanel4();
    zbudujPanel5();
    zbudujPanel6();
    ustawKolejnoscTab();
    // Labels with a name of their own show data; their value is their description from the start.
    for (QLabel* etykieta : findChildren<QLabel*>())
        if (!etykieta->accessibleName().isEmpty())
            etykieta->setAccessibleDescription(OpisWartosci(etykieta->text()));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);

    if (QScreen* ekran = screen()) move(ekran->availableGeometry().center() - rect().center());
}

void Tfaktura_f::zbudujPanel1() {
    Panel1 = Panel(this, "Panel1", QRect(698, 20, 159, 617), Qt::white);
    Label10 = Etykieta(Panel1, "Label10", QRect(8, 4, 143, 22), QStringLiteral("Faktura"), Qt::AlignCenter);
    QFont naglowek(QStringLiteral("Tahoma"), 12, QFont::Bold);
    Label10->setFont(naglowek);
    QPalette p = Label10->palette();
    p.setColor(QPalette::WindowText, KolorBordowy);
    Label10->setPalette(p);
    Image1 = Utworz<QLabel>(Panel1, "Image1", QRect(9, 30, 140, 80));
    Image1->setPixmap(ObrazZasobu(QStringLiteral(":/obraz1.jpg")));

    int y = 116;
    auto nastepny = [&y](const char* nazwa, QWidget* rodzic, const QString& napis, const QString& podpowiedz,
                         QStyle::StandardPixmap ikona) {
        QToolButton* b = Przycisk(rodzic, nazwa, QRect(8, y, 143, 34), napis, podpowiedz, Ikona(ikona));
        y += 38;
        return b;
    };
    SpeedButton21 = nastepny("SpeedButton21", Panel1, QStringLiteral("Zapisz szablon"),
                             QStringLiteral("Zapis obrazu dokumentu"), QStyle::SP_DialogSaveButton);
    SpeedButton22 = nastepny("SpeedButton22", Panel1, QStringLiteral("Wstaw szablon"),
                             QStringLiteral("Wstawienie zapamiętanego obrazu dokumentu"),
                             QStyle::SP_FileDialogContentsView);
    SpeedButton23 =
        nastepny("SpeedButton23", Panel1, QStringLiteral("Usuń szablon"), {}, QStyle::SP_TrashIcon);
    SpeedButton28 =
        nastepny("SpeedButton28", Panel1, QStringLiteral("Ewidencja"), {}, QStyle::SP_FileDialogDetailedView);
    SpeedButton20 = nastepny("SpeedButton20", Panel1, QStringLiteral("Drukuj"), {}, QStyle::SP_ComputerIcon);
    SpeedButton17 = nastepny("SpeedButton17", Panel1, QStringLiteral("Podliczenie"),
                             QStringLiteral("Zestawienie miesięczne kwot"), QStyle::SP_FileDialogInfoView);
    SpeedButton9 = nastepny("SpeedButton9", Panel1, QStringLiteral("Korekta faktury"),
                            QStringLiteral("Korygowanie wczytanej faktury"), QStyle::SP_BrowserReload);
    SpeedButton8 = nastepny("SpeedButton8", Panel1, QStringLiteral("Usuń fakturę"),
                            QStringLiteral("Usuwanie wczytanej faktury"), QStyle::SP_DialogDiscardButton);
    SpeedButton3 = nastepny("SpeedButton3", Panel1, QStringLiteral("Wczytaj fakturę"),
                            QStringLiteral("Wczytanie istniejącej faktury "), QStyle::SP_DialogOpenButton);
    SpeedButton2 =
        nastepny("SpeedButton2", Panel1, QStringLiteral("Zapisz fakturę"),
                 QStringLiteral("Zapis nowej lub poprawionej faktury"), QStyle::SP_DialogApplyButton);
    SpeedButton6 = nastepny("SpeedButton6", Panel1, QStringLiteral("Nowa faktura"),
                            QStringLiteral("Tworzenie nowej faktury Vat"), QStyle::SP_FileIcon);
    SpeedButton4 = nastepny("SpeedButton4", Panel1, QStringLiteral("Pomoc"), {}, QStyle::SP_DialogHelpButton);
    SpeedButton1 =
        nastepny("SpeedButton1", Panel1, QStringLiteral("Zamknij moduł"), {}, QStyle::SP_DialogCloseButton);
}

void Tfaktura_f::zbudujPanel2() {
    Panel2 = Panel(this, "Panel2", QRect(4, 4, 690, 633), QColor(0xEA, 0xEA, 0xEA));
    zbudujNaglowek(Panel2);
    zbudujOdbiorce(Panel2);
    zbudujPlatnosc(Panel2);
    zbudujTabele(Panel2);
    zbudujKwoty(Panel2);

    // The calendar is drawn over the header fields, so it is created after them.
    MonthCalendar1 = Utworz<QCalendarWidget>(Panel2, "MonthCalendar1", MiejsceKalendarza);
    MonthCalendar1->setGridVisible(false);
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthCalendar1->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    MonthCalendar1->setAccessibleName(QStringLiteral("Kalendarz"));
    NazwijWnetrzeKalendarza(MonthCalendar1);
    MonthCalendar1->hide();

    zbudujPanel3();
}

// Place and date of issue, the title line with number and suffix, and the labels beside it.
void Tfaktura_f::zbudujNaglowek(QWidget* f) {
    Label1 = Etykieta(f, "Label1", QRect(8, 10, 70, 16), QStringLiteral("Miejscowość"));
    miejscowosc = Pole(f, "miejscowosc", QRect(80, 8, 220, 21), QStringLiteral("Miejscowość"));
    Label3 = Etykieta(f, "Label3", QRect(320, 10, 60, 16), QStringLiteral("Data wyst."));
    data_wystawienia = Pole(f, "data_wystawienia", QRect(384, 8, 96, 21), QStringLiteral("Data wyst."));

    QFont tytul(QStringLiteral("Tahoma"), 11, QFont::Bold);
    Label4 = Etykieta(f, "Label4", QRect(8, 40, 124, 20), QStringLiteral("Faktura Vat nr"));
    Label4->setFont(tytul);
    numerator = Pole(f, "numerator", QRect(134, 38, 80, 23), QStringLiteral("Faktura Vat nr"));
    numerator->setFont(tytul);
    Label5 = Etykieta(f, "Label5", QRect(216, 40, 10, 20), QStringLiteral("/"), Qt::AlignCenter);
    Label5->setFont(tytul);
    rozszerzenie = Pole(f, "rozszerzenie", QRect(228, 38, 150, 23), QStringLiteral("Rozszerzenie numeru"));
    rozszerzenie->setFont(tytul);
    Label23 = Etykieta(f, "Label23", QRect(134, 64, 200, 16), QString());
    Label23->setAccessibleName(QStringLiteral("Rodzaj faktury"));
    Label13 = Etykieta(f, "Label13", QRect(390, 40, 290, 16), QStringLiteral("oryginał / kopia / duplikat"),
                       Qt::AlignRight | Qt::AlignVCenter);
    Label13->setAccessibleName(QStringLiteral("Oznaczenie kopii"));
    Label24 = Etykieta(f, "Label24", QRect(390, 62, 290, 16), QStringLiteral("Dotyczy faktury...."),
                       Qt::AlignRight | Qt::AlignVCenter);
    Label24->setAccessibleName(QStringLiteral("Dotyczy faktury"));
}

void Tfaktura_f::zbudujOdbiorce(QWidget* f) {
    Label6 = Etykieta(f, "Label6", QRect(8, 92, 70, 16), QStringLiteral("Odbiorca"));
    odbiorca1 = Pole(f, "odbiorca1", QRect(80, 90, 300, 21), QStringLiteral("Odbiorca, wiersz 1"));
    odbiorca2 = Pole(f, "odbiorca2", QRect(80, 113, 300, 21), QStringLiteral("Odbiorca, wiersz 2"));
    odbiorca3 = Pole(f, "odbiorca3", QRect(80, 136, 300, 21), QStringLiteral("Odbiorca, wiersz 3"));
    odbiorca4 = Pole(f, "odbiorca4", QRect(80, 159, 300, 21), QStringLiteral("Odbiorca, wiersz 4"));
    SpeedButton5 = Przycisk(f, "SpeedButton5", QRect(384, 90, 23, 21), QStringLiteral("?"),
                            QStringLiteral("Baza klientów"));
    Label7 = Etykieta(f, "Label7", QRect(8, 186, 70, 16), QStringLiteral("Nip"));
    nip_odbiorcy = Pole(f, "nip_odbiorcy", QRect(80, 184, 200, 21), QStringLiteral("Nip"));
}

// Payment form and term, date of service with its calendar button, and the signature.
void Tfaktura_f::zbudujPlatnosc(QWidget* f) {
    Label8 = Etykieta(f, "Label8", QRect(440, 96, 92, 16), QStringLiteral("Forma zapłaty"));
    forma_zaplaty = Lista(f, "forma_zaplaty", QRect(536, 94, 120, 21), QStringLiteral("Forma zapłaty"));
    Label11 = Etykieta(f, "Label11", QRect(440, 120, 92, 16), QStringLiteral("Termin płatności"));
    termin_zaplaty = Lista(f, "termin_zaplaty", QRect(536, 118, 120, 21), QStringLiteral("Termin płatności"));
    Label9 = Etykieta(f, "Label9", QRect(440, 146, 92, 16), QStringLiteral("Data usługi"));
    data_uslugi = Pole(f, "data_uslugi", QRect(536, 144, 96, 21), QStringLiteral("Data usługi"));
    SpeedButton7 = Przycisk(f, "SpeedButton7", QRect(634, 144, 23, 21), QStringLiteral("?"));
    SpeedButton7->setFont(QFont(QStringLiteral("Arial"), 8, QFont::Bold));
    SpeedButton7->setAccessibleName(QStringLiteral("Kalendarz daty usługi"));
    Label12 = Etykieta(f, "Label12", QRect(440, 172, 92, 16), QStringLiteral("Podpis wystawcy"));
    podpis = Pole(f, "podpis", QRect(536, 170, 140, 21), QStringLiteral("Podpis wystawcy"));
}

// The item grid with its buttons and the VAT summary grid.
void Tfaktura_f::zbudujTabele(QWidget* f) {
    const QFont staly(QStringLiteral("Courier New"), 8);
    Label25 = Etykieta(f, "Label25", QRect(8, 214, 300, 16), QStringLiteral("Tabelka dokumentu"));
    Label25->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
    tabela = new Siatka(7, 4, {22, 349, 76, 38, 51, 64, 35}, f);
    tabela->setObjectName(QStringLiteral("tabela"));
    tabela->setGeometry(8, 232, 639, 78);
    tabela->setFont(staly);
    tabela->setAccessibleName(QStringLiteral("Tabelka dokumentu"));
    tabela->setSelectionMode(QAbstractItemView::ContiguousSelection);
    tabela->setEditTriggers(QAbstractItemView::AllEditTriggers);
    tabela->ustawKolumnyKwot({4, 5});
    tabela->ustawKolumnyLiczb({4, 5});

    SpeedButton13 = Przycisk(f, "SpeedButton13", QRect(8, 314, 90, 24), QStringLiteral("Usługi"),
                             QStringLiteral("Lista usług"));
    SpeedButton15 =
        Przycisk(f, "SpeedButton15", QRect(110, 314, 150, 24), QStringLiteral("Pokaż przed korektą"),
                 QStringLiteral("Tabelka faktury przed korektą"));
    SpeedButton16 =
        Przycisk(f, "SpeedButton16", QRect(266, 314, 150, 24), QStringLiteral("Pokaż po korekcie"),
                 QStringLiteral("Tabela faktury po korekcie"));
    SpeedButton15->hide();
    SpeedButton16->hide();

    Label15 = Etykieta(f, "Label15", QRect(8, 344, 200, 16), QStringLiteral("Tabela stawek podatku Vat"));
    tabela_vat = new Siatka(4, 4, {64, 86, 88, 89}, f);
    tabela_vat->setObjectName(QStringLiteral("tabela_vat"));
    tabela_vat->setGeometry(8, 362, 331, 78);
    tabela_vat->setFont(staly);
    tabela_vat->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabela_vat->ustawKolumnyKwot({1, 2, 3});
    tabela_vat->setAccessibleName(QStringLiteral("Tabela stawek podatku Vat"));
}

// The total, the seller lines, the total in words, the footer, the status line and the note.
void Tfaktura_f::zbudujKwoty(QWidget* f) {
    Label16 = Etykieta(f, "Label16", QRect(352, 364, 110, 16), QStringLiteral("Razem do zapłaty"));
    Label17 = Etykieta<EtykietaDopasowana>(f, "Label17", QRect(462, 360, 218, 20), QString(),
                                           Qt::AlignRight | Qt::AlignVCenter);
    Label17->setFont(QFont(QStringLiteral("Courier New"), 10, QFont::Bold));
    Label17->setAccessibleName(QStringLiteral("Razem do zapłaty"));
    Label55 = Etykieta(f, "Label55", QRect(352, 392, 328, 16), QString(), Qt::AlignRight | Qt::AlignVCenter);
    Label56 = Etykieta(f, "Label56", QRect(352, 408, 328, 16), QString(), Qt::AlignRight | Qt::AlignVCenter);
    Label57 = Etykieta(f, "Label57", QRect(352, 424, 328, 16), QString(), Qt::AlignRight | Qt::AlignVCenter);
    Label55->setAccessibleName(QStringLiteral("Sprzedawca, wiersz 1"));
    Label56->setAccessibleName(QStringLiteral("Sprzedawca, wiersz 2"));
    Label57->setAccessibleName(QStringLiteral("Sprzedawca, wiersz 3"));

    Label18 = Etykieta(f, "Label18", QRect(8, 452, 55, 16), QStringLiteral("Słownie"));
    Label19 = Etykieta<EtykietaDopasowana>(f, "Label19", QRect(66, 452, 614, 16), QString());
    Label58 = Etykieta<EtykietaDopasowana>(f, "Label58", QRect(66, 470, 614, 16), QString());
    Label19->setAccessibleName(QStringLiteral("Słownie, wiersz 1"));
    Label58->setAccessibleName(QStringLiteral("Słownie, wiersz 2"));
    Label14 = Etykieta(f, "Label14", QRect(8, 500, 672, 16), QStringLiteral("Stopks wydruku..."));
    Label14->setAccessibleName(QStringLiteral("Stopka wydruku"));
    Label22 = Etykieta(f, "Label22", QRect(300, 560, 380, 18), QStringLiteral("Jaki dokument"),
                       Qt::AlignRight | Qt::AlignVCenter);
    Label22->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
    Label22->setAccessibleName(QStringLiteral("Stan dokumentu"));
    Label26 =
        Etykieta(f, "Label26", QRect(8, 582, 672, 16),
                 QStringLiteral("Różnica miedzy kwotami faktury i faktury korygującej bedzie uwidoczniona "
                                "na wydruku"),
                 Qt::AlignRight | Qt::AlignVCenter);
    Label26->hide();
}

void Tfaktura_f::zbudujPanel3() {
    Panel3 = Panel(Panel2, "Panel3", MiejscePanelu3, QColor(0xEA, 0xEA, 0xEA));
    Label20 = Etykieta(Panel3, "Label20", QRect(8, 8, 660, 18), QStringLiteral("Lista...."));
    Label20->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
    lista = Utworz<ListaLinii>(Panel3, "lista", QRect(8, 30, 660, 500));
    lista->setFont(QFont(QStringLiteral("Courier New"), 8));
    lista->setAccessibleName(QStringLiteral("Lista"));
    Label21 = Etykieta(Panel3, "Label21", QRect(8, 538, 400, 16),
                       QStringLiteral("Wpisz sukaną frazę i naciśnij przycisk lupy."));
    szukaj = Pole(Panel3, "szukaj", QRect(8, 560, 300, 21), QStringLiteral("Szukana fraza"));
    SpeedButton12 = Przycisk(Panel3, "SpeedButton12", QRect(312, 558, 28, 25), QString(),
                             QStringLiteral("Szukaj"), IkonaLupy());
    SpeedButton12->setAccessibleName(QStringLiteral("Szukaj"));
    SpeedButton11 = Przycisk(Panel3, "SpeedButton11", QRect(480, 556, 90, 28), QStringLiteral("Wstaw"));
    SpeedButton10 = Przycisk(Panel3, "SpeedButton10", QRect(578, 556, 90, 28), QStringLiteral("Powrót"));
    Panel3->hide();
}

void Tfaktura_f::zbudujPanel4() {
    Panel4 = Panel(this, "Panel4", MiejscePanelu4, Qt::white);
    Memo1 = Utworz<QPlainTextEdit>(Panel4, "Memo1", QRect(8, 8, 673, 288));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setAccessibleName(QStringLiteral("Pomoc"));
    QFile tekst(QStringLiteral(":/pomoc.txt"));
    if (tekst.open(QIODevice::ReadOnly)) Memo1->setPlainText(QString::fromUtf8(tekst.readAll()).trimmed());
    SpeedButton14 =
        Przycisk(Panel4, "SpeedButton14", QRect(560, 302, 120, 28), QStringLiteral("Koniec pomocy"));
    Panel4->hide();
}

void Tfaktura_f::zbudujPanel5() {
    Panel5 = Panel(this, "Panel5", MiejscePanelu5, QColor(0xEA, 0xEA, 0xEA));
    Label27 = Etykieta(Panel5, "Label27", QRect(8, 8, 666, 20), QStringLiteral("Podliczenie dokumentów"));
    Label27->setFont(QFont(QStringLiteral("Tahoma"), 11, QFont::Bold));
    Label60 = Etykieta(Panel5, "Label60", QRect(8, 30, 666, 18), QString());
    Label60->setAccessibleName(QStringLiteral("Wybrany klient"));
    static const char* const nazwyEtykietMiesiecy[12] = {"Label41", "Label43", "Label44", "Label45",
                                                         "Label46", "Label47", "Label48", "Label49",
                                                         "Label50", "Label51", "Label52", "Label42"};
    QFont staly(QStringLiteral("Courier New"), 8);
    for (int m = 0; m < 12; ++m) {
        const int y = 56 + m * 30;
        const QString miesiac = QString::fromUtf8(NazwyMiesiecyTekst[m]);
        NazwyMiesiecy[m] = Etykieta(Panel5, nazwyEtykietMiesiecy[m], QRect(8, y + 3, 100, 16), miesiac);
        const QByteArray pasek = "ProgressBar" + QByteArray::number(m + 1);
        PaskiMiesiecy[m] = Utworz<QProgressBar>(Panel5, pasek.constData(), QRect(110, y, 380, 22));
        PaskiMiesiecy[m]->setTextVisible(false);
        PaskiMiesiecy[m]->setRange(0, 100);
        PaskiMiesiecy[m]->setValue(0);
        PaskiMiesiecy[m]->setAccessibleName(miesiac);
        const QByteArray suma = "Label" + QByteArray::number(29 + m);
        SumyMiesiecyEtykiety[m] =
            Etykieta<EtykietaDopasowana>(Panel5, suma.constData(), QRect(496, y + 3, 178, 16), QString(),
                                         Qt::AlignRight | Qt::AlignVCenter);
        SumyMiesiecyEtykiety[m]->setFont(staly);
        SumyMiesiecyEtykiety[m]->setAccessibleName(miesiac);
    }
    Label53 = Etykieta(Panel5, "Label53", QRect(8, 420, 500, 16),
                       QStringLiteral("Wyniki normowane do wartości maxymalnej stanowiącej 100 %"));
    Label54 = Etykieta<EtykietaDopasowana>(Panel5, "Label54", QRect(8, 440, 400, 16), QString());
    Label54->setFont(staly);
    Label54->setAccessibleName(QStringLiteral("Wartość maksymalna"));
    Label28 = Etykieta(Panel5, "Label28", QRect(8, 482, 120, 16), QStringLiteral("Wybierz rok "));
    lata = Lista(Panel5, "lata", QRect(130, 480, 100, 21), QStringLiteral("Wybierz rok"));
    Label59 = Etykieta(Panel5, "Label59", QRect(8, 512, 120, 16), QStringLiteral("Wybierz klienta"));
    klienci = Lista(Panel5, "klienci", QRect(130, 510, 400, 21), QStringLiteral("Wybierz klienta"));
    SpeedButton24 = Przycisk(Panel5, "SpeedButton24", QRect(534, 510, 23, 21), QStringLiteral("?"),
                             QStringLiteral("Pobierz listę klientów"));
    SpeedButton24->setAccessibleName(QStringLiteral("Pobierz listę klientów"));
    SpeedButton19 = Przycisk(Panel5, "SpeedButton19", QRect(130, 560, 100, 28), QStringLiteral("Wylicz"));
    SpeedButton18 = Przycisk(Panel5, "SpeedButton18", QRect(564, 586, 110, 28), QStringLiteral("Powrót"));
    Panel5->hide();
}

void Tfaktura_f::zbudujPanel6() {
    Panel6 = Panel(this, "Panel6", MiejscePanelu6, Qt::white);
    Label61 = Etykieta(Panel6, "Label61", QRect(8, 8, 420, 18),
                       QStringLiteral("Wstawienie kwoty brutto do Ewidencji sprzedaży"));
    Label61->setFont(QFont(QStringLiteral("Tahoma"), 9, QFont::Bold));
    Label92 =
        Etykieta(Panel6, "Label92", QRect(300, 30, 218, 18), QString(), Qt::AlignRight | Qt::AlignVCenter);
    Label92->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
    Label92->setAccessibleName(QStringLiteral("Numer dokumentu"));
    Image5 = Utworz<QLabel>(Panel6, "Image5", QRect(8, 56, 96, 96));
    Image5->setPixmap(ObrazZasobu(QStringLiteral(":/obraz5.jpg")));
    Label74 = Etykieta(Panel6, "Label74", QRect(112, 56, 406, 16),
                       QStringLiteral("1. Podaj folder w którym zainstalowano Ewidencję sprzedaży :"));
    folder = Pole(Panel6, "folder", QRect(112, 76, 370, 21), QStringLiteral("Folder Ewidencji sprzedaży"));
    SpeedButton27 = Przycisk(Panel6, "SpeedButton27", QRect(486, 76, 23, 21), QStringLiteral("?"),
                             QStringLiteral("Wskaż program Ewidencja sprzedaży"));
    SpeedButton27->setAccessibleName(QStringLiteral("Wskaż program Ewidencja sprzedaży"));
    Label75 = Etykieta(Panel6, "Label75", QRect(112, 108, 300, 16),
                       QStringLiteral("2. Do zaksięgowania kwota brutto :"));
    kwota_brutto = Pole(Panel6, "kwota_brutto", QRect(112, 128, 200, 21), QStringLiteral("Kwota brutto"));
    kwota_brutto->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
    Label88 = Etykieta(Panel6, "Label88", QRect(112, 160, 300, 16),
                       QStringLiteral("3. Rodzaj odbiorcy dokumentu:"));
    ro1 = Utworz<QRadioButton>(Panel6, "ro1", QRect(112, 180, 200, 20));
    ro1->setText(QStringLiteral("Firma *F*"));
    ro2 = Utworz<QRadioButton>(Panel6, "ro2", QRect(112, 202, 200, 20));
    ro2->setText(QStringLiteral("Indywidualny *I*"));
    SpeedButton30 = Przycisk(Panel6, "SpeedButton30", QRect(112, 238, 110, 28), QStringLiteral("Wykonaj"));
    SpeedButton29 = Przycisk(Panel6, "SpeedButton29", QRect(232, 238, 110, 28), QStringLiteral("Zaniechaj"));
    Panel6->hide();
}

// The form is filled in from top to bottom, then the button column.
void Tfaktura_f::ustawKolejnoscTab() {
    const QList<QWidget*> kolejnosc = {
        miejscowosc,   data_wystawienia, numerator,     rozszerzenie,  odbiorca1,      odbiorca2,
        odbiorca3,     odbiorca4,        SpeedButton5,  forma_zaplaty, termin_zaplaty, data_uslugi,
        SpeedButton7,  podpis,           nip_odbiorcy,  tabela,        SpeedButton13,  SpeedButton15,
        SpeedButton16, tabela_vat,       SpeedButton21, SpeedButton22, SpeedButton23,  SpeedButton28,
        SpeedButton20, SpeedButton17,    SpeedButton9,  SpeedButton8,  SpeedButton3,   SpeedButton2,
        SpeedButton6,  SpeedButton4,     SpeedButton1};
    for (int i = 1; i < kolejnosc.size(); ++i) setTabOrder(kolejnosc[i - 1], kolejnosc[i]);
}
