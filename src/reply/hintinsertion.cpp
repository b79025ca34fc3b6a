#include "reply/hintinsertion.h"

#include "core/texts.h"

namespace reply {

std::u16string textAfterEdit(const BoxEdit &edit)
{
    const std::u16string_view before = edit.before;
    const std::u16string_view after = edit.after;
    if (before != texts::HintText || after == before)
        return std::u16string(after);
    // after = before's start, the inserted text up to the cursor, before's
    // end past what was replaced. Anything else inserted nothing the box can
    // tell, and the hint goes all the same.
    if (edit.replaced > before.size() || edit.cursor > after.size() || after.size() + edit.replaced <= before.size())
        return {};
    const std::size_t insertedLength = after.size() + edit.replaced - before.size();
    if (insertedLength > edit.cursor)
        return {};
    const std::size_t start = edit.cursor - insertedLength;
    if (start + edit.replaced > before.size() || before.substr(0, start) != after.substr(0, start)
        || before.substr(start + edit.replaced) != after.substr(edit.cursor))
        return {};
    return std::u16string(after.substr(start, insertedLength));
}

} // namespace reply
