#include "ustawienia/numery.h"

#include "calc/dokument.h"

namespace {

// Without blanks and hyphens, letters in upper case.
QString BezOdstepow(const QString& tekst) {
    QString wynik;
    for (const QChar z : tekst)
        if (!z.isSpace() && z != u'-') wynik.append(z.toUpper());
    return wynik;
}

std::optional<QChar> PierwszyNiecyfrowy(const QString& tekst) {
    for (const QChar z : tekst)
        if (z < u'0' || z > u'9') return z;
    return std::nullopt;
}

}  // namespace

std::optional<QString> UwagaONip(const QString& nip) {
    const QString cyfry = ZnakiNip(nip);
    if (BezOdstepow(nip).isEmpty()) return std::nullopt;
    if (const auto znak = PierwszyNiecyfrowy(cyfry))
        return QStringLiteral("NIP zawiera znak „%1”, a powinien składać się z cyfr.").arg(*znak);
    if (cyfry.size() != 10)
        return QStringLiteral("NIP powinien mieć 10 cyfr, a ma ich %1.").arg(cyfry.size());
    const std::optional<int> kontrolna = CyfraKontrolnaNip(cyfry);
    if (!kontrolna) return QStringLiteral("Taki NIP nie istnieje: jego suma kontrolna daje 10.");
    if (*kontrolna != cyfry[9].digitValue())
        return QStringLiteral("Cyfra kontrolna NIP nie zgadza się: dla tych cyfr powinna być %1.")
            .arg(*kontrolna);
    return std::nullopt;
}

std::optional<QString> UwagaOKoncie(const QString& konto) {
    QString cyfry = BezOdstepow(konto);
    if (cyfry.isEmpty()) return std::nullopt;
    if (cyfry.startsWith(QStringLiteral("PL")))
        cyfry.remove(0, 2);
    else if (cyfry.size() >= 2 && cyfry[0].isLetter() && cyfry[1].isLetter())
        return QStringLiteral("To nie jest polski numer konta: IBAN polskiego konta zaczyna się od „PL”.");
    if (const auto znak = PierwszyNiecyfrowy(cyfry))
        return QStringLiteral("Numer konta zawiera znak „%1”, a powinien składać się z cyfr.").arg(*znak);
    if (cyfry.size() != 26)
        return QStringLiteral("Numer konta (NRB) powinien mieć 26 cyfr, a ma ich %1.").arg(cyfry.size());
    // IBAN check: the two check digits and "PL" (25, 21) go to the end; the number mod 97 must be 1.
    const QString przestawiony = cyfry.mid(2) + QStringLiteral("2521") + cyfry.left(2);
    int reszta = 0;
    for (const QChar z : przestawiony) reszta = (reszta * 10 + z.digitValue()) % 97;
    if (reszta != 1)
        return QStringLiteral("Cyfry kontrolne numeru konta nie zgadzają się (IBAN/NRB, mod 97).");
    return std::nullopt;
}
