#pragma once
#include <QByteArray>
#include <QImage>

// Decodes a JPEG picture with libjpeg; a damaged picture gives a null image instead of ending the program.
QImage ObrazZJpeg(const QByteArray& dane);
