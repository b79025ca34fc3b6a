#pragma once

#include <string>
#include <vector>

namespace bench {

// One program to start, and how: the notifier is copied for each run into a
// directory of its own with its notification file beside it, since it reads
// the file beside its executable and deletes it once shown.
struct Scenario
{
    std::string name;
    std::string program;            // absolute path
    std::vector<std::string> args;  // after the program name
    bool copyBesideRecord = false;  // the notifier's way of being started
    bool withRecord = false;        // whether a notification file is put there
    std::string message;            // the record's message text (field 8)
};

// A started run's program, arguments and working directory.
struct Prepared
{
    std::string program;
    std::vector<std::string> argv;
    std::string cwd;
};

// Sets up RUN_DIR (created afresh) for one run of SCENARIO. The record names
// 127.0.0.1 and REPLY_PORT as the sender, so that an answer comes back here.
Prepared prepare(const Scenario &scenario, const std::string &runDir, int replyPort);

// A message text of exactly LENGTH characters, words and spaces, no ';'.
std::string messageOfLength(std::size_t length);

} // namespace bench
