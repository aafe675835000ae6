#include "eksport/polecenie.h"

#include "eksport/opcje.h"

namespace {

Argumenty Blad(const QString& tekst) { return {std::nullopt, false, tekst}; }

// The options of this program beside the shared ones, and which exports know them (empty: all).
struct Opcja {
    const char* nazwa;
    bool zWartoscia;
    QList<RodzajEksportu> dla;
};

QList<OpcjaWiersza> Opcje(RodzajEksportu rodzaj) {
    using R = RodzajEksportu;
    static const QList<Opcja> wlasne{
        {"--do", true, {}},
        {"--nadpisz", false, {}},
        {"--dpi", true, {R::Pdf}},
        {"--kropka", false, {R::Csv}},
    };
    QList<OpcjaWiersza> opcje = OpcjeWyboru();
    for (const Opcja& o : wlasne)
        opcje.append({QLatin1String(o.nazwa), o.zWartoscia, o.dla.isEmpty() || o.dla.contains(rodzaj)});
    opcje.append(OpcjeFa3(rodzaj == R::Ksef));
    return opcje;
}

// One known option and its value (empty for an option without one) into the command, or the
// usage error when the value is wrong.
std::optional<QString> UstawOpcje(Polecenie& p, const QString& nazwa, const QString& w) {
    if (nazwa == QLatin1String("--do")) {
        if (w.isEmpty()) return QStringLiteral("--do wymaga ścieżki");
        p.cel = w;
    } else if (nazwa == QLatin1String("--nadpisz")) {
        p.nadpisz = true;
    } else if (nazwa == QLatin1String("--dpi")) {
        if (w != QLatin1String("1200") && w != QLatin1String("600") && w != QLatin1String("300"))
            return QStringLiteral("--dpi przyjmuje 1200, 600 albo 300, podano „%1”").arg(w);
        p.dpi = w.toInt();
    } else if (nazwa == QLatin1String("--kropka")) {
        p.kropka = true;
    } else if (const std::optional<QString> blad = UstawWybor(p.wybor, nazwa, w)) {
        return blad;
    } else {
        return UstawOpcjeKsef(p.ksef, nazwa, w);
    }
    return std::nullopt;
}

}  // namespace

Argumenty CzytajArgumenty(const QStringList& argumenty) {
    if (ProsbaOPomoc(argumenty)) return {std::nullopt, true, {}};
    if (argumenty.isEmpty()) return Blad(QStringLiteral("brak polecenia (pdf, ksef albo csv)"));

    Polecenie p;
    const QString rodzaj = argumenty.first();
    if (rodzaj == QLatin1String("pdf"))
        p.rodzaj = RodzajEksportu::Pdf;
    else if (rodzaj == QLatin1String("ksef"))
        p.rodzaj = RodzajEksportu::Ksef;
    else if (rodzaj == QLatin1String("csv"))
        p.rodzaj = RodzajEksportu::Csv;
    else
        return Blad(QStringLiteral("nieznane polecenie „%1” (znane: pdf, ksef, csv)").arg(rodzaj));

    QSet<QString> podane;
    if (const std::optional<QString> blad = CzytajOpcje(
            argumenty, 1, rodzaj, Opcje(p.rodzaj), podane,
            [&](const QString& nazwa, const QString& wartosc) { return UstawOpcje(p, nazwa, wartosc); }))
        return Blad(*blad);
    if (p.rodzaj != RodzajEksportu::Csv && p.cel.isEmpty())
        return Blad(QStringLiteral("polecenie %1 wymaga folderu wyników (--do FOLDER)").arg(rodzaj));
    if (const std::optional<QString> blad = SprawdzOpcjeKsef(p.ksef, podane)) return Blad(*blad);
    if (p.rodzaj == RodzajEksportu::Csv && p.nadpisz && p.cel.isEmpty())
        return Blad(QStringLiteral("--nadpisz dotyczy pliku --do, a wynik idzie na standardowe wyjście"));
    return {p, false, {}};
}

QString TekstPomocy() {
    return QStringLiteral(
               "Użycie: faktura-eksport POLECENIE [WYBÓR] [OPCJE]\n"
               "\n"
               "Eksportuje zapisane dokumenty (faktury i faktury korygujące) z folderu danych, w którym\n"
               "program jest uruchomiony (jak moduł: „\\Admini\\siec.dat” wskazuje folder danych).\n"
               "Plików danych nie zmienia i niczego nigdzie nie wysyła.\n"
               "\n"
               "Polecenia:\n"
               "  pdf    każdy dokument jako plik PDF z tą samą stroną, co „Drukuj” (jedna strona na "
               "dokument,\n"
               "         czcionki osadzone; czcionka wydruku z FONT\\font_welkaro.dat w bieżącym folderze)\n"
               "  ksef   każdy dokument jako plik XML e-faktury FA(3) (KSeF)\n"
               "  csv    rejestr sprzedaży wybranych dokumentów w jednym pliku CSV\n"
               "\n") +
           PomocWyboru() +
           QStringLiteral(
               "\n"
               "Wynik:\n"
               "  --do FOLDER         pdf, ksef: folder wyników (tworzony, gdy go nie ma); jeden plik na\n"
               "                      dokument, np. F_12_2026.pdf, K_3_K_2026.xml\n"
               "  --do PLIK.csv       csv: plik rejestru; bez --do rejestr idzie na standardowe wyjście\n"
               "  --nadpisz           zastępuje istniejące pliki (bez tej opcji istniejący plik zostaje,\n"
               "                      a dokument jest odrzucony)\n"
               "\n"
               "Opcje pdf:\n"
               "  --dpi 1200|600|300  rozdzielczość (domyślnie 1200, jak plik PDF okna drukowania)\n"
               "\n"
               "Opcje ksef (fakty, których zapisane dokumenty nie zawierają):\n") +
           PomocOpcjiFa3() +
           QStringLiteral(
               "\n"
               "Opcje csv:\n"
               "  --kropka            kropka dziesiętna zamiast przecinka\n"
               "\n"
               "Postęp i odrzucone dokumenty (każdy w jednym wierszu: który i dlaczego) idą na standardowe\n"
               "wyjście błędów.\n"
               "\n"
               "Kod wyjścia: 0 – wyeksportowano wszystkie wybrane dokumenty (także gdy wyboru nie spełnia\n"
               "żaden dokument, jakkolwiek go podano); 1 – część odrzucono albo eksport się nie udał;\n"
               "2 – błędne wywołanie.\n");
}
