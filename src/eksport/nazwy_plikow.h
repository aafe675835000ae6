#pragma once
// Names of the exported files, made from a document's kind, number and suffix: "F_12_2026.pdf".

#include <QSet>
#include <QString>
#include <cstdint>

#include "store/rekordy.h"

// A piece of a file name that every file system takes: Polish letters without their marks, letters,
// digits and "-" kept, every other run of characters one "_", none at either end.
QString BezpiecznyFragment(const QString& tekst);

// "F_12_2026" for an invoice numbered 12 with suffix "2026", "K_3_K_2026" for a correction;
// "bez_numeru" stands for a missing number, "X" for a kind other than "F" and "K".
QString NazwaDokumentu(const TDokument& dokument);

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
