#include "store/blad.h"
#include "wysylka/wysylka.h"

TerminWysylki OpisTerminu(const StanKsef& stan, const QDate& dzisiaj) {
    if (stan.stan != StanWysylki::Offline || !stan.terminOffline.isValid()) return {};
    TerminWysylki t;
    const QString data = stan.terminOffline.toString(Qt::ISODate);
    const qint64 zostalo = dzisiaj.daysTo(stan.terminOffline);
    t.ostrzezenie = zostalo <= 1;
    if (zostalo < 0)
        t.opis = QStringLiteral("termin wysłania minął %1").arg(data);
    else if (zostalo == 0)
        t.opis = QStringLiteral("wyślij dziś (termin %1)").arg(data);
    else if (zostalo == 1)
        t.opis = QStringLiteral("wyślij najpóźniej jutro (termin %1)").arg(data);
    else
        t.opis = QStringLiteral("wyślij do %1").arg(data);
    return t;
}

// Replaced by the offline issue's implementation.
WynikWysylki WystawOffline(SystemPlikow&, const ZadanieOffline&, const PostepWysylki&) {
    throw Odmowa(QStringLiteral("Wystawianie faktur offline nie jest jeszcze dostępne."));
}
