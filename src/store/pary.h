#pragma once
// Small UTF-8 files of "klucz=wartość" lines (the KSeF state of a document, the KSeF settings): one
// reader and one writer for all of them. A line break or backslash in a value is written as "\n",
// "\r" or "\\", so that every value stays on its line. Lines beginning with "#" and keys this version
// does not know are kept in their places when a file is written back, since a newer version of the
// programs on another workstation may have put them there.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "store/blokada.h"
#include "store/system_plikow.h"

class Pary {
  public:
    struct Linia {
        QString klucz;  // empty: a comment line, kept as `wartosc`
        QString wartosc;
    };

    // The value of a key; nullopt when the file has none.
    std::optional<QString> wartosc(const QString& klucz) const;
    // Changes the key's line in its place, or adds it at the end.
    void ustaw(const QString& klucz, const QString& wartosc);
    // The key with a non-empty value set, an empty one removed: a file holds only what is known.
    void ustawNiepuste(const QString& klucz, const QString& wartosc);
    void usun(const QString& klucz);

    const std::vector<Linia>& linie() const { return linie_; }

    // The bytes of a file; a damaged one (not UTF-8, a line without "=", an empty or repeated key,
    // an unknown escape, a NUL byte) is BladPliku naming `sciezka`.
    static Pary Z(const QByteArray& bajty, const QString& sciezka);
    QByteArray bajty() const;

  private:
    std::vector<Linia> linie_;
};

// A file of this system's exact path (no letter-case matching: two names that differ only in case
// are two files) locked by this copy; created empty, with its folders, when missing.
ZablokowanyPlik ZablokujTworzac(SystemPlikow& system, const QString& sciezka,
                                std::chrono::milliseconds czas = CzasOczekiwaniaNaBlokade());

// The bytes of a file of exactly that path; nullopt when there is none.
std::optional<QByteArray> CzytajJesliIstnieje(SystemPlikow& system, const QString& sciezka,
                                              std::uint64_t najwiecej);

// The one locked change of a pairs file: under the lock of the file itself (ZablokujTworzac), its
// pairs as on the disk now go to `zmien`, and what it leaves replaces the file atomically. Returns
// the pairs written.
Pary ZmienParyPodBlokada(SystemPlikow& system, const QString& sciezka, std::uint64_t najwiecej,
                         const std::function<void(Pary& pary)>& zmien);
