#pragma once
// The error types of the programs: every failed file operation of the store, and a refusal with
// its reason; and the one way any error becomes the Polish message the user reads.

#include <QString>
#include <stdexcept>

// Polish text for an errno value: the program's own for the values it meets, else the system's
// Polish text where its translations are installed, else a Polish text with the number.
QString KomunikatSystemu(int errnoKod);

class BladPliku : public std::runtime_error {
  public:
    // kod: errno of the failed call, or 0 when the failure is ours (e.g. a file shorter than a record);
    // an empty komunikatSystemu is filled from kod.
    BladPliku(QString operacja, QString sciezka, int kod, QString komunikatSystemu = {});

    // An error whose whole message for the user is `komunikat`; it names the file itself.
    static BladPliku ZKomunikatem(QString operacja, QString sciezka, int kod, const QString& komunikat);
    // The same error, its message led in by `przedrostek` (for example "Dokument został zapisany,
    // ale "), so that the user learns what had already happened.
    BladPliku zPrzedrostkiem(const QString& przedrostek) const;

    const QString& operacja() const { return operacja_; }
    const QString& sciezka() const { return sciezka_; }
    int kod() const { return kod_; }
    const QString& komunikatSystemu() const { return komunikatSystemu_; }

    // Full message for the user, e.g.
    // "Błąd pliku przy operacji „otwarcie” pliku „/x/Uslugi/dokumenty.dat”: Nie ma takiego pliku ani
    // katalogu".
    QString komunikat() const { return komunikat_; }

  private:
    BladPliku(QString operacja, QString sciezka, int kod, QString komunikatSystemu, QString komunikat);

    QString operacja_;
    QString sciezka_;
    int kod_;
    QString komunikatSystemu_;
    QString komunikat_;
};

// An operation refused with its reason, in Polish and whole (for example a folder that already
// holds data, a target file that exists): shown to the user as it is.
class Odmowa : public std::runtime_error {
  public:
    explicit Odmowa(const QString& komunikat);
    const QString& komunikat() const { return komunikat_; }

  private:
    QString komunikat_;
};

// The Polish message of the error being handled (call only inside a catch block): a file error and
// a refusal as they are, a lack of memory as such, anything else as an unexpected error of the
// program with its text.
QString KomunikatBiezacegoBledu();
