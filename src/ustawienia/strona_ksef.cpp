#include "ustawienia/strona_ksef.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QThread>
#include <QVBoxLayout>

#include "calc/dokument.h"
#include "kontrolki/teksty_kontrolek.h"
#include "store/blad.h"
#include "store/sciezki.h"
#include "wysylka/logowanie_ksef.h"

namespace {

const QString FiltrCertyfikatu = QStringLiteral("Certyfikat (*.crt *.cer *.pem *.der);;Wszystkie pliki (*)");
const QString FiltrKlucza = QStringLiteral("Klucz prywatny (*.key *.pem);;Wszystkie pliki (*)");

bool TeSame(const UstawieniaKsef& a, const UstawieniaKsef& b) {
    return a.srodowisko == b.srodowisko && a.nipKontekstu == b.nipKontekstu &&
           a.poswiadczenie == b.poswiadczenie && a.plikCertyfikatu == b.plikCertyfikatu &&
           a.plikKlucza == b.plikKlucza && a.plikCertyfikatuOffline == b.plikCertyfikatuOffline &&
           a.plikKluczaOffline == b.plikKluczaOffline;
}

QLineEdit* Haslo(QWidget* rodzic, const char* nazwa, const QString& dostepna) {
    auto* pole = Nazwany(new QLineEdit(rodzic), nazwa, dostepna);
    pole->setEchoMode(QLineEdit::Password);
    return pole;
}

QLabel* Etykieta(QWidget* rodzic, const QString& tekst, QWidget* dla) {
    auto* etykieta = new QLabel(tekst + u':', rodzic);
    etykieta->setObjectName(QStringLiteral("etykieta_") + dla->objectName());
    etykieta->setAccessibleName(dla->accessibleName());
    etykieta->setBuddy(dla);
    return etykieta;
}

}  // namespace

StronaKsef::StronaKsef(KontekstUstawien& kontekst, QWidget* rodzic)
    : StronaUstawien(kontekst, "strona_ksef", QStringLiteral("KSeF"), rodzic) {
    dodajOpis(QStringLiteral(
        "Wysyłanie faktur do Krajowego Systemu e-Faktur programem faktura-ksef. Ustawienia są zapisywane "
        "w folderze danych („Admini\\ksef.ini”), wspólne dla wszystkich stanowisk; token i hasła kluczy "
        "— tylko w pęku kluczy pulpitu tego stanowiska, nigdy w pliku."));
    // The sections scroll when the window is lower than they are; the save buttons stay in view.
    auto* przewijanie = Nazwany(new QScrollArea(this), "przewijanie_ksef", QStringLiteral("Ustawienia KSeF"));
    przewijanie->setWidgetResizable(true);
    przewijanie->setFrameShape(QFrame::NoFrame);
    auto* tresc = Nazwany(new QWidget(przewijanie), "tresc_ksef", QStringLiteral("Ustawienia KSeF"));
    tresc_ = new QVBoxLayout(tresc);
    tresc_->setContentsMargins(0, 0, 0, 0);
    dodajSrodowisko();
    dodajPoswiadczenie();
    dodajOffline();
    dodajSprawdzenie();
    tresc_->addStretch();
    przewijanie->setWidget(tresc);
    uklad_->addWidget(przewijanie, 1);
    dodajPrzyciskiZapisu();
}

StronaKsef::~StronaKsef() {
    // The check holds copies of what it needs; it is only waited for.
    if (watek_) {
        watek_->disconnect(this);
        watek_->wait();
        delete watek_;
    }
}

