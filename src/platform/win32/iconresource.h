#pragma once

#include <windows.h>

#include <string_view>
#include <utility>

// The program's icon, as the executable's resources carry it.
namespace win32platform {

// An icon the program made, destroyed when it goes.
class UniqueIcon
{
public:
    UniqueIcon() = default;
    explicit UniqueIcon(HICON icon) : m_icon(icon) {}
    ~UniqueIcon()
    {
        if (m_icon)
            DestroyIcon(m_icon);
    }
    UniqueIcon(UniqueIcon &&other) noexcept : m_icon(other.m_icon) { other.m_icon = nullptr; }
    UniqueIcon &operator=(UniqueIcon &&other) noexcept
    {
        std::swap(m_icon, other.m_icon);
        return *this;
    }

    HICON get() const { return m_icon; }

private:
    HICON m_icon = nullptr;
};

// The icon at the size the desktop asks for, made from whichever of its
// images suits the screen best; empty where the executable has none.
UniqueIcon loadProgramIcon(int size);

// A picture named in a window layout: one image of the program's icon,
// exactly as stored, so it looks the same on every screen.
struct Picture
{
    UniqueIcon icon; // empty where the executable lacks it
    int size = 0;    // its side in pixels, as drawn at 96 dots per inch
};
Picture loadPicture(std::u16string_view name);

} // namespace win32platform
