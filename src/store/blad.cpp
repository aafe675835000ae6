#include "store/blad.h"

#include <locale.h>
#include <string.h>

#include <cerrno>
#include <clocale>
#include <cstring>

namespace {

// The system's own text in Polish, where glibc's translations are installed; never the English
// one, which a Polish user could not read.
QString KomunikatSystemuZJezyka(int errnoKod) {
    static const locale_t polski =
        ::newlocale(LC_MESSAGES_MASK, "pl_PL.UTF-8", static_cast<locale_t>(nullptr));
    static const locale_t c = ::newlocale(LC_MESSAGES_MASK, "C", static_cast<locale_t>(nullptr));
    if (polski && c) {
        const QString tekst = QString::fromUtf8(::strerror_l(errnoKod, polski));
        if (tekst != QString::fromUtf8(::strerror_l(errnoKod, c))) return tekst;
    }
    return QStringLiteral("Błąd systemu nr %1").arg(errnoKod);
}

}  // namespace

QString KomunikatSystemu(int errnoKod) {
    switch (errnoKod) {
        case 0:
            return {};
        case ENOENT:
            return QStringLiteral("Nie ma takiego pliku ani katalogu");
        case EACCES:
            return QStringLiteral("Brak dostępu");
        case EPERM:
            return QStringLiteral("Operacja niedozwolona");
        case ENOSPC:
            return QStringLiteral("Brak wolnego miejsca na dysku");
        case EDQUOT:
            return QStringLiteral("Przekroczony przydział miejsca na dysku");
        case EIO:
            return QStringLiteral("Błąd wejścia/wyjścia");
        case EISDIR:
            return QStringLiteral("To jest katalog");
        case ENOTDIR:
            return QStringLiteral("To nie jest katalog");
        case EROFS:
            return QStringLiteral("System plików tylko do odczytu");
        case EEXIST:
            return QStringLiteral("Plik już istnieje");
        case ENAMETOOLONG:
            return QStringLiteral("Zbyt długa nazwa pliku");
        case EMFILE:
            return QStringLiteral("Zbyt wiele otwartych plików");
        case ENFILE:
            return QStringLiteral("Zbyt wiele otwartych plików w systemie");
        case EBUSY:
            return QStringLiteral("Urządzenie lub zasób jest zajęty");
        case EXDEV:
            return QStringLiteral("Nie można przenieść pliku na inny system plików");
        case ETXTBSY:
            return QStringLiteral("Plik jest używany");
        case EBADF:
            return QStringLiteral("Nieprawidłowy uchwyt pliku");
        case EINVAL:
            return QStringLiteral("Nieprawidłowy argument");
        case EFBIG:
            return QStringLiteral("Plik jest za duży");
        case ELOOP:
            return QStringLiteral("Zbyt wiele poziomów dowiązań symbolicznych");
        case ENOTEMPTY:
            return QStringLiteral("Katalog nie jest pusty");
        case ESTALE:
            return QStringLiteral("Nieaktualny uchwyt pliku sieciowego");
        case ETIMEDOUT:
            return QStringLiteral("Przekroczony czas oczekiwania");
        case ESPIPE:
            return QStringLiteral("Nie można ustawić pozycji w tym pliku (to nie jest zwykły plik)");
        case ENXIO:
            return QStringLiteral("Nie ma takiego urządzenia lub adresu");
        case ENODEV:
            return QStringLiteral("Nie ma takiego urządzenia");
        case EAGAIN:
            return QStringLiteral("Zasób chwilowo niedostępny");
        case EINTR:
            return QStringLiteral("Operacja przerwana");
        case ENOLCK:
            return QStringLiteral("Blokady plików są niedostępne");
        case ENOTSUP:
            return QStringLiteral("Operacja nie jest obsługiwana przez system plików");
        case ENOSYS:
            return QStringLiteral("Funkcja nie jest dostępna w tym systemie");
        case EOVERFLOW:
            return QStringLiteral("Wartość zbyt duża dla tego typu danych");
        case ENOMEM:
            return QStringLiteral("Brak pamięci");
        case ENOBUFS:
            return QStringLiteral("Brak miejsca w buforach systemu");
        case EFAULT:
            return QStringLiteral("Nieprawidłowy adres");
        case EMLINK:
            return QStringLiteral("Zbyt wiele dowiązań");
        case EDEADLK:
            return QStringLiteral("Blokada prowadziłaby do zakleszczenia");
        case ECANCELED:
            return QStringLiteral("Operacja anulowana");
        case ENOMEDIUM:
            return QStringLiteral("Brak nośnika w napędzie");
        case EMEDIUMTYPE:
            return QStringLiteral("Nieprawidłowy rodzaj nośnika");
        case ENOTCONN:
            return QStringLiteral("Brak połączenia z udziałem sieciowym");
        case ECONNRESET:
            return QStringLiteral("Połączenie z udziałem sieciowym zostało zerwane");
        case ECONNREFUSED:
            return QStringLiteral("Serwer udziału sieciowego odmówił połączenia");
        case ECONNABORTED:
            return QStringLiteral("Połączenie z udziałem sieciowym zostało przerwane");
        case ENETDOWN:
            return QStringLiteral("Sieć nie działa");
        case ENETUNREACH:
            return QStringLiteral("Sieć jest nieosiągalna");
        case EHOSTDOWN:
            return QStringLiteral("Serwer udziału sieciowego nie działa");
        case EHOSTUNREACH:
            return QStringLiteral("Serwer udziału sieciowego jest nieosiągalny");
        case EREMOTEIO:
            return QStringLiteral("Błąd wejścia/wyjścia na serwerze udziału sieciowego");
        case ENOKEY:
        case EKEYEXPIRED:
            return QStringLiteral("Brak ważnego klucza dostępu do udziału sieciowego");
        case EILSEQ:
            return QStringLiteral("Nieprawidłowy znak w nazwie pliku");
        case ETIME:
            return QStringLiteral("Przekroczony czas oczekiwania na serwer");
        case EUCLEAN:
            return QStringLiteral("System plików wymaga naprawy");
        default:
            return KomunikatSystemuZJezyka(errnoKod);
    }
}

