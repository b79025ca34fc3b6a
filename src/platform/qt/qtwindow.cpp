#include "platform/qt/qtwindow.h"

#include "core/textbox.h"
#include "core/unicode.h"
#include "platform/qt/accessibility.h"
#include "platform/qt/captionlabel.h"
#include "platform/qt/frameextents.h"
#include "platform/qt/keycodes.h"
#include "platform/qt/notifiericon.h"
#include "platform/qt/pixelresource.h"
#include "platform/qt/qstringconversion.h"
#include "platform/qt/singlelinevalidator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace qtplatform {

namespace {

using platform::TwipsPerPixel;

// The user's actions on a text box that can insert more than one typed
// character: a paste by key or menu, a middle-click paste, a drop, an input
// method's text.
bool mayInsert(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
        return static_cast<const QKeyEvent &>(event).matches(QKeySequence::Paste);
    case QEvent::MouseButtonRelease:
        return static_cast<const QMouseEvent &>(event).button() == Qt::MiddleButton;
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

int pixels(int twips)
{
    return twips / TwipsPerPixel;
}

QRect pixelRect(const platform::TwipRect &rect)
{
    return QRect(pixels(rect.left), pixels(rect.top), pixels(rect.width), pixels(rect.height));
}

// A line runs from its corner over its width and height, one pixel thick.
QRect lineRect(const platform::TwipRect &rect)
{
    return QRect(pixels(rect.left), pixels(rect.top), std::max(1, pixels(rect.width)), std::max(1, pixels(rect.height)));
}

QFont fontOf(const platform::Font &font)
{
    QFont qfont(toQString(font.family));
    qfont.setPointSizeF(font.points);
    qfont.setWeight(QFont::Weight(font.weight));
    qfont.setStyleHint(QFont::SansSerif);
    return qfont;
}

// A line edit lays its text out once in the application's font before it
// takes its parent's. With the parent's font as the application's for that
// moment, that layout loads no face of its own, one that would never be drawn.
QLineEdit *newLineEdit(QWidget &parent)
{
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(parent.font());
    auto *box = new QLineEdit(&parent);
    QApplication::setFont(applicationFont);
    return box;
}

void setRoleColour(QWidget &widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

// A member of a control array that has other members in the layout is told
// apart by its index: "Line1_4".
QString objectNameOf(const platform::Control &control, const platform::WindowLayout &layout)
{
    const auto sameName = std::count_if(layout.controls.begin(), layout.controls.end(),
                                        [&](const platform::Control &other) { return other.name == control.name; });
    QString name = toQString(control.name);
    if (sameName > 1 && control.arrayIndex >= 0)
        name += u'_' + QString::number(control.arrayIndex);
    return name;
}

} // namespace

QtWindow::QtWindow(const platform::WindowLayout &layout, platform::WindowEvents &events)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::WindowStaysOnTopHint)
    , m_events(events)
{
    // Before anything tells assistive technology of the window.
    installNotificationAccessibility();
    // Kept on top and shown without activation from the start: changing
    // either once the native window exists makes Qt build it anew.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(toQString(layout.name));
    const QString caption = toQString(layout.caption);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setWindowIcon(notifierIcon());
    setFont(fontOf(layout.font));
    setRoleColour(*this, QPalette::Window, colourOf(layout.background));
    setFixedSize(pixels(layout.clientWidth), pixels(layout.clientHeight));
    // Its placement needs the frame the window manager will give it, which
    // takes the window manager a moment to answer.
    askFrameMarginsAhead(*this);
    buildControls(layout);
}

void QtWindow::buildControls(const platform::WindowLayout &layout)
{
    // Siblings created later are drawn above earlier ones, so the controls
    // are made from the bottommost up.
    m_controls.assign(layout.controls.size(), Control{});
    for (std::size_t index = layout.controls.size(); index-- > 0;) {
        const platform::Control &control = layout.controls[index];
        QWidget *widget = makeControl(control);
        if (!widget)
            continue;
        widget->setObjectName(objectNameOf(control, layout));
        describeControl(*widget, control);
        m_controls[index].widget = widget;
        if (const auto *box = qobject_cast<QLineEdit *>(widget)) {
            m_controls[index].textAtLoad = toU16String(box->text());
            m_controls[index].limit = std::size_t(std::max(control.maxLength, 0));
        }
    }
}

QWidget *QtWindow::makeControl(const platform::Control &control)
{
    using platform::ControlKind;
    switch (control.kind) {
    case ControlKind::Label: {
        auto *label = new CaptionLabel(this);
        label->setGeometry(pixelRect(platform::textRect(control)));
        if (control.alignment == platform::TextAlignment::Right)
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (control.font)
            label->setFont(fontOf(*control.font));
        if (control.foreground)
            setRoleColour(*label, QPalette::WindowText, colourOf(*control.foreground));
        if (control.wordWrap) {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setLinePitch(pixels(control.linePitch));
        }
        label->setPlaceholder(control.text);
        return label;
    }
    // Painted by the window beneath every label and box, as on Windows: a
    // widget each cost its construction and a paint of its own, for a few
    // pixels that never change. No shape lies above a control it overlaps.
    case ControlKind::Rectangle: {
        std::optional<QColor> border;
        if (control.border)
            border = colourOf(*control.border);
        m_shapes.push_back({pixelRect(control.rect), control.fill ? colourOf(*control.fill) : QColor(Qt::transparent),
                            border});
        return nullptr;
    }
    case ControlKind::Line:
        m_shapes.push_back(
            {lineRect(control.rect), control.foreground ? colourOf(*control.foreground) : QColor(Qt::black), {}});
        return nullptr;
    case ControlKind::Picture: {
        auto *picture = new QLabel(this);
        picture->setPixmap(resourcePixmap(QStringLiteral(":/icons/%1.pixels").arg(toQString(control.picture))));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setGeometry(pixelRect(control.rect));
        return picture;
    }
    case ControlKind::TextBox: {
        auto *box = newLineEdit(*this);
        box->setGeometry(pixelRect(control.rect));
        box->setFrame(false);
        if (control.maxLength > 0)
            box->setMaxLength(control.maxLength);
        box->setValidator(new SingleLineValidator(box));
        if (control.font)
            box->setFont(fontOf(*control.font));
        if (control.foreground)
            setRoleColour(*box, QPalette::Text, colourOf(*control.foreground));
        box->setText(toQString(control.text));
        box->setCursorPosition(0);
        box->installEventFilter(this);
        // A paste, a middle-click paste and a drop reach the events after
        // the box has made them, with what the box held before.
        connect(box, &QLineEdit::textEdited, this, [this, box] { reportEdit(*box); });
        if (!focusProxy())
            setFocusProxy(box);
        return box;
    }
    case ControlKind::Socket:
        return nullptr;
    }
    return nullptr;
}

QColor QtWindow::colourOf(const platform::Colour &colour) const
{
    if (const auto *rgb = std::get_if<platform::Rgb>(&colour))
        return QColor(rgb->red, rgb->green, rgb->blue);
    switch (std::get<platform::SystemColour>(colour)) {
    case platform::SystemColour::ButtonFace:
        return palette().color(QPalette::Window);
    case platform::SystemColour::ButtonText:
        return palette().color(QPalette::ButtonText);
    case platform::SystemColour::WindowFill:
        return palette().color(QPalette::Base);
    case platform::SystemColour::Shadow3D:
        return palette().color(QPalette::Dark);
    case platform::SystemColour::Highlight3D:
        return palette().color(QPalette::Light);
    }
    return {};
}

QWidget *QtWindow::control(std::size_t index) const
{
    return index < m_controls.size() ? m_controls[index].widget : nullptr;
}

std::optional<std::size_t> QtWindow::indexOf(const QObject *widget) const
{
    if (!widget)
        return std::nullopt;
    const auto found = std::find_if(m_controls.begin(), m_controls.end(),
                                    [widget](const Control &control) { return control.widget == widget; });
    if (found == m_controls.end())
        return std::nullopt;
    return std::size_t(found - m_controls.begin());
}

platform::TwipSize QtWindow::outerSizeInTwips() const
{
    // Asking the window manager creates the native window and keeps the
    // answer with it; the window does not change for it.
    const QSize outer = size().grownBy(frameMargins(const_cast<QtWindow &>(*this)));
    return {double(outer.width()) * TwipsPerPixel, double(outer.height()) * TwipsPerPixel};
}

void QtWindow::setOuterTopInTwips(double top)
{
    placeOuterCorner(*this, std::nullopt, int(std::lround(top / TwipsPerPixel)));
}

void QtWindow::setOuterLeftInTwips(double left)
{
    placeOuterCorner(*this, int(std::lround(left / TwipsPerPixel)), std::nullopt);
}

void QtWindow::setCaption(std::size_t control, std::u16string_view caption)
{
    if (auto *label = qobject_cast<CaptionLabel *>(this->control(control)))
        label->setCaption(QStringView(caption.data(), qsizetype(caption.size())));
}

std::u16string QtWindow::text(std::size_t control) const
{
    if (const auto *box = qobject_cast<const QLineEdit *>(this->control(control)))
        return toU16String(box->text());
    return {};
}

void QtWindow::setText(std::size_t control, std::u16string_view text)
{
    if (auto *box = qobject_cast<QLineEdit *>(this->control(control))) {
        box->setText(toQString(text));
        if (m_beforeEdit.box == box)
            m_beforeEdit = {box, box->text(), 0};
    }
}

// What the box holds as a user's action reaches it, and how much of that an
// insertion would replace: its selection, except for a middle-click paste,
// which inserts where it is clicked.
void QtWindow::rememberBeforeEdit(QLineEdit &box, const Control &control, const QEvent &event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress: // a drag of the selection out of the box
        m_beforeEdit = {&box, box.text(), box.selectedText().size()};
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
        m_beforeEdit = {&box, box.text(), 0};
        break;
    default:
        return;
    }
    if (mayInsert(event))
        widenOverTextAtLoad(box, control);
}

