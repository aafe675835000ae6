#pragma once
// Shared by the benchmarks that run the real window: a desktop that asks nothing, and the main
// that creates the application before Google Benchmark runs.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/platforma.h"
#include "print/czcionki.h"

// The one desktop of the benchmarks: answers every question with `odpowiedz`, picks `wybranyPlik`
// (none while it is empty), and stops the run on any error.
class PlatformaCicha : public Platforma {
  public:
    bool odpowiedz = false;
    QString wybranyPlik;

    bool pytanie(QWidget*, const QString&, const QString&) override { return odpowiedz; }
    void informacja(QWidget*, const QString&, const QString&) override {}
    void bladStandardowy(QWidget*, const QString& tekst) override { qFatal("%s", qPrintable(tekst)); }
    std::optional<QString> plikDoOtwarcia(QWidget*, const OpisDialoguPliku&) override {
        if (wybranyPlik.isEmpty()) return std::nullopt;
        return wybranyPlik;
    }
    std::optional<QString> plikDoZapisu(QWidget*, const OpisDialoguPliku&) override { return {}; }
    QDateTime teraz() override { return QDateTime::currentDateTime(); }
    void zakonczProgram() override {}
    Plotno* wybierzDrukarke(QWidget*) override { return nullptr; }
    std::optional<WyborCzcionki> wybierzCzcionke(QFontDialog*, const std::optional<WyborCzcionki>&) override {
        return std::nullopt;
    }
    bool uruchomProgram(const QString&, const QStringList&, const QString&) override { return false; }
};

// `sprzatanie` runs before the application object goes: windows made by the benchmarks must not
// outlive it.
inline int UruchomPomiary(int argc, char** argv, void (*sprzatanie)() = nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplikacja(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (sprzatanie) sprzatanie();
    return 0;
}
