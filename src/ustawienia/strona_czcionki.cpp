#include "ustawienia/strona_czcionki.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "kontrolki/teksty_kontrolek.h"
#include "print/czcionki.h"
#include "print/kolory.h"
#include "print/wydruk.h"
#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

StronaCzcionki::StronaCzcionki(KontekstUstawien& kontekst, QWidget* rodzic)
    : StronaUstawien(kontekst, "strona_czcionka", QStringLiteral("Czcionka wydruku"), rodzic) {
    dodajOpis(
        QStringLiteral("Krój, wielkość i kolor liter wydruku faktury (tabelka pozycji drukuje się zawsze "
                       "czcionką Courier New). Moduł czyta ten plik z podfolderu FONT folderu, w którym "
                       "jest uruchamiany. Styl jest zapisywany, ale wydruk z niego nie korzysta."));
    dodajWartosci();
    dodajPrzyciskiWyboru();
    dodajPodglad();
    uklad_->addStretch();
    dodajPrzyciskiZapisu();
}

void StronaCzcionki::dodajWartosci() {
    auto* formularz = new QFormLayout;
    auto etykieta = [this](const char* nazwa, const char* dostepna) {
        return Nazwany(new QLabel(this), nazwa, QString::fromUtf8(dostepna));
    };
    kroj = etykieta("kroj", "Krój czcionki");
    rozmiar = etykieta("rozmiar", "Wielkość czcionki");
    styl = etykieta("styl", "Styl czcionki");
    kolor = etykieta("kolor", "Kolor czcionki");
    const std::pair<const char*, QLabel*> wiersze[] = {
        {"Krój", kroj}, {"Wielkość", rozmiar}, {"Styl", styl}, {"Kolor", kolor}};
    for (const auto& [tekst, wartosc] : wiersze) {
        auto* opisWiersza = new QLabel(QString::fromUtf8(tekst) + u':', this);
        opisWiersza->setObjectName(QStringLiteral("etykieta_") + wartosc->objectName());
        opisWiersza->setAccessibleName(QString::fromUtf8(tekst));
        formularz->addRow(opisWiersza, wartosc);
    }
    uklad_->addLayout(formularz);
}

void StronaCzcionki::dodajPrzyciskiWyboru() {
    auto* przyciski = new QHBoxLayout;
    wybierz_czcionke = Przycisk(this, "wybierz_czcionke", QStringLiteral("Wybierz czcionkę…"));
    wybierz_kolor = Przycisk(this, "wybierz_kolor", QStringLiteral("Wybierz kolor…"));
    przyciski->addWidget(wybierz_czcionke);
    przyciski->addWidget(wybierz_kolor);
    przyciski->addStretch();
    uklad_->addLayout(przyciski);
}

void StronaCzcionki::dodajPodglad() {
    auto* ramka = Nazwany(new QFrame(this), "podglad", QStringLiteral("Podgląd wydruku"));
    ramka->setFrameShape(QFrame::StyledPanel);
    ramka->setStyleSheet(QStringLiteral("QFrame#podglad { background: white; }"));
    podglad = ramka;
    auto* linie = new QVBoxLayout(ramka);
    for (int numer = 1; numer <= LiniiPodgladu; ++numer) {
        const QByteArray nazwa = QByteArray("podglad_linia") + QByteArray::number(numer);
        auto* linia =
            Nazwany(new QLabel(ramka), nazwa.constData(), QStringLiteral("Podgląd, linia %1").arg(numer));
        linie->addWidget(linia);
        linie_.push_back(linia);
    }
    uklad_->addWidget(ramka);
}

// The lines as the printout writes them: the seller of "firma.dat" in the data folder, an amount
// and its words by the printout's own functions; only the number and the buyer are an example.
void StronaCzcionki::pokazPrzyklad() {
    constexpr double Kwota = 1230.0;
    TDaneFirmy firma{};
    try {
        firma = CzytajLubDomyslny<TDaneFirmy>(pliki(), SciezkaDanych(foldery().danych, SciezkaDanychFirmy));
    } catch (const BladPliku&) {
        // The "Firma" page reports an unreadable file; the preview shows only that there is no seller.
    }
    const QString sprzedawca = firma.linia1.tekst().trimmed();
    const QString przyklad[LiniiPodgladu] = {
        QStringLiteral("Faktura Vat nr 12/2026"),
        QStringLiteral("Sprzedawca :  ") +
            (sprzedawca.isEmpty() ? QStringLiteral("(uzupełnij stronę Firma)") : firma.linia1.tekst()),
        QStringLiteral("Nabywca :  Jan Kowalski, ul. Łąkowa 5, 31-532 Kraków"),
        QStringLiteral("Do zapłaty :   ") + TekstKwotyPln(Kwota),
        LiniaSlownie(Kwota),
    };
    for (int i = 0; i < LiniiPodgladu; ++i) linie_[static_cast<std::size_t>(i)]->setText(przyklad[i]);
}

