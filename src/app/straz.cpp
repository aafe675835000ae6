#include "app/straz.h"

#include "app/platforma.h"

void Straz(Platforma& platforma, QWidget* rodzic, const std::function<void()>& dzialanie) {
    try {
        dzialanie();
    } catch (...) {
        platforma.bladStandardowy(rodzic, KomunikatBiezacegoBledu());
    }
}
