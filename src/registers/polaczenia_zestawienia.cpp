// Events of the monthly summary, the sales-register hand-off and the calendar date entry.
#include "app/faktura_f.h"

void Tfaktura_f::polaczZestawienieIEwidencje() {}
