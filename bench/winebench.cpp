// Starts notificador.exe and a minimal Win32 window under Wine on the X
// display named by DISPLAY, one run of each in turn, and prints how long
// each took to put its window on screen and to paint it, and its peak
// memory. bench/wine.sh builds it and sets the scene.
//
//   winebench --notifier NOTIFICADOR.exe --popup POPUP.exe --scratch DIR [--runs N]
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

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
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
    std::vector<double> mapped, painted, rssKb;
    int failures = 0;
};

struct Context
{
    WindowWatch *watch = nullptr;
    std::string wine;
    std::vector<std::string> env;
    std::string runDir;
    std::string log;
};

void runOnce(Context &context, const Scenario &scenario, Samples &samples, bool keep)
{
    const Prepared prepared = prepare(scenario, context.runDir, 9);
    const Started started = launch(context.wine, {context.wine, prepared.program}, context.env, prepared.cwd, context.log);
    context.watch->follow(started.pid);
    const double deadline = started.startMs + StartLimitMs;
    bool shown = false;
    Ended ended;
    bool endedEarly = false;
    while (!shown && !endedEarly && nowMs() < deadline) {
        shown = context.watch->waitShownAndPainted(std::min(deadline, nowMs() + 100));
        endedEarly = !shown && hasEnded(started.pid, ended);
    }
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
}

std::map<std::string, std::string> parseOptions(int argc, char **argv)
{
    std::map<std::string, std::string> options{{"--runs", "15"}};
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
    std::fprintf(stderr, "\n");
    std::filesystem::remove_all(context.runDir);
    XCloseDisplay(display);

    auto s = [](const std::vector<double> &v) { return summarize(v); };
    const Samples &notifier = samples[0];
    Table table("Under Wine: time to window, first paint and peak memory, median (min-max) of " + std::to_string(runs)
                    + " interleaved runs after a warm-up; x = notificador.exe / this",
                {"program", "window ms", "x", "first paint ms", "x", "peak RSS MB", "x"});
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        const Samples &w = samples[i];
        table.row({scenarios[i].name, spread(s(w.mapped)), ratio(s(notifier.mapped), s(w.mapped)),
                   spread(s(w.painted)), ratio(s(notifier.painted), s(w.painted)), spread(s(w.rssKb), 1.0 / 1024.0),
                   ratio(s(notifier.rssKb), s(w.rssKb))});
    }
    table.print(stdout);

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
