#include "calc/dokument.h"

#include <algorithm>
#include <cstring>

#include "calc/liczby.h"

namespace {

constexpr std::size_t NajdluzszaLiniaFirmy = 40;
constexpr qsizetype PoczatekDlugiejLinii = 30;

}  // namespace

RodzajDokumentu RodzajZTekstu(QStringView tekst) {
    if (tekst == u"F") return RodzajDokumentu::Faktura;
    if (tekst == u"K") return RodzajDokumentu::Korekta;
    return RodzajDokumentu::Inny;
}

RodzajDokumentu Rodzaj(const TDokument& dokument) {
    // One byte: the letters are ASCII, so no decoding is needed.
    if (dokument.rodzaj.dlugoscTekstu() != 1) return RodzajDokumentu::Inny;
    if (dokument.rodzaj.znaki[0] == 'F') return RodzajDokumentu::Faktura;
    if (dokument.rodzaj.znaki[0] == 'K') return RodzajDokumentu::Korekta;
    return RodzajDokumentu::Inny;
}

QString LiteraRodzaju(RodzajDokumentu rodzaj) {
    switch (rodzaj) {
        case RodzajDokumentu::Faktura:
            return QStringLiteral("F");
        case RodzajDokumentu::Korekta:
            return QStringLiteral("K");
        case RodzajDokumentu::Inny:
            break;
    }
    return QString();
}

void UstawRodzaj(TDokument& dokument, RodzajDokumentu rodzaj) {
    dokument.rodzaj.ustaw(LiteraRodzaju(rodzaj));
}

QString NumerDokumentu(const TDokument& dokument) {
    return dokument.numerator.tekst() + QLatin1Char('/') + dokument.rozszerzenie.tekst();
}

std::size_t BajtyNumeru(const TDokument& dokument, char (&cel)[NajdluzszyNumer]) {
    const std::size_t n = dokument.numerator.dlugoscTekstu(), r = dokument.rozszerzenie.dlugoscTekstu();
    // Whole fields copied, in sizes known here (the bytes past the texts are overwritten or
    // ignored): n <= 10, so the suffix's 20 bytes end within cel.
    static_assert(sizeof dokument.numerator.znaki + 1 + sizeof dokument.rozszerzenie.znaki ==
                  NajdluzszyNumer);
    std::memcpy(cel, dokument.numerator.znaki, sizeof dokument.numerator.znaki);
    cel[n] = '/';
    std::memcpy(cel + n + 1, dokument.rozszerzenie.znaki, sizeof dokument.rozszerzenie.znaki);
    return n + 1 + r;
}

TDokument RekordPoczatkowy(const QString& dataDzisiaj) {
    TDokument dokument{};
    dokument.numerator.ustaw(QStringLiteral("0"));
    dokument.rozszerzenie.ustaw(dataDzisiaj);
    UstawRodzaj(dokument, RodzajDokumentu::Faktura);
    dokument.odbiorca1.ustaw(QString::fromUtf16(TekstPoczatkuBloczka));
    return dokument;
}

bool JestPoczatkiemBloczka(const TDokument& dokument) {
    return dokument.data_wystawienia.dlugoscTekstu() == 0 && dokument.numerator.dlugoscTekstu() == 1 &&
           dokument.numerator.znaki[0] == '0' &&
           dokument.odbiorca1.tekst() == QStringView(TekstPoczatkuBloczka);
}

QString TekstDaty(const QDate& data) {
    return QStringLiteral("%1-%2-%3")
        .arg(data.year(), 4, 10, QLatin1Char('0'))
        .arg(data.month(), 2, 10, QLatin1Char('0'))
        .arg(data.day(), 2, 10, QLatin1Char('0'));
}

std::optional<QDate> DataZTekstu(QStringView tekst) {
    if (tekst.size() != 10 || tekst[4] != u'-' || tekst[7] != u'-') return std::nullopt;
    int liczby[3] = {0, 0, 0};
    for (int i = 0, pole = 0; i < 10; ++i) {
        if (i == 4 || i == 7) {
            ++pole;
            continue;
        }
        if (!Cyfra(tekst[i])) return std::nullopt;
        liczby[pole] = liczby[pole] * 10 + (tekst[i].unicode() - u'0');
    }
    const QDate data(liczby[0], liczby[1], liczby[2]);
    if (!data.isValid()) return std::nullopt;
    return data;
}

