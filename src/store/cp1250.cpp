#include "store/cp1250.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr char16_t Niezdefiniowany = 0xFFFD;

// Characters of the bytes 0x80..0xFF; the bytes below 0x80 are ASCII.
constexpr std::array<char16_t, 128> GornaPolowa = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

using ParaKodow = std::pair<char16_t, unsigned char>;

// The upper half sorted by character, for encoding by binary search.
const std::array<ParaKodow, 128>& OdwrotnaTabela() {
    static const std::array<ParaKodow, 128> tabela = [] {
        std::array<ParaKodow, 128> t{};
        for (std::size_t i = 0; i < GornaPolowa.size(); ++i)
            t[i] = {GornaPolowa[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(t.begin(), t.end());
        return t;
    }();
    return tabela;
}

char KodZnaku(char16_t znak) {
    if (znak < 0x80) return static_cast<char>(znak);
    if (znak == Niezdefiniowany) return '?';
    const auto& tabela = OdwrotnaTabela();
    const auto it = std::lower_bound(tabela.begin(), tabela.end(), ParaKodow{znak, 0});
    if (it != tabela.end() && it->first == znak) return static_cast<char>(it->second);
    return '?';
}

}  // namespace

QByteArray DoCp1250(const QString& tekst) {
    QByteArray wynik;
    wynik.reserve(tekst.size());
    const qsizetype n = tekst.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t znak = tekst.at(i).unicode();
        if (QChar::isHighSurrogate(znak) && i + 1 < n && QChar::isLowSurrogate(tekst.at(i + 1).unicode())) {
            ++i;  // a character outside the BMP is never in the code page
            wynik.append('?');
            continue;
        }
        wynik.append(KodZnaku(znak));
    }
    return wynik;
}

QString ZCp1250(const char* bajty, std::size_t ile) {
    QString wynik(static_cast<qsizetype>(ile), Qt::Uninitialized);
    QChar* cel = wynik.data();
    for (std::size_t i = 0; i < ile; ++i) {
        const auto bajt = static_cast<unsigned char>(bajty[i]);
        cel[i] = QChar(bajt < 0x80 ? char16_t{bajt} : GornaPolowa[bajt - 0x80]);
    }
    return wynik;
}
