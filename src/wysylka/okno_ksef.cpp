#include "wysylka/okno_ksef.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <utility>

#include "calc/dokument.h"
#include "calc/kwoty_dokumentu.h"
#include "calc/liczby.h"
#include "eksport/nazwy_plikow.h"
#include "kontrolki/teksty_kontrolek.h"
#include "ksef/kody_qr.h"
#include "print/kod_qr.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"
#include "store/ustawienia_ksef.h"
#include "wysylka/logowanie_ksef.h"

namespace {

template <class W>
W* Nazwany(W* kontrolka, const char* nazwa, const QString& dostepna) {
    kontrolka->setObjectName(QString::fromUtf8(nazwa));
    kontrolka->setAccessibleName(dostepna);
    return kontrolka;
}

QPushButton* Przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst) {
    return Nazwany(new QPushButton(tekst, rodzic), nazwa,
                   QString(tekst).remove(QStringLiteral("…")).remove(u'&'));
}

constexpr std::size_t RekordowOknaNaOdczyt = 256;
constexpr StanWysylki Stany[] = {StanWysylki::Niewyslany, StanWysylki::Wysylany,  StanWysylki::Wyslany,
                                 StanWysylki::Przyjety,   StanWysylki::Odrzucony, StanWysylki::Offline};

QString UwagiStanu(const StanKsef& s, const QDate& dzisiaj) {
    switch (s.stan) {
        case StanWysylki::Niewyslany:
            return {};
        case StanWysylki::Wysylany:
        case StanWysylki::Wyslany:
            return QStringLiteral("czeka na decyzję KSeF");
        case StanWysylki::Przyjety: {
            QString tekst = s.maUpo ? QStringLiteral("UPO pobrane") : QStringLiteral("brak UPO");
            if (s.dataPrzyjecia.isValid())
                tekst = QStringLiteral("przyjęty %1; ")
                            .arg(s.dataPrzyjecia.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))) +
                        tekst;
            return tekst;
        }
        case StanWysylki::Odrzucony:
            return s.kod ? QStringLiteral("kod %1: %2").arg(s.kod).arg(s.powod) : s.powod;
        case StanWysylki::Offline: {
            const TerminWysylki termin = OpisTerminu(s, dzisiaj);
            return termin.opis.isEmpty() ? QStringLiteral("wystawiony offline (%1)").arg(s.trybOffline)
                                         : QStringLiteral("%1 (%2)").arg(termin.opis, s.trybOffline);
        }
    }
    return {};
}

QTableWidgetItem* Komorka(const QString& tekst) {
    auto* komorka = new QTableWidgetItem(tekst);
    komorka->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return komorka;
}

// "1 faktura" ("1 fakturę" as the object), "3 faktury", "5 faktur", "12 faktur", "22 faktury".
QString Faktur(int n, bool biernik = false) {
    const int jednosci = n % 10, dziesiatki = n % 100 / 10;
    if (n == 1) return biernik ? QStringLiteral("1 fakturę") : QStringLiteral("1 faktura");
    if (dziesiatki != 1 && jednosci >= 2 && jednosci <= 4) return QStringLiteral("%1 faktury").arg(n);
    return QStringLiteral("%1 faktur").arg(n);
}

// Whole pixels per module (of the device), no smoothing: a scaled code stays scannable. Never less
// than three pixels per module, which a phone still reads from a screen.
QPixmap ObrazDoPokazania(const QImage& kod, int bok, qreal skalaEkranu) {
    if (kod.isNull()) return {};
    const int naModul = std::max(3, static_cast<int>(bok * skalaEkranu) / std::max(1, kod.width()));
    QPixmap obraz = QPixmap::fromImage(kod.scaled(kod.width() * naModul, kod.height() * naModul,
                                                  Qt::IgnoreAspectRatio, Qt::FastTransformation));
    obraz.setDevicePixelRatio(skalaEkranu);
    return obraz;
}

constexpr int BokKodu = 200;  // the shown code's side, in the screen's logical pixels, about

QString OpisWyniku(const WynikWysylki& w) {
    return QStringLiteral("Wysłane: %1, przyjęte: %2, odrzucone: %3, pominięte: %4.")
        .arg(w.wyslane)
        .arg(w.przyjete)
        .arg(w.odrzucone)
        .arg(w.pominiete);
}

}  // namespace

std::optional<PodanySekret> ZapytajOSekret(QWidget* rodzic, const QString& pytanie, bool sejfDostepny) {
    QDialog okno(rodzic);
    okno.setObjectName(QStringLiteral("pytanie_o_sekret"));
    okno.setAccessibleName(QStringLiteral("Dane logowania do KSeF"));
    okno.setWindowTitle(QStringLiteral("Logowanie do KSeF"));
    auto* uklad = new QVBoxLayout(&okno);
    auto* opis = Nazwany(new QLabel(pytanie, &okno), "opis_sekretu", QStringLiteral("Pytanie"));
    opis->setWordWrap(true);
    auto* pole = Nazwany(new QLineEdit(&okno), "sekret", pytanie);
    pole->setEchoMode(QLineEdit::Password);
    opis->setBuddy(pole);
    auto* zapamietaj = Nazwany(new QCheckBox(QStringLiteral("Zapamiętaj w pęku kluczy"), &okno), "zapamietaj",
                               QStringLiteral("Zapamiętaj w pęku kluczy"));
    zapamietaj->setEnabled(sejfDostepny);
    if (!sejfDostepny) zapamietaj->setToolTip(QStringLiteral("Pęk kluczy pulpitu jest niedostępny"));
    auto* przyciski = new QDialogButtonBox(&okno);
    QPushButton* ok = Nazwany(przyciski->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "ok",
                              QStringLiteral("OK"));
    Nazwany(przyciski->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole), "anuluj",
            QStringLiteral("Anuluj"));
    ok->setDefault(true);
    QObject::connect(przyciski, &QDialogButtonBox::accepted, &okno, &QDialog::accept);
    QObject::connect(przyciski, &QDialogButtonBox::rejected, &okno, &QDialog::reject);
    uklad->addWidget(opis);
    uklad->addWidget(pole);
    uklad->addWidget(zapamietaj);
    uklad->addWidget(przyciski);
    if (okno.exec() != QDialog::Accepted || pole->text().isEmpty()) return std::nullopt;
    return PodanySekret{pole->text(), zapamietaj->isEnabled() && zapamietaj->isChecked()};
}

