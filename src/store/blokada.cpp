#include "store/blokada.h"

#include <atomic>
#include <cerrno>
#include <thread>

#include "store/blad.h"

namespace {

std::chrono::milliseconds CzasZSrodowiska() {
    bool liczba = false;
    const int ms = qEnvironmentVariableIntValue("FAKTURA_CZAS_BLOKADY_MS", &liczba);
    return std::chrono::milliseconds(liczba && ms >= 0 ? ms : 5000);
}

std::atomic<long long>& Czas() {
    static std::atomic<long long> czas{CzasZSrodowiska().count()};
    return czas;
}

bool TenSamPlik(const OpisPliku& a, const OpisPliku& b) {
    return a.rodzaj == b.rodzaj && a.urzadzenie == b.urzadzenie && a.wezel == b.wezel;
}

}  // namespace

std::chrono::milliseconds CzasOczekiwaniaNaBlokade() { return std::chrono::milliseconds(Czas().load()); }

void UstawCzasOczekiwaniaNaBlokade(std::chrono::milliseconds czas) { Czas().store(czas.count()); }

ZablokowanyPlik::ZablokowanyPlik(SystemPlikow& system, const QString& sciezka,
                                 std::chrono::milliseconds czas) {
    using Zegar = std::chrono::steady_clock;
    const Zegar::time_point koniec = Zegar::now() + czas;
    for (;;) {
        OtwartyPlik plik(system, sciezka, TrybOtwarcia::OdczytZapis);
        bool przyznana = false;
        try {
            przyznana = system.zablokuj(plik.uchwyt());
        } catch (const BladPliku& blad) {
            throw BladPliku::ZKomunikatem(
                QStringLiteral("blokada"), sciezka, blad.kod(),
                QStringLiteral(
                    "Nie można zablokować pliku „%1” (%2). Plik nie został zmieniony, aby nie nadpisać "
                    "pracy innego stanowiska.")
                    .arg(sciezka, blad.komunikatSystemu()));
        }
        // A file replaced by a rename while this copy waited keeps the lock on a file that no
        // longer has the name; the name's new file is locked instead.
        if (przyznana && TenSamPlik(plik.opisz(), system.opisz(sciezka))) {
            plik_.emplace(std::move(plik));
            return;
        }
        if (Zegar::now() >= koniec)
            throw BladPliku::ZKomunikatem(
                QStringLiteral("blokada"), sciezka, EAGAIN,
                QStringLiteral("Plik „%1” jest używany na innym stanowisku; spróbuj ponownie").arg(sciezka));
        plik.porzuc();
        if (!przyznana) std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
}
