// The notification file through the Windows API where Windows has its own
// ways (attributes, long paths, the ANSI code page), and how the first line
// is cut and decoded in it; the rest is the file system's contract, held by
// contract_filesystem. Real files in a scratch folder.
#include "intake/firstline.h"
#include "platform/failure.h"
#include "platform/win32/codepagetext.h"
#include "platform/win32/win32filesystem.h"
#include "scratchfolder.h"
#include "support.h"

#include <filesystem>

using core::Error;
using intake::FirstLineLimit;
using win32platform::Win32FileSystem;

namespace {

// The first line as the intake reads it, in this run's ANSI code page.
std::string firstLine(Win32FileSystem &files, const std::u16string &path)
{
    const win32platform::AnsiCodePageText text;
    return intake::readFirstLine(files, text, path);
}

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
    {"read-only file", [](const std::wstring &path) { return fileWithAttributes(path, FILE_ATTRIBUTE_READONLY); }, true},
    {"hidden file", [](const std::wstring &path) { return fileWithAttributes(path, FILE_ATTRIBUTE_HIDDEN); }, false},
    {"system file", [](const std::wstring &path) { return fileWithAttributes(path, FILE_ATTRIBUTE_SYSTEM); }, false},
};

class Existence : public testing::TestWithParam<ExistenceCase> {};

TEST_P(Existence, FindsOnlyAVisibleFile)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(GetParam().make(path));
    Win32FileSystem files;
    EXPECT_EQ(files.fileExists(utf16(path)), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, Existence, testing::ValuesIn(ExistenceCases), RowName());

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
    EXPECT_EQ(firstLine(files, utf16(path)), kept)
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
};

class WholeCharacters : public testing::TestWithParam<WholeCharactersCase> {};

TEST_P(WholeCharacters, EndsBetweenTwoCharacters)
{
    EXPECT_EQ(win32platform::wholeCharactersLength(GetParam().bytes, GetParam().codePage), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(Win32Files, WholeCharacters, testing::ValuesIn(WholeCharactersCases), RowName());

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

TEST(Win32Files, AReadOnlyFileStays)
{
    ScratchFolder folder;
    const std::wstring path = folder.file(L"MI.zorvi");
    ASSERT_TRUE(fileWithAttributes(path, FILE_ATTRIBUTE_READONLY));
    Win32FileSystem files;
    firstLine(files, utf16(path));
    EXPECT_THROW(files.deleteFile(utf16(path)), platform::SystemFailure);
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
    EXPECT_TRUE(files.fileExists(path));
    EXPECT_EQ(firstLine(files, path), "k;d;Ana");
    files.deleteFile(path);
    EXPECT_FALSE(files.fileExists(path));
}

// The kept corpus of hostile notification files, in the code page this run
// has (NOTIFICADOR_INTAKE_CORPUS names the folder): every file is read
// without a hang or a crash, to its first line break (without a UTF-8
// byte-order mark where the code page is UTF-8), and deleted.
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
        ASSERT_TRUE(files.fileExists(utf16(path)));
        if (bytes.empty()) {
            EXPECT_EQ(raisedNumber([&] { firstLine(files, utf16(path)); }), Error::InputPastEndOfFile);
        } else {
            std::string line = bytes.substr(0, bytes.find_first_of("\r\n")).substr(0, FirstLineLimit);
            if (GetACP() == CP_UTF8 && line.starts_with("\xef\xbb\xbf"))
                line.erase(0, 3);
            EXPECT_EQ(firstLine(files, utf16(path)), line);
        }
        files.deleteFile(utf16(path));
        EXPECT_FALSE(fileIsThere(path));
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
    std::printf("code page %u: %d files read\n", GetACP(), replayed);
}

} // namespace
