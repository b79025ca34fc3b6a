#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The most of a notification's first line that is read, in bytes. A record
// is one line of a chat message; the window shows a few hundred characters
// of it, and the answer, which echoes the sender's fields, must fit one UDP
// datagram (at most 65,507 bytes). A mebibyte is far beyond any real
// notification and keeps the reading within a few megabytes whatever the
// file holds: a line of gigabytes, or a sparse file with no line break.
inline constexpr std::size_t FirstLineLimit = 1024 * 1024;

// The file operations the intake needs. Paths are the platform's own, held
// as UTF-16 text that maps back to the system's name exactly (whatever bytes
// a folder's name is made of, where names are bytes); every failure is
// raised as core::Error.
class FileSystem
{
public:
    // The attribute selector of the existence test. Where files carry
    // archive, hidden and system attributes, both find ordinary files and
    // neither finds hidden or system files; elsewhere they are the same.
    enum class Selector { Normal = 0, Archive = 32 };

    FileSystem() = default;
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem &) = delete;
    FileSystem &operator=(const FileSystem &) = delete;

    // Directory of the running executable as the system reports it, without
    // a trailing separator; never the working directory.
    virtual std::u16string executableDirectory() const = 0;
    // The separator that joins a directory and a name in a path.
    virtual char16_t pathSeparator() const = 0;
    // True only for a regular file (or a link to one); never a directory.
    // Raises an error only when the test itself cannot be made.
    virtual bool fileExists(const std::u16string &path, Selector selector) const = 0;
    // The bytes up to the first LF, CR LF or lone CR, without the break, as
    // the file holds them in the system's default encoding for text: at
    // most FirstLineLimit bytes. A longer line is cut
    // there, never inside a character of that encoding, and the cut line is
    // the line. Fails with InputPastEndOfFile
    // on an empty file (a file read whole, with no record in it); any other
    // failure means the file could not be opened or read. Fails on anything
    // that is not a regular file; never blocks.
    // The read claims the file for this run until the run ends or deletes
    // it: another run that reads the same file meanwhile, or that reaches it
    // only after this run has deleted it, fails with FileAlreadyOpen, so
    // that one notification is shown by one run only.
    virtual std::string readFirstLine(const std::u16string &path) = 0;
    // Deletes the file at path. Once the file there has been read, only that
    // same file is deleted: one put in its place since (a newer
    // notification) is left for the run that shows it.
    virtual void deleteFile(const std::u16string &path) = 0;
};

} // namespace platform
