#include "wysylka/polecenie_ksef.h"

#include "eksport/opcje.h"
#include "ksef/srodowiska.h"
#include "wysylka/wysylka.h"

namespace {

ArgumentyKsef BladUzycia(const QString& tekst) { return {std::nullopt, false, tekst}; }

using R = RodzajPoleceniaKsef;

QList<OpcjaWiersza> OpcjePolecenia(R rodzaj) {
    const bool doPlikow = rodzaj == R::Upo || rodzaj == R::Xml;
    const bool wysylka = rodzaj == R::Wyslij;
    const bool offline = rodzaj == R::Offline;
    QList<OpcjaWiersza> opcje = OpcjeWyboru();
    opcje.append({QStringLiteral("--do"), true, doPlikow});
    opcje.append({QStringLiteral("--nadpisz"), false, doPlikow});
    opcje.append({QStringLiteral("--srodowisko"), true, wysylka || offline});
    opcje.append({QStringLiteral("--token-plik"), true, wysylka});
    opcje.append({QStringLiteral("--certyfikat"), true, wysylka || offline});
    opcje.append({QStringLiteral("--klucz"), true, wysylka || offline});
    opcje.append({QStringLiteral("--tryb"), true, offline});
    opcje.append({QStringLiteral("--koniec"), true, offline});
    // The offline issue makes the bytes that are sent later: the same FA(3) options.
    opcje.append(OpcjeFa3(wysylka || offline));
    return opcje;
}

std::optional<QString> UstawOpcje(PolecenieKsef& p, const QString& nazwa, const QString& w) {
    const auto sciezka = [&](std::optional<QString>& cel) -> std::optional<QString> {
        if (w.isEmpty()) return QStringLiteral("%1 wymaga ścieżki pliku").arg(nazwa);
        cel = w;
        return std::nullopt;
    };
    if (nazwa == QLatin1String("--do")) {
        if (w.isEmpty()) return QStringLiteral("--do wymaga ścieżki");
        p.cel = w;
    } else if (nazwa == QLatin1String("--nadpisz")) {
        p.nadpisz = true;
    } else if (nazwa == QLatin1String("--srodowisko")) {
        QString blad;
        if (!ZnajdzSrodowisko(w, &blad)) return QStringLiteral("--srodowisko: %1").arg(blad);
        p.srodowisko = w;
    } else if (nazwa == QLatin1String("--token-plik")) {
        return sciezka(p.plikTokenu);
    } else if (nazwa == QLatin1String("--certyfikat")) {
        return sciezka(p.plikCertyfikatu);
    } else if (nazwa == QLatin1String("--klucz")) {
        return sciezka(p.plikKlucza);
    } else if (nazwa == QLatin1String("--tryb")) {
        const std::optional<TrybOffline> tryb = TrybOfflineZeSlowa(w);
        if (!tryb)
            return QStringLiteral("--tryb: nieznany tryb „%1” (znane: offline24, offline, awaryjny)").arg(w);
        p.trybOffline = *tryb;
    } else if (nazwa == QLatin1String("--koniec")) {
        const QDate data = QDate::fromString(w, QStringLiteral("yyyy-MM-dd"));
        if (!data.isValid()) return QStringLiteral("--koniec wymaga daty w postaci RRRR-MM-DD");
        p.koniec = data;
    } else if (std::optional<QString> blad = UstawWybor(p.wybor, nazwa, w)) {
        return blad;
    } else {
        return UstawOpcjeKsef(p.ksef, nazwa, w);
    }
    return std::nullopt;
}

}  // namespace

ArgumentyKsef CzytajArgumentyKsef(const QStringList& argumenty) {
    if (ProsbaOPomoc(argumenty)) return {std::nullopt, true, {}};
    PolecenieKsef p;
    if (argumenty.isEmpty()) return {p, false, {}};
    const QString nazwa = argumenty.first();
    if (nazwa == QLatin1String("stan"))
        p.rodzaj = R::Stan;
    else if (nazwa == QLatin1String("upo"))
        p.rodzaj = R::Upo;
    else if (nazwa == QLatin1String("xml"))
        p.rodzaj = R::Xml;
    else if (nazwa == QLatin1String("wyslij"))
        p.rodzaj = R::Wyslij;
    else if (nazwa == QLatin1String("offline"))
        p.rodzaj = R::Offline;
    else
        return BladUzycia(
            QStringLiteral("nieznane polecenie „%1” (znane: stan, upo, xml, wyslij, offline)").arg(nazwa));

    QSet<QString> podane;
    if (const std::optional<QString> blad = CzytajOpcje(
            argumenty, 1, nazwa, OpcjePolecenia(p.rodzaj), podane,
            [&](const QString& opcja, const QString& wartosc) { return UstawOpcje(p, opcja, wartosc); }))
        return BladUzycia(*blad);
    if ((p.rodzaj == R::Upo || p.rodzaj == R::Xml) && p.cel.isEmpty())
        return BladUzycia(QStringLiteral("polecenie %1 wymaga folderu wyników (--do KATALOG)").arg(nazwa));
    if (const std::optional<QString> blad = SprawdzOpcjeKsef(p.ksef, podane)) return BladUzycia(*blad);
    if (p.plikTokenu && (p.plikCertyfikatu || p.plikKlucza))
        return BladUzycia(QStringLiteral("podaj albo --token-plik, albo --certyfikat i --klucz"));
    if (p.plikCertyfikatu.has_value() != p.plikKlucza.has_value())
        return BladUzycia(QStringLiteral("--certyfikat i --klucz podaje się razem"));
    if (p.trybOffline == TrybOffline::Offline && !p.koniec)
        return BladUzycia(QStringLiteral(
            "--tryb offline wymaga daty końca ogłoszonej niedostępności KSeF (--koniec RRRR-MM-DD)"));
    if (p.trybOffline == TrybOffline::Offline24 && p.koniec)
        return BladUzycia(QStringLiteral("--koniec dotyczy trybów offline i awaryjny, nie offline24"));
    return {p, false, {}};
}

