#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tooltip {

// What a tooltip shows of a caption too long for its label: a few hundred
// characters, so that it fits on any screen and comes up at once, in lines
// of at most LineLength characters, each broken after its last space
// or, in a word longer than a line, anywhere but inside a character. When
// the caption goes on past them, it ends in an ellipsis. Line feeds end a
// line; the other characters are kept as they came.
inline constexpr std::size_t Limit = 400;
inline constexpr std::size_t LineLength = 80;
std::u16string text(std::u16string_view caption);

} // namespace tooltip
