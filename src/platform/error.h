#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace platform {

// Every failure in the program travels as one of these: a number, a
// description and the name of what raised it. A procedure's error trap is a
// catch of this type; the answer's error box prints the three fields.
class Error : public std::exception
{
public:
    // The numbers the program raises itself, with the run-time's meaning.
    enum Number : std::int32_t {
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
    };

    Error(std::int32_t number, std::u16string description, std::u16string source);

    // An error with the run-time's own Spanish description for its number,
    // raised by the program itself unless a source is named.
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

} // namespace platform