void StronaKsef::dodajSrodowisko() {
    auto* grupa = Nazwany(new QGroupBox(QStringLiteral("Środowisko KSeF"), this), "grupa_srodowisko",
                          QStringLiteral("Środowisko KSeF"));
    auto* uklad = new QGridLayout(grupa);
    srodowisko_test = Nazwany(new QRadioButton(QStringLiteral("Testowe"), grupa), "srodowisko_test",
                              QStringLiteral("Środowisko testowe"));
    srodowisko_demo = Nazwany(new QRadioButton(QStringLiteral("Przedprodukcyjne (demo)"), grupa),
                              "srodowisko_demo", QStringLiteral("Środowisko przedprodukcyjne"));
    srodowisko_produkcja =
        Nazwany(new QRadioButton(QStringLiteral("Produkcyjne (faktury naprawdę wystawiane)"), grupa),
                "srodowisko_produkcja", QStringLiteral("Środowisko produkcyjne"));
    srodowisko_wlasne = Nazwany(new QRadioButton(QStringLiteral("Własny adres API:"), grupa),
                                "srodowisko_wlasne", QStringLiteral("Własny adres API"));
    adres_wlasny = Nazwany(new QLineEdit(grupa), "adres_wlasny", QStringLiteral("Adres API KSeF"));
    adres_wlasny->setPlaceholderText(QStringLiteral("https://…/v2"));
    auto* przyciski = new QButtonGroup(this);
    // The three of the Ministry in one row: the page fits the window without scrolling.
    auto* rzad = new QHBoxLayout;
    for (QRadioButton* r : {srodowisko_test, srodowisko_demo, srodowisko_produkcja}) {
        przyciski->addButton(r);
        rzad->addWidget(r);
    }
    rzad->addStretch();
    int wiersz = 0;
    uklad->addLayout(rzad, wiersz++, 0, 1, 2);
    przyciski->addButton(srodowisko_wlasne);
    uklad->addWidget(srodowisko_wlasne, wiersz, 0);
    uklad->addWidget(adres_wlasny, wiersz++, 1);

    nip_kontekstu = Nazwany(new QLineEdit(grupa), "nip_kontekstu", QStringLiteral("NIP kontekstu"));
    uklad->addWidget(Etykieta(grupa, QStringLiteral("NIP kontekstu"), nip_kontekstu), wiersz, 0);
    uklad->addWidget(nip_kontekstu, wiersz++, 1);
    uwaga_nip = Nazwany(new QLabel(grupa), "uwaga_nip", QStringLiteral("Uwaga: NIP kontekstu"));
    uwaga_nip->setWordWrap(true);
    uklad->addWidget(uwaga_nip, wiersz++, 1);
    uklad->setColumnStretch(1, 1);
    tresc_->addWidget(grupa);
}

