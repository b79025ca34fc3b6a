#pragma once

#include <vector>

namespace bench {

// Median and spread of a set of samples; count 0 when there were none.
struct Summary
{
    int count = 0;
    double median = 0;
    double min = 0;
    double max = 0;
    double q1 = 0;
    double q3 = 0;
};

Summary summarize(std::vector<double> samples);

} // namespace bench
