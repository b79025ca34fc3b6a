#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace platform {

// A notification file open for reading, claimed for this run. Letting go of
// it ends the reading; the claim stays with the file system that made it.
// It serves until that file system's next claim or deletion.
class FileReader
{
public:
    FileReader() = default;
    virtual ~FileReader() = default;
    FileReader(const FileReader &) = delete;
    FileReader &operator=(const FileReader &) = delete;

    // The file's size when it was opened: a hint only, as the file can grow
    // or shrink meanwhile, and a sparse file claims gigabytes.
    virtual std::uint64_t sizeHint() const = 0;
    // Reads the next bytes into the buffer, as many as the system gives at
    // once; 0 only at the file's end.
    virtual std::size_t read(std::span<char> buffer) = 0;
};

// The file operations the intake needs. Paths are the platform's own, held
// as UTF-16 text that maps back to the system's name exactly (whatever bytes
// a folder's name is made of, where names are bytes). A failed call into
// the system is raised as SystemFailure.
class FileSystem
{
public:
    FileSystem() = default;
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem &) = delete;
    FileSystem &operator=(const FileSystem &) = delete;

    // Directory of the running executable as the system reports it, without
    // a trailing separator; never the working directory.
    virtual std::u16string executableDirectory() const = 0;
    // The separator that joins a directory and a name in a path.
    virtual char16_t pathSeparator() const = 0;
    // True only for an ordinary regular file (or a link to one); never a
    // directory, nor a file the system hides. Raises a failure only when the
    // test itself cannot be made.
    virtual bool fileExists(const std::u16string &path) const = 0;
    // Opens the file to read it, and claims it for this run until the run
    // ends or deletes it, so that one notification is shown by one run only:
    // another run that claims the same file meanwhile fails with
    // ClaimedElsewhere, and so does one that opened it before this run
    // deleted it (one that comes later finds no file). Never blocks; anything but a regular file on disk fails with NotAFile. A
    // claim this run held before is given up first.
    virtual std::unique_ptr<FileReader> claim(const std::u16string &path) = 0;
    // Deletes the file at path. Once the file there has been claimed, only
    // that same file is deleted: one put in its place since (a newer
    // notification) is left for the run that shows it.
    virtual void deleteFile(const std::u16string &path) = 0;
};

} // namespace platform
