#pragma once
// Record types of the data files: packed, little-endian, layouts checked at compile time.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "store/tekst.h"

static_assert(std::endian::native == std::endian::little, "the data files are little-endian");

#pragma pack(push, 1)

// The item table and the VAT summary of a record: pozycje[c-1][r-1] is cell (column c = 1..6,
// row r = 1..3) of the item grid, stawki[c][r-1] cell (column c = 0..3, row r = 1..3) of the VAT grid.
using TabelaPozycji = TTekst<60>[6][3];
using TabelaStawek = TTekst<20>[4][3];

// "\Admini\siec.dat": where the data root is.
struct TUstawieniaSieci {
    std::uint8_t tryb;  // 1: sciezka_lokalna, 2: sciezka_sieciowa, else the current directory
    TTekst<200> sciezka_lokalna;
    TTekst<200> sciezka_sieciowa;
};

// "\ADMINI\faktura.dat": invoice settings.
struct TUstawieniaFaktury {
    TTekst<40> miejscowosc;
    TTekst<10> numerator;
    TTekst<20> rozszerzenie;
    TTekst<10> numerator_korekty;
    TTekst<20> rozszerzenie_korekty;
    TTekst<40> oznaczenie_kopii;
    TTekst<40> podpis;
    TTekst<3> liczba_kopii;
    TTekst<80> stopka;
};

// "\ADMINI\firma.dat": the seller.
struct TDaneFirmy {
    TTekst<50> linia1;
    TTekst<50> linia2;
    TTekst<50> linia3;
    TTekst<50> nip;
    TTekst<50> bank;
    TTekst<50> konto;
};

// "\ADMINI\info.dat": kept for the suite, never interpreted here.
struct TInfo {
    std::uint8_t dane[66];
};

// One invoice or correcting invoice of "\Uslugi\dokumenty.dat".
// Cells are stored column by column: pozycje[c-1][r-1] is cell (column c = 1..6, row r = 1..3) of the
// item grid, stawki[c][r-1] cell (column c = 0..3, row r = 1..3) of the VAT summary grid.
struct TDokument {
    TTekst<40> miejscowosc;
    TTekst<10> data_wystawienia;
    TTekst<10> numerator;
    TTekst<20> rozszerzenie;
    TTekst<80> odbiorca1;
    TTekst<80> odbiorca2;
    TTekst<80> odbiorca3;
    TTekst<80> odbiorca4;
    TTekst<20> nip_odbiorcy;
    TTekst<15> forma_zaplaty;
    TTekst<10> data_uslugi;
    TTekst<20> termin_zaplaty;
    TTekst<40> podpis;
    TabelaPozycji pozycje;
    TabelaStawek stawki;
    TabelaPozycji pozycje_korekty;
    TabelaStawek stawki_korekty;
    TTekst<1> rodzaj;  // "F" invoice, "K" correcting invoice
    TTekst<30> dotyczy;
};

// A document template has the layout of a document.
using TSzablon = TDokument;

// Service list file ("\Uslugi\uslugi.dat", "*.usl"): every field is an array over the slots.
struct TBazaUslug {
    static constexpr int LiczbaMiejsc = 201;
    TTekst<3> numer[LiczbaMiejsc];
    TTekst<100> nazwa_uslugi[LiczbaMiejsc];
    TTekst<30> pkwiu[LiczbaMiejsc];
    TTekst<20> jm[LiczbaMiejsc];
    TTekst<5> vat[LiczbaMiejsc];
    TTekst<20> netto[LiczbaMiejsc];
};

// Client list file ("\Uslugi\klienci.dat", "*.kli"): every field is an array over the slots.
struct TBazaKlientow {
    static constexpr int LiczbaMiejsc = 5001;
    TTekst<5> numer[LiczbaMiejsc];
    TTekst<80> odbiorca1[LiczbaMiejsc];
    TTekst<80> odbiorca2[LiczbaMiejsc];
    TTekst<80> odbiorca3[LiczbaMiejsc];
    TTekst<80> odbiorca4[LiczbaMiejsc];
    TTekst<20> nip_odbiorcy[LiczbaMiejsc];
    std::uint8_t reszta[1735347];  // fields of the maintaining module; never read, zero when we create
};

// Printout font record in "FONT\".
struct TCzcionka {
    std::int32_t kolor;  // 0x00BBGGRR, or a negative system colour index
    TTekst<60> nazwa;
    std::uint8_t wypelnienie1[3];
    std::int32_t rozmiar;  // points
    std::uint8_t styl;     // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    std::uint8_t wypelnienie2[3];
};

// "\Admini\ewidencja.dat": folder of the sales register program.
struct TEwidencja {
    TTekst<250> folder;
};

#pragma pack(pop)

static_assert(sizeof(TUstawieniaSieci) == 403);
static_assert(offsetof(TUstawieniaSieci, tryb) == 0);
static_assert(offsetof(TUstawieniaSieci, sciezka_lokalna) == 1);
static_assert(offsetof(TUstawieniaSieci, sciezka_sieciowa) == 202);

