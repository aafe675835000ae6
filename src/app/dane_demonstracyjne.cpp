#include "app/dane_demonstracyjne.h"

#include <QDir>
#include <memory>

#include "store/plik_rekordow.h"
#include "store/rekordy.h"
#include "store/sciezki.h"

namespace {

template <class T>
void ZapiszJesliBrak(SystemPlikow& pliki, const QString& sciezka, const T& rekord) {
    if (!PlikIstnieje(pliki, sciezka)) ZapiszRekordAtomowo(pliki, sciezka, rekord);
}

}  // namespace

void PrzygotujDaneDemonstracyjne(SystemPlikow& pliki, const QString& folder) {
    QDir katalog(folder);
    for (const char* podfolder : {"Admini", "Uslugi", "Szablony", "FONT"})
        katalog.mkpath(QLatin1String(podfolder));
    const QString korzen = katalog.absolutePath();
    auto sciezka = [&korzen](const char* wzgledna) {
        return SciezkaDanych(korzen, QString::fromUtf8(wzgledna));
    };

    // Mode 0 keeps the working directory as the data root, so the demo folder may move.
    TUstawieniaSieci siec{};
    siec.tryb = 0;
    ZapiszJesliBrak(pliki, sciezka("\\Admini\\siec.dat"), siec);

    TDaneFirmy firma{};
    firma.linia1.ustaw(QStringLiteral("Biuro Rachunkowe „Żuraw” Sp. z o.o."));
    firma.linia2.ustaw(QStringLiteral("ul. Źródlana 12/4"));
    firma.linia3.ustaw(QStringLiteral("31-532 Kraków"));
    firma.nip.ustaw(QStringLiteral("675-000-12-34"));
    firma.bank.ustaw(QStringLiteral("Bank Spółdzielczy w Krakowie"));
    firma.konto.ustaw(QStringLiteral("12 3456 0000 0000 1234 5678 9012"));
    ZapiszJesliBrak(pliki, sciezka("\\ADMINI\\firma.dat"), firma);

    TUstawieniaFaktury faktura{};
    faktura.miejscowosc.ustaw(QStringLiteral("Kraków"));
    faktura.numerator.ustaw(QStringLiteral("0"));
    faktura.rozszerzenie.ustaw(QStringLiteral("2026"));
    faktura.numerator_korekty.ustaw(QStringLiteral("0"));
    faktura.rozszerzenie_korekty.ustaw(QStringLiteral("K/2026"));
    faktura.oznaczenie_kopii.ustaw(QStringLiteral("oryginał"));
    faktura.podpis.ustaw(QStringLiteral("Anna Łęcka"));
    faktura.liczba_kopii.ustaw(QStringLiteral("1"));
    faktura.stopka.ustaw(QStringLiteral("Dziękujemy za terminową zapłatę."));
    ZapiszJesliBrak(pliki, sciezka("\\ADMINI\\faktura.dat"), faktura);

    TCzcionka czcionka{};
    czcionka.kolor = 0;
    czcionka.nazwa.ustaw(QStringLiteral("Arial"));
    czcionka.rozmiar = 10;
    czcionka.styl = 0;
    ZapiszJesliBrak(pliki, sciezka("\\FONT\\font_welkaro.dat"), czcionka);

    auto klienci = std::make_unique<TBazaKlientow>();
    for (int s = 0; s < 5001; ++s)
        klienci->numer[s].ustaw(QString::number(s + 1).rightJustified(2, QLatin1Char('0')));
    const char* const dane[][5] = {
        {"Piekarnia „Kłos” s.c.", "ul. Młyńska 3", "30-001 Kraków", "Małopolska", "679-111-22-33"},
        {"Jan Kowalski", "ul. Słoneczna 8 m. 2", "32-020 Wieliczka", "", ""},
        {"Zakład Ślusarski Wąsik", "os. Górali 17", "34-400 Nowy Targ", "Podhale", "735-222-33-44"},
    };
    for (int i = 0; i < 3; ++i) {
        klienci->odbiorca1[i].ustaw(QString::fromUtf8(dane[i][0]));
        klienci->odbiorca2[i].ustaw(QString::fromUtf8(dane[i][1]));
        klienci->odbiorca3[i].ustaw(QString::fromUtf8(dane[i][2]));
        klienci->odbiorca4[i].ustaw(QString::fromUtf8(dane[i][3]));
        klienci->nip_odbiorcy[i].ustaw(QString::fromUtf8(dane[i][4]));
    }
    ZapiszJesliBrak(pliki, sciezka("\\Uslugi\\klienci_demo.kli"), *klienci);

    auto uslugi = std::make_unique<TBazaUslug>();
    for (int s = 0; s < 201; ++s)
        uslugi->numer[s].ustaw(QString::number(s + 1).rightJustified(2, QLatin1Char('0')));
    const char* const pozycje[][5] = {
        {"Prowadzenie księgi przychodów i rozchodów", "69.20.2", "mies.", "23", "350.00"},
        {"Sporządzenie deklaracji VAT", "69.20.2", "szt.", "23", "80.00"},
        {"Doradztwo podatkowe", "69.20.3", "godz.", "23", "150.00"},
    };
    for (int i = 0; i < 3; ++i) {
        uslugi->nazwa_uslugi[i].ustaw(QString::fromUtf8(pozycje[i][0]));
        uslugi->pkwiu[i].ustaw(QString::fromUtf8(pozycje[i][1]));
        uslugi->jm[i].ustaw(QString::fromUtf8(pozycje[i][2]));
        uslugi->vat[i].ustaw(QString::fromUtf8(pozycje[i][3]));
        uslugi->netto[i].ustaw(QString::fromUtf8(pozycje[i][4]));
    }
    ZapiszJesliBrak(pliki, sciezka("\\Uslugi\\uslugi_demo.usl"), *uslugi);
}
