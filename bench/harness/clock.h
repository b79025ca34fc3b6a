#pragma once

#include <time.h>

namespace bench {

// Milliseconds on the monotonic clock, the one every figure is measured on.
inline double nowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace bench
