#include "platform/win32/layoutdrawing.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace win32platform {

namespace {

constexpr double TwipsPerInch = 1440;

void fill(HDC dc, const RECT &rect, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

} // namespace

int pixelsFromTwips(double twips, UINT dpi)
{
    return int(std::lround(twips * dpi / TwipsPerInch));
}

double twipsFromPixels(int pixels, UINT dpi)
{
    return pixels * TwipsPerInch / dpi;
}

RECT pixelRect(const platform::TwipRect &rect, UINT dpi)
{
    return {pixelsFromTwips(rect.left, dpi), pixelsFromTwips(rect.top, dpi),
            pixelsFromTwips(rect.left + rect.width, dpi), pixelsFromTwips(rect.top + rect.height, dpi)};
}

int lineWidth(UINT dpi)
{
    return std::max(1, pixelsFromTwips(platform::TwipsPerPixel, dpi));
}

COLORREF colourRef(const platform::Colour &colour)
{
    if (const auto *rgb = std::get_if<platform::Rgb>(&colour))
        return RGB(rgb->red, rgb->green, rgb->blue);
    switch (std::get<platform::SystemColour>(colour)) {
    case platform::SystemColour::ButtonFace:
        return GetSysColor(COLOR_BTNFACE);
    case platform::SystemColour::ButtonText:
        return GetSysColor(COLOR_BTNTEXT);
    case platform::SystemColour::WindowFill:
        return GetSysColor(COLOR_WINDOW);
    case platform::SystemColour::Shadow3D:
        return GetSysColor(COLOR_3DSHADOW);
    case platform::SystemColour::Highlight3D:
        return GetSysColor(COLOR_3DHILIGHT);
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

HFONT createFont(std::wstring_view family, double points, int weight, UINT dpi)
{
    LOGFONTW font{};
    font.lfHeight = -LONG(std::lround(points * dpi / 72.0));
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::size_t length = std::min(family.size(), std::size(font.lfFaceName) - 1);
    std::wmemcpy(font.lfFaceName, family.data(), length);
    return CreateFontIndirectW(&font);
}

void drawRectangle(HDC dc, const RECT &rect, const std::optional<platform::Colour> &fillColour,
                   const std::optional<platform::Colour> &border, int borderWidth)
{
    if (fillColour)
        fill(dc, rect, colourRef(*fillColour));
    if (!border)
        return;
    const COLORREF colour = colourRef(*border);
    const int width = std::min<int>(borderWidth, std::min(rect.right - rect.left, rect.bottom - rect.top));
    fill(dc, {rect.left, rect.top, rect.right, rect.top + width}, colour);
    fill(dc, {rect.left, rect.bottom - width, rect.right, rect.bottom}, colour);
    fill(dc, {rect.left, rect.top, rect.left + width, rect.bottom}, colour);
    fill(dc, {rect.right - width, rect.top, rect.right, rect.bottom}, colour);
}

namespace {

UINT labelFormat(const platform::Control &label)
{
    // The system's own tab stops are the layout's (DT_TABSTOP, which would
    // set others, cannot go with DT_NOPREFIX). A text longer than the label
    // ends in an ellipsis, on one line as on several.
    static_assert(platform::TabStopInAverageCharacters == 8);
    UINT format = DT_NOPREFIX | DT_TOP | DT_EXPANDTABS | DT_END_ELLIPSIS;
    if (label.wordWrap)
        // The edit control's breaking shows no line in part, and breaks a
        // word longer than a line.
        format |= DT_WORDBREAK | DT_EDITCONTROL;
    else
        format |= DT_SINGLELINE;
    return format | (label.alignment == platform::TextAlignment::Right ? DT_RIGHT : DT_LEFT);
}

// Each label is drawn as a paragraph of its own, so the isolate around a
// field, which keeps it from reordering text beside it, has nothing to keep
// apart here; and GDI draws the isolate marks as boxes where the system's
// text layout predates them.
std::wstring_view withoutOuterIsolate(std::wstring_view text)
{
    if (text.size() >= 2 && text.front() == L'\u2068' && text.back() == L'\u2069')
        return text.substr(1, text.size() - 2);
    return text;
}

} // namespace

void drawLabel(HDC dc, RECT rect, std::wstring_view text, const platform::Control &label)
{
    text = withoutOuterIsolate(text);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colourRef(label.foreground.value_or(platform::SystemColour::ButtonText)));
    DrawTextW(dc, text.data(), int(text.size()), &rect, labelFormat(label));
}

bool labelShowsWhole(HDC dc, RECT rect, std::wstring_view text, const platform::Control &label)
{
    text = withoutOuterIsolate(text);
    RECT needed = rect;
    DrawTextW(dc, text.data(), int(text.size()), &needed, (labelFormat(label) & ~UINT(DT_END_ELLIPSIS)) | DT_CALCRECT);
    return needed.bottom <= rect.bottom && needed.right <= rect.right;
}

void drawLine(HDC dc, POINT from, POINT to, COLORREF colour, int width)
{
    // Level and upright lines are the usual ones: filled exactly, the width
    // below or to the right of the line.
    if (from.y == to.y || from.x == to.x) {
        fill(dc, {std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + (from.x == to.x ? width : 0),
                  std::max(from.y, to.y) + (from.y == to.y ? width : 0)},
             colour);
        return;
    }
    const HPEN pen = CreatePen(PS_SOLID, width, colour);
    const HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

} // namespace win32platform
