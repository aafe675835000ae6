#include "print/dane_wydruku.h"

namespace {

void UstawKomorke(TTekst<60> (&tabela)[6][3], int c, int r, const char* tekst) {
    tabela[c - 1][r - 1].ustaw(QString::fromUtf8(tekst));
}
void UstawKomorke(TTekst<20> (&tabela)[4][3], int c, int r, const char* tekst) {
    tabela[c][r - 1].ustaw(QString::fromUtf8(tekst));
}

}  // namespace

DaneWydruku DaneFaktury() {
    DaneWydruku d;
    d.pole(PoleNaglowka::miejscowosc) = QStringLiteral("Kraków");
    d.pole(PoleNaglowka::data_wystawienia) = QStringLiteral("2010-03-15");
    d.pole(PoleNaglowka::numerator) = QStringLiteral("17");
    d.pole(PoleNaglowka::rozszerzenie) = QStringLiteral("FV/2010");
    d.pole(PoleNaglowka::odbiorca1) = QStringLiteral("Odbiorca Sp. z o.o.");
    d.pole(PoleNaglowka::odbiorca2) = QStringLiteral("ul. Długa 5");
    d.pole(PoleNaglowka::odbiorca3) = QStringLiteral("30-001 Kraków");
    d.pole(PoleNaglowka::odbiorca4) = QStringLiteral("Polska");
    d.pole(PoleNaglowka::nip_odbiorcy) = QStringLiteral("123-456-78-90");
    d.pole(PoleNaglowka::forma_zaplaty) = QStringLiteral("przelew");
    d.pole(PoleNaglowka::termin_zaplaty) = QStringLiteral("14 dni");
    d.pole(PoleNaglowka::data_uslugi) = QStringLiteral("2010-03-14");
    d.pole(PoleNaglowka::podpis) = QStringLiteral("Jan Nowak");
    d.oznaczenie_kopii = QStringLiteral("oryginał / kopia");
    d.stopka = QStringLiteral("Dziękujemy za zakupy");
    d.dotyczy = QStringLiteral("12/FV/2010");
    d.liniaFirmy1 = QStringLiteral("Firma Usługowa Sprzedawca Spółka z ograniczoną odpowiedzialnością");
    d.liniaFirmy2 = QStringLiteral("ul. Krótka 1");
    d.liniaFirmy3 = QStringLiteral("00-950 Warszawa");
    d.nip = QStringLiteral("111-222-33-44");
    d.bank = QStringLiteral("Bank Pierwszy");
    d.konto = QStringLiteral("12 3456 7890");

    TDokument& dok = d.dokument;
    dok.rodzaj.ustaw(QStringLiteral("F"));
    const char* wiersz1[] = {"Usługa serwisowa", "71.12.1", "szt", "   1.00", " 100.00", "23"};
    const char* wiersz2[] = {"Dojazd", "", "km", "  10.00", "    1.91", "23"};
    for (int c = 1; c <= 6; ++c) {
        UstawKomorke(dok.pozycje, c, 1, wiersz1[c - 1]);
        UstawKomorke(dok.pozycje, c, 2, wiersz2[c - 1]);
    }
    // Row 3 of both tables stays empty and is printed anyway.
    UstawKomorke(dok.stawki, 0, 1, "23");
    UstawKomorke(dok.stawki, 1, 1, "      100.00");
    UstawKomorke(dok.stawki, 2, 1, "       23.00");
    UstawKomorke(dok.stawki, 3, 1, "      123.00");
    UstawKomorke(dok.stawki, 0, 2, "8");
    UstawKomorke(dok.stawki, 1, 2, "       21.71");
    UstawKomorke(dok.stawki, 2, 2, "        1.74");
    UstawKomorke(dok.stawki, 3, 2, "       23.45");

    d.czcionka.Czcionka.kolor = 0x00000080;
    d.czcionka.NazwaCzcionki = QStringLiteral("Tahoma");
    d.czcionka.RozmiarCzcionki = 10;
    return d;
}

DaneWydruku DaneKorekty() {
    DaneWydruku d = DaneFaktury();
    TDokument& dok = d.dokument;
    dok.rodzaj.ustaw(QStringLiteral("K"));
    const char* wiersz1[] = {"Usługa serwisowa (korekta)", "71.12.1", "szt", "   1.00", "  90.00", "23"};
    for (int c = 1; c <= 6; ++c) {
        UstawKomorke(dok.pozycje_korekty, c, 1, wiersz1[c - 1]);
        dok.pozycje_korekty[c - 1][1] = dok.pozycje[c - 1][1];
    }
    for (int c = 0; c <= 3; ++c) dok.stawki_korekty[c][1] = dok.stawki[c][1];
    UstawKomorke(dok.stawki_korekty, 0, 1, "23");
    UstawKomorke(dok.stawki_korekty, 1, 1, "       90.00");
    UstawKomorke(dok.stawki_korekty, 2, 1, "       20.70");
    UstawKomorke(dok.stawki_korekty, 3, 1, "      110.70");
    return d;
}
