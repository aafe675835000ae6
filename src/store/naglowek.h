#pragma once
// The thirteen header texts of a document (everything but the tables, the kind and `dotyczy`), in
// the order of the record, as one list that the form, the templates and the printout share.

#include <cstddef>

#include "store/rekordy.h"

enum class PoleNaglowka {
    miejscowosc,
    data_wystawienia,
    numerator,
    rozszerzenie,
    odbiorca1,
    odbiorca2,
    odbiorca3,
    odbiorca4,
    nip_odbiorcy,
    forma_zaplaty,
    data_uslugi,
    termin_zaplaty,
    podpis,
};
inline constexpr std::size_t LiczbaPolNaglowka = 13;

// Calls f(PoleNaglowka, field) for every header text of a document or template record.
template <class Dokument, class F>
void KazdePoleNaglowka(Dokument& d, F&& f) {
    using P = PoleNaglowka;
    f(P::miejscowosc, d.miejscowosc);
    f(P::data_wystawienia, d.data_wystawienia);
    f(P::numerator, d.numerator);
    f(P::rozszerzenie, d.rozszerzenie);
    f(P::odbiorca1, d.odbiorca1);
    f(P::odbiorca2, d.odbiorca2);
    f(P::odbiorca3, d.odbiorca3);
    f(P::odbiorca4, d.odbiorca4);
    f(P::nip_odbiorcy, d.nip_odbiorcy);
    f(P::forma_zaplaty, d.forma_zaplaty);
    f(P::data_uslugi, d.data_uslugi);
    f(P::termin_zaplaty, d.termin_zaplaty);
    f(P::podpis, d.podpis);
}

// A template keeps the picture of the form without its number, suffix and date of service.
constexpr bool PoleSzablonu(PoleNaglowka pole) {
    return pole != PoleNaglowka::numerator && pole != PoleNaglowka::rozszerzenie &&
           pole != PoleNaglowka::data_uslugi;
}
