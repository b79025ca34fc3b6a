#pragma once

#include "platform/windowsystem.h"
#include "reply/answerform.h"
#include "reply/datagramsocket.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace intake {
class FieldArray;
}
namespace platform {
class Platform;
}

namespace ui {

class Principal;

// A label of the window. Its caption lives in the native label alone: a
// long message is not held twice.
class Label
{
public:
    Label(platform::NativeWindow &window, std::size_t control) : m_window(window), m_control(control) {}

    void setCaption(std::u16string_view caption) { m_window.setCaption(m_control, caption); }

private:
    platform::NativeWindow &m_window;
    std::size_t m_control;
};

// The answer box: its text is the native box's.
class TextBox
{
public:
    TextBox(platform::NativeWindow &window, std::size_t control) : m_window(window), m_control(control) {}

    std::u16string text() const { return m_window.text(m_control); }
    void setText(std::u16string_view text) { m_window.setText(m_control, text); }

private:
    platform::NativeWindow &m_window;
    std::size_t m_control;
};

// The program-wide reference to the window: it holds the single instance,
// or nothing. Any use creates the instance, hidden and unloaded; unloading
// the window clears the reference, and once no window is loaded the program
// ends. An instance let go lives on until the reference makes a new one or
// goes itself, since the handler that unloaded it may still be running.
class PrincipalReference
{
public:
    PrincipalReference(platform::Platform &platform, const intake::FieldArray &fields);
    ~PrincipalReference();
    PrincipalReference(const PrincipalReference &) = delete;
    PrincipalReference &operator=(const PrincipalReference &) = delete;

    // The instance, created if there is none.
    Principal &operator*();
    Principal *operator->() { return &**this; }
    // Whether the reference holds an instance. Asking does not create one.
    bool exists() const { return m_instance != nullptr; }
    // Whether it holds a loaded window: the program goes on only then.
    bool isLoaded() const;

    // Sets the reference to nothing.
    void clear();

private:
    platform::Platform &m_platform;
    const intake::FieldArray &m_fields;
    std::unique_ptr<Principal> m_instance;
    std::vector<std::unique_ptr<Principal>> m_letGo;
};

// The notification window. The first access to a control or its native
// handle loads it: builds the native window from the layout, hidden, and
// runs Form_Load, which centres it.
class Principal final : private platform::WindowEvents, private reply::AnswerForm
{
public:
    Principal(PrincipalReference &reference, platform::Platform &platform, const intake::FieldArray &fields);
    ~Principal() override;

    bool isLoaded() const { return m_loaded; }

    Label &Label1();
    Label &Label2();
    Label &Label3();
    TextBox &Text1();
    // The datagram socket that carries the answer to the sender.
    reply::DatagramSocket &MensajeEnviar() override;
    // The native window, for the stacking call.
    platform::NativeWindow &hWnd();
    // Runs step the first time the window system reports the window on
    // screen, and never again; never, if the window is unloaded before.
    void whenShown(std::function<void()> step) { m_whenShown = std::move(step); }

    // Gives up an answer still on its way, runs Form_Unload, then destroys
    // the window and its controls. Does nothing for a window that is not
    // loaded.
    void Unload() override;

    // What the answer box's handler reads besides the box: the incoming
    // notification's fields and the platform.
    const intake::FieldArray &Fields() const override { return m_fields; }
    platform::Platform &platform() override { return m_platform; }

private:
    struct Controls;

    std::u16string answerText() override { return Text1().text(); }
    void setAnswerText(std::u16string_view text) override { Text1().setText(text); }

    void load();
    void Form_Load();
    void Form_KeyPress(std::int16_t &KeyAscii);
    void Form_Unload(int &Cancel);

    // Key preview: the window sees every character key first, then the
    // answer box's own handler if the key is the box's; the box takes the key
    // only if the window is still loaded after both.
    bool keyPress(std::int16_t keyAscii, std::optional<std::size_t> focusedControl) override;
    // Closing through the frame is the same unload as Escape.
    void closeRequested() override;
    // The hint gives way to any edit of it as it does to a typed key.
    void textEdited(std::size_t control, const platform::TextEdit &edit) override;
    void shown() override;

    PrincipalReference &m_reference;
    platform::Platform &m_platform;
    const intake::FieldArray &m_fields;
    bool m_loaded = false;
    std::unique_ptr<platform::NativeWindow> m_window;
    std::unique_ptr<Controls> m_controls;
    std::function<void()> m_whenShown;
};

} // namespace ui
