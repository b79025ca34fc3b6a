#pragma once

#include <cstdint>
#include <string_view>

namespace reply {

// Text to a 32-bit whole number, as the run-time converts it: surrounding
// spaces and tabs, an optional sign, decimal digits with an optional
// fractional part, which is rounded half to even ("2.5" is 2, "3.5" is 4).
// Anything else raises error 13 (type mismatch); a value outside the 32-bit
// signed range raises error 6 (overflow).
std::int32_t toLong(std::u16string_view text);

} // namespace reply
