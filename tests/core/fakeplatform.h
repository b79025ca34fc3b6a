#pragma once

#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/failure.h"
#include "core/error.h"
#include "platform/failure.h"
#include "platform/filesystem.h"
#include "platform/messageboxes.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "platform/textcodec.h"
#include "core/unicode.h"
#include "platform/windowsystem.h"
#include "core/timeformat.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A platform that a test drives by hand. Every call the core makes on it is
// written to one log, in order, so that a test compares a whole sequence at
// once. A hook run before an operation can make it fail, by throwing, or
// change the world under it.
namespace fake {

using Log = std::vector<std::string>;
using Hook = std::function<void()>;

inline void run(const Hook &hook)
{
    if (hook)
        hook();
}

inline Hook failingWith(core::Error error)
{
    return [error] { throw error; };
}

// What every fake shares: the log it writes to.
struct Logging
{
    explicit Logging(Log &log) : m_log(log) {}
    Log &m_log;
};

// The calls that load the window and centre it on the default screen.
inline const Log LoadedAndCentred = {"create Principal", "outer", "screen", "top 4522.5",
                                     "outer", "screen", "left 4770"};

// Files in memory, each held as its bytes. A claim's reads give at most
// readStep bytes each, and its size hint is sizeHint if set.
class FakeFileSystem final : public platform::FileSystem, Logging
{
public:
    using Logging::Logging;

    std::u16string executableDirectory() const override { return u"C:\\Archivos de programa\\Notificador"; }
    char16_t pathSeparator() const override { return u'\\'; }
    bool fileExists(const std::u16string &path) const override
    {
        m_log.push_back("exists");
        run(beforeExists);
        return files.contains(path);
    }
    std::unique_ptr<platform::FileReader> claim(const std::u16string &path) override
    {
        m_log.push_back("claim");
        run(beforeClaim);
        return std::make_unique<Reader>(*this, existing(path)->second);
    }
    void deleteFile(const std::u16string &path) override
    {
        m_log.push_back("delete");
        run(beforeDelete);
        files.erase(existing(path));
    }

    std::map<std::u16string, std::string> files;
    Hook beforeExists, beforeClaim, beforeDelete;
    std::optional<std::uint64_t> sizeHint;
    std::size_t readStep = SIZE_MAX;
    std::size_t bytesRead = 0; // by every claim's reads

private:
    class Reader final : public platform::FileReader
    {
    public:
        Reader(FakeFileSystem &files, std::string_view bytes) : m_files(files), m_bytes(bytes) {}
        std::uint64_t sizeHint() const override { return m_files.sizeHint.value_or(m_bytes.size()); }
        std::size_t read(std::span<char> buffer) override
        {
            const std::size_t got = std::min({buffer.size(), m_files.readStep, m_bytes.size()});
            m_bytes.copy(buffer.data(), got);
            m_bytes.remove_prefix(got);
            m_files.bytesRead += got;
            return got;
        }

    private:
        FakeFileSystem &m_files;
        std::string_view m_bytes;
    };

    std::map<std::u16string, std::string>::iterator existing(const std::u16string &path)
    {
        const auto file = files.find(path);
        if (file == files.end())
            throw platform::SystemFailure(platform::FailureKind::NotFound);
        return file;
    }
};

// A clock standing still until the test moves it, with "AM" and "PM".
class FakeClock final : public platform::Clock
{
public:
    platform::TimeOfDay currentTime() const override { return now.time; }
    platform::DateTime currentDateTime() const override { return now; }
    std::u16string formatMediumTime(platform::TimeOfDay time) const override
    {
        return core::mediumTime(time, u"AM", u"PM");
    }
    // "08/12/2026 21:07:30"
    std::u16string formatGeneralDate(const platform::DateTime &at) const override
    {
        return two(at.day) + u'/' + two(at.month) + u'/' + unicode::decimal(at.year) + u' ' + two(at.time.hour) + u':'
            + two(at.time.minute) + u':' + two(at.time.second);
    }

    platform::DateTime now{2026, 12, 8, {21, 7, 30}};

private:
    static std::u16string two(int value) { return (value < 10 ? u"0" : u"") + unicode::decimal(value); }
};

// A window that keeps its text boxes' texts and logs everything else.
class FakeNativeWindow final : public platform::NativeWindow, Logging
{
public:
    FakeNativeWindow(Log &log, platform::TwipSize outer, const platform::WindowLayout &layout,
                     platform::WindowEvents &events)
        : Logging(log), m_outer(outer), m_layout(layout), m_events(events)
    {
        for (std::size_t i = 0; i < layout.controls.size(); ++i) {
            if (layout.controls[i].kind == platform::ControlKind::TextBox)
                m_texts[i] = layout.controls[i].text;
        }
    }

