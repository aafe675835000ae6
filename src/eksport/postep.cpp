#include "eksport/postep.h"

#include <algorithm>

namespace {

constexpr int SzerokoscPaska = 30;
// Runs shorter than this end before anyone waits for them.
constexpr std::int64_t DlugiPrzebieg = 100;
constexpr qint64 OdstepRysowaniaMs = 100;

}  // namespace

void WypiszLinie(std::FILE* strumien, const QString& linia) {
    const QByteArray bajty = linia.toUtf8() + '\n';
    std::fwrite(bajty.constData(), 1, static_cast<std::size_t>(bajty.size()), strumien);
    std::fflush(strumien);
}

Postep::Postep(std::FILE* strumien, bool terminal, QString nazwa, std::int64_t razem)
    : strumien_(strumien), terminal_(terminal), nazwa_(std::move(nazwa)), razem_(razem) {}

Postep::~Postep() { zakoncz(); }

void Postep::ustaw(std::int64_t zrobione) {
    zrobione_ = zrobione;
    if (zakonczony_) return;
    if (terminal_) {
        if (!narysowany_ || !odRysowania_.isValid() || odRysowania_.elapsed() >= OdstepRysowaniaMs ||
            zrobione_ == razem_)
            rysuj();
        return;
    }
    if (razem_ < DlugiPrzebieg) return;
    const int dziesiata = static_cast<int>(std::min<std::int64_t>(10, zrobione_ * 10 / razem_));
    if (dziesiata > ostatniaDziesiata_) {
        ostatniaDziesiata_ = dziesiata;
        WypiszLinie(strumien_, QStringLiteral("%1: %2 z %3").arg(nazwa_).arg(zrobione_).arg(razem_));
    }
}

void Postep::komunikat(const QString& linia) {
    wyczysc();
    WypiszLinie(strumien_, linia);
    if (terminal_ && !zakonczony_) rysuj();
}

void Postep::zakoncz() {
    wyczysc();
    zakonczony_ = true;
}

void Postep::rysuj() {
    const std::int64_t razem = std::max<std::int64_t>(razem_, zrobione_);
    const int pelne = razem > 0 ? static_cast<int>(zrobione_ * SzerokoscPaska / razem) : SzerokoscPaska;
    const int procent = razem > 0 ? static_cast<int>(zrobione_ * 100 / razem) : 100;
    const QString linia = QStringLiteral("\r%1: %2 z %3 [%4%5] %6%")
                              .arg(nazwa_)
                              .arg(zrobione_)
                              .arg(razem)
                              .arg(QString(pelne, u'#'), QString(SzerokoscPaska - pelne, u'.'))
                              .arg(procent);
    const QByteArray bajty = linia.toUtf8();
    std::fwrite(bajty.constData(), 1, static_cast<std::size_t>(bajty.size()), strumien_);
    std::fflush(strumien_);
    narysowany_ = true;
    odRysowania_.start();
}

void Postep::wyczysc() {
    if (!narysowany_) return;
    std::fputs("\r\033[K", strumien_);
    std::fflush(strumien_);
    narysowany_ = false;
}
