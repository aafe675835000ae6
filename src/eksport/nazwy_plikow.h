#pragma once
// Names of the exported files, made from a document's kind, number and suffix: "F_12_2026.pdf".

#include <QSet>
#include <QString>
#include <cstdint>

#include "calc/dokument.h"
#include "store/rekordy.h"

// The names of one run: a name already given in this run (letter case aside, for the file systems
// that ignore it) gets the record number, "F_12_2026_rekord7.pdf", so no document replaces another.
class NazwyPlikow {
  public:
    explicit NazwyPlikow(QString rozszerzenie) : rozszerzenie_(std::move(rozszerzenie)) {}
    QString nazwa(const TDokument& dokument, std::int64_t pozycja);

  private:
    QString rozszerzenie_;  // ".pdf", ".xml"
    QSet<QString> uzyte_;
};
