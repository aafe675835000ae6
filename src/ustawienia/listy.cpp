#include "ustawienia/listy.h"

#include <QHash>
#include <algorithm>
#include <map>
#include <set>

#include "calc/odmiana.h"
#include "store/blad.h"
#include "store/rekordy.h"
#include "ustawienia/pliki_stron.h"

namespace {

QString Bajtow(std::uint64_t n) {
    return LiczbaIRzeczownik(static_cast<std::int64_t>(n), QStringLiteral("bajt"), QStringLiteral("bajty"),
                             QStringLiteral("bajtów"));
}

template <class TBaza>
struct PoleListy {
    OpisPola opis;
    QString (*czytaj)(const TBaza&, int);
    void (*ustaw)(TBaza&, int, const QString&);
    bool (*niepuste)(const TBaza&, int);
};

template <auto Pole, class TBaza>
PoleListy<TBaza> PoleListy_(const char* nazwa, const char* etykieta) {
    using Tablica = std::remove_cvref_t<decltype(std::declval<TBaza&>().*Pole)>;
    using Tekst = std::remove_extent_t<Tablica>;
    static_assert(std::extent_v<Tablica> == TBaza::LiczbaMiejsc);
    return {{QString::fromUtf8(nazwa), QString::fromUtf8(etykieta), static_cast<int>(Tekst::Pojemnosc)},
            [](const TBaza& b, int s) { return (b.*Pole)[s].tekst(); },
            [](TBaza& b, int s, const QString& w) { (b.*Pole)[s].ustaw(w); },
            [](const TBaza& b, int s) { return (b.*Pole)[s].dlugoscTekstu() > 0; }};
}

// The price goes into the module's number column as it is typed here.
template <class TBaza>
PoleListy<TBaza> Liczbowe(PoleListy<TBaza> pole) {
    pole.opis.liczba = true;
    return pole;
}

template <class TBaza>
const std::vector<PoleListy<TBaza>>& PolaListy();

template <>
const std::vector<PoleListy<TBazaKlientow>>& PolaListy<TBazaKlientow>() {
    static const std::vector<PoleListy<TBazaKlientow>> pola = {
        PoleListy_<&TBazaKlientow::odbiorca1, TBazaKlientow>("odbiorca1", "Odbiorca 1"),
        PoleListy_<&TBazaKlientow::odbiorca2, TBazaKlientow>("odbiorca2", "Odbiorca 2"),
        PoleListy_<&TBazaKlientow::odbiorca3, TBazaKlientow>("odbiorca3", "Odbiorca 3"),
        PoleListy_<&TBazaKlientow::odbiorca4, TBazaKlientow>("odbiorca4", "Odbiorca 4"),
        PoleListy_<&TBazaKlientow::nip_odbiorcy, TBazaKlientow>("nip_odbiorcy", "NIP"),
    };
    return pola;
}

template <>
const std::vector<PoleListy<TBazaUslug>>& PolaListy<TBazaUslug>() {
    static const std::vector<PoleListy<TBazaUslug>> pola = {
        PoleListy_<&TBazaUslug::nazwa_uslugi, TBazaUslug>("nazwa_uslugi", "Nazwa usługi"),
        PoleListy_<&TBazaUslug::pkwiu, TBazaUslug>("pkwiu", "PKWiU"),
        PoleListy_<&TBazaUslug::jm, TBazaUslug>("jm", "J.m."),
        PoleListy_<&TBazaUslug::vat, TBazaUslug>("vat", "VAT"),
        Liczbowe(PoleListy_<&TBazaUslug::netto, TBazaUslug>("netto", "Netto")),
    };
    return pola;
}

template <class TBaza>
class ListaZBazy final : public Lista {
  public:
    ListaZBazy(RodzajBazy rodzaj, const QString& sciezka) : rodzaj_(rodzaj) {
        sciezka_ = sciezka;
        for (const auto& p : PolaListy<TBaza>()) opisy_.push_back(p.opis);
    }

    // The numbering the module gives a new list: slot s is s+1, at least two digits.
    void numeruj() {
        for (int s = 0; s < TBaza::LiczbaMiejsc; ++s)
            plik_.rekord->numer[s].ustaw(QStringLiteral("%1").arg(s + 1, 2, 10, QLatin1Char('0')));
        nowa_ = true;
    }

