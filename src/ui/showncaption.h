#pragma once

#include <string>
#include <string_view>

namespace ui {

// What a label shows of a field of the notification. The sender writes the
// fields: a name must not pass for another, and no field may reorder or hide
// the text beside it.
enum class CaptionKind {
    // The sender's name: every control and invisible character in it is
    // shown as "<U+XXXX>", and so is each space of a name of spaces alone,
    // so a name can never look blank or like another.
    Name,
    // The message: shown as written.
    Message,
};

// The field isolated from its surroundings: wrapped in FIRST STRONG ISOLATE
// and POP DIRECTIONAL ISOLATE, each paragraph of it on its own, with every
// embedding, override or isolate it opens closed within it and every close
// it does not open dropped. The field itself, which the answer carries back,
// stays as it came.
std::u16string shownCaption(std::u16string_view field, CaptionKind kind);

} // namespace ui
