#include "ustawienia/strona_pol.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "calc/dokument.h"
#include "store/blad.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "ustawienia/numery.h"

StronaPol::StronaPol(KontekstUstawien& kontekst, const char* nazwa, const QString& tytul, const QString& opis,
                     std::unique_ptr<ZrodloPol> zrodlo, Uwagi uwagi, QWidget* rodzic)
    : StronaUstawien(kontekst, nazwa, tytul, rodzic), zrodlo_(std::move(zrodlo)), uwagi_(std::move(uwagi)) {
    if (!opis.isEmpty()) dodajOpis(opis);
    siatka_ = new QGridLayout;
    siatka_->setColumnStretch(1, 1);
    const std::vector<OpisPola> opisy = zrodlo_->pola();
    for (int i = 0; i < static_cast<int>(opisy.size()); ++i)
        pola_.push_back(std::make_unique<PoleTekstu>(this, siatka_, i, opisy[static_cast<std::size_t>(i)]));
    wybory_.resize(opisy.size());
    uklad_->addLayout(siatka_);
    uklad_->addStretch();
    dodajPrzyciskiZapisu();
}

void StronaPol::dodajWyborFolderu(int pole, const QString& tytulDialogu) {
    PoleTekstu& p = this->pole(pole);
    const QByteArray nazwa = (QStringLiteral("wybierz_") + p.opis.nazwa).toUtf8();
    QPushButton* wybierz = Przycisk(this, nazwa.constData(), QStringLiteral("Wybierz…"));
    wybierz->setAccessibleName(QStringLiteral("Wybierz: ") + p.opis.etykieta);
    siatka_->addWidget(wybierz, 2 * pole, 3);
    wybory_[static_cast<std::size_t>(pole)] = {wybierz, tytulDialogu};
}

QPushButton* StronaPol::wyborFolderu(int pole) const {
    return wybory_[static_cast<std::size_t>(pole)].przycisk;
}

void StronaPol::zmienionoPole(int i) {
    odswiezUwage(i);
    emit stanZmieniony();
}

void StronaPol::wybierzFolder(int i) {
    PoleTekstu& p = pole(i);
    if (const auto folder = pulpit().folder(this, wybory_[static_cast<std::size_t>(i)].tytul, p.tekst()))
        p.ustawTekst(*folder);
}

QStringList StronaPol::wartosciPol() const {
    QStringList wartosci;
    for (const auto& p : pola_) wartosci.append(p->tekst());
    return wartosci;
}

void StronaPol::odswiezUwage(int i) {
    if (uwagi_)
        pola_[static_cast<std::size_t>(i)]->ustawUwage(
            uwagi_(i, pola_[static_cast<std::size_t>(i)]->tekst()));
}

void StronaPol::wczytaj() {
    const QString sciezka = zrodlo_->sciezka(foldery());
    odczytNieudany_ = false;
    pokazBladOdczytu({});
    QString uwaga;
    if (!PlikIstnieje(pliki(), sciezka)) {
        zrodlo_->domyslny();
        uwaga = QStringLiteral(
            "Pliku jeszcze nie ma: moduł tworzy go pustego, a zapis tej strony utworzy go z "
            "wpisanymi danymi.");
    } else {
        try {
            zrodlo_->wczytaj(pliki(), sciezka);
        } catch (const BladPliku& blad) {
            zrodlo_->domyslny();
            odczytNieudany_ = true;
            pokazBladOdczytu(QStringLiteral("Nie można odczytać pliku. ") + blad.komunikat());
        }
    }
    pokazPlik(sciezka, uwaga);
    const QStringList wartosci = zrodlo_->wartosci();
    for (int i = 0; i < liczbaPol(); ++i) {
        pole(i).ustawTekst(wartosci.value(i));
        odswiezUwage(i);
    }
    wczytana = true;
    emit stanZmieniony();
}

bool StronaPol::zmieniona() const { return wartosciPol() != zrodlo_->wartosci(); }

