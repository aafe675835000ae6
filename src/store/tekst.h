#pragma once
// Fixed-capacity text of the data files: one length byte and N bytes of Windows-1250.

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "store/cp1250.h"

template <std::size_t N>
struct TTekst {
    static_assert(N >= 1 && N <= 255, "the length byte counts at most 255 characters");
    static constexpr std::size_t Pojemnosc = N;

    std::uint8_t dlugosc;
    char znaki[N];

    // A length byte above N (a record written by someone else) is read as N.
    std::size_t dlugoscTekstu() const { return std::min<std::size_t>(dlugosc, N); }

    QString tekst() const { return ZCp1250(znaki, dlugoscTekstu()); }

    // Cut to N characters; the unused bytes are zeroed so that equal texts give equal files.
    void ustaw(const QString& wartosc) {
        const QByteArray bajty = DoCp1250(wartosc);
        const std::size_t ile = std::min<std::size_t>(static_cast<std::size_t>(bajty.size()), N);
        dlugosc = static_cast<std::uint8_t>(ile);
        std::memcpy(znaki, bajty.constData(), ile);
        std::memset(znaki + ile, 0, N - ile);
    }
};

static_assert(sizeof(TTekst<1>) == 2 && sizeof(TTekst<60>) == 61 && sizeof(TTekst<250>) == 251);
static_assert(alignof(TTekst<60>) == 1);
static_assert(std::is_standard_layout_v<TTekst<60>> && std::is_trivially_copyable_v<TTekst<60>>);
