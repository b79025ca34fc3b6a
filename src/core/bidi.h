#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The bidirectional controls a text may hold (embeddings, overrides,
// isolates) and what of them is still open at a point of the text.
namespace bidi {

inline constexpr char16_t FirstStrongIsolate = u'\u2068';
inline constexpr char16_t PopDirectionalIsolate = u'\u2069';
inline constexpr char16_t PopDirectionalFormatting = u'\u202C';

constexpr bool isEmbeddingOrOverride(char32_t c)
{
    return c == 0x202A || c == 0x202B || c == 0x202D || c == 0x202E;
}

constexpr bool isIsolateInitiator(char32_t c)
{
    return c >= 0x2066 && c <= 0x2068;
}

// Where the bidirectional algorithm starts afresh, and with it every
// embedding and isolate.
constexpr bool isParagraphSeparator(char32_t c)
{
    return c == u'\n' || c == u'\r' || (c >= 0x1C && c <= 0x1E) || c == 0x85 || c == 0x2029;
}

// The controls opened and not yet closed, innermost last; closing them all
// in order leaves nothing open past the text.
class OpenControls
{
public:
    void open(char16_t initiator) { m_open.push_back(initiator); }
    // A PDF closes an embedding only within the isolate it was opened in.
    bool closesEmbedding() const { return !m_open.empty() && isEmbeddingOrOverride(m_open.back()); }
    bool hasIsolate() const;
    // Closes everything down to the innermost open isolate, not that one.
    void closeEmbeddingsInIsolate(std::u16string &out);
    void closeInnermost(std::u16string &out);
    void closeAll(std::u16string &out);
    void pop() { m_open.pop_back(); }
    std::size_t depth() const { return m_open.size(); }

private:
    std::vector<char16_t> m_open;
};

// The text cut to at most limit UTF-16 units, between whole characters,
// with every isolate and embedding that the kept part leaves open closed
// within the limit: a text closed as a whole is closed when cut too.
std::u16string cutClosed(std::u16string_view text, std::size_t limit);

} // namespace bidi
