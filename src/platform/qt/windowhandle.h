#pragma once

#include "platform/windowsystem.h"

#include <QPointer>

namespace qtplatform {

class QtWindow;

// What the core holds of a window. The window deletes itself once
// destroyed (the handler that destroyed it may still be running on it), so
// the core cannot own it outright: the handle deletes it only if it is still
// there when the core lets go.
class WindowHandle final : public platform::NativeWindow
{
public:
    explicit WindowHandle(QtWindow *window);
    ~WindowHandle() override;

    // The window, or nothing once it has been deleted.
    QtWindow *window() const { return m_window; }

    platform::TwipSize outerSizeInTwips() const override;
    void setOuterTopInTwips(double top) override;
    void setOuterLeftInTwips(double left) override;
    void setCaption(std::size_t control, std::u16string_view caption) override;
    std::u16string text(std::size_t control) const override;
    void setText(std::size_t control, std::u16string_view text) override;
    void showTopmostWithoutActivating() override;
    void destroy() override;

private:
    QPointer<QtWindow> m_window;
};

} // namespace qtplatform
