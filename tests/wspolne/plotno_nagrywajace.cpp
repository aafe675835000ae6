#include "wspolne/plotno_nagrywajace.h"

QString OpisZdarzenia(const ZdarzeniePlotna& z) {
    using R = ZdarzeniePlotna::Rodzaj;
    switch (z.rodzaj) {
        case R::Pionowo:
            return QStringLiteral("pionowo");
        case R::PoczatekZadania:
            return QStringLiteral("początek zadania");
        case R::KoniecZadania:
            return QStringLiteral("koniec zadania");
        case R::Prostokat:
            return QStringLiteral("prostokąt (%1, %2)-(%3, %4)").arg(z.x1).arg(z.y1).arg(z.x2).arg(z.y2);
        case R::Obraz:
            return QStringLiteral("obraz %5x%6 (%1, %2)-(%3, %4)")
                .arg(z.x1)
                .arg(z.y1)
                .arg(z.x2)
                .arg(z.y2)
                .arg(z.obraz.width())
                .arg(z.obraz.height());
        case R::Tekst:
            break;
    }
    return QStringLiteral("tekst (%1, %2) [%3 %4%5 %6] \"%7\"")
        .arg(z.x1)
        .arg(z.y1)
        .arg(z.czcionka.kroj)
        .arg(z.czcionka.wysokosc)
        .arg(z.czcionka.pogrubiona ? QStringLiteral(" pogrubiona") : QString())
        .arg(z.czcionka.kolor.name(), z.tekst);
}

void PlotnoNagrywajace::dopisz(ZdarzeniePlotna::Rodzaj rodzaj) {
    ZdarzeniePlotna z;
    z.rodzaj = rodzaj;
    zdarzenia_.push_back(z);
}

void PlotnoNagrywajace::ustawPionowo() { dopisz(ZdarzeniePlotna::Rodzaj::Pionowo); }

void PlotnoNagrywajace::rozpocznijZadanie() { dopisz(ZdarzeniePlotna::Rodzaj::PoczatekZadania); }

void PlotnoNagrywajace::zakonczZadanie() { dopisz(ZdarzeniePlotna::Rodzaj::KoniecZadania); }

void PlotnoNagrywajace::pisz(std::int32_t x, std::int32_t y, const QString& tekst) {
    ZdarzeniePlotna z;
    z.rodzaj = ZdarzeniePlotna::Rodzaj::Tekst;
    z.x1 = x;
    z.y1 = y;
    z.tekst = tekst;
    z.czcionka = czcionka_;
    zdarzenia_.push_back(z);
}

void PlotnoNagrywajace::prostokat(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    ZdarzeniePlotna z;
    z.rodzaj = ZdarzeniePlotna::Rodzaj::Prostokat;
    z.x1 = x1;
    z.y1 = y1;
    z.x2 = x2;
    z.y2 = y2;
    zdarzenia_.push_back(z);
}

void PlotnoNagrywajace::obraz(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                              const QImage& obraz) {
    ZdarzeniePlotna z;
    z.rodzaj = ZdarzeniePlotna::Rodzaj::Obraz;
    z.x1 = x1;
    z.y1 = y1;
    z.x2 = x2;
    z.y2 = y2;
    z.obraz = obraz;
    zdarzenia_.push_back(z);
}
