#include "store/blad.h"

#include <cerrno>
#include <cstring>

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
        default:
            return QString::fromLocal8Bit(std::strerror(errnoKod));
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
    : std::runtime_error(PelnyKomunikat(operacja, sciezka,
                                        komunikatSystemu.isEmpty() ? KomunikatSystemu(kod) : komunikatSystemu)
                             .toStdString()),
      operacja_(std::move(operacja)),
      sciezka_(std::move(sciezka)),
      kod_(kod),
      komunikatSystemu_(komunikatSystemu.isEmpty() ? KomunikatSystemu(kod) : std::move(komunikatSystemu)) {}

QString BladPliku::komunikat() const { return QString::fromUtf8(what()); }
