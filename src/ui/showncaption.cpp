#include "ui/showncaption.h"

#include "core/unicode.h"

#include <vector>

namespace ui {

namespace {

constexpr char16_t FirstStrongIsolate = u'\u2068';
constexpr char16_t PopDirectionalIsolate = u'\u2069';
constexpr char16_t PopDirectionalFormatting = u'\u202C';

bool isEmbeddingOrOverride(char32_t c)
{
    return c == 0x202A || c == 0x202B || c == 0x202D || c == 0x202E;
}

bool isIsolateInitiator(char32_t c)
{
    return c >= 0x2066 && c <= 0x2068;
}

// Where the bidirectional algorithm starts afresh, and with it every
// embedding and isolate.
bool isParagraphSeparator(char32_t c)
{
    return c == u'\n' || c == u'\r' || (c >= 0x1C && c <= 0x1E) || c == 0x85 || c == 0x2029;
}

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

// Whether a unit of a message is more than a character to copy: the end of
// a paragraph, or a bidirectional control. No surrogate is.
bool needsCare(char16_t unit)
{
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

// The controls opened and not yet closed, innermost last; closing them all
// in order leaves nothing open past the field.
class OpenControls
{
public:
    void open(char16_t initiator) { m_open.push_back(initiator); }
    // A PDF closes an embedding only within the isolate it was opened in.
    bool closesEmbedding() const { return !m_open.empty() && isEmbeddingOrOverride(m_open.back()); }
    bool hasIsolate() const
    {
        for (char16_t c : m_open) {
            if (isIsolateInitiator(c))
                return true;
        }
        return false;
    }
    // Closes everything down to the innermost open isolate, not that one.
    void closeEmbeddingsInIsolate(std::u16string &out)
    {
        while (!m_open.empty() && !isIsolateInitiator(m_open.back()))
            closeInnermost(out);
    }
    void closeInnermost(std::u16string &out)
    {
        out += isIsolateInitiator(m_open.back()) ? PopDirectionalIsolate : PopDirectionalFormatting;
        m_open.pop_back();
    }
    void closeAll(std::u16string &out)
    {
        while (!m_open.empty())
            closeInnermost(out);
    }
    void pop() { m_open.pop_back(); }

private:
    std::vector<char16_t> m_open;
};

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