std::optional<WyborOffline> ZapytajOTrybOffline(QWidget* rodzic, int dokumentow, const QDate& dzisiaj) {
    QDialog okno(rodzic);
    okno.setObjectName(QStringLiteral("wystawianie_offline"));
    okno.setAccessibleName(QStringLiteral("Wystawianie faktur offline"));
    okno.setWindowTitle(QStringLiteral("Wystaw offline"));
    auto* uklad = new QVBoxLayout(&okno);
    auto* opis = Nazwany(new QLabel(QStringLiteral("Wystawianie offline zaznaczonych dokumentów (%1): KSeF "
                                                   "dostanie je później, w terminie zależnym od trybu.")
                                        .arg(dokumentow),
                                    &okno),
                         "opis_offline", QStringLiteral("Opis"));
    opis->setWordWrap(true);
    uklad->addWidget(opis);
    auto* formularz = new QFormLayout;
    auto* tryb = Nazwany(new QComboBox(&okno), "tryb_offline", QStringLiteral("Tryb offline"));
    tryb->addItem(QStringLiteral("Offline24 (wybór wystawcy)"), static_cast<int>(TrybOffline::Offline24));
    tryb->addItem(QStringLiteral("Offline (niedostępność KSeF)"), static_cast<int>(TrybOffline::Offline));
    tryb->addItem(QStringLiteral("Awaryjny (awaria KSeF)"), static_cast<int>(TrybOffline::Awaryjny));
    auto* etykietaTrybu = Nazwany(new QLabel(QStringLiteral("&Tryb:"), &okno), "etykieta_tryb_offline",
                                  QStringLiteral("Tryb offline"));
    etykietaTrybu->setBuddy(tryb);
    auto* koniec =
        Nazwany(new QDateEdit(dzisiaj, &okno), "koniec_offline", QStringLiteral("Koniec niedostępności"));
    koniec->setCalendarPopup(true);
    koniec->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    auto* etykietaKonca = Nazwany(new QLabel(&okno), "etykieta_koniec_offline", QStringLiteral("Koniec"));
    etykietaKonca->setBuddy(koniec);
    formularz->addRow(etykietaTrybu, tryb);
    formularz->addRow(etykietaKonca, koniec);
    uklad->addLayout(formularz);
    // Offline24 is the seller's own choice: no end to give.
    const auto zmienTryb = [=] {
        const auto t = static_cast<TrybOffline>(tryb->currentData().toInt());
        const QString napis = t == TrybOffline::Awaryjny ? QStringLiteral("Koniec awarii KSeF")
                                                         : QStringLiteral("Koniec niedostępności KSeF");
        etykietaKonca->setText(QStringLiteral("&") + napis + u':');
        etykietaKonca->setAccessibleName(napis);
        koniec->setAccessibleName(napis);
        etykietaKonca->setEnabled(t != TrybOffline::Offline24);
        koniec->setEnabled(t != TrybOffline::Offline24);
    };
    QObject::connect(tryb, &QComboBox::currentIndexChanged, &okno, zmienTryb);
    zmienTryb();
    auto* przyciski = Nazwany(new QDialogButtonBox(&okno), "przyciski_offline", QStringLiteral("Przyciski"));
    QPushButton* ok =
        Nazwany(przyciski->addButton(QStringLiteral("Wystaw offline"), QDialogButtonBox::AcceptRole), "ok",
                QStringLiteral("Wystaw offline"));
    Nazwany(przyciski->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole), "anuluj",
            QStringLiteral("Anuluj"));
    ok->setDefault(true);
    QObject::connect(przyciski, &QDialogButtonBox::accepted, &okno, &QDialog::accept);
    QObject::connect(przyciski, &QDialogButtonBox::rejected, &okno, &QDialog::reject);
    uklad->addWidget(przyciski);
    if (okno.exec() != QDialog::Accepted) return std::nullopt;
    WyborOffline wybor;
    wybor.tryb = static_cast<TrybOffline>(tryb->currentData().toInt());
    if (wybor.tryb != TrybOffline::Offline24) wybor.koniec = koniec->date();
    return wybor;
}

OknoKsef::OknoKsef(SystemPlikow& system, QWidget* rodzic) : QWidget(rodzic), system_(system) {
    setObjectName(QStringLiteral("okno_ksef"));
    setAccessibleName(QStringLiteral("Wysyłanie faktur do KSeF"));
    setWindowTitle(QStringLiteral("Faktura — wysyłanie do KSeF"));
    resize(1000, 600);
    uslugi.blad = [](QWidget* rodzic, const QString& tekst) {
        QMessageBox okno(QMessageBox::Critical, QStringLiteral("Błąd"), tekst, QMessageBox::NoButton, rodzic);
        QPushButton* ok = okno.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        ok->setObjectName(QStringLiteral("OK"));
        ok->setAccessibleName(QStringLiteral("OK"));
        okno.exec();
    };
    zbudujUklad();
    polaczZdarzenia();
}

OknoKsef::~OknoKsef() {
    // A run stops after its current step, whose state is written; the thread is waited for.
    if (watek_) {
        przerwano_ = true;
        watek_->disconnect(this);
        watek_->wait();
        delete watek_;
    }
}

