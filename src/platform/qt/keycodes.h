#pragma once

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace qtplatform {

// The character a key press delivers, as the window's key handlers receive
// it; nothing for keys that deliver none (arrows, Delete, modifiers).
std::optional<std::int16_t> characterCodeOf(const QKeyEvent &event);

} // namespace qtplatform
