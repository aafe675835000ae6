#include "store/system_plikow.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>
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

OpisPliku Opis(const struct stat& st) {
    OpisPliku opis;
    opis.rodzaj = S_ISREG(st.st_mode)   ? OpisPliku::Rodzaj::Plik
                  : S_ISDIR(st.st_mode) ? OpisPliku::Rodzaj::Katalog
                                        : OpisPliku::Rodzaj::Inny;
    opis.rozmiar = static_cast<std::uint64_t>(st.st_size);
    opis.czasModyfikacji = static_cast<std::int64_t>(st.st_mtime);
    opis.urzadzenie = static_cast<std::uint64_t>(st.st_dev);
    opis.wezel = static_cast<std::uint64_t>(st.st_ino);
    return opis;
}

// Why something that is not a regular file cannot be used as one.
QString NieZwyklyPlik(mode_t tryb) {
    if (S_ISDIR(tryb)) return QStringLiteral("To jest katalog, a nie plik");
    if (S_ISFIFO(tryb)) return QStringLiteral("To jest potok (FIFO), a nie zwykły plik");
    if (S_ISCHR(tryb) || S_ISBLK(tryb)) return QStringLiteral("To jest urządzenie, a nie zwykły plik");
    if (S_ISSOCK(tryb)) return QStringLiteral("To jest gniazdo, a nie zwykły plik");
    return QStringLiteral("To nie jest zwykły plik");
}

// One byte far beyond the content of any data file: the lock never covers data that another
// program reads or writes, even where a file system enforces locks.
constexpr off_t BajtBlokady = off_t{1} << 40;

}  // namespace

OpisPliku SystemPlikowPosix::opisz(const QString& sciezka) {
    struct stat st;
    if (sciezka.isEmpty() || ::stat(Nazwa(sciezka).constData(), &st) != 0) return {};
    return Opis(st);
}

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
    // Without O_NONBLOCK a pipe put in place of a data file would stop the program for good.
    int flagi = O_CLOEXEC | O_NONBLOCK;
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
    const QString operacja = tworzy ? QStringLiteral("utworzenie") : QStringLiteral("otwarcie");
    if (uchwyt < 0) Zglos(operacja, sciezka);
    struct stat st;
    if (::fstat(uchwyt, &st) != 0) {
        const int kod = errno;
        ::close(uchwyt);
        throw BladPliku(operacja, sciezka, kod);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(uchwyt);
        throw BladPliku(operacja, sciezka, 0, NieZwyklyPlik(st.st_mode));
    }
    ::fcntl(uchwyt, F_SETFL, ::fcntl(uchwyt, F_GETFL) & ~O_NONBLOCK);
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

void SystemPlikowPosix::kopiuj(int zrodlo, std::uint64_t od, int cel, std::uint64_t doPozycji,
                               std::uint64_t ile) {
    const QString operacja = QStringLiteral("kopiowanie");
    loff_t z = Pozycja(od, operacja, sciezkaUchwytu(zrodlo));
    loff_t c = Pozycja(doPozycji, operacja, sciezkaUchwytu(cel));
    // The kernel copies within the file system without passing the data through the program; where
    // it cannot (another file system, an old kernel), the bytes go through a buffer.
    bool jadro = true;
    std::unique_ptr<char[]> bufor;
    constexpr std::size_t RozmiarBufora = 1 << 18;
    while (ile > 0) {
        const std::size_t porcja = static_cast<std::size_t>(std::min<std::uint64_t>(ile, 1u << 30));
        ssize_t n;
        if (jadro) {
            n = ::copy_file_range(zrodlo, &z, cel, &c, porcja, 0);
            if (n < 0) {
                if (errno == EINTR) continue;
                if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP ||
                    errno == ENOTSUP || errno == EBADF) {
                    jadro = false;
                    continue;
                }
                Zglos(operacja, sciezkaUchwytu(cel));
            }
        } else {
            if (!bufor) bufor = std::make_unique_for_overwrite<char[]>(RozmiarBufora);
            const std::size_t ilePrzez = std::min(porcja, RozmiarBufora);
            n = static_cast<ssize_t>(czytaj(zrodlo, static_cast<std::uint64_t>(z), bufor.get(), ilePrzez));
            if (n > 0) zapisz(cel, static_cast<std::uint64_t>(c), bufor.get(), static_cast<std::size_t>(n));
            z += n;
            c += n;
        }
        if (n == 0)
            throw BladPliku(QStringLiteral("odczyt"), sciezkaUchwytu(zrodlo), 0,
                            QStringLiteral("plik skrócił się w czasie kopiowania"));
        ile -= static_cast<std::uint64_t>(n);
    }
}

OpisPliku SystemPlikowPosix::opiszUchwyt(int uchwyt) {
    struct stat st;
    if (::fstat(uchwyt, &st) != 0) Zglos(QStringLiteral("odczyt rozmiaru"), sciezkaUchwytu(uchwyt));
    return Opis(st);
}

bool SystemPlikowPosix::zablokuj(int uchwyt) {
    struct flock blokada {};
    blokada.l_type = F_WRLCK;
    blokada.l_whence = SEEK_SET;
    blokada.l_start = BajtBlokady;
    blokada.l_len = 1;
    if (BezPrzerwan([&] { return ::fcntl(uchwyt, F_OFD_SETLK, &blokada); }) == 0) return true;
    if (errno == EAGAIN || errno == EACCES) return false;
    Zglos(QStringLiteral("blokada"), sciezkaUchwytu(uchwyt));
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

bool SystemPlikowPosix::zmienNazweBezZastepowania(const QString& z, const QString& na) {
    const QByteArray zNazwa = Nazwa(z), naNazwa = Nazwa(na);
    if (::renameat2(AT_FDCWD, zNazwa.constData(), AT_FDCWD, naNazwa.constData(), RENAME_NOREPLACE) == 0)
        return true;
    int kod = errno;
    if (kod == EEXIST) return false;
    if (kod == EINVAL || kod == ENOSYS || kod == EOPNOTSUPP) {
        // A file system without that rename (some network shares): a hard link refuses an existing
        // target in one step as well; the old name then goes.
        if (::link(zNazwa.constData(), naNazwa.constData()) == 0) {
            ::unlink(zNazwa.constData());
            return true;
        }
        kod = errno;
        if (kod == EEXIST) return false;
        if (kod == EPERM || kod == EOPNOTSUPP || kod == ENOSYS)
            return SystemPlikow::zmienNazweBezZastepowania(z, na);
    }
    throw BladPliku(QStringLiteral("zmiana nazwy"), z, kod,
                    KomunikatSystemu(kod) + QStringLiteral(" (nowa nazwa „%1”)").arg(na));
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

OpisPliku OtwartyPlik::opisz() { return system_->opiszUchwyt(wymagaj()); }

void OtwartyPlik::zamknij() {
    if (uchwyt_ < 0) return;
    system_->zamknij(std::exchange(uchwyt_, -1));
}

void UsunPozostaly(SystemPlikow& system, const QString& sciezka) {
    try {
        if (system.istnieje(sciezka)) system.usun(sciezka);
    } catch (const BladPliku&) {
    }
}
