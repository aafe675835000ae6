#pragma once
// What a stored document is: its kind, its number with the suffix, the record that starts a pad, the
// dates its texts hold, the tax numbers, and the seller lines as the window shows them. Every program
// reads a record through these, so that all of them take it for the same thing.

#include <QDate>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>

#include "store/rekordy.h"

// The kind is one letter of the record: "F" an invoice, "K" a correction; any other text (empty, a
// lower-case letter, a record written by someone else) is neither.
enum class RodzajDokumentu { Faktura, Korekta, Inny };

RodzajDokumentu RodzajZTekstu(QStringView tekst);
RodzajDokumentu Rodzaj(const TDokument& dokument);
inline bool JestFaktura(const TDokument& dokument) { return Rodzaj(dokument) == RodzajDokumentu::Faktura; }
inline bool JestKorekta(const TDokument& dokument) { return Rodzaj(dokument) == RodzajDokumentu::Korekta; }
// The stored letter of a kind; empty for Inny, which is never written.
QString LiteraRodzaju(RodzajDokumentu rodzaj);
void UstawRodzaj(TDokument& dokument, RodzajDokumentu rodzaj);

// The number as the printout's title shows it: numerator + "/" + suffix.
QString NumerDokumentu(const TDokument& dokument);
// The same as stored bytes, for comparisons and rows that need no QString; returns how many.
inline constexpr std::size_t NajdluzszyNumer = TTekst<10>::Pojemnosc + 1 + TTekst<20>::Pojemnosc;
std::size_t BajtyNumeru(const TDokument& dokument, char (&cel)[NajdluzszyNumer]);

// The first record of a new document file marks the start of the pad; it is no document. It holds
// number "0", the day it was made as its suffix and no issue date.
inline constexpr char16_t TekstPoczatkuBloczka[] = u"Początek bloczka faktur";
TDokument RekordPoczatkowy(const QString& dataDzisiaj);
bool JestPoczatkiemBloczka(const TDokument& dokument);

// Dates in the record's texts are YYYY-MM-DD, the year in four digits.
QString TekstDaty(const QDate& data);
// Exactly that form and a day the calendar has; anything else is nothing.
std::optional<QDate> DataZTekstu(QStringView tekst);
// The month 1..12 in places 6 and 7 of an issue date, read leniently as the monthly summary counts
// it ("2026-03" and "2026-03-xx" are March); 0 when there is none.
int MiesiacDaty(const TTekst<10>& data);

// A Polish tax number as typed, without white space and hyphens, in upper case, a leading "PL" taken
// off: what should be its ten digits.
QString ZnakiNip(const QString& tekst);
// The ten digits of a tax number, when that is what ZnakiNip leaves.
std::optional<QString> CyfryNip(const QString& tekst);
// The check digit of the first nine digits (weights 6 5 7 2 3 4 5 6 7, modulo 11); nothing when the
// sum gives 10, which no tax number has.
std::optional<int> CyfraKontrolnaNip(QStringView cyfry);
// Ten digits that form a valid tax number: no office code 0, 00 in places two and three not both,
// and the check digit right.
bool PoprawnyNip(QStringView cyfry);

// A seller line of the window and its messages: up to 40 characters whole, a longer one its first 30
// characters and an ellipsis (the whole line goes to the tooltip).
QString PostacLiniiFirmy(const QString& linia);
bool LiniaFirmySkrocona(const QString& linia);

// File names made from a document (the exports' files, the KSeF folder's files).
// A piece of a file name that every file system takes: Polish letters without their marks, letters,
// digits and "-" kept, every other run of characters one "_", none at either end.
QString BezpiecznyFragment(const QString& tekst);

// "F_12_2026" for an invoice numbered 12 with suffix "2026", "K_3_K_2026" for a correction;
// "bez_numeru" stands for a missing number, "X" for a kind other than "F" and "K".
QString NazwaDokumentu(const TDokument& dokument);
