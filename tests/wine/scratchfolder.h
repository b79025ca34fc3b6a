#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// A folder of the test's own under the temporary folder, removed with all
// it holds when the test ends. Paths are wide, as the Windows API takes them.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::wstring &path() const { return m_path; }
    std::wstring file(std::wstring_view name) const { return m_path + L'\\' + std::wstring(name); }

private:
    std::wstring m_path;
};

// Writes the bytes as the whole file; false if it cannot.
bool writeFile(const std::wstring &path, std::string_view bytes);
// The whole file, or nothing if it cannot be read.
std::string readWholeFile(const std::wstring &path);
bool fileIsThere(const std::wstring &path);

inline std::u16string utf16(const std::wstring &text)
{
    return std::u16string(text.begin(), text.end());
}
