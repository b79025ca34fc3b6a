#pragma once

namespace platform {

// Lengths in the window's layout are twips, 1/1440 inch: 15 to one
// device-independent pixel at 96 dpi. Qt's high-DPI scaling maps those
// pixels to the screen.
inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}

} // namespace platform
