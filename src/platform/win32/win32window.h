#pragma once

#include "platform/win32/iconresource.h"
#include "platform/windowsystem.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace win32platform {

class Win32WindowSystem;

// A top-level window built from a layout: labels are STATIC controls and a
// text box an EDIT control, each a child window; the rectangles, lines and
// pictures the window paints itself, in the layout's stacking order. The
// window has a caption bar with a close button only and cannot be resized.
// Lengths follow the dots per inch of the monitor it is on.
class Win32Window final : public platform::NativeWindow
{
public:
    // Creates the window hidden at the top left of the primary monitor.
    // handle() is null if the window system refused to make it.
    Win32Window(Win32WindowSystem &system, const platform::WindowLayout &layout, platform::WindowEvents &events);
    ~Win32Window() override;

    HWND handle() const { return m_window; }

    platform::TwipSize outerSizeInTwips() const override;
    void setOuterTopInTwips(double top) override;
    void setOuterLeftInTwips(double left) override;
    void setCaption(std::size_t control, std::u16string_view caption) override;
    std::u16string text(std::size_t control) const override;
    void setText(std::size_t control, std::u16string_view text) override;
    void showTopmostWithoutActivating() override;
    void destroy() override;

private:
    struct Control
    {
        platform::Control layout;
        std::wstring fontFamily;
        HWND window = nullptr; // labels and text boxes
        HFONT font = nullptr;
        // The system's own procedure of a child the window listens to first:
        // an EDIT, for key preview, or a wrapping label, which describes itself.
        WNDPROC textBoxProcedure = nullptr;
        std::u16string caption; // a wrapping label's, as its description carries it

        Picture picture;
    };

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK textBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onTextBoxMessage(Control &box, UINT message, WPARAM wParam, LPARAM lParam);

    void createControls(const platform::WindowLayout &layout);
    void applyDpi(UINT dpi);
    void applyFont(Control &control);
    void applyIcons();
    SIZE outerPixelSize(UINT dpi) const;
    void paint();
    Control *controlOf(HWND child);
    bool deliverKey(WPARAM code, std::optional<std::size_t> control);
    // Reports the paste as an edit, so that the hint gives way to it.
    void pasteAsOneLine(Control &box);
    // The box's text and selection before an edit, and the edit reported
    // once the box has made it, if it changed the text.
    platform::TextEdit editFrom(const Control &box) const;
    void reportEdit(const Control &box, platform::TextEdit edit);
    void drawLabel(const Control &label, const DRAWITEMSTRUCT &item) const;
    // A label's caption if the label does not show all of it, or nothing.
    std::wstring labelDescription(const Control &label) const;
    // Has screen readers read what the window says, as it appears.
    void announce();
    void focusFirstTextBox();
    bool pointedAt() const;
    void moveOuterTo(std::optional<double> left, std::optional<double> top);
    void releaseResources();

    Win32WindowSystem &m_system;
    platform::WindowEvents &m_events;
    HWND m_window = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    int m_clientWidth = 0; // twips
    int m_clientHeight = 0;
    platform::Colour m_background;
    std::vector<Control> m_controls;
    std::optional<POINT> m_pointerWhenShown;
    // Where the window's outer corner goes when it shows, if it was placed
    // before.
    std::optional<POINT> m_cornerWhenShown;
    bool m_focusOffered = false;
    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
};

} // namespace win32platform
