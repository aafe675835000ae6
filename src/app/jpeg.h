#pragma once
#include <QByteArray>
#include <QImage>

// Decodes a JPEG picture with Qt's JPEG reader; damaged data gives a null image, silently.
QImage ObrazZJpeg(const QByteArray& dane);
