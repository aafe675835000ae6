#include "ustawienia/csv.h"

#include <QStringDecoder>

namespace {

const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

struct Surowy {
    int linia = 0;
    std::vector<QByteArray> pola;
    QString blad;
};

// Reads the bytes row by row. Quotes, semicolons and line breaks are ASCII, so the split is safe on
// UTF-8 before it is decoded.
class Czytnik {
  public:
    Czytnik(const QByteArray& dane, qsizetype od) : dane_(dane), i_(od), n_(dane.size()) {}

    bool koniec() const { return i_ >= n_; }

    // The next row; `pusty` when it is only one empty field.
    Surowy wiersz(bool& pusty) {
        Surowy wiersz;
        wiersz.linia = linia_;
        pusty = true;
        while (true) {
            QByteArray pole;
            if (jest('"')) {
                pusty = false;
                poleWCudzyslowie(pole, wiersz.blad);
            } else {
                poleBezCudzyslowu(pole);
                if (!pole.isEmpty()) pusty = false;
            }
            wiersz.pola.push_back(pole);
            if (jest(';')) {
                pusty = false;
                ++i_;
                continue;
            }
            if (jest('\n')) {
                ++i_;
                ++linia_;
            }
            return wiersz;
        }
    }

  private:
    bool jest(char z) const { return i_ < n_ && dane_[i_] == z; }

    // From the opening quote to the separator or the end of the row; a doubled quote is one quote.
    void poleWCudzyslowie(QByteArray& pole, QString& blad) {
        ++i_;
        bool zamkniety = false;
        while (i_ < n_) {
            const char z = dane_[i_];
            if (z == '"') {
                if (i_ + 1 < n_ && dane_[i_ + 1] == '"') {
                    pole.append('"');
                    i_ += 2;
                    continue;
                }
                ++i_;
                zamkniety = true;
                break;
            }
            if (z == '\n') ++linia_;
            pole.append(z);
            ++i_;
        }
        if (!zamkniety && blad.isEmpty())
            blad = QStringLiteral("cudzysłów otwarty w tym wierszu nie został zamknięty");
        // After the closing quote only a separator or the end of the row may follow.
        if (zamkniety && i_ < n_ && !jest(';') && !jest('\n') && !jest('\r') && blad.isEmpty())
            blad = QStringLiteral("po zamykającym cudzysłowie stoi znak inny niż średnik");
        while (i_ < n_ && !jest(';') && !jest('\n')) {
            if (!jest('\r')) pole.append(dane_[i_]);
            ++i_;
        }
    }

    // Up to the separator or the end of the row; the CR of a CRLF is not part of the field.
    void poleBezCudzyslowu(QByteArray& pole) {
        while (i_ < n_ && !jest(';') && !jest('\n')) {
            pole.append(dane_[i_]);
            ++i_;
        }
        if (pole.endsWith('\r') && (i_ >= n_ || jest('\n'))) pole.chop(1);
    }

    const QByteArray& dane_;
    qsizetype i_;
    const qsizetype n_;
    int linia_ = 1;
};

// Splits the bytes into rows of fields; empty lines are left out.
std::vector<Surowy> Podziel(const QByteArray& dane, qsizetype od) {
    std::vector<Surowy> wiersze;
    Czytnik czytnik(dane, od);
    while (!czytnik.koniec()) {
        bool pusty = true;
        Surowy wiersz = czytnik.wiersz(pusty);
        if (!pusty) wiersze.push_back(std::move(wiersz));
    }
    return wiersze;
}

QByteArray PoleCsv(const QString& tekst) {
    const QByteArray bajty = tekst.toUtf8();
    if (!bajty.contains(';') && !bajty.contains('"') && !bajty.contains('\n') && !bajty.contains('\r'))
        return bajty;
    QByteArray wynik = "\"";
    wynik.append(QByteArray(bajty).replace("\"", "\"\""));
    wynik.append('"');
    return wynik;
}

}  // namespace

WynikCsv CzytajCsv(const QByteArray& dane) {
    WynikCsv wynik;
    for (Surowy& surowy : Podziel(dane, dane.startsWith(Bom) ? Bom.size() : 0)) {
        if (!surowy.blad.isEmpty()) {
            wynik.bledy.push_back({surowy.linia, surowy.blad});
            continue;
        }
        RekordCsv rekord{surowy.linia, {}};
        bool dobry = true;
        for (const QByteArray& pole : surowy.pola) {
            QStringDecoder dekoder(QStringDecoder::Utf8,
                                   QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
            QString tekst = dekoder(pole);
            if (dekoder.hasError()) {
                wynik.bledy.push_back(
                    {surowy.linia, QStringLiteral("niepoprawny zapis UTF-8 (plik trzeba zapisać "
                                                  "jako CSV w kodowaniu UTF-8)")});
                dobry = false;
                break;
            }
            rekord.pola.append(std::move(tekst));
        }
        if (dobry) wynik.rekordy.push_back(std::move(rekord));
    }
    return wynik;
}

QByteArray ZapiszCsv(const std::vector<QStringList>& wiersze) {
    QByteArray wynik = Bom;
    for (const QStringList& wiersz : wiersze) {
        for (qsizetype i = 0; i < wiersz.size(); ++i) {
            if (i > 0) wynik.append(';');
            wynik.append(PoleCsv(wiersz[i]));
        }
        wynik.append("\r\n");
    }
    return wynik;
}
