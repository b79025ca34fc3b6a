#pragma once

#include "stats.h"

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// A plain-text table of left-aligned columns sized to their contents.
class Table
{
public:
    Table(std::string title, std::vector<std::string> headers);
    void row(std::vector<std::string> cells);
    void print(std::FILE *out) const;

private:
    std::string m_title;
    std::vector<std::vector<std::string>> m_rows;
};

// "median (min-max)" with one decimal, SCALE applied; "failed" when empty.
std::string spread(const Summary &s, double scale = 1.0);

// "a/b" with two decimals, or "-" when either is missing.
std::string ratio(const Summary &a, const Summary &b);

} // namespace bench
