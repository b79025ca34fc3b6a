#pragma once

#include "platform/windowlayout.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct TwipSize
{
    double width = 0;
    double height = 0;
};

// A user's edit of a text box, reported after the box has made it: the
// text before it, how much of that text it replaced (the selection, or 0),
// and where the cursor stands after it, at the end of what it inserted.
struct TextEdit
{
    std::u16string before;
    std::size_t replaced = 0;
    std::size_t cursor = 0;
};

// What a native window reports to the window's own handlers.
class WindowEvents
{
public:
    virtual ~WindowEvents() = default;

    // A key that delivers a character, with its code, and the control that
    // has the focus (its index in the layout), if any. Returns whether that
    // control may go on to take the key; once the window is destroyed, it
    // may not.
    virtual bool keyPress(std::int16_t keyAscii, std::optional<std::size_t> focusedControl) = 0;
    // The user closed the window through its frame.
    virtual void closeRequested() = 0;
    // The user changed a text box's text, by any edit the box makes itself
    // (a deletion, a cut, an undo, a paste, a drop); reported once the box
    // has made it. Keys already offered through keyPress may be reported too.
    virtual void textEdited(std::size_t control, const TextEdit &edit)
    {
        (void)control;
        (void)edit;
    }
    // The window is on screen, as the window system reports it once the
    // window has been shown: at once, or later through the event loop; any
    // number of times, or never if it never gets there.
    virtual void shown() {}
};

// One top-level window built from a layout. It is created hidden; controls
// are named by their index in the layout's controls.
class NativeWindow
{
public:
    NativeWindow() = default;
    virtual ~NativeWindow() = default;
    NativeWindow(const NativeWindow &) = delete;
    NativeWindow &operator=(const NativeWindow &) = delete;

    // The window's size with the frame and caption bar the desktop draws
    // around it, in twips.
    virtual TwipSize outerSizeInTwips() const = 0;
    // Places the frame's outer top or left edge, in screen twips; fractions
    // are rounded to whole pixels.
    virtual void setOuterTopInTwips(double top) = 0;
    virtual void setOuterLeftInTwips(double left) = 0;
    // A label's whole caption, shown literally.
    virtual void setCaption(std::size_t control, std::u16string_view caption) = 0;
    // A text box's text.
    virtual std::u16string text(std::size_t control) const = 0;
    virtual void setText(std::size_t control, std::u16string_view text) = 0;
    // Makes the window visible, where it was placed, above every window that
    // is not itself kept on top, without taking the keyboard focus from the
    // application in front. The window's events hear shown() once it is
    // on screen.
    virtual void showTopmostWithoutActivating() = 0;
    // Hides the window and destroys it with its controls once the handler
    // running on it has returned. The event loop ends when no window is left.
    virtual void destroy() = 0;
};

// The desktop the window lives on.
class WindowSystem
{
public:
    WindowSystem() = default;
    virtual ~WindowSystem() = default;
    WindowSystem(const WindowSystem &) = delete;
    WindowSystem &operator=(const WindowSystem &) = delete;

    // The whole primary screen in twips, task bars included.
    virtual TwipSize screenSizeInTwips() = 0;
    // Builds the window from the layout, hidden; its events go to events,
    // which outlives it.
    virtual std::unique_ptr<NativeWindow> createWindow(const WindowLayout &layout, WindowEvents &events) = 0;
    // Dispatches events until no window is left.
    virtual void runEventLoop() = 0;
};

} // namespace platform
