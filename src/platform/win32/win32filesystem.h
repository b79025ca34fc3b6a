#pragma once

#include "platform/filesystem.h"

#include <cstdint>
#include <optional>
#include <string>

namespace win32platform {

// Files through the Windows API: the module's own path, attributes, and the
// notification read with CreateFileW and ReadFile. A claim is a mutex named
// after the file's volume and index, held until the file is deleted or the
// run ends; the file itself is open only while it is read, so that a newer
// notification can still be renamed over it.
class Win32FileSystem final : public platform::FileSystem
{
public:
    Win32FileSystem() = default;
    ~Win32FileSystem() override;

    std::u16string executableDirectory() const override;
    char16_t pathSeparator() const override { return u'\\'; }
    // Hidden and system files count as absent.
    bool fileExists(const std::u16string &path) const override;
    std::unique_ptr<platform::FileReader> claim(const std::u16string &path) override;
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
    void takeClaim(void *file, const std::wstring &name, const FileIdentity &identity);
    void releaseClaim();

    std::optional<FileRead> m_lastRead;
    // The mutex of the last claim, held until the run ends.
    void *m_claim = nullptr;
};

} // namespace win32platform
