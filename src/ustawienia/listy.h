#pragma once
// Client and service list files as the list pages edit them: one big record of slots, every field an
// array over the slots. A slot is used when its first field is not empty. The slot numbers, the
// bytes that belong to the maintaining module and every field the page does not change are written
// back exactly as they were read.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "ustawienia/csv.h"
#include "ustawienia/pola_rekordow.h"

class SystemPlikow;

enum class RodzajBazy { Klienci, Uslugi };

class Lista {
  public:
    virtual ~Lista() = default;

    // An empty list with the same bytes as the default list the module creates, to be written to
    // `sciezka` on the first save.
    static std::unique_ptr<Lista> Nowa(RodzajBazy rodzaj, const QString& sciezka);
    // BladPliku when the file is missing or shorter than one record.
    static std::unique_ptr<Lista> Otworz(RodzajBazy rodzaj, SystemPlikow& system, const QString& sciezka);

    virtual RodzajBazy rodzaj() const = 0;
    // The edited fields of a slot in their record order; their labels are the CSV column headers.
    virtual const std::vector<OpisPola>& pola() const = 0;
    virtual int liczbaMiejsc() const = 0;
    virtual QString numer(int miejsce) const = 0;
    virtual QStringList wpis(int miejsce) const = 0;
    // Replaces whole the file the list was read from or is to be created at.
    virtual void zapisz(SystemPlikow& system) = 0;
    // The record as it would be written, for comparisons.
    virtual QByteArray bajty() const = 0;

    virtual bool uzyte(int miejsce) const = 0;
    std::vector<int> uzyteMiejsca() const;
    std::optional<int> wolneMiejsce() const;
    // Why these values cannot go into the slot, one message per fault; empty when they can. Only the
    // fields whose text changes are checked; the first one may not be empty.
    QStringList bledyWpisu(int miejsce, const QStringList& wartosci) const;
    // Stores the values that differ from the slot's (checked first by bledyWpisu).
    void ustawWpis(int miejsce, const QStringList& wartosci);
    // Empties the edited fields of the slot; its number and the module's bytes stay.
    void usunWpis(int miejsce);

    const QString& sciezka() const { return sciezka_; }
    bool zmieniona() const { return zmieniona_; }
    // Whether the file does not exist yet (a new list not saved).
    bool nowa() const { return nowa_; }

  protected:
    virtual void ustawPole(int miejsce, int pole, const QString& wartosc) = 0;

    QString sciezka_;
    bool zmieniona_ = false;
    bool nowa_ = false;
};

// The used slots with a header row: "Nr" (the slot number as stored) and the fields.
QByteArray EksportCsv(const Lista& lista);

struct WynikImportu {
    std::vector<OdrzuconyWiersz> odrzucone;
    // Slot and values of every accepted row.
    std::vector<std::pair<int, QStringList>> wpisy;
};

// Reads a whole CSV file against the list without changing it. The header row names the columns:
// "Nr" (optional) and the fields. A row with a number goes into the slot of that number, one
// without into the first free slot. `zastap`: every used slot not in the file is to be emptied, so
// its place is free; else the entries not in the file stay.
WynikImportu ImportCsv(const Lista& lista, const QByteArray& dane, bool zastap);

// Applies an import that rejected nothing.
void ZastosujImport(Lista& lista, const WynikImportu& wynik, bool zastap);
