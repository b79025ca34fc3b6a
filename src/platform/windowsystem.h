#pragma once

#include <QSizeF>

class QWidget;

namespace platform {

// What the window needs of the desktop: sizes and positions in twips, and
// the stacking call.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // The whole primary screen, task bars included.
    virtual QSizeF screenSizeInTwips() const = 0;
    // The top-level window's size with the frame and caption bar the window
    // manager will draw around it.
    virtual QSizeF outerSizeInTwips(QWidget &window) const = 0;
    // Place the outer top or left edge; fractions are rounded to pixels.
    virtual void setOuterTopInTwips(QWidget &window, double top) = 0;
    virtual void setOuterLeftInTwips(QWidget &window, double left) = 0;
    // Make the window visible, above every window that is not itself kept on
    // top, without taking the keyboard focus from the application in front.
    virtual void showTopmostWithoutActivating(QWidget &window) = 0;
};

class QtWindowSystem : public WindowSystem
{
public:
    QSizeF screenSizeInTwips() const override;
    QSizeF outerSizeInTwips(QWidget &window) const override;
    void setOuterTopInTwips(QWidget &window, double top) override;
    void setOuterLeftInTwips(QWidget &window, double left) override;
    void showTopmostWithoutActivating(QWidget &window) override;
};

} // namespace platform
