#include "ustawienia/listy.h"

#include <QHash>
#include <algorithm>
#include <map>
#include <set>

#include "store/rekordy.h"
#include "ustawienia/pliki_stron.h"

namespace {

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
        PoleListy_<&TBazaUslug::netto, TBazaUslug>("netto", "Netto"),
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

    void wczytaj(SystemPlikow& system) { CzytajPlikZRekordem(system, sciezka_, plik_); }

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

WynikImportu ImportCsv(const Lista& lista, const QByteArray& dane, bool zastap) {
    WynikImportu wynik;
    WynikCsv csv = CzytajCsv(dane);
    wynik.odrzucone = std::move(csv.bledy);
    const std::vector<OpisPola>& opisy = lista.pola();
    const int liczbaPol = static_cast<int>(opisy.size());

    QStringList naglowek;
    for (const OpisPola& p : opisy) naglowek.append(p.etykieta);
    const QString oczekiwany = QStringLiteral("Nr;") + naglowek.join(u';');

    auto odrzuc = [&wynik](int linia, const QString& powod) { wynik.odrzucone.push_back({linia, powod}); };

    if (csv.rekordy.empty() || csv.rekordy.front().linia != 1) {
        if (wynik.odrzucone.empty() || wynik.odrzucone.front().linia != 1)
            odrzuc(1, QStringLiteral("brak wiersza nagłówka „%1”").arg(oczekiwany));
    }
    bool zNumerem = false;
    std::size_t pierwszy = 0;
    if (!csv.rekordy.empty() && csv.rekordy.front().linia == 1) {
        QStringList kolumny;
        for (const QString& k : csv.rekordy.front().pola) kolumny.append(k.trimmed().toLower());
        QStringList zNr{QStringLiteral("nr")};
        for (const QString& k : naglowek) zNr.append(k.toLower());
        QStringList bezNr = zNr.mid(1);
        zNumerem = kolumny == zNr;
        if (!zNumerem && kolumny != bezNr)
            odrzuc(1, QStringLiteral("nagłówek nie odpowiada kolumnom listy; oczekiwano „%1” (kolumna „Nr” "
                                     "może nie wystąpić)")
                          .arg(oczekiwany));
        pierwszy = 1;
    }
    const int kolumn = liczbaPol + (zNumerem ? 1 : 0);

    QHash<QString, int> miejscaNumerow;
    for (int s = lista.liczbaMiejsc() - 1; s >= 0; --s) miejscaNumerow.insert(KluczNumeru(lista.numer(s)), s);

    struct Wiersz {
        int linia;
        std::optional<int> miejsce;
        QStringList wartosci;
    };
    std::vector<Wiersz> wiersze;
    std::map<int, int> zajete;  // slot -> line that names it
    for (std::size_t r = pierwszy; r < csv.rekordy.size(); ++r) {
        const RekordCsv& rekord = csv.rekordy[r];
        bool puste = true;
        for (const QString& p : rekord.pola) puste = puste && p.isEmpty();
        if (puste) continue;
        if (rekord.pola.size() != kolumn) {
            odrzuc(
                rekord.linia,
                QStringLiteral("wiersz ma %1 pól, a powinien mieć %2").arg(rekord.pola.size()).arg(kolumn));
            continue;
        }
        Wiersz wiersz{rekord.linia, std::nullopt, rekord.pola.mid(zNumerem ? 1 : 0)};
        if (zNumerem && !rekord.pola[0].trimmed().isEmpty()) {
            const auto it = miejscaNumerow.constFind(KluczNumeru(rekord.pola[0]));
            if (it == miejscaNumerow.constEnd()) {
                odrzuc(rekord.linia,
                       QStringLiteral("na liście nie ma miejsca o numerze „%1”").arg(rekord.pola[0]));
                continue;
            }
            if (const auto z = zajete.find(*it); z != zajete.end()) {
                odrzuc(rekord.linia, QStringLiteral("miejsce nr %1 jest już podane w wierszu %2")
                                         .arg(rekord.pola[0])
                                         .arg(z->second));
                continue;
            }
            wiersz.miejsce = *it;
        }
        QStringList bledy;
        if (wiersz.wartosci[0].isEmpty())
            bledy.append(QStringLiteral("puste pole „%1”").arg(opisy[0].etykieta));
        // As on the page, a text the slot holds already is not checked again.
        const QStringList dawne = wiersz.miejsce ? lista.wpis(*wiersz.miejsce) : QStringList();
        for (int i = 0; i < liczbaPol; ++i) {
            if (wiersz.miejsce && wiersz.wartosci[i] == dawne.value(i)) continue;
            const OpisPola& opis = opisy[static_cast<std::size_t>(i)];
            if (const auto blad = BladTekstu(opis.etykieta, wiersz.wartosci[i], opis.pojemnosc))
                bledy.append(*blad);
        }
        if (!bledy.isEmpty()) {
            odrzuc(rekord.linia, bledy.join(u' '));
            continue;
        }
        if (wiersz.miejsce) zajete.emplace(*wiersz.miejsce, rekord.linia);
        wiersze.push_back(std::move(wiersz));
    }

    // Rows without a number take the free slots in order, once every numbered row has its own.
    int wolne = 0;
    auto wolneMiejsce = [&]() -> std::optional<int> {
        for (; wolne < lista.liczbaMiejsc(); ++wolne)
            if (!zajete.count(wolne) && (zastap || !lista.uzyte(wolne))) return wolne++;
        return std::nullopt;
    };
    for (Wiersz& wiersz : wiersze) {
        if (!wiersz.miejsce) {
            wiersz.miejsce = wolneMiejsce();
            if (!wiersz.miejsce) {
                odrzuc(wiersz.linia,
                       QStringLiteral("brak wolnego miejsca: lista ma %1 miejsc").arg(lista.liczbaMiejsc()));
                continue;
            }
        }
        wynik.wpisy.emplace_back(*wiersz.miejsce, std::move(wiersz.wartosci));
    }
    std::sort(wynik.odrzucone.begin(), wynik.odrzucone.end(),
              [](const OdrzuconyWiersz& a, const OdrzuconyWiersz& b) { return a.linia < b.linia; });
    return wynik;
}

void ZastosujImport(Lista& lista, const WynikImportu& wynik, bool zastap) {
    std::set<int> zPliku;
    for (const auto& [miejsce, wartosci] : wynik.wpisy) zPliku.insert(miejsce);
    if (zastap)
        for (const int s : lista.uzyteMiejsca())
            if (!zPliku.count(s)) lista.usunWpis(s);
    for (const auto& [miejsce, wartosci] : wynik.wpisy) lista.ustawWpis(miejsce, wartosci);
}
