#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a screen reader is told of the notification window as it appears,
// the same on each window system.
namespace announcement {

// A caption that describes the window (platform::Control::describesWindow),
// where its control stands, in any one unit.
struct Part
{
    double top = 0;
    double left = 0;
    std::u16string caption;
};

// The captions in reading order, top to bottom and left to right on a
// line, one to a line: the sender, then the message.
std::u16string ofWindow(std::vector<Part> parts);

// What a label that does not show its whole caption gives as its
// description: the caption, whole characters up to DescribedLimit units,
// ending in "…" where it goes on. Far more than a chat message, far less
// than the 1 MiB a notification may be.
inline constexpr std::size_t DescribedLimit = 65536;
std::u16string described(std::u16string_view caption);

} // namespace announcement
