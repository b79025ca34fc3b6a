// Starts the notifier and the programs it is compared with on the X display
// named by DISPLAY, one run of each in turn, and prints how long each took
// to put its window on screen and to paint it, and how much memory it used.
//
//   startbench --notifier PATH --qt-popup PATH --qt-noop PATH --xlib-popup PATH
//              --scratch DIR [--runs N]
//
// The display must have a window manager running. Every program gets the
// same environment: this one's DISPLAY, HOME, PATH, XDG_* directories, locale
// and session bus address, nothing else.

#include "clock.h"
#include "launch.h"
#include "replyprobe.h"
#include "scenario.h"
#include "stats.h"
#include "table.h"
#include "windowwatch.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr double StartLimitMs = 10000;
// A window is left up this long after its first paint before it is ended,
// so that work a program does right after showing counts in its memory.
constexpr double SettleMs = 250;
constexpr double ReplyLimitMs = 2000;

const std::string NineFieldMessage = "Hola, ¿qué tal?";

struct Context
{
    Display *display = nullptr;
    WindowWatch *watch = nullptr;
    ReplyProbe *probe = nullptr;
    std::vector<std::string> env;
    std::string runDir;
    std::string log;
};

struct WindowSamples
{
    std::vector<double> mapped, painted, paintAfterMap, rssKb;
    int failures = 0;
};

struct ExitSamples
{
    std::vector<double> wall, rssKb;
    int failures = 0;
};

// Waits for the window while checking that the program has not ended first.
bool awaitWindow(Context &context, const Started &started, Ended &early, bool &endedEarly)
{
    const double deadline = started.startMs + StartLimitMs;
    endedEarly = false;
    for (;;) {
        if (context.watch->waitShownAndPainted(std::min(deadline, nowMs() + 100)))
            return true;
        if (hasEnded(started.pid, early)) {
            endedEarly = true;
            return false;
        }
        if (nowMs() >= deadline)
            return false;
    }
}

void runWindowed(Context &context, const Scenario &scenario, WindowSamples &samples, bool keep)
{
    const Prepared prepared = prepare(scenario, context.runDir, context.probe->port());
    const Started started = launch(prepared.program, prepared.argv, context.env, prepared.cwd, context.log);
    context.watch->follow(started.pid);
    Ended ended;
    bool endedEarly = false;
    const bool shown = awaitWindow(context, started, ended, endedEarly);
    if (shown)
        context.watch->idleUntil(context.watch->paintedAtMs() + SettleMs);
    if (!endedEarly)
        ended = stop(started.pid);
    if (!shown) {
        ++samples.failures;
        std::fprintf(stderr, "startbench: %s: no window painted (%s)\n", scenario.name.c_str(),
                     endedEarly ? "it ended first" : "timed out");
        return;
    }
    if (!keep)
        return;
    const double mapped = context.watch->mappedAtMs() - started.startMs;
    const double painted = context.watch->paintedAtMs() - started.startMs;
    samples.mapped.push_back(mapped);
    samples.painted.push_back(painted);
    samples.paintAfterMap.push_back(painted - mapped);
    samples.rssKb.push_back(double(ended.maxRssKb));
}

void runToExit(Context &context, const Scenario &scenario, ExitSamples &samples, bool keep)
{
    const Prepared prepared = prepare(scenario, context.runDir, context.probe->port());
    const Started started = launch(prepared.program, prepared.argv, context.env, prepared.cwd, context.log);
    const Ended ended = reap(started.pid);
    if (!WIFEXITED(ended.status) || WEXITSTATUS(ended.status) != 0) {
        ++samples.failures;
        std::fprintf(stderr, "startbench: %s: ended with status %d\n", scenario.name.c_str(), ended.status);
        return;
    }
    if (!keep)
        return;
    samples.wall.push_back(ended.endMs - started.startMs);
    samples.rssKb.push_back(double(ended.maxRssKb));
}

// Milliseconds from Enter to the answer, or negative when none arrived.
double runReply(Context &context, const Scenario &scenario)
{
    const Prepared prepared = prepare(scenario, context.runDir, context.probe->port());
    const Started started = launch(prepared.program, prepared.argv, context.env, prepared.cwd, context.log);
    context.watch->follow(started.pid);
    Ended ended;
    bool endedEarly = false;
    double elapsed = -1;
    if (awaitWindow(context, started, ended, endedEarly)) {
        context.watch->idleUntil(nowMs() + 100);
        elapsed = context.probe->answer(context.display, *context.watch, ReplyLimitMs);
    }
    if (!endedEarly)
        stop(started.pid);
    return elapsed;
}

std::map<std::string, std::string> parseOptions(int argc, char **argv)
{
    std::map<std::string, std::string> options{{"--runs", "15"}};
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    for (const char *required : {"--notifier", "--qt-popup", "--qt-noop", "--xlib-popup", "--scratch"}) {
        if (options[required].empty())
            throw std::runtime_error(std::string("missing ") + required);
    }
    return options;
}

