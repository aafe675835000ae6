// Events of the printing subsystem: print command and templates.
#include "app/faktura_f.h"

void Tfaktura_f::polaczWydruk() {
    polacz(SpeedButton20, &Tfaktura_f::SpeedButton20Click);
    polacz(SpeedButton21, &Tfaktura_f::SpeedButton21Click);
    polacz(SpeedButton22, &Tfaktura_f::SpeedButton22Click);
    polacz(SpeedButton23, &Tfaktura_f::SpeedButton23Click);
}
