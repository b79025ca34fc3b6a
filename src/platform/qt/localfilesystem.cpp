#include "platform/qt/localfilesystem.h"

#include "core/error.h"
#include "core/unicode.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qtplatform {

namespace {

using core::Error;

constexpr std::u16string_view Source = u"FileSystem";

Error errorFromErrno(int code)
{
    const std::u16string source(Source);
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return Error::fromNumber(Error::FileNotFound, source);
    case EACCES:
    case EPERM:
    case EROFS:
        return Error::fromNumber(Error::PermissionDenied, source);
    case ENOMEM:
        return Error::fromNumber(Error::OutOfMemory, source);
    case EIO:
        return Error::fromNumber(Error::DeviceIOError, source);
    default:
        return Error::fromNumber(Error::PathFileAccessError, source);
    }
}

QByteArray encodedPath(const std::u16string &path)
{
    const std::string name = unicode::toUtf8RestoringBytes(path);
    return QByteArray(name.data(), qsizetype(name.size()));
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    // The descriptor is the caller's to close from now on.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

Error alreadyClaimed()
{
    return Error::fromNumber(Error::FileAlreadyOpen, std::u16string(Source));
}

// Takes the file for this run: several notifiers started at once on one
// notification must show it once. The lock lives as long as the descriptor
// and ends with the process, however it ends. A run that locks the file only
// after its owner deleted it, or after a newer one was renamed over it,
// holds a file that no longer is the notification.
void claim(int fd, const QByteArray &name, const struct stat &opened)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            throw alreadyClaimed();
        if (errno != EINTR)
            throw errorFromErrno(errno);
    }
    struct stat atPath;
    if (::stat(name.constData(), &atPath) != 0 || atPath.st_dev != opened.st_dev || atPath.st_ino != opened.st_ino)
        throw alreadyClaimed();
}

// memchr scans many bytes a step; a message of a megabyte is otherwise
// millions of comparisons.
qsizetype lineBreakIn(const char *data, qsizetype size)
{
    const void *newline = std::memchr(data, '\n', size_t(size));
    const qsizetype searched = newline ? static_cast<const char *>(newline) - data : size;
    const void *ret = std::memchr(data, '\r', size_t(searched));
    if (ret)
        return static_cast<const char *>(ret) - data;
    return newline ? searched : -1;
}

// Room for the whole of a file of this size, and one byte more to see its
// end, but never more than the line may take: the size is only a hint (the
// file can grow or shrink meanwhile, and a sparse file claims gigabytes).
qsizetype bufferSize(off_t fileSize)
{
    constexpr off_t Smallest = 4 * 1024;
    constexpr off_t Largest = off_t(platform::FirstLineLimit);
    return qsizetype(std::clamp(fileSize + 1, Smallest, Largest));
}

// Says how the file is encoded, in UTF-8; no part of the record.
constexpr std::string_view Utf8ByteOrderMark = "\xef\xbb\xbf";

} // namespace

LocalFileSystem::~LocalFileSystem()
{
    releaseClaim();
}

void LocalFileSystem::releaseClaim()
{
    if (m_claim >= 0)
        ::close(m_claim);
    m_claim = -1;
}

std::u16string LocalFileSystem::executableDirectory() const
{
    // /proc/self/exe names the binary itself, whatever the working directory
    // or argv[0] say.
    QByteArray target(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", target.data(), size_t(target.size()));
        if (length < 0)
            throw errorFromErrno(errno);
        if (length < target.size()) {
            target.truncate(length);
            break;
        }
        target.resize(target.size() * 2);
    }
    const qsizetype slash = target.lastIndexOf('/');
    target.truncate(slash <= 0 ? 1 : slash);
    return unicode::fromUtf8EscapingBytes(std::string_view(target.constData(), std::size_t(target.size())));
}

bool LocalFileSystem::fileExists(const std::u16string &path, Selector) const
{
    struct stat info;
    if (::stat(encodedPath(path).constData(), &info) != 0) {
        // A missing file, a dangling link or a missing directory mean "no
        // file"; anything else means the test itself could not be made.
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw errorFromErrno(errno);
    }
    return S_ISREG(info.st_mode);
}

std::string LocalFileSystem::readFirstLine(const std::u16string &path)
{
    // Non-blocking, so that a FIFO swapped in after the existence test cannot
    // hang the program; it is refused below as not being a regular file.
    // One claim at a time: a claim this run still held would refuse it the
    // same file.
    releaseClaim();
    const QByteArray name = encodedPath(path);
    FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        throw errorFromErrno(errno);
    struct stat info;
    if (::fstat(file.get(), &info) != 0)
        throw errorFromErrno(errno);
    m_lastRead = FileIdentity{path, info.st_dev, info.st_ino};
    if (!S_ISREG(info.st_mode))
        throw Error::fromNumber(Error::PathFileAccessError, std::u16string(Source));
    claim(file.get(), name, info);
    // Kept whatever the read gives: a record found wanting is dropped by this
    // run alone, too.
    m_claim = file.release();
    const int fd = m_claim;

    // Read straight into one buffer, so that a long line is not reallocated
    // on its way in and is copied once, into the line returned; what lies
    // past the limit is never read.
    constexpr auto Limit = qsizetype(platform::FirstLineLimit);
    QByteArray line(bufferSize(info.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    bool sawAnything = false;
    bool lineEnded = false;
    while (!lineEnded && filled < Limit) {
        if (filled == line.size())
            line.resize(std::min(line.size() * 2, Limit));
        // In steps, so that a short first line in a long file stops the
        // reading early; the part of the buffer never read into costs nothing.
        const qsizetype step = std::min<qsizetype>(line.size() - filled, 256 * 1024);
        const ssize_t got = ::read(fd, line.data() + filled, size_t(step));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw errorFromErrno(errno);
        }
        if (got == 0)
            break;
        sawAnything = true;
        const qsizetype end = lineBreakIn(line.constData() + filled, got);
        lineEnded = end >= 0;
        filled += lineEnded ? end : got;
    }
    if (!sawAnything)
        throw Error::fromNumber(Error::InputPastEndOfFile, std::u16string(Source));
    std::string_view read(line.constData(), std::size_t(filled));
    if (!lineEnded && filled == Limit)
        read = read.substr(0, m_codec.wholeCharactersLength(read));
    if (m_codec.isUtf8() && read.starts_with(Utf8ByteOrderMark))
        read.remove_prefix(Utf8ByteOrderMark.size());
    return std::string(read);
}

void LocalFileSystem::deleteFile(const std::u16string &path)
{
    // The messaging system may put the next notification in place (by
    // renaming it there) while this one is on screen: that one is not ours.
    const QByteArray name = encodedPath(path);
    struct stat info;
    if (m_lastRead && m_lastRead->path == path && ::stat(name.constData(), &info) == 0
        && (info.st_dev != m_lastRead->device || info.st_ino != m_lastRead->inode))
        return;
    if (::unlink(name.constData()) != 0)
        throw errorFromErrno(errno);
    // A run that opened the file before it went finds it gone once it holds
    // the lock: nothing is left to guard.
    if (m_lastRead && m_lastRead->path == path)
        releaseClaim();
}

} // namespace qtplatform
