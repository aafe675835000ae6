#pragma once
// The one error type of every failed file operation of the store.

#include <QString>
#include <stdexcept>

// Polish text for an errno value; unknown values fall back to the system's own text.
QString KomunikatSystemu(int errnoKod);

class BladPliku : public std::runtime_error {
  public:
    // kod: errno of the failed call, or 0 when the failure is ours (e.g. a file shorter than a record);
    // an empty komunikatSystemu is filled from kod.
    BladPliku(QString operacja, QString sciezka, int kod, QString komunikatSystemu = {});

    const QString& operacja() const { return operacja_; }
    const QString& sciezka() const { return sciezka_; }
    int kod() const { return kod_; }
    const QString& komunikatSystemu() const { return komunikatSystemu_; }

    // Full message for the user, e.g.
    // "Błąd pliku przy operacji „otwarcie” pliku „/x/Uslugi/dokumenty.dat”: Nie ma takiego pliku ani
    // katalogu".
    QString komunikat() const;

  private:
    QString operacja_;
    QString sciezka_;
    int kod_;
    QString komunikatSystemu_;
};