int MiesiacDaty(const TTekst<10>& data) {
    const char* z = data.znaki;
    if (data.dlugoscTekstu() < 7 || !Cyfra(z[5]) || !Cyfra(z[6])) return 0;
    const int miesiac = (z[5] - '0') * 10 + (z[6] - '0');
    return miesiac >= 1 && miesiac <= 12 ? miesiac : 0;
}

QString ZnakiNip(const QString& tekst) {
    QString znaki;
    znaki.reserve(tekst.size());
    for (const QChar z : tekst)
        if (!z.isSpace() && z != u'-') znaki.append(z.toUpper());
    if (znaki.startsWith(QLatin1String("PL"))) znaki.remove(0, 2);
    return znaki;
}

std::optional<QString> CyfryNip(const QString& tekst) {
    QString cyfry = ZnakiNip(tekst);
    if (cyfry.size() != 10 || !std::all_of(cyfry.begin(), cyfry.end(), [](QChar z) { return Cyfra(z); }))
        return std::nullopt;
    return cyfry;
}

std::optional<int> CyfraKontrolnaNip(QStringView cyfry) {
    static constexpr int Wagi[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    if (cyfry.size() < 9) return std::nullopt;
    int suma = 0;
    for (int i = 0; i < 9; ++i) {
        if (!Cyfra(cyfry[i])) return std::nullopt;
        suma += Wagi[i] * (cyfry[i].unicode() - u'0');
    }
    if (suma % 11 == 10) return std::nullopt;
    return suma % 11;
}

bool PoprawnyNip(QStringView cyfry) {
    if (cyfry.size() != 10 || !Cyfra(cyfry[9])) return false;
    if (cyfry[0] == u'0' || (cyfry[1] == u'0' && cyfry[2] == u'0')) return false;
    const std::optional<int> kontrolna = CyfraKontrolnaNip(cyfry);
    return kontrolna && *kontrolna == cyfry[9].unicode() - u'0';
}

QString PostacLiniiFirmy(const QString& linia) {
    if (!LiniaFirmySkrocona(linia)) return linia;
    return linia.left(PoczatekDlugiejLinii) + QStringLiteral("...");
}

bool LiniaFirmySkrocona(const QString& linia) {
    return static_cast<std::size_t>(linia.size()) > NajdluzszaLiniaFirmy;
}

namespace {

// Longer pieces are cut; a number and suffix of the document file never get near it.
constexpr qsizetype NajdluzszyFragment = 60;

}  // namespace

QString BezpiecznyFragment(const QString& tekst) {
    // "ł" has no decomposition; every other Polish letter loses its mark in NFD.
    QString bez = tekst;
    bez.replace(QChar(0x0142), QLatin1Char('l')).replace(QChar(0x0141), QLatin1Char('L'));
    bez = bez.normalized(QString::NormalizationForm_D);
    QString wynik;
    bool przerwa = false;
    for (const QChar znak : bez) {
        if (znak.category() == QChar::Mark_NonSpacing) continue;
        const char16_t k = znak.unicode();
        const bool dozwolony =
            (k >= u'a' && k <= u'z') || (k >= u'A' && k <= u'Z') || (k >= u'0' && k <= u'9') || k == u'-';
        if (dozwolony) {
            if (przerwa && !wynik.isEmpty()) wynik.append(QLatin1Char('_'));
            przerwa = false;
            wynik.append(znak);
        } else {
            przerwa = true;
        }
    }
    return wynik.left(NajdluzszyFragment);
}

QString NazwaDokumentu(const TDokument& dokument) {
    const RodzajDokumentu rodzaj = Rodzaj(dokument);
    QString nazwa = rodzaj == RodzajDokumentu::Inny ? QStringLiteral("X") : LiteraRodzaju(rodzaj);
    const QString numer = BezpiecznyFragment(dokument.numerator.tekst());
    const QString rozszerzenie = BezpiecznyFragment(dokument.rozszerzenie.tekst());
    nazwa += QLatin1Char('_') + (numer.isEmpty() ? QStringLiteral("bez_numeru") : numer);
    if (!rozszerzenie.isEmpty()) nazwa += QLatin1Char('_') + rozszerzenie;
    return nazwa;
}
