#include "ui/principal.h"

#include "platform/guiapplication.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "platform/windowsystem.h"
#include "reply/text1_keypress.h"
#include "ui/captionlabel.h"
#include "ui/notifiericon.h"
#include "ui/pngresource.h"
#include "ui/shape.h"
#include "ui/singlelinevalidator.h"
#include "ui/texts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace ui {

namespace {

using platform::twipsToPixels;

Principal *reference = nullptr;

constexpr qint16 KeyEscape = 27;
constexpr int ClientWidthTwips = 5730;
constexpr int ClientHeightTwips = 2115;
constexpr int Text1MaxLength = 100;

const QColor Grey128(128, 128, 128);
const QColor Border192(192, 192, 192);
const QColor HeaderFill(243, 243, 243);

// Positions are in twips relative to the client area: left, top, width, height.
QRect twipRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QFont tahoma(qreal points, QFont::Weight weight = QFont::Normal)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setWeight(weight);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void setTextColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Single precision, as the window was designed with; half twips can occur.
float centredOffset(float screenExtent, float windowExtent)
{
    return (screenExtent - windowExtent) / 2.0f;
}

} // namespace

bool characterCodeOf(const QKeyEvent &event, qint16 &keyAscii)
{
    const QString text = event.text();
    if (text.isEmpty())
        return false;
    const char16_t code = text.front().unicode();
    // X11 gives Delete the DEL character; it edits, it does not type.
    if (code == 0x7f)
        return false;
    keyAscii = qint16(code);
    return true;
}

Principal &Principal::instance()
{
    if (!reference) {
        platform::ensureGuiApplication();
        reference = new Principal;
    }
    return *reference;
}

bool Principal::exists()
{
    return reference != nullptr;
}

Principal::Principal()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::WindowStaysOnTopHint)
{
    // Kept on top and shown without activation from the start: changing
    // either once the native window exists makes Qt build it anew.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("Principal"));
}

Principal::~Principal()
{
    if (reference == this)
        reference = nullptr;
}

CaptionLabel *Principal::Label1()
{
    load();
    return m_label1;
}

CaptionLabel *Principal::Label2()
{
    load();
    return m_label2;
}

CaptionLabel *Principal::Label3()
{
    load();
    return m_label3;
}

QLineEdit *Principal::Text1()
{
    load();
    return m_text1;
}

platform::DatagramSocket &Principal::MensajeEnviar()
{
    load();
    return m_mensajeEnviar;
}

void Principal::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    buildControls();
    Form_Load();
}

void Principal::buildControls()
{
    const QString caption = texts::WindowCaption.toString();
    setWindowTitle(caption);
    setAccessibleName(caption);
    setWindowIcon(notifierIcon());
    setFont(tahoma(8.25));
    setFixedSize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));

    // Siblings created later are drawn above earlier ones, so the controls
    // are made from the bottommost up.
    auto *shape2 = new Shape(Qt::white, std::nullopt, this);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(twipRect(0, 0, 5775, 1575));

    m_label2 = new CaptionLabel(texts::Label2Placeholder, this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(twipRect(1080, 690, 4515, 630));
    m_label2->setFont(tahoma(9));
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(m_label2, QPalette::WindowText, palette().color(QPalette::ButtonText));

    auto *shape1 = new Shape(HeaderFill, Border192, this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(twipRect(60, 60, 5595, 315));

    m_label1 = new CaptionLabel(texts::Label1Placeholder, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twipRect(150, 120, 4050, 195));
    m_label1->setFont(tahoma(8.25, QFont::Bold));
    setTextColour(m_label1, QPalette::WindowText, Qt::black);

    m_label3 = new CaptionLabel(texts::Label3Placeholder, this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(twipRect(4800, 120, 765, 195));
    setTextColour(m_label3, QPalette::WindowText, Qt::black);

    // Line1(5) and Line1(4): an etched separator, highlight under shadow.
    auto *line5 = new Shape(palette().color(QPalette::Light), std::nullopt, this);
    line5->setObjectName(QStringLiteral("Line1_5"));
    line5->setGeometry(twipRect(0, 1575, ClientWidthTwips, platform::TwipsPerPixel));
    auto *line4 = new Shape(palette().color(QPalette::Dark), std::nullopt, this);
    line4->setObjectName(QStringLiteral("Line1_4"));
    line4->setGeometry(twipRect(0, 1560, ClientWidthTwips, platform::TwipsPerPixel));

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(pngPixmap(QStringLiteral(":/icons/image1.png")));
    image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1->setGeometry(twipRect(180, 480, 720, 720));

    auto *shape3 = new Shape(palette().color(QPalette::Base), Border192, this);
    shape3->setObjectName(QStringLiteral("Shape3"));
    shape3->setGeometry(twipRect(90, 1680, 5565, 345));

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(twipRect(150, 1740, 5415, 255));
    m_text1->setFrame(false);
    m_text1->setMaxLength(Text1MaxLength);
    m_text1->setValidator(new SingleLineValidator(m_text1));
    m_text1->setText(texts::HintText.toString());
    m_text1->setCursorPosition(0);
    setTextColour(m_text1, QPalette::Text, Grey128);
    m_text1->installEventFilter(this);
    setFocusProxy(m_text1);
}

void Principal::Form_Load()
{
    platform::WindowSystem &windows = platform::windowSystem();
    const auto outerHeight = float(windows.outerSizeInTwips(*this).height());
    const auto screenHeight = float(windows.screenSizeInTwips().height());
    windows.setOuterTopInTwips(*this, centredOffset(screenHeight, outerHeight));
    const auto outerWidth = float(windows.outerSizeInTwips(*this).width());
    const auto screenWidth = float(windows.screenSizeInTwips().width());
    windows.setOuterLeftInTwips(*this, centredOffset(screenWidth, outerWidth));
}

void Principal::Form_KeyPress(qint16 &KeyAscii)
{
    if (KeyAscii == KeyEscape)
        Unload();
}

void Principal::Form_Unload(int &Cancel)
{
    Q_UNUSED(Cancel);
    reference = nullptr;
}

void Principal::Unload()
{
    if (!m_loaded)
        return;
    int cancel = 0;
    Form_Unload(cancel);
    m_loaded = false;
    hide();
    // The handler that asked for the unload may still be running on this
    // window; it goes once control is back in the event loop.
    deleteLater();
    QCoreApplication::quit();
}

bool Principal::previewKey(qint16 keyAscii)
{
    Form_KeyPress(keyAscii);
    return !m_loaded;
}

bool Principal::dispatchText1Key(qint16 keyAscii)
{
    if (previewKey(keyAscii))
        return true;
    reply::Text1_KeyPress(*this, keyAscii);
    return !m_loaded;
}

bool Principal::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text1 && event->type() == QEvent::KeyPress) {
        qint16 keyAscii = 0;
        if (characterCodeOf(*static_cast<QKeyEvent *>(event), keyAscii))
            return dispatchText1Key(keyAscii);
    }
    return QWidget::eventFilter(watched, event);
}

void Principal::keyPressEvent(QKeyEvent *event)
{
    qint16 keyAscii = 0;
    if (characterCodeOf(*event, keyAscii)) {
        previewKey(keyAscii);
        return;
    }
    QWidget::keyPressEvent(event);
}

void Principal::closeEvent(QCloseEvent *event)
{
    // Closing through the frame is the same unload as Escape.
    Unload();
    event->accept();
}

} // namespace ui
