#pragma once

#include "platform/filesystem.h"

#include <cstdint>
#include <optional>
#include <string>

namespace win32platform {

// Files through the Windows API: the module's own path, attributes, and the
// notification's first line read with CreateFileW and ReadFile, up to the
// bound, and cut in the ANSI code page.
class Win32FileSystem final : public platform::FileSystem
{
public:
    Win32FileSystem() = default;
    ~Win32FileSystem() override;

    std::u16string executableDirectory() const override;
    char16_t pathSeparator() const override { return u'\\'; }
    // Hidden and system files count as absent under either selector.
    bool fileExists(const std::u16string &path, Selector selector) const override;
    std::string readFirstLine(const std::u16string &path) override;
    void deleteFile(const std::u16string &path) override;

    // What tells one file from another on Windows, whatever its name.
    struct FileIdentity
    {
        std::uint32_t volumeSerial = 0;
        std::uint64_t fileIndex = 0;
        bool operator==(const FileIdentity &) const = default;
    };

private:
    struct FileRead
    {
        std::u16string path;
        FileIdentity identity;
    };
    void claim(void *file, const FileIdentity &identity);
    void releaseClaim();

    std::optional<FileRead> m_lastRead;
    // The claim on the file the last read took, held until the file is
    // deleted or the run ends.
    void *m_claim = nullptr;
};

} // namespace win32platform