QString TekstPomocyKsef() {
    return QStringLiteral(
               "Użycie: faktura-ksef [POLECENIE [WYBÓR] [OPCJE]]\n"
               "\n"
               "Wysyła zapisane dokumenty (faktury i faktury korygujące) z folderu danych, w którym\n"
               "program jest uruchomiony (jak moduł: „\\Admini\\siec.dat” wskazuje folder danych), do KSeF\n"
               "i pokazuje, co KSeF o nich wie. Bez polecenia otwiera okno.\n"
               "\n"
               "Polecenia:\n"
               "  stan     jeden wiersz na dokument, pola rozdzielone tabulatorem: numer, data\n"
               "           wystawienia, nabywca, kwota brutto, stan (niewysłany, wysłany, przyjęty,\n"
               "           odrzucony, offline; nieznany, gdy pliku stanu nie da się odczytać),\n"
               "           numer KSeF, powód odrzucenia albo termin wysłania dokumentu wystawionego\n"
               "           offline, link weryfikacyjny KSeF (KOD I); dzień przed terminem i po nim\n"
               "           ostrzeżenie na standardowym wyjściu błędów\n"
               "  upo      zachowane UPO dokumentów jako pliki, np. F_12_2026.upo.xml\n"
               "  xml      zachowane pliki FA(3) wysłanych dokumentów, np. F_12_2026.xml\n"
               "  wyslij   wysyła wybrane dokumenty, których jeszcze nie ma w KSeF, i czeka na decyzję;\n"
               "           dokumenty wystawione offline idą z oznaczeniem trybu offline\n"
               "  offline  wystawia wybrane dokumenty offline, bez łączenia z KSeF: zachowuje ich pliki\n"
               "           FA(3), tworzy KOD I („OFFLINE”) i KOD II („CERTYFIKAT”, podpisany kluczem\n"
               "           certyfikatu KSeF typu Offline) na wydruk i PDF oraz zapisuje termin wysłania;\n"
               "           dokumentowi już wystawionemu offline ustawia nowy tryb i termin\n"
               "\n") +
           PomocWyboru() +
           QStringLiteral(
               "\n"
               "Wynik (upo, xml):\n"
               "  --do KATALOG        folder wyników (tworzony, gdy go nie ma)\n"
               "  --nadpisz           zastępuje istniejące pliki (bez tej opcji istniejący plik zostaje,\n"
               "                      a dokument jest odrzucony)\n"
               "\n"
               "Opcje wyslij (bez nich: ustawienia KSeF folderu danych, Admini\\ksef.ini):\n"
               "  --srodowisko test|demo|produkcja|ADRES  które KSeF\n"
               "  --token-plik PLIK   token KSeF z pliku (bez tej opcji i bez certyfikatu: token\n"
               "                      z pęku kluczy pulpitu)\n"
               "  --certyfikat PLIK.crt --klucz PLIK.key\n"
               "                      certyfikat KSeF i jego klucz; hasło klucza ze zmiennej\n"
               "                      FAKTURA_KSEF_HASLO, z pęku kluczy albo wpisane (bez echa)\n"
               "\n"
               "Opcje offline (--srodowisko jak wyżej; jego adres trafia do kodów QR):\n"
               "  --tryb offline24|offline|awaryjny\n"
               "                      offline24 (domyślny, wybór sprzedawcy): termin – następny dzień\n"
               "                      roboczy po dacie wystawienia; offline (ogłoszona niedostępność\n"
               "                      KSeF): następny dzień roboczy po jej końcu; awaryjny (ogłoszona\n"
               "                      awaria KSeF): 7 dni roboczych od końca awarii, liczone od nowa przy\n"
               "                      każdym kolejnym komunikacie o awarii; dni robocze bez sobót,\n"
               "                      niedziel i świąt państwowych\n"
               "  --koniec RRRR-MM-DD koniec niedostępności (offline, wymagany) albo awarii (awaryjny; bez\n"
               "                      niego termin zostaje nieustalony do kolejnego wywołania z --koniec)\n"
               "  --certyfikat PLIK.crt --klucz PLIK.key\n"
               "                      certyfikat KSeF typu Offline i jego klucz (bez nich: z ustawień "
               "KSeF);\n"
               "                      hasło klucza jak przy wyslij\n"
               "\n"
               "Opcje FA(3) (wyslij, offline):\n") +
           PomocOpcjiFa3() +
           QStringLiteral(
               "\n"
               "Stan każdego dokumentu jest zapisywany w folderze KSeF folderu danych; innych plików\n"
               "danych program nie zmienia. Postęp i komunikaty idą na standardowe wyjście błędów.\n"
               "\n"
               "Kod wyjścia: 0 – wszystko się udało; 1 – część dokumentów odrzucono albo polecenie się\n"
               "nie udało; 2 – błędne wywołanie.\n");
}
