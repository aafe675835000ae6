#include "eksport/opcje.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

bool Rok(const QString& t) {
    static const QRegularExpression WzorRoku(QStringLiteral("^\\d{4}$"));
    return WzorRoku.match(t).hasMatch();
}

bool Miesiac(const QString& t) {
    static const QRegularExpression WzorMiesiaca(QStringLiteral("^\\d{4}-(0[1-9]|1[0-2])$"));
    return WzorMiesiaca.match(t).hasMatch();
}

}  // namespace

QList<OpcjaWiersza> OpcjeWyboru() {
    return {{QStringLiteral("--rok"), true},
            {QStringLiteral("--miesiac"), true},
            {QStringLiteral("--numer"), true},
            {QStringLiteral("--pozycja"), true}};
}

QList<OpcjaWiersza> OpcjeFa3(bool dotyczy) {
    return {{QStringLiteral("--podstawa-zwolnienia"), true, dotyczy},
            {QStringLiteral("--rodzaj-podstawy"), true, dotyczy},
            {QStringLiteral("--metoda-kasowa"), false, dotyczy},
            {QStringLiteral("--podzielona-platnosc"), false, dotyczy}};
}

std::optional<QString> CzytajOpcje(
    const QStringList& argumenty, qsizetype od, const QString& polecenie, const QList<OpcjaWiersza>& znane,
    QSet<QString>& podane,
    const std::function<std::optional<QString>(const QString& nazwa, const QString& wartosc)>& ustaw) {
    for (qsizetype i = od; i < argumenty.size(); ++i) {
        QString nazwa = argumenty[i];
        std::optional<QString> wartosc;
        if (const qsizetype rowna = nazwa.indexOf(u'='); nazwa.startsWith(QLatin1String("--")) && rowna > 0) {
            wartosc = nazwa.mid(rowna + 1);
            nazwa = nazwa.left(rowna);
        }
        const auto opcja =
            std::find_if(znane.begin(), znane.end(), [&](const OpcjaWiersza& o) { return nazwa == o.nazwa; });
        if (opcja == znane.end()) return QStringLiteral("nieznana opcja „%1”").arg(argumenty[i]);
        if (!opcja->dotyczy) return QStringLiteral("opcja %1 nie dotyczy polecenia %2").arg(nazwa, polecenie);
        if (podane.contains(nazwa)) return QStringLiteral("opcja %1 podana więcej niż raz").arg(nazwa);
        podane.insert(nazwa);
        if (!opcja->zWartoscia) {
            if (wartosc) return QStringLiteral("opcja %1 nie przyjmuje wartości").arg(nazwa);
        } else if (!wartosc) {
            if (i + 1 >= argumenty.size()) return QStringLiteral("opcja %1 wymaga wartości").arg(nazwa);
            wartosc = argumenty[++i];
        }
        if (std::optional<QString> blad = ustaw(nazwa, wartosc.value_or(QString()))) return blad;
    }
    return std::nullopt;
}

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

std::optional<QString> SprawdzOpcjeKsef(const OpcjeKsef& ksef, const QSet<QString>& podane) {
    if (podane.contains(QStringLiteral("--rodzaj-podstawy")) && ksef.podstawaZwolnienia.isEmpty())
        return QStringLiteral("--rodzaj-podstawy ma sens tylko z --podstawa-zwolnienia");
    return std::nullopt;
}

bool ProsbaOPomoc(const QStringList& argumenty) {
    return std::any_of(argumenty.begin(), argumenty.end(), [](const QString& a) {
        return a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("--pomoc");
    });
}

QString PomocWyboru() {
    return QStringLiteral(
        "Wybór dokumentów (podane warunki muszą być spełnione razem; bez nich: wszystkie):\n"
        "  --rok RRRR          data wystawienia zaczyna się od RRRR\n"
        "  --miesiac RRRR-MM   data wystawienia zaczyna się od RRRR-MM\n"
        "  --numer \"12/2026\"   numer i rozszerzenie tak, jak na wydruku\n"
        "  --pozycja N         rekord numer N pliku dokumentów (od 1)\n");
}

QString PomocOpcjiFa3() {
    return QStringLiteral(
        "  --podstawa-zwolnienia \"TEKST\"  podstawa prawna zwolnienia dla pozycji ze stawką „zw”;\n"
        "                                 bez niej dokument z taką pozycją jest odrzucony\n"
        "  --rodzaj-podstawy ustawa|dyrektywa|inna  czego dotyczy podstawa (domyślnie ustawa)\n"
        "  --metoda-kasowa                sprzedawca rozlicza się metodą kasową\n"
        "  --podzielona-platnosc          mechanizm podzielonej płatności\n");
}