    void wczytaj(SystemPlikow& system) {
        CzytajPlikZRekordem(system, sciezka_, plik_);
        // A client list read as a list of services would have its first entries written over
        // with services on the first save.
        if constexpr (sizeof(TBaza) < sizeof(TBazaKlientow)) {
            const auto rozmiar = sizeof(TBaza) + static_cast<std::size_t>(plik_.ogon.size());
            if (rozmiar >= sizeof(TBazaKlientow))
                throw BladPliku(QStringLiteral("odczyt"), sciezka_, 0,
                                QStringLiteral("plik ma %1, tyle co lista klientów, a lista usług ma %2")
                                    .arg(Bajtow(rozmiar))
                                    .arg(Bajtow(sizeof(TBaza))));
        }
    }

    RodzajBazy rodzaj() const override { return rodzaj_; }
    const std::vector<OpisPola>& pola() const override { return opisy_; }
    int liczbaMiejsc() const override { return TBaza::LiczbaMiejsc; }
    QString numer(int s) const override { return plik_.rekord->numer[s].tekst(); }
    bool uzyte(int s) const override { return PolaListy<TBaza>().front().niepuste(*plik_.rekord, s); }

    QStringList wpis(int s) const override {
        QStringList wartosci;
        for (const auto& p : PolaListy<TBaza>()) wartosci.append(p.czytaj(*plik_.rekord, s));
        return wartosci;
    }

    void zapisz(SystemPlikow& system) override {
        ZapiszPlikZRekordem(system, sciezka_, *plik_.rekord, plik_.ogon);
        zmieniona_ = false;
        nowa_ = false;
    }

    QByteArray bajty() const override {
        return QByteArray(reinterpret_cast<const char*>(plik_.rekord.get()), sizeof(TBaza)) + plik_.ogon;
    }

  protected:
    void ustawPole(int s, int pole, const QString& wartosc) override {
        PolaListy<TBaza>()[static_cast<std::size_t>(pole)].ustaw(*plik_.rekord, s, wartosc);
    }

  private:
    RodzajBazy rodzaj_;
    std::vector<OpisPola> opisy_;
    PlikZRekordem<TBaza> plik_;
};

template <class TBaza>
std::unique_ptr<ListaZBazy<TBaza>> Utworz(RodzajBazy rodzaj, const QString& sciezka) {
    return std::make_unique<ListaZBazy<TBaza>>(rodzaj, sciezka);
}

// "007", " 7 " and "7" name one slot; a number that is not all digits only names itself.
QString KluczNumeru(const QString& numer) {
    QString klucz = numer.trimmed();
    bool cyfry = !klucz.isEmpty();
    for (const QChar z : klucz) cyfry = cyfry && z >= u'0' && z <= u'9';
    if (cyfry) {
        while (klucz.size() > 1 && klucz.startsWith(u'0')) klucz.remove(0, 1);
    }
    return klucz;
}

}  // namespace

std::unique_ptr<Lista> Lista::Nowa(RodzajBazy rodzaj, const QString& sciezka) {
    if (rodzaj == RodzajBazy::Klienci) {
        auto lista = Utworz<TBazaKlientow>(rodzaj, sciezka);
        lista->numeruj();
        return lista;
    }
    auto lista = Utworz<TBazaUslug>(rodzaj, sciezka);
    lista->numeruj();
    return lista;
}

std::unique_ptr<Lista> Lista::Otworz(RodzajBazy rodzaj, SystemPlikow& system, const QString& sciezka) {
    if (rodzaj == RodzajBazy::Klienci) {
        auto lista = Utworz<TBazaKlientow>(rodzaj, sciezka);
        lista->wczytaj(system);
        return lista;
    }
    auto lista = Utworz<TBazaUslug>(rodzaj, sciezka);
    lista->wczytaj(system);
    return lista;
}

std::vector<int> Lista::uzyteMiejsca() const {
    std::vector<int> miejsca;
    for (int s = 0; s < liczbaMiejsc(); ++s)
        if (uzyte(s)) miejsca.push_back(s);
    return miejsca;
}

std::optional<int> Lista::wolneMiejsce() const {
    for (int s = 0; s < liczbaMiejsc(); ++s)
        if (!uzyte(s)) return s;
    return std::nullopt;
}

QStringList Lista::bledyWpisu(int miejsce, const QStringList& wartosci) const {
    QStringList bledy;
    const QStringList dawne = wpis(miejsce);
    const std::vector<OpisPola>& opisy = pola();
    if (wartosci.value(0).isEmpty())
        bledy.append(
            QStringLiteral("Pole „%1” nie może być puste: wpis bez niego nie jest widoczny na liście. "
                           "Aby usunąć wpis, użyj przycisku „Usuń wpis”.")
                .arg(opisy[0].etykieta));
    for (std::size_t i = 0; i < opisy.size(); ++i) {
        const QString w = wartosci.value(static_cast<qsizetype>(i));
        if (w == dawne.value(static_cast<qsizetype>(i))) continue;
        if (const auto blad = BladTekstu(opisy[i].etykieta, w, opisy[i].pojemnosc)) bledy.append(*blad);
    }
    return bledy;
}