bool StronaPol::zapisz() {
    const QStringList wartosci = wartosciPol();
    if (!sprawdzBledy(zrodlo_->bledy(wartosci))) return false;
    const QString sciezka = zrodlo_->sciezka(foldery());
    if (odczytNieudany_ &&
        pulpit().pytanie(
            this,
            QStringLiteral("Pliku „%1” nie udało się odczytać. Zapis zastąpi go treścią tej strony. "
                           "Zapisać?")
                .arg(RzeczywistaSciezka(pliki(), sciezka)),
            false) != Odpowiedz::Tak)
        return false;
    if (!Chron(pulpit(), this, [&] { zrodlo_->zapisz(pliki(), sciezka, wartosci); })) return false;
    wczytaj();
    pokazPlik(sciezka, QStringLiteral("Zapisano."));
    return true;
}

namespace {

QString SciezkaFirmy(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaDanychFirmy); }
QString SciezkaFaktury(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaUstawienFaktury); }
QString SciezkaEwidencji(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaUstawienEwidencji); }

bool SameCyfry(const QString& tekst) {
    for (const QChar z : tekst)
        if (z < u'0' || z > u'9') return false;
    return true;
}

}  // namespace

StronaPol* UtworzStroneFirmy(KontekstUstawien& kontekst, QWidget* rodzic) {
    auto uwagi = [](int pole, const QString& tekst) -> QString {
        if (pole <= 2) {
            if (!LiniaFirmySkrocona(tekst)) return {};
            return QStringLiteral(
                       "Okno modułu pokaże tę linię jako „%1” (całą w podpowiedzi); wydruk ma ją całą.")
                .arg(PostacLiniiFirmy(tekst));
        }
        if (pole == 3) return UwagaONip(tekst).value_or(QString());
        if (pole == 5) return UwagaOKoncie(tekst).value_or(QString());
        return {};
    };
    return new StronaPol(
        kontekst, "strona_firma", QStringLiteral("Firma"),
        QStringLiteral("Dane sprzedawcy na fakturze. Trzy linie nazwy i adresu widać w oknie modułu "
                       "i na wydruku; NIP, bank i konto tylko na wydruku."),
        std::make_unique<ZrodloRekordu<TDaneFirmy>>(PolaFirmy(), SciezkaFirmy), uwagi, rodzic);
}

StronaPol* UtworzStroneFaktury(KontekstUstawien& kontekst, QWidget* rodzic) {
    auto uwagi = [](int pole, const QString& tekst) -> QString {
        const bool numer = pole == 1 || pole == 3;
        if (numer && !SameCyfry(tekst))
            return QStringLiteral(
                "Numer powinien składać się z cyfr: moduł nada następnej fakturze ten numer "
                "powiększony o jeden.");
        if (pole == 7 && (tekst.isEmpty() || !SameCyfry(tekst)))
            return QStringLiteral(
                "Liczba kopii powinna być liczbą: bez cyfr moduł nie wydrukuje żadnej kopii.");
        return {};
    };
    return new StronaPol(
        kontekst, "strona_faktura", QStringLiteral("Faktura"),
        QStringLiteral("Ustawienia faktur: miejsce wystawienia, numeracja faktur i korekt (numer "
                       "ostatniego wystawionego dokumentu), wydruk. Moduł zapisuje tu numer, "
                       "rozszerzenie, miejscowość i podpis przy każdej nowej fakturze."),
        std::make_unique<ZrodloRekordu<TUstawieniaFaktury>>(PolaFaktury(), SciezkaFaktury), uwagi, rodzic);
}

StronaPol* UtworzStroneEwidencji(KontekstUstawien& kontekst, QWidget* rodzic) {
    SystemPlikow* pliki = &kontekst.pliki;
    auto uwagi = [pliki](int, const QString& tekst) -> QString {
        if (tekst.isEmpty()) return {};
        if (!PlikIstnieje(*pliki, tekst + QStringLiteral("\\ewidencja.exe")))
            return QStringLiteral("W tym folderze nie ma programu ewidencja.exe.");
        return {};
    };
    auto* strona = new StronaPol(
        kontekst, "strona_ewidencja", QStringLiteral("Ewidencja"),
        QStringLiteral(
            "Folder, w którym zainstalowano program Ewidencja sprzedaży (ewidencja.exe), bez końcowego "
            "ukośnika. Moduł przekazuje do niego kwotę brutto dokumentu."),
        std::make_unique<ZrodloRekordu<TEwidencja>>(PolaEwidencji(), SciezkaEwidencji), uwagi, rodzic);
    strona->dodajWyborFolderu(0, QStringLiteral("Folder programu Ewidencja sprzedaży"));
    return strona;
}
