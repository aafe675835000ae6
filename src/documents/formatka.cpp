// Moving a document between the form and the in-memory record, and showing the last stored one.
#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QToolButton>

#include "app/faktura_f.h"
#include "app/siatka.h"
#include "documents/formatka.h"
#include "store/blad.h"
#include "store/plik_rekordow.h"

void KomorkiDoRekordu(const Siatka* tabela, const Siatka* tabelaVat, TabelaPozycji& pozycje, TabelaStawek& stawki) {
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r) pozycje[c - 1][r - 1].ustaw(tabela->komorka(c, r));
    for (int c = 0; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) stawki[c][r - 1].ustaw(tabelaVat->komorka(c, r));
}

void RekordDoKomorek(const TabelaPozycji& pozycje, const TabelaStawek& stawki, Siatka* tabela, Siatka* tabelaVat) {
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r) tabela->ustawKomorke(c, r, pozycje[c - 1][r - 1].tekst());
    for (int c = 0; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) tabelaVat->ustawKomorke(c, r, stawki[c][r - 1].tekst());
}

void Tfaktura_f::PodstawDoPliku() {
    Dokument.miejscowosc.ustaw(miejscowosc->text());
    Dokument.data_wystawienia.ustaw(data_wystawienia->text());
    Dokument.numerator.ustaw(numerator->text());
    Dokument.rozszerzenie.ustaw(rozszerzenie->text());
    Dokument.odbiorca1.ustaw(odbiorca1->text());
    Dokument.odbiorca2.ustaw(odbiorca2->text());
    Dokument.odbiorca3.ustaw(odbiorca3->text());
    Dokument.odbiorca4.ustaw(odbiorca4->text());
    Dokument.nip_odbiorcy.ustaw(nip_odbiorcy->text());
    Dokument.podpis.ustaw(podpis->text());
    Dokument.forma_zaplaty.ustaw(forma_zaplaty->currentText());
    Dokument.data_uslugi.ustaw(data_uslugi->text());
    Dokument.termin_zaplaty.ustaw(termin_zaplaty->currentText());
    Dokument.dotyczy.ustaw(Label24->text());
    Dokument.rodzaj.ustaw(Korekta ? QStringLiteral("K") : QStringLiteral("F"));
    if (Korekta)
        KomorkiDoRekordu(tabela, tabela_vat, Dokument.pozycje_korekty, Dokument.stawki_korekty);
    else
        KomorkiDoRekordu(tabela, tabela_vat, Dokument.pozycje, Dokument.stawki);
}

void Tfaktura_f::prezentacjaRodzaju(const QString& rodzaj) {
    if (rodzaj == QLatin1String("F")) {
        tabela->ustawKolorCzcionki(KolorFaktury);
        tabela_vat->ustawKolorCzcionki(KolorFaktury);
        UstawKolorCzcionki(Label25, KolorFaktury);
        Label25->setText(QStringLiteral("Tabelka faktury"));
        tabela->setEnabled(true);
    } else if (rodzaj == QLatin1String("K")) {
        tabela->ustawKolorCzcionki(KolorKorekty);
        tabela_vat->ustawKolorCzcionki(KolorKorekty);
        UstawKolorCzcionki(Label25, KolorKorekty);
        Label25->setText(QStringLiteral("Tabelka korekty"));
        tabela->setEnabled(true);
    }
}

void Tfaktura_f::PodstawDoFormatki() {
    miejscowosc->setText(Dokument.miejscowosc.tekst());
    data_wystawienia->setText(Dokument.data_wystawienia.tekst());
    numerator->setText(Dokument.numerator.tekst());
    rozszerzenie->setText(Dokument.rozszerzenie.tekst());
    odbiorca1->setText(Dokument.odbiorca1.tekst());
    odbiorca2->setText(Dokument.odbiorca2.tekst());
    odbiorca3->setText(Dokument.odbiorca3.tekst());
    odbiorca4->setText(Dokument.odbiorca4.tekst());
    nip_odbiorcy->setText(Dokument.nip_odbiorcy.tekst());
    podpis->setText(Dokument.podpis.tekst());
    forma_zaplaty->setEditText(Dokument.forma_zaplaty.tekst());
    data_uslugi->setText(Dokument.data_uslugi.tekst());
    termin_zaplaty->setEditText(Dokument.termin_zaplaty.tekst());

    const QString rodzaj = Dokument.rodzaj.tekst();
    if (rodzaj == QLatin1String("K")) {
        Korekta = true;
        Label24->setText(Dokument.dotyczy.tekst());
        RekordDoKomorek(Dokument.pozycje_korekty, Dokument.stawki_korekty, tabela, tabela_vat);
    } else if (rodzaj == QLatin1String("F")) {
        Korekta = false;
        Label24->clear();
        RekordDoKomorek(Dokument.pozycje, Dokument.stawki, tabela, tabela_vat);
    }
    prezentacjaRodzaju(rodzaj);
}

void Tfaktura_f::CzytajOstatniDokument() {
    PlikRekordow plik(pliki_, SciezkaPliku(QStringLiteral("\\Uslugi\\dokumenty.dat")), sizeof(TDokument));
    plik.otworz();
    const std::int64_t n = plik.liczbaRekordow();
    if (n < 1)
        throw BladPliku(QStringLiteral("odczyt"), plik.sciezka(), 0,
                        QStringLiteral("plik dokumentów nie zawiera żadnego dokumentu"));
    plik.szukaj(n - 1);
    // Read aside first: a failed read must leave the document in memory (with a correction's copy
    // of the invoice tables) and its position as they were.
    TDokument wczytany{};
    plik.czytaj(wczytany);
    Dokument = wczytany;
    PozycjaDokumentu = static_cast<std::int32_t>(std::min<std::int64_t>(n, INT32_MAX));
    PodstawDoFormatki();
    const QString rodzaj = Dokument.rodzaj.tekst();
    if (rodzaj == QLatin1String("F")) SpeedButton9->setEnabled(true);
    if (rodzaj == QLatin1String("K")) SpeedButton9->setEnabled(false);
    Label23->clear();
    if (rodzaj == QLatin1String("K")) Label23->setText(QStringLiteral("korygująca"));
    plik.zamknij();
    NowyDokument = false;
    if (rodzaj == QLatin1String("F")) Label22->setText(QStringLiteral("Edycja wczytanej faktury Vat"));
    if (rodzaj == QLatin1String("K")) Label22->setText(QStringLiteral("Edycja wczytanej faktury korygującej Vat"));
    prezentacjaRodzaju(rodzaj);
}

