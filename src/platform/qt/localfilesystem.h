#pragma once

#include "platform/filesystem.h"
#include "platform/qt/localetextcodec.h"

#include <optional>

#include <sys/types.h>

namespace qtplatform {

// The POSIX file system. Paths are the system's bytes, held as UTF-8 with
// every other byte escaped, so that a folder named in any encoding is
// found; the separator is '/'; files carry no archive, hidden or system
// attributes, so both selectors find exactly the regular files. The line is
// cut in the locale's encoding; in UTF-8, a leading byte-order mark, which
// only says how the file is encoded, is no part of it.
class LocalFileSystem : public platform::FileSystem
{
public:
    explicit LocalFileSystem(const LocaleTextCodec &codec = LocaleTextCodec::ofThisProcess()) : m_codec(codec) {}
    ~LocalFileSystem() override;

    std::u16string executableDirectory() const override;
    char16_t pathSeparator() const override { return u'/'; }
    bool fileExists(const std::u16string &path, Selector selector) const override;
    std::string readFirstLine(const std::u16string &path) override;
    void deleteFile(const std::u16string &path) override;

private:
    struct FileIdentity
    {
        std::u16string path;
        dev_t device = 0;
        ino_t inode = 0;
    };
    void releaseClaim();

    const LocaleTextCodec &m_codec;
    // The file the last read opened, as the system identifies it.
    std::optional<FileIdentity> m_lastRead;
    // The descriptor of the file the last read claimed, open, and so holding
    // its lock, until the file is deleted or the run ends.
    int m_claim = -1;
};

} // namespace qtplatform
