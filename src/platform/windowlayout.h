#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

// What a window is built from: its controls as data, which each platform
// renders with its own means. Lengths are twips, 1/1440 inch: 15 to a pixel
// at 96 dots per inch.
namespace platform {

inline constexpr int TwipsPerPixel = 15;
// A tab in a label moves on to the next stop; stops are this many of the
// font's average characters apart, as Windows sets them by default.
inline constexpr int TabStopInAverageCharacters = 8;

struct Rgb
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// Colours that follow the desktop's settings.
enum class SystemColour {
    ButtonFace,  // the face of buttons and dialogs
    ButtonText,  // text on that face
    WindowFill,  // the inside of edit boxes and lists
    Shadow3D,    // the dark edge of a 3D element
    Highlight3D, // the light edge of a 3D element
};

using Colour = std::variant<Rgb, SystemColour>;

struct Font
{
    std::u16string_view family;
    double points = 0;
    int weight = 400; // 400 regular, 700 bold
};

struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind {
    TextBox,   // a single-line edit box
    Socket,    // no visible part
    Rectangle, // a filled rectangle, with or without a border
    Picture,   // an image at its natural size
    Line,      // one pixel, from (left, top) to (left + width, top + height)
    Label,     // text shown literally, on a transparent background; a caption
               // longer than its place ends in an ellipsis where it is cut
};

// Where a label's text stands within its rectangle.
enum class TextAlignment {
    Left,
    Right, // against the right end, growing to the left
};

struct Control
{
    std::u16string_view name{};
    int arrayIndex = -1; // the member's index in a control array, or -1
    ControlKind kind = ControlKind::Label;
    TwipRect rect{};
    std::u16string_view text{};      // a label's caption or a box's text at load
    std::optional<Colour> foreground{}; // text or line colour
    std::optional<Colour> fill{};
    std::optional<Colour> border{}; // one pixel, solid
    std::optional<Font> font{};   // none: the window's
    int maxLength = 0;            // a text box's limit, in UTF-16 units
    bool wordWrap = false;        // a label that breaks its caption into lines; the last line it
                                  // has room for ends in an ellipsis when more follows
    int linePitch = 0;            // twips from one wrapped line's top to the next; 0: the font's
    TextAlignment alignment = TextAlignment::Left;
    int growsLeft = 0;            // twips left of rect that a label's text may take too
    std::u16string_view picture{}; // the image's name among the program's resources
    // What assistive technology calls a control that shows no caption of
    // its own to name it (an edit box), or nothing.
    std::u16string_view accessibleName{};
    // Whether the control's caption is part of what the window announces
    // it holds when it appears.
    bool describesWindow = false;
};

// The rectangle a label draws its text in: its own, grown to the left as
// far as it may, so that a text longer than the label still shows whole.
constexpr TwipRect textRect(const Control &control)
{
    return {control.rect.left - control.growsLeft, control.rect.top, control.rect.width + control.growsLeft,
            control.rect.height};
}

struct WindowLayout
{
    std::u16string_view name;
    std::u16string_view caption;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    Font font;
    Colour background;
    // In stacking order, the topmost first: a control covers the ones after it.
    std::span<const Control> controls;
};

} // namespace platform
