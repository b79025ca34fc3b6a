// The notification file through the Windows API: what the existence test
// finds, how the first line is cut and decoded, and that only the file that
// was read is deleted. Real files in a scratch folder.
#include "platform/win32/codepagetext.h"
#include "platform/win32/uniquehandle.h"
#include "platform/win32/win32filesystem.h"
#include "scratchfolder.h"
#include "support.h"

#include <psapi.h>
#include <winioctl.h>

#include <filesystem>
#include <memory>

using core::Error;
using platform::FileSystem;
using platform::FirstLineLimit;
using win32platform::UniqueHandle;
using win32platform::Win32FileSystem;

namespace {

constexpr auto Archive = FileSystem::Selector::Archive;

struct ExistenceCase
{
    const char *name;
    bool (*make)(const std::wstring &path); // what is put at the path
    bool found;
};

bool fileWithAttributes(const std::wstring &path, DWORD attributes)
{
    return writeFile(path, "k;d;Ana\r\n") && SetFileAttributesW(path.c_str(), attributes);
}

const ExistenceCase ExistenceCases[] = {
    {"nothing", [](const std::wstring &) { return true; }, false},
    {"ordinary file", [](const std::wstring &path) { return writeFile(path, "k;d;Ana\r\n"); }, true},
    {"read-only file", [](const std::wstring &path) { return fileWithAttributes(path, FILE_ATTRIBUTE_READONLY); }, true},
    {"hidden file", [](const std::wstring &path) { return fileWithAttributes(path, FILE_ATTRIBUTE_HIDDEN); }, false},
    {"system file", [](const std::wstring &path) { return fileWithAttributes(path, FILE_ATTRIBUTE_SYSTEM); }, false},
    {"folder", [](const std::wstring &path) { return bool(CreateDirectoryW(path.c_str(), nullptr)); }, false},
};

class Existence : public testing::TestWithParam<ExistenceCase> {};

TEST_P(Existence, FindsOnlyAnOrdinaryFile)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(GetParam().make(path));
    Win32FileSystem files;
    for (const auto selector : {FileSystem::Selector::Normal, Archive})
        EXPECT_EQ(files.fileExists(utf16(path), selector), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, Existence, testing::ValuesIn(ExistenceCases), RowName());

struct LineCase
{
    const char *name;
    std::string bytes;
    std::optional<std::string> line; // none: the read fails
};

const LineCase LineCases[] = {
    {"CR LF", "k;d;Ana\r\nsecond", "k;d;Ana"},
    {"LF", "k;d;Ana\nsecond", "k;d;Ana"},
    {"lone CR", "k;d;Ana\rsecond", "k;d;Ana"},
    {"no line break", "k;d;Ana", "k;d;Ana"},
    {"empty first line", "\r\nk;d;Ana", ""},
    {"empty file", "", std::nullopt},
    {"long line", std::string(300 * 1024, 'x') + "\r\n", std::string(300 * 1024, 'x')},
};

class FirstLine : public testing::TestWithParam<LineCase> {};

TEST_P(FirstLine, IsCutAtTheFirstLineBreak)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(writeFile(path, GetParam().bytes));
    Win32FileSystem files;
    if (GetParam().line)
        EXPECT_EQ(files.readFirstLine(utf16(path)), *GetParam().line);
    else
        EXPECT_EQ(raisedNumber([&] { files.readFirstLine(utf16(path)); }), Error::InputPastEndOfFile);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, FirstLine, testing::ValuesIn(LineCases), RowName());

// A line past the bound is cut at it, and never inside a character: a
// character of several bytes in this run's code page (one byte, '?', where
// it has no such character) put where the bound falls.
struct CutCase
{
    const char *name;
    std::size_t shift; // where the character starts, past the last place it fits whole
};

const CutCase CutCases[] = {
    {"character ending at the bound", 0},
    {"character across the bound", 1},
};

class CutAtTheBound : public testing::TestWithParam<CutCase> {};

TEST_P(CutAtTheBound, KeepsOnlyWholeCharacters)
{
    const unsigned codePage = GetACP();
    const std::string character = win32platform::encodeCodePage(u"\u3042", codePage);
    const std::size_t before = FirstLineLimit - character.size() + GetParam().shift;
    const std::string x(before, 'x');
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(writeFile(path, x + character + "tail\r\nsecond"));
    const std::string kept = before + character.size() <= FirstLineLimit ? x + character : x;
    Win32FileSystem files;
    EXPECT_EQ(files.readFirstLine(utf16(path)), kept)
        << "code page " << codePage;
}

INSTANTIATE_TEST_SUITE_P(Win32Files, CutAtTheBound, testing::ValuesIn(CutCases), RowName());

