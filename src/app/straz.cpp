#include "app/straz.h"

#include "app/platforma.h"
#include "store/blad.h"

QString KomunikatBiezacegoBledu() {
    try {
        throw;
    } catch (const BladPliku& blad) {
        return blad.komunikat();
    } catch (const std::exception& blad) {
        return QStringLiteral("Nieoczekiwany błąd programu: ") + QString::fromLocal8Bit(blad.what());
    } catch (...) {
        return QStringLiteral("Nieoczekiwany błąd programu.");
    }
}

void Straz(Platforma& platforma, QWidget* rodzic, const std::function<void()>& dzialanie) {
    try {
        dzialanie();
    } catch (...) {
        platforma.bladStandardowy(rodzic, KomunikatBiezacegoBledu());
    }
}
