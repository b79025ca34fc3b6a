#include "ui/principal.h"

#include "platform/platform.h"
#include "reply/hintinsertion.h"
#include "reply/text1_keypress.h"
#include "ui/layout.h"

#include <utility>

namespace ui {

namespace {

constexpr std::int16_t KeyEscape = 27;

// Single precision, as the window was designed with; half twips can occur.
float centredOffset(float screenExtent, float windowExtent)
{
    return (screenExtent - windowExtent) / 2.0f;
}

} // namespace

struct Principal::Controls
{
    Controls(platform::NativeWindow &window, platform::Platform &platform)
        : label1(window, Label1Index)
        , label2(window, Label2Index)
        , label3(window, Label3Index)
        , text1(window, Text1Index)
        , mensajeEnviar(platform)
    {
    }

    Label label1;
    Label label2;
    Label label3;
    TextBox text1;
    reply::DatagramSocket mensajeEnviar;
};

PrincipalReference::PrincipalReference(platform::Platform &platform, const intake::FieldArray &fields)
    : m_platform(platform), m_fields(fields)
{
}

PrincipalReference::~PrincipalReference() = default;

Principal &PrincipalReference::operator*()
{
    if (!m_instance) {
        m_letGo.clear();
        m_instance = std::make_unique<Principal>(*this, m_platform, m_fields);
    }
    return *m_instance;
}

bool PrincipalReference::isLoaded() const
{
    return m_instance && m_instance->isLoaded();
}

void PrincipalReference::clear()
{
    if (m_instance)
        m_letGo.push_back(std::move(m_instance));
}

Principal::Principal(PrincipalReference &reference, platform::Platform &platform, const intake::FieldArray &fields)
    : m_reference(reference), m_platform(platform), m_fields(fields)
{
}

Principal::~Principal() = default;

Label &Principal::Label1()
{
    load();
    return m_controls->label1;
}

Label &Principal::Label2()
{
    load();
    return m_controls->label2;
}

Label &Principal::Label3()
{
    load();
    return m_controls->label3;
}

TextBox &Principal::Text1()
{
    load();
    return m_controls->text1;
}

reply::DatagramSocket &Principal::MensajeEnviar()
{
    load();
    return m_controls->mensajeEnviar;
}

platform::NativeWindow &Principal::hWnd()
{
    load();
    return *m_window;
}

void Principal::load()
{
    if (m_loaded)
        return;
    m_window = m_platform.windowSystem().createWindow(PrincipalLayout, *this);
    m_controls = std::make_unique<Controls>(*m_window, m_platform);
    m_loaded = true;
    Form_Load();
}

void Principal::Form_Load()
{
    platform::WindowSystem &windows = m_platform.windowSystem();
    const auto outerHeight = float(m_window->outerSizeInTwips().height);
    const auto screenHeight = float(windows.screenSizeInTwips().height);
    m_window->setOuterTopInTwips(centredOffset(screenHeight, outerHeight));
    const auto outerWidth = float(m_window->outerSizeInTwips().width);
    const auto screenWidth = float(windows.screenSizeInTwips().width);
    m_window->setOuterLeftInTwips(centredOffset(screenWidth, outerWidth));
}

void Principal::Form_KeyPress(std::int16_t &KeyAscii)
{
    if (KeyAscii == KeyEscape)
        Unload();
}

void Principal::Form_Unload(int &Cancel)
{
    (void)Cancel;
    m_reference.clear();
}

void Principal::Unload()
{
    if (!m_loaded)
        return;
    // An answer still on its way is given up: nothing leaves after the
    // window has gone, and no box reports on it.
    m_controls->mensajeEnviar.abandonSend();
    m_whenShown = nullptr;
    int cancel = 0;
    Form_Unload(cancel);
    m_loaded = false;
    m_window->destroy();
}

bool Principal::keyPress(std::int16_t keyAscii, std::optional<std::size_t> focusedControl)
{
    if (!m_loaded)
        return false;
    Form_KeyPress(keyAscii);
    if (m_loaded && focusedControl == Text1Index)
        reply::Text1_KeyPress(*this, keyAscii);
    return m_loaded;
}

void Principal::closeRequested()
{
    Unload();
}

void Principal::textEdited(std::size_t control, const platform::TextEdit &edit)
{
    if (!m_loaded || control != Text1Index)
        return;
    const std::u16string after = Text1().text();
    const std::u16string text = reply::textAfterEdit({edit.before, after, edit.replaced, edit.cursor});
    if (text != after)
        Text1().setText(text);
}

void Principal::shown()
{
    if (m_loaded && m_whenShown)
        std::exchange(m_whenShown, nullptr)();
}

} // namespace ui
