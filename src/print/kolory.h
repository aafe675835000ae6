#pragma once
// Colours as the font files store them: 0x00BBGGRR for an explicit colour, or a negative value whose
// low byte names a desktop colour (0xFF000008 is the window text colour).
#include <QColor>
#include <cstdint>

QColor KolorZTColor(std::int32_t kolor);
std::int32_t TColorZKoloru(const QColor& kolor);
