#include "wspolne/platforma_testowa.h"

bool PlatformaTestowa::pytanie(QWidget*, const QString& tytul, const QString& tekst) {
    komunikaty.push_back({QStringLiteral("pytanie"), tytul, tekst});
    if (odpowiedzi.empty()) return false;
    const bool odpowiedz = odpowiedzi.front();
    odpowiedzi.pop_front();
    return odpowiedz;
}

void PlatformaTestowa::informacja(QWidget*, const QString& tytul, const QString& tekst) {
    komunikaty.push_back({QStringLiteral("informacja"), tytul, tekst});
}

void PlatformaTestowa::bladStandardowy(QWidget*, const QString& tekst) {
    komunikaty.push_back({QStringLiteral("blad"), QStringLiteral("Błąd"), tekst});
}

namespace {
std::optional<QString> Nastepny(std::deque<std::optional<QString>>& kolejka) {
    if (kolejka.empty()) return std::nullopt;
    // A QString, not the optional, is moved out: GCC took the optional's copy for uninitialised.
    const bool jest = kolejka.front().has_value();
    QString wynik = jest ? std::move(*kolejka.front()) : QString();
    kolejka.pop_front();
    if (!jest) return std::nullopt;
    return wynik;
}
}  // namespace

std::optional<QString> PlatformaTestowa::plikDoOtwarcia(QWidget*, const OpisDialoguPliku& opis) {
    dialogi.push_back(opis);
    return Nastepny(wybranePliki);
}

std::optional<QString> PlatformaTestowa::plikDoZapisu(QWidget*, const OpisDialoguPliku& opis) {
    dialogi.push_back(opis);
    return Nastepny(wybranePliki);
}

bool PlatformaTestowa::uruchomProgram(const QString& program, const QStringList& argumenty,
                                      const QString& katalogRoboczy) {
    uruchomienia.push_back({program, argumenty, katalogRoboczy});
    if (uruchamiajNaprawde) return PlatformaPulpitu().uruchomProgram(program, argumenty, katalogRoboczy);
    return wynikUruchomienia;
}

std::vector<QString> PlatformaTestowa::bledy() const {
    std::vector<QString> wynik;
    for (const auto& k : komunikaty)
        if (k.rodzaj == QLatin1String("blad")) wynik.push_back(k.tekst);
    return wynik;
}

Plotno* PlatformaTestowa::wybierzDrukarke(QWidget*) {
    ++oknaDrukowania;
    return drukujAnuluj ? nullptr : &drukarka;
}

std::optional<WyborCzcionki> PlatformaTestowa::wybierzCzcionke(
    QFontDialog*, const std::optional<WyborCzcionki>& poczatkowa) {
    poczatkoweCzcionki.push_back(poczatkowa);
    if (wybraneCzcionki.empty()) return std::nullopt;
    auto wynik = wybraneCzcionki.front();
    wybraneCzcionki.pop_front();
    return wynik;
}
