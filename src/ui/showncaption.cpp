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