void OknoKsef::zbudujUklad() {
    auto* uklad = new QVBoxLayout(this);
    folder_danych = Nazwany(new QLabel(this), "folder_danych", QStringLiteral("Folder danych"));
    folder_danych->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder_danych->setWordWrap(true);
    uklad->addWidget(folder_danych);

    auto* filtry = new QHBoxLayout;
    filtr_miesiaca = Nazwany(new QComboBox(this), "filtr_miesiaca", QStringLiteral("Miesiąc"));
    filtr_stanu = Nazwany(new QComboBox(this), "filtr_stanu", QStringLiteral("Stan w KSeF"));
    filtr_stanu->addItem(QStringLiteral("Wszystkie stany"), -1);
    for (StanWysylki s : Stany) filtr_stanu->addItem(NazwaStanu(s), static_cast<int>(s));
    auto* etykietaMiesiaca = Nazwany(new QLabel(QStringLiteral("&Miesiąc:"), this), "etykieta_filtr_miesiaca",
                                     QStringLiteral("Miesiąc"));
    etykietaMiesiaca->setBuddy(filtr_miesiaca);
    auto* etykietaStanu = Nazwany(new QLabel(QStringLiteral("S&tan:"), this), "etykieta_filtr_stanu",
                                  QStringLiteral("Stan w KSeF"));
    etykietaStanu->setBuddy(filtr_stanu);
    odswiez = Przycisk(this, "odswiez", QStringLiteral("&Odśwież"));
    odswiez->setAccessibleName(QStringLiteral("Odśwież listę dokumentów"));
    filtry->addWidget(etykietaMiesiaca);
    filtry->addWidget(filtr_miesiaca);
    filtry->addWidget(etykietaStanu);
    filtry->addWidget(filtr_stanu);
    filtry->addStretch();
    filtry->addWidget(odswiez);
    uklad->addLayout(filtry);

    tabela = Nazwany(new QTableWidget(0, LiczbaKolumn, this), "tabela",
                     QStringLiteral("Dokumenty i ich stan w KSeF"));
    tabela->setHorizontalHeaderLabels({QStringLiteral("Numer"), QStringLiteral("Data wystawienia"),
                                       QStringLiteral("Nabywca"), QStringLiteral("Brutto"),
                                       QStringLiteral("Stan"), QStringLiteral("Numer KSeF"),
                                       QStringLiteral("Powód / termin")});
    tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabela->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabela->verticalHeader()->hide();
    tabela->horizontalHeader()->setStretchLastSection(true);
    tabela->horizontalHeader()->setSectionResizeMode(Nabywca, QHeaderView::Stretch);
    auto* srodek = new QHBoxLayout;
    srodek->addWidget(tabela, 1);
    srodek->addWidget(zbudujPanelKodow());
    uklad->addLayout(srodek, 1);

    auto* przyciski = new QHBoxLayout;
    wyslij_zaznaczone = Przycisk(this, "wyslij_zaznaczone", QStringLiteral("&Wyślij zaznaczone"));
    wyslij_niewyslane = Przycisk(this, "wyslij_niewyslane", QStringLiteral("Wyślij &wszystkie niewysłane"));
    wyslij_niewyslane->setToolTip(QStringLiteral(
        "Wysyła każdy dokument wybranego miesiąca (albo wszystkie), którego nie ma jeszcze w KSeF"));
    pobierz_upo = Przycisk(this, "pobierz_upo", QStringLiteral("Pobierz &UPO"));
    pobierz_upo->setToolTip(QStringLiteral("Pobiera UPO przyjętych dokumentów, które go jeszcze nie mają"));
    wystaw_offline = Przycisk(this, "wystaw_offline", QStringLiteral("Wystaw o&ffline…"));
    wystaw_offline->setToolTip(QStringLiteral(
        "Wystawia zaznaczone dokumenty, których nie ma jeszcze w KSeF, w trybie offline: z kodami QR, "
        "do wysłania w terminie"));
    przerwij = Przycisk(this, "przerwij", QStringLiteral("&Przerwij"));
    przerwij->setToolTip(QStringLiteral("Kończy po bieżącym kroku; następne wysyłanie podejmie resztę"));
    for (QPushButton* p : {wyslij_zaznaczone, wyslij_niewyslane, pobierz_upo, wystaw_offline})
        przyciski->addWidget(p);
    przyciski->addStretch();
    przyciski->addWidget(przerwij);
    uklad->addLayout(przyciski);

    postep = Nazwany(new QProgressBar(this), "postep", QStringLiteral("Postęp wysyłania"));
    postep->setRange(0, 1);
    postep->setValue(0);
    uklad->addWidget(postep);
    stan = Nazwany(new QLabel(this), "stan", QStringLiteral("Stan"));
    stan->setWordWrap(true);
    stan->setTextInteractionFlags(Qt::TextSelectableByMouse);
    uklad->addWidget(stan);
    odswiezPrzyciski();
}

