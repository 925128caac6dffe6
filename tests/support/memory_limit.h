// A limit on how much more memory this process may map from here on: for tests that
// show a reader does not reserve what a tiny file's header declares.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>

// Lets the address space grow by at most `bytes` from here on. RLIMIT_AS counts every
// mapping, the sanitizers' reserved shadow too, so the limit starts from today's size.
inline bool limitAddressSpaceGrowth(uint64_t bytes) {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    if (!(statm >> pages)) return false;
    rlim_t limit = pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) + bytes;
    rlimit addressSpace{limit, limit};
    return setrlimit(RLIMIT_AS, &addressSpace) == 0;
}
