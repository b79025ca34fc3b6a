#include "core/textbox.h"

namespace textbox {

std::u16string oneLine(std::u16string_view text)
{
    std::u16string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        line += text[i] == u'\r' || text[i] == u'\n' ? u' ' : text[i];
    }
    return line;
}

std::optional<std::size_t> limitForInsertion(std::u16string_view text, std::u16string_view textAtLoad,
                                             std::size_t limit)
{
    if (limit == 0 || text != textAtLoad)
        return std::nullopt;
    return limit + textAtLoad.size();
}

} // namespace textbox
