#include "eksport/polecenie.h"

#include <QRegularExpression>
#include <QSet>

namespace {

Argumenty Blad(const QString& tekst) { return {std::nullopt, false, tekst}; }

bool Rok(const QString& t) {
    static const QRegularExpression WzorRoku(QStringLiteral("^\\d{4}$"));
    return WzorRoku.match(t).hasMatch();
}

bool Miesiac(const QString& t) {
    static const QRegularExpression WzorMiesiaca(QStringLiteral("^\\d{4}-(0[1-9]|1[0-2])$"));
    return WzorMiesiaca.match(t).hasMatch();
}

// Options that take a value, and which exports know them (empty: all of them).
struct Opcja {
    const char* nazwa;
    bool zWartoscia;
    QList<RodzajEksportu> dla;
};

const QList<Opcja>& Opcje() {
    using R = RodzajEksportu;
    static const QList<Opcja> opcje{
        {"--rok", true, {}},
        {"--miesiac", true, {}},
        {"--numer", true, {}},
        {"--pozycja", true, {}},
        {"--do", true, {}},
        {"--nadpisz", false, {}},
        {"--dpi", true, {R::Pdf}},
        {"--podstawa-zwolnienia", true, {R::Ksef}},
        {"--rodzaj-podstawy", true, {R::Ksef}},
        {"--metoda-kasowa", false, {R::Ksef}},
        {"--podzielona-platnosc", false, {R::Ksef}},
        {"--kropka", false, {R::Csv}},
    };
    return opcje;
}

// The selection options: their value into the command, or the usage error.
std::optional<QString> UstawWybor(KryteriaWyboru& wybor, const QString& nazwa, const QString& w) {
    if (nazwa == QLatin1String("--rok")) {
        if (!Rok(w)) return QStringLiteral("--rok wymaga roku w postaci RRRR, podano „%1”").arg(w);
        wybor.rok = w;
    } else if (nazwa == QLatin1String("--miesiac")) {
        if (!Miesiac(w))
            return QStringLiteral("--miesiac wymaga miesiąca w postaci RRRR-MM, podano „%1”").arg(w);
        wybor.miesiac = w;
    } else if (nazwa == QLatin1String("--numer")) {
        if (w.isEmpty()) return QStringLiteral("--numer wymaga numeru, np. \"12/2026\"");
        wybor.numer = w;
    } else if (nazwa == QLatin1String("--pozycja")) {
        bool ok = false;
        const qlonglong n = w.toLongLong(&ok);
        if (!ok || n < 1 || !w.front().isDigit())
            return QStringLiteral("--pozycja wymaga numeru rekordu od 1, podano „%1”").arg(w);
        wybor.pozycja = n;
    }
    return std::nullopt;
}

// The options of the FA(3) export.
std::optional<QString> UstawOpcjeKsef(OpcjeKsef& ksef, const QString& nazwa, const QString& w) {
    if (nazwa == QLatin1String("--podstawa-zwolnienia")) {
        if (w.trimmed().isEmpty()) return QStringLiteral("--podstawa-zwolnienia wymaga tekstu podstawy");
        ksef.podstawaZwolnienia = w;
    } else if (nazwa == QLatin1String("--rodzaj-podstawy")) {
        if (w == QLatin1String("ustawa"))
            ksef.rodzajPodstawy = OpcjeKsef::Podstawa::Ustawa;
        else if (w == QLatin1String("dyrektywa"))
            ksef.rodzajPodstawy = OpcjeKsef::Podstawa::Dyrektywa;
        else if (w == QLatin1String("inna"))
            ksef.rodzajPodstawy = OpcjeKsef::Podstawa::Inna;
        else
            return QStringLiteral("--rodzaj-podstawy przyjmuje ustawa, dyrektywa albo inna, podano „%1”")
                .arg(w);
    } else if (nazwa == QLatin1String("--metoda-kasowa")) {
        ksef.metodaKasowa = true;
    } else if (nazwa == QLatin1String("--podzielona-platnosc")) {
        ksef.podzielonaPlatnosc = true;
    }
    return std::nullopt;
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
    for (const QString& a : argumenty)
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("--pomoc"))
            return {std::nullopt, true, {}};
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
    for (qsizetype i = 1; i < argumenty.size(); ++i) {
        QString nazwa = argumenty[i];
        std::optional<QString> wartosc;
        if (const qsizetype rowna = nazwa.indexOf(u'='); nazwa.startsWith(QLatin1String("--")) && rowna > 0) {
            wartosc = nazwa.mid(rowna + 1);
            nazwa = nazwa.left(rowna);
        }
        const auto opcja = std::find_if(Opcje().begin(), Opcje().end(),
                                        [&](const Opcja& o) { return nazwa == QLatin1String(o.nazwa); });
        if (opcja == Opcje().end()) return Blad(QStringLiteral("nieznana opcja „%1”").arg(argumenty[i]));
        if (!opcja->dla.isEmpty() && !opcja->dla.contains(p.rodzaj))
            return Blad(QStringLiteral("opcja %1 nie dotyczy polecenia %2").arg(nazwa, rodzaj));
        if (podane.contains(nazwa)) return Blad(QStringLiteral("opcja %1 podana więcej niż raz").arg(nazwa));
        podane.insert(nazwa);
        if (!opcja->zWartoscia) {
            if (wartosc) return Blad(QStringLiteral("opcja %1 nie przyjmuje wartości").arg(nazwa));
        } else if (!wartosc) {
            if (i + 1 >= argumenty.size()) return Blad(QStringLiteral("opcja %1 wymaga wartości").arg(nazwa));
            wartosc = argumenty[++i];
        }

        if (const std::optional<QString> blad = UstawOpcje(p, nazwa, wartosc.value_or(QString())))
            return Blad(*blad);
    }
    if (p.rodzaj != RodzajEksportu::Csv && p.cel.isEmpty())
        return Blad(QStringLiteral("polecenie %1 wymaga folderu wyników (--do FOLDER)").arg(rodzaj));
    if (podane.contains(QStringLiteral("--rodzaj-podstawy")) && p.ksef.podstawaZwolnienia.isEmpty())
        return Blad(QStringLiteral("--rodzaj-podstawy ma sens tylko z --podstawa-zwolnienia"));
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
        "  pdf    każdy dokument jako plik PDF z tą samą stroną, co „Drukuj” (jedna strona na dokument,\n"
        "         czcionki osadzone; czcionka wydruku z FONT\\font_welkaro.dat w bieżącym folderze)\n"
        "  ksef   każdy dokument jako plik XML e-faktury FA(3) (KSeF)\n"
        "  csv    rejestr sprzedaży wybranych dokumentów w jednym pliku CSV\n"
        "\n"
        "Wybór dokumentów (podane warunki muszą być spełnione razem; bez nich: wszystkie):\n"
        "  --rok RRRR          data wystawienia zaczyna się od RRRR\n"
        "  --miesiac RRRR-MM   data wystawienia zaczyna się od RRRR-MM\n"
        "  --numer \"12/2026\"   numer i rozszerzenie tak, jak na wydruku\n"
        "  --pozycja N         rekord numer N pliku dokumentów (od 1)\n"
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
        "Opcje ksef (fakty, których zapisane dokumenty nie zawierają):\n"
        "  --podstawa-zwolnienia \"TEKST\"  podstawa prawna zwolnienia dla pozycji ze stawką „zw”;\n"
        "                                 bez niej dokument z taką pozycją jest odrzucony\n"
        "  --rodzaj-podstawy ustawa|dyrektywa|inna  czego dotyczy podstawa (domyślnie ustawa)\n"
        "  --metoda-kasowa                sprzedawca rozlicza się metodą kasową\n"
        "  --podzielona-platnosc          mechanizm podzielonej płatności\n"
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
