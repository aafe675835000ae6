#pragma once
// Printout data of the print tests: an invoice whose every field is distinct, and its correction.
#include "print/wydruk.h"

// The user's font of both documents: "Tahoma", 10 points, colour 0x00000080.
DaneWydruku DaneFaktury();
// The invoice corrected: line 1 now costs 90.00 net, so the total falls by 12.30.
DaneWydruku DaneKorekty();