QWidget* OknoKsef::zbudujPanelKodow() {
    kody_ksef = Nazwany(new QWidget(this), "kody_ksef", QStringLiteral("Kody QR dokumentu"));
    kody_ksef->setFixedWidth(BokKodu + 80);  // a long KOD II at three pixels per module fits too
    auto* uklad = new QVBoxLayout(kody_ksef);
    uklad->setContentsMargins(0, 0, 0, 0);
    brak_kodu = Nazwany(new QLabel(kody_ksef), "brak_kodu", QStringLiteral("Kody QR dokumentu"));
    brak_kodu->setWordWrap(true);
    uklad->addWidget(brak_kodu);
    const auto kod = [&](const char* nazwaObrazu, const char* nazwaPodpisu, const char* nazwaLinku,
                         const char* nazwaKopiuj, const QString& ktory, QLabel*& obraz, QLabel*& podpis,
                         QLineEdit*& link, QPushButton*& kopiuj) {
        obraz = Nazwany(new QLabel(kody_ksef), nazwaObrazu, QStringLiteral("Kod QR ") + ktory);
        obraz->setAlignment(Qt::AlignCenter);
        podpis = Nazwany(new QLabel(kody_ksef), nazwaPodpisu, QStringLiteral("Napis pod kodem ") + ktory);
        podpis->setAlignment(Qt::AlignCenter);
        podpis->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        link = Nazwany(new QLineEdit(kody_ksef), nazwaLinku, QStringLiteral("Link ") + ktory);
        link->setReadOnly(true);
        kopiuj = Nazwany(new QPushButton(QStringLiteral("Kopiuj link"), kody_ksef), nazwaKopiuj,
                         QStringLiteral("Kopiuj link ") + ktory);
        connect(kopiuj, &QPushButton::clicked, this,
                [link] { QGuiApplication::clipboard()->setText(link->text()); });
        for (QWidget* w : std::initializer_list<QWidget*>{obraz, podpis, link, kopiuj}) uklad->addWidget(w);
    };
    kod("obraz_kodu_i", "podpis_kodu_i", "link_kodu_i", "kopiuj_link_i", QStringLiteral("KOD I"),
        obraz_kodu_i, podpis_kodu_i, link_kodu_i, kopiuj_link_i);
    uklad->addSpacing(12);
    kod("obraz_kodu_ii", "podpis_kodu_ii", "link_kodu_ii", "kopiuj_link_ii", QStringLiteral("KOD II"),
        obraz_kodu_ii, podpis_kodu_ii, link_kodu_ii, kopiuj_link_ii);
    uklad->addStretch();
    return kody_ksef;
}

void OknoKsef::polaczZdarzenia() {
    using O = OknoKsef;
    connect(filtr_miesiaca, &QComboBox::currentIndexChanged, this, &O::filtruj);
    connect(filtr_stanu, &QComboBox::currentIndexChanged, this, &O::filtruj);
    connect(odswiez, &QPushButton::clicked, this, &O::wczytaj);
    connect(tabela, &QTableWidget::itemSelectionChanged, this, &O::odswiezPrzyciski);
    connect(tabela, &QTableWidget::currentCellChanged, this, &O::pokazKody);
    connect(wyslij_zaznaczone, &QPushButton::clicked, this, &O::wyslijZaznaczone);
    connect(wyslij_niewyslane, &QPushButton::clicked, this, &O::wyslijNiewyslane);
    connect(pobierz_upo, &QPushButton::clicked, this, &O::pobierzUpo);
    connect(wystaw_offline, &QPushButton::clicked, this, &O::wystawOfflineZaznaczone);
    connect(przerwij, &QPushButton::clicked, this, &O::przerwijWysylanie);
}

void OknoKsef::pokazBlad(const QString& tekst) {
    if (uslugi.blad) uslugi.blad(this, tekst);
}

bool OknoKsef::doWyslania(const Wiersz& w) {
    return w.bladStanu.isEmpty() && (!w.stan || !JestWKsef(*w.stan));
}

bool OknoKsef::doWystawieniaOffline(const Wiersz& w) {
    return w.bladStanu.isEmpty() && (!w.stan || w.stan->stan == StanWysylki::Niewyslany);
}

const OknoKsef::Wiersz* OknoKsef::biezacy() const {
    const int r = tabela->currentRow();
    if (r < 0 || tabela->isRowHidden(r)) return nullptr;
    const QTableWidgetItem* komorka = tabela->item(r, Numer);
    if (!komorka) return nullptr;  // a row being filled
    const auto i = komorka->data(Qt::UserRole).toLongLong();
    if (i < 0 || static_cast<std::size_t>(i) >= wiersze_.size()) return nullptr;
    return &wiersze_[static_cast<std::size_t>(i)];
}

void OknoKsef::pokazKod(QLabel* obraz, QLabel* podpis, QLineEdit* link, QPushButton* kopiuj,
                        const QString& tresc, const QString& napis) {
    const QPixmap kod =
        tresc.isEmpty() ? QPixmap() : ObrazDoPokazania(ObrazKoduQr(tresc), BokKodu, devicePixelRatioF());
    obraz->setPixmap(kod);
    obraz->setAccessibleDescription(tresc);
    obraz->setVisible(!kod.isNull());
    UstawTekst(podpis, tresc.isEmpty() ? QString() : napis);
    podpis->setVisible(!tresc.isEmpty());
    link->setText(tresc);
    link->setCursorPosition(0);
    link->setAccessibleDescription(tresc);
    link->setVisible(!tresc.isEmpty());
    kopiuj->setVisible(!tresc.isEmpty());
}

void OknoKsef::pokazKody() {
    const Wiersz* w = biezacy();
    QString brak, kodI, napisI, kodII;
    if (!w)
        brak = QStringLiteral("Wybierz dokument, aby zobaczyć jego kody QR.");
    else if (!w->bladStanu.isEmpty())
        brak = QStringLiteral("Stanu dokumentu w KSeF nie da się odczytać.");
    else if (!w->stan || w->stan->linkKoduI.isEmpty())
        brak = QStringLiteral("Dokument nie ma jeszcze kodu KSeF.");
    else {
        kodI = w->stan->linkKoduI;
        // The KSeF number once given; until then the code says the invoice is not in KSeF yet.
        napisI = w->stan->numerKsef.isEmpty() ? PodpisKoduOffline : w->stan->numerKsef;
        kodII = w->stan->linkKoduII;
    }
    UstawTekst(brak_kodu, brak);
    brak_kodu->setVisible(!brak.isEmpty());
    pokazKod(obraz_kodu_i, podpis_kodu_i, link_kodu_i, kopiuj_link_i, kodI, napisI);
    pokazKod(obraz_kodu_ii, podpis_kodu_ii, link_kodu_ii, kopiuj_link_ii, kodII, PodpisKoduCertyfikatu);
}

