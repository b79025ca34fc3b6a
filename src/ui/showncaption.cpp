#include "ui/showncaption.h"

#include "core/bidi.h"
#include "core/unicode.h"

namespace ui {

namespace {

using namespace bidi;

// Whether a unit of a message is more than a character to copy: the end of
// a paragraph, or a bidirectional control. No surrogate is, nor any
// printable ASCII, which most messages are made of.
constexpr bool needsCare(char16_t unit)
{
    if (unit >= 0x20 && unit < 0x85)
        return false;
    return isParagraphSeparator(unit) || isEmbeddingOrOverride(unit) || unit == PopDirectionalFormatting
        || (unit >= 0x2066 && unit <= 0x2069);
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
        // A message is copied as it is up to the next unit it needs care at.
        if (kind == CaptionKind::Message && !needsCare(field[i])) {
            std::size_t end = i + 1;
            while (end < field.size() && !needsCare(field[end]))
                ++end;
            out.append(field.substr(i, end - i));
            i = end - 1;
            continue;
        }
        const char16_t unit = field[i];
        const auto [c, length] = unicode::codePointAt(field, i);
        if (kind == CaptionKind::Name && (blankName || unicode::isHidden(c))) {
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
