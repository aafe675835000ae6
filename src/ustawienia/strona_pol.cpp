#include "ustawienia/strona_pol.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "calc/dokument.h"
#include "calc/liczby.h"
#include "print/wydruk.h"
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

void StronaPol::zmienionoPole(int) {
    odswiezUwagi();
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

void StronaPol::odswiezUwagi() {
    if (!uwagi_) return;
    const QStringList wartosci = wartosciPol();
    for (int i = 0; i < liczbaPol(); ++i) pole(i).ustawUwage(uwagi_(i, wartosci));
}

void StronaPol::wczytaj() {
    const QString sciezka = zrodlo_->sciezka(foldery());
    odczytNieudany_ = false;
    pokazBladOdczytu({});
    QString uwaga;
    if (!PlikIstnieje(pliki(), sciezka)) {
        zrodlo_->domyslny();
        uwaga = uwagaOBraku_;
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
    for (int i = 0; i < liczbaPol(); ++i) pole(i).ustawTekst(wartosci.value(i));
    odswiezUwagi();
    wczytana = true;
    emit stanZmieniony();
}

bool StronaPol::zmieniona() const { return wartosciPol() != zrodlo_->wartosci(); }

bool StronaPol::zapisz() {
    const QStringList wartosci = wartosciPol();
    if (!sprawdzBledy(zrodlo_->bledy(wartosci))) return false;
    const QString sciezka = zrodlo_->sciezka(foldery());
    if (odczytNieudany_ && !zastapicNieczytelny(sciezka)) return false;
    if (!Chron(pulpit(), this, [&] { zrodlo_->zapisz(pliki(), sciezka, wartosci); })) return false;
    wczytaj();
    pokazPlik(sciezka, QStringLiteral("Zapisano."));
    return true;
}

namespace {

QString SciezkaFirmy(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaDanychFirmy); }
QString SciezkaFaktury(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaUstawienFaktury); }
QString SciezkaEwidencji(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaUstawienEwidencji); }
QString SciezkaPlatnosci(const FolderyDanych& f) { return SciezkaDanych(f.danych, SciezkaUzupelnien); }

bool SameCyfry(const QString& tekst) {
    for (const QChar z : tekst)
        if (z < u'0' || z > u'9') return false;
    return true;
}

// How the module builds the next number of the sequence from these two fields; warns of a "/" of
// its own at the start of the suffix, which would double the one the module puts in.
QString UwagaORozszerzeniu(bool faktury, const QString& numerator, const QString& rozszerzenie) {
    TDokument nastepny{};
    nastepny.numerator.ustaw(QString::number(std::int64_t{CalkowitaZTekstu(numerator)} + 1));
    nastepny.rozszerzenie.ustaw(rozszerzenie);
    const QString numer = NumerDokumentu(nastepny);
    QString uwaga = (faktury ? QStringLiteral("Numer następnej faktury: %1")
                             : QStringLiteral("Numer następnej korekty: %1"))
                        .arg(numer) +
                    QStringLiteral(
                        " (numer ostatniego dokumentu powiększony o jeden, „/” i rozszerzenie; gdy w pliku "
                        "dokumentów jest już wyższy numer, moduł zacznie od niego).");
    if (rozszerzenie.startsWith(u'/'))
        uwaga = QStringLiteral(
                    "Rozszerzenie zaczyna się od „/”, a moduł sam stawia „/” między numerem a "
                    "rozszerzeniem: numer będzie miał dwa ukośniki. Usuń „/” z początku "
                    "rozszerzenia.\n") +
                uwaga;
    return uwaga;
}

}  // namespace

StronaPol* UtworzStroneFirmy(KontekstUstawien& kontekst, QWidget* rodzic) {
    auto uwagi = [](int pole, const QStringList& wartosci) -> QString {
        const QString& tekst = wartosci.at(pole);
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
    auto uwagi = [](int pole, const QStringList& wartosci) -> QString {
        const QString& tekst = wartosci.at(pole);
        const bool numer = pole == 1 || pole == 3;
        if (numer && !SameCyfry(tekst))
            return QStringLiteral(
                "Numer powinien składać się z cyfr: moduł nada następnej fakturze ten numer "
                "powiększony o jeden.");
        if (pole == 2 || pole == 4) return UwagaORozszerzeniu(pole == 2, wartosci.at(pole - 1), tekst);
        if (pole == 7 && (tekst.isEmpty() || !SameCyfry(tekst)))
            return QStringLiteral(
                "Liczba kopii powinna być liczbą: bez cyfr moduł nie wydrukuje żadnej kopii.");
        return {};
    };
    return new StronaPol(
        kontekst, "strona_faktura", QStringLiteral("Faktura"),
        QStringLiteral("Ustawienia faktur: miejsce wystawienia, numeracja faktur i korekt (numer "
                       "ostatniego wystawionego dokumentu), wydruk. Moduł zapisuje tu numer, "
                       "rozszerzenie, miejscowość i podpis przy każdej nowej fakturze. Numer "
                       "dokumentu to numer, „/” i rozszerzenie, np. 7/2026: ukośnik dodaje moduł, "
                       "więc rozszerzenie wpisuje się bez niego."),
        std::make_unique<ZrodloRekordu<TUstawieniaFaktury>>(PolaFaktury(), SciezkaFaktury), uwagi, rodzic);
}

StronaPol* UtworzStroneEwidencji(KontekstUstawien& kontekst, QWidget* rodzic) {
    SystemPlikow* pliki = &kontekst.pliki;
    auto uwagi = [pliki](int, const QStringList& wartosci) -> QString {
        const QString& tekst = wartosci.at(0);
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

StronaPol* UtworzStronePlatnosci(KontekstUstawien& kontekst, QWidget* rodzic) {
    auto uwagi = [](int pole, const QStringList& wartosci) -> QString {
        if (pole != 2) return {};
        return QStringLiteral("Ostatnia linia wydruku: „%1”").arg(LiniaProgramu(wartosci.at(2)));
    };
    auto* strona = new StronaPol(
        kontekst, "strona_platnosc", QStringLiteral("Płatność i wydruk"),
        QStringLiteral(
            "Forma zapłaty i termin płatności, które moduł wpisuje do każdej nowej faktury (przycisk "
            "„Nowa faktura”); na fakturze można je zmienić, a puste pole zostaje puste. Przy formie "
            "„Gotówka” moduł i tak wpisuje jako termin dzisiejszą datę. Kontakt (np. telefon i adres "
            "e-mail) stoi na wydruku i w PDF po nazwie programu w ostatniej linii; bez niego linia "
            "kończy się nazwą programu."),
        std::make_unique<ZrodloRekordu<TUzupelnienia>>(PolaUzupelnien(), SciezkaPlatnosci), uwagi, rodzic);
    strona->ustawUwageOBraku(
        QStringLiteral("Pliku jeszcze nie ma: nowa faktura ma puste pola płatności, a wydruk kończy się "
                       "nazwą programu. Zapis tej strony utworzy plik."));
    return strona;
}
