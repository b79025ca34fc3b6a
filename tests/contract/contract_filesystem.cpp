// What every platform's file system and text codec must do against the real
// system: real files in a scratch folder, through the ports alone.
#include "intake/firstline.h"
#include "platform/failure.h"
#include "platform/filesystem.h"
#include "platform/native.h"
#include "platform/textcodec.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <span>

using platform::FailureKind;

namespace {

int argc = 1;
char name[] = "contract_filesystem";
char *argv[] = {name, nullptr};

// The kind of failure the call raises, or nothing if it returns.
std::optional<FailureKind> failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const platform::SystemFailure &failure) {
        return failure.kind();
    }
    return std::nullopt;
}

class FileSystemContract : public testing::Test
{
protected:
    // What the reads of the file, claimed, give in steps of at most step
    // bytes, up to the bound or the file's end.
    std::string readClaimed(const std::filesystem::path &path, std::size_t step = 4096)
    {
        const std::unique_ptr<platform::FileReader> file = files.claim(portPath(path));
        std::string bytes(intake::FirstLineLimit, '\0');
        std::size_t filled = 0;
        for (std::size_t got = 1; got > 0 && filled < bytes.size(); filled += got)
            got = file->read(std::span(&bytes[filled], std::min(step, bytes.size() - filled)));
        bytes.resize(filled);
        return bytes;
    }

    ScratchFolder folder;
    std::filesystem::path notification = folder.file(u"MI.zorvi");
    std::unique_ptr<platform::Platform> platform = platform::makeNativePlatform(argc, argv);
    platform::FileSystem &files = platform->fileSystem();
};

TEST_F(FileSystemContract, FindsOnlyARegularFile)
{
    ASSERT_TRUE(writeFile(folder.file(u"file"), "k;d\n") && writeFile(folder.file(u"empty"), ""));
    std::filesystem::create_directory(folder.file(u"folder"));
    for (const auto &[name, found] : {std::pair{u"file", true}, {u"empty", true}, {u"missing", false},
                                      {u"folder", false}, {u"missing/MI.zorvi", false}, {u"file/MI.zorvi", false}})
        EXPECT_EQ(files.fileExists(portPath(folder.file(name))), found) << std::filesystem::path(name);
}

// Every byte as the file holds it, whatever the steps it is read in; a file
// past the bound is read to the bound. Anything but a file is refused.
TEST_F(FileSystemContract, ReadsTheBytesBackExactly)
{
    std::string everyByte(256, '\0');
    std::iota(everyByte.begin(), everyByte.end(), '\0');
    const std::string large = std::string(intake::FirstLineLimit, 'x') + everyByte;
    for (const auto &[bytes, step] : {std::pair{everyByte, 7}, {std::string(), 7}, {large, 256 * 1024}}) {
        ASSERT_TRUE(writeFile(notification, bytes));
        EXPECT_EQ(files.claim(portPath(notification))->sizeHint(), bytes.size());
        EXPECT_TRUE(readClaimed(notification, step) == bytes.substr(0, intake::FirstLineLimit)) << bytes.size();
    }
    std::filesystem::create_directory(folder.file(u"folder"));
    EXPECT_EQ(failureOf([&] { files.claim(portPath(folder.file(u"folder"))); }), FailureKind::NotAFile);
    EXPECT_EQ(failureOf([&] { files.claim(portPath(folder.file(u"missing"))); }), FailureKind::NotFound);
}

// Several runs started at once on one notification: the first to claim it
// has it while it lives and until it deletes the file.
TEST_F(FileSystemContract, OneRunClaimsTheFile)
{
    for (const auto &[first, refused] : {std::pair{"holds", std::optional(FailureKind::ClaimedElsewhere)},
                                         {"ended", std::nullopt}, {"deleted", FailureKind::NotFound}}) {
        const std::filesystem::path path = folder.path() / first;
        ASSERT_TRUE(writeFile(path, "k;d\n"));
        auto firstRun = platform::makeNativePlatform(argc, argv);
        ASSERT_TRUE(firstRun->fileSystem().claim(portPath(path)));
        if (first == std::string("ended"))
            firstRun.reset();
        else if (first == std::string("deleted"))
            firstRun->fileSystem().deleteFile(portPath(path));
        EXPECT_EQ(failureOf([&] { files.claim(portPath(path)); }), refused) << first;
    }
}

// The messaging system renames the next notification into place while one
// is on screen: only the file that was read goes.
TEST_F(FileSystemContract, DeletesOnlyTheFileThatWasRead)
{
    for (const bool replaced : {false, true}) {
        ASSERT_TRUE(writeFile(notification, "k;d;Ana\n"));
        EXPECT_EQ(readClaimed(notification), "k;d;Ana\n");
        if (replaced) {
            ASSERT_TRUE(writeFile(folder.file(u"newer"), "k;d;Luis\n"));
            std::filesystem::rename(folder.file(u"newer"), notification);
        }
        files.deleteFile(portPath(notification));
        EXPECT_EQ(readWholeFile(notification), replaced ? "k;d;Luis\n" : "") << replaced;
    }
    std::filesystem::remove(notification);
    EXPECT_EQ(failureOf([&] { files.deleteFile(portPath(notification)); }), FailureKind::NotFound);
}

// A line cut at a fixed length ends between two characters of the system's
// encoding, which is UTF-8 exactly when the codec says so.
TEST_F(FileSystemContract, CodecCutsOnlyBetweenCharacters)
{
    const platform::TextCodec &codec = platform->textCodec();
    EXPECT_EQ(codec.isUtf8(), codec.encode(u"é") == "\xc3\xa9");
    for (const std::u16string_view character : {u"é", u"あ", u"😀"}) {
        const std::string bytes = "ab" + codec.encode(character);
        EXPECT_EQ(codec.wholeCharactersLength(bytes), bytes.size());
        EXPECT_EQ(codec.wholeCharactersLength(bytes.substr(0, bytes.size() - 1)), 2u);
    }
}

} // namespace
