#pragma once

#include "platform/windowlayout.h"

#include <windows.h>

#include <optional>
#include <string_view>

// A layout's twips, colours and fonts in the Windows API's terms, at the
// window's dots per inch, and the controls the window draws itself.
namespace win32platform {

int pixelsFromTwips(double twips, UINT dpi);
double twipsFromPixels(int pixels, UINT dpi);
// Both corners rounded on their own, so that adjoining controls stay joined.
RECT pixelRect(const platform::TwipRect &rect, UINT dpi);
// One pixel at 96 dots per inch, and as much more as the screen is denser.
int lineWidth(UINT dpi);

COLORREF colourRef(const platform::Colour &colour);
HFONT createFont(std::wstring_view family, double points, int weight, UINT dpi);

// A filled rectangle with its border on the inside of its edges.
void drawRectangle(HDC dc, const RECT &rect, const std::optional<platform::Colour> &fill,
                   const std::optional<platform::Colour> &border, int borderWidth);
// A label's text in its rectangle, on what lies beneath it: one line from
// the left or against the right end, or wrapped into whole lines of which
// the last ends in an ellipsis when more text follows; tabs go on to the
// next tab stop.
void drawLabel(HDC dc, RECT rect, std::wstring_view text, const platform::Control &label);
// Whether the label shows all of the text, drawn in the font selected.
bool labelShowsWhole(HDC dc, RECT rect, std::wstring_view text, const platform::Control &label);
// A line from one point towards the other, width pixels thick.
void drawLine(HDC dc, POINT from, POINT to, COLORREF colour, int width);

} // namespace win32platform
