#pragma once
// Working days in Poland (not a Saturday, a Sunday or a statutory public holiday) and the deadlines
// of invoices issued offline, which KSeF counts in them.
#include <QDate>
#include <optional>

QDate Wielkanoc(int rok);
bool SwietoPanstwowe(const QDate& dzien);
bool DzienRoboczy(const QDate& dzien);
// The `ile`-th working day after `po` (ile = 1: the next one).
QDate PoDniachRoboczych(const QDate& po, int ile);

enum class TrybOffline {
    Offline24,  // the seller's choice: by the next working day after the issue date
    Offline,    // KSeF announced unavailable: by the next working day after it ends
    Awaryjny,   // KSeF failure announced: 7 working days after it ends
};

// The last day to send an invoice issued offline. `koniecNiedostepnosci`: the end of the announced
// unavailability (Offline). `koniecAwarii`: the end of the last failure announced within the sending
// period (Awaryjny, or one announced during an Offline24 / Offline period): the 7 working days are
// then counted anew from it.
QDate TerminOffline(TrybOffline tryb, const QDate& wystawienie,
                    std::optional<QDate> koniecNiedostepnosci = {}, std::optional<QDate> koniecAwarii = {});
