#include "platform/qt/localfilesystem.h"

#include "core/unicode.h"
#include "platform/failure.h"

#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qtplatform {

namespace {

using platform::FailureKind;
using platform::SystemFailure;

SystemFailure failureOf(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return SystemFailure(FailureKind::NotFound, code);
    case EACCES:
    case EPERM:
    case EROFS:
        return SystemFailure(FailureKind::AccessDenied, code);
    case ENOMEM:
    case EMFILE:
    case ENFILE:
        return SystemFailure(FailureKind::OutOfMemory, code);
    case EIO:
        return SystemFailure(FailureKind::DeviceError, code);
    case EISDIR:
        return SystemFailure(FailureKind::NotAFile, code);
    default:
        return SystemFailure(FailureKind::Other, code);
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

// Takes the file for this run: several notifiers started at once on one
// notification must show it once. The lock lives as long as the descriptor
// and ends with the process, however it ends. A run that locks the file only
// after its owner deleted it, or after a newer one was renamed over it,
// holds a file that no longer is the notification.
void lock(int fd, const QByteArray &name, const struct stat &opened)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            throw SystemFailure(FailureKind::ClaimedElsewhere, errno);
        if (errno != EINTR)
            throw failureOf(errno);
    }
    struct stat atPath;
    if (::stat(name.constData(), &atPath) != 0 || atPath.st_dev != opened.st_dev || atPath.st_ino != opened.st_ino)
        throw SystemFailure(FailureKind::ClaimedElsewhere);
}

// Reads through the claim's descriptor, which outlives the reading.
class DescriptorReader final : public platform::FileReader
{
public:
    DescriptorReader(int fd, off_t size) : m_fd(fd), m_size(size) {}

    std::uint64_t sizeHint() const override { return std::uint64_t(m_size); }
    std::size_t read(std::span<char> buffer) override
    {
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer.data(), buffer.size());
            if (got >= 0)
                return std::size_t(got);
            if (errno != EINTR)
                throw failureOf(errno);
        }
    }

private:
    int m_fd;
    off_t m_size;
};

// Renames from to to, unless something is at to already (EEXIST). Where
// the file system cannot refuse to replace in a rename (NFS among them), a
// name of the run's own is tested first, as no other program makes it; any
// other is made as a hard link, which is never made over a file, and the
// run's own name then goes. Without hard links either, it is tested too.
int moveWithoutReplacing(const QByteArray &from, const QByteArray &to, bool toIsOwn)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (!toIsOwn) {
        if (::link(from.constData(), to.constData()) == 0)
            return ::unlink(from.constData()) == 0 ? 0 : errno;
        if (errno != EPERM && errno != EOPNOTSUPP)
            return errno;
    }
    struct stat there;
    if (::lstat(to.constData(), &there) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

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
            throw failureOf(errno);
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

bool LocalFileSystem::fileExists(const std::u16string &path) const
{
    struct stat info;
    if (::stat(encodedPath(path).constData(), &info) != 0) {
        // A missing file, a dangling link or a missing directory mean "no
        // file"; anything else means the test itself could not be made.
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw failureOf(errno);
    }
    return S_ISREG(info.st_mode);
}

std::unique_ptr<platform::FileReader> LocalFileSystem::claim(const std::u16string &path)
{
    // Non-blocking, so that a FIFO swapped in after the existence test cannot
    // hang the program; it is refused below as not being a regular file.
    // One claim at a time: a claim this run still held would refuse it the
    // same file.
    releaseClaim();
    const QByteArray name = encodedPath(path);
    FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        throw failureOf(errno);
    struct stat info;
    if (::fstat(file.get(), &info) != 0)
        throw failureOf(errno);
    m_lastRead = FileIdentity{path, info.st_dev, info.st_ino};
    if (!S_ISREG(info.st_mode))
        throw SystemFailure(FailureKind::NotAFile);
    lock(file.get(), name, info);
    // Kept whatever the read gives: a record found wanting is dropped by this
    // run alone, too.
    m_claim = file.release();
    return std::make_unique<DescriptorReader>(m_claim, info.st_size);
}

void LocalFileSystem::deleteFile(const std::u16string &path)
{
    const QByteArray name = encodedPath(path);
    if (!m_lastRead || m_lastRead->path != path) {
        if (::unlink(name.constData()) != 0)
            throw failureOf(errno);
        return;
    }
    // The messaging system may put the next notification in place (by
    // renaming it there) while this one is on screen, or at any instant of
    // this deletion: that one is not ours. The file is first moved to a name
    // of this run's own, so that what is deleted is the file that was moved,
    // and it is deleted only if it is the one read.
    struct stat info;
    if (::stat(name.constData(), &info) == 0 && !isLastRead(info))
        return;
    if (duringDeletion)
        duringDeletion(Checked);
    QByteArray aside;
    int error = EEXIST;
    for (int attempt = 0; error == EEXIST && attempt < 100; ++attempt) {
        aside = name + '.' + QByteArray::number(::getpid()) + '-' + QByteArray::number(attempt);
        error = moveWithoutReplacing(name, aside, true);
    }
    if (error != 0)
        throw failureOf(error);
    if (duringDeletion)
        duringDeletion(MovedAside);
    if (::stat(aside.constData(), &info) == 0 && isLastRead(info)) {
        if (::unlink(aside.constData()) != 0) {
            const int refusal = errno;
            moveWithoutReplacing(aside, name, false);
            throw failureOf(refusal);
        }
        // A run that opened the file before it went finds it gone once it
        // holds the lock: nothing is left to guard.
        releaseClaim();
        return;
    }
    // A newer notification came in between: it goes back where its run
    // looks for it. Should yet another have come since, that one keeps the
    // place, and this one stays under the name it was moved to: no
    // notification replaces another here.
    moveWithoutReplacing(aside, name, false);
}

bool LocalFileSystem::isLastRead(const struct stat &info) const
{
    return info.st_dev == m_lastRead->device && info.st_ino == m_lastRead->inode;
}

} // namespace qtplatform
