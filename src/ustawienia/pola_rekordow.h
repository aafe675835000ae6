#pragma once
// The text fields of the settings records as the pages edit them. A page changes only the fields
// whose text the user changed; every other byte of the record, also the bytes after a text's
// length, stays as it was read.
#include <QString>
#include <QStringList>
#include <type_traits>
#include <utility>
#include <vector>

#include "store/rekordy.h"
#include "store/uzupelnienia.h"
#include "ustawienia/kontrola_tekstu.h"

// What a page shows of one field: the object name of its edit, its label and its capacity.
struct OpisPola {
    QString nazwa;
    QString etykieta;
    int pojemnosc = 0;
    // A number field: a comma typed becomes a point, and a text that does not read wholly as a
    // number gets a note.
    bool liczba = false;
};

template <class T>
struct PoleRekordu {
    OpisPola opis;
    QString (*czytaj)(const T&);
    void (*ustaw)(T&, const QString&);
};

template <auto Pole, class T>
PoleRekordu<T> Pole_(const char* nazwa, const char* etykieta) {
    using Tekst = std::remove_cvref_t<decltype(std::declval<T&>().*Pole)>;
    return {{QString::fromUtf8(nazwa), QString::fromUtf8(etykieta), static_cast<int>(Tekst::Pojemnosc)},
            [](const T& r) { return (r.*Pole).tekst(); },
            [](T& r, const QString& s) { (r.*Pole).ustaw(s); }};
}
#define POLE_REKORDU(Typ, pole, etykieta) Pole_<&Typ::pole, Typ>(#pole, etykieta)

const std::vector<PoleRekordu<TDaneFirmy>>& PolaFirmy();
const std::vector<PoleRekordu<TUstawieniaFaktury>>& PolaFaktury();
const std::vector<PoleRekordu<TEwidencja>>& PolaEwidencji();
const std::vector<PoleRekordu<TUzupelnienia>>& PolaUzupelnien();
// The two paths of "siec.dat"; the mode byte is set apart (NowyTryb).
const std::vector<PoleRekordu<TUstawieniaSieci>>& PolaSieci();

template <class T>
std::vector<OpisPola> Opisy(const std::vector<PoleRekordu<T>>& pola) {
    std::vector<OpisPola> opisy;
    for (const auto& p : pola) opisy.push_back(p.opis);
    return opisy;
}

template <class T>
QStringList Wartosci(const T& rekord, const std::vector<PoleRekordu<T>>& pola) {
    QStringList wartosci;
    for (const auto& p : pola) wartosci.append(p.czytaj(rekord));
    return wartosci;
}

// Why the changed values cannot be stored, one message per refused field; empty when all can.
template <class T>
QStringList BledyZmian(const T& rekord, const std::vector<PoleRekordu<T>>& pola,
                       const QStringList& wartosci) {
    QStringList bledy;
    for (std::size_t i = 0; i < pola.size(); ++i) {
        const QString& w = wartosci.at(static_cast<qsizetype>(i));
        if (w == pola[i].czytaj(rekord)) continue;
        if (const auto blad = BladTekstu(pola[i].opis.etykieta, w, pola[i].opis.pojemnosc))
            bledy.append(*blad);
    }
    return bledy;
}

// Stores the values that differ from the record's (checked by BledyZmian first).
template <class T>
void Zastosuj(T& rekord, const std::vector<PoleRekordu<T>>& pola, const QStringList& wartosci) {
    for (std::size_t i = 0; i < pola.size(); ++i) {
        const QString& w = wartosci.at(static_cast<qsizetype>(i));
        if (w != pola[i].czytaj(rekord)) pola[i].ustaw(rekord, w);
    }
}

// The data root choices of "siec.dat".
enum class RodzajTrybu { Lokalny, Sieciowy, Biezacy };
RodzajTrybu RodzajZTrybu(std::uint8_t tryb);
// The mode byte for the choice: unchanged when the choice is the one the byte already means.
std::uint8_t NowyTryb(std::uint8_t stary, RodzajTrybu wybor);
