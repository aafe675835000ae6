#include <gtest/gtest.h>

#include "calc/stany.h"

namespace {

TEST(RegulyPrzyciskow, CzteryStanyOkna) {
    struct {
        const char* nazwa;
        bool nowy, korekta, zapis;
        bool wstawWl, wstawWid, zapiszSzWl, zapiszSzWid, drukuj, podliczenie, notatka, usun;
    } const przypadki[] = {
        {"wczytana faktura", false, false, true, false, true, true, true, true, true, false, true},
        // Saving is not allowed while the table before correction is shown.
        {"wczytana korekta, widok przed korekta", false, true, false, false, false, true, false, true, true,
         true, true},
        {"nowa faktura", true, false, true, true, true, false, true, false, false, false, false},
        {"nowa korekta", true, true, true, true, false, false, false, false, false, true, false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        StanOkna stan;
        stan.nowyDokument = p.nowy;
        stan.korekta = p.korekta;
        stan.zapisDozwolony = p.zapis;
        // Deleting is allowed exactly in the stored states.
        stan.usuwanieDozwolone = !p.nowy;
        const StanyPrzyciskow s = RegulyPrzyciskow(stan);
        EXPECT_EQ(s.wstawSzablonWlaczony, p.wstawWl);
        EXPECT_EQ(s.wstawSzablonWidoczny, p.wstawWid);
        EXPECT_EQ(s.zapiszSzablonWlaczony, p.zapiszSzWl);
        EXPECT_EQ(s.zapiszSzablonWidoczny, p.zapiszSzWid);
        EXPECT_EQ(s.drukujWlaczony, p.drukuj);
        EXPECT_EQ(s.podliczenieWlaczony, p.podliczenie);
        EXPECT_EQ(s.notatkaKorektyWidoczna, p.notatka);
        EXPECT_EQ(s.zapiszFaktureWlaczony, p.zapis);
        EXPECT_EQ(s.usunFaktureWlaczony, p.usun);
    }
}

// The correction views follow the kind of the stored document, not the Korekta flag.
TEST(RegulyPrzyciskow, WidokiKorektyWedlugRodzaju) {
    struct {
        const char* rodzaj;
        bool korekta;
        std::optional<bool> widoczne;
    } const przypadki[] = {
        {"K", false, true},
        {"F", true, false},
        {"", true, std::nullopt},
        {"k", false, std::nullopt},
    };
    for (const auto& p : przypadki) {
        StanOkna stan;
        stan.rodzaj = RodzajZTekstu(QString::fromUtf8(p.rodzaj));
        stan.korekta = p.korekta;
        EXPECT_EQ(RegulyPrzyciskow(stan).widokiKorektyWidoczne, p.widoczne) << p.rodzaj;
    }
}

TEST(RegulyPrzyciskow, WyliczITerminZaplaty) {
    struct {
        const char *lata, *forma;
        bool wylicz, termin;
    } const przypadki[] = {
        {"", "Gotówka", false, true},   {"2015", "Przelew", true, false}, {"x", "gotówka", true, false},
        {"", "Gotówka ", false, false}, {"", "", false, false},
    };
    for (const auto& p : przypadki) {
        StanOkna stan;
        stan.tekstLata = QString::fromUtf8(p.lata);
        stan.formaZaplaty = QString::fromUtf8(p.forma);
        const StanyPrzyciskow s = RegulyPrzyciskow(stan);
        EXPECT_EQ(s.wyliczWlaczony, p.wylicz) << p.lata;
        EXPECT_EQ(s.terminNaDzisiaj, p.termin) << p.forma;
    }
}

}  // namespace
