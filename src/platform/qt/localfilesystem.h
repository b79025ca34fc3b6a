#pragma once

#include "platform/filesystem.h"

#include <optional>

#include <sys/types.h>

namespace qtplatform {

// The POSIX file system. Paths are encoded as the locale encodes file names
// (UTF-8); the separator is '/'; files carry no archive, hidden or system
// attributes, so both selectors find exactly the regular files.
class LocalFileSystem : public platform::FileSystem
{
public:
    LocalFileSystem() = default;
    ~LocalFileSystem() override;

    std::u16string executableDirectory() const override;
    char16_t pathSeparator() const override { return u'/'; }
    bool fileExists(const std::u16string &path, Selector selector) const override;
    std::u16string readFirstLine(const std::u16string &path) override;
    void deleteFile(const std::u16string &path) override;

private:
    struct FileIdentity
    {
        std::u16string path;
        dev_t device = 0;
        ino_t inode = 0;
    };
    void releaseClaim();

    // The file the last read opened, as the system identifies it.
    std::optional<FileIdentity> m_lastRead;
    // The descriptor of the file the last read claimed, open, and so holding
    // its lock, until the file is deleted or the run ends.
    int m_claim = -1;
};

} // namespace qtplatform
