#pragma once

#include <QString>

#include <optional>

#include <sys/types.h>

namespace platform {

// The file operations the intake needs. Every failure is raised as
// platform::Error.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Directory of the running executable as the OS reports it, without a
    // trailing separator; never the working directory.
    virtual QString executableDirectory() const = 0;
    // True only for a regular file, or a symbolic link to one.
    virtual bool fileExists(const QString &path) const = 0;
    // The text up to the first LF, CRLF or lone CR, without the break, decoded
    // in the locale's encoding. Fails on an empty file.
    virtual QString readFirstLine(const QString &path) const = 0;
    // Deletes the file at path. Once the file there has been read, only that
    // same file is deleted: one put in its place since (a newer
    // notification) is left for the run that shows it.
    virtual void deleteFile(const QString &path) = 0;
};

class LocalFileSystem : public FileSystem
{
public:
    QString executableDirectory() const override;
    bool fileExists(const QString &path) const override;
    QString readFirstLine(const QString &path) const override;
    void deleteFile(const QString &path) override;

private:
    struct FileIdentity
    {
        QString path;
        dev_t device = 0;
        ino_t inode = 0;
    };
    // The file the last read opened, as the system identifies it.
    mutable std::optional<FileIdentity> m_lastRead;
};

} // namespace platform
