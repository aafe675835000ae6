#include "app/jpeg.h"

#include <QBuffer>
#include <QImageReader>
#include <QLoggingCategory>
#include <mutex>

namespace {

QLoggingCategory::CategoryFilter PoprzedniFiltr = nullptr;

// Qt's JPEG reader reports damaged data as warnings on standard error; a damaged picture is
// shown as none, without a word.
void BezOstrzezenJpeg(QLoggingCategory* kategoria) {
    if (PoprzedniFiltr) PoprzedniFiltr(kategoria);
    if (qstrcmp(kategoria->categoryName(), "qt.gui.imageio.jpeg") == 0)
        kategoria->setEnabled(QtWarningMsg, false);
}

}  // namespace

QImage ObrazZJpeg(const QByteArray& dane) {
    if (dane.isEmpty()) return {};
    static std::once_flag filtr;
    std::call_once(filtr, [] { PoprzedniFiltr = QLoggingCategory::installFilter(BezOstrzezenJpeg); });
    QBuffer bufor;
    bufor.setData(dane);
    bufor.open(QIODevice::ReadOnly);
    // Only as JPEG: other image data is no picture of ours.
    QImageReader czytnik(&bufor, "JPEG");
    czytnik.setAutoDetectImageFormat(false);
    const QImage obraz = czytnik.read();
    if (obraz.isNull()) return {};
    return obraz.convertToFormat(QImage::Format_RGB888);
}