// What the cut lines above do not reach in any code page.
struct WholeCharactersCase
{
    const char *name;
    unsigned codePage;
    std::string bytes;
    std::size_t whole;
};

const WholeCharactersCase WholeCharactersCases[] = {
    {"932 trail byte that looks like a lead byte", 932, "\x82\x82\x82\x82", 4},
    {"65001 four-byte character whole", 65001, "a\xF0\x9F\x98\x80", 5},
    {"65001 stray continuation byte", 65001, "a\xC3\xA1\x81", 4},
};

class WholeCharacters : public testing::TestWithParam<WholeCharactersCase> {};

TEST_P(WholeCharacters, EndsBetweenTwoCharacters)
{
    EXPECT_EQ(win32platform::wholeCharactersLength(GetParam().bytes, GetParam().codePage), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, WholeCharacters, testing::ValuesIn(WholeCharactersCases), RowName());

// A 2 GB file with no line break after a record's start, sparse so that it
// costs no disk: only the bound is read, and the reading's memory stays
// within a few megabytes, where a reader of the whole line would take
// gigabytes.
TEST(Win32Files, AHugeFileCostsOnlyTheBound)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    const std::string record = "k;d;Ana;";
    {
        const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), record.data(), DWORD(record.size()), &written, nullptr));
        DWORD returned = 0;
        // Where the file system has no sparse files, the rest is zeros all the same.
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = 2LL * 1024 * 1024 * 1024;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    PROCESS_MEMORY_COUNTERS before{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));

    Win32FileSystem files;
    const std::string line = files.readFirstLine(utf16(path));

    PROCESS_MEMORY_COUNTERS after{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    EXPECT_EQ(line.size(), FirstLineLimit);
    EXPECT_TRUE(line.starts_with("k;d;Ana;"));
    // The peak is the whole process's so far: one the earlier tests reached
    // counts as the start.
    constexpr SIZE_T FewMegabytes = 16 * 1024 * 1024;
    EXPECT_LE(after.PeakWorkingSetSize, before.PeakWorkingSetSize + FewMegabytes)
        << "working set at the start " << before.WorkingSetSize << ", peak after " << after.PeakWorkingSetSize;
}

TEST(Win32Files, AFolderIsNotRead)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    Win32FileSystem files;
    EXPECT_TRUE(raisedNumber([&] { files.readFirstLine(utf16(path)); }));
}

struct DecodingCase
{
    const char *name;
    unsigned codePage;
    std::string bytes;
    std::u16string text;
};

// Windows' ANSI code pages: Western, Japanese (two-byte characters), and
// UTF-8 where the user has chosen it.
const DecodingCase DecodingCases[] = {
    {"1252 letters", 1252, "\xE1rbol \x80", u"árbol €"},
    {"932 two-byte character", 932, "\x82\xA0", u"あ"},
    {"932 lead byte cut off at the end", 932, "a\x82", u"a\uFFFD"},
    {"932 lead byte without its trail byte", 932, "\x82 a", u"\uFFFD a"},
    {"65001 letters", 65001, "\xC3\xA1rbol", u"árbol"},
    {"65001 character cut off at the end", 65001, "a\xC3", u"a\uFFFD"},
    {"65001 invalid byte", 65001, "a\xFF" "b", u"a\uFFFDb"},
};

class Decoding : public testing::TestWithParam<DecodingCase> {};

