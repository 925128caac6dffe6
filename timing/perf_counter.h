// The platform's high-resolution counter: signed 64-bit ticks at a fixed rate.
// The reading goes through one replaceable function so tests can drive time by hand.
#pragma once

#include <cstdint>

using PerfCounterReader = int64_t (*)();

// Ticks of the monotonic clock; the default reader.
int64_t readMonotonicTicks();

// Ticks per second of readMonotonicTicks.
constexpr int64_t kMonotonicTicksPerSecond = 1000000000;

// The reader every PerfTimer uses, and the frequency it reports.
extern PerfCounterReader perfCounterReader;
extern int64_t perfCounterFrequency;
