#include "core/announcement.h"

#include "core/unicode.h"

#include <algorithm>

namespace announcement {

std::u16string ofWindow(std::vector<Part> parts)
{
    std::stable_sort(parts.begin(), parts.end(), [](const Part &first, const Part &second) {
        return first.top != second.top ? first.top < second.top : first.left < second.left;
    });
    std::u16string text;
    for (const Part &part : parts) {
        if (&part != &parts.front())
            text += u'\n';
        text += part.caption;
    }
    return text;
}

std::u16string described(std::u16string_view caption)
{
    std::u16string text(unicode::cut(caption, DescribedLimit));
    if (text.size() < caption.size())
        text += u'\u2026';
    return text;
}

} // namespace announcement
