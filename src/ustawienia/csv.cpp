#include "ustawienia/csv.h"

#include <QStringDecoder>

namespace {

const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

struct Surowy {
    int linia = 0;
    std::vector<QByteArray> pola;
    QString blad;
};

// Splits the bytes into rows of fields. Quotes, semicolons and line breaks are ASCII, so the split
// is safe on UTF-8 before it is decoded.
std::vector<Surowy> Podziel(const QByteArray& dane, qsizetype od) {
    std::vector<Surowy> wiersze;
    int linia = 1;
    qsizetype i = od;
    const qsizetype n = dane.size();
    while (i < n) {
        Surowy wiersz;
        wiersz.linia = linia;
        QByteArray pole;
        bool koniecWiersza = false;
        bool pustyWiersz = true;
        while (!koniecWiersza) {
            if (i < n && dane[i] == '"') {
                pustyWiersz = false;
                ++i;
                bool zamkniety = false;
                while (i < n) {
                    const char z = dane[i];
                    if (z == '"') {
                        if (i + 1 < n && dane[i + 1] == '"') {
                            pole.append('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        zamkniety = true;
                        break;
                    }
                    if (z == '\n') ++linia;
                    pole.append(z);
                    ++i;
                }
                if (!zamkniety && wiersz.blad.isEmpty())
                    wiersz.blad = QStringLiteral("cudzysłów otwarty w tym wierszu nie został zamknięty");
                // After the closing quote only a separator or the end of the row may follow.
                if (zamkniety && i < n && dane[i] != ';' && dane[i] != '\n' && dane[i] != '\r' &&
                    wiersz.blad.isEmpty())
                    wiersz.blad = QStringLiteral("po zamykającym cudzysłowie stoi znak inny niż średnik");
                while (i < n && dane[i] != ';' && dane[i] != '\n') {
                    if (dane[i] != '\r') pole.append(dane[i]);
                    ++i;
                }
            } else {
                while (i < n && dane[i] != ';' && dane[i] != '\n') {
                    pole.append(dane[i]);
                    ++i;
                }
                if (pole.endsWith('\r') && (i >= n || dane[i] == '\n')) pole.chop(1);
                if (!pole.isEmpty()) pustyWiersz = false;
            }
            wiersz.pola.push_back(pole);
            pole.clear();
            if (i < n && dane[i] == ';') {
                pustyWiersz = false;
                ++i;
                continue;
            }
            koniecWiersza = true;
            if (i < n && dane[i] == '\n') {
                ++i;
                ++linia;
            }
        }
        if (!pustyWiersz) wiersze.push_back(std::move(wiersz));
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
