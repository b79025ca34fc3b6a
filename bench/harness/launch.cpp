#include "launch.h"

#include "clock.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

std::vector<char *> pointers(const std::vector<std::string> &strings)
{
    std::vector<char *> result;
    for (const std::string &s : strings)
        result.push_back(const_cast<char *>(s.c_str()));
    result.push_back(nullptr);
    return result;
}

Ended collect(pid_t pid, int options, bool &done)
{
    Ended ended;
    rusage usage{};
    pid_t got;
    do {
        got = wait4(pid, &ended.status, options, &usage);
    } while (got < 0 && errno == EINTR);
    done = got == pid;
    ended.endMs = nowMs();
    ended.maxRssKb = usage.ru_maxrss;
    return ended;
}

} // namespace

Started launch(const std::string &program, const std::vector<std::string> &argv,
               const std::vector<std::string> &env, const std::string &cwd, const std::string &log)
{
    // Everything the child needs is prepared here: between fork and exec it
    // only changes directory, redirects and execs.
    std::vector<char *> args = pointers(argv);
    std::vector<char *> envp = pointers(env);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (out < 0 || in < 0)
        throw std::runtime_error("cannot open " + log);

    Started started;
    started.startMs = nowMs();
    started.pid = fork();
    if (started.pid == 0) {
        if (chdir(cwd.c_str()) != 0)
            _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        execve(program.c_str(), args.data(), envp.data());
        _exit(127);
    }
    close(out);
    close(in);
    if (started.pid < 0)
        throw std::runtime_error("fork failed");
    return started;
}

Ended reap(pid_t pid)
{
    bool done = false;
    return collect(pid, 0, done);
}

bool hasEnded(pid_t pid, Ended &ended)
{
    bool done = false;
    Ended e = collect(pid, WNOHANG, done);
    if (done)
        ended = e;
    return done;
}

Ended stop(pid_t pid)
{
    Ended ended;
    if (hasEnded(pid, ended))
        return ended;
    kill(pid, SIGTERM);
    const double deadline = nowMs() + 2000;
    while (nowMs() < deadline) {
        if (hasEnded(pid, ended))
            return ended;
        usleep(2000);
    }
    kill(pid, SIGKILL);
    return reap(pid);
}

std::string findOnPath(const std::string &name)
{
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t from = 0;
    while (from <= dirs.size()) {
        std::size_t to = dirs.find(':', from);
        if (to == std::string::npos)
            to = dirs.size();
        const std::string candidate = dirs.substr(from, to - from) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        from = to + 1;
    }
    return {};
}

} // namespace bench