std::vector<std::string> childEnvironment()
{
    std::vector<std::string> env;
    for (const char *name : {"DISPLAY", "HOME", "PATH", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                             "XDG_DATA_HOME", "DBUS_SESSION_BUS_ADDRESS", "LANG", "LC_ALL"}) {
        if (const char *value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    }
    return env;
}

std::string required(const std::string &name)
{
    const std::string path = findOnPath(name);
    if (path.empty())
        throw std::runtime_error(name + " not found (bench/install-deps.sh installs it)");
    return path;
}

int run(int argc, char **argv)
{
    const auto options = parseOptions(argc, argv);
    const int runs = std::max(1, std::atoi(options.at("--runs").c_str()));
    const std::string notifier = std::filesystem::absolute(options.at("--notifier"));
    const std::string scratch = std::filesystem::absolute(options.at("--scratch"));

    Display *display = XOpenDisplay(nullptr);
    if (!display)
        throw std::runtime_error("cannot open the display");
    WindowWatch watch(display);
    ReplyProbe probe;
    Context context{display, &watch, &probe, childEnvironment(), scratch + "/run", scratch + "/programs.log"};

    const std::string text = "Ana: " + NineFieldMessage;
    const std::vector<Scenario> windowed = {
        {"notificador", notifier, {}, true, true, NineFieldMessage},
        {"minimal Qt popup", options.at("--qt-popup"), {NineFieldMessage}, false, false, {}},
        {"minimal Xlib window", options.at("--xlib-popup"), {}, false, false, {}},
        {"xmessage -center", required("xmessage"), {"-center", text}, false, false, {}},
        {"yad --entry", required("yad"), {"--entry", "--title=Mensaje instantáneo", "--text=" + text}, false, false, {}},
        {"zenity --entry", required("zenity"), {"--entry", "--title=Mensaje instantáneo", "--text=" + text}, false, false, {}},
        {"10 characters", notifier, {}, true, true, messageOfLength(10)},
        {"10 kB", notifier, {}, true, true, messageOfLength(10 * 1024)},
        {"1 MB", notifier, {}, true, true, messageOfLength(1024 * 1024)},
    };
    const std::vector<Scenario> toExit = {
        {"notificador, no file", notifier, {}, true, false, {}},
        {"/bin/true", "/bin/true", {}, false, false, {}},
        {"same libraries, returns at once", options.at("--qt-noop"), {}, true, false, {}},
    };

    // Round 0 warms the caches and is not counted. Each round starts with
    // another program, so none always runs right after the same one.
    std::vector<WindowSamples> windowSamples(windowed.size());
    std::vector<ExitSamples> exitSamples(toExit.size());
    for (int round = 0; round <= runs; ++round) {
        std::fprintf(stderr, "\rround %d of %d (0 is the warm-up)", round, runs);
        for (std::size_t k = 0; k < windowed.size(); ++k) {
            const std::size_t i = (k + std::size_t(round)) % windowed.size();
            runWindowed(context, windowed[i], windowSamples[i], round > 0);
        }
        for (std::size_t k = 0; k < toExit.size(); ++k) {
            const std::size_t i = (k + std::size_t(round)) % toExit.size();
            runToExit(context, toExit[i], exitSamples[i], round > 0);
        }
    }
    std::fprintf(stderr, "\n");

    // The answer: first asked once; with no answer in time there is none to
    // measure yet.
    std::vector<double> replies;
    bool replyExists = false;
    for (int attempt = 0; attempt <= runs; ++attempt) {
        const double elapsed = runReply(context, windowed[0]);
        if (attempt == 0) {
            replyExists = elapsed >= 0;
            if (!replyExists)
                break;
        } else if (elapsed >= 0) {
            replies.push_back(elapsed);
        }
    }
    std::filesystem::remove_all(context.runDir);
    XCloseDisplay(display);

    auto s = [](const std::vector<double> &v) { return summarize(v); };
    const double mb = 1.0 / 1024.0;
    const WindowSamples &notif = windowSamples[0];

    Table main("Time to window, first paint and peak memory: median (min-max) of " + std::to_string(runs)
                   + " runs after a warm-up; x = notificador / this",
               {"program", "window ms", "x", "first paint ms", "x", "paint - map ms", "peak RSS MB", "x"});
    for (std::size_t i = 0; i < 6; ++i) {
        const WindowSamples &w = windowSamples[i];
        main.row({windowed[i].name, spread(s(w.mapped)), ratio(s(notif.mapped), s(w.mapped)), spread(s(w.painted)),
                  ratio(s(notif.painted), s(w.painted)), spread(s(w.paintAfterMap)), spread(s(w.rssKb), mb),
                  ratio(s(notif.rssKb), s(w.rssKb))});
    }
    main.print(stdout);

    Table noFile("No notification file: wall time from start to exit and peak memory; x = notificador / this",
                 {"program", "wall ms", "x", "peak RSS MB", "x"});
    for (std::size_t i = 0; i < toExit.size(); ++i) {
        const ExitSamples &e = exitSamples[i];
        noFile.row({toExit[i].name, spread(s(e.wall)), ratio(s(exitSamples[0].wall), s(e.wall)),
                    spread(s(e.rssKb), mb), ratio(s(exitSamples[0].rssKb), s(e.rssKb))});
    }
    noFile.print(stdout);

    Table length("notificador by message length (field 8); x = this / 10 characters",
                 {"message", "window ms", "x", "first paint ms", "peak RSS MB"});
    for (std::size_t i = 6; i < windowed.size(); ++i) {
        const WindowSamples &w = windowSamples[i];
        length.row({windowed[i].name, spread(s(w.mapped)), ratio(s(w.mapped), s(windowSamples[6].mapped)),
                    spread(s(w.painted)), spread(s(w.rssKb), mb)});
    }
    length.print(stdout);

    Table reply("The answer: from the press of Enter to the datagram on 127.0.0.1", {"program", "Enter to datagram ms"});
    reply.row({"notificador", replyExists ? spread(s(replies)) : "n/a (no reply yet)"});
    reply.print(stdout);

    int failures = 0;
    for (const auto &w : windowSamples)
        failures += w.failures;
    for (const auto &e : exitSamples)
        failures += e.failures;
    if (failures)
        std::printf("\n%d run(s) failed and are left out; see %s\n", failures, context.log.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "startbench: %s\n", e.what());
        return 1;
    }
}
