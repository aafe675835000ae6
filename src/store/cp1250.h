#pragma once
// Windows-1250, the single-byte code page of every text in the data files.

#include <QByteArray>
#include <QString>
#include <cstddef>

// Every character without a Windows-1250 code (a surrogate pair counts as one) becomes one '?'.
QByteArray DoCp1250(const QString& tekst);

// The five bytes that Windows-1250 leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) decode to
// U+FFFD, so that they show up as visibly wrong instead of as invisible control characters.
QString ZCp1250(const char* bajty, std::size_t ile);
