#include "app/jpeg.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>

namespace {

struct ObslugaBledow {
    jpeg_error_mgr standard;
    std::jmp_buf powrot;
};

void PrzerwijDekodowanie(j_common_ptr info) {
    auto* obsluga = reinterpret_cast<ObslugaBledow*>(info->err);
    std::longjmp(obsluga->powrot, 1);
}

void BezKomunikatow(j_common_ptr) {}

}  // namespace

QImage ObrazZJpeg(const QByteArray& dane) {
    if (dane.isEmpty()) return {};
    jpeg_decompress_struct info{};
    ObslugaBledow obsluga{};
    info.err = jpeg_std_error(&obsluga.standard);
    obsluga.standard.error_exit = PrzerwijDekodowanie;
    obsluga.standard.output_message = BezKomunikatow;
    // Nothing with a destructor may live between setjmp and a longjmp back to it.
    QImage* wynik = new QImage();
    if (setjmp(obsluga.powrot)) {
        jpeg_destroy_decompress(&info);
        delete wynik;
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(dane.constData()),
                 static_cast<unsigned long>(dane.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *wynik = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW wiersz = wynik->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &wiersz, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage obraz = std::move(*wynik);
    delete wynik;
    return obraz;
}
