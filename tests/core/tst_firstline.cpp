// The notification's first line as the core reads it through the file
// system: whatever ends it, however the file comes in, wherever the bound
// falls, in the system's encoding.
#include "fakeplatform.h"
#include "intake/firstline.h"
#include "support.h"

using intake::FirstLineLimit;

namespace {

constexpr std::size_t Bound = FirstLineLimit;

// An encoding of one byte a character, other than UTF-8.
class SingleByteText final : public platform::TextCodec
{
    std::u16string decode(std::string_view) const override { return {}; }
    std::string encode(std::u16string_view) const override { return {}; }
    std::size_t wholeCharactersLength(std::string_view bytes) const override { return bytes.size(); }
    bool isUtf8() const override { return false; }
};

std::string xs(std::size_t count)
{
    return std::string(count, 'x');
}

} // namespace

struct LineCase
{
    const char *name;
    std::string bytes;
    std::optional<std::string> line; // none: the file holds no line
    bool utf8 = true;                // the system's encoding, or else SingleByteText
    std::size_t readStep = SIZE_MAX; // the most one read of the system gives
    std::optional<std::uint64_t> sizeHint = std::nullopt;
    std::size_t mostRead = Bound;
};

const LineCase LineCases[] = {
    {"LF", "uno;dos\ntres", "uno;dos"},
    {"CR LF", "uno;dos\r\ntres", "uno;dos"},
    {"lone CR", "uno;dos\rtres", "uno;dos"},
    {"LF before a later CR", "uno\ndos\rtres", "uno"},
    {"no line break", "uno;dos", "uno;dos"},
    {"empty first line", "\nuno", ""},
    {"empty file", "", std::nullopt},
    {"NUL and bytes that are no UTF-8 kept", std::string("a\0\xff;b\n", 6), std::string("a\0\xff;b", 5)},
    {"a byte at a time", "uno;dos\r\ntres", "uno;dos", true, 1},
    {"break in a later read", xs(300 * 1024) + "\r\nx", xs(300 * 1024), true, 4096},
    {"short line in a long file stops early", "k;d\n" + xs(3 * Bound), "k;d", true, SIZE_MAX, std::nullopt, Bound / 2},
    {"longer than the bound", xs(Bound + 10), xs(Bound)},
    {"break just past the bound", xs(Bound) + "\n", xs(Bound)},
    {"file grown past its size", xs(3 * Bound), xs(Bound), true, SIZE_MAX, 0},
    {"sparse file of gigabytes", "k;d\n", "k;d", true, SIZE_MAX, std::uint64_t(2) << 30},
    {"character ending at the bound", xs(Bound - 2) + "é" + "zz", xs(Bound - 2) + "é"},
    {"two-byte character across the bound", xs(Bound - 1) + "é", xs(Bound - 1)},
    {"four-byte character ending at the bound", xs(Bound - 4) + "😀z", xs(Bound - 4) + "😀"},
    {"four-byte character across the bound", xs(Bound - 2) + "😀", xs(Bound - 2)},
    {"stray continuation byte at the bound", xs(Bound - 3) + "\xc3\xa1\x81z", xs(Bound - 3) + "\xc3\xa1\x81"},
    {"cut in the system's encoding", xs(Bound - 1) + "é", xs(Bound - 1) + "\xc3", false},
    {"byte-order mark dropped in UTF-8", "\xef\xbb\xbfhola\n", "hola"},
    {"byte-order mark kept in another encoding", "\xef\xbb\xbfhola\n", "\xef\xbb\xbfhola", false},
};

class FirstLine : public testing::TestWithParam<LineCase> {};

// Nothing past the bound is read.
TEST_P(FirstLine, IsReadToItsBreakOrTheBound)
{
    const LineCase &row = GetParam();
    fake::Log log;
    fake::FakeFileSystem files(log);
    files.files[u"MI.zorvi"] = row.bytes;
    files.readStep = row.readStep;
    files.sizeHint = row.sizeHint;
    const fake::Utf8Text utf8;
    const SingleByteText singleByte;
    const platform::TextCodec &codec = row.utf8 ? static_cast<const platform::TextCodec &>(utf8) : singleByte;
    const auto read = [&] { return intake::readFirstLine(files, codec, u"MI.zorvi"); };
    if (row.line)
        EXPECT_EQ(read(), *row.line);
    else
        EXPECT_EQ(raisedNumber(read), core::Error::InputPastEndOfFile);
    EXPECT_LE(files.bytesRead, row.mostRead);
}

INSTANTIATE_TEST_SUITE_P(Intake, FirstLine, testing::ValuesIn(LineCases), RowName());
