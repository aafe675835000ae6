#pragma once
// What the sending tests share: a data folder with two invoices and a correction of the first, the
// tests' KSeF knowing one token, and a sending task aimed at it whose pauses are counted, not slept.
#include <gtest/gtest.h>

#include <QStringList>
#include <chrono>
#include <vector>

#include "eksport/dane_eksportu.h"
#include "ksef/symulator/symulator.h"
#include "store/stan_ksef.h"
#include "store/system_plikow.h"
#include "wspolne/katalog_testowy.h"
#include "wysylka/wysylka.h"

inline const QString TokenWysylki = QStringLiteral("token-testowy-wysylki");
inline const QString NipWysylki = QStringLiteral("9999999999");  // the seller of FirmaTestowa
// The state names of the three documents, in file order.
inline const QStringList NazwyWysylki{QStringLiteral("F_1_2026"), QStringLiteral("F_2_2026"),
                                      QStringLiteral("K_1_K_2026")};

inline std::vector<TDokument> DokumentyWysylki() {
    const TDokument f1 =
        NowaFaktura({"1", "2026", "2026-12-01", "Odbiorca Jeden", "5260250274", "przelew", "14"},
                    {{"Usługa A", "", "szt", "2", "100.00", "23"}});
    const TDokument f2 = NowaFaktura({"2", "2026", "2026-12-02", "Odbiorca Dwa", "5260250274", "gotówka", ""},
                                     {{"Usługa B", "", "h", "1", "50.00", "8"}});
    const TDokument k1 =
        NowaKorekta(f1, {"1", "K/2026", "2026-12-05", "Odbiorca Jeden", "5260250274", "przelew", "14"},
                    {{"Usługa A", "", "szt", "1", "100.00", "23"}});
    return {f1, f2, k1};
}

inline void ZapiszFolderWysylki(const KatalogTestowy& katalog,
                                const std::vector<TDokument>& dokumenty = DokumentyWysylki()) {
    katalog.zapiszRekordy(QStringLiteral("Admini/faktura.dat"),
                          std::vector<TUstawieniaFaktury>{UstawieniaTestowe()});
    katalog.zapiszRekordy(QStringLiteral("Admini/firma.dat"), std::vector<TDaneFirmy>{FirmaTestowa()});
    katalog.zapiszRekordy(QStringLiteral("Uslugi/dokumenty.dat"), dokumenty);
}

// The token's sending task for `symulator`; `przerwy` collects the pauses instead of sleeping them.
inline ZadanieWysylki ZadanieWysylkiDo(const SymulatorKsef& symulator,
                                       std::vector<std::chrono::milliseconds>* przerwy = nullptr) {
    ZadanieWysylki zadanie;
    zadanie.srodowisko = *ZnajdzSrodowisko(symulator.adres().toString());
    zadanie.poswiadczenia.rodzaj = PoswiadczeniaKsef::Rodzaj::Token;
    zadanie.poswiadczenia.token = TokenWysylki;
    zadanie.klient.czekaj = [przerwy](std::chrono::milliseconds ile) {
        if (przerwy) przerwy->push_back(ile);
    };
    zadanie.klient.limitCzasu = std::chrono::milliseconds(5000);
    return zadanie;
}

class TestWysylki : public ::testing::Test {
  protected:
    void SetUp() override {
        ZapiszFolderWysylki(katalog_);
        symulator_.dodajToken(TokenWysylki, NipWysylki);
        symulator_.ustawOpoznienie(1);
        symulator_.retryAfterSekund(1);
        zadanie_ = ZadanieWysylkiDo(symulator_, &przerwy_);
    }

    WynikWysylki wyslij(SystemPlikow& system = DomyslnySystemPlikow()) {
        PostepWysylki postep;
        postep.komunikat = [this](const QString& k) { komunikaty_ << k; };
        return WyslijDokumenty(system, zadanie_, postep);
    }

    std::optional<StanKsef> stan(const QString& nazwa) {
        return CzytajStanKsef(DomyslnySystemPlikow(), nazwa);
    }

    KatalogTestowy katalog_;
    SymulatorKsef symulator_;
    ZadanieWysylki zadanie_;
    std::vector<std::chrono::milliseconds> przerwy_;
    QStringList komunikaty_;
};

// A data folder of its own with the three documents, and a KSeF of its own that knows the token.
struct FolderZKsef {
    explicit FolderZKsef(const ZadanieWysylki& wzor) : zadanie(wzor) {
        ZapiszFolderWysylki(katalog);
        symulator.dodajToken(TokenWysylki, NipWysylki);
        zadanie.srodowisko = *ZnajdzSrodowisko(symulator.adres().toString());
    }
    KatalogTestowy katalog;
    SymulatorKsef symulator;
    ZadanieWysylki zadanie;
};