TEST_P(Decoding, DropsNoByteInSilence)
{
    EXPECT_EQ(win32platform::decodeCodePage(GetParam().bytes, GetParam().codePage), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, Decoding, testing::ValuesIn(DecodingCases), RowName());

struct EncodingCase
{
    const char *name;
    unsigned codePage;
    std::u16string text;
    std::string bytes;
};

const EncodingCase EncodingCases[] = {
    {"1252 letters", 1252, u"Sí, ñ €", "S\xED, \xF1 \x80"},
    {"1252 lacks the character", 1252, u"∞ 3", "? 3"},
    {"1252 lacks a character beyond U+FFFF", 1252, u"a\U0001F600b", "a?b"},
    {"65001 lone surrogate", 65001, u"a\xD800" u"b", "a\xEF\xBF\xBD" "b"},
};

class Encoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(Encoding, ReplacesWhatTheCodePageLacks)
{
    EXPECT_EQ(win32platform::encodeCodePage(GetParam().text, GetParam().codePage), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, Encoding, testing::ValuesIn(EncodingCases), RowName());

// The messaging system renames the next notification into place while one
// is on screen: only the file that was read goes.
TEST(Win32Files, DeletesOnlyTheFileThatWasRead)
{
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "a newer file renamed into place" : "the same file");
        ScratchFolder folder;
        const std::wstring path = folder.file(L"MI.zorvi");
        const std::wstring newer = folder.file(L"MI.zorvi.tmp");
        ASSERT_TRUE(writeFile(path, "k;d;Ana\r\n"));
        Win32FileSystem files;
        files.readFirstLine(utf16(path));
        if (replaced) {
            ASSERT_TRUE(writeFile(newer, "k;d;Luis\r\n"));
            ASSERT_TRUE(MoveFileExW(newer.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
        }
        files.deleteFile(utf16(path));
        EXPECT_EQ(fileIsThere(path), replaced);
        if (replaced) {
            EXPECT_EQ(readWholeFile(path), "k;d;Luis\r\n");
        }
    }
}

// Several runs started at once on one notification: the first to read it
// claims it, and another finds it refused while the first lives and before
// it deletes the file.
struct ClaimCase
{
    const char *name;
    const char *first; // what the first run does after its read
    int secondFails;   // 0: the second reads the line
};

const ClaimCase ClaimCases[] = {
    {"the first holds it", "holds", Error::FileAlreadyOpen},
    {"the first has ended", "ended", 0},
    {"the first has deleted it", "deleted", Error::FileNotFound},
};

class OneRunClaimsTheFile : public testing::TestWithParam<ClaimCase> {};

TEST_P(OneRunClaimsTheFile, RefusesItToAnother)
{
    const std::string first = GetParam().first;
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(writeFile(path, "k;d;Ana\r\n"));
    auto firstRun = std::make_unique<Win32FileSystem>();
    EXPECT_EQ(firstRun->readFirstLine(utf16(path)), "k;d;Ana");
    if (first == "ended")
        firstRun.reset();
    else if (first == "deleted")
        firstRun->deleteFile(utf16(path));

    Win32FileSystem secondRun;
    if (GetParam().secondFails)
        EXPECT_EQ(raisedNumber([&] { secondRun.readFirstLine(utf16(path)); }), GetParam().secondFails);
    else
        EXPECT_EQ(secondRun.readFirstLine(utf16(path)), "k;d;Ana");
    EXPECT_EQ(fileIsThere(path), first != "deleted");
}

INSTANTIATE_TEST_SUITE_P(Win32Files, OneRunClaimsTheFile, testing::ValuesIn(ClaimCases), RowName());

TEST(Win32Files, AReadOnlyFileStays)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(fileWithAttributes(path, FILE_ATTRIBUTE_READONLY));
    Win32FileSystem files;
    files.readFirstLine(utf16(path));
    EXPECT_TRUE(raisedNumber([&] { files.deleteFile(utf16(path)); }));
    EXPECT_TRUE(fileIsThere(path));
}

// A folder deeper than MAX_PATH characters, where the messaging system may
// have put the program.
TEST(Win32Files, ReachesAFileBeyondMaxPath)
{
    ScratchFolder folder;
    std::wstring deep = folder.path();
    while (deep.size() <= MAX_PATH) {
        deep += L"\\carpeta-con-un-nombre-largo";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    const std::u16string path = utf16(deep + L"\\MI.zorvi");
    ASSERT_TRUE(writeFile(deep + L"\\MI.zorvi", "k;d;Ana\r\n"));
    Win32FileSystem files;
    EXPECT_TRUE(files.fileExists(path, Archive));
    EXPECT_EQ(files.readFirstLine(path), "k;d;Ana");
    files.deleteFile(path);
    EXPECT_FALSE(files.fileExists(path, Archive));
}

// The kept corpus of hostile notification files, in the code page this run
// has (NOTIFICADOR_INTAKE_CORPUS names the folder): every file is read
// without a hang or a crash, to its first line break, and deleted.
TEST(Win32Files, ReadsTheHostileCorpus)
{
    wchar_t corpus[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"NOTIFICADOR_INTAKE_CORPUS", corpus, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        GTEST_SKIP() << "NOTIFICADOR_INTAKE_CORPUS names no folder";
    int replayed = 0;
    for (const auto &entry : std::filesystem::directory_iterator(std::filesystem::path(corpus))) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = readWholeFile(entry.path().wstring());
        ScratchFolder folder;
        const std::wstring path = folder.file(L"MI.zorvi");
        ASSERT_TRUE(writeFile(path, bytes));
        Win32FileSystem files;
        ASSERT_TRUE(files.fileExists(utf16(path), Archive));
        if (bytes.empty()) {
            EXPECT_EQ(raisedNumber([&] { files.readFirstLine(utf16(path)); }), Error::InputPastEndOfFile);
        } else {
            const std::string line = bytes.substr(0, bytes.find_first_of("\r\n"));
            EXPECT_EQ(files.readFirstLine(utf16(path)), line.substr(0, FirstLineLimit));
        }
        files.deleteFile(utf16(path));
        EXPECT_FALSE(fileIsThere(path));
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
    std::printf("code page %u: %d files read\n", GetACP(), replayed);
}

} // namespace
