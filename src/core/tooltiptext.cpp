#include "core/tooltiptext.h"

#include "core/texts.h"
#include "core/unicode.h"

namespace tooltip {

std::u16string text(std::u16string_view caption)
{
    const std::u16string_view kept = unicode::cut(caption, Limit);
    std::u16string out;
    out.reserve(kept.size() + kept.size() / LineLength + 1);
    std::size_t lineStart = 0;
    for (bool first = true; lineStart < kept.size(); first = false) {
        std::u16string_view rest = kept.substr(lineStart);
        const std::size_t feed = rest.substr(0, LineLength + 1).find(u'\n');
        std::size_t length = 0;
        std::size_t next = 0;
        if (feed != rest.npos) {
            length = feed;
            next = feed + 1;
        } else if (rest.size() <= LineLength) {
            length = next = rest.size();
        } else {
            const std::size_t space = rest.substr(0, LineLength + 1).find_last_of(u' ');
            if (space != rest.npos && space > 0) {
                length = space;
                next = space + 1;
            } else {
                length = next = unicode::cut(rest, LineLength).size();
            }
        }
        if (!first)
            out += u'\n';
        out.append(rest.substr(0, length));
        lineStart += next;
    }
    if (kept.size() < caption.size())
        out += texts::CaptionEllipsis;
    return out;
}

} // namespace tooltip
