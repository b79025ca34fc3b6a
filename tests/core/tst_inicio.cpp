#include "fakeplatform.h"
#include "intake/inicio.h"
#include "support.h"

#include <initializer_list>

using fake::FakePlatform;
using fake::Log;
using core::Error;
using platform::FailureKind;

namespace {

const std::u16string NotificationPath = u"C:\\Archivos de programa\\Notificador\\MI.zorvi";
const std::u16string Nine = u"MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;Hola, ¿qué tal?";

// A caption as the labels show a field: isolated from the text around it.
std::string isolated(const std::string &field)
{
    return "\u2068" + field + "\u2069";
}

// The calls of each stretch of the intake.
const Log Found = {"exists", "claim"};
const Log Loaded = fake::LoadedAndCentred;
const Log ShownNine = {"caption Label1 " + isolated("Ana"), "caption Label2 " + isolated("Hola, ¿qué tal?"),
                       "caption Label3 09:07 PM", "show"};
const Log Dropped = {"exists", "delete"};

Log steps(std::initializer_list<Log> stretches)
{
    Log all;
    for (const Log &stretch : stretches)
        all.insert(all.end(), stretch.begin(), stretch.end());
    return all;
}

} // namespace

TEST(Inicio, TheNotificationIsBesideTheExecutable)
{
    FakePlatform platform;
    EXPECT_EQ(Inicio(platform).notificationPath(), NotificationPath);
}

struct IntakeCase
{
    const char *name;
    std::optional<std::u16string> line; // none: no notification file
    void (*arrange)(FakePlatform &);    // a fault put in the way, if any
    Log calls;
    bool fileLeft;
    bool shown;
    bool neverLoaded = false; // its creation failed: the reference holds the window unloaded
};

class Intake : public testing::TestWithParam<IntakeCase> {};

// The steps in order, and on any failure the silent drop: the window
// unloaded without ever having been visible, and the file deleted if its
// record was read and found to be no notification; a file that could not be
// read stays for a later run.
TEST_P(Intake, ShowsOrDropsTheNotification)
{
    const IntakeCase &row = GetParam();
    FakePlatform platform;
    if (row.line)
        platform.files.files[NotificationPath] = unicode::toUtf8(*row.line);
    if (row.arrange)
        row.arrange(platform);
    Inicio inicio(platform);
    inicio.Main();
    EXPECT_EQ(platform.files.files.contains(NotificationPath), row.fileLeft || row.shown); // until on screen
    for (int report = 0; report < 2 && platform.windows.window; ++report)                  // and then once
        platform.windows.window->reportShown();

    EXPECT_EQ(platform.log, row.calls);
    EXPECT_EQ(platform.files.files.contains(NotificationPath), row.fileLeft);
    EXPECT_EQ(inicio.Principal.isLoaded(), row.shown);
    EXPECT_EQ(inicio.Principal.exists(), row.shown || row.neverLoaded);
}

// The whole run of the calls for the usual outcomes.
const Log ShownAndDeleted = steps({Found, Loaded, ShownNine, {"delete"}});
const Log DroppedBeforeLabel1 = steps({Found, Loaded, Dropped, {"destroy"}});
const Log DroppedAfterLabel1 = steps({Found, Loaded, {"caption Label1 " + isolated("Ana")}, Dropped, {"destroy"}});

// The claim fails with this failure, as the file system raises it.
template<FailureKind Kind>
void claimFailsWith(FakePlatform &p)
{
    p.files.beforeClaim = [] { throw platform::SystemFailure(Kind); };
}

const IntakeCase IntakeCases[] = {
    {"no file", std::nullopt, nullptr, {"exists"}, false, false},
    {"nine fields", Nine, nullptr, ShownAndDeleted, false, true},
    {"more than nine fields", Nine + u";extra;más", nullptr, ShownAndDeleted, false, true},
    {"a separator in the message", u"k;d;Ana;h;1;Luis;h;2;antes;después", nullptr,
     steps({Found, Loaded,
            {"caption Label1 " + isolated("Ana"), "caption Label2 " + isolated("antes"), "caption Label3 09:07 PM",
             "show"},
            {"delete"}}),
     false, true},
    {"empty line", u"\r\n", nullptr, DroppedBeforeLabel1, false, false},
    {"one field", u"solo", nullptr, DroppedBeforeLabel1, false, false},
    {"two fields", u"k;d", nullptr, DroppedBeforeLabel1, false, false},
    {"three fields", u"k;d;Ana", nullptr, DroppedAfterLabel1, false, false},
    {"eight fields", u"k;d;Ana;h;1;Luis;h;2", nullptr, DroppedAfterLabel1, false, false},
    {"the existence test fails", Nine,
     [](FakePlatform &p) { p.files.beforeExists = fake::failingWith(Error::fromNumber(Error::PathFileAccessError)); },
     {"exists"}, true, false},
    {"an empty file", u"", nullptr, steps({Found, Dropped}), false, false},
    {"the read is denied", Nine, claimFailsWith<FailureKind::AccessDenied>, Found, true, false},
    {"the read fails with an I/O error", Nine, claimFailsWith<FailureKind::DeviceError>, Found, true, false},
    {"no memory or descriptors for the read", Nine, claimFailsWith<FailureKind::OutOfMemory>, Found, true, false},
    {"the read fails otherwise", Nine, claimFailsWith<FailureKind::Other>, Found, true, false},
    {"another run has claimed the file", Nine, claimFailsWith<FailureKind::ClaimedElsewhere>, Found, true, false},
    {"the file is gone before the read", Nine,
     [](FakePlatform &p) { p.files.beforeClaim = [&p] { p.files.files.clear(); }; }, Found, false, false},
    {"loading the window fails", Nine,
     [](FakePlatform &p) { p.windows.beforeScreen = fake::failingWith(Error::fromNumber(Error::OutOfMemory)); },
     steps({Found, {"create Principal", "outer", "screen"}, Dropped, {"destroy"}}), false, false},
    {"no display to show it on", Nine,
     [](FakePlatform &p) { p.windows.beforeCreate = [] { throw platform::SystemFailure(FailureKind::NoDisplay); }; },
     steps({Found, {"create Principal"}}), true, false, true},
    {"the shown notification cannot be deleted", Nine,
     [](FakePlatform &p) { p.files.beforeDelete = fake::failingWith(Error::fromNumber(Error::PermissionDenied)); },
     ShownAndDeleted, true, true},
    {"the dropped notification cannot be deleted", u"k;d",
     [](FakePlatform &p) { p.files.beforeDelete = fake::failingWith(Error::fromNumber(Error::PermissionDenied)); },
     DroppedBeforeLabel1, true, false},
};
INSTANTIATE_TEST_SUITE_P(Inicio, Intake, testing::ValuesIn(IntakeCases), RowName());
