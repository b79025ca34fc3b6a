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

// The answer box's text once the edit is done. The hint gives way to any
// edit of it as it gives way to the first key typed: what the edit inserted
// (a paste, a middle-click paste, a drop) becomes the box's whole content,
// and an edit that inserted nothing (a deletion, a cut, an undo), or that
// does not add up as the box reported it, leaves the box empty; the hint is
// never kept in part. An edit of any other text keeps the box's own result;
// so does one that leaves exactly the hint, which still counts as the hint.
std::u16string textAfterEdit(const BoxEdit &edit);

} // namespace reply
