// One workstation for the two-workstation test: the real window on a shared data folder, saving new
// invoices, changing and deleting its own ones in a loop until its time is up, and printing every
// change it was told succeeded. Usage: stanowisko FOLDER ZNACZNIK MILISEKUNDY ZIARNO
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>
#include <random>
#include <vector>

#include "app/faktura_f.h"
#include "app/lista_linii.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/platforma_testowa.h"

namespace {

void Wypisz(const QString& linia) {
    std::printf("%s\n", linia.toUtf8().constData());
    std::fflush(stdout);
}

// The errors since the last look; a save whose later step failed is still a save.
bool Udane(PlatformaTestowa& p, const QString& coZrobiono) {
    bool udane = true;
    for (const QString& b : p.bledy()) {
        Wypisz(QStringLiteral("BLAD ") + QString(b).replace(u'\n', u' '));
        if (!b.startsWith(coZrobiono)) udane = false;
    }
    p.komunikaty.clear();
    return udane;
}

// Loads the document whose first buyer line is `nazwa`; false when the list has moved meanwhile.
bool Wczytaj(Tfaktura_f& okno, PlatformaTestowa& p, const QString& nazwa) {
    okno.Straz([&] { okno.SpeedButton3Click(); });
    int indeks = -1;
    for (int i = 0; i < okno.lista->count(); ++i)
        if (okno.lista->tekst(i).endsWith(QLatin1Char(' ') + nazwa)) indeks = i;
    if (indeks < 0) {
        okno.Straz([&] { okno.SpeedButton10Click(); });
        return false;
    }
    okno.lista->setCurrentRow(indeks);
    okno.Straz([&] { okno.SpeedButton11Click(); });
    p.komunikaty.clear();
    return okno.odbiorca1->text() == nazwa;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplikacja(argc, argv);
    if (argc != 5) return 2;
    const QString znacznik = QString::fromLocal8Bit(argv[2]);
    const int ms = std::atoi(argv[3]);
    std::mt19937 los(static_cast<unsigned>(std::atoi(argv[4])));
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));

    PlatformaTestowa p;
    auto okno = UruchomOkno(p);
    Udane(p, QString());
    std::vector<QString> moje;
    int licznik = 0;
    QElapsedTimer zegar;
    zegar.start();
    while (zegar.elapsed() < ms) {
        const unsigned los10 = los() % 10;
        if (los10 < 6 || moje.empty()) {
            const QString nazwa = QStringLiteral("%1-%2").arg(znacznik).arg(++licznik);
            okno->Straz([&] { okno->SpeedButton6Click(); });
            okno->odbiorca1->setText(nazwa);
            p.odpowiedzi.push_back(true);
            okno->Straz([&] { okno->SpeedButton2Click(); });
            if (Udane(p, QStringLiteral("Dokument został zapisany"))) {
                moje.push_back(nazwa);
                Wypisz(QStringLiteral("ZAPISANY ") + nazwa);
            }
        } else {
            const std::size_t ktory = los() % moje.size();
            const QString nazwa = moje[ktory];
            if (!Wczytaj(*okno, p, nazwa)) continue;
            if (los10 < 8) {
                const QString zmiana = QStringLiteral("zmiana-%1").arg(++licznik);
                okno->odbiorca2->setText(zmiana);
                p.odpowiedzi.push_back(true);
                okno->Straz([&] { okno->SpeedButton2Click(); });
                if (Udane(p, QStringLiteral("Dokument został zapisany")))
                    Wypisz(QStringLiteral("ZMIENIONY ") + nazwa + u' ' + zmiana);
            } else {
                p.odpowiedzi.push_back(true);
                okno->Straz([&] { okno->SpeedButton8Click(); });
                if (Udane(p, QStringLiteral("Dokument został usunięty"))) {
                    moje.erase(moje.begin() + static_cast<std::ptrdiff_t>(ktory));
                    Wypisz(QStringLiteral("USUNIETY ") + nazwa);
                }
            }
        }
    }
    Wypisz(QStringLiteral("KONIEC"));
    return 0;
}
