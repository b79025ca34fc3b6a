#include "platform/win32/win32filesystem.h"

#include "core/error.h"
#include "platform/win32/codepagetext.h"
#include "platform/win32/uniquehandle.h"
#include "platform/win32/widetext.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

namespace win32platform {

namespace {

using core::Error;

Error fileError(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
        return Error::fromNumber(Error::FileNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return Error::fromNumber(Error::PermissionDenied);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return Error::fromNumber(Error::OutOfMemory);
    case ERROR_HANDLE_EOF:
        return Error::fromNumber(Error::InputPastEndOfFile);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return Error::fromNumber(Error::DeviceIOError);
    }
    return Error::fromNumber(Error::PathFileAccessError);
}

// A path of MAX_PATH characters or more reaches the file system only in
// the extended form, unless long paths are switched on for the whole system.
std::wstring systemPath(const std::u16string &path)
{
    std::wstring name = wide(path);
    if (name.size() < MAX_PATH || name.starts_with(L"\\\\?\\"))
        return name;
    if (name.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + name.substr(2);
    if (name.size() >= 3 && name[1] == L':' && name[2] == L'\\')
        return L"\\\\?\\" + name;
    return name;
}

Win32FileSystem::FileIdentity identityOf(HANDLE file, DWORD *attributes = nullptr)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        throw fileError(GetLastError());
    if (attributes)
        *attributes = info.dwFileAttributes;
    return {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The first CR or LF among size bytes; memchr scans many bytes a step.
std::optional<std::size_t> lineBreakIn(const char *data, std::size_t size)
{
    const void *newline = std::memchr(data, '\n', size);
    const std::size_t searched = newline ? std::size_t(static_cast<const char *>(newline) - data) : size;
    if (const void *ret = std::memchr(data, '\r', searched))
        return std::size_t(static_cast<const char *>(ret) - data);
    if (newline)
        return searched;
    return std::nullopt;
}

} // namespace

// Takes the file for this run: several notifiers started at once on one
// notification must show it once. The claim is a mutex named after the
// file's identity, which lives until this run deletes the file or ends,
// however it ends; the file itself stays open only for the read, since an
// open file could not be replaced by the next notification. A run that
// claims the file only after its owner deleted it holds a file pending
// deletion, which no longer is the notification.
void Win32FileSystem::claim(HANDLE file, const FileIdentity &identity)
{
    wchar_t name[64];
    swprintf(name, 64, L"Local\\notificador-%08lx-%016llx", static_cast<unsigned long>(identity.volumeSerial),
             static_cast<unsigned long long>(identity.fileIndex));
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name));
    if (!mutex)
        throw fileError(GetLastError());
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        throw Error::fromNumber(Error::FileAlreadyOpen);
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard))
        throw fileError(GetLastError());
    if (standard.DeletePending)
        throw Error::fromNumber(Error::FileAlreadyOpen);
    m_claim = mutex.release();
}

Win32FileSystem::~Win32FileSystem()
{
    releaseClaim();
}

void Win32FileSystem::releaseClaim()
{
    UniqueHandle(std::exchange(m_claim, nullptr));
}

std::u16string Win32FileSystem::executableDirectory() const
{
    // The module's own path, whatever the working directory or the command
    // line say; longer than MAX_PATH where the folder is.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            throw fileError(GetLastError());
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() > 0x10000)
            throw Error::fromNumber(Error::PathFileAccessError);
        path.resize(path.size() * 2);
    }
    // "C:\notificador.exe" gives "C:", so the file beside it is "C:\MI.zorvi".
    const std::size_t separator = path.find_last_of(L"\\/");
    path.resize(separator == std::wstring::npos ? 0 : separator);
    return utf16(path);
}

bool Win32FileSystem::fileExists(const std::u16string &path, Selector) const
{
    const DWORD attributes = GetFileAttributesW(systemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_NOT_READY:
        case ERROR_DIRECTORY:
            return false;
        }
        throw fileError(code);
    }
    constexpr DWORD NotAnOrdinaryFile =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return (attributes & NotAnOrdinaryFile) == 0;
}

std::string Win32FileSystem::readFirstLine(const std::u16string &path)
{
    // Shared for deletion, so the messaging system can rename the next
    // notification into place meanwhile; not for writing, so a file still
    // being written is not read half-way.
    releaseClaim();
    const UniqueHandle file(CreateFileW(systemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw fileError(GetLastError());
    // Only a file on disk: reading a pipe or a device could wait for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        throw Error::fromNumber(Error::PathFileAccessError);
    DWORD attributes = 0;
    const FileIdentity identity = identityOf(file.get(), &attributes);
    m_lastRead = FileRead{path, identity};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw Error::fromNumber(Error::PathFileAccessError);
    claim(file.get(), identity);
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    // Room for a short file whole, and one byte more to see its end; a long
    // line grows the buffer as it comes, up to the bound and no further,
    // whatever size the file claims (a sparse file claims gigabytes).
    constexpr std::size_t Limit = platform::FirstLineLimit;
    std::string line(std::size_t(std::clamp<LONGLONG>(size.QuadPart + 1, 4 * 1024, LONGLONG(Limit))), '\0');
    std::size_t filled = 0;
    bool sawAnything = false;
    bool lineEnded = false;
    while (!lineEnded && filled < Limit) {
        if (filled == line.size())
            line.resize(std::min(line.size() * 2, Limit));
        // In steps, so that a short first line in a long file stops the
        // reading early.
        const DWORD step = DWORD(std::min<std::size_t>(line.size() - filled, 256 * 1024));
        DWORD got = 0;
        if (!::ReadFile(file.get(), line.data() + filled, step, &got, nullptr))
            throw fileError(GetLastError());
        if (got == 0)
            break;
        sawAnything = true;
        const std::optional<std::size_t> end = lineBreakIn(line.data() + filled, got);
        lineEnded = end.has_value();
        filled += end.value_or(got);
    }
    if (!sawAnything)
        throw Error::fromNumber(Error::InputPastEndOfFile);
    if (!lineEnded && filled == Limit)
        filled = wholeCharactersLength(std::string_view(line.data(), filled), GetACP());
    line.resize(filled);
    return line;
}

void Win32FileSystem::deleteFile(const std::u16string &path)
{
    const std::wstring name = systemPath(path);
    if (!m_lastRead || m_lastRead->path != path) {
        if (!DeleteFileW(name.c_str()))
            throw fileError(GetLastError());
        return;
    }
    // The messaging system may rename the next notification into place while
    // this one is on screen: that one is not ours. The file is compared and
    // marked for deletion through one handle, so nothing can come between.
    const UniqueHandle entry(CreateFileW(name.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry)
        throw fileError(GetLastError());
    DWORD attributes = 0;
    FileIdentity identity = identityOf(entry.get(), &attributes);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: what was read is the file it leads to; the link goes.
        const UniqueHandle target(CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        if (!target)
            throw fileError(GetLastError());
        identity = identityOf(target.get());
    }
    if (identity != m_lastRead->identity)
        return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition))
        throw fileError(GetLastError());
    // The name goes only when the last handle to the file closes; until
    // then a newer notification could not be renamed into its place.
    releaseClaim();
}

} // namespace win32platform
