// Runs a fuzz target's entry point over files, without libFuzzer: the
// ordinary test suite replays the kept corpus this way. Arguments are files
// or directories (every file in them, in name order).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

bool replay(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path argument(argv[i]);
        std::vector<fs::path> paths;
        if (fs::is_directory(argument)) {
            for (const fs::directory_entry &entry : fs::directory_iterator(argument)) {
                if (entry.is_regular_file())
                    paths.push_back(entry.path());
            }
            std::sort(paths.begin(), paths.end());
        } else {
            paths.push_back(argument);
        }
        for (const fs::path &path : paths) {
            ok = replay(path) && ok;
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return ok && replayed > 0 ? 0 : 1;
}
