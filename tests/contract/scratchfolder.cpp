#include "scratchfolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>

ScratchFolder::ScratchFolder()
{
    std::random_device entropy;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        m_path = std::filesystem::temp_directory_path()
                 / ("notificador-contract-" + std::to_string(stamp) + '-' + std::to_string(entropy()));
        if (std::filesystem::create_directory(m_path))
            return;
    }
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::u16string portPath(const std::filesystem::path &path)
{
    return path.u16string();
}

bool writeFile(const std::filesystem::path &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out.flush());
}

std::string readWholeFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
