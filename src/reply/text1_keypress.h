#pragma once

#include <cstdint>

namespace ui {
class Principal;
}

namespace reply {

// The answer box's key handler, called with each character key that
// reaches the box, before the box takes it. On the hint text the first key
// empties the box. Enter sends the answer to the sender of the notification
// and unloads the window, or refuses an empty answer; a failure is reported
// in the error box and leaves the window and the answer as they are.
void Text1_KeyPress(ui::Principal &principal, std::int16_t &KeyAscii);

} // namespace reply
