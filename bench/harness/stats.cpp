#include "stats.h"

#include <algorithm>

namespace bench {

namespace {

// Linear interpolation between order statistics.
double quantile(const std::vector<double> &sorted, double q)
{
    const double position = q * double(sorted.size() - 1);
    const auto below = std::size_t(position);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - double(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

} // namespace

Summary summarize(std::vector<double> samples)
{
    Summary s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    s.count = int(samples.size());
    s.min = samples.front();
    s.max = samples.back();
    s.median = quantile(samples, 0.5);
    s.q1 = quantile(samples, 0.25);
    s.q3 = quantile(samples, 0.75);
    return s;
}

} // namespace bench
