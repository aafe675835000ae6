#pragma once
// All file-system access of the store goes through this interface, so that tests can wrap it and
// fail any single operation. Paths are real paths of this system (see sciezki.h).

#include <QString>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

enum class TrybOtwarcia {
    Odczyt,
    OdczytZapis,
    Utworz,      // create or truncate, read and write
    UtworzNowy,  // create, failing when the file exists; read and write
};

// What a path names, as far as the program cares.
struct OpisPliku {
    enum class Rodzaj { Brak, Plik, Katalog, Inny };
    Rodzaj rodzaj = Rodzaj::Brak;
    std::uint64_t rozmiar = 0;
    std::int64_t czasModyfikacji = 0;  // seconds since 1970
    // Which file it is: the same pair for two names (or a name and a handle) means one file.
    std::uint64_t urzadzenie = 0, wezel = 0;
};

// Every failure throws BladPliku.
class SystemPlikow {
  public:
    virtual ~SystemPlikow() = default;

    virtual bool istnieje(const QString& sciezka) = 0;
    // Follows symbolic links; Brak when nothing is there or it cannot be looked at.
    virtual OpisPliku opisz(const QString& sciezka) = 0;
    // Names of the entries (without "." and ".."); empty when the folder cannot be read.
    virtual std::vector<QString> zawartoscKatalogu(const QString& katalog) = 0;

    // Only a regular file opens: a folder, a pipe or a device is refused (without waiting on it).
    virtual int otworz(const QString& sciezka, TrybOtwarcia tryb) = 0;
    // Returns the number of bytes read: fewer than asked only at the end of the file.
    virtual std::size_t czytaj(int uchwyt, std::uint64_t pozycja, void* bufor, std::size_t ile) = 0;
    // Writes everything or throws.
    virtual void zapisz(int uchwyt, std::uint64_t pozycja, const void* dane, std::size_t ile) = 0;
    virtual std::uint64_t rozmiar(int uchwyt) = 0;
    virtual void obetnij(int uchwyt, std::uint64_t rozmiar) = 0;
    virtual void synchronizuj(int uchwyt) = 0;
    // Copies `ile` bytes between two open files (the kernel copies where it can); all of them or
    // throws.
    virtual void kopiuj(int zrodlo, std::uint64_t od, int cel, std::uint64_t doPozycji,
                        std::uint64_t ile) = 0;
    virtual OpisPliku opiszUchwyt(int uchwyt) = 0;
    // The advisory lock that copies of this program take on a shared file before they change it
    // (one byte far beyond any content, so that other programs' reads and writes are never
    // blocked). true: granted; false: held by another open of the file; throws when the file system
    // cannot lock. Closing the handle releases it.
    virtual bool zablokuj(int uchwyt) = 0;
    // The handle is released even when this throws.
    virtual void zamknij(int uchwyt) = 0;

    // Atomic; replaces an existing target.
    virtual void zmienNazwe(const QString& z, const QString& na) = 0;
    // The same, but an existing target stays: false, and nothing changes. Where the file system can
    // refuse in the same step it does; elsewhere the target is looked at just before the rename.
    virtual bool zmienNazweBezZastepowania(const QString& z, const QString& na) {
        if (istnieje(na)) return false;
        zmienNazwe(z, na);
        return true;
    }
    virtual void usun(const QString& sciezka) = 0;
    // Makes creations, renames and removals in the folder durable.
    virtual void synchronizujKatalog(const QString& katalog) = 0;
    // Creates one folder; one that exists already is no error.
    virtual void utworzKatalog(const QString& katalog) = 0;

    // The process's working directory: the suite's relative paths ("FONT\", the dialogs' folders)
    // start there.
    virtual QString katalogRoboczy() = 0;
    virtual void ustawKatalogRoboczy(const QString& katalog) = 0;
};

class SystemPlikowPosix : public SystemPlikow {
  public:
    bool istnieje(const QString& sciezka) override;
    OpisPliku opisz(const QString& sciezka) override;
    std::vector<QString> zawartoscKatalogu(const QString& katalog) override;
    int otworz(const QString& sciezka, TrybOtwarcia tryb) override;
    std::size_t czytaj(int uchwyt, std::uint64_t pozycja, void* bufor, std::size_t ile) override;
    void zapisz(int uchwyt, std::uint64_t pozycja, const void* dane, std::size_t ile) override;
    std::uint64_t rozmiar(int uchwyt) override;
    void obetnij(int uchwyt, std::uint64_t rozmiar) override;
    void synchronizuj(int uchwyt) override;
    void kopiuj(int zrodlo, std::uint64_t od, int cel, std::uint64_t doPozycji, std::uint64_t ile) override;
    OpisPliku opiszUchwyt(int uchwyt) override;
    bool zablokuj(int uchwyt) override;
    void zamknij(int uchwyt) override;
    void zmienNazwe(const QString& z, const QString& na) override;
    bool zmienNazweBezZastepowania(const QString& z, const QString& na) override;
    void usun(const QString& sciezka) override;
    void synchronizujKatalog(const QString& katalog) override;
    void utworzKatalog(const QString& katalog) override;
    QString katalogRoboczy() override;
    void ustawKatalogRoboczy(const QString& katalog) override;

  private:
    // Path of every open handle, for the error messages.
    QString sciezkaUchwytu(int uchwyt);

    std::mutex blokada_;
    std::unordered_map<int, QString> sciezki_;
};

// An open file that owns its handle: opened or throws, closed by its destructor without a word (an
// error is already on its way then), or by zamknij(), which reports a failed close, for the path on
// which everything went well.
class OtwartyPlik {
  public:
    OtwartyPlik(SystemPlikow& system, QString sciezka, TrybOtwarcia tryb);
    ~OtwartyPlik();
    OtwartyPlik(OtwartyPlik&& inny) noexcept;
    OtwartyPlik(const OtwartyPlik&) = delete;
    OtwartyPlik& operator=(const OtwartyPlik&) = delete;
    OtwartyPlik& operator=(OtwartyPlik&&) = delete;

    bool otwarty() const { return uchwyt_ >= 0; }
    int uchwyt() const { return uchwyt_; }
    const QString& sciezka() const { return sciezka_; }

    std::size_t czytaj(std::uint64_t pozycja, void* bufor, std::size_t ile);
    void zapisz(std::uint64_t pozycja, const void* dane, std::size_t ile);
    std::uint64_t rozmiar();
    void obetnij(std::uint64_t rozmiar);
    void synchronizuj();
    OpisPliku opisz();
    // Throws when the close fails; the handle is released either way.
    void zamknij();
    // Closes without a word, as the destructor does, when an error is already on its way.
    void porzuc() noexcept;

  private:
    int wymagaj() const;

    SystemPlikow* system_;
    QString sciezka_;
    int uchwyt_ = -1;
};

// The process-wide POSIX file system.
SystemPlikow& DomyslnySystemPlikow();

// Removes a file left behind by an operation that failed, when it is there; a failure to remove it
// is not reported, since the error that ended the operation is the one the user must read.
void UsunPozostaly(SystemPlikow& system, const QString& sciezka);
