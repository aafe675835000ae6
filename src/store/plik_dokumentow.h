#pragma once
// Whole-file operations on the document file.

#include <QString>
#include <cstdint>

class SystemPlikow;

// Writes the document file without the record at `pozycja` (from 1) to the file `nowe`, makes it
// durable and renames it over the document file in one step. On any failure before the rename the
// document file is as it was and `nowe` is removed. A partial record at the end, which no
// operation could read, is not carried over. The caller syncs the folder afterwards.
void PrzebudujBezRekordu(SystemPlikow& system, const QString& dokumenty, const QString& nowe,
                         std::int64_t pozycja);
