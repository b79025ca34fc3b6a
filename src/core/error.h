#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace platform {
class SystemFailure;
}

namespace core {

// Every failure in the program travels as one of these: a number, a
// description and the name of what raised it. A procedure's error trap is a
// catch of this type; the answer's error box prints the three fields.
class Error : public std::exception
{
public:
    // Every number the program raises, each with its description in the
    // catalogue (error.cpp): the run-time's own numbers, and the datagram
    // socket's, which are those of the Windows sockets where they have one.
    enum Number : std::int32_t {
        InvalidProcedureCall = 5,
        Overflow = 6,
        OutOfMemory = 7,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        FileNotFound = 53,
        // Another run of the program has claimed the file for itself.
        FileAlreadyOpen = 55,
        DeviceIOError = 57,
        InputPastEndOfFile = 62,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        InvalidPropertyValue = 380,
        AccessDenied = 10013,
        MessageTooBig = 10040,
        AddressNotAvailable = 10049,
        NetworkDown = 10050,
        NetworkUnreachable = 10051,
        NoBufferSpace = 10055,
        HostUnreachable = 10065,
        HostNotFound = 11001,
        HostNotFoundTryAgain = 11002,
    };

    Error(std::int32_t number, std::u16string description, std::u16string source);

    // An error with the catalogue's description for its number, raised by
    // the program itself unless a source is named.
    static Error fromNumber(std::int32_t number, std::u16string source = {});

    std::int32_t number() const { return m_number; }
    const std::u16string &description() const { return m_description; }
    const std::u16string &source() const { return m_source; }

    const char *what() const noexcept override { return m_what.c_str(); }

private:
    std::int32_t m_number;
    std::u16string m_description;
    std::u16string m_source;
    std::string m_what;
};

// The catalogue's description of a number: the run-time's own Spanish text,
// or the socket's. "%1" stands for the port or host the error is about. A
// number the catalogue lacks has the run-time's text for an error defined
// by an application.
std::u16string_view describe(std::int32_t number);

// The error a failed call into the system raises, by the kind of failure:
// the run-time's numbers for files, memory and text.
Error errorOf(const platform::SystemFailure &failure);

} // namespace core
