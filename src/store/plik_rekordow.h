#pragma once
// Typed record files: a file is a sequence of fixed-size records with no header.

#include <QString>
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <vector>

#include "store/blad.h"
#include "store/sciezki.h"
#include "store/system_plikow.h"

// A record type that may be written and read byte for byte (not a pointer to one).
template <class T>
concept RekordPliku = std::is_trivially_copyable_v<T> && !std::is_pointer_v<T>;

class PlikRekordow {
  public:
    // sciezka is a path of the suite; it is turned into a real one here (RzeczywistaSciezka).
    PlikRekordow(SystemPlikow& system, const QString& sciezka, std::size_t rozmiarRekordu);
    ~PlikRekordow();  // closes without throwing; call zamknij() to learn of a failed close
    PlikRekordow(const PlikRekordow&) = delete;
    PlikRekordow& operator=(const PlikRekordow&) = delete;

    // Existing file for reading and writing; read-only when writing is not permitted.
    void otworz();
    void otworzDoOdczytu();
    // Creates the file or empties an existing one.
    void utworz();

    // Whole records only: a partial record at the end is not counted.
    std::int64_t liczbaRekordow();
    // 0-based; the end of the file (liczbaRekordow()) is a valid position for appending.
    void szukaj(std::int64_t numer);
    // A whole record at the current position, or BladPliku; then the position moves on by one.
    void czytaj(void* rekord);
    // A whole record at the current position. When the write fails, a file that grew is cut back to
    // its former size and an overwritten record is put back as far as the disk allows, so that no
    // partial record stays behind; the error is then rethrown.
    void zapisz(const void* rekord);
    void synchronizuj();
    void zamknij();

    template <RekordPliku T>
    void czytaj(T& rekord) {
        sprawdzRozmiar(sizeof(T));
        czytaj(static_cast<void*>(&rekord));
    }
    template <RekordPliku T>
    void zapisz(const T& rekord) {
        sprawdzRozmiar(sizeof(T));
        zapisz(static_cast<const void*>(&rekord));
    }

    bool otwarty() const { return plik_.has_value(); }
    std::int64_t pozycja() const { return pozycja_; }
    std::size_t rozmiarRekordu() const { return rozmiarRekordu_; }
    // The real path, as shown in error messages.
    const QString& sciezka() const { return sciezka_; }

  private:
    void otworzW(TrybOtwarcia tryb);
    void wymagajOtwarcia(const QString& operacja) const;
    void sprawdzRozmiar(std::size_t rozmiarTypu) const;
    std::uint64_t przesuniecie() const;

    SystemPlikow& system_;
    QString sciezka_;
    std::size_t rozmiarRekordu_;
    std::optional<OtwartyPlik> plik_;
    std::int64_t pozycja_ = 0;
};

bool PlikIstnieje(SystemPlikow& system, const QString& sciezka);

// The first record of the file; BladPliku when the file is missing or shorter than one record.
template <RekordPliku T>
void CzytajRekord(SystemPlikow& system, const QString& sciezka, T& rekord) {
    PlikRekordow plik(system, sciezka, sizeof(T));
    plik.otworzDoOdczytu();
    plik.czytaj(rekord);
    plik.zamknij();
}

void UsunPlik(SystemPlikow& system, const QString& sciezka);

// Calls `dzialanie` for every whole record of the file, in order, reading `rekordowWBloku` records
// per system call into a buffer of its own (a typed record file reads one record per call, which
// is slow for a long file). A partial record at the end is not visited.
template <RekordPliku T, class F>
void KazdyRekordZakresu(SystemPlikow& system, const QString& sciezka, std::int64_t od, std::int64_t doRekordu,
                        std::size_t rekordowWBloku, F&& dzialanie);

template <RekordPliku T, class F>
void KazdyRekord(SystemPlikow& system, const QString& sciezka, std::size_t rekordowWBloku, F&& dzialanie) {
    KazdyRekordZakresu<T>(system, sciezka, 0, INT64_MAX, rekordowWBloku,
                          [&dzialanie](const T& rekord, std::int64_t) { dzialanie(rekord); });
}