// The box takes an insertion onto the text at load beside that text, with
// the room textbox::limitForInsertion gives it. A new limit makes the box
// set its text anew, which loses the cursor and the selection the insertion
// goes to; they are put back.
void QtWindow::widenOverTextAtLoad(QLineEdit &box, const Control &control)
{
    // An earlier event of the same action may have widened it already.
    if (box.maxLength() != int(control.limit))
        return;
    const auto limit = textbox::limitForInsertion(u16View(box.text()), control.textAtLoad, control.limit);
    if (!limit)
        return;
    const int cursor = box.cursorPosition();
    const int start = box.selectionStart();
    const int length = int(box.selectedText().size());
    box.setMaxLength(int(*limit));
    if (start < 0)
        box.setCursorPosition(cursor);
    else if (cursor == start)
        box.setSelection(start + length, -length);
    else
        box.setSelection(start, length);
}

void QtWindow::reportEdit(QLineEdit &box)
{
    const std::optional<std::size_t> index = indexOf(&box);
    if (!index || m_destroyed || m_beforeEdit.box != &box)
        return;
    const platform::TextEdit edit{toU16String(m_beforeEdit.text), std::size_t(m_beforeEdit.replaced),
                                  std::size_t(box.cursorPosition())};
    m_events.textEdited(*index, edit);
    // Back at its limit; what the box holds beyond it goes, never half a
    // character.
    if (const int limit = int(m_controls[*index].limit); limit > 0 && box.maxLength() != limit) {
        if (box.text().size() > limit)
            box.setText(toQString(unicode::cut(u16View(box.text()), std::size_t(limit))));
        box.setMaxLength(limit);
    }
    // A further edit in the same action (an undo, say) starts from here.
    m_beforeEdit = {&box, box.text(), 0};
}

