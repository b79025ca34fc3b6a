#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A folder of the test's own under the system's temporary folder, removed
// with all it holds when the test ends.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path file(std::u16string_view name) const { return m_path / std::filesystem::path(name); }

private:
    std::filesystem::path m_path;
};

// A path as the ports take it.
std::u16string portPath(const std::filesystem::path &path);
// Writes the bytes as the whole file; false if it cannot.
bool writeFile(const std::filesystem::path &path, std::string_view bytes);
// The whole file, or nothing if it cannot be read.
std::string readWholeFile(const std::filesystem::path &path);
