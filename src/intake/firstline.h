#pragma once

#include <cstddef>
#include <string>

namespace platform {
class FileSystem;
class TextCodec;
} // namespace platform

namespace intake {

// The most of a notification's first line that is read, in bytes. A record
// is one line of a chat message; the window shows a few hundred characters
// of it, and the answer, which echoes the sender's fields, must fit one UDP
// datagram (at most 65,507 bytes). A mebibyte is far beyond any real
// notification and keeps the reading within a few megabytes whatever the
// file holds: a line of gigabytes, or a sparse file with no line break.
inline constexpr std::size_t FirstLineLimit = 1024 * 1024;

// Claims the file at path and reads its first line: the bytes up to the
// first LF, CR LF or lone CR, without the break, as the file holds them in
// the system's encoding for text (the codec's), at most FirstLineLimit of
// them. A longer line is cut there, never inside a character, and the cut
// line is the line. In UTF-8 a leading byte-order mark is dropped. Fails
// with InputPastEndOfFile on an empty file (a file read whole, with no
// record in it); any other failure, the file system's, means the file could
// not be claimed or read.
std::string readFirstLine(platform::FileSystem &files, const platform::TextCodec &codec, const std::u16string &path);

} // namespace intake
