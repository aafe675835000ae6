#pragma once
// Checks of the seller's tax number and bank account. They only warn: a number that fails them may
// still be what the user means to print.
#include <QString>
#include <optional>

// NIP: ten digits (blanks, hyphens and a leading "PL" are allowed), the last a weighted checksum of
// the other nine. Empty: no warning.
std::optional<QString> UwagaONip(const QString& nip);

// A Polish account number: NRB (26 digits) or IBAN ("PL" and the same 26 digits), blanks and hyphens
// allowed, whose check digits pass the mod 97 test. Empty: no warning.
std::optional<QString> UwagaOKoncie(const QString& konto);
