#include <gtest/gtest.h>

#include "calc/dni_robocze.h"

namespace {

QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

TEST(DniRobocze, WielkanocISwietaRuchome2026Do2030) {
    struct Rok {
        int rok;
        const char *wielkanoc, *zieloneSwiatki, *bozeCialo;
    };
    const Rok lata[] = {
        {2026, "2026-04-05", "2026-05-24", "2026-06-04"}, {2027, "2027-03-28", "2027-05-16", "2027-05-27"},
        {2028, "2028-04-16", "2028-06-04", "2028-06-15"}, {2029, "2029-04-01", "2029-05-20", "2029-05-31"},
        {2030, "2030-04-21", "2030-06-09", "2030-06-20"},
    };
    for (const Rok& r : lata) {
        EXPECT_EQ(Wielkanoc(r.rok), D(r.wielkanoc)) << r.rok;
        for (const QDate& swieto :
             {D(r.wielkanoc), D(r.wielkanoc).addDays(1), D(r.zieloneSwiatki), D(r.bozeCialo)})
            EXPECT_TRUE(SwietoPanstwowe(swieto)) << swieto.toString(Qt::ISODate).toStdString();
        EXPECT_FALSE(DzienRoboczy(D(r.bozeCialo)));
        EXPECT_TRUE(DzienRoboczy(D(r.bozeCialo).addDays(-1))) << r.rok;  // always a Wednesday
    }
}

TEST(DniRobocze, SwietaStaleIZwykleDni) {
    struct Dzien {
        const char* data;
        bool roboczy;
    };
    const Dzien dni[] = {
        {"2026-01-01", false}, {"2026-01-06", false}, {"2026-05-01", false}, {"2026-05-03", false},
        {"2026-08-15", false}, {"2026-11-01", false}, {"2026-11-11", false}, {"2026-12-24", false},
        {"2026-12-25", false}, {"2026-12-26", false}, {"2027-12-24", false}, {"2030-11-11", false},
        {"2024-12-24", true},  // Christmas Eve became a holiday in 2025
        {"2026-12-28", true},  {"2026-12-31", true},  {"2026-12-12", false},  // a Saturday
        {"2026-12-13", false},                                                // a Sunday
        {"2028-05-02", true},  {"2029-11-02", true},
    };
    for (const Dzien& d : dni) EXPECT_EQ(DzienRoboczy(D(d.data)), d.roboczy) << d.data;
}

TEST(DniRobocze, TerminyOffline) {
    struct Przypadek {
        TrybOffline tryb;
        const char* wystawienie;
        const char* koniecNiedostepnosci;
        const char* koniecAwarii;
        const char* termin;
    };
    const Przypadek przypadki[] = {
        // The guide's worked example: offline24 on Wednesday 2025-07-08, a failure announced on
        // 07-09 and over on Saturday 07-12: seven working days from then.
        {TrybOffline::Offline24, "2025-07-08", "", "", "2025-07-09"},
        {TrybOffline::Offline24, "2025-07-08", "", "2025-07-12", "2025-07-22"},
        // Friday: Monday; before a long weekend: after it.
        {TrybOffline::Offline24, "2026-12-11", "", "", "2026-12-14"},
        {TrybOffline::Offline24, "2026-12-23", "", "", "2026-12-28"},
        {TrybOffline::Offline24, "2026-04-03", "", "", "2026-04-07"},  // Good Friday, Easter Monday after
        {TrybOffline::Offline, "2026-12-09", "2026-12-10", "", "2026-12-11"},
        {TrybOffline::Offline, "2026-12-09", "2026-12-11", "", "2026-12-14"},
        {TrybOffline::Awaryjny, "2026-12-09", "", "2026-12-10", "2026-12-21"},
        {TrybOffline::Awaryjny, "2026-12-21", "", "2026-12-22", "2027-01-05"},  // 24-26 Dec and 1 Jan
    };
    for (const Przypadek& p : przypadki) {
        auto opcja = [](const char* t) { return *t ? std::optional<QDate>(D(t)) : std::nullopt; };
        EXPECT_EQ(
            TerminOffline(p.tryb, D(p.wystawienie), opcja(p.koniecNiedostepnosci), opcja(p.koniecAwarii)),
            D(p.termin))
            << p.wystawienie << " " << p.koniecAwarii;
    }
}

}  // namespace
