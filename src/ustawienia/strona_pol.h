#pragma once
// A page of text fields of one settings record: Firma, Faktura, Ewidencja.
#include <functional>
#include <memory>
#include <vector>

#include "ustawienia/strona_ustawien.h"

// The file behind a page of text fields.
class ZrodloPol {
  public:
    virtual ~ZrodloPol() = default;
    virtual std::vector<OpisPola> pola() const = 0;
    virtual QString sciezka(const FolderyDanych& foldery) const = 0;
    // BladPliku when the file cannot be read.
    virtual void wczytaj(SystemPlikow& pliki, const QString& sciezka) = 0;
    // The record a missing file stands for: the one the module would create.
    virtual void domyslny() = 0;
    virtual QStringList wartosci() const = 0;
    virtual QStringList bledy(const QStringList& wartosci) const = 0;
    virtual void zapisz(SystemPlikow& pliki, const QString& sciezka, const QStringList& wartosci) = 0;
};

template <class T>
class ZrodloRekordu final : public ZrodloPol {
  public:
    ZrodloRekordu(const std::vector<PoleRekordu<T>>& pola, QString (*sciezka)(const FolderyDanych&))
        : pola_(pola), sciezka_(sciezka) {}
    std::vector<OpisPola> pola() const override { return Opisy(pola_); }
    QString sciezka(const FolderyDanych& foldery) const override { return sciezka_(foldery); }
    void wczytaj(SystemPlikow& pliki, const QString& sciezka) override {
        CzytajPlikZRekordem(pliki, sciezka, plik_);
        odDomyslnego_ = false;
    }
    void domyslny() override {
        *plik_.rekord = T{};
        plik_.ogon.clear();
        // The page shows a file that is missing or could not be read; saving it replaces that.
        odDomyslnego_ = true;
    }
    QStringList wartosci() const override { return Wartosci(*plik_.rekord, pola_); }
    QStringList bledy(const QStringList& wartosci) const override {
        return BledyZmian(*plik_.rekord, pola_, wartosci);
    }
    void zapisz(SystemPlikow& pliki, const QString& sciezka, const QStringList& wartosci) override {
        // Only the fields the user changed go onto the file as it is now, so that a number the
        // module stored meanwhile (on this or another workstation) is kept.
        const QStringList wczytane = Wartosci(*plik_.rekord, pola_);
        auto zapisany = std::make_unique<T>();
        PlikZRekordem<T> naDysku = ZmienPodBlokada<T>(
            pliki, sciezka,
            [&](T& rekord) {
                QStringList docelowe = Wartosci(rekord, pola_);
                for (qsizetype i = 0; i < wartosci.size(); ++i)
                    if (wartosci[i] != wczytane[i]) docelowe[i] = wartosci[i];
                Zastosuj(rekord, pola_, docelowe);
                *zapisany = rekord;
            },
            T{}, odDomyslnego_ ? KrotszyPlik::OdDomyslnego : KrotszyPlik::Blad);
        plik_.rekord = std::move(zapisany);
        plik_.ogon = std::move(naDysku.ogon);
        odDomyslnego_ = false;
    }

  private:
    const std::vector<PoleRekordu<T>>& pola_;
    QString (*sciezka_)(const FolderyDanych&);
    PlikZRekordem<T> plik_;
    bool odDomyslnego_ = true;
};

class StronaPol : public StronaUstawien {
    Q_OBJECT
  public:
    // `uwagi` gives the note under a field for the texts of all fields (warnings, what the module
    // will show); a field's note may depend on another field.
    using Uwagi = std::function<QString(int pole, const QStringList& wartosci)>;
    StronaPol(KontekstUstawien& kontekst, const char* nazwa, const QString& tytul, const QString& opis,
              std::unique_ptr<ZrodloPol> zrodlo, Uwagi uwagi, QWidget* rodzic = nullptr);

    void wczytaj() override;
    bool zmieniona() const override;
    bool zapisz() override;

    PoleTekstu& pole(int i) { return *pola_[static_cast<std::size_t>(i)]; }
    int liczbaPol() const { return static_cast<int>(pola_.size()); }
    // A "Wybierz…" button beside a field that takes a folder.
    void dodajWyborFolderu(int pole, const QString& tytulDialogu);
    // The note under the file's name when the file is missing.
    void ustawUwageOBraku(const QString& uwaga) { uwagaOBraku_ = uwaga; }
    // The "Wybierz…" button of a field, or null.
    QPushButton* wyborFolderu(int pole) const;

    // Handlers, connected in zdarzenia.cpp.
    void zmienionoPole(int i);
    void wybierzFolder(int i);

  private:
    struct WyborFolderu {
        QPushButton* przycisk = nullptr;
        QString tytul;  // of the folder dialog
    };

    QStringList wartosciPol() const;
    void odswiezUwagi();

    std::unique_ptr<ZrodloPol> zrodlo_;
    Uwagi uwagi_;
    std::vector<std::unique_ptr<PoleTekstu>> pola_;
    std::vector<WyborFolderu> wybory_;  // one per field
    QGridLayout* siatka_;
    bool odczytNieudany_ = false;
    QString uwagaOBraku_ = QStringLiteral(
        "Pliku jeszcze nie ma: moduł tworzy go pustego, a zapis tej strony utworzy go z wpisanymi "
        "danymi.");
};

// The pages of "firma.dat", "faktura.dat" and "ewidencja.dat".
StronaPol* UtworzStroneFirmy(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);
StronaPol* UtworzStroneFaktury(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);
StronaPol* UtworzStroneEwidencji(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);
// The page of "uzupelnienia.dat": the payment proposed for a new invoice, the printout's contact.
StronaPol* UtworzStronePlatnosci(KontekstUstawien& kontekst, QWidget* rodzic = nullptr);