void StronaKsef::dodajPoswiadczenie() {
    auto* grupa = Nazwany(new QGroupBox(QStringLiteral("Uwierzytelnienie"), this), "grupa_poswiadczenie",
                          QStringLiteral("Uwierzytelnienie w KSeF"));
    // The keyring's note wraps: a box layout gives it the height its width needs, a grid does not.
    auto* pionowy = new QVBoxLayout(grupa);
    auto* uklad = new QGridLayout;
    pionowy->addLayout(uklad);
    poswiadczenie_token = Nazwany(new QRadioButton(QStringLiteral("Token KSeF"), grupa),
                                  "poswiadczenie_token", QStringLiteral("Uwierzytelnienie tokenem KSeF"));
    poswiadczenie_certyfikat =
        Nazwany(new QRadioButton(QStringLiteral("Certyfikat KSeF"), grupa), "poswiadczenie_certyfikat",
                QStringLiteral("Uwierzytelnienie certyfikatem KSeF"));
    auto* przyciski = new QButtonGroup(this);
    przyciski->addButton(poswiadczenie_token);
    przyciski->addButton(poswiadczenie_certyfikat);
    uklad->addWidget(poswiadczenie_token, 0, 0);
    uklad->addWidget(poswiadczenie_certyfikat, 0, 1);

    token = Haslo(grupa, "token", QStringLiteral("Token KSeF"));
    plik_certyfikatu = Nazwany(new QLineEdit(grupa), "plik_certyfikatu", QStringLiteral("Plik certyfikatu"));
    wybierz_certyfikat = Przycisk(grupa, "wybierz_certyfikat", QStringLiteral("Wybierz…"));
    wybierz_certyfikat->setAccessibleName(QStringLiteral("Wybierz: plik certyfikatu"));
    plik_klucza = Nazwany(new QLineEdit(grupa), "plik_klucza", QStringLiteral("Plik klucza prywatnego"));
    wybierz_klucz = Przycisk(grupa, "wybierz_klucz", QStringLiteral("Wybierz…"));
    wybierz_klucz->setAccessibleName(QStringLiteral("Wybierz: plik klucza prywatnego"));
    haslo_klucza = Haslo(grupa, "haslo_klucza", QStringLiteral("Hasło klucza prywatnego"));
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Token"), token), 1, 0);
    uklad->addWidget(token, 1, 1, 1, 2);
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Certyfikat"), plik_certyfikatu), 2, 0);
    uklad->addWidget(plik_certyfikatu, 2, 1);
    uklad->addWidget(wybierz_certyfikat, 2, 2);
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Klucz prywatny"), plik_klucza), 3, 0);
    uklad->addWidget(plik_klucza, 3, 1);
    uklad->addWidget(wybierz_klucz, 3, 2);
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Hasło klucza"), haslo_klucza), 4, 0);
    uklad->addWidget(haslo_klucza, 4, 1, 1, 2);
    stan_sejfu = Nazwany(new QLabel(grupa), "stan_sejfu", QStringLiteral("Pęk kluczy"));
    stan_sejfu->setWordWrap(true);
    pionowy->addWidget(stan_sejfu);
    uklad->setColumnStretch(1, 1);
    tresc_->addWidget(grupa);
}

void StronaKsef::dodajOffline() {
    auto* grupa = Nazwany(new QGroupBox(QStringLiteral("Certyfikat Offline (kody QR faktur offline)"), this),
                          "grupa_offline", QStringLiteral("Certyfikat Offline"));
    auto* uklad = new QGridLayout(grupa);
    plik_certyfikatu_offline =
        Nazwany(new QLineEdit(grupa), "plik_certyfikatu_offline", QStringLiteral("Plik certyfikatu Offline"));
    wybierz_certyfikat_offline = Przycisk(grupa, "wybierz_certyfikat_offline", QStringLiteral("Wybierz…"));
    wybierz_certyfikat_offline->setAccessibleName(QStringLiteral("Wybierz: plik certyfikatu Offline"));
    plik_klucza_offline = Nazwany(new QLineEdit(grupa), "plik_klucza_offline",
                                  QStringLiteral("Plik klucza certyfikatu Offline"));
    wybierz_klucz_offline = Przycisk(grupa, "wybierz_klucz_offline", QStringLiteral("Wybierz…"));
    wybierz_klucz_offline->setAccessibleName(QStringLiteral("Wybierz: plik klucza certyfikatu Offline"));
    haslo_klucza_offline =
        Haslo(grupa, "haslo_klucza_offline", QStringLiteral("Hasło klucza certyfikatu Offline"));
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Certyfikat"), plik_certyfikatu_offline), 0, 0);
    uklad->addWidget(plik_certyfikatu_offline, 0, 1);
    uklad->addWidget(wybierz_certyfikat_offline, 0, 2);
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Klucz prywatny"), plik_klucza_offline), 1, 0);
    uklad->addWidget(plik_klucza_offline, 1, 1);
    uklad->addWidget(wybierz_klucz_offline, 1, 2);
    uklad->addWidget(Etykieta(grupa, QStringLiteral("Hasło klucza"), haslo_klucza_offline), 2, 0);
    uklad->addWidget(haslo_klucza_offline, 2, 1, 1, 2);
    uklad->setColumnStretch(1, 1);
    tresc_->addWidget(grupa);
}

