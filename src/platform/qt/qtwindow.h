#pragma once

#include "platform/windowsystem.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

namespace qtplatform {

// A top-level window built from a layout: each control a widget named
// after it, stacked as the layout says, except the rectangles and lines,
// which the window paints beneath them. Every key that delivers a character
// goes to the window's events first, with the control that has the focus;
// the control takes it only if the events let it. The core holds it through
// a WindowHandle, as the window deletes itself once destroyed.
class QtWindow final : public QWidget
{
    Q_OBJECT

public:
    QtWindow(const platform::WindowLayout &layout, platform::WindowEvents &events);

    platform::TwipSize outerSizeInTwips() const;
    void setOuterTopInTwips(double top);
    void setOuterLeftInTwips(double left);
    void setCaption(std::size_t control, std::u16string_view caption);
    std::u16string text(std::size_t control) const;
    void setText(std::size_t control, std::u16string_view text);
    void showTopmostWithoutActivating();
    // Hides the window, deletes it once control is back in the event loop,
    // and ends the loop if no other window is left.
    void destroy();

    // The widget of a control, or nothing for a control with no visible part.
    QWidget *control(std::size_t index) const;
    bool isDestroyed() const { return m_destroyed; }

    // Whether any window that has not been destroyed exists.
    static bool anyOpen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Control
    {
        QWidget *widget = nullptr; // nothing for a control with no visible part
        // A text box's text at load and its designed limit (0: none).
        std::u16string textAtLoad;
        std::size_t limit = 0;
    };

    // A filled rectangle with an optional one-pixel border; one pixel high,
    // it is a line.
    struct Shape
    {
        QRect rect;
        QColor fill;
        std::optional<QColor> border;
    };

    void buildControls(const platform::WindowLayout &layout);
    QWidget *makeControl(const platform::Control &control);
    QColor colourOf(const platform::Colour &colour) const;
    std::optional<std::size_t> indexOf(const QObject *widget) const;
    void rememberBeforeEdit(QLineEdit &box, const Control &control, const QEvent &event);
    static void widenOverTextAtLoad(QLineEdit &box, const Control &control);
    void reportEdit(QLineEdit &box);

    platform::WindowEvents &m_events;
    std::vector<Control> m_controls; // by the control's index in the layout
    std::vector<Shape> m_shapes;      // bottommost first
    bool m_destroyed = false;
    // A text box's text as the user's latest action reached it.
    struct BeforeEdit
    {
        QPointer<QLineEdit> box;
        QString text;
        qsizetype replaced = 0;
    } m_beforeEdit;
};

} // namespace qtplatform