// The same for the records from `od` (counted from 0) up to, not including, `doRekordu` (cut to
// the whole records of the file), each with its position counted from 1; for reading one file in
// parts at once, each part with a handle of its own.
template <RekordPliku T, class F>
void KazdyRekordZakresu(SystemPlikow& system, const QString& sciezka, std::int64_t od, std::int64_t doRekordu,
                        std::size_t rekordowWBloku, F&& dzialanie) {
    OtwartyPlik plik(system, RzeczywistaSciezka(system, sciezka), TrybOtwarcia::Odczyt);
    std::vector<T> bufor(rekordowWBloku);
    const std::uint64_t liczba =
        std::min<std::uint64_t>(plik.rozmiar() / sizeof(T), static_cast<std::uint64_t>(doRekordu));
    for (std::uint64_t numer = static_cast<std::uint64_t>(od); numer < liczba;) {
        const std::size_t ile =
            static_cast<std::size_t>(std::min<std::uint64_t>(rekordowWBloku, liczba - numer));
        const std::size_t bajtow = ile * sizeof(T);
        if (plik.czytaj(numer * sizeof(T), bufor.data(), bajtow) < bajtow)
            throw BladPliku(QStringLiteral("odczyt"), plik.sciezka(), 0,
                            QStringLiteral("plik skrócił się w trakcie odczytu"));
        for (std::size_t i = 0; i < ile; ++i) dzialanie(bufor[i], static_cast<std::int64_t>(numer + i + 1));
        numer += ile;
    }
    plik.zamknij();
}

// The number of whole records of a file.
template <RekordPliku T>
std::int64_t LiczbaRekordow(SystemPlikow& system, const QString& sciezka) {
    OtwartyPlik plik(system, RzeczywistaSciezka(system, sciezka), TrybOtwarcia::Odczyt);
    const auto liczba = static_cast<std::int64_t>(plik.rozmiar() / sizeof(T));
    plik.zamknij();
    return liczba;
}

// Runs `czesc(numer, od, doRekordu)` over the records of a file of `liczbaRekordow` records: for a
// long file on the real file system in two halves at once, one per processor core (the test file
// systems are not made for threads), else in one part. Part 0 runs in the calling thread; the last
// part ends at the end of the file as it is when that part reads it. An error of a part is thrown
// once every part has ended. Returns the number of parts.
template <class F>
int WCzesciachNaRaz(SystemPlikow& system, std::int64_t liczbaRekordow, F&& czesc) {
    const bool dwie = liczbaRekordow >= 8192 && std::thread::hardware_concurrency() > 1 &&
                      dynamic_cast<SystemPlikowPosix*>(&system) != nullptr;
    if (!dwie) {
        czesc(0, std::int64_t{0}, std::int64_t{INT64_MAX});
        return 1;
    }
    const std::int64_t polowa = liczbaRekordow / 2;
    std::exception_ptr bladDrugiej;
    std::thread druga([&] {
        try {
            czesc(1, polowa, std::int64_t{INT64_MAX});
        } catch (...) {
            bladDrugiej = std::current_exception();
        }
    });
    try {
        czesc(0, std::int64_t{0}, polowa);
    } catch (...) {
        druga.join();
        throw;
    }
    druga.join();
    if (bladDrugiej) std::rethrow_exception(bladDrugiej);
    return 2;
}

// The record at `pozycja` (counted from 1); BladPliku when the file has no whole record there.
template <RekordPliku T>
void CzytajRekordNr(SystemPlikow& system, const QString& sciezka, std::int64_t pozycja, T& rekord) {
    PlikRekordow plik(system, sciezka, sizeof(T));
    plik.otworzDoOdczytu();
    plik.szukaj(pozycja - 1);
    plik.czytaj(rekord);
    plik.zamknij();
}
