// Starts notificador.exe and a minimal Win32 window under Wine on the X
// display named by DISPLAY, one run of each in turn, and prints how long
// each took to put its window on screen and to paint it, and its peak
// memory, and where its time to the window goes. bench/wine.sh builds it
// and sets the scene.
//
//   winebench --notifier NOTIFICADOR.exe --popup POPUP.exe --scratch DIR [--runs N] [--split-runs N]
//
// WINEPREFIX names a prefix whose Wine session is already up on this
// display, so that no run pays for starting Wine's own services. Each
// program is started as `wine PROGRAM.exe`; the process measured is the
// Windows program's own (wine becomes it), not the services it shares.

#include "clock.h"
#include "launch.h"
#include "scenario.h"
#include "stats.h"
#include "table.h"
#include "windowwatch.h"

#include <X11/Xlib.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr double StartLimitMs = 20000;
// Left up this long after its first paint, so that work a program does
// right after showing counts in its memory.
constexpr double SettleMs = 250;

struct Samples
{
    std::vector<double> mapped, painted, rssKb, cpuMs, waitedMs;
    int failures = 0;
};

// The CPU time the process's threads have had so far, and the time they
// have waited, ready, for a CPU (other builds on the machine): both from
// the scheduler's own accounts.
struct Scheduled
{
    double cpuMs = 0;
    double waitedMs = 0;
};

Scheduled scheduledSoFar(pid_t pid)
{
    Scheduled total;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream stat(task.path() / "schedstat");
        double runNs = 0, waitNs = 0;
        if (stat >> runNs >> waitNs) {
            total.cpuMs += runNs / 1e6;
            total.waitedMs += waitNs / 1e6;
        }
    }
    return total;
}

// The clock Wine stamps its debugging output with (its tick count, in ms).
double wineClockMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Context
{
    WindowWatch *watch = nullptr;
    std::string wine;
    std::vector<std::string> env;
    std::string runDir;
    std::string log;
};

// Waits until the program's window is shown and painted, it ends, or the
// start limit passes; true if the window came. endedEarly says whether it
// ended first, with what ended tells.
bool waitForWindow(Context &context, const Started &started, Ended &ended, bool &endedEarly)
{
    const double deadline = started.startMs + StartLimitMs;
    bool shown = false;
    endedEarly = false;
    while (!shown && !endedEarly && nowMs() < deadline) {
        shown = context.watch->waitShownAndPainted(std::min(deadline, nowMs() + 100));
        endedEarly = !shown && hasEnded(started.pid, ended);
    }
    return shown;
}

void runOnce(Context &context, const Scenario &scenario, Samples &samples, bool keep)
{
    const Prepared prepared = prepare(scenario, context.runDir, 9);
    const Started started = launch(context.wine, {context.wine, prepared.program}, context.env, prepared.cwd, context.log);
    context.watch->follow(started.pid);
    Ended ended;
    bool endedEarly = false;
    const bool shown = waitForWindow(context, started, ended, endedEarly);
    const Scheduled scheduled = shown ? scheduledSoFar(started.pid) : Scheduled{};
    if (shown)
        context.watch->idleUntil(context.watch->paintedAtMs() + SettleMs);
    if (!endedEarly)
        ended = stop(started.pid);
    if (!shown) {
        ++samples.failures;
        std::fprintf(stderr, "winebench: %s: no window painted\n", scenario.name.c_str());
        return;
    }
    if (!keep)
        return;
    samples.mapped.push_back(context.watch->mappedAtMs() - started.startMs);
    samples.painted.push_back(context.watch->paintedAtMs() - started.startMs);
    samples.rssKb.push_back(double(ended.maxRssKb));
    samples.cpuMs.push_back(scheduled.cpuMs);
    samples.waitedMs.push_back(scheduled.waitedMs);
}

// Where one run's time to its window went, in ms from the start, told by
// Wine's own log of the libraries the program loads (WINEDEBUG=+loaddll):
// the program's image is loaded once Wine is up; the libraries it imports
// follow; user32 loads imm32 as the program creates its first window, and
// the X11 driver comes with it; the window is then on screen and painted.
struct Split
{
    std::vector<double> image, imports, firstWindow, driver, mapped, painted, libraries;
};

constexpr const char *SplitSteps[] = {"Wine up, the image loaded", "its imported libraries",
                                      "the program to its first window", "the X11 driver",
                                      "the window put on screen", "first paint"};

