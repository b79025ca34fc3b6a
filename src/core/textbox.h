#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What a one-line text box does with text that reaches it other than by a
// typed key (a paste, a drop), the same in each window system.
namespace textbox {

// The text as one line: a CR LF pair is one line break and becomes one
// space, and so does a lone CR or LF. The text the user sees is the text
// sent, and the answer never carries a line end into the record.
std::u16string oneLine(std::u16string_view text);

// How many characters the box may hold while an insertion is made into its
// text. The text it was loaded with (the hint) gives way to what is
// inserted onto it, so an insertion onto that text, untouched, may take a
// whole box's worth beside it: the limit is widened by the text's length.
// Nothing where the box keeps its own limit: it has none (0), or its text
// is no longer the one it was loaded with. Once the edit is done the box is
// back at its limit.
std::optional<std::size_t> limitForInsertion(std::u16string_view text, std::u16string_view textAtLoad,
                                             std::size_t limit);

} // namespace textbox