void StronaKsef::dodajSprawdzenie() {
    auto* rzad = new QHBoxLayout;
    sprawdz_polaczenie = Przycisk(this, "sprawdz_polaczenie", QStringLiteral("Sprawdź połączenie"));
    sprawdz_polaczenie->setToolTip(QStringLiteral(
        "Loguje się do wybranego środowiska KSeF tym, co pokazuje strona, i od razu kończy sesję"));
    wynik_polaczenia =
        Nazwany(new QLabel(this), "wynik_polaczenia", QStringLiteral("Wynik sprawdzenia połączenia"));
    wynik_polaczenia->setWordWrap(true);
    wynik_polaczenia->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rzad->addWidget(sprawdz_polaczenie);
    rzad->addWidget(wynik_polaczenia, 1);
    tresc_->addLayout(rzad);
}

QString StronaKsef::sciezka() const { return SciezkaDanych(foldery().danych, SciezkaUstawienKsef); }

UstawieniaKsef StronaKsef::ustawienia() const {
    UstawieniaKsef u;
    if (srodowisko_test->isChecked()) u.srodowisko = QStringLiteral("test");
    if (srodowisko_demo->isChecked()) u.srodowisko = QStringLiteral("demo");
    if (srodowisko_produkcja->isChecked()) u.srodowisko = QStringLiteral("produkcja");
    if (srodowisko_wlasne->isChecked()) u.srodowisko = adres_wlasny->text().trimmed();
    u.nipKontekstu = nip_kontekstu->text().trimmed();
    u.poswiadczenie = poswiadczenie_token->isChecked() ? UstawieniaKsef::Poswiadczenie::Token
                                                       : UstawieniaKsef::Poswiadczenie::Certyfikat;
    u.plikCertyfikatu = plik_certyfikatu->text().trimmed();
    u.plikKlucza = plik_klucza->text().trimmed();
    u.plikCertyfikatuOffline = plik_certyfikatu_offline->text().trimmed();
    u.plikKluczaOffline = plik_klucza_offline->text().trimmed();
    return u;
}

QString StronaKsef::nipKontekstu() const { return NipKontekstuKsef(ustawienia(), nipSprzedawcy_); }

std::vector<std::pair<QString, QLineEdit*>> StronaKsef::wpisaneSekrety() const {
    const UstawieniaKsef u = ustawienia();
    const QString nip = nipKontekstu();
    std::vector<std::pair<QString, QLineEdit*>> sekrety;
    const std::pair<RodzajSekretu, QLineEdit*> pola[] = {
        {RodzajSekretu::Token, token},
        {RodzajSekretu::HasloKlucza, haslo_klucza},
        {RodzajSekretu::HasloKluczaOffline, haslo_klucza_offline},
    };
    for (const auto& [rodzaj, pole] : pola)
        if (pole->isEnabled() && !pole->text().isEmpty())
            sekrety.emplace_back(NazwaSekretu(rodzaj, nip, u.srodowisko), pole);
    return sekrety;
}

