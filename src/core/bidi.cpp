#include "core/bidi.h"

#include "core/unicode.h"

namespace bidi {

bool OpenControls::hasIsolate() const
{
    for (char16_t c : m_open) {
        if (isIsolateInitiator(c))
            return true;
    }
    return false;
}

void OpenControls::closeEmbeddingsInIsolate(std::u16string &out)
{
    while (!m_open.empty() && !isIsolateInitiator(m_open.back()))
        closeInnermost(out);
}

void OpenControls::closeInnermost(std::u16string &out)
{
    out += isIsolateInitiator(m_open.back()) ? PopDirectionalIsolate : PopDirectionalFormatting;
    m_open.pop_back();
}

void OpenControls::closeAll(std::u16string &out)
{
    while (!m_open.empty())
        closeInnermost(out);
}

std::u16string cutClosed(std::u16string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return std::u16string(text);
    // The longest cut that still leaves room to close what is open there.
    OpenControls open;
    OpenControls openAtCut;
    std::size_t cut = 0;
    std::u16string closes; // of the text itself, not kept
    for (std::size_t i = 0; i <= limit;) {
        if (i + open.depth() <= limit) {
            cut = i;
            openAtCut = open;
        }
        const auto [c, length] = unicode::codePointAt(text, i);
        if (isParagraphSeparator(c)) {
            open.closeAll(closes);
        } else if (isEmbeddingOrOverride(c) || isIsolateInitiator(c)) {
            open.open(text[i]);
        } else if (c == PopDirectionalFormatting && open.closesEmbedding()) {
            open.pop();
        } else if (c == PopDirectionalIsolate && open.hasIsolate()) {
            open.closeEmbeddingsInIsolate(closes);
            open.pop();
        }
        i += length;
    }
    std::u16string out(text.substr(0, cut));
    openAtCut.closeAll(out);
    return out;
}

} // namespace bidi
