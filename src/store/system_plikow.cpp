#include "store/system_plikow.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <limits>
#include <utility>

#include "store/blad.h"

namespace {

QByteArray Nazwa(const QString& sciezka) { return QFile::encodeName(sciezka); }

[[noreturn]] void Zglos(const QString& operacja, const QString& sciezka) {
    throw BladPliku(operacja, sciezka, errno);
}

// Repeats a system call interrupted by a signal.
template <class F>
auto BezPrzerwan(F wywolanie) {
    decltype(wywolanie()) wynik;
    do {
        wynik = wywolanie();
    } while (wynik == -1 && errno == EINTR);
    return wynik;
}

// The positions of pread/pwrite are signed; a position past that range is a caller's error.
off_t Pozycja(std::uint64_t pozycja, const QString& operacja, const QString& sciezka) {
    if (pozycja > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        throw BladPliku(operacja, sciezka, EFBIG);
    return static_cast<off_t>(pozycja);
}

}  // namespace

bool SystemPlikowPosix::istnieje(const QString& sciezka) {
    struct stat st;
    return !sciezka.isEmpty() && ::stat(Nazwa(sciezka).constData(), &st) == 0;
}

std::vector<QString> SystemPlikowPosix::zawartoscKatalogu(const QString& katalog) {
    std::vector<QString> nazwy;
    DIR* d = ::opendir(Nazwa(katalog).constData());
    if (!d) return nazwy;
    while (const dirent* wpis = ::readdir(d)) {
        const QByteArray nazwa(wpis->d_name);
        if (nazwa != "." && nazwa != "..") nazwy.push_back(QFile::decodeName(nazwa));
    }
    ::closedir(d);
    return nazwy;
}

int SystemPlikowPosix::otworz(const QString& sciezka, TrybOtwarcia tryb) {
    int flagi = O_CLOEXEC;
    switch (tryb) {
        case TrybOtwarcia::Odczyt:
            flagi |= O_RDONLY;
            break;
        case TrybOtwarcia::OdczytZapis:
            flagi |= O_RDWR;
            break;
        case TrybOtwarcia::Utworz:
            flagi |= O_RDWR | O_CREAT | O_TRUNC;
            break;
        case TrybOtwarcia::UtworzNowy:
            flagi |= O_RDWR | O_CREAT | O_EXCL;
            break;
    }
    const bool tworzy = tryb == TrybOtwarcia::Utworz || tryb == TrybOtwarcia::UtworzNowy;
    const QByteArray nazwa = Nazwa(sciezka);
    const int uchwyt = BezPrzerwan([&] { return ::open(nazwa.constData(), flagi, 0666); });
    if (uchwyt < 0) Zglos(tworzy ? QStringLiteral("utworzenie") : QStringLiteral("otwarcie"), sciezka);
    std::lock_guard zamek(blokada_);
    sciezki_[uchwyt] = sciezka;
    return uchwyt;
}

QString SystemPlikowPosix::sciezkaUchwytu(int uchwyt) {
    std::lock_guard zamek(blokada_);
    const auto it = sciezki_.find(uchwyt);
    return it == sciezki_.end() ? QStringLiteral("(uchwyt %1)").arg(uchwyt) : it->second;
}

std::size_t SystemPlikowPosix::czytaj(int uchwyt, std::uint64_t pozycja, void* bufor, std::size_t ile) {
    const QString operacja = QStringLiteral("odczyt");
    auto* cel = static_cast<char*>(bufor);
    std::size_t przeczytano = 0;
    while (przeczytano < ile) {
        const off_t od = Pozycja(pozycja + przeczytano, operacja, sciezkaUchwytu(uchwyt));
        const ssize_t n =
            BezPrzerwan([&] { return ::pread(uchwyt, cel + przeczytano, ile - przeczytano, od); });
        if (n < 0) Zglos(operacja, sciezkaUchwytu(uchwyt));
        if (n == 0) break;
        przeczytano += static_cast<std::size_t>(n);
    }
    return przeczytano;
}

void SystemPlikowPosix::zapisz(int uchwyt, std::uint64_t pozycja, const void* dane, std::size_t ile) {
    const QString operacja = QStringLiteral("zapis");
    const auto* zrodlo = static_cast<const char*>(dane);
    std::size_t zapisano = 0;
    while (zapisano < ile) {
        const off_t od = Pozycja(pozycja + zapisano, operacja, sciezkaUchwytu(uchwyt));
        const ssize_t n =
            BezPrzerwan([&] { return ::pwrite(uchwyt, zrodlo + zapisano, ile - zapisano, od); });
        if (n < 0) Zglos(operacja, sciezkaUchwytu(uchwyt));
        // A write that makes no progress would loop for ever; the disk is as good as full.
        if (n == 0) throw BladPliku(operacja, sciezkaUchwytu(uchwyt), ENOSPC);
        zapisano += static_cast<std::size_t>(n);
    }
}

std::uint64_t SystemPlikowPosix::rozmiar(int uchwyt) {
    struct stat st;
    if (::fstat(uchwyt, &st) != 0) Zglos(QStringLiteral("odczyt rozmiaru"), sciezkaUchwytu(uchwyt));
    return static_cast<std::uint64_t>(st.st_size);
}

void SystemPlikowPosix::obetnij(int uchwyt, std::uint64_t rozmiar) {
    const QString operacja = QStringLiteral("obcięcie");
    const off_t dlugosc = Pozycja(rozmiar, operacja, sciezkaUchwytu(uchwyt));
    if (BezPrzerwan([&] { return ::ftruncate(uchwyt, dlugosc); }) != 0)
        Zglos(operacja, sciezkaUchwytu(uchwyt));
}

void SystemPlikowPosix::synchronizuj(int uchwyt) {
    if (BezPrzerwan([&] { return ::fsync(uchwyt); }) != 0)
        Zglos(QStringLiteral("synchronizacja"), sciezkaUchwytu(uchwyt));
}

void SystemPlikowPosix::zamknij(int uchwyt) {
    QString sciezka;
    {
        std::lock_guard zamek(blokada_);
        const auto it = sciezki_.find(uchwyt);
        if (it != sciezki_.end()) {
            sciezka = it->second;
            sciezki_.erase(it);
        }
    }
    // Linux releases the descriptor even when close fails, and after EINTR it must not be closed
    // again (another thread may already own the number); EINTR loses no data here.
    if (::close(uchwyt) != 0 && errno != EINTR) Zglos(QStringLiteral("zamknięcie"), sciezka);
}

void SystemPlikowPosix::zmienNazwe(const QString& z, const QString& na) {
    if (::rename(Nazwa(z).constData(), Nazwa(na).constData()) != 0) {
        const int kod = errno;
        throw BladPliku(QStringLiteral("zmiana nazwy"), z, kod,
                        KomunikatSystemu(kod) + QStringLiteral(" (nowa nazwa „%1”)").arg(na));
    }
}

void SystemPlikowPosix::usun(const QString& sciezka) {
    if (::unlink(Nazwa(sciezka).constData()) != 0) Zglos(QStringLiteral("usunięcie"), sciezka);
}

void SystemPlikowPosix::synchronizujKatalog(const QString& katalog) {
    const QString operacja = QStringLiteral("synchronizacja");
    const QByteArray nazwa = Nazwa(katalog);
    const int uchwyt =
        BezPrzerwan([&] { return ::open(nazwa.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (uchwyt < 0) Zglos(operacja, katalog);
    const int wynik = BezPrzerwan([&] { return ::fsync(uchwyt); });
    const int kod = errno;
    ::close(uchwyt);
    // Some file systems (certain network shares) cannot sync a folder at all; that is no failure.
    if (wynik != 0 && kod != EINVAL && kod != ENOTSUP) throw BladPliku(operacja, katalog, kod);
}

void SystemPlikowPosix::utworzKatalog(const QString& katalog) {
    if (::mkdir(Nazwa(katalog).constData(), 0777) == 0) return;
    const int kod = errno;
    struct stat st;
    if (kod == EEXIST && ::stat(Nazwa(katalog).constData(), &st) == 0 && S_ISDIR(st.st_mode)) return;
    throw BladPliku(QStringLiteral("utworzenie katalogu"), katalog, kod);
}

QString SystemPlikowPosix::katalogRoboczy() {
    std::vector<char> bufor(4096);
    while (::getcwd(bufor.data(), bufor.size()) == nullptr) {
        if (errno != ERANGE) Zglos(QStringLiteral("odczyt katalogu roboczego"), QStringLiteral("."));
        bufor.resize(bufor.size() * 2);
    }
    return QFile::decodeName(bufor.data());
}

void SystemPlikowPosix::ustawKatalogRoboczy(const QString& katalog) {
    if (::chdir(Nazwa(katalog).constData()) != 0) Zglos(QStringLiteral("zmiana katalogu roboczego"), katalog);
}

SystemPlikow& DomyslnySystemPlikow() {
    static SystemPlikowPosix system;
    return system;
}

OtwartyPlik::OtwartyPlik(SystemPlikow& system, QString sciezka, TrybOtwarcia tryb)
    : system_(&system), sciezka_(std::move(sciezka)), uchwyt_(system.otworz(sciezka_, tryb)) {}

OtwartyPlik::OtwartyPlik(OtwartyPlik&& inny) noexcept
    : system_(inny.system_), sciezka_(std::move(inny.sciezka_)), uchwyt_(std::exchange(inny.uchwyt_, -1)) {}

OtwartyPlik::~OtwartyPlik() { porzuc(); }

void OtwartyPlik::porzuc() noexcept {
    if (uchwyt_ < 0) return;
    try {
        system_->zamknij(std::exchange(uchwyt_, -1));
    } catch (...) {
        // The error that ended the operation is the one to report.
    }
}

int OtwartyPlik::wymagaj() const {
    if (uchwyt_ < 0)
        throw BladPliku(QStringLiteral("dostęp"), sciezka_, 0, QStringLiteral("plik nie jest otwarty"));
    return uchwyt_;
}

std::size_t OtwartyPlik::czytaj(std::uint64_t pozycja, void* bufor, std::size_t ile) {
    return system_->czytaj(wymagaj(), pozycja, bufor, ile);
}

void OtwartyPlik::zapisz(std::uint64_t pozycja, const void* dane, std::size_t ile) {
    system_->zapisz(wymagaj(), pozycja, dane, ile);
}

std::uint64_t OtwartyPlik::rozmiar() { return system_->rozmiar(wymagaj()); }

void OtwartyPlik::obetnij(std::uint64_t rozmiar) { system_->obetnij(wymagaj(), rozmiar); }

void OtwartyPlik::synchronizuj() { system_->synchronizuj(wymagaj()); }

void OtwartyPlik::zamknij() {
    if (uchwyt_ < 0) return;
    system_->zamknij(std::exchange(uchwyt_, -1));
}
