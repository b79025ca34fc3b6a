#pragma once

#include <cstdint>
#include <exception>

namespace platform {

// What kind of thing went wrong in a call into the system. A port says
// what happened; the core decides what it means and what number it bears.
enum class FailureKind {
    AccessDenied, // the system refused access: a file's permissions, a broadcast address
    OutOfMemory,  // no memory, buffers, handles or descriptors left
    // Files
    NotFound,         // no such file or folder
    DeviceError,      // the device failed to read or write
    NotAFile,         // a directory, a pipe or a device where a file was expected
    ClaimedElsewhere, // another run has claimed the notification
    // Names and datagrams
    HostNotFound,         // the name has no address
    HostNotFoundTryAgain, // the name servers gave no answer in time
    MessageTooBig,        // more than one datagram can carry
    AddressNotAvailable,  // an address this machine cannot send to
    NetworkUnreachable,
    HostUnreachable,
    // Text
    UnknownEncoding, // the system cannot convert with its encoding
    // The desktop
    NoDisplay, // nowhere to show a window: no display, or no interactive desktop
    // Anything else; the code says what
    Other,
};

// A failure of a call into the system: its kind, and the system's own code
// (errno, GetLastError, a resolver's status) for the record.
class SystemFailure : public std::exception
{
public:
    explicit SystemFailure(FailureKind kind, std::int64_t code = 0) : m_kind(kind), m_code(code) {}

    FailureKind kind() const { return m_kind; }
    std::int64_t code() const { return m_code; }
    const char *what() const noexcept override { return "system failure"; }

private:
    FailureKind m_kind;
    std::int64_t m_code;
};

} // namespace platform
