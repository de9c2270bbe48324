// What the benchmarks' Windows programs share: the architecture they were
// built for, named in their result lines, and the performance counter.
#ifndef TOVARIN_BENCH_TIMING_H
#define TOVARIN_BENCH_TIMING_H

#include <windows.h>

#ifdef _WIN64
const char kArchitecture[] = "win64";
#else
const char kArchitecture[] = "win32";
#endif

inline LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

#endif
