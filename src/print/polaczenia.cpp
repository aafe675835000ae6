// Events of the printing subsystem: print command and templates.
#include "app/faktura_f.h"

void Tfaktura_f::polaczWydruk() {}
