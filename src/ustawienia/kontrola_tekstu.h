#pragma once
// Whether a text fits a fixed-capacity field of the data files as it is, without being cut or
// losing a character.
#include <QString>
#include <optional>

// Characters as a field counts them: one byte of Windows-1250 per character.
int LiczbaZnakow(const QString& tekst);

// Why `tekst` cannot be stored in the field named `etykieta` of `pojemnosc` characters, or nothing
// when it can: the first character without a Windows-1250 code or a control character (with its
// position, counted from 1), else a length over the capacity (with the capacity).
std::optional<QString> BladTekstu(const QString& etykieta, const QString& tekst, int pojemnosc);