void OknoKsef::wczytaj() {
    // The panel's document stays current when it is still there.
    const Wiersz* byly = biezacy();
    const QString biezacaNazwa = byly ? byly->nazwa : QString();
    const QDate dzisiaj = uslugi.dzisiaj ? uslugi.dzisiaj() : QDate::currentDate();
    int doTerminu = 0, poTerminie = 0;  // offline documents to send by tomorrow, and late ones
    wiersze_.clear();
    tabela->setRowCount(0);
    QString uwaga;
    try {
        const KatalogDanychZUstawien katalog = CzytajKatalogDanych(system_, system_.katalogRoboczy());
        if (katalog.blad) throw *katalog.blad;
        katalogDanych_ = katalog.katalog;
        // Where a run would send, so that nobody sends to the production system unawares.
        QString dokad;
        try {
            const UstawieniaKsef u = CzytajUstawieniaKsef(system_);
            const QString nip = NipKontekstuKsef(u, NipSprzedawcy(system_, katalogDanych_));
            dokad = QStringLiteral("środowisko KSeF: %1, NIP: %2")
                        .arg(u.srodowisko, nip.isEmpty() ? QStringLiteral("brak") : nip);
        } catch (...) {
            dokad = QStringLiteral("ustawienia KSeF nieczytelne: ") + KomunikatBiezacegoBledu();
        }
        UstawTekst(folder_danych, QStringLiteral("Folder danych: %1; %2").arg(katalogDanych_, dokad));
        // Only the documents that have a state file are read beyond their record.
        const QString ksef = KatalogKsef(system_);
        QSet<QString> zeStanem;
        for (const QString& plik : system_.zawartoscKatalogu(ksef))
            if (plik.endsWith(QStringLiteral(".stan"))) zeStanem.insert(plik.chopped(5));
        const QString dokumenty = SciezkaDanych(katalogDanych_, SciezkaDokumentow);
        if (!PlikIstnieje(system_, dokumenty)) {
            uwaga = QStringLiteral("W folderze danych nie ma jeszcze pliku dokumentów.");
        } else {
            std::int64_t pozycja = 0;
            KazdyRekord<TDokument>(system_, dokumenty, RekordowOknaNaOdczyt, [&](const TDokument& d) {
                ++pozycja;
                if (JestPoczatkiemBloczka(d)) return;
                Wiersz w;
                w.pozycja = pozycja;
                w.nazwa = NazwaDokumentu(d);
                const QString data = d.data_wystawienia.tekst();
                if (DataZTekstu(data)) w.miesiac = data.left(7);
                if (zeStanem.contains(w.nazwa)) {
                    try {
                        w.stan = CzytajStanKsef(system_, w.nazwa);
                    } catch (...) {
                        w.bladStanu = KomunikatBiezacegoBledu();
                    }
                }
                const int wiersz = tabela->rowCount();
                tabela->insertRow(wiersz);
                tabela->setItem(wiersz, Numer, Komorka(NumerDokumentu(d)));
                tabela->item(wiersz, Numer)->setData(Qt::UserRole, static_cast<qlonglong>(wiersze_.size()));
                tabela->setItem(wiersz, Data, Komorka(data));
                tabela->setItem(wiersz, Nabywca, Komorka(d.odbiorca1.tekst()));
                auto* brutto = Komorka(TekstKwoty(ObliczKwotyDokumentu(d).doZaplaty).trimmed());
                brutto->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                tabela->setItem(wiersz, Brutto, brutto);
                const StanKsef s = w.stan.value_or(StanKsef{});
                tabela->setItem(
                    wiersz, Stan,
                    Komorka(w.bladStanu.isEmpty() ? NazwaStanu(s.stan) : QStringLiteral("błąd stanu")));
                tabela->setItem(wiersz, NumerKsef, Komorka(s.numerKsef));
                QTableWidgetItem* uwagi =
                    Komorka(w.bladStanu.isEmpty() ? UwagiStanu(s, dzisiaj) : w.bladStanu);
                if (w.bladStanu.isEmpty() && OpisTerminu(s, dzisiaj).ostrzezenie) {
                    // The text says it too ("jutro", "dziś", "minął"); the colour is for the eye.
                    const bool minal = dzisiaj.daysTo(s.terminOffline) < 0;
                    ++(minal ? poTerminie : doTerminu);
                    uwagi->setBackground(minal ? QColor(0xf4, 0xc7, 0xc3) : QColor(0xff, 0xe5, 0x99));
                    uwagi->setForeground(QColor(Qt::black));
                    QFont pogrubiona = uwagi->font();
                    pogrubiona.setBold(true);
                    uwagi->setFont(pogrubiona);
                }
                tabela->setItem(wiersz, Uwagi, uwagi);
                wiersze_.push_back(std::move(w));
            });
        }
    } catch (...) {
        uwaga = QStringLiteral("Nie udało się odczytać dokumentów: ") + KomunikatBiezacegoBledu();
    }
    tabela->resizeColumnsToContents();
    wypelnijFiltrMiesiecy();
    filtruj();
    for (int r = 0; r < tabela->rowCount() && !biezacaNazwa.isEmpty(); ++r) {
        const auto i = static_cast<std::size_t>(tabela->item(r, Numer)->data(Qt::UserRole).toLongLong());
        if (wiersze_[i].nazwa != biezacaNazwa) continue;
        tabela->selectionModel()->setCurrentIndex(tabela->model()->index(r, Numer),
                                                  QItemSelectionModel::NoUpdate);
        break;
    }
    pokazKody();
    if (!uwaga.isEmpty()) {
        UstawTekst(stan, uwaga);
        return;
    }
    std::map<StanWysylki, int> liczby;
    int bledne = 0;
    for (const Wiersz& w : wiersze_) {
        if (!w.bladStanu.isEmpty())
            ++bledne;
        else
            ++liczby[w.stan.value_or(StanKsef{}).stan];
    }
    QStringList czesci;
    for (StanWysylki s : Stany)
        if (liczby[s]) czesci.append(QStringLiteral("%1: %2").arg(NazwaStanu(s)).arg(liczby[s]));
    if (bledne) czesci.append(QStringLiteral("z nieczytelnym stanem: %1").arg(bledne));
    QString tekst =
        QStringLiteral("Dokumentów: %1").arg(wiersze_.size()) +
        (czesci.isEmpty() ? QString() : QStringLiteral(" (") + czesci.join(QStringLiteral(", ")) + u')');
    if (doTerminu)
        tekst += QStringLiteral(". Uwaga: %1 offline trzeba wysłać do KSeF najpóźniej jutro")
                     .arg(Faktur(doTerminu, true));
    if (poTerminie)
        tekst += QStringLiteral(". Uwaga: %1 offline po terminie wysłania do KSeF").arg(Faktur(poTerminie));
    if (doTerminu || poTerminie) tekst += u'.';
    UstawTekst(stan, tekst);
}

