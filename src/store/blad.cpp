#include "store/blad.h"

#include <locale.h>
#include <string.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <new>

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

namespace {

// The program's own Polish text for every error value it can meet.
const struct {
    int kod;
    const char* tekst;
} KomunikatyBledow[] = {
    {ENOENT, "Nie ma takiego pliku ani katalogu"},
    {EACCES, "Brak dostępu"},
    {EPERM, "Operacja niedozwolona"},
    {ENOSPC, "Brak wolnego miejsca na dysku"},
    {EDQUOT, "Przekroczony przydział miejsca na dysku"},
    {EIO, "Błąd wejścia/wyjścia"},
    {EISDIR, "To jest katalog"},
    {ENOTDIR, "To nie jest katalog"},
    {EROFS, "System plików tylko do odczytu"},
    {EEXIST, "Plik już istnieje"},
    {ENAMETOOLONG, "Zbyt długa nazwa pliku"},
    {EMFILE, "Zbyt wiele otwartych plików"},
    {ENFILE, "Zbyt wiele otwartych plików w systemie"},
    {EBUSY, "Urządzenie lub zasób jest zajęty"},
    {EXDEV, "Nie można przenieść pliku na inny system plików"},
    {ETXTBSY, "Plik jest używany"},
    {EBADF, "Nieprawidłowy uchwyt pliku"},
    {EINVAL, "Nieprawidłowy argument"},
    {EFBIG, "Plik jest za duży"},
    {ELOOP, "Zbyt wiele poziomów dowiązań symbolicznych"},
    {ENOTEMPTY, "Katalog nie jest pusty"},
    {ESTALE, "Nieaktualny uchwyt pliku sieciowego"},
    {ETIMEDOUT, "Przekroczony czas oczekiwania"},
    {ESPIPE, "Nie można ustawić pozycji w tym pliku (to nie jest zwykły plik)"},
    {ENXIO, "Nie ma takiego urządzenia lub adresu"},
    {ENODEV, "Nie ma takiego urządzenia"},
    {EAGAIN, "Zasób chwilowo niedostępny"},
    {EINTR, "Operacja przerwana"},
    {ENOLCK, "Blokady plików są niedostępne"},
    {ENOTSUP, "Operacja nie jest obsługiwana przez system plików"},
    {ENOSYS, "Funkcja nie jest dostępna w tym systemie"},
    {EOVERFLOW, "Wartość zbyt duża dla tego typu danych"},
    {ENOMEM, "Brak pamięci"},
    {ENOBUFS, "Brak miejsca w buforach systemu"},
    {EFAULT, "Nieprawidłowy adres"},
    {EMLINK, "Zbyt wiele dowiązań"},
    {EDEADLK, "Blokada prowadziłaby do zakleszczenia"},
    {ECANCELED, "Operacja anulowana"},
    {ENOMEDIUM, "Brak nośnika w napędzie"},
    {EMEDIUMTYPE, "Nieprawidłowy rodzaj nośnika"},
    {ENOTCONN, "Brak połączenia z udziałem sieciowym"},
    {ECONNRESET, "Połączenie z udziałem sieciowym zostało zerwane"},
    {ECONNREFUSED, "Serwer udziału sieciowego odmówił połączenia"},
    {ECONNABORTED, "Połączenie z udziałem sieciowym zostało przerwane"},
    {ENETDOWN, "Sieć nie działa"},
    {ENETUNREACH, "Sieć jest nieosiągalna"},
    {EHOSTDOWN, "Serwer udziału sieciowego nie działa"},
    {EHOSTUNREACH, "Serwer udziału sieciowego jest nieosiągalny"},
    {EREMOTEIO, "Błąd wejścia/wyjścia na serwerze udziału sieciowego"},
    {ENOKEY, "Brak ważnego klucza dostępu do udziału sieciowego"},
    {EKEYEXPIRED, "Brak ważnego klucza dostępu do udziału sieciowego"},
    {EILSEQ, "Nieprawidłowy znak w nazwie pliku"},
    {ETIME, "Przekroczony czas oczekiwania na serwer"},
    {EUCLEAN, "System plików wymaga naprawy"},
};

}  // namespace

QString KomunikatSystemu(int errnoKod) {
    if (errnoKod == 0) return {};
    for (const auto& k : KomunikatyBledow)
        if (k.kod == errnoKod) return QString::fromUtf8(k.tekst);
    return KomunikatSystemuZJezyka(errnoKod);
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

Odmowa::Odmowa(const QString& komunikat)
    : std::runtime_error(komunikat.toStdString()), komunikat_(komunikat) {}

QString KomunikatBiezacegoBledu() {
    try {
        throw;
    } catch (const BladPliku& blad) {
        return blad.komunikat();
    } catch (const Odmowa& odmowa) {
        return odmowa.komunikat();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Zabrakło pamięci.");
    } catch (const std::exception& blad) {
        return QStringLiteral("Nieoczekiwany błąd programu: ") + QString::fromLocal8Bit(blad.what());
    } catch (...) {
        return QStringLiteral("Nieoczekiwany błąd programu.");
    }
}
