#include "wysylka/bajty_ksef.h"

#include <QDateTime>
#include <QThread>

#include "calc/dokument.h"
#include "ksef/kody_qr.h"
#include "ksef/kryptografia.h"
#include "store/plik_rekordow.h"
#include "store/stan_ksef.h"

QString SkrotRekordu(const TDokument& d, const std::optional<FakturaKorygowana>& korygowana) {
    QByteArray dane(reinterpret_cast<const char*>(&d), sizeof d);
    if (korygowana) dane += korygowana->numerKsef.toUtf8();
    return Sha256Base64(dane);
}

BajtyDokumentu BajtyFa3(SystemPlikow& system, const QString& katalogDanych, KontekstKsef& kontekst,
                        const TDokument& d, const QString& nazwa,
                        const std::optional<FakturaKorygowana>& korygowana) {
    const std::optional<StanKsef> stan = CzytajStanKsef(system, katalogDanych, nazwa);
    std::optional<QByteArray> zachowany = CzytajXmlKsef(system, katalogDanych, nazwa);
    const QString rekord = SkrotRekordu(d, korygowana);
    // An invoice issued offline keeps its bytes: its printed codes name them.
    const bool mozeNowe = !stan || stan->stan == StanWysylki::Niewyslany ||
                          (stan->stan == StanWysylki::Odrzucony && stan->trybOffline.isEmpty());
    const bool zmieniony = stan && !stan->skrotRekordu.isEmpty() && stan->skrotRekordu != rekord;
    const bool korektaTechniczna =
        stan && stan->stan == StanWysylki::Odrzucony && !stan->trybOffline.isEmpty();
    BajtyDokumentu wynik;
    if (zachowany && !korektaTechniczna && !(mozeNowe && zmieniony)) {
        wynik.xml = std::move(zachowany);
        return wynik;
    }
    if (!zachowany && !korektaTechniczna && stan && !stan->trybOffline.isEmpty() &&
        !stan->linkKoduI.isEmpty()) {
        wynik.blad = QStringLiteral(
                         "brak zachowanej treści faktury wystawionej offline (KSeF\\%1.xml), którą nazywają "
                         "jej wydrukowane kody")
                         .arg(nazwa);
        return wynik;
    }
    kontekst.czasWytworzenia = QDateTime::currentDateTimeUtc();
    WynikKsef fa3 = DokumentFa3(d, korygowana, kontekst);
    // A technical correction must differ from the bytes it corrects, and the creation time is all
    // that may differ: made again within the same second, they would be the rejected bytes again.
    const auto odrzucone = [&](const QByteArray& xml) {
        const QString skrot = Sha256Base64(xml);
        return skrot == stan->skrot || skrot == stan->skrotPierwotny;
    };
    if (korektaTechniczna && fa3.powody.isEmpty() && odrzucone(fa3.xml)) {
        QThread::msleep(static_cast<unsigned long>(1001 - kontekst.czasWytworzenia.time().msec()));
        kontekst.czasWytworzenia = QDateTime::currentDateTimeUtc();
        fa3 = DokumentFa3(d, korygowana, kontekst);
    }
    if (!fa3.powody.isEmpty()) {
        wynik.blad = QStringLiteral("nie może być fakturą FA(3): ") + fa3.powody.join(u"; ");
        return wynik;
    }
    if (zachowany) {
        ZastapXmlKsef(system, katalogDanych, nazwa, fa3.xml);
        wynik.xml = fa3.xml;
        wynik.noweZaZmienione = true;
        wynik.korektaTechniczna = korektaTechniczna;
        return wynik;
    }
    // Another workstation may have kept its bytes meanwhile: those are the document's from now on.
    wynik.xml = ZachowajXmlKsef(system, katalogDanych, nazwa, fa3.xml);
    return wynik;
}

QString LinkKoduIBajtow(const QUrl& bazaQr, const TDaneFirmy& firma, const QByteArray& xml) {
    const std::optional<QDate> data = DataWystawieniaFa3(xml);
    const QString nip = CyfryNip(firma.nip.tekst()).value_or(QString());
    if (!data || nip.isEmpty()) return {};
    return LinkKoduI(bazaQr, nip, *data, Sha256(xml));
}

namespace {
constexpr std::size_t RekordowPrzegladuNaOdczyt = 64;
bool JestDokumentem(const TDokument& d) { return JestFaktura(d) || JestKorekta(d); }
}  // namespace

int PrzegladDokumentow::liczba() const {
    int wybrane = 0;
    std::int64_t pozycja = 0;
    KazdyRekord<TDokument>(system, plikDokumentow, RekordowPrzegladuNaOdczyt, [&](const TDokument& d) {
        ++pozycja;
        if (filtr.pasuje(d, pozycja) && JestDokumentem(d)) ++wybrane;
    });
    return wybrane;
}

void PrzegladDokumentow::kazdy(
    const std::function<void(const QString& nazwa, std::int64_t pozycja)>& powtorzony,
    const std::function<void(WybranyDokument&)>& dzialanie) const {
    QHash<QString, QString> nazwaFaktury;  // invoice number as a correction keeps it -> its name
    QSet<QString> nazwy;
    SpisFaktur wczesniejsze;
    std::int64_t pozycja = 0;
    KazdyRekord<TDokument>(system, plikDokumentow, RekordowPrzegladuNaOdczyt, [&](const TDokument& d) {
        ++pozycja;
        const bool wybrany = filtr.pasuje(d, pozycja) && JestDokumentem(d);
        std::optional<FakturaKorygowana> korygowana = JestKorekta(d) ? wczesniejsze.znajdz(d) : std::nullopt;
        if (JestFaktura(d)) nazwaFaktury.insert(NumerDokumentu(d), NazwaDokumentu(d));
        wczesniejsze.dodaj(d);
        if (!wybrany || (przerwij && przerwij())) return;
        const QString nazwa = NazwaDokumentu(d);
        if (nazwy.contains(nazwa)) {
            powtorzony(nazwa, pozycja);
            return;
        }
        nazwy.insert(nazwa);
        WybranyDokument w{d, pozycja, nazwa, std::move(korygowana), QString()};
        if (w.korygowana) w.nazwaFaktury = nazwaFaktury.value(w.korygowana->numer);
        dzialanie(w);
    });
}