void OknoKsef::wypelnijFiltrMiesiecy() {
    const QString wybrany = filtr_miesiaca->currentData().toString();
    QStringList miesiace;
    for (const Wiersz& w : wiersze_)
        if (!w.miesiac.isEmpty() && !miesiace.contains(w.miesiac)) miesiace.append(w.miesiac);
    std::sort(miesiace.begin(), miesiace.end(), std::greater<>());
    const QSignalBlocker blokada(filtr_miesiaca);
    filtr_miesiaca->clear();
    filtr_miesiaca->addItem(QStringLiteral("Wszystkie miesiące"), QString());
    for (const QString& m : miesiace) filtr_miesiaca->addItem(m, m);
    filtr_miesiaca->setCurrentIndex(std::max(0, filtr_miesiaca->findData(wybrany)));
}

bool OknoKsef::widoczny(const Wiersz& w, bool zeStanem) const {
    const QString miesiac = filtr_miesiaca->currentData().toString();
    if (!miesiac.isEmpty() && w.miesiac != miesiac) return false;
    if (!zeStanem) return true;
    const int stanFiltru = filtr_stanu->currentData().toInt();
    if (stanFiltru < 0) return true;
    return w.bladStanu.isEmpty() && static_cast<int>(w.stan.value_or(StanKsef{}).stan) == stanFiltru;
}

void OknoKsef::filtruj() {
    for (int r = 0; r < tabela->rowCount(); ++r) {
        const auto i = tabela->item(r, Numer)->data(Qt::UserRole).toLongLong();
        const bool pokaz = widoczny(wiersze_[static_cast<std::size_t>(i)], true);
        tabela->setRowHidden(r, !pokaz);
        // What is hidden is not sent by "Wyślij zaznaczone".
        if (!pokaz)
            for (int k = 0; k < LiczbaKolumn; ++k) tabela->item(r, k)->setSelected(false);
    }
    odswiezPrzyciski();
    pokazKody();
}

std::vector<const OknoKsef::Wiersz*> OknoKsef::zaznaczone() const {
    std::vector<const Wiersz*> wynik;
    for (int r = 0; r < tabela->rowCount(); ++r) {
        QTableWidgetItem* komorka = tabela->item(r, Numer);
        if (tabela->isRowHidden(r) || !komorka->isSelected()) continue;
        wynik.push_back(&wiersze_[static_cast<std::size_t>(komorka->data(Qt::UserRole).toLongLong())]);
    }
    return wynik;
}

void OknoKsef::odswiezPrzyciski() {
    const bool wolne = !wysylanie();
    bool zaznaczonyDoWyslania = false;
    bool zaznaczonyOffline = false;
    for (const Wiersz* w : zaznaczone()) {
        zaznaczonyDoWyslania = zaznaczonyDoWyslania || doWyslania(*w);
        zaznaczonyOffline = zaznaczonyOffline || doWystawieniaOffline(*w);
    }
    bool niewyslanyWMiesiacu = false, bezUpo = false;
    for (const Wiersz& w : wiersze_) {
        niewyslanyWMiesiacu = niewyslanyWMiesiacu || (doWyslania(w) && widoczny(w, false));
        bezUpo = bezUpo || (w.stan && w.stan->stan == StanWysylki::Przyjety && !w.stan->maUpo);
    }
    wyslij_zaznaczone->setEnabled(wolne && zaznaczonyDoWyslania);
    wystaw_offline->setEnabled(wolne && zaznaczonyOffline);
    wyslij_niewyslane->setEnabled(wolne && niewyslanyWMiesiacu);
    pobierz_upo->setEnabled(wolne && bezUpo);
    przerwij->setEnabled(!wolne && !przerwano_);
    odswiez->setEnabled(wolne);
}

std::optional<OknoKsef::Kontekst> OknoKsef::przygotujKontekst() {
    Kontekst k;
    QString nipSprzedawcy;
    try {
        k.ustawienia = CzytajUstawieniaKsef(system_);
        nipSprzedawcy = NipSprzedawcy(system_, katalogDanych_);
    } catch (...) {
        pokazBlad(QStringLiteral("Nie udało się odczytać ustawień KSeF: ") + KomunikatBiezacegoBledu());
        return std::nullopt;
    }
    QString blad;
    const std::optional<SrodowiskoKsef> srodowisko = ZnajdzSrodowisko(k.ustawienia.srodowisko, &blad);
    if (!srodowisko) {
        pokazBlad(QStringLiteral("Środowisko KSeF z ustawień jest niepoprawne: %1\nPopraw je w programie "
                                 "faktura-ustawienia, na stronie „KSeF”.")
                      .arg(blad));
        return std::nullopt;
    }
    k.srodowisko = *srodowisko;
    k.nip = NipKontekstuKsef(k.ustawienia, nipSprzedawcy);
    if (const std::optional<QString> cyfry = CyfryNip(k.nip); !cyfry || !PoprawnyNip(*cyfry)) {
        pokazBlad(QStringLiteral(
            "Brak poprawnego NIP-u, w kontekście którego wysyłać: wpisz NIP sprzedawcy na "
            "stronie „Firma” albo NIP kontekstu na stronie „KSeF” programu faktura-ustawienia."));
        return std::nullopt;
    }
    return k;
}

