#include "platform/qt/accessibility.h"

#include "core/announcement.h"
#include "platform/qt/qstringconversion.h"
#include "platform/qt/qtwindow.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace qtplatform {

namespace {

// Dynamic properties with which a control tells the window's accessible
// interface what it is.
constexpr const char *DecorationProperty = "notificadorDecoration";
constexpr const char *DescribesWindowProperty = "notificadorDescribesWindow";

bool isDecoration(platform::ControlKind kind)
{
    using platform::ControlKind;
    return kind == ControlKind::Rectangle || kind == ControlKind::Line || kind == ControlKind::Picture;
}

bool flagged(const QObject &object, const char *property)
{
    return object.property(property).toBool();
}

// The notification window as assistive technology sees it: a notification,
// whose children are the controls that say something.
class NotificationWindowAccessible final : public QAccessibleWidget
{
public:
    explicit NotificationWindowAccessible(QWidget *window)
        : QAccessibleWidget(window, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Description)
            return QAccessibleWidget::text(kind);
        std::vector<announcement::Part> parts;
        for (QWidget *control : announced()) {
            if (!flagged(*control, DescribesWindowProperty))
                continue;
            if (const QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control))
                parts.push_back(
                    {double(control->y()), double(control->x()), toU16String(accessible->text(QAccessible::Name))});
        }
        return toQString(announcement::ofWindow(std::move(parts)));
    }

    int childCount() const override { return int(announced().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = announced();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children[index]);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(announced().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    // The window's controls less its decorations, in reading order: top
    // to bottom, and left to right on a line.
    QList<QWidget *> announced() const
    {
        QList<QWidget *> children;
        for (QObject *object : widget()->children()) {
            auto *control = qobject_cast<QWidget *>(object);
            if (control && !control->isWindow() && !flagged(*control, DecorationProperty))
                children += control;
        }
        std::stable_sort(children.begin(), children.end(), [](const QWidget *first, const QWidget *second) {
            return std::pair(first->y(), first->x()) < std::pair(second->y(), second->x());
        });
        return children;
    }
};

QAccessibleInterface *notificationWindowFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(QtWindow::staticMetaObject.className()) && object && object->isWidgetType())
        return new NotificationWindowAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

// Announces a window that was shown while Qt was not yet connected to the
// accessibility bus, once it is; it goes with the window.
class LateAnnouncement final : public QObject, public QAccessible::ActivationObserver
{
public:
    explicit LateAnnouncement(QWidget &window)
        : QObject(&window)
        , m_window(&window)
    {
        QAccessible::installActivationObserver(this);
    }

    ~LateAnnouncement() override { QAccessible::removeActivationObserver(this); }

    void accessibilityActiveChanged(bool active) override
    {
        if (!active)
            return;
        // Qt tells of the activation while its bridge is still being set
        // up; the announcement waits for the event loop, when it is done.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_window && m_window->isVisible()) {
                    QAccessibleEvent shown(m_window.data(), QAccessible::ObjectShow);
                    QAccessible::updateAccessibility(&shown);
                }
                deleteLater();
            },
            Qt::QueuedConnection);
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

void announceShown(QWidget &window)
{
    if (!QAccessible::isActive())
        new LateAnnouncement(window);
}

void installNotificationAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(notificationWindowFactory);
        return true;
    }();
    (void)installed;
}

void describeControl(QWidget &widget, const platform::Control &control)
{
    if (isDecoration(control.kind))
        widget.setProperty(DecorationProperty, true);
    if (control.describesWindow)
        widget.setProperty(DescribesWindowProperty, true);
    if (!control.accessibleName.empty())
        widget.setAccessibleName(toQString(control.accessibleName));
}

} // namespace qtplatform
