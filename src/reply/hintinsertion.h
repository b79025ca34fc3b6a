#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace reply {

// One edit of the answer box as the box made it: its text before and after,
// how much of the text before the edit replaced (the selection, or 0), and
// where the cursor stands after it, at the end of what was inserted.
struct BoxEdit
{
    std::u16string_view before;
    std::u16string_view after;
    std::size_t replaced = 0;
    std::size_t cursor = 0;
};

// The answer box's text once the edit is done. The hint gives way to
// whatever is inserted into it (a paste, a middle-click paste, a drop) as
// it gives way to the first key typed: the inserted text becomes the box's
// whole content. An edit that inserts nothing, an edit of any other text,
// and an edit that does not add up (as the box reported it) keep the box's
// own result; so does one that leaves exactly the hint, which still counts
// as the hint.
std::u16string textAfterEdit(const BoxEdit &edit);

} // namespace reply
