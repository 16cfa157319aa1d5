#pragma once

#include <unistd.h>

#include <fstream>

// The process's resident set in KiB, for the benchmarks' memory figures.
inline long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
