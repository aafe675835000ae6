#pragma once
// A stored document as an FA(3) e-invoice (the national e-invoice structure), or the reasons why it
// cannot be one. Nothing here sends anything anywhere.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "store/rekordy.h"

inline const QString PrzestrzenNazwFa3 = QStringLiteral("http://crd.gov.pl/wzor/2025/06/25/13775/");

// The facts FA(3) asks for that the records do not hold; the user states them, nothing is guessed.
struct OpcjeKsef {
    enum class Podstawa { Ustawa, Dyrektywa, Inna };
    QString podstawaZwolnienia;  // legal basis of "zw" lines; without it such a document is refused
    Podstawa rodzajPodstawy = Podstawa::Ustawa;
    bool metodaKasowa = false;        // cash accounting
    bool podzielonaPlatnosc = false;  // split payment
};

struct KontekstKsef {
    TDaneFirmy firma{};
    QString stopka;             // footer of "faktura.dat"
    QDateTime czasWytworzenia;  // moment of the export, written in UTC
    QString systemInfo = QStringLiteral("faktura-eksport");
    OpcjeKsef opcje;
};

// The invoice a correction refers to, as found in the document file.
struct FakturaKorygowana {
    QString numer;  // whole, also when `dotyczy` holds it cut
    QString dataWystawienia;
    QString numerKsef;  // when KSeF accepted it: the correction then refers to it by this number
};

// The invoices of the file by number, each the last one stored so far: fed in file order, it
// answers for a correction with the invoice stored before it.
class SpisFaktur {
  public:
    void dodaj(const TDokument& dokument);  // records other than invoices are ignored
    std::optional<FakturaKorygowana> znajdz(const TDokument& korekta) const;

  private:
    // Keyed by the number cut to the capacity of `dotyczy`, which is all a correction keeps.
    QHash<QString, FakturaKorygowana> faktury_;
};

struct WynikKsef {
    QByteArray xml;      // UTF-8; empty when refused
    QStringList powody;  // why the document cannot be written; empty when it was
};

WynikKsef DokumentFa3(const TDokument& dokument, const std::optional<FakturaKorygowana>& korygowana,
                      const KontekstKsef& kontekst);

// The earliest creation time FA(3) accepts; a clock before it cannot produce a valid file.
QDateTime NajwczesniejszyCzasWytworzenia();
