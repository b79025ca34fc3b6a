#include "scratchfolder.h"

#include <stdexcept>

namespace {

// \\?\ lets the removal reach folders deeper than MAX_PATH.
std::wstring extended(const std::wstring &path)
{
    return path.starts_with(L"\\\\?\\") ? path : L"\\\\?\\" + path;
}

void removeTree(const std::wstring &path)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(extended(path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L'\\' + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesW(extended(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(extended(child).c_str());
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(extended(path).c_str());
}

} // namespace

ScratchFolder::ScratchFolder()
{
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("no temporary folder");
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        m_path = std::wstring(temporary, length) + L"notificador-test-" + std::to_wstring(GetCurrentProcessId()) + L"-"
                 + std::to_wstring(GetTickCount() + attempt);
        if (CreateDirectoryW(m_path.c_str(), nullptr))
            return;
    }
    throw std::runtime_error("cannot make a scratch folder");
}

ScratchFolder::~ScratchFolder()
{
    removeTree(m_path);
}

bool writeFile(const std::wstring &path, std::string_view bytes)
{
    const HANDLE file = CreateFileW(extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return whole;
}

std::string readWholeFile(const std::wstring &path)
{
    const HANDLE file = CreateFileW(extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool fileIsThere(const std::wstring &path)
{
    return GetFileAttributesW(extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
