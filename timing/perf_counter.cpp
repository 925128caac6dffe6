// The monotonic clock behind PerfTimer.
// CLOCK_MONOTONIC never jumps with the wall clock and counts nanoseconds.
#include "timing/perf_counter.h"

#include <time.h>

int64_t readMonotonicTicks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kMonotonicTicksPerSecond + now.tv_nsec;
}

PerfCounterReader perfCounterReader = readMonotonicTicks;
int64_t perfCounterFrequency = kMonotonicTicksPerSecond;
