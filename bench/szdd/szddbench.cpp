// szddbench: sizes and in-process times of the SZDD compressor against the
// exact optimum and a one-step lazy parse (with hash chains, and with the
// optimal parse's tree), and of the expander.
//
//   szddbench [--repeat N] FILE...
//
// Prints "key value" lines summed over all files; bench/szdd/run turns them
// into ratios next to the mscompress, msexpand and cp figures.  Times are
// process CPU time, the best of N runs (default 3).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>
#include <vector>

#include "tools/common/fileio.h"
#include "tools/szdd/szdd.h"

namespace {

double Now()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    int repeat = 3;
    int first = 1;
    if (argc > 2 && strcmp(argv[1], "--repeat") == 0) {
        repeat = atoi(argv[2]);
        first = 3;
    }
    if (first >= argc || repeat < 1) {
        fprintf(stderr, "usage: szddbench [--repeat N] FILE...\n");
        return 2;
    }
    uint64_t input = 0, optimal = 0, lazy = 0, lazyTree = 0, exhaustive = 0;
    double optimalTime = 0, lazyTime = 0, lazyTreeTime = 0, expandTime = 0;
    for (int a = first; a < argc; ++a) {
        std::vector<uint8_t> data, packed, other, back;
        std::string error;
        if (!ReadWholeFile(argv[a], &data, &error)) {
            fprintf(stderr, "szddbench: %s: %s\n", argv[a], error.c_str());
            return 1;
        }
        input += data.size();
        std::vector<uint8_t> other2;
        double best[4] = {1e30, 1e30, 1e30, 1e30};
        for (int k = 0; k < repeat; ++k) {
            double t0 = Now();
            SzddCompress(data.data(), data.size(), 0, &packed);
            double t1 = Now();
            SzddCompressLazy(data.data(), data.size(), 0, 0, &other);
            double t2 = Now();
            int r = SzddExpand(packed.data(), packed.size(), &back);
            double t3 = Now();
            SzddCompressLazy(data.data(), data.size(), 0, 1, &other2);
            double t4 = Now();
            if (t4 - t3 < best[3]) best[3] = t4 - t3;
            if (r != kSzddOk || back != data) {
                fprintf(stderr, "szddbench: %s: round trip failed\n", argv[a]);
                return 1;
            }
            if (t1 - t0 < best[0]) best[0] = t1 - t0;
            if (t2 - t1 < best[1]) best[1] = t2 - t1;
            if (t3 - t2 < best[2]) best[2] = t3 - t2;
        }
        optimal += packed.size();
        lazy += other.size();
        lazyTree += other2.size();
        SzddCompressExhaustive(data.data(), data.size(), 0, &other);
        exhaustive += other.size();
        optimalTime += best[0];
        lazyTime += best[1];
        lazyTreeTime += best[3];
        expandTime += best[2];
    }
    printf("input_bytes %llu\n", static_cast<unsigned long long>(input));
    printf("optimal_bytes %llu\n", static_cast<unsigned long long>(optimal));
    printf("exhaustive_bytes %llu\n", static_cast<unsigned long long>(exhaustive));
    printf("lazy_bytes %llu\n", static_cast<unsigned long long>(lazy));
    printf("lazy_tree_bytes %llu\n", static_cast<unsigned long long>(lazyTree));
    printf("optimal_seconds %.4f\n", optimalTime);
    printf("lazy_seconds %.4f\n", lazyTime);
    printf("lazy_tree_seconds %.4f\n", lazyTreeTime);
    printf("expand_seconds %.4f\n", expandTime);
    return 0;
}
