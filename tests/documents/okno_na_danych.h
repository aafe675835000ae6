#pragma once
// A main window started on a test folder that holds the given documents, and the steps the
// document and list tests take through the window's own handlers.
#include <gtest/gtest.h>

#include <QDir>
#include <memory>
#include <vector>

#include "app/faktura_f.h"
#include "app/lista_linii.h"
#include "store/rekordy.h"
#include "wspolne/bajty.h"
#include "wspolne/katalog_testowy.h"

inline const QString PlikDokumentow = QStringLiteral("Uslugi/dokumenty.dat");
inline const QString PlikUstawienFaktury = QStringLiteral("Admini/faktura.dat");

// A document of the given kind whose item table and VAT summary are marked with `znacznik`, so
// that tests can tell whose tables a record carries.
inline TDokument DokumentZTabela(const QString& rodzaj, const QString& numer, const QString& odbiorca,
                                 const QString& znacznik) {
    TDokument d = Dokument(rodzaj, numer, odbiorca);
    d.rozszerzenie.ustaw(QStringLiteral("2011"));
    for (int c = 0; c < 6; ++c)
        for (int r = 0; r < 3; ++r)
            d.pozycje[c][r].ustaw(QStringLiteral("%1 p%2%3").arg(znacznik).arg(c + 1).arg(r + 1));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 3; ++r)
            d.stawki[c][r].ustaw(QStringLiteral("%1 s%2%3").arg(znacznik).arg(c).arg(r + 1));
    if (rodzaj == QLatin1String("K")) {
        d.dotyczy.ustaw(QStringLiteral("1/2011"));
        for (int c = 0; c < 6; ++c)
            for (int r = 0; r < 3; ++r)
                d.pozycje_korekty[c][r].ustaw(QStringLiteral("%1 k%2%3").arg(znacznik).arg(c + 1).arg(r + 1));
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 3; ++r)
                d.stawki_korekty[c][r].ustaw(QStringLiteral("%1 v%2%3").arg(znacznik).arg(c).arg(r + 1));
    }
    return d;
}

inline std::vector<TDokument> Rekordy(const QByteArray& plik) {
    std::vector<TDokument> wynik(static_cast<std::size_t>(plik.size()) / sizeof(TDokument));
    for (std::size_t i = 0; i < wynik.size(); ++i)
        std::memcpy(&wynik[i], plik.constData() + i * sizeof(TDokument), sizeof(TDokument));
    return wynik;
}

struct OknoNaDanych {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    std::unique_ptr<Tfaktura_f> okno;

    // An empty list of documents leaves the folder to start-up, which creates the initial record.
    explicit OknoNaDanych(const std::vector<TDokument>& dokumenty = {}) {
        if (!dokumenty.empty()) katalog.zapiszRekordy(PlikDokumentow, dokumenty);
    }
    Tfaktura_f& uruchom() {
        okno = UruchomOkno(platforma);
        EXPECT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();
        return *okno;
    }
    void ustawienia(const TUstawieniaFaktury& u) const {
        katalog.zapiszRekordy(PlikUstawienFaktury, std::vector{u});
    }

    QByteArray dokumenty() const { return katalog.czytaj(PlikDokumentow); }
    TUstawieniaFaktury ustawieniaNaDysku() const {
        return katalog.rekord<TUstawieniaFaktury>(PlikUstawienFaktury);
    }
    QStringList pliki(const QString& folder) const {
        return QDir(katalog.plik(folder)).entryList(QDir::Files, QDir::Name);
    }
};

// A handler run as a click runs it: errors go to the standard error report.
inline void Kliknij(Tfaktura_f& okno, void (Tfaktura_f::*obsluga)()) {
    okno.Straz([&] { (okno.*obsluga)(); });
}

// Opens the invoice list and takes line `indeks` (from 0) of it.
inline void WczytajZListy(Tfaktura_f& okno, int indeks) {
    Kliknij(okno, &Tfaktura_f::SpeedButton3Click);
    okno.lista->setCurrentRow(indeks);
    Kliknij(okno, &Tfaktura_f::SpeedButton11Click);
}

// "Zapisz fakturę" answered with `tak`.
inline void Zapisz(Tfaktura_f& okno, PlatformaTestowa& platforma, bool tak = true) {
    platforma.odpowiedzi.push_back(tak);
    Kliknij(okno, &Tfaktura_f::SpeedButton2Click);
}

// "Usuń fakturę" answered with `tak`.
inline void Usun(Tfaktura_f& okno, PlatformaTestowa& platforma, bool tak = true) {
    platforma.odpowiedzi.push_back(tak);
    Kliknij(okno, &Tfaktura_f::SpeedButton8Click);
}

inline const QStringList PlikiUslug = {"dokumenty.dat", "klienci.dat", "uslugi.dat"};
inline const QStringList PlikiAdmini = {"faktura.dat", "firma.dat", "info.dat", "siec.dat"};
