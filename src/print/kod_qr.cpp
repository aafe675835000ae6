#include "print/kod_qr.h"

#include <qrencode.h>

#include <memory>

namespace {

constexpr int StrefaCiszy = 4;

}  // namespace

QImage ObrazKoduQr(const QString& tekst) {
    const QByteArray utf8 = tekst.toUtf8();
    // 8-bit mode takes the link byte for byte; libqrencode picks the smallest version that fits.
    std::unique_ptr<QRcode, void (*)(QRcode*)> kod(
        QRcode_encodeData(static_cast<int>(utf8.size()),
                          reinterpret_cast<const unsigned char*>(utf8.constData()), 0, QR_ECLEVEL_M),
        QRcode_free);
    if (!kod) return {};
    const int bok = kod->width + 2 * StrefaCiszy;
    QImage obraz(bok, bok, QImage::Format_Grayscale8);
    obraz.fill(255);
    for (int y = 0; y < kod->width; ++y) {
        uchar* linia = obraz.scanLine(y + StrefaCiszy);
        for (int x = 0; x < kod->width; ++x)
            if (kod->data[y * kod->width + x] & 1) linia[x + StrefaCiszy] = 0;
    }
    return obraz;
}
