// Moving a document between the form and the in-memory record, and showing the last stored one.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <utility>

#include "app/etykiety.h"
#include "app/faktura_f.h"
#include "app/siatka.h"
#include "calc/dokument.h"
#include "store/blad.h"
#include "store/naglowek.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"

void Tfaktura_f::TabeleDoRekordu(TabelaPozycji& pozycje, TabelaStawek& stawki) const {
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r) pozycje[c - 1][r - 1].ustaw(tabela->komorka(c, r));
    for (int c = 0; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) stawki[c][r - 1].ustaw(tabela_vat->komorka(c, r));
}

void Tfaktura_f::RekordDoTabel(const TabelaPozycji& pozycje, const TabelaStawek& stawki) {
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 3; ++r) tabela->ustawKomorke(c, r, pozycje[c - 1][r - 1].tekst());
    for (int c = 0; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) tabela_vat->ustawKomorke(c, r, stawki[c][r - 1].tekst());
}

void Tfaktura_f::PodstawDoPliku() {
    KazdePoleNaglowka(Dokument, [this](PoleNaglowka pole, auto& tekst) { tekst.ustaw(TekstPola(pole)); });
    Dokument.dotyczy.ustaw(Label24->text());
    UstawRodzaj(Dokument, Korekta ? RodzajDokumentu::Korekta : RodzajDokumentu::Faktura);
    if (Korekta)
        TabeleDoRekordu(Dokument.pozycje_korekty, Dokument.stawki_korekty);
    else
        TabeleDoRekordu(Dokument.pozycje, Dokument.stawki);
}

void Tfaktura_f::UstawTabele(std::int32_t kolor, const QString& tytul, bool edycja) {
    tabela->setEnabled(edycja);
    tabela->ustawKolorCzcionki(kolor);
    tabela_vat->ustawKolorCzcionki(kolor);
    UstawKolorCzcionki(Label25, kolor);
    Label25->setText(tytul);
}

void Tfaktura_f::prezentacjaRodzaju(RodzajDokumentu rodzaj) {
    if (rodzaj == RodzajDokumentu::Faktura)
        UstawTabele(KolorFaktury, QStringLiteral("Tabelka faktury"), true);
    else if (rodzaj == RodzajDokumentu::Korekta)
        UstawTabele(KolorKorekty, QStringLiteral("Tabelka korekty"), true);
}

void Tfaktura_f::PodstawDoFormatki() {
    KazdePoleNaglowka(std::as_const(Dokument),
                      [this](PoleNaglowka pole, const auto& tekst) { UstawTekstPola(pole, tekst.tekst()); });

    const RodzajDokumentu rodzaj = Rodzaj(Dokument);
    if (rodzaj == RodzajDokumentu::Korekta) {
        UstawTekst(Label24, Dokument.dotyczy.tekst());
        RekordDoTabel(Dokument.pozycje_korekty, Dokument.stawki_korekty);
    } else if (rodzaj == RodzajDokumentu::Faktura) {
        UstawTekst(Label24, QString());
        RekordDoTabel(Dokument.pozycje, Dokument.stawki);
    }
    prezentacjaRodzaju(rodzaj);
}

void Tfaktura_f::CzytajOstatniDokument() {
    PlikRekordow plik(pliki_, SciezkaPliku(SciezkaDokumentow), sizeof(TDokument));
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
    PokazWczytanyDokument();
    plik.zamknij();
}

void Tfaktura_f::PokazWczytanyDokument() {
    DokumentZPliku = Dokument;
    PodstawDoFormatki();
    const RodzajDokumentu rodzaj = Rodzaj(Dokument);
    // A correction cannot itself be corrected.
    if (rodzaj == RodzajDokumentu::Faktura) SpeedButton9->setEnabled(true);
    if (rodzaj == RodzajDokumentu::Korekta) SpeedButton9->setEnabled(false);
    UstawTekst(Label23, rodzaj == RodzajDokumentu::Korekta ? QStringLiteral("korygująca") : QString());
    // A record of neither kind leaves the kind flag as it was.
    StanWczytanegoDokumentu(rodzaj == RodzajDokumentu::Korekta ||
                            (rodzaj != RodzajDokumentu::Faktura && Korekta));
    if (rodzaj == RodzajDokumentu::Faktura)
        UstawTekst(Label22, QStringLiteral("Edycja wczytanej faktury Vat"));
    if (rodzaj == RodzajDokumentu::Korekta)
        UstawTekst(Label22, QStringLiteral("Edycja wczytanej faktury korygującej Vat"));
    prezentacjaRodzaju(rodzaj);
}