void StronaKsef::wczytaj() {
    odczytNieudany_ = false;
    pokazBladOdczytu({});
    nipSprzedawcy_.clear();
    try {
        nipSprzedawcy_ = NipSprzedawcy(pliki(), foldery().danych);
    } catch (const BladPliku&) {
        // The firm's page says what is wrong with its file; here the NIP only stays unknown.
    }
    zapisane_ = UstawieniaKsef{};
    QString uwaga;
    try {
        if (!PlikIstnieje(pliki(), sciezka()))
            uwaga = QStringLiteral("Pliku jeszcze nie ma: pokazane są ustawienia domyślne.");
        zapisane_ = CzytajUstawieniaKsef(pliki());
    } catch (...) {
        odczytNieudany_ = true;
        pokazBladOdczytu(QStringLiteral("Nie można odczytać pliku. ") + KomunikatBiezacegoBledu());
    }
    pokazPlik(sciezka(), uwaga);

    const UstawieniaKsef& u = zapisane_;
    {
        std::vector<std::unique_ptr<QSignalBlocker>> blokady;
        for (QObject* o : findChildren<QRadioButton*>())
            blokady.push_back(std::make_unique<QSignalBlocker>(o));
        for (QObject* o : findChildren<QLineEdit*>()) blokady.push_back(std::make_unique<QSignalBlocker>(o));
        const QString nazwa = u.srodowisko.trimmed().toLower();
        srodowisko_test->setChecked(nazwa == u"test");
        srodowisko_demo->setChecked(nazwa == u"demo");
        srodowisko_produkcja->setChecked(nazwa == u"produkcja");
        const bool wlasne = nazwa != u"test" && nazwa != u"demo" && nazwa != u"produkcja";
        srodowisko_wlasne->setChecked(wlasne);
        adres_wlasny->setText(wlasne ? u.srodowisko : QString());
        nip_kontekstu->setText(u.nipKontekstu);
        nip_kontekstu->setPlaceholderText(nipSprzedawcy_.isEmpty()
                                              ? QStringLiteral("brak poprawnego NIP-u w danych firmy")
                                              : nipSprzedawcy_ + QStringLiteral(" (NIP sprzedawcy)"));
        poswiadczenie_token->setChecked(u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token);
        poswiadczenie_certyfikat->setChecked(u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Certyfikat);
        for (QLineEdit* sekret : {token, haslo_klucza, haslo_klucza_offline}) sekret->clear();
        plik_certyfikatu->setText(u.plikCertyfikatu);
        plik_klucza->setText(u.plikKlucza);
        plik_certyfikatu_offline->setText(u.plikCertyfikatuOffline);
        plik_klucza_offline->setText(u.plikKluczaOffline);
    }
    if (!sprawdzanie()) UstawTekst(wynik_polaczenia, QString());
    odswiezDostepnosc();
    odswiezStanSejfu();
    wczytana = true;
    emit stanZmieniony();
}

void StronaKsef::odswiezDostepnosc() {
    adres_wlasny->setEnabled(srodowisko_wlasne->isChecked());
    const bool tokenem = poswiadczenie_token->isChecked();
    token->setEnabled(tokenem);
    for (QWidget* w : std::initializer_list<QWidget*>{plik_certyfikatu, wybierz_certyfikat, plik_klucza,
                                                      wybierz_klucz, haslo_klucza})
        w->setEnabled(!tokenem);
    sprawdz_polaczenie->setEnabled(!sprawdzanie());

    QString uwaga;
    const QString wpisany = nip_kontekstu->text().trimmed();
    if (!wpisany.isEmpty()) {
        const std::optional<QString> cyfry = CyfryNip(wpisany);
        if (!cyfry || !PoprawnyNip(*cyfry)) uwaga = QStringLiteral("To nie jest poprawny NIP.");
    } else if (nipSprzedawcy_.isEmpty()) {
        uwaga =
            QStringLiteral("W danych firmy (strona „Firma”) nie ma poprawnego NIP-u: wpisz NIP kontekstu.");
    } else {
        uwaga = QStringLiteral("Pusty: używany jest NIP sprzedawcy z danych firmy, %1.").arg(nipSprzedawcy_);
    }
    UstawTekst(uwaga_nip, uwaga);
}

void StronaKsef::odswiezStanSejfu() {
    const UstawieniaKsef u = ustawienia();
    const QString nip = nipKontekstu();
    const QString nazwa = NazwaSekretuUstawien(u, nip);
    const WynikSejfu glowny = uslugi.czytajSekret(nazwa);
    const QString co = u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token
                           ? QStringLiteral("Token")
                           : QStringLiteral("Hasło klucza");
    QString tekst;
    if (!glowny.sejfDostepny) {
        tekst = QStringLiteral(
            "Pęk kluczy pulpitu jest niedostępny: token i hasła nie zostaną zapamiętane. Program "
            "faktura-ksef zapyta o nie przy każdym wysyłaniu.");
    } else if (!glowny.blad.isEmpty()) {
        tekst = glowny.blad;
    } else if (glowny.wartosc) {
        tekst = QStringLiteral("%1 jest zapisany w pęku kluczy tego stanowiska; wpisz nowy, aby go zastąpić.")
                    .arg(co);
    } else {
        tekst = QStringLiteral(
                    "%1 nie jest zapisany w pęku kluczy: wpisz go i zapisz albo program faktura-ksef "
                    "zapyta o niego przy wysyłaniu.")
                    .arg(co);
    }
    for (QLineEdit* sekret : {token, haslo_klucza})
        sekret->setPlaceholderText(glowny.wartosc ? QStringLiteral("(zapisany w pęku kluczy)") : QString());
    UstawTekst(stan_sejfu, tekst);
}

