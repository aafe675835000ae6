#include "eksport/pola.h"

#include <charconv>
#include <string>

QString NumerDokumentu(const TDokument& dokument) {
    return dokument.numerator.tekst() + QLatin1Char('/') + dokument.rozszerzenie.tekst();
}

QString OpisDokumentu(const TDokument& dokument, std::int64_t pozycja) {
    const QString rekord = QStringLiteral("rekord %1").arg(pozycja);
    const QString numer = CzystyTekst(NumerDokumentu(dokument));
    if (dokument.rodzaj.tekst() == QLatin1String("F"))
        return QStringLiteral("faktura %1 (%2)").arg(numer, rekord);
    if (dokument.rodzaj.tekst() == QLatin1String("K"))
        return QStringLiteral("korekta %1 (%2)").arg(numer, rekord);
    return rekord;
}

bool JestPoczatkiemBloczka(const TDokument& dokument) {
    return dokument.data_wystawienia.dlugoscTekstu() == 0 && dokument.numerator.dlugoscTekstu() == 1 &&
           dokument.numerator.znaki[0] == '0' &&
           dokument.odbiorca1.tekst() == QStringLiteral("Początek bloczka faktur");
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

std::optional<QDate> DataZTekstu(const QString& tekst) {
    if (tekst.size() != 10 || tekst[4] != u'-' || tekst[7] != u'-') return std::nullopt;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (tekst[i] < u'0' || tekst[i] > u'9') return std::nullopt;
    const QDate data(tekst.left(4).toInt(), tekst.mid(5, 2).toInt(), tekst.mid(8, 2).toInt());
    if (!data.isValid()) return std::nullopt;
    return data;
}

std::optional<QString> CyfryNip(const QString& tekst) {
    QString cyfry;
    for (const QChar znak : tekst)
        if (znak != u' ' && znak != u'-' && znak != QChar(0xA0)) cyfry.append(znak);
    if (cyfry.startsWith(QLatin1String("PL"), Qt::CaseInsensitive)) cyfry.remove(0, 2);
    if (cyfry.size() != 10) return std::nullopt;
    for (const QChar znak : cyfry)
        if (znak < u'0' || znak > u'9') return std::nullopt;
    return cyfry;
}

bool PoprawnyNip(const QString& cyfry) {
    if (cyfry.size() != 10) return false;
    int c[10];
    for (int i = 0; i < 10; ++i) {
        if (cyfry[i] < u'0' || cyfry[i] > u'9') return false;
        c[i] = cyfry[i].unicode() - u'0';
    }
    if (c[0] == 0 || (c[1] == 0 && c[2] == 0)) return false;
    static constexpr int kWagi[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    int suma = 0;
    for (int i = 0; i < 9; ++i) suma += c[i] * kWagi[i];
    return suma % 11 == c[9];
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
