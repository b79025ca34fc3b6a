#include "reply/hintinsertion.h"

#include "core/texts.h"

namespace reply {

std::u16string textAfterEdit(const BoxEdit &edit)
{
    const std::u16string_view before = edit.before;
    const std::u16string_view after = edit.after;
    if (before != texts::HintText || after == before || edit.replaced > before.size() || edit.cursor > after.size())
        return std::u16string(after);
    // after = before's start, the inserted text up to the cursor, before's
    // end past what was replaced.
    const std::size_t insertedLength = after.size() + edit.replaced - before.size();
    if (after.size() + edit.replaced < before.size() || insertedLength == 0 || insertedLength > edit.cursor)
        return std::u16string(after);
    const std::size_t start = edit.cursor - insertedLength;
    if (start + edit.replaced > before.size() || before.substr(0, start) != after.substr(0, start)
        || before.substr(start + edit.replaced) != after.substr(edit.cursor))
        return std::u16string(after);
    return std::u16string(after.substr(start, insertedLength));
}

} // namespace reply
