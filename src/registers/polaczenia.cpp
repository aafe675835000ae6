// Events of the registers subsystem: pick list, client and service lists, summary, hand-off.
#include "app/faktura_f.h"

void Tfaktura_f::polaczRejestry() {}