// The seller may have been changed on its page since this one was read.
void StronaCzcionki::showEvent(QShowEvent* zdarzenie) {
    pokazPrzyklad();
    StronaUstawien::showEvent(zdarzenie);
}

QString StronaCzcionki::sciezka() const { return SciezkaCzcionkiWydruku(foldery().startowy); }

void StronaCzcionki::wczytaj() {
    odczytNieudany_ = false;
    pokazBladOdczytu({});
    *plik_.rekord = TCzcionka{};
    plik_.ogon.clear();
    QString uwaga;
    if (!PlikIstnieje(pliki(), sciezka())) {
        uwaga = QStringLiteral("Pliku jeszcze nie ma: moduł drukuje wtedy domyślną czcionką drukarki.");
    } else {
        try {
            CzytajPlikZRekordem(pliki(), sciezka(), plik_);
        } catch (const BladPliku& blad) {
            *plik_.rekord = TCzcionka{};
            plik_.ogon.clear();
            odczytNieudany_ = true;
            pokazBladOdczytu(QStringLiteral("Nie można odczytać pliku. ") + blad.komunikat());
        }
    }
    if (foldery().startowy != foldery().danych)
        uwaga += (uwaga.isEmpty() ? QString() : QStringLiteral("\n")) +
                 QStringLiteral(
                     "Folder danych jest inny niż folder uruchomienia: po otwarciu listy, szablonu lub "
                     "ewidencji moduł czyta czcionkę z folderu danych (%1).")
                     .arg(SciezkaCzcionkiWydruku(foldery().danych));
    pokazPlik(sciezka(), uwaga);
    wartosci_ = WartosciZRekordu(*plik_.rekord);
    pokazPrzyklad();
    pokaz();
    wczytana = true;
    emit stanZmieniony();
}

void StronaCzcionki::pokaz() {
    UstawTekst(kroj, wartosci_.nazwa.isEmpty() ? QStringLiteral("(domyślny drukarki)") : wartosci_.nazwa);
    UstawTekst(rozmiar, wartosci_.rozmiar > 0 ? QStringLiteral("%1 pkt").arg(wartosci_.rozmiar)
                                              : QStringLiteral("(nie ustawiona)"));
    UstawTekst(styl, OpisStylu(wartosci_.styl));
    const QColor barwa = KolorZTColor(wartosci_.kolor);
    UstawTekst(kolor,
               wartosci_.kolor < 0 ? QStringLiteral("kolor systemowy (%1)").arg(barwa.name()) : barwa.name());
    QFont czcionka = CzcionkaZRekordu(ZmienionaCzcionka(TCzcionka{}, wartosci_)).czcionka;
    for (QLabel* linia : linie_) {
        linia->setFont(czcionka);
        linia->setStyleSheet(QStringLiteral("color: %1;").arg(barwa.name()));
    }
}

void StronaCzcionki::wybierzCzcionke() {
    const QFont poczatkowa = CzcionkaZRekordu(ZmienionaCzcionka(*plik_.rekord, wartosci_)).czcionka;
    const auto wybrana = pulpit().czcionka(this, poczatkowa);
    if (!wybrana) return;
    const TCzcionka z = RekordCzcionki({*wybrana, KolorZTColor(wartosci_.kolor)});
    wartosci_.nazwa = wybrana->family();
    wartosci_.rozmiar = z.rozmiar;
    wartosci_.styl = z.styl;
    pokaz();
    emit stanZmieniony();
}

void StronaCzcionki::wybierzKolor() {
    const auto wybrany = pulpit().kolor(this, KolorZTColor(wartosci_.kolor));
    if (!wybrany) return;
    if (*wybrany != KolorZTColor(wartosci_.kolor)) wartosci_.kolor = TColorZKoloru(*wybrany);
    pokaz();
    emit stanZmieniony();
}

bool StronaCzcionki::zmieniona() const {
    const WartosciCzcionki dawne = WartosciZRekordu(*plik_.rekord);
    return dawne.nazwa != wartosci_.nazwa || dawne.rozmiar != wartosci_.rozmiar ||
           dawne.styl != wartosci_.styl || dawne.kolor != wartosci_.kolor;
}

bool StronaCzcionki::zapisz() {
    if (const auto blad = BladCzcionki(wartosci_); blad && !sprawdzBledy({*blad})) return false;
    if (odczytNieudany_ && !zastapicNieczytelny(sciezka(), QStringLiteral("wybraną czcionką"))) return false;
    const TCzcionka rekord = ZmienionaCzcionka(*plik_.rekord, wartosci_);
    const bool zapisano = Chron(pulpit(), this, [&] {
        // The module never makes the folder "FONT"; a data folder made by the suite may lack it.
        UtworzKatalogi(pliki(), KatalogNadrzedny(RzeczywistaSciezka(pliki(), sciezka())));
        ZapiszPlikZRekordem(pliki(), sciezka(), rekord, plik_.ogon);
    });
    if (!zapisano) return false;
    wczytaj();
    pokazPlik(sciezka(), QStringLiteral("Zapisano."));
    return true;
}