    platform::TwipSize outerSizeInTwips() const override
    {
        m_log.push_back("outer");
        return m_outer;
    }
    void setOuterTopInTwips(double top) override { m_log.push_back("top " + twips(top)); }
    void setOuterLeftInTwips(double left) override { m_log.push_back("left " + twips(left)); }
    void setCaption(std::size_t control, std::u16string_view caption) override
    {
        m_log.push_back("caption " + unicode::toUtf8(m_layout.controls[control].name) + ' ' + unicode::toUtf8(caption));
    }
    std::u16string text(std::size_t control) const override { return m_texts.at(control); }
    void setText(std::size_t control, std::u16string_view text) override { m_texts.at(control) = text; }
    void showTopmostWithoutActivating() override { m_log.push_back("show"); }
    void destroy() override { m_log.push_back("destroy"); }

    // A character key as a window system delivers it: to the window's
    // handlers and then, if they let it, to the focused box, which inserts a
    // printable character, deletes one for Backspace and takes nothing else.
    void press(char16_t key, std::optional<std::size_t> focused)
    {
        if (!m_events.keyPress(std::int16_t(key), focused) || !focused || !m_texts.contains(*focused))
            return;
        std::u16string &text = m_texts[*focused];
        if (key == u'\b' && !text.empty())
            text.pop_back();
        else if (key >= u' ')
            text += key;
    }
    // The user closes the window through its frame.
    void close() { m_events.closeRequested(); }
    void reportShown() { m_events.shown(); } // the window system tells it is on screen

private:
    static std::string twips(double value)
    {
        char digits[32];
        return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    }

    platform::TwipSize m_outer;
    const platform::WindowLayout &m_layout;
    platform::WindowEvents &m_events;
    std::map<std::size_t, std::u16string> m_texts;
};

class FakeWindowSystem final : public platform::WindowSystem, Logging
{
public:
    using Logging::Logging;

    platform::TwipSize screenSizeInTwips() override
    {
        m_log.push_back("screen");
        run(beforeScreen);
        return screen;
    }
    std::unique_ptr<platform::NativeWindow> createWindow(const platform::WindowLayout &layout,
                                                         platform::WindowEvents &events) override
    {
        m_log.push_back("create " + unicode::toUtf8(layout.name));
        run(beforeCreate);
        auto created = std::make_unique<FakeNativeWindow>(m_log, outer, layout, events);
        window = created.get();
        return created;
    }
    // The test delivers the events itself.
    void runEventLoop() override {}

    platform::TwipSize screen{15360, 11520}; // 1024 x 768 pixels
    platform::TwipSize outer{5820, 2475};    // the window with its frame
    Hook beforeCreate;
    Hook beforeScreen;
    // The window created last; the core keeps it until it creates another.
    FakeNativeWindow *window = nullptr;
};

// Boxes that the user closes at once.
class RecordingMessageBoxes final : public platform::MessageBoxes, Logging
{
public:
    struct Shown
    {
        std::u16string prompt;
        std::u16string title;
    };

    using Logging::Logging;

    void information(const std::u16string &prompt, const std::u16string &title) override
    {
        show("information", prompt, title);
    }
    void error(const std::u16string &prompt, const std::u16string &title) override { show("error", prompt, title); }

    std::vector<Shown> shown;
    Hook whileShown;

private:
    void show(const char *kind, const std::u16string &prompt, const std::u16string &title)
    {
        m_log.push_back(kind);
        shown.push_back({prompt, title});
        run(whileShown);
    }
};

// The datagrams sent: the address each went to, and its bytes.
using Sent = std::vector<std::pair<std::string, std::string>>;

// Names that resolve as the test says and datagrams kept instead of sent,
// called from the background work the test runs.
class FakeNetwork final : public platform::Network
{
public:
    struct Address
    {
        platform::AddressFamily family;
        std::string name;
        std::optional<platform::FailureKind> refuses = std::nullopt;
        std::string bytes = {}; // the address itself, in network byte order
    };

