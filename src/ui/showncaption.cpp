#include "ui/showncaption.h"

#include "core/bidi.h"
#include "core/unicode.h"

namespace ui {

namespace {

using namespace bidi;

// Characters that show nothing, or show as a blank that an ordinary space
// would also give: controls, format characters (zero-width, bidirectional,
// byte-order mark, tags), line and paragraph separators, fillers, and the
// spaces other than U+0020.
bool isHidden(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    constexpr struct {
        char32_t first, last;
    } Ranges[] = {
        {0x00A0, 0x00A0}, {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x0600, 0x0605}, {0x061C, 0x061C},
        {0x06DD, 0x06DD}, {0x070F, 0x070F}, {0x08E2, 0x08E2}, {0x115F, 0x1160}, {0x1680, 0x1680},
        {0x17B4, 0x17B5}, {0x180B, 0x180F}, {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x206F},
        {0x3000, 0x3000}, {0x3164, 0x3164}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0xFFF9, 0xFFFB},
        {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    for (const auto &range : Ranges) {
        if (c >= range.first && c <= range.last)
            return true;
    }
    return false;
}

void appendEscape(std::u16string &out, char32_t c)
{
    constexpr char16_t Digits[] = u"0123456789ABCDEF";
    std::u16string hex;
    for (; c != 0 || hex.size() < 4; c >>= 4)
        hex.insert(hex.begin(), Digits[c & 0xF]);
    out += u"<U+";
    out += hex;
    out += u'>';
}

} // namespace

std::u16string shownCaption(std::u16string_view field, CaptionKind kind)
{
    std::u16string out;
    out.reserve(field.size() + 2);
    out += FirstStrongIsolate;
    OpenControls open;
    // A name of ordinary spaces alone would look like no name at all.
    const bool blankName = kind == CaptionKind::Name && !field.empty() && field.find_first_not_of(u' ') == field.npos;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char16_t unit = field[i];
        const auto [c, length] = unicode::codePointAt(field, i);
        if (kind == CaptionKind::Name && (blankName || isHidden(c))) {
            appendEscape(out, c);
        } else if (isParagraphSeparator(c)) {
            open.closeAll(out);
            out += PopDirectionalIsolate;
            out += unit;
            out += FirstStrongIsolate;
        } else if (isEmbeddingOrOverride(c) || isIsolateInitiator(c)) {
            open.open(unit);
            out += unit;
        } else if (c == PopDirectionalFormatting) {
            if (open.closesEmbedding()) {
                open.pop();
                out += unit;
            }
        } else if (c == PopDirectionalIsolate) {
            if (open.hasIsolate()) {
                open.closeEmbeddingsInIsolate(out);
                open.pop();
                out += unit;
            }
        } else {
            out.append(field.substr(i, length));
        }
        i += length - 1;
    }
    open.closeAll(out);
    out += PopDirectionalIsolate;
    return out;
}

} // namespace ui