void QtWindow::showTopmostWithoutActivating()
{
    // Changing the flags of a window that already exists natively makes Qt
    // create it anew, so they are only touched when they are missing.
    if (!windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    // The native window made first, so that its first exposure is heard.
    winId();
    windowHandle()->installEventFilter(this);
    show();
    announceShown(*this);
}

void QtWindow::destroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    hide();
    // The handler that asked for this may still be running on the window.
    deleteLater();
    if (!anyOpen())
        QCoreApplication::quit();
}

bool QtWindow::anyOpen()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget *widget) {
        const auto *window = qobject_cast<QtWindow *>(widget);
        return window && !window->m_destroyed;
    });
}

bool QtWindow::eventFilter(QObject *watched, QEvent *event)
{
    // On screen once the window system has exposed the window; told so once
    // the window has painted what was exposed.
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_destroyed)
                    m_events.shown();
            },
            Qt::QueuedConnection);
    }
    if (auto *box = qobject_cast<QLineEdit *>(watched)) {
        if (const auto index = indexOf(box))
            rememberBeforeEdit(*box, m_controls[*index], *event);
    }
    if (event->type() == QEvent::KeyPress) {
        if (const auto index = indexOf(watched)) {
            if (m_destroyed)
                return true;
            if (const auto code = characterCodeOf(*static_cast<QKeyEvent *>(event)))
                return !m_events.keyPress(*code, index);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A key reaches the window itself when no control has the focus, or when
// the control with the focus has passed on a key it had already been
// offered: such a key has been through the events once.
void QtWindow::keyPressEvent(QKeyEvent *event)
{
    const auto code = characterCodeOf(*event);
    if (code && !m_destroyed && !indexOf(focusWidget())) {
        m_events.keyPress(*code, std::nullopt);
        return;
    }
    QWidget::keyPressEvent(event);
}

void QtWindow::closeEvent(QCloseEvent *event)
{
    if (!m_destroyed)
        m_events.closeRequested();
    event->setAccepted(m_destroyed);
}

void QtWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const Shape &shape : m_shapes) {
        painter.fillRect(shape.rect, shape.fill);
        if (shape.border) {
            painter.setPen(*shape.border);
            painter.drawRect(shape.rect.adjusted(0, 0, -1, -1));
        }
    }
}

} // namespace qtplatform
