#include "table.h"

#include <algorithm>

namespace bench {

namespace {

// Display width of UTF-8 text: its bytes less the continuation bytes.
std::size_t widthOf(const std::string &text)
{
    return std::size_t(std::count_if(text.begin(), text.end(),
                                     [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

} // namespace

Table::Table(std::string title, std::vector<std::string> headers)
    : m_title(std::move(title))
{
    m_rows.push_back(std::move(headers));
}

void Table::row(std::vector<std::string> cells)
{
    m_rows.push_back(std::move(cells));
}

void Table::print(std::FILE *out) const
{
    std::vector<std::size_t> widths;
    for (const auto &cells : m_rows) {
        widths.resize(std::max(widths.size(), cells.size()));
        for (std::size_t i = 0; i < cells.size(); ++i)
            widths[i] = std::max(widths[i], widthOf(cells[i]));
    }
    std::fprintf(out, "\n%s\n", m_title.c_str());
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        std::string line = "|";
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < m_rows[r].size() ? m_rows[r][i] : std::string();
            line += " " + cell + std::string(widths[i] - widthOf(cell), ' ') + " |";
        }
        std::fprintf(out, "%s\n", line.c_str());
        if (r == 0) {
            std::string rule = "|";
            for (std::size_t width : widths)
                rule += std::string(width + 2, '-') + "|";
            std::fprintf(out, "%s\n", rule.c_str());
        }
    }
}

std::string spread(const Summary &s, double scale)
{
    if (s.count == 0)
        return "failed";
    return number(s.median * scale) + " (" + number(s.min * scale) + "-" + number(s.max * scale) + ")";
}

std::string ratio(const Summary &a, const Summary &b)
{
    if (a.count == 0 || b.count == 0 || b.median <= 0)
        return "-";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", a.median / b.median);
    return buffer;
}

} // namespace bench