std::optional<QString> OknoKsef::sekret(const QString& nazwa, const QString& pytanie,
                                        const QString& anulowano) {
    const WynikSejfu zSejfu = uslugi.czytajSekret(nazwa);
    if (zSejfu.wartosc && !zSejfu.wartosc->isEmpty()) return *zSejfu.wartosc;
    const std::optional<PodanySekret> podany = uslugi.zapytajOSekret(this, pytanie, zSejfu.sejfDostepny);
    if (!podany) {
        UstawTekst(stan, anulowano);
        return std::nullopt;
    }
    if (podany->zapamietaj) {
        const WynikSejfu zapis = uslugi.zapiszSekret(nazwa, podany->wartosc);
        if (!zapis.sejfDostepny || !zapis.blad.isEmpty())
            UstawTekst(stan, QStringLiteral("Nie zapamiętano w pęku kluczy: ") + zapis.blad);
    }
    return podany->wartosc;
}

std::optional<ZadanieWysylki> OknoKsef::przygotujZadanie() {
    const std::optional<Kontekst> k = przygotujKontekst();
    if (!k) return std::nullopt;
    const UstawieniaKsef& u = k->ustawienia;
    const bool tokenem = u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token;
    if (!tokenem && (u.plikCertyfikatu.isEmpty() || u.plikKlucza.isEmpty())) {
        pokazBlad(
            QStringLiteral("W ustawieniach KSeF brak pliku certyfikatu albo klucza: wskaż je w programie "
                           "faktura-ustawienia, na stronie „KSeF”."));
        return std::nullopt;
    }
    const std::optional<QString> haslo = sekret(
        NazwaSekretuUstawien(u, k->nip),
        tokenem ? QStringLiteral("Token KSeF dla NIP %1 (środowisko %2):").arg(k->nip, k->srodowisko.nazwa)
                : QStringLiteral("Hasło klucza prywatnego „%1”:").arg(u.plikKlucza),
        QStringLiteral("Anulowano: bez danych logowania nic nie wysłano."));
    if (!haslo) return std::nullopt;
    ZadanieWysylki zadanie;
    zadanie.srodowisko = k->srodowisko;
    zadanie.poswiadczenia = PoswiadczeniaZUstawien(u, k->nip, *haslo);
    return zadanie;
}

void OknoKsef::wyslijZaznaczone() {
    if (wysylanie()) return;
    std::vector<std::int64_t> pozycje;
    for (const Wiersz* w : zaznaczone())
        if (doWyslania(*w)) pozycje.push_back(w->pozycja);
    if (pozycje.empty()) return;
    std::optional<ZadanieWysylki> zadanie = przygotujZadanie();
    if (!zadanie) return;
    // One run for the whole selection: one login, one session.
    zadanie->wybor.pozycje = pozycje;
    const auto wyslij = uslugi.wyslij;
    const ZadanieWysylki z = *zadanie;
    uruchom(QStringLiteral("Wysyłanie zaznaczonych dokumentów (%1)…").arg(pozycje.size()),
            [wyslij, z](SystemPlikow& system, const PostepWysylki& p) { return wyslij(system, z, p); });
}

void OknoKsef::wystawOfflineZaznaczone() {
    if (wysylanie()) return;
    std::vector<std::int64_t> pozycje;
    for (const Wiersz* w : zaznaczone())
        if (doWystawieniaOffline(*w)) pozycje.push_back(w->pozycja);
    if (pozycje.empty()) return;
    // The settings first, so that nobody fills the dialog in vain.
    const std::optional<Kontekst> k = przygotujKontekst();
    if (!k) return;
    const UstawieniaKsef& u = k->ustawienia;
    if (u.plikCertyfikatuOffline.isEmpty() || u.plikKluczaOffline.isEmpty()) {
        pokazBlad(QStringLiteral(
            "W ustawieniach KSeF brak certyfikatu Offline albo jego klucza, którym podpisuje się KOD II "
            "faktur offline: wskaż je w programie faktura-ustawienia, na stronie „KSeF”."));
        return;
    }
    const QDate dzisiaj = uslugi.dzisiaj ? uslugi.dzisiaj() : QDate::currentDate();
    const std::optional<WyborOffline> wybor =
        uslugi.zapytajOTrybOffline(this, static_cast<int>(pozycje.size()), dzisiaj);
    if (!wybor) return;
    const std::optional<QString> haslo =
        sekret(NazwaSekretu(RodzajSekretu::HasloKluczaOffline, k->nip, u.srodowisko),
               QStringLiteral("Hasło klucza certyfikatu Offline „%1”:").arg(u.plikKluczaOffline),
               QStringLiteral("Anulowano: bez hasła klucza Offline nic nie wystawiono."));
    if (!haslo) return;
    ZadanieOffline wzor;
    wzor.srodowisko = k->srodowisko;
    wzor.tryb = wybor->tryb;
    if (wybor->tryb != TrybOffline::Offline24) wzor.koniec = wybor->koniec;
    wzor.nipKontekstu = k->nip;
    wzor.plikCertyfikatu = u.plikCertyfikatuOffline;
    wzor.plikKlucza = u.plikKluczaOffline;
    wzor.hasloKlucza = haslo->toUtf8();
    wzor.dzisiaj = dzisiaj;
    // One run for the whole selection.
    wzor.wybor.pozycje = pozycje;
    const auto wystaw = uslugi.wystawOffline;
    wystawiane_ = pozycje;
    uruchom(QStringLiteral("Wystawianie offline zaznaczonych dokumentów (%1)…").arg(pozycje.size()),
            [wystaw, wzor](SystemPlikow& system, const PostepWysylki& p) { return wystaw(system, wzor, p); });
}