void Lista::ustawWpis(int miejsce, const QStringList& wartosci) {
    const QStringList dawne = wpis(miejsce);
    for (int i = 0; i < static_cast<int>(pola().size()); ++i) {
        const QString w = wartosci.value(i);
        if (w == dawne.value(i)) continue;
        ustawPole(miejsce, i, w);
        zmieniona_ = true;
    }
}

void Lista::usunWpis(int miejsce) { ustawWpis(miejsce, QStringList()); }

QByteArray EksportCsv(const Lista& lista) {
    std::vector<QStringList> wiersze;
    QStringList naglowek{QStringLiteral("Nr")};
    for (const OpisPola& p : lista.pola()) naglowek.append(p.etykieta);
    wiersze.push_back(naglowek);
    for (const int s : lista.uzyteMiejsca()) wiersze.push_back(QStringList{lista.numer(s)} + lista.wpis(s));
    return ZapiszCsv(wiersze);
}

namespace {

// One import of a CSV file into a list: the rows accepted so far and the slots they name. Every
// rejected row is kept with its reason; the list itself is never changed.
class Import {
  public:
    Import(const Lista& lista, bool zastap) : lista_(lista), opisy_(lista.pola()), zastap_(zastap) {
        QStringList naglowek;
        for (const OpisPola& p : opisy_) naglowek.append(p.etykieta);
        oczekiwany_ = QStringLiteral("Nr;") + naglowek.join(u';');
        // The first slot of a number wins when the list has it twice.
        for (int s = lista.liczbaMiejsc() - 1; s >= 0; --s)
            miejscaNumerow_.insert(KluczNumeru(lista.numer(s)), s);
    }

    WynikImportu wykonaj(const QByteArray& dane) {
        WynikCsv csv = CzytajCsv(dane);
        wynik_.odrzucone = std::move(csv.bledy);
        const std::size_t pierwszy = czytajNaglowek(csv.rekordy);
        for (std::size_t r = pierwszy; r < csv.rekordy.size(); ++r) czytajWiersz(csv.rekordy[r]);
        rozmiescBezNumeru();
        std::sort(wynik_.odrzucone.begin(), wynik_.odrzucone.end(),
                  [](const OdrzuconyWiersz& a, const OdrzuconyWiersz& b) { return a.linia < b.linia; });
        return std::move(wynik_);
    }

  private:
    struct Wiersz {
        int linia;
        std::optional<int> miejsce;
        QStringList wartosci;
    };

    int liczbaPol() const { return static_cast<int>(opisy_.size()); }
    void odrzuc(int linia, const QString& powod) { wynik_.odrzucone.push_back({linia, powod}); }

    // Checks the header row, "Nr" and the field labels or the labels alone; the index of the first
    // row of data.
    std::size_t czytajNaglowek(const std::vector<RekordCsv>& rekordy) {
        if (rekordy.empty() || rekordy.front().linia != 1) {
            if (wynik_.odrzucone.empty() || wynik_.odrzucone.front().linia != 1)
                odrzuc(1, QStringLiteral("brak wiersza nagłówka „%1”").arg(oczekiwany_));
            return 0;
        }
        QStringList kolumny;
        for (const QString& k : rekordy.front().pola) kolumny.append(k.trimmed().toLower());
        QStringList zNr{QStringLiteral("nr")};
        for (const OpisPola& p : opisy_) zNr.append(p.etykieta.toLower());
        zNumerem_ = kolumny == zNr;
        if (!zNumerem_ && kolumny != zNr.mid(1))
            odrzuc(1, QStringLiteral("nagłówek nie odpowiada kolumnom listy; oczekiwano „%1” (kolumna „Nr” "
                                     "może nie wystąpić)")
                          .arg(oczekiwany_));
        return 1;
    }