void StronaKsef::zmienionoUstawienie() {
    odswiezDostepnosc();
    emit stanZmieniony();
}

bool StronaKsef::zmieniona() const { return !TeSame(ustawienia(), zapisane_) || !wpisaneSekrety().empty(); }

void StronaKsef::wybierzPlik(QLineEdit* pole, const QString& tytul, const QString& filtr) {
    OpisDialogu opis;
    opis.tytul = tytul;
    opis.filtr = filtr;
    opis.folder = pole->text().isEmpty() ? foldery().danych : KatalogNadrzedny(pole->text());
    if (const auto plik = pulpit().plikDoOtwarcia(this, opis)) pole->setText(*plik);
}

void StronaKsef::wybierzCertyfikat() {
    wybierzPlik(plik_certyfikatu, QStringLiteral("Certyfikat KSeF"), FiltrCertyfikatu);
}
void StronaKsef::wybierzKlucz() {
    wybierzPlik(plik_klucza, QStringLiteral("Klucz prywatny certyfikatu KSeF"), FiltrKlucza);
}
void StronaKsef::wybierzCertyfikatOffline() {
    wybierzPlik(plik_certyfikatu_offline, QStringLiteral("Certyfikat Offline"), FiltrCertyfikatu);
}
void StronaKsef::wybierzKluczOffline() {
    wybierzPlik(plik_klucza_offline, QStringLiteral("Klucz prywatny certyfikatu Offline"), FiltrKlucza);
}

bool StronaKsef::zapisz() {
    UstawieniaKsef u = ustawienia();
    QStringList bledy;
    QString bladSrodowiska;
    if (!ZnajdzSrodowisko(u.srodowisko, &bladSrodowiska))
        bledy.append(QStringLiteral("adres API KSeF: ") +
                     (bladSrodowiska.isEmpty() ? QStringLiteral("nie podano adresu") : bladSrodowiska));
    if (!u.nipKontekstu.isEmpty()) {
        const std::optional<QString> cyfry = CyfryNip(u.nipKontekstu);
        if (!cyfry || !PoprawnyNip(*cyfry))
            bledy.append(QStringLiteral("NIP kontekstu „%1” nie jest poprawnym NIP-em").arg(u.nipKontekstu));
        else
            u.nipKontekstu = *cyfry;  // the file holds the ten digits, as every reader expects them
    }
    if (!sprawdzBledy(bledy)) return false;
    if (odczytNieudany_ && !zastapicNieczytelny(sciezka())) return false;
    if (!Chron(pulpit(), this, [&] { ZapiszUstawieniaKsef(pliki(), u); })) return false;
    odczytNieudany_ = false;
    zapisane_ = u;
    {
        const QSignalBlocker blokada(nip_kontekstu);
        nip_kontekstu->setText(u.nipKontekstu);
    }

    // The secrets go to the keyring only; what it does not take is not kept anywhere.
    QStringList nieZapisane;
    bool brakSejfu = false;
    for (const auto& [nazwa, pole] : wpisaneSekrety()) {
        const WynikSejfu wynik = uslugi.zapiszSekret(nazwa, pole->text());
        if (!wynik.sejfDostepny || !wynik.blad.isEmpty()) {
            brakSejfu = brakSejfu || !wynik.sejfDostepny;
            nieZapisane.append(pole->accessibleName() +
                               (wynik.blad.isEmpty() ? QString() : QStringLiteral(": ") + wynik.blad));
        }
    }
    for (QLineEdit* sekret : {token, haslo_klucza, haslo_klucza_offline}) {
        const QSignalBlocker blokada(sekret);
        sekret->clear();
    }
    pokazPlik(sciezka(), QStringLiteral("Zapisano."));
    odswiezStanSejfu();
    emit stanZmieniony();
    if (!nieZapisane.isEmpty())
        pulpit().informacja(
            this,
            QStringLiteral("Ustawienia zapisano, ale pęk kluczy nie przyjął:\n%1\n\n%2")
                .arg(nieZapisane.join(u'\n'),
                     brakSejfu ? QStringLiteral("Pęk kluczy pulpitu jest niedostępny; program faktura-ksef "
                                                "zapyta o te dane przy wysyłaniu.")
                               : QStringLiteral("Program faktura-ksef zapyta o te dane przy wysyłaniu.")));
    return true;
}

