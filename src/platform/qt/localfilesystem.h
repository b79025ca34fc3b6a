#pragma once

#include "platform/filesystem.h"

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <sys/types.h>

namespace qtplatform {

// The POSIX file system. Paths are the system's bytes, held as UTF-8 with
// every other byte escaped, so that a folder named in any encoding is
// found; the separator is '/'. A claim is an exclusive flock on the file's
// descriptor, which stays open, and so holds the lock, until the file is
// deleted or the run ends.
class LocalFileSystem : public platform::FileSystem
{
public:
    LocalFileSystem() = default;
    ~LocalFileSystem() override;

    std::u16string executableDirectory() const override;
    char16_t pathSeparator() const override { return u'/'; }
    bool fileExists(const std::u16string &path) const override;
    std::unique_ptr<platform::FileReader> claim(const std::u16string &path) override;
    void deleteFile(const std::u16string &path) override;

    // The moments of a deletion at which another program may act on the
    // file's folder: a test acts there, as one.
    enum DeletionStep { Checked, MovedAside };
    std::function<void(DeletionStep)> duringDeletion;

private:
    struct FileIdentity
    {
        std::u16string path;
        dev_t device = 0;
        ino_t inode = 0;
    };
    void releaseClaim();
    // Whether the file so described is the one the last claim opened.
    bool isLastRead(const struct stat &info) const;

    // The file the last claim opened, as the system identifies it.
    std::optional<FileIdentity> m_lastRead;
    // The descriptor of the file the last claim locked.
    int m_claim = -1;
};

} // namespace qtplatform
