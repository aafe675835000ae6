#pragma once
// Changes of the document file by copies of this program: one at a time under the file's lock,
// each in-place write and append first recorded in a small journal beside the file, so that a crash
// or a failed write leaves every record one of its two versions and never a mix; the next change
// (or the next start) completes what the journal holds.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "store/blokada.h"
#include "store/rekordy.h"

class SystemPlikow;

// "<document file>.dziennik": the change in flight (see doc/pliki.md).
QString SciezkaDziennika(const QString& dokumenty);

class PlikDokumentow {
  public:
    // Opens the document file (a suite path) for a change: takes its lock, completes a change that
    // a crash or a failure left in the journal, cuts a torn record off the end and removes a rebuild
    // that was never finished.
    PlikDokumentow(SystemPlikow& system, const QString& sciezka,
                   std::chrono::milliseconds czas = CzasOczekiwaniaNaBlokade());

    const QString& sciezka() const { return blokada_.sciezka(); }
    std::int64_t liczbaRekordow();
    // The record at `pozycja`, counted from 1.
    TDokument czytaj(std::int64_t pozycja);
    // Where the document the form was loaded from (`oczekiwany`, shown from `pozycja`) is now: at
    // `pozycja`, or where a delete on another workstation moved it (the one record equal to it).
    // Throws, and nothing may be written, when no record (or more than one) is exactly it: another
    // workstation changed or removed it.
    std::int64_t znajdz(std::int64_t pozycja, const TDokument& oczekiwany);

    // The change. Each throws when it did not take effect: the file is as it was. Once one returns,
    // the new record is in the file, or its write failed (zapisNiedokonczony()): then zakoncz() tries
    // once more, and what landed of it is completed from the journal by the next change.
    std::int64_t dopisz(const TDokument& nowy);  // the position of the new record
    void zastap(std::int64_t pozycja, const TDokument& nowy);
    // Writes the file without the record at `pozycja` to `nowe` (the companion "dokumenty.old"),
    // makes it durable and renames it over the document file.
    void przebudujBez(std::int64_t pozycja, const QString& nowe);

    // Makes the change durable and lets the file go: syncs the file (or its folder after a
    // rebuild), removes the journal, releases the lock. Throws when a step fails; the change stays,
    // and what is left in the journal is completed by the next change.
    void zakoncz();
    // The write of the change failed (twice): zakoncz() tries once more and reports it as a failed
    // save, not as a save with a later failure.
    bool zapisNiedokonczony() const { return zalegly_.has_value(); }

  private:
    void dokonczZDziennika();
    void zapiszDziennik(std::uint8_t rodzaj, std::uint64_t przesuniecie, const TDokument& dawny,
                        const TDokument& nowy);
    void zapiszRekord(std::uint64_t przesuniecie, const TDokument& nowy);

    SystemPlikow& system_;
    ZablokowanyPlik blokada_;
    QString dziennik_;
    bool przebudowany_ = false;
    bool dziennikZapisany_ = false;
    // A record whose write failed after its journal was durable: written again by zakoncz().
    std::optional<std::pair<std::uint64_t, TDokument>> zalegly_;
    // The record written by the change, for writing it again when the sync fails.
    std::optional<std::pair<std::uint64_t, TDokument>> zapisany_;
};

// The whole delete: the rebuild without the record at `pozycja` (from 1) under the lock, then
// zakoncz(). On any failure before the rename the document file is as it was and `nowe` is removed.
void PrzebudujBezRekordu(SystemPlikow& system, const QString& dokumenty, const QString& nowe,
                         std::int64_t pozycja);

// Completes, before the start-up reads the document file, a change that a crash left behind (a
// journal, a rebuild never renamed, a torn last record). Leaves everything alone while another
// workstation holds the file's lock: that one is in the middle of its own change.
void DokonczPrzerwaneZmiany(SystemPlikow& system, const QString& sciezka);

// The number text of the last record (in file order) of the kind `rodzaj` tells (the kinds are
// calc's) whose suffix is `rozszerzenie`, read from the end; nothing when there is none.
std::optional<QString> NumerOstatniegoDokumentu(SystemPlikow& system, const QString& sciezka,
                                                const std::function<bool(const TDokument&)>& rodzaj,
                                                const QString& rozszerzenie);
