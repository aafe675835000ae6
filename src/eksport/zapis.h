#pragma once
// The files an export writes: each is written under a temporary name in its folder, synced and
// renamed, so a reader never sees half a file; an existing file is replaced only when asked to.

#include <QByteArray>
#include <QString>
#include <stdexcept>

class SystemPlikow;

// An export that cannot go on, with its Polish message.
class BladEksportu : public std::runtime_error {
  public:
    explicit BladEksportu(const QString& komunikat)
        : std::runtime_error(komunikat.toStdString()), komunikat_(komunikat) {}
    const QString& komunikat() const { return komunikat_; }

  private:
    QString komunikat_;
};

// The target exists and was not to be replaced.
class WynikIstnieje : public BladEksportu {
  public:
    explicit WynikIstnieje(const QString& sciezka);
};

// "<folder>/.<name>.<process>.tmp": hidden, beside the target, one per running export.
QString SciezkaTymczasowa(const QString& cel);

// The folder and every missing folder above it.
void UtworzFolder(SystemPlikow& system, const QString& folder);

// The folder is synced after the rename unless the caller syncs it once after many files (a file's
// content is always synced before its rename, so a crash loses at most a name, never half a file).
void ZapiszWynik(SystemPlikow& system, const QString& cel, const QByteArray& dane, bool nadpisz,
                 bool synchronizujFolder = true);

// A temporary file written by someone else (the PDF printer): synced, then renamed to the target;
// removed when that fails.
void ZatwierdzWynik(SystemPlikow& system, const QString& tymczasowy, const QString& cel, bool nadpisz,
                    bool synchronizujFolder = true);

// Removes a file if it is there; a failure is not reported, since an error is already on its way.
void UsunPoBledzie(SystemPlikow& system, const QString& sciezka) noexcept;
