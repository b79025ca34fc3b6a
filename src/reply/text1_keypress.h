#pragma once

#include <cstdint>

namespace reply {

class AnswerForm;

// The answer box's key handler, called with each character key that
// reaches the box, before the box takes it. On the hint text the first key
// empties the box. Enter refuses an empty answer, or starts sending the
// answer to the sender of the notification and returns at once; the window
// unloads once the datagram is with the system. A failure, at once or when
// the send ends, is reported in the error box and leaves the window and the
// answer as they are. An Enter while a send is under way is ignored.
void Text1_KeyPress(AnswerForm &form, std::int16_t &KeyAscii);

} // namespace reply
