#pragma once
// The FA(3) bytes of a document as KSeF gets them, made once and kept in the data folder, and the
// KOD I link made from them: shared by the sending and the offline issue, so that an invoice
// issued offline is later sent with exactly the bytes its printed codes name.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>

#include "eksport/ksef.h"
#include "eksport/wybor.h"
#include "store/rekordy.h"
#include "store/system_plikow.h"

// What the kept bytes were made from: the record, and for a correction the KSeF number of its
// invoice (which its bytes name once known).
QString SkrotRekordu(const TDokument& d, const std::optional<FakturaKorygowana>& korygowana);

struct BajtyDokumentu {
    std::optional<QByteArray> xml;   // nullopt: none can be given (not an FA(3) invoice, lost ones)
    QString blad;                    // why not, Polish
    bool noweZaZmienione = false;    // kept bytes of an earlier form of the record were replaced
    bool korektaTechniczna = false;  // and they are an offline invoice's technical correction
};

// The kept bytes of `nazwa`, made from the record when none are kept. Kept bytes stay the
// document's, unless it never became an invoice in KSeF (never sent, or rejected online) and its
// record was changed since; a document rejected after an offline issue gets new bytes (its
// technical correction), which differ from the rejected ones. An invoice issued offline whose
// kept bytes are gone gets none: new ones would not be what its printed codes name.
// `kontekst.czasWytworzenia` is set when bytes are made.
BajtyDokumentu BajtyFa3(SystemPlikow& system, const QString& katalogDanych, KontekstKsef& kontekst,
                        const TDokument& d, const QString& nazwa,
                        const std::optional<FakturaKorygowana>& korygowana);

// The KOD I link of the bytes: their P_1 and SHA-256, and the seller's NIP of the firm's data.
// Empty when the bytes hold no issue date or the firm no NIP.
QString LinkKoduIBajtow(const QUrl& bazaQr, const TDaneFirmy& firma, const QByteArray& xml);

// The chosen invoices and corrections of the document file in file order, as the sending and the
// offline issue go through them: each with its name of the KSeF files and, for a correction, its
// invoice as stored before it with that invoice's name.
struct WybranyDokument {
    const TDokument& d;
    std::int64_t pozycja;  // in the file, from 1
    QString nazwa;
    std::optional<FakturaKorygowana> korygowana;
    QString nazwaFaktury;  // of a correction's invoice; empty when the file holds none before it
};

struct PrzegladDokumentow {
    SystemPlikow& system;
    QString plikDokumentow;
    const FiltrDokumentow& filtr;
    std::function<bool()> przerwij;  // true: no further document is given

    // How many documents `kazdy` gives at most (the progress bar's length).
    int liczba() const;
    // A second record with a name already met (two records of one kind, number and suffix share one
    // state) goes to `powtorzony` and not to `dzialanie`.
    void kazdy(const std::function<void(const QString& nazwa, std::int64_t pozycja)>& powtorzony,
               const std::function<void(WybranyDokument&)>& dzialanie) const;
};
