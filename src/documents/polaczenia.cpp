// Events of the document subsystem: lifecycle, correction views, calendar date entry.
#include "app/faktura_f.h"

void Tfaktura_f::polaczDokumenty() {}
