// Events of the document subsystem: lifecycle and correction views.
#include "app/faktura_f.h"

void Tfaktura_f::polaczDokumenty() {
    polacz(SpeedButton6, &Tfaktura_f::SpeedButton6Click);
    polacz(SpeedButton9, &Tfaktura_f::SpeedButton9Click);
    polacz(SpeedButton2, &Tfaktura_f::SpeedButton2Click);
    polacz(SpeedButton8, &Tfaktura_f::SpeedButton8Click);
    polacz(SpeedButton15, &Tfaktura_f::SpeedButton15Click);
    polacz(SpeedButton16, &Tfaktura_f::SpeedButton16Click);
}