    void czytajWiersz(const RekordCsv& rekord) {
        bool puste = true;
        for (const QString& p : rekord.pola) puste = puste && p.isEmpty();
        if (puste) return;
        const int kolumn = liczbaPol() + (zNumerem_ ? 1 : 0);
        if (rekord.pola.size() != kolumn) {
            odrzuc(rekord.linia, QStringLiteral("wiersz ma %1, a powinien mieć %2")
                                     .arg(LiczbaIRzeczownik(rekord.pola.size(), QStringLiteral("pole"),
                                                            QStringLiteral("pola"), QStringLiteral("pól")))
                                     .arg(kolumn));
            return;
        }
        Wiersz wiersz{rekord.linia, std::nullopt, rekord.pola.mid(zNumerem_ ? 1 : 0)};
        if (zNumerem_ && !rekord.pola[0].trimmed().isEmpty() && !znajdzMiejsce(rekord, wiersz)) return;
        if (const QStringList bledy = bledyWartosci(wiersz); !bledy.isEmpty()) {
            odrzuc(rekord.linia, bledy.join(u' '));
            return;
        }
        if (wiersz.miejsce) zajete_.emplace(*wiersz.miejsce, rekord.linia);
        wiersze_.push_back(std::move(wiersz));
    }

    // The slot the row's number names; false when the row is rejected for it.
    bool znajdzMiejsce(const RekordCsv& rekord, Wiersz& wiersz) {
        const auto it = miejscaNumerow_.constFind(KluczNumeru(rekord.pola[0]));
        if (it == miejscaNumerow_.constEnd()) {
            odrzuc(rekord.linia,
                   QStringLiteral("na liście nie ma miejsca o numerze „%1”").arg(rekord.pola[0]));
            return false;
        }
        if (const auto z = zajete_.find(*it); z != zajete_.end()) {
            odrzuc(rekord.linia, QStringLiteral("miejsce nr %1 jest już podane w wierszu %2")
                                     .arg(rekord.pola[0])
                                     .arg(z->second));
            return false;
        }
        wiersz.miejsce = *it;
        return true;
    }

    QStringList bledyWartosci(const Wiersz& wiersz) const {
        QStringList bledy;
        if (wiersz.wartosci[0].isEmpty())
            bledy.append(QStringLiteral("puste pole „%1”").arg(opisy_[0].etykieta));
        // As on the page, a text the slot holds already is not checked again.
        const QStringList dawne = wiersz.miejsce ? lista_.wpis(*wiersz.miejsce) : QStringList();
        for (int i = 0; i < liczbaPol(); ++i) {
            if (wiersz.miejsce && wiersz.wartosci[i] == dawne.value(i)) continue;
            const OpisPola& opis = opisy_[static_cast<std::size_t>(i)];
            if (const auto blad = BladTekstu(opis.etykieta, wiersz.wartosci[i], opis.pojemnosc))
                bledy.append(*blad);
        }
        return bledy;
    }

    // Rows without a number take the free slots in order, once every numbered row has its own.
    void rozmiescBezNumeru() {
        int wolne = 0;
        auto wolneMiejsce = [&]() -> std::optional<int> {
            for (; wolne < lista_.liczbaMiejsc(); ++wolne)
                if (!zajete_.count(wolne) && (zastap_ || !lista_.uzyte(wolne))) return wolne++;
            return std::nullopt;
        };
        for (Wiersz& wiersz : wiersze_) {
            if (!wiersz.miejsce) {
                wiersz.miejsce = wolneMiejsce();
                if (!wiersz.miejsce) {
                    odrzuc(wiersz.linia,
                           QStringLiteral("brak wolnego miejsca: lista ma %1")
                               .arg(LiczbaIRzeczownik(lista_.liczbaMiejsc(), QStringLiteral("miejsce"),
                                                      QStringLiteral("miejsca"), QStringLiteral("miejsc"))));
                    continue;
                }
            }
            wynik_.wpisy.emplace_back(*wiersz.miejsce, std::move(wiersz.wartosci));
        }
    }

    const Lista& lista_;
    const std::vector<OpisPola>& opisy_;
    const bool zastap_;
    QString oczekiwany_;  // the header, for the messages
    bool zNumerem_ = false;
    QHash<QString, int> miejscaNumerow_;
    std::vector<Wiersz> wiersze_;
    std::map<int, int> zajete_;  // slot -> line that names it
    WynikImportu wynik_;
};

}  // namespace

WynikImportu ImportCsv(const Lista& lista, const QByteArray& dane, bool zastap) {
    return Import(lista, zastap).wykonaj(dane);
}

void ZastosujImport(Lista& lista, const WynikImportu& wynik, bool zastap) {
    std::set<int> zPliku;
    for (const auto& [miejsce, wartosci] : wynik.wpisy) zPliku.insert(miejsce);
    if (zastap)
        for (const int s : lista.uzyteMiejsca())
            if (!zPliku.count(s)) lista.usunWpis(s);
    for (const auto& [miejsce, wartosci] : wynik.wpisy) lista.ustawWpis(miejsce, wartosci);
}