    // Unless the test lists addresses, a host has one: its name and port.
    std::vector<platform::NetworkAddress> resolve(const std::u16string &host, std::uint16_t port) override
    {
        const std::lock_guard lock(m_mutex);
        if (m_fails && isLookupFailure(*m_fails))
            throw platform::SystemFailure(*m_fails);
        std::vector<platform::NetworkAddress> found;
        for (const Address &address : addresses)
            found.push_back({address.family, address.name, address.bytes});
        if (addresses.empty())
            found.push_back({platform::AddressFamily::IPv4, unicode::toUtf8(host) + ':' + std::to_string(port), {}});
        return found;
    }
    void sendTo(const platform::NetworkAddress &to, std::string_view payload) override
    {
        const std::lock_guard lock(m_mutex);
        for (const Address &address : addresses) {
            if (address.name == to.systemForm && address.refuses)
                throw platform::SystemFailure(*address.refuses);
        }
        if (m_fails && !isLookupFailure(*m_fails))
            throw platform::SystemFailure(*m_fails);
        m_sent.push_back({to.systemForm, std::string(payload)});
    }

    // Every lookup, for a failure to find a host, or else every send fails so.
    void failWith(std::optional<platform::FailureKind> kind)
    {
        const std::lock_guard lock(m_mutex);
        m_fails = kind;
    }
    Sent sent() const
    {
        const std::lock_guard lock(m_mutex);
        return m_sent;
    }

    std::vector<Address> addresses; // set before the send starts

private:
    mutable std::mutex m_mutex;
    static bool isLookupFailure(platform::FailureKind kind)
    {
        return kind == platform::FailureKind::HostNotFound || kind == platform::FailureKind::HostNotFoundTryAgain;
    }

    std::optional<platform::FailureKind> m_fails;
    Sent m_sent;
};

// An event loop that runs what was posted to it, and passes its timers'
// time, when the test says.
class FakeEventLoop final : public platform::EventLoop, Logging
{
public:
    using Logging::Logging;

    void post(std::function<void()> step) override
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(step));
    }
    TimerId startTimer(std::chrono::milliseconds, std::function<void()> step) override
    {
        m_log.push_back("timer");
        timers[++m_lastTimer] = std::move(step);
        return m_lastTimer;
    }
    void cancelTimer(TimerId timer) override { timers.erase(timer); }
    // Held until the test lets it run: a lookup under way is work not yet run.
    void runInBackground(std::function<void()> work) override { m_background.push_back(std::move(work)); }

    // Runs the background work started so far, on the test's thread.
    void runBackground()
    {
        for (const auto &work : std::exchange(m_background, {}))
            work();
    }

    // Runs the steps posted so far.
    void runPosted()
    {
        std::unique_lock lock(m_mutex);
        const auto posted = std::exchange(m_posted, {});
        lock.unlock();
        for (const auto &step : posted)
            step();
    }
    // The time of every timer running passes.
    void passTime()
    {
        for (auto &[timer, step] : std::exchange(timers, {}))
            step();
    }

    std::map<TimerId, std::function<void()>> timers;

private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
    std::vector<std::function<void()>> m_background;
    TimerId m_lastTimer = 0;
};

// UTF-8, the encoding of nearly every locale the notifier meets.
class Utf8Text final : public platform::TextCodec
{
public:
    std::u16string decode(std::string_view bytes) const override { return unicode::fromUtf8(bytes); }
    std::string encode(std::u16string_view text) const override { return unicode::toUtf8(text); }
    std::size_t wholeCharactersLength(std::string_view bytes) const override { return unicode::wholeUtf8Length(bytes); }
    bool isUtf8() const override { return true; }
};

class FakePlatform final : public platform::Platform
{
public:
    platform::FileSystem &fileSystem() override { return files; }
    platform::Clock &clock() override { return wallClock; }
    platform::WindowSystem &windowSystem() override { return windows; }
    platform::MessageBoxes &messageBoxes() override { return boxes; }
    std::shared_ptr<platform::Network> network() override { return net; }
    platform::EventLoop &eventLoop() override { return loop; }
    const platform::TextCodec &textCodec() override { return text; }

    Log log;
    FakeFileSystem files{log};
    FakeClock wallClock;
    FakeWindowSystem windows{log};
    RecordingMessageBoxes boxes{log};
    std::shared_ptr<FakeNetwork> net = std::make_shared<FakeNetwork>();
    FakeEventLoop loop{log};
    Utf8Text text;

    // Each send under way ended, as its thread and the event loop end it.
    void deliver()
    {
        loop.runBackground();
        loop.runPosted();
    }
};

} // namespace fake
