#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace bench {

struct Started
{
    pid_t pid = -1;
    double startMs = 0; // taken just before the fork
};

struct Ended
{
    double endMs = 0;     // when wait4 returned
    long maxRssKb = 0;    // the process's peak resident set
    int status = 0;       // as wait4 reports it
};

// Starts PROGRAM (an absolute path) with ARGV, exactly the environment ENV,
// in directory CWD, its output appended to LOG.
Started launch(const std::string &program, const std::vector<std::string> &argv,
               const std::vector<std::string> &env, const std::string &cwd, const std::string &log);

// Waits for the child to end on its own.
Ended reap(pid_t pid);

// Ends the child (SIGTERM, then SIGKILL after a grace period) and collects it.
Ended stop(pid_t pid);

// Whether the child has ended, collecting it if so.
bool hasEnded(pid_t pid, Ended &ended);

// The absolute path of NAME found on PATH, or empty.
std::string findOnPath(const std::string &name);

} // namespace bench
