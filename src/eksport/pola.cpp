#include "eksport/pola.h"

#include <charconv>
#include <string>

QString OpisDokumentu(const TDokument& dokument, std::int64_t pozycja) {
    const QString rekord = QStringLiteral("rekord %1").arg(pozycja);
    const QString numer = CzystyTekst(NumerDokumentu(dokument));
    switch (Rodzaj(dokument)) {
        case RodzajDokumentu::Faktura:
            return QStringLiteral("faktura %1 (%2)").arg(numer, rekord);
        case RodzajDokumentu::Korekta:
            return QStringLiteral("korekta %1 (%2)").arg(numer, rekord);
        case RodzajDokumentu::Inny:
            break;
    }
    return rekord;
}

QString CzystyTekst(const QString& tekst) {
    QString wynik;
    wynik.reserve(tekst.size());
    for (const QChar znak : tekst) {
        const char16_t kod = znak.unicode();
        // Tabs and line breaks are white space; every other control character has no place in a
        // token or a cell (XML 1.0 forbids them outright).
        if (kod == u'\t' || kod == u'\n' || kod == u'\r') {
            wynik.append(QLatin1Char(' '));
        } else if (kod >= 0x20 && !(kod >= 0x7F && kod < 0xA0) && kod != 0xFFFE && kod != 0xFFFF) {
            wynik.append(znak);
        }
    }
    return wynik.simplified();
}

QString ZnormalizowanaStawka(const QString& tekst) {
    QString s = CzystyTekst(tekst).toLower();
    if (s.endsWith(u'%')) s = s.chopped(1).trimmed();
    if (s.isEmpty()) return s;
    std::string liczba = s.toStdString();
    for (char& c : liczba)
        if (c == ',') c = '.';
    // Only a plain decimal number is rewritten; "zw", "np", "1e1" or "5 %x" stay as they are.
    bool zwykla = true, kropka = false, cyfra = false;
    for (char c : liczba) {
        if (c >= '0' && c <= '9') {
            cyfra = true;
        } else if (c == '.' && !kropka) {
            kropka = true;
        } else {
            zwykla = false;
        }
    }
    if (!zwykla || !cyfra) return s;
    double wartosc = 0;
    const auto [koniec, blad] = std::from_chars(liczba.data(), liczba.data() + liczba.size(), wartosc);
    if (blad != std::errc{} || koniec != liczba.data() + liczba.size()) return s;
    char wynik[64];
    const auto zapis = std::to_chars(wynik, wynik + sizeof wynik, wartosc, std::chars_format::fixed);
    if (zapis.ec != std::errc{}) return s;
    return QString::fromLatin1(wynik, zapis.ptr - wynik);
}