void StronaKsef::sprawdzPolaczenie() {
    if (sprawdzanie()) return;
    const UstawieniaKsef u = ustawienia();
    QString blad;
    const std::optional<SrodowiskoKsef> srodowisko = ZnajdzSrodowisko(u.srodowisko, &blad);
    if (!srodowisko) {
        UstawTekst(wynik_polaczenia, QStringLiteral("Nie sprawdzono: ") +
                                         (blad.isEmpty() ? QStringLiteral("nie podano adresu API.") : blad));
        return;
    }
    const QString nip = nipKontekstu();
    if (const std::optional<QString> cyfry = CyfryNip(nip); !cyfry || !PoprawnyNip(*cyfry)) {
        UstawTekst(wynik_polaczenia, QStringLiteral("Nie sprawdzono: brak poprawnego NIP-u kontekstu."));
        return;
    }
    // What is typed on the page, else what the keyring keeps.
    QLineEdit* pole = u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token ? token : haslo_klucza;
    QString sekret = pole->text();
    if (sekret.isEmpty())
        sekret = uslugi.czytajSekret(NazwaSekretuUstawien(u, nip)).wartosc.value_or(QString());
    if (sekret.isEmpty() && u.poswiadczenie == UstawieniaKsef::Poswiadczenie::Token) {
        UstawTekst(wynik_polaczenia, QStringLiteral("Nie sprawdzono: wpisz token KSeF."));
        return;
    }
    const PoswiadczeniaKsef poswiadczenia = PoswiadczeniaZUstawien(u, nip, sekret);
    const SrodowiskoKsef dokad = *srodowisko;
    const auto sprawdz = uslugi.sprawdzPolaczenie;
    watek_ = QThread::create([this, sprawdz, dokad, poswiadczenia] {
        try {
            wynikWatku_ = sprawdz(dokad, poswiadczenia);
        } catch (...) {
            wynikWatku_ = KomunikatBiezacegoBledu();
        }
    });
    connect(watek_, &QThread::finished, this, [this] { zakonczonoSprawdzanie(wynikWatku_); });
    UstawTekst(wynik_polaczenia, QStringLiteral("Sprawdzanie połączenia z KSeF (%1)…").arg(dokad.nazwa));
    sprawdz_polaczenie->setEnabled(false);
    setCursor(Qt::BusyCursor);
    watek_->start();
}

void StronaKsef::zakonczonoSprawdzanie(const QString& wynik) {
    watek_->wait();
    delete watek_;
    watek_ = nullptr;
    unsetCursor();
    sprawdz_polaczenie->setEnabled(true);
    UstawTekst(wynik_polaczenia, wynik.isEmpty()
                                     ? QStringLiteral("Połączenie działa: KSeF przyjął uwierzytelnienie.")
                                     : QStringLiteral("Połączenie nie powiodło się: ") + wynik);
    emit sprawdzonoPolaczenie(wynik);
}
