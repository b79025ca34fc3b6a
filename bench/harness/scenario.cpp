#include "scenario.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace bench {

namespace fs = std::filesystem;

Prepared prepare(const Scenario &scenario, const std::string &runDir, int replyPort)
{
    fs::remove_all(runDir);
    fs::create_directories(runDir);
    Prepared prepared;
    prepared.cwd = runDir;
    prepared.program = scenario.program;
    if (scenario.copyBesideRecord) {
        prepared.program = runDir + "/" + fs::path(scenario.program).filename().string();
        fs::copy_file(scenario.program, prepared.program);
        if (scenario.withRecord) {
            std::ofstream file(runDir + "/MI.zorvi", std::ios::binary);
            file << "MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;" << replyPort << ";Luis;127.0.0.1;40001;"
                 << scenario.message << "\r\n";
            if (!file)
                throw std::runtime_error("cannot write the notification in " + runDir);
        }
    }
    prepared.argv.push_back(prepared.program);
    prepared.argv.insert(prepared.argv.end(), scenario.args.begin(), scenario.args.end());
    return prepared;
}

std::string messageOfLength(std::size_t length)
{
    static const std::string words = "Hola, te escribo para saber si mañana vienes a la reunión de las diez. ";
    std::string text;
    text.reserve(length + words.size());
    while (text.size() < length)
        text += words;
    // Cut on a character boundary of the UTF-8 text.
    std::size_t cut = length;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    while (text.size() < length)
        text += '.';
    return text;
}

} // namespace bench
