#include "eksport/nazwy_plikow.h"

#include "eksport/pola.h"

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

QString NazwyPlikow::nazwa(const TDokument& dokument, std::int64_t pozycja) {
    const QString podstawa = NazwaDokumentu(dokument);
    QString nazwa = podstawa + rozszerzenie_;
    // A suffix may itself end in "_rekordN"; counting on keeps even that apart.
    for (int kolejny = 1; uzyte_.contains(nazwa.toLower()); ++kolejny) {
        nazwa = podstawa + QStringLiteral("_rekord%1").arg(pozycja) +
                (kolejny > 1 ? QStringLiteral("_%1").arg(kolejny) : QString()) + rozszerzenie_;
    }
    uzyte_.insert(nazwa.toLower());
    return nazwa;
}
