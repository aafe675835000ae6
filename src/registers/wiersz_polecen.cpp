#include "registers/wiersz_polecen.h"

#include "calc/odmiana.h"
#include "store/cp1250.h"

namespace {

bool Odstep(QChar c) { return c == u' ' || c == u'\t'; }

bool Cyfra(QChar c) { return c >= u'0' && c <= u'9'; }

// What a Windows program reads as the amount argument: the text without its surrounding blanks.
QString BezOdstepowNaKoncach(const QString& tekst) {
    qsizetype od = 0, do_ = tekst.size();
    while (od < do_ && Odstep(tekst[od])) ++od;
    while (do_ > od && Odstep(tekst[do_ - 1])) --do_;
    return tekst.mid(od, do_ - od);
}

}  // namespace

WierszEwidencji ZbudujWierszEwidencji(const QString& dataWystawienia, const QString& kwota,
                                      const QString& odniesienie) {
    WierszEwidencji wynik;
    if (dataWystawienia.size() < 10 || !Cyfra(dataWystawienia[8]) || !Cyfra(dataWystawienia[9])) {
        wynik.blad =
            QStringLiteral(
                "Data wystawienia „%1” nie zawiera dnia (dwóch cyfr na miejscach 9 i 10 daty RRRR-MM-DD). "
                "Kwota nie została przekazana do Ewidencji sprzedaży.")
                .arg(dataWystawienia);
        return wynik;
    }
    const QString dzien = dataWystawienia.mid(8, 2);
    wynik.wiersz =
        QStringLiteral("ewidencja.exe ") + dzien + u' ' + kwota + QStringLiteral(" \"") + odniesienie + u'"';

    const qsizetype dlugosc = DoCp1250(wynik.wiersz).size();
    if (dlugosc > MaksDlugoscWiersza) {
        wynik.blad =
            QStringLiteral(
                "Wiersz polecenia dla programu Ewidencja sprzedaży miałby %1, a może mieć najwyżej "
                "%2. "
                "Skróć kwotę, numer lub rozszerzenie numeru dokumentu. Kwota nie została przekazana.")
                .arg(LiczbaIRzeczownik(dlugosc, QStringLiteral("znak"), QStringLiteral("znaki"),
                                       QStringLiteral("znaków")))
                .arg(MaksDlugoscWiersza);
        return wynik;
    }

    const QStringList czesci = PodzielWierszWindows(wynik.wiersz);
    const QStringList oczekiwane = {QStringLiteral("ewidencja.exe"), dzien, BezOdstepowNaKoncach(kwota),
                                    odniesienie};
    if (czesci != oczekiwane) {
        wynik.blad = QStringLiteral(
            "Kwoty lub numeru dokumentu nie da się przekazać do Ewidencji sprzedaży: kwota musi być podana "
            "bez odstępów wewnątrz, a kwota, numer i rozszerzenie numeru nie mogą zawierać cudzysłowu ani "
            "kończyć się znakiem „\\”. Kwota nie została przekazana.");
        return wynik;
    }
    wynik.argumenty = czesci.mid(1);
    return wynik;
}

QStringList PodzielWierszWindows(const QString& wiersz) {
    QStringList wynik;
    const qsizetype n = wiersz.size();
    qsizetype i = 0;

    QString program;
    bool wCudzyslowie = false;
    for (; i < n && (wCudzyslowie || !Odstep(wiersz[i])); ++i) {
        if (wiersz[i] == u'"')
            wCudzyslowie = !wCudzyslowie;
        else
            program += wiersz[i];
    }
    wynik << program;

    for (;;) {
        while (i < n && Odstep(wiersz[i])) ++i;
        if (i >= n) break;
        QString argument;
        wCudzyslowie = false;
        for (;;) {
            qsizetype ukosniki = 0;
            while (i < n && wiersz[i] == u'\\') {
                ++i;
                ++ukosniki;
            }
            bool kopiuj = true;
            if (i < n && wiersz[i] == u'"') {
                if (ukosniki % 2 == 0) {
                    if (wCudzyslowie && i + 1 < n && wiersz[i + 1] == u'"') {
                        ++i;
                    } else {
                        kopiuj = false;
                        wCudzyslowie = !wCudzyslowie;
                    }
                }
                ukosniki /= 2;
            }
            argument += QString(ukosniki, u'\\');
            if (i >= n || (!wCudzyslowie && Odstep(wiersz[i]))) break;
            if (kopiuj) argument += wiersz[i];
            ++i;
        }
        wynik << argument;
    }
    return wynik;
}
