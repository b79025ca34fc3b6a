#include "intake/firstline.h"

#include "core/error.h"
#include "platform/filesystem.h"
#include "platform/textcodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

namespace intake {

namespace {

// Where the first CR or LF is among the bytes. memchr scans many bytes a
// step; a message of a megabyte is otherwise millions of comparisons.
std::optional<std::size_t> lineBreakIn(const char *data, std::size_t size)
{
    const void *newline = std::memchr(data, '\n', size);
    const std::size_t searched = newline ? std::size_t(static_cast<const char *>(newline) - data) : size;
    if (const void *ret = std::memchr(data, '\r', searched))
        return std::size_t(static_cast<const char *>(ret) - data);
    if (newline)
        return searched;
    return std::nullopt;
}

// Room for the whole of a file of this size, and one byte more to see its
// end, but never more than the line may take: the size is only a hint.
std::size_t bufferSize(std::uint64_t sizeHint)
{
    constexpr std::size_t Smallest = 4 * 1024;
    return std::max(Smallest, sizeHint < FirstLineLimit ? std::size_t(sizeHint) + 1 : FirstLineLimit);
}

// A short first line in a long file ends the reading early: the file is
// read in steps no longer than this.
constexpr std::size_t ReadStep = 256 * 1024;

// Says how the file is encoded, in UTF-8; no part of the record.
constexpr std::string_view Utf8ByteOrderMark = "\xef\xbb\xbf";

} // namespace

std::string readFirstLine(platform::FileSystem &files, const platform::TextCodec &codec, const std::u16string &path)
{
    const std::unique_ptr<platform::FileReader> file = files.claim(path);
    // Read straight into one buffer, which becomes the line: a long line is
    // neither copied nor reallocated on its way in unless the file outgrows
    // its size, and what lies past the bound is never read.
    std::string line(bufferSize(file->sizeHint()), '\0');
    std::size_t filled = 0;
    bool sawAnything = false;
    bool lineEnded = false;
    while (!lineEnded && filled < FirstLineLimit) {
        if (filled == line.size())
            line.resize(std::min(line.size() * 2, FirstLineLimit));
        const std::size_t step = std::min(line.size() - filled, ReadStep);
        const std::size_t got = file->read(std::span(line.data() + filled, step));
        if (got == 0)
            break;
        sawAnything = true;
        const std::optional<std::size_t> end = lineBreakIn(line.data() + filled, got);
        lineEnded = end.has_value();
        filled += end.value_or(got);
    }
    if (!sawAnything)
        throw core::Error::fromNumber(core::Error::InputPastEndOfFile);
    if (!lineEnded && filled == FirstLineLimit)
        filled = codec.wholeCharactersLength(std::string_view(line.data(), filled));
    line.resize(filled);
    if (codec.isUtf8() && line.starts_with(Utf8ByteOrderMark))
        line.erase(0, Utf8ByteOrderMark.size());
    return line;
}

} // namespace intake
