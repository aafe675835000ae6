#include "store/pary.h"

#include <QSet>
#include <QStringDecoder>

#include "store/blad.h"
#include "store/cale_pliki.h"
#include "store/sciezki.h"

namespace {

BladPliku Uszkodzony(const QString& sciezka, int numerLinii, const QString& powod) {
    return BladPliku(QStringLiteral("odczyt"), sciezka, 0,
                     QStringLiteral("plik jest uszkodzony (wiersz %1: %2)").arg(numerLinii).arg(powod));
}

QString Zakoduj(const QString& wartosc) {
    QString wynik;
    wynik.reserve(wartosc.size());
    for (const QChar znak : wartosc) {
        if (znak == u'\\')
            wynik += QLatin1String("\\\\");
        else if (znak == u'\n')
            wynik += QLatin1String("\\n");
        else if (znak == u'\r')
            wynik += QLatin1String("\\r");
        else
            wynik += znak;
    }
    return wynik;
}

std::optional<QString> Odkoduj(const QString& tekst) {
    QString wynik;
    wynik.reserve(tekst.size());
    for (qsizetype i = 0; i < tekst.size(); ++i) {
        if (tekst[i] != u'\\') {
            wynik += tekst[i];
            continue;
        }
        if (++i >= tekst.size()) return std::nullopt;
        if (tekst[i] == u'\\')
            wynik += u'\\';
        else if (tekst[i] == u'n')
            wynik += u'\n';
        else if (tekst[i] == u'r')
            wynik += u'\r';
        else
            return std::nullopt;
    }
    return wynik;
}

}  // namespace

std::optional<QString> Pary::wartosc(const QString& klucz) const {
    for (const Linia& linia : linie_)
        if (!linia.klucz.isEmpty() && linia.klucz == klucz) return linia.wartosc;
    return std::nullopt;
}

void Pary::ustaw(const QString& klucz, const QString& wartosc) {
    for (Linia& linia : linie_)
        if (linia.klucz == klucz) {
            linia.wartosc = wartosc;
            return;
        }
    linie_.push_back({klucz, wartosc});
}

void Pary::ustawNiepuste(const QString& klucz, const QString& wartosc) {
    if (wartosc.isEmpty())
        usun(klucz);
    else
        ustaw(klucz, wartosc);
}

void Pary::usun(const QString& klucz) {
    std::erase_if(linie_, [&](const Linia& linia) { return linia.klucz == klucz; });
}

Pary Pary::Z(const QByteArray& bajty, const QString& sciezka) {
    if (bajty.contains('\0'))
        throw Uszkodzony(sciezka, 1 + bajty.left(bajty.indexOf('\0')).count('\n'),
                         QStringLiteral("bajt zerowy"));
    QStringDecoder dekoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString tekst = dekoder.decode(bajty);
    if (dekoder.hasError())
        throw BladPliku(QStringLiteral("odczyt"), sciezka, 0,
                        QStringLiteral("plik jest uszkodzony (nie jest tekstem UTF-8)"));
    Pary pary;
    QSet<QString> klucze;
    int numer = 0;
    for (QStringView linia : QStringView(tekst).split(u'\n')) {
        ++numer;
        if (linia.endsWith(u'\r')) linia.chop(1);
        if (linia.trimmed().isEmpty()) continue;
        if (linia.startsWith(u'#')) {
            pary.linie_.push_back({QString(), linia.toString()});
            continue;
        }
        const qsizetype rowna = linia.indexOf(u'=');
        if (rowna < 0) throw Uszkodzony(sciezka, numer, QStringLiteral("brak znaku „=”"));
        const QString klucz = linia.left(rowna).trimmed().toString();
        if (klucz.isEmpty()) throw Uszkodzony(sciezka, numer, QStringLiteral("pusty klucz"));
        if (klucze.contains(klucz))
            throw Uszkodzony(sciezka, numer, QStringLiteral("klucz „%1” powtórzony").arg(klucz));
        const std::optional<QString> wartosc = Odkoduj(linia.mid(rowna + 1).toString());
        if (!wartosc) throw Uszkodzony(sciezka, numer, QStringLiteral("błędny znak „\\”"));
        klucze.insert(klucz);
        pary.linie_.push_back({klucz, *wartosc});
    }
    return pary;
}

QByteArray Pary::bajty() const {
    QString tekst;
    for (const Linia& linia : linie_) {
        if (linia.klucz.isEmpty())
            tekst += linia.wartosc;
        else
            tekst += linia.klucz + u'=' + Zakoduj(linia.wartosc);
        tekst += u'\n';
    }
    return tekst.toUtf8();
}

namespace {

OpcjeZapisu Dokladnie(bool zastap) {
    OpcjeZapisu opcje;
    opcje.zastap = zastap;
    opcje.sciezkaPakietu = false;
    return opcje;
}

}  // namespace

ZablokowanyPlik ZablokujTworzac(SystemPlikow& system, const QString& sciezka,
                                std::chrono::milliseconds czas) {
    UtworzKatalogi(system, KatalogNadrzedny(sciezka));
    if (!system.istnieje(sciezka)) {
        try {
            ZapiszAtomowo(system, sciezka, QByteArray(), Dokladnie(false));
        } catch (const CelIstnieje&) {
            // Another copy made it meanwhile: the same empty file.
        }
    }
    return ZablokowanyPlik(system, sciezka, czas);
}

std::optional<QByteArray> CzytajJesliIstnieje(SystemPlikow& system, const QString& sciezka,
                                              std::uint64_t najwiecej) {
    if (!system.istnieje(sciezka)) return std::nullopt;
    OtwartyPlik plik(system, sciezka, TrybOtwarcia::Odczyt);
    QByteArray dane = CzytajCalyPlik(plik, najwiecej);
    plik.zamknij();
    return dane;
}

Pary ZmienParyPodBlokada(SystemPlikow& system, const QString& sciezka, std::uint64_t najwiecej,
                         const std::function<void(Pary& pary)>& zmien) {
    ZablokowanyPlik blokada = ZablokujTworzac(system, sciezka);
    Pary pary = Pary::Z(CzytajCalyPlik(blokada.plik(), najwiecej), sciezka);
    zmien(pary);
    ZapiszAtomowo(system, sciezka, pary.bajty(), Dokladnie(true));
    // Only read through this handle, so its close has nothing to report.
    blokada.plik().porzuc();
    return pary;
}
