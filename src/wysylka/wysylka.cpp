#include "wysylka/wysylka.h"

#include "store/blad.h"

// Temporary until the KSeF client lands: every entry refuses, so that nothing pretends to send.
WynikWysylki WyslijDokumenty(SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&) {
    throw Odmowa(QStringLiteral("Wysyłanie do KSeF nie jest jeszcze dostępne."));
}
WynikWysylki PobierzBrakujaceUpo(SystemPlikow&, const ZadanieWysylki&, const PostepWysylki&) {
    throw Odmowa(QStringLiteral("Pobieranie UPO nie jest jeszcze dostępne."));
}
QString SprawdzPolaczenie(const SrodowiskoKsef&, const PoswiadczeniaKsef&) {
    return QStringLiteral("Połączenie z KSeF nie jest jeszcze dostępne.");
}
