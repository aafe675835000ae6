// TEMPORARY stand-in of this branch, so that the KSeF window links and its tests run; the store's
// own implementation replaces this file whole. No lock, no kept FA(3) bytes, no UPO: only what the
// window and its tests use.
#include "store/stan_ksef.h"

#include <QMap>

#include "store/cale_pliki.h"
#include "store/pliki_danych.h"
#include "store/sciezki.h"

namespace {

QString SciezkaStanu(SystemPlikow& system, const QString& nazwa) {
    return KatalogKsef(system) + u'/' + nazwa + QStringLiteral(".stan");
}

const std::pair<StanWysylki, const char*> NazwyStanow[] = {
    {StanWysylki::Niewyslany, "niewysłany"}, {StanWysylki::Wysylany, "wysyłany"},
    {StanWysylki::Wyslany, "wysłany"},       {StanWysylki::Przyjety, "przyjęty"},
    {StanWysylki::Odrzucony, "odrzucony"},   {StanWysylki::Offline, "offline"},
};

QByteArray ZapisStanuTymczasowy(const StanKsef& s) {
    QString t;
    const auto d = [&](const char* k, const QString& w) { t += QString::fromLatin1(k) + u'=' + w + u'\n'; };
    d("stan", NazwaStanu(s.stan));
    d("srodowisko", s.srodowisko);
    d("skrot", s.skrot);
    d("rozmiar", QString::number(s.rozmiar));
    d("sesja", s.numerSesji);
    d("faktura", s.numerFaktury);
    d("numer_ksef", s.numerKsef);
    d("data_przyjecia", s.dataPrzyjecia.toString(Qt::ISODate));
    d("kod", QString::number(s.kod));
    d("powod", QString(s.powod).replace(u'\n', u' '));
    d("upo", s.maUpo ? QStringLiteral("1") : QStringLiteral("0"));
    d("tryb_offline", s.trybOffline);
    d("termin_offline", s.terminOffline.toString(Qt::ISODate));
    d("czas_zmiany", s.czasZmiany.toString(Qt::ISODate));
    d("stanowisko", s.stanowisko);
    return t.toUtf8();
}

StanKsef OdczytStanuTymczasowy(const QByteArray& bajty) {
    QMap<QString, QString> w;
    for (const QString& wiersz : QString::fromUtf8(bajty).split(u'\n')) {
        const qsizetype r = wiersz.indexOf(u'=');
        if (r > 0) w.insert(wiersz.left(r), wiersz.mid(r + 1));
    }
    StanKsef s;
    for (const auto& [stan, nazwa] : NazwyStanow)
        if (w.value(QStringLiteral("stan")) == QString::fromUtf8(nazwa)) s.stan = stan;
    s.srodowisko = w.value(QStringLiteral("srodowisko"));
    s.skrot = w.value(QStringLiteral("skrot"));
    s.rozmiar = w.value(QStringLiteral("rozmiar")).toLongLong();
    s.numerSesji = w.value(QStringLiteral("sesja"));
    s.numerFaktury = w.value(QStringLiteral("faktura"));
    s.numerKsef = w.value(QStringLiteral("numer_ksef"));
    s.dataPrzyjecia = QDateTime::fromString(w.value(QStringLiteral("data_przyjecia")), Qt::ISODate);
    s.kod = w.value(QStringLiteral("kod")).toInt();
    s.powod = w.value(QStringLiteral("powod"));
    s.maUpo = w.value(QStringLiteral("upo")) == u"1";
    s.trybOffline = w.value(QStringLiteral("tryb_offline"));
    s.terminOffline = QDate::fromString(w.value(QStringLiteral("termin_offline")), Qt::ISODate);
    s.czasZmiany = QDateTime::fromString(w.value(QStringLiteral("czas_zmiany")), Qt::ISODate);
    s.stanowisko = w.value(QStringLiteral("stanowisko"));
    return s;
}

}  // namespace

QString NazwaStanu(StanWysylki stan) {
    for (const auto& [s, nazwa] : NazwyStanow)
        if (s == stan) return QString::fromUtf8(nazwa);
    return {};
}

bool JestWKsef(const StanKsef& stan) {
    return stan.stan == StanWysylki::Wysylany || stan.stan == StanWysylki::Wyslany ||
           stan.stan == StanWysylki::Przyjety;
}

QString KatalogKsef(SystemPlikow& system) {
    return RzeczywistaSciezka(system,
                              SciezkaDanych(CzytajKatalogDanych(system, system.katalogRoboczy()).katalog,
                                            QStringLiteral("\\KSeF")));
}

std::optional<StanKsef> CzytajStanKsef(SystemPlikow& system, const QString& nazwa) {
    const QString sciezka = SciezkaStanu(system, nazwa);
    if (!PlikIstnieje(system, sciezka)) return std::nullopt;
    return OdczytStanuTymczasowy(CzytajCalyPlik(system, sciezka, 1 << 20));
}

StanKsef ZmienStanKsef(SystemPlikow& system, const QString& nazwa,
                       const std::function<void(std::optional<StanKsef>& stan)>& zmien) {
    UtworzKatalogi(system, KatalogKsef(system));
    std::optional<StanKsef> stan = CzytajStanKsef(system, nazwa);
    zmien(stan);
    if (!stan) stan.emplace();
    ZapiszAtomowo(system, SciezkaStanu(system, nazwa), ZapisStanuTymczasowy(*stan));
    return *stan;
}
