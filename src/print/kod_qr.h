#pragma once
// A QR code (error correction level M) as a black-and-white image, one pixel per module with the
// four-module quiet zone around it; the printout scales it to whole device pixels per module.
#include <QImage>
#include <QString>

// A null image when the text does not fit a QR code.
QImage ObrazKoduQr(const QString& tekst);
