#pragma once

#include "platform/windowlayout.h"
#include "core/texts.h"

#include <array>
#include <cstddef>

// The window Principal as designed: its eleven controls, the topmost first,
// with their twip rectangles, colours, fonts and contents at load.
namespace ui {

// Each control's place in the table.
enum ControlIndex : std::size_t {
    Text1Index,
    MensajeEnviarIndex,
    Shape3Index,
    Image1Index,
    Line1_4Index,
    Line1_5Index,
    Label3Index,
    Label1Index,
    Shape1Index,
    Label2Index,
    Shape2Index,
};

inline constexpr int Text1MaxLength = 100;

namespace detail {

using namespace platform;

inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Grey128{128, 128, 128};
inline constexpr Rgb Border192{192, 192, 192};
inline constexpr Rgb HeaderFill{243, 243, 243};

inline constexpr Font WindowFont{u"Tahoma", 8.25, 400};

// The header: the sender's name from the left, the time against the right
// end. A time longer than Label3 (the locale's "a. m." and "p. m.", a wider
// substitute font, a denser screen) grows to the left into the free band
// between the two, never into the sender's name.
inline constexpr TwipRect Label1Rect{150, 120, 4050, 195};
inline constexpr TwipRect Label3Rect{4800, 120, 765, 195};
inline constexpr int Label3GrowsLeft = Label3Rect.left - (Label1Rect.left + Label1Rect.width);

// The message's lines are as far apart as Windows sets Tahoma 9 points: its
// three lines fill the label.
inline constexpr int Label2LinePitch = 210;

inline constexpr std::array<Control, 11> PrincipalControls{{
    {.name = u"Text1", .kind = ControlKind::TextBox, .rect = {150, 1740, 5415, 255}, .text = texts::HintText,
     .foreground = Grey128, .maxLength = Text1MaxLength, .accessibleName = texts::AnswerBoxName},
    {.name = u"MensajeEnviar", .kind = ControlKind::Socket},
    {.name = u"Shape3", .arrayIndex = 2, .kind = ControlKind::Rectangle, .rect = {90, 1680, 5565, 345},
     .fill = SystemColour::WindowFill, .border = Border192},
    {.name = u"Image1", .kind = ControlKind::Picture, .rect = {180, 480, 720, 720}, .picture = u"image1"},
    {.name = u"Line1", .arrayIndex = 4, .kind = ControlKind::Line, .rect = {0, 1560, 5730, 0},
     .foreground = SystemColour::Shadow3D},
    {.name = u"Line1", .arrayIndex = 5, .kind = ControlKind::Line, .rect = {0, 1575, 5730, 0},
     .foreground = SystemColour::Highlight3D},
    {.name = u"Label3", .kind = ControlKind::Label, .rect = Label3Rect, .text = texts::Label3Placeholder,
     .foreground = Black, .alignment = TextAlignment::Right, .growsLeft = Label3GrowsLeft},
    {.name = u"Label1", .kind = ControlKind::Label, .rect = Label1Rect, .text = texts::Label1Placeholder,
     .foreground = Black, .font = Font{u"Tahoma", 8.25, 700}, .describesWindow = true},
    {.name = u"Shape1", .kind = ControlKind::Rectangle, .rect = {60, 60, 5595, 315}, .fill = HeaderFill,
     .border = Border192},
    {.name = u"Label2", .kind = ControlKind::Label, .rect = {1080, 690, 4515, 630}, .text = texts::Label2Placeholder,
     .foreground = SystemColour::ButtonText, .font = Font{u"Tahoma", 9, 400}, .wordWrap = true,
     .linePitch = Label2LinePitch, .describesWindow = true},
    {.name = u"Shape2", .kind = ControlKind::Rectangle, .rect = {0, 0, 5775, 1575}, .fill = White},
}};

} // namespace detail

inline constexpr platform::WindowLayout PrincipalLayout{
    .name = u"Principal",
    .caption = texts::WindowCaption,
    .clientWidth = 5730,
    .clientHeight = 2115,
    .font = detail::WindowFont,
    .background = platform::SystemColour::ButtonFace,
    .controls = detail::PrincipalControls,
};

} // namespace ui
