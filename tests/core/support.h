#pragma once

#include "core/error.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

// What the core's test files share besides the fakes.

// The answer box's initial text, spelled out.
inline const std::u16string Hint = u"Escriba la respuesta aquí...";

// A table row of the simplest shape.
template<typename Given, typename Expected>
struct Case
{
    const char *name;
    Given given;
    Expected expected;
};

// Every table row starts with a readable name ("nine fields"): GoogleTest
// names the row after it (nine_fields) and prints it for the row.
struct RowName
{
    template<typename Row>
    std::string operator()(const testing::TestParamInfo<Row> &info) const
    {
        std::string name = info.param.name;
        for (char &c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    }
};

template<typename Row>
    requires requires(const Row &row) { std::string(row.name); }
void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.name;
}

// The number of the error that the call raises, or nothing if it returns.
template<typename Call>
std::optional<std::int32_t> raisedNumber(Call call)
{
    try {
        call();
    } catch (const core::Error &error) {
        return error.number();
    }
    return std::nullopt;
}
