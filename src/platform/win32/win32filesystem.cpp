#include "platform/win32/win32filesystem.h"

#include "platform/failure.h"
#include "platform/win32/uniquehandle.h"
#include "platform/win32/widetext.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace win32platform {

namespace {

using platform::FailureKind;
using platform::SystemFailure;

SystemFailure failureOf(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
        return SystemFailure(FailureKind::NotFound, code);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return SystemFailure(FailureKind::AccessDenied, code);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_TOO_MANY_OPEN_FILES:
        return SystemFailure(FailureKind::OutOfMemory, code);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return SystemFailure(FailureKind::DeviceError, code);
    case ERROR_DIRECTORY:
        return SystemFailure(FailureKind::NotAFile, code);
    }
    return SystemFailure(FailureKind::Other, code);
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
        throw failureOf(GetLastError());
    if (attributes)
        *attributes = info.dwFileAttributes;
    return {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Reads the file for as long as it lives, and closes it then.
class HandleReader final : public platform::FileReader
{
public:
    HandleReader(HANDLE file, std::uint64_t size) : m_file(file), m_size(size) {}

    std::uint64_t sizeHint() const override { return m_size; }
    std::size_t read(std::span<char> buffer) override
    {
        DWORD got = 0;
        const DWORD wanted = DWORD(std::min<std::size_t>(buffer.size(), MAXDWORD));
        if (!ReadFile(m_file.get(), buffer.data(), wanted, &got, nullptr) && GetLastError() != ERROR_HANDLE_EOF)
            throw failureOf(GetLastError());
        return got;
    }

private:
    UniqueHandle m_file;
    std::uint64_t m_size;
};

} // namespace

// Takes the file for this run: several notifiers started at once on one
// notification must show it once. The claim is a mutex named after the
// file's identity and its last write, held until the run ends however it
// ends, so a run that opened the file before its owner deleted it still
// finds it claimed; a newer notification that the volume gives the same
// index is written later, so it is not mistaken for this one. The file
// itself stays open only for the read, since an open file could not be
// replaced by the next notification. A run that claims the file once it is
// pending deletion, or no longer at its path, holds a file that is no
// longer the notification.
void Win32FileSystem::takeClaim(HANDLE file, const std::wstring &name, const FileIdentity &identity)
{
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        throw failureOf(GetLastError());
    wchar_t mutexName[80];
    swprintf(mutexName, 80, L"Local\\notificador-%08lx-%016llx-%016llx",
             static_cast<unsigned long>(identity.volumeSerial), static_cast<unsigned long long>(identity.fileIndex),
             static_cast<unsigned long long>(basic.LastWriteTime.QuadPart));
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, mutexName));
    if (!mutex)
        throw failureOf(GetLastError());
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        throw SystemFailure(FailureKind::ClaimedElsewhere, ERROR_ALREADY_EXISTS);
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard))
        throw failureOf(GetLastError());
    if (standard.DeletePending)
        throw SystemFailure(FailureKind::ClaimedElsewhere);
    const UniqueHandle atPath(CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    if (!atPath || identityOf(atPath.get()) != identity)
        throw SystemFailure(FailureKind::ClaimedElsewhere);
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
            throw failureOf(GetLastError());
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() > 0x10000)
            throw SystemFailure(FailureKind::Other, ERROR_INSUFFICIENT_BUFFER);
        path.resize(path.size() * 2);
    }
    // "C:\notificador.exe" gives "C:", so the file beside it is "C:\MI.zorvi".
    const std::size_t separator = path.find_last_of(L"\\/");
    path.resize(separator == std::wstring::npos ? 0 : separator);
    return utf16(path);
}

bool Win32FileSystem::fileExists(const std::u16string &path) const
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
        throw failureOf(code);
    }
    constexpr DWORD NotAnOrdinaryFile =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return (attributes & NotAnOrdinaryFile) == 0;
}

std::unique_ptr<platform::FileReader> Win32FileSystem::claim(const std::u16string &path)
{
    // Shared for deletion, so the messaging system can rename the next
    // notification into place meanwhile; not for writing, so a file still
    // being written is not read half-way.
    releaseClaim();
    const std::wstring name = systemPath(path);
    UniqueHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        // A folder cannot be opened as a file: the system refuses it access.
        const DWORD code = GetLastError();
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES
            && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw SystemFailure(FailureKind::NotAFile, code);
        throw failureOf(code);
    }
    // Only a file on disk: reading a pipe or a device could wait for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        throw SystemFailure(FailureKind::NotAFile);
    DWORD attributes = 0;
    const FileIdentity identity = identityOf(file.get(), &attributes);
    m_lastRead = FileRead{path, identity};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw SystemFailure(FailureKind::NotAFile);
    takeClaim(file.get(), name, identity);
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    return std::make_unique<HandleReader>(file.release(), std::uint64_t(std::max<LONGLONG>(size.QuadPart, 0)));
}

void Win32FileSystem::deleteFile(const std::u16string &path)
{
    const std::wstring name = systemPath(path);
    if (!m_lastRead || m_lastRead->path != path) {
        if (!DeleteFileW(name.c_str()))
            throw failureOf(GetLastError());
        return;
    }
    // The messaging system may rename the next notification into place while
    // this one is on screen: that one is not ours. The file is compared and
    // marked for deletion through one handle, so nothing can come between.
    const UniqueHandle entry(CreateFileW(name.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry)
        throw failureOf(GetLastError());
    DWORD attributes = 0;
    FileIdentity identity = identityOf(entry.get(), &attributes);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: what was read is the file it leads to; the link goes.
        const UniqueHandle target(CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        if (!target)
            throw failureOf(GetLastError());
        identity = identityOf(target.get());
    }
    if (identity != m_lastRead->identity)
        return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition))
        throw failureOf(GetLastError());
}

} // namespace win32platform