void OknoKsef::wyslijNiewyslane() {
    if (wysylanie()) return;
    std::optional<ZadanieWysylki> zadanie = przygotujZadanie();
    if (!zadanie) return;
    const QString miesiac = filtr_miesiaca->currentData().toString();
    if (!miesiac.isEmpty()) zadanie->wybor.miesiac = miesiac;
    const auto wyslij = uslugi.wyslij;
    const ZadanieWysylki z = *zadanie;
    uruchom(miesiac.isEmpty() ? QStringLiteral("Wysyłanie wszystkich niewysłanych dokumentów…")
                              : QStringLiteral("Wysyłanie niewysłanych dokumentów z %1…").arg(miesiac),
            [wyslij, z](SystemPlikow& system, const PostepWysylki& p) { return wyslij(system, z, p); });
}

void OknoKsef::pobierzUpo() {
    if (wysylanie()) return;
    std::optional<ZadanieWysylki> zadanie = przygotujZadanie();
    if (!zadanie) return;
    const auto pobierz = uslugi.pobierzUpo;
    const ZadanieWysylki z = *zadanie;
    uruchom(QStringLiteral("Pobieranie brakujących UPO…"),
            [pobierz, z](SystemPlikow& system, const PostepWysylki& p) { return pobierz(system, z, p); });
}

void OknoKsef::przerwijWysylanie() {
    if (!wysylanie()) return;
    przerwano_ = true;
    UstawTekst(stan, QStringLiteral("Przerywanie po bieżącym kroku…"));
    odswiezPrzyciski();
}

void OknoKsef::uruchom(const QString& opis,
                       std::function<WynikWysylki(SystemPlikow&, const PostepWysylki&)> praca) {
    przerwano_ = false;
    wynik_ = WynikWysylki{};
    postep->setRange(0, 0);  // busy until the first count
    UstawTekst(stan, opis);
    // The callbacks come from the worker thread; what they show goes to the window's thread.
    PostepWysylki p;
    p.komunikat = [this](const QString& tekst) {
        QMetaObject::invokeMethod(
            this, [this, tekst] { UstawTekst(stan, tekst); }, Qt::QueuedConnection);
    };
    p.postep = [this](int zrobione, int wszystkie) {
        QMetaObject::invokeMethod(
            this,
            [this, zrobione, wszystkie] {
                postep->setRange(0, std::max(1, wszystkie));
                postep->setValue(std::clamp(zrobione, 0, std::max(1, wszystkie)));
            },
            Qt::QueuedConnection);
    };
    p.przerwij = [this] { return przerwano_.load(); };
    watek_ = QThread::create([this, praca = std::move(praca), p] {
        try {
            wynik_ = praca(system_, p);
        } catch (...) {
            wynik_ = WynikWysylki{};
            wynik_.bledy.append(KomunikatBiezacegoBledu());
            wynik_.kod = 1;
        }
    });
    connect(watek_, &QThread::finished, this, &OknoKsef::zakonczonoPrace);
    odswiezPrzyciski();
    setCursor(Qt::BusyCursor);
    watek_->start();
}

void OknoKsef::zakonczonoPrace() {
    watek_->wait();
    delete watek_;
    watek_ = nullptr;
    unsetCursor();
    // Messages queued by the worker before it ended come first, so that the summary stays.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    postep->setRange(0, 1);
    postep->setValue(1);
    const WynikWysylki wynik = wynik_;
    const bool przerwane = przerwano_;
    przerwano_ = false;
    const std::optional<std::vector<std::int64_t>> wystawiane = std::exchange(wystawiane_, std::nullopt);
    wczytaj();
    QString tekst = OpisWyniku(wynik);
    if (wystawiane) {
        // Counted from the states read again, whatever the run's own counters say.
        int offline = 0;
        for (const Wiersz& w : wiersze_)
            if (w.stan && w.stan->stan == StanWysylki::Offline &&
                std::find(wystawiane->begin(), wystawiane->end(), w.pozycja) != wystawiane->end())
                ++offline;
        tekst = QStringLiteral("Wystawione offline: %1 z %2.").arg(offline).arg(wystawiane->size());
    }
    if (przerwane) tekst = QStringLiteral("Przerwano. ") + tekst;
    if (!wynik.bledy.isEmpty()) tekst += QStringLiteral(" Błędy: %1.").arg(wynik.bledy.size());
    UstawTekst(stan, tekst);
    if (!wynik.bledy.isEmpty() && !zamknijPoZakonczeniu_) pokazBlad(wynik.bledy.join(u'\n'));
    emit zakonczono(wynik);
    if (zamknijPoZakonczeniu_) close();
}

void OknoKsef::closeEvent(QCloseEvent* zdarzenie) {
    if (!wysylanie()) {
        zdarzenie->accept();
        return;
    }
    // The window goes once the current step is written.
    zamknijPoZakonczeniu_ = true;
    przerwano_ = true;
    UstawTekst(stan, QStringLiteral("Kończenie po bieżącym kroku; okno zamknie się samo…"));
    odswiezPrzyciski();
    zdarzenie->ignore();
}

int UruchomOknoKsef(SystemPlikow& system) {
    OknoKsef okno(system);
    okno.show();
    okno.wczytaj();
    return QApplication::exec();
}
