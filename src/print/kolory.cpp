#include "print/kolory.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace {

struct KolorSystemowy {
    int indeks;
    QPalette::ColorGroup grupa;
    QPalette::ColorRole rola;
};

// The desktop colour indices the font files may hold, each with the palette entry that plays the same
// part in a Qt desktop. Captions and borders have no palette role of their own; the selection colours
// stand in for the active ones and their inactive forms for the inactive ones.
constexpr std::array<KolorSystemowy, 30> KoloryPulpitu{{
    {0, QPalette::Active, QPalette::Button},              // scroll bar
    {1, QPalette::Active, QPalette::Dark},                // desktop
    {2, QPalette::Active, QPalette::Highlight},           // active caption
    {3, QPalette::Inactive, QPalette::Highlight},         // inactive caption
    {4, QPalette::Active, QPalette::Window},              // menu
    {5, QPalette::Active, QPalette::Window},              // window
    {6, QPalette::Active, QPalette::Shadow},              // window frame
    {7, QPalette::Active, QPalette::WindowText},          // menu text
    {8, QPalette::Active, QPalette::WindowText},          // window text
    {9, QPalette::Active, QPalette::HighlightedText},     // caption text
    {10, QPalette::Active, QPalette::Button},             // active border
    {11, QPalette::Inactive, QPalette::Button},           // inactive border
    {12, QPalette::Active, QPalette::Dark},               // application workspace
    {13, QPalette::Active, QPalette::Highlight},          // highlight
    {14, QPalette::Active, QPalette::HighlightedText},    // highlight text
    {15, QPalette::Active, QPalette::Button},             // button face
    {16, QPalette::Active, QPalette::Dark},               // button shadow
    {17, QPalette::Disabled, QPalette::Text},             // grey text
    {18, QPalette::Active, QPalette::ButtonText},         // button text
    {19, QPalette::Inactive, QPalette::HighlightedText},  // inactive caption text
    {20, QPalette::Active, QPalette::Light},              // button highlight
    {21, QPalette::Active, QPalette::Shadow},             // 3D dark shadow
    {22, QPalette::Active, QPalette::Midlight},           // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},        // tooltip text
    {24, QPalette::Active, QPalette::ToolTipBase},        // tooltip background
    {26, QPalette::Active, QPalette::Link},               // hot-tracked item
    {27, QPalette::Active, QPalette::Highlight},          // active caption gradient
    {28, QPalette::Inactive, QPalette::Highlight},        // inactive caption gradient
    {29, QPalette::Active, QPalette::Highlight},          // menu highlight
    {30, QPalette::Active, QPalette::Window},             // menu bar
}};

}  // namespace

QColor KolorZTColor(std::int32_t kolor) {
    if (kolor < 0) {
        const int indeks = kolor & 0xFF;
        for (const KolorSystemowy& k : KoloryPulpitu)
            if (k.indeks == indeks) return QGuiApplication::palette().color(k.grupa, k.rola);
        return QColor(Qt::black);
    }
    return QColor(kolor & 0xFF, (kolor >> 8) & 0xFF, (kolor >> 16) & 0xFF);
}

std::int32_t TColorZKoloru(const QColor& kolor) {
    const QColor rgb = kolor.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}
