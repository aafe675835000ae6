#include "ustawienia/strona_ustawien.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "kontrolki/teksty_kontrolek.h"
#include "store/sciezki.h"
#include "ustawienia/kontrola_tekstu.h"

QPushButton* Przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst) {
    auto* przycisk = new QPushButton(tekst, rodzic);
    przycisk->setObjectName(QString::fromUtf8(nazwa));
    przycisk->setAccessibleName(QString(tekst).remove(QStringLiteral("…")).remove(u'&'));
    return przycisk;
}

PoleTekstu::PoleTekstu(QWidget* rodzic, QGridLayout* siatka, int wiersz, const OpisPola& opisPola)
    : opis(opisPola) {
    const QByteArray nazwa = opis.nazwa.toUtf8();
    etykieta = new QLabel(opis.etykieta + u':', rodzic);
    etykieta->setObjectName(QStringLiteral("etykieta_") + opis.nazwa);
    etykieta->setAccessibleName(opis.etykieta);
    edycja = Nazwany(new QLineEdit(rodzic), nazwa.constData(), opis.etykieta);
    etykieta->setBuddy(edycja);
    licznik = new QLabel(rodzic);
    licznik->setObjectName(QStringLiteral("licznik_") + opis.nazwa);
    licznik->setAccessibleName(QStringLiteral("Liczba znaków: ") + opis.etykieta);
    licznik->setMinimumWidth(60);
    uwaga = new QLabel(rodzic);
    uwaga->setObjectName(QStringLiteral("uwaga_") + opis.nazwa);
    uwaga->setAccessibleName(QStringLiteral("Uwaga: ") + opis.etykieta);
    uwaga->setWordWrap(true);
    uwaga->setStyleSheet(QStringLiteral("color: #8a5a00;"));
    uwaga->hide();
    siatka->addWidget(etykieta, 2 * wiersz, 0);
    siatka->addWidget(edycja, 2 * wiersz, 1);
    siatka->addWidget(licznik, 2 * wiersz, 2);
    siatka->addWidget(uwaga, 2 * wiersz + 1, 1, 1, 2);
    odswiezLicznik();
}

void PoleTekstu::ustawTekst(const QString& tekst) {
    edycja->setText(tekst);
    edycja->setCursorPosition(0);
    odswiezLicznik();
}

void PoleTekstu::ustawUwage(const QString& tekst) {
    UstawTekst(uwaga, tekst);
    uwaga->setVisible(!tekst.isEmpty());
}

void PoleTekstu::odswiezLicznik() {
    const QString tekst = edycja->text();
    const QString liczba = QStringLiteral("%1 / %2").arg(LiczbaZnakow(tekst)).arg(opis.pojemnosc);
    const auto blad = BladTekstu(opis.etykieta, tekst, opis.pojemnosc);
    // A screen reader hears the count and, when the text cannot be stored, why.
    UstawTekst(licznik, liczba, blad ? liczba + QStringLiteral(" — ") + *blad : liczba);
    licznik->setStyleSheet(blad ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
    licznik->setToolTip(blad ? *blad : QString());
}

StronaUstawien::StronaUstawien(KontekstUstawien& kontekst, const char* nazwa, const QString& tytul,
                               QWidget* rodzic)
    : QWidget(rodzic), kontekst_(kontekst), tytul_(tytul) {
    setObjectName(QString::fromUtf8(nazwa));
    setAccessibleName(QStringLiteral("Strona: ") + tytul);
    uklad_ = new QVBoxLayout(this);
    auto* naglowek = Nazwany(new QLabel(tytul, this), "tytul_strony", QStringLiteral("Tytuł strony"));
    QFont duza = naglowek->font();
    duza.setPointSizeF(duza.pointSizeF() * 1.4);
    duza.setBold(true);
    naglowek->setFont(duza);
    uklad_->addWidget(naglowek);
    plik_ = Nazwany(new QLabel(this), "plik_strony", QStringLiteral("Plik strony"));
    plik_->setWordWrap(true);
    plik_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    uklad_->addWidget(plik_);
    blad_ = Nazwany(new QLabel(this), "blad_odczytu", QStringLiteral("Błąd odczytu"));
    blad_->setWordWrap(true);
    blad_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    blad_->hide();
    uklad_->addWidget(blad_);
}

void StronaUstawien::dodajOpis(const QString& tekst) {
    auto* opis = Nazwany(new QLabel(tekst, this), "opis_strony", QStringLiteral("Opis strony"));
    opis->setWordWrap(true);
    uklad_->addWidget(opis);
}

void StronaUstawien::pokazBladOdczytu(const QString& tekst) {
    UstawTekst(blad_, tekst);
    blad_->setVisible(!tekst.isEmpty());
}

void StronaUstawien::pokazPlik(const QString& sciezka, const QString& uwaga) {
    QString tekst = QStringLiteral("Plik: ") + RzeczywistaSciezka(pliki(), sciezka);
    if (!uwaga.isEmpty()) tekst += QStringLiteral("\n") + uwaga;
    UstawTekst(plik_, tekst);
}

void StronaUstawien::dodajPrzyciskiZapisu(const QString& tekstZapisu) {
    auto* rzad = new QHBoxLayout;
    rzad->addStretch();
    cofnij_ = Przycisk(this, "cofnij", QStringLiteral("Cofnij zmiany"));
    zapisz_ = Przycisk(this, "zapisz", tekstZapisu);
    zapisz_->setDefault(true);
    rzad->addWidget(cofnij_);
    rzad->addWidget(zapisz_);
    uklad_->addLayout(rzad);
    odswiezPrzyciskiZapisu();
}

void StronaUstawien::cofnijZmiany() {
    if (zmieniona()) porzucZmiany();
}

void StronaUstawien::odswiezPrzyciskiZapisu() {
    const bool z = zmieniona();
    zapisz_->setEnabled(z);
    cofnij_->setEnabled(z);
}

bool StronaUstawien::zastapicNieczytelny(const QString& sciezka, const QString& czym) {
    return pulpit().pytanie(this,
                            QStringLiteral("Pliku „%1” nie udało się odczytać. Zapis zastąpi go %2. Zapisać?")
                                .arg(RzeczywistaSciezka(pliki(), sciezka), czym),
                            false) == Odpowiedz::Tak;
}

bool StronaUstawien::sprawdzBledy(const QStringList& bledy) {
    if (bledy.isEmpty()) return true;
    pulpit().blad(this, QStringLiteral("Nie zapisano, bo:\n") + bledy.join(u'\n'));
    return false;
}