void splitOnce(Context &context, const Scenario &scenario, Split &split)
{
    const std::string trace = context.runDir + ".trace";
    std::filesystem::remove(trace);
    std::vector<std::string> env = context.env;
    for (std::string &variable : env) {
        if (variable.rfind("WINEDEBUG=", 0) == 0)
            variable = "WINEDEBUG=+timestamp,+loaddll";
    }
    const Prepared prepared = prepare(scenario, context.runDir, 9);
    const double wineStart = wineClockMs();
    const Started started = launch(context.wine, {context.wine, prepared.program}, env, prepared.cwd, trace);
    context.watch->follow(started.pid);
    Ended ended;
    bool endedEarly = false;
    const bool shown = waitForWindow(context, started, ended, endedEarly);
    if (!endedEarly)
        stop(started.pid);
    if (!shown)
        return;
    const double mapped = context.watch->mappedAtMs() - started.startMs;
    const double painted = context.watch->paintedAtMs() - started.startMs;

    // "SSS.mmm:TTTT:trace:loaddll:build_module Loaded L"PATH" at ...": the
    // stamp is the low 32 bits of the tick count.
    static const std::regex loaded(R"re(^(\d+)\.(\d{3}):([0-9a-f]+):trace:loaddll:\w+ Loaded L"([^"]*)")re");
    const auto sinceStart = [&](const std::smatch &line) {
        const std::uint64_t stamp = std::stoull(line[1]) * 1000 + std::stoull(line[2]);
        const std::uint64_t start = std::uint64_t(wineStart) & 0xFFFFFFFFu;
        return double((stamp - start) & 0xFFFFFFFFu) + (std::uint64_t(wineStart) - wineStart);
    };
    std::ifstream log(trace);
    std::string line, thread;
    double image = -1, lastImport = -1, firstWindow = -1, driver = -1;
    int libraries = 0;
    for (std::smatch match; std::getline(log, line);) {
        if (!std::regex_search(line, match, loaded))
            continue;
        const std::string path = match[4];
        if (thread.empty()) {
            // The program's own image comes first; its thread is the one
            // followed, not those of Wine's services.
            thread = match[3];
            image = sinceStart(match);
            continue;
        }
        if (match[3] != thread)
            continue;
        const double at = sinceStart(match);
        if (at > mapped)
            break;
        ++libraries;
        if (path.find("imm32") != std::string::npos && firstWindow < 0)
            firstWindow = at;
        else if (path.find("winex11") != std::string::npos && driver < 0)
            driver = at;
        else if (firstWindow < 0)
            lastImport = at;
    }
    if (image < 0 || lastImport < 0 || firstWindow < 0 || driver < 0)
        return;
    split.image.push_back(image);
    split.imports.push_back(lastImport - image);
    split.firstWindow.push_back(firstWindow - lastImport);
    split.driver.push_back(driver - firstWindow);
    split.mapped.push_back(mapped - driver);
    split.painted.push_back(painted - mapped);
    split.libraries.push_back(libraries);
}

std::map<std::string, std::string> parseOptions(int argc, char **argv)
{
    std::map<std::string, std::string> options{{"--runs", "15"}, {"--split-runs", "5"}};
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    for (const char *required : {"--notifier", "--popup", "--scratch"}) {
        if (options[required].empty())
            throw std::runtime_error(std::string("missing ") + required);
    }
    return options;
}

std::vector<std::string> childEnvironment()
{
    std::vector<std::string> env{"WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};
    for (const char *name : {"DISPLAY", "HOME", "PATH", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                             "XDG_DATA_HOME", "LANG", "LC_ALL", "WINEPREFIX"}) {
        if (const char *value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    }
    return env;
}

int run(int argc, char **argv)
{
    const auto options = parseOptions(argc, argv);
    const int runs = std::max(1, std::atoi(options.at("--runs").c_str()));
    const int splitRuns = std::max(0, std::atoi(options.at("--split-runs").c_str()));
    const std::string scratch = std::filesystem::absolute(options.at("--scratch"));
    if (!std::getenv("WINEPREFIX"))
        throw std::runtime_error("WINEPREFIX is not set");

    Display *display = XOpenDisplay(nullptr);
    if (!display)
        throw std::runtime_error("cannot open the display");
    WindowWatch watch(display);
    Context context{&watch, findOnPath("wine"), childEnvironment(), scratch + "/run", scratch + "/programs.log"};
    if (context.wine.empty())
        throw std::runtime_error("wine not found");

    const std::string message = "Hola, ¿qué tal?";
    const std::vector<Scenario> scenarios = {
        {"notificador.exe", std::filesystem::absolute(options.at("--notifier")), {}, true, true, message},
        {"minimal Win32 window", std::filesystem::absolute(options.at("--popup")), {}, false, false, {}},
        {"notificador.exe, 1 MB message", std::filesystem::absolute(options.at("--notifier")), {}, true, true,
         messageOfLength(1024 * 1024)},
    };

    // Round 0 warms the caches and is not counted; the programs take turns
    // at going first.
    std::vector<Samples> samples(scenarios.size());
    for (int round = 0; round <= runs; ++round) {
        std::fprintf(stderr, "\rround %d of %d (0 is the warm-up)", round, runs);
        for (std::size_t k = 0; k < scenarios.size(); ++k) {
            const std::size_t i = (k + std::size_t(round)) % scenarios.size();
            runOnce(context, scenarios[i], samples[i], round > 0);
        }
    }
    // The split, from runs of their own: Wine's log costs them some time.
    std::vector<Split> splits(2);
    for (int round = 0; round < splitRuns; ++round) {
        std::fprintf(stderr, "\rsplit run %d of %d", round + 1, splitRuns);
        for (std::size_t k = 0; k < splits.size(); ++k) {
            const std::size_t i = (k + std::size_t(round)) % splits.size();
            splitOnce(context, scenarios[i], splits[i]);
        }
    }
    std::fprintf(stderr, "\n");
    std::filesystem::remove_all(context.runDir);
    XCloseDisplay(display);

    auto s = [](const std::vector<double> &v) { return summarize(v); };
    const Samples &notifier = samples[0];
    Table table("Under Wine: time to window, first paint and peak memory, median (min-max) of " + std::to_string(runs)
                    + " interleaved runs after a warm-up; x = notificador.exe / this (the 1 MB message: this /"
                    + " notificador.exe). CPU ms: the process's own to its first paint; waited ms: meanwhile ready but"
                    + " given no CPU (the machine's load)",
                {"program", "window ms", "x", "first paint ms", "x", "CPU ms", "x", "waited ms", "peak RSS MB", "x"});
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        const Samples &w = samples[i];
        // The long message is set against the usual one: x = this / it.
        const Samples &a = i == 2 ? w : notifier;
        const Samples &b = i == 2 ? notifier : w;
        table.row({scenarios[i].name, spread(s(w.mapped)), ratio(s(a.mapped), s(b.mapped)), spread(s(w.painted)),
                   ratio(s(a.painted), s(b.painted)), spread(s(w.cpuMs)), ratio(s(a.cpuMs), s(b.cpuMs)),
                   spread(s(w.waitedMs)), spread(s(w.rssKb), 1.0 / 1024.0), ratio(s(a.rssKb), s(b.rssKb))});
    }
    table.print(stdout);

    if (splitRuns > 0) {
        std::printf("\n");
        Table split("Where the time to the window goes, ms, median (min-max) of " + std::to_string(splitRuns)
                        + " runs with Wine's log of loaded libraries (WINEDEBUG=+timestamp,+loaddll)",
                    {"step", scenarios[0].name, scenarios[1].name, "difference"});
        const auto stepRow = [&](const std::string &name, const std::vector<double> &a, const std::vector<double> &b) {
            const Summary x = s(a), y = s(b);
            char difference[32] = "-";
            if (x.count && y.count)
                std::snprintf(difference, sizeof difference, "%+.1f", x.median - y.median);
            split.row({name, spread(x), spread(y), difference});
        };
        const std::vector<double> Split::*steps[] = {&Split::image,  &Split::imports, &Split::firstWindow,
                                                     &Split::driver, &Split::mapped,  &Split::painted};
        for (std::size_t k = 0; k < std::size(steps); ++k)
            stepRow(SplitSteps[k], splits[0].*steps[k], splits[1].*steps[k]);
        stepRow("libraries it loaded before its window", splits[0].libraries, splits[1].libraries);
        split.print(stdout);
    }

    int failures = 0;
    for (const Samples &w : samples)
        failures += w.failures;
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
        std::fprintf(stderr, "winebench: %s\n", e.what());
        return 1;
    }
}
