#include "ustawienia/pola_rekordow.h"

const std::vector<PoleRekordu<TDaneFirmy>>& PolaFirmy() {
    static const std::vector<PoleRekordu<TDaneFirmy>> pola = {
        POLE_REKORDU(TDaneFirmy, linia1, "Nazwa firmy (linia 1)"),
        POLE_REKORDU(TDaneFirmy, linia2, "Linia 2"),
        POLE_REKORDU(TDaneFirmy, linia3, "Linia 3"),
        POLE_REKORDU(TDaneFirmy, nip, "NIP"),
        POLE_REKORDU(TDaneFirmy, bank, "Bank"),
        POLE_REKORDU(TDaneFirmy, konto, "Numer konta"),
    };
    return pola;
}

const std::vector<PoleRekordu<TUstawieniaFaktury>>& PolaFaktury() {
    static const std::vector<PoleRekordu<TUstawieniaFaktury>> pola = {
        POLE_REKORDU(TUstawieniaFaktury, miejscowosc, "Miejscowość wystawienia"),
        POLE_REKORDU(TUstawieniaFaktury, numerator, "Numer ostatniej faktury"),
        POLE_REKORDU(TUstawieniaFaktury, rozszerzenie, "Rozszerzenie numeru faktury"),
        POLE_REKORDU(TUstawieniaFaktury, numerator_korekty, "Numer ostatniej korekty"),
        POLE_REKORDU(TUstawieniaFaktury, rozszerzenie_korekty, "Rozszerzenie numeru korekty"),
        POLE_REKORDU(TUstawieniaFaktury, oznaczenie_kopii, "Oznaczenie kopii"),
        POLE_REKORDU(TUstawieniaFaktury, podpis, "Podpis wystawcy"),
        POLE_REKORDU(TUstawieniaFaktury, liczba_kopii, "Liczba kopii wydruku"),
        POLE_REKORDU(TUstawieniaFaktury, stopka, "Stopka wydruku"),
    };
    return pola;
}

const std::vector<PoleRekordu<TEwidencja>>& PolaEwidencji() {
    static const std::vector<PoleRekordu<TEwidencja>> pola = {
        POLE_REKORDU(TEwidencja, folder, "Folder programu Ewidencja sprzedaży"),
    };
    return pola;
}

const std::vector<PoleRekordu<TUzupelnienia>>& PolaUzupelnien() {
    static const std::vector<PoleRekordu<TUzupelnienia>> pola = {
        POLE_REKORDU(TUzupelnienia, forma_zaplaty, "Forma zapłaty"),
        POLE_REKORDU(TUzupelnienia, termin_zaplaty, "Termin płatności"),
        POLE_REKORDU(TUzupelnienia, kontakt_wydruku, "Kontakt w ostatniej linii wydruku"),
    };
    return pola;
}

const std::vector<PoleRekordu<TUstawieniaSieci>>& PolaSieci() {
    static const std::vector<PoleRekordu<TUstawieniaSieci>> pola = {
        POLE_REKORDU(TUstawieniaSieci, sciezka_lokalna, "Folder lokalny"),
        POLE_REKORDU(TUstawieniaSieci, sciezka_sieciowa, "Folder sieciowy"),
    };
    return pola;
}

RodzajTrybu RodzajZTrybu(std::uint8_t tryb) {
    if (tryb == 1) return RodzajTrybu::Lokalny;
    if (tryb == 2) return RodzajTrybu::Sieciowy;
    return RodzajTrybu::Biezacy;
}

std::uint8_t NowyTryb(std::uint8_t stary, RodzajTrybu wybor) {
    if (RodzajZTrybu(stary) == wybor) return stary;
    switch (wybor) {
        case RodzajTrybu::Lokalny:
            return 1;
        case RodzajTrybu::Sieciowy:
            return 2;
        case RodzajTrybu::Biezacy:
            break;
    }
    return 0;
}
