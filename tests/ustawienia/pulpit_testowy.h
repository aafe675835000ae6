#pragma once
// A scripted desktop for the settings window: answers questions and dialogs from queues (an empty
// queue cancels) and records every message.
#include <QStringList>
#include <deque>
#include <vector>

#include "ustawienia/pulpit_ustawien.h"

struct KomunikatUstawien {
    QString rodzaj;  // "pytanie", "informacja", "blad"
    QString tekst;
};

class PulpitTestowy : public PulpitUstawien {
  public:
    std::deque<Odpowiedz> odpowiedzi;  // empty: "Anuluj" (or "Nie" without it)
    std::deque<std::optional<QString>> pliki;
    std::deque<std::optional<QString>> foldery;
    std::deque<std::optional<QFont>> czcionki;
    std::deque<std::optional<QColor>> kolory;
    std::vector<KomunikatUstawien> komunikaty;
    std::vector<OpisDialogu> dialogi;
    QDate data{2026, 3, 15};
    struct Uruchomienie {
        QString program;
        QStringList argumenty;
        QString katalogRoboczy;
    };
    std::vector<Uruchomienie> uruchomione;
    bool uruchamia = true;  // what starting a program answers

    Odpowiedz pytanie(QWidget*, const QString& tekst, bool zAnuluj) override {
        komunikaty.push_back({QStringLiteral("pytanie"), tekst});
        if (odpowiedzi.empty()) return zAnuluj ? Odpowiedz::Anuluj : Odpowiedz::Nie;
        const Odpowiedz o = odpowiedzi.front();
        odpowiedzi.pop_front();
        return o;
    }
    void informacja(QWidget*, const QString& tekst) override {
        komunikaty.push_back({QStringLiteral("informacja"), tekst});
    }
    void blad(QWidget*, const QString& tekst) override {
        komunikaty.push_back({QStringLiteral("blad"), tekst});
    }
    std::optional<QString> plikDoOtwarcia(QWidget*, const OpisDialogu& opis) override { return plik(opis); }
    std::optional<QString> plikDoZapisu(QWidget*, const OpisDialogu& opis) override { return plik(opis); }
    std::optional<QString> folder(QWidget*, const QString&, const QString&) override {
        return zKolejki(foldery);
    }
    std::optional<QFont> czcionka(QWidget*, const QFont&) override { return zKolejki(czcionki); }
    std::optional<QColor> kolor(QWidget*, const QColor&) override { return zKolejki(kolory); }
    QDate dzisiaj() override { return data; }
    bool uruchomProgram(const QString& program, const QStringList& argumenty,
                        const QString& katalogRoboczy) override {
        uruchomione.push_back({program, argumenty, katalogRoboczy});
        return uruchamia;
    }

    QStringList rodzaju(const QString& rodzaj) const {
        QStringList teksty;
        for (const auto& k : komunikaty)
            if (k.rodzaj == rodzaj) teksty.append(k.tekst);
        return teksty;
    }
    QStringList bledy() const { return rodzaju(QStringLiteral("blad")); }
    QStringList pytania() const { return rodzaju(QStringLiteral("pytanie")); }

  private:
    std::optional<QString> plik(const OpisDialogu& opis) {
        dialogi.push_back(opis);
        return zKolejki(pliki);
    }
    template <class T>
    static std::optional<T> zKolejki(std::deque<std::optional<T>>& kolejka) {
        std::optional<T> wynik;
        if (!kolejka.empty()) {
            wynik.swap(kolejka.front());
            kolejka.pop_front();
        }
        return wynik;
    }
};