static_assert(sizeof(TUstawieniaFaktury) == 272);
static_assert(offsetof(TUstawieniaFaktury, miejscowosc) == 0);
static_assert(offsetof(TUstawieniaFaktury, numerator) == 41);
static_assert(offsetof(TUstawieniaFaktury, rozszerzenie) == 52);
static_assert(offsetof(TUstawieniaFaktury, numerator_korekty) == 73);
static_assert(offsetof(TUstawieniaFaktury, rozszerzenie_korekty) == 84);
static_assert(offsetof(TUstawieniaFaktury, oznaczenie_kopii) == 105);
static_assert(offsetof(TUstawieniaFaktury, podpis) == 146);
static_assert(offsetof(TUstawieniaFaktury, liczba_kopii) == 187);
static_assert(offsetof(TUstawieniaFaktury, stopka) == 191);

static_assert(sizeof(TDaneFirmy) == 306);
static_assert(offsetof(TDaneFirmy, linia1) == 0);
static_assert(offsetof(TDaneFirmy, linia2) == 51);
static_assert(offsetof(TDaneFirmy, linia3) == 102);
static_assert(offsetof(TDaneFirmy, nip) == 153);
static_assert(offsetof(TDaneFirmy, bank) == 204);
static_assert(offsetof(TDaneFirmy, konto) == 255);

static_assert(sizeof(TInfo) == 66);
static_assert(offsetof(TInfo, dane) == 0);

static_assert(sizeof(TDokument) == 3251);
static_assert(offsetof(TDokument, miejscowosc) == 0);
static_assert(offsetof(TDokument, data_wystawienia) == 41);
static_assert(offsetof(TDokument, numerator) == 52);
static_assert(offsetof(TDokument, rozszerzenie) == 63);
static_assert(offsetof(TDokument, odbiorca1) == 84);
static_assert(offsetof(TDokument, odbiorca2) == 165);
static_assert(offsetof(TDokument, odbiorca3) == 246);
static_assert(offsetof(TDokument, odbiorca4) == 327);
static_assert(offsetof(TDokument, nip_odbiorcy) == 408);
static_assert(offsetof(TDokument, forma_zaplaty) == 429);
static_assert(offsetof(TDokument, data_uslugi) == 445);
static_assert(offsetof(TDokument, termin_zaplaty) == 456);
static_assert(offsetof(TDokument, podpis) == 477);
static_assert(offsetof(TDokument, pozycje) == 518);
static_assert(offsetof(TDokument, stawki) == 1616);
static_assert(offsetof(TDokument, pozycje_korekty) == 1868);
static_assert(offsetof(TDokument, stawki_korekty) == 2966);
static_assert(offsetof(TDokument, rodzaj) == 3218);
static_assert(offsetof(TDokument, dotyczy) == 3220);

static_assert(sizeof(TBazaUslug) == 36984);
static_assert(offsetof(TBazaUslug, numer) == 0);
static_assert(offsetof(TBazaUslug, nazwa_uslugi) == 804);
static_assert(offsetof(TBazaUslug, pkwiu) == 21105);
static_assert(offsetof(TBazaUslug, jm) == 27336);
static_assert(offsetof(TBazaUslug, vat) == 31557);
static_assert(offsetof(TBazaUslug, netto) == 32763);

static_assert(sizeof(TBazaKlientow) == 3490698);
static_assert(offsetof(TBazaKlientow, numer) == 0);
static_assert(offsetof(TBazaKlientow, odbiorca1) == 30006);
static_assert(offsetof(TBazaKlientow, odbiorca2) == 435087);
static_assert(offsetof(TBazaKlientow, odbiorca3) == 840168);
static_assert(offsetof(TBazaKlientow, odbiorca4) == 1245249);
static_assert(offsetof(TBazaKlientow, nip_odbiorcy) == 1650330);
static_assert(offsetof(TBazaKlientow, reszta) == 1755351);

static_assert(sizeof(TCzcionka) == 76);
static_assert(offsetof(TCzcionka, kolor) == 0);
static_assert(offsetof(TCzcionka, nazwa) == 4);
static_assert(offsetof(TCzcionka, wypelnienie1) == 65);
static_assert(offsetof(TCzcionka, rozmiar) == 68);
static_assert(offsetof(TCzcionka, styl) == 72);
static_assert(offsetof(TCzcionka, wypelnienie2) == 73);

static_assert(sizeof(TEwidencja) == 251);
static_assert(offsetof(TEwidencja, folder) == 0);

// Records go to and from files byte for byte.
static_assert(std::is_trivially_copyable_v<TDokument> && std::is_standard_layout_v<TDokument>);
static_assert(std::is_trivially_copyable_v<TBazaKlientow> && std::is_standard_layout_v<TBazaKlientow>);
static_assert(std::is_trivially_copyable_v<TCzcionka> && std::is_standard_layout_v<TCzcionka>);
