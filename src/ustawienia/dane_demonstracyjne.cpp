#include "ustawienia/dane_demonstracyjne.h"

#include <QDate>
#include <QDir>
#include <stdexcept>

#include "calc/dokument.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"
#include "ustawienia/czcionka_wydruku.h"
#include "ustawienia/listy.h"
#include "ustawienia/nowy_katalog.h"
#include "ustawienia/pliki_stron.h"
#include "ustawienia/pola_rekordow.h"

namespace {

// As a page saves it, filled in from the zero record the module would create.
template <class T>
void ZapiszStroneJesliBrak(SystemPlikow& pliki, const QString& sciezka,
                           const std::vector<PoleRekordu<T>>& pola, const QStringList& wartosci,
                           T rekord = T{}) {
    if (PlikIstnieje(pliki, sciezka)) return;
    if (const QStringList bledy = BledyZmian(rekord, pola, wartosci); !bledy.isEmpty())
        throw std::logic_error(bledy.join(u' ').toStdString());
    Zastosuj(rekord, pola, wartosci);
    ZapiszPlikZRekordem(pliki, sciezka, rekord, {});
}

void ZapiszListeJesliBrak(SystemPlikow& pliki, RodzajBazy rodzaj, const QString& sciezka,
                          const std::vector<QStringList>& wpisy) {
    if (PlikIstnieje(pliki, sciezka)) return;
    const auto lista = Lista::Nowa(rodzaj, sciezka);
    for (const QStringList& wpis : wpisy) {
        const int miejsce = lista->wolneMiejsce().value();
        if (const QStringList bledy = lista->bledyWpisu(miejsce, wpis); !bledy.isEmpty())
            throw std::logic_error(bledy.join(u' ').toStdString());
        lista->ustawWpis(miejsce, wpis);
    }
    lista->zapisz(pliki);
}

}  // namespace

void PrzygotujDaneDemonstracyjne(SystemPlikow& pliki, const QString& folder) {
    const QString korzen = QDir::cleanPath(QDir(folder).absolutePath());
    UtworzFolderyDanych(pliki, korzen);
    auto sciezka = [&korzen](const QString& wzgledna) { return SciezkaDanych(korzen, wzgledna); };

    // Mode 0 keeps the working directory as the data root, so the demo folder may move.
    TUstawieniaSieci siec{};
    siec.tryb = NowyTryb(siec.tryb, RodzajTrybu::Biezacy);
    ZapiszStroneJesliBrak(pliki, sciezka(SciezkaUstawienSieci), PolaSieci(), {QString(), QString()}, siec);

    ZapiszStroneJesliBrak(
        pliki, sciezka(SciezkaDanychFirmy), PolaFirmy(),
        {QStringLiteral("Biuro Rachunkowe „Żuraw” Sp. z o.o."), QStringLiteral("ul. Źródlana 12/4"),
         QStringLiteral("31-532 Kraków"), QStringLiteral("675-000-12-31"),
         QStringLiteral("Bank Spółdzielczy w Krakowie"), QStringLiteral("79 1234 5600 0000 0012 3456 7890")});

    ZapiszStroneJesliBrak(
        pliki, sciezka(SciezkaUstawienFaktury), PolaFaktury(),
        {QStringLiteral("Kraków"), QStringLiteral("0"), QStringLiteral("2026"), QStringLiteral("0"),
         QStringLiteral("K/2026"), QStringLiteral("oryginał"), QStringLiteral("Anna Łęcka"),
         QStringLiteral("1"), QStringLiteral("Dziękujemy za terminową zapłatę.")});

    const QString font = SciezkaCzcionkiWydruku(korzen);
    if (!PlikIstnieje(pliki, font))
        ZapiszPlikZRekordem(pliki, font, ZmienionaCzcionka(TCzcionka{}, {QStringLiteral("Arial"), 10, 0, 0}),
                            {});

    ZapiszListeJesliBrak(
        pliki, RodzajBazy::Klienci, sciezka(QStringLiteral("\\Uslugi\\klienci_demo.kli")),
        {
            {QStringLiteral("Piekarnia „Kłos” s.c."), QStringLiteral("ul. Młyńska 3"),
             QStringLiteral("30-001 Kraków"), QStringLiteral("Małopolska"), QStringLiteral("679-111-22-46")},
            {QStringLiteral("Jan Kowalski"), QStringLiteral("ul. Słoneczna 8 m. 2"),
             QStringLiteral("32-020 Wieliczka"), QString(), QString()},
            {QStringLiteral("Zakład Ślusarski Wąsik"), QStringLiteral("os. Górali 17"),
             QStringLiteral("34-400 Nowy Targ"), QStringLiteral("Podhale"), QStringLiteral("735-222-33-46")},
        });
    ZapiszListeJesliBrak(
        pliki, RodzajBazy::Uslugi, sciezka(QStringLiteral("\\Uslugi\\uslugi_demo.usl")),
        {
            {QStringLiteral("Prowadzenie księgi przychodów i rozchodów"), QStringLiteral("69.20.2"),
             QStringLiteral("mies."), QStringLiteral("23"), QStringLiteral("350.00")},
            {QStringLiteral("Sporządzenie deklaracji VAT"), QStringLiteral("69.20.2"), QStringLiteral("szt."),
             QStringLiteral("23"), QStringLiteral("80.00")},
            {QStringLiteral("Doradztwo podatkowe"), QStringLiteral("69.20.3"), QStringLiteral("godz."),
             QStringLiteral("23"), QStringLiteral("150.00")},
        });

    // What the module's first start would add; mode 0 makes the folder itself the data root.
    UtworzPlikiDanych(pliki, korzen, RekordPoczatkowy(TekstDaty(QDate::currentDate())));
}
