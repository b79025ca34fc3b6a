#include "platform/qt/windowhandle.h"

#include "platform/qt/qtwindow.h"

namespace qtplatform {

WindowHandle::WindowHandle(QtWindow *window)
    : m_window(window)
{
}

WindowHandle::~WindowHandle()
{
    delete m_window.data();
}

platform::TwipSize WindowHandle::outerSizeInTwips() const
{
    return m_window ? m_window->outerSizeInTwips() : platform::TwipSize{};
}

void WindowHandle::setOuterTopInTwips(double top)
{
    if (m_window)
        m_window->setOuterTopInTwips(top);
}

void WindowHandle::setOuterLeftInTwips(double left)
{
    if (m_window)
        m_window->setOuterLeftInTwips(left);
}

void WindowHandle::setCaption(std::size_t control, std::u16string_view caption)
{
    if (m_window)
        m_window->setCaption(control, caption);
}

std::u16string WindowHandle::text(std::size_t control) const
{
    return m_window ? m_window->text(control) : std::u16string();
}

void WindowHandle::setText(std::size_t control, std::u16string_view text)
{
    if (m_window)
        m_window->setText(control, text);
}

void WindowHandle::showTopmostWithoutActivating()
{
    if (m_window)
        m_window->showTopmostWithoutActivating();
}

void WindowHandle::destroy()
{
    if (m_window)
        m_window->destroy();
}

} // namespace qtplatform
