#pragma once
// Which stored documents an export takes: every criterion given must hold.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/rekordy.h"

struct KryteriaWyboru {
    std::optional<QString> rok;           // "YYYY": the first characters of the issue date
    std::optional<QString> miesiac;       // "YYYY-MM": likewise
    std::optional<QString> numer;         // number "/" suffix, exactly as printed
    std::optional<std::int64_t> pozycja;  // record number, counted from 1
    // Any of these record numbers (a window's selection, taken in one run); empty: none.
    std::optional<std::vector<std::int64_t>> pozycje;
};

// The criteria compiled to the stored bytes, since the register reads every record of the file.
class FiltrDokumentow {
  public:
    explicit FiltrDokumentow(const KryteriaWyboru& kryteria);

    // The first record of a new file is taken only when named by its number or position.
    bool pasuje(const TDokument& dokument, std::int64_t pozycja) const;

  private:
    // A criterion holding a character that no stored text can hold matches nothing.
    std::optional<QByteArray> poczatekDaty_;
    std::optional<QByteArray> numer_;
    std::optional<std::int64_t> pozycja_;
    std::optional<std::vector<std::int64_t>> pozycje_;  // sorted
    bool cokolwiek_ = true;                             // false when a criterion can match nothing at all
};