namespace {

QString PelnyKomunikat(const QString& operacja, const QString& sciezka, const QString& komunikatSystemu) {
    QString wynik = QStringLiteral("Błąd pliku przy operacji „%1” pliku „%2”").arg(operacja, sciezka);
    if (!komunikatSystemu.isEmpty()) wynik += QStringLiteral(": ") + komunikatSystemu;
    return wynik;
}

}  // namespace

BladPliku::BladPliku(QString operacja, QString sciezka, int kod, QString komunikatSystemu)
    : BladPliku(operacja, sciezka, kod, komunikatSystemu.isEmpty() ? KomunikatSystemu(kod) : komunikatSystemu,
                PelnyKomunikat(operacja, sciezka,
                               komunikatSystemu.isEmpty() ? KomunikatSystemu(kod) : komunikatSystemu)) {}

BladPliku::BladPliku(QString operacja, QString sciezka, int kod, QString komunikatSystemu, QString komunikat)
    : std::runtime_error(komunikat.toStdString()),
      operacja_(std::move(operacja)),
      sciezka_(std::move(sciezka)),
      kod_(kod),
      komunikatSystemu_(std::move(komunikatSystemu)),
      komunikat_(std::move(komunikat)) {}

BladPliku BladPliku::ZKomunikatem(QString operacja, QString sciezka, int kod, const QString& komunikat) {
    return BladPliku(std::move(operacja), std::move(sciezka), kod, KomunikatSystemu(kod), komunikat);
}

BladPliku BladPliku::zPrzedrostkiem(const QString& przedrostek) const {
    QString reszta = komunikat_;
    if (!reszta.isEmpty()) reszta[0] = reszta[0].toLower();
    return BladPliku(operacja_, sciezka_, kod_, komunikatSystemu_, przedrostek + reszta);
}
