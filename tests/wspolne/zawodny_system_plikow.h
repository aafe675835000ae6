#pragma once
// A file system for tests that wraps another one, counts every operation that touches the disk,
// fails a chosen one, runs out of space, and can simulate a crash that loses what was not synced.

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "store/system_plikow.h"

class ZawodnySystemPlikow : public SystemPlikow {
  public:
    // The kinds of counted operations.
    enum class Operacja {
        Otwarcie,          // for reading
        OtwarcieDoZapisu,  // an existing file for reading and writing
        Utworzenie,
        Odczyt,
        Zapis,
        Rozmiar,
        Obciecie,
        Synchronizacja,
        Zamkniecie,
        ZmianaNazwy,
        Usuniecie,
        SynchronizacjaKatalogu,
        UtworzenieKatalogu,
        OdczytKataloguRoboczego,
        ZmianaKataloguRoboczego,
        Kopiowanie,
        Blokada,
    };
    // What a crash leaves of data written and not synced.
    enum class Awaria {
        Utrata,  // gone: the file has its content of its last sync
        Smieci,  // the file keeps its length, but every range written since its last sync holds garbage
    };

    explicit ZawodnySystemPlikow(SystemPlikow& wewnetrzny = DomyslnySystemPlikow());
    ~ZawodnySystemPlikow() override;

    // Fails the k-th counted operation from now on (k = 1: the next one) with errno kod: only that one,
    // or that one and every later one. A failing write stores the first half of its data first, as a
    // real one may; a failing close still releases the handle; nothing else changes the disk.
    void zawiedzOd(int k, bool naZawsze, int kod = EIO);
    // Fails the k-th operation of kind `rodzaj` (counted from now, k = 1: the next one) on a path
    // whose last component is `nazwa` ("dokumenty.old"; for a rename either name counts), and with
    // naZawsze every later operation of that kind on that name too.
    void zawiedz(Operacja rodzaj, const QString& nazwa, int k = 1, bool naZawsze = false, int kod = EIO);
    // Only wolneBajty more bytes fit: a write that would grow files beyond them stores what fits
    // and fails with ENOSPC. std::nullopt: no limit.
    void ustawWolneMiejsce(std::optional<std::uint64_t> wolneBajty);
    // Every lock asked for is held elsewhere (as on a share whose other workstation never lets go).
    void odmawiajBlokad(bool odmawiaj) { odmawiajBlokad_ = odmawiaj; }
    // Ends all injected faults.
    void napraw();

    // Operations counted so far: open, read, write, size, truncate, sync, close, rename, remove and
    // folder sync (not istnieje or zawartoscKatalogu).
    int liczbaOperacji() const { return liczbaOperacji_; }
    int liczbaOtwartych() const { return static_cast<int>(uchwyty_.size()); }
    // Injected faults that really fired (a full disk counts too).
    int liczbaBledow() const { return liczbaBledow_; }

    // A crash: every open handle is dropped, every file the wrapper has seen gets back its content of
    // its last sync, and creations, renames and removals in folders not synced since are undone.
    // Files never touched through the wrapper count as synced.
    void symulujAwarie(Awaria rodzaj = Awaria::Utrata);

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
    void usun(const QString& sciezka) override;
    void synchronizujKatalog(const QString& katalog) override;
    void utworzKatalog(const QString& katalog) override;
    QString katalogRoboczy() override;
    void ustawKatalogRoboczy(const QString& katalog) override;

  private:
    struct Uchwyt {
        QString sciezka;
        int plik;  // identity of the file, which a rename carries to another name
    };
    // What one name of a folder points at: a file identity, or nothing.
    using Wpis = std::optional<int>;

    // Counts the operation and throws when it is to fail.
    void operacja(Operacja rodzaj, const QString& sciezka, const QString& drugaSciezka = {});
    const Uchwyt& uchwyt(int numer) const;
    // A write that the free space allows, remembered as not synced; not counted.
    void zapiszWMiejscu(int numer, std::uint64_t pozycja, const void* dane, std::size_t ile);
    static QString Klucz(const QString& sciezka);
    // Starts following a path: what is on disk now counts as synced.
    void sledz(const QString& klucz);
    QByteArray zawartosc(int uchwytWewnetrzny);

    SystemPlikow& wewnetrzny_;
    int liczbaOperacji_ = 0;
    int bladOd_ = 0;  // number of the operation that fails; 0: none
    bool bladNaZawsze_ = false;
    int kodBledu_ = EIO;
    struct BladNazwany {
        Operacja rodzaj;
        QString nazwa;
        int pozostalo;  // operations of that kind on that name before the one that fails
        bool naZawsze;
        int kod;
    };
    std::optional<BladNazwany> bladNazwany_;
    int liczbaBledow_ = 0;
    bool odmawiajBlokad_ = false;
    std::optional<std::uint64_t> wolneBajty_;

    std::map<int, Uchwyt> uchwyty_;
    int nastepnyPlik_ = 1;
    std::map<QString, Wpis> wpisyBiezace_;
    std::map<QString, Wpis> wpisyTrwale_;
    std::map<int, QByteArray> daneTrwale_;
    // Byte ranges [od, do) of each file written since its last sync.
    std::map<int, std::vector<std::pair<std::uint64_t, std::uint64_t>>> niezsynchronizowane_;
};
