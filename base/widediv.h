// 64-bit division by shifts and subtractions, for the 32-bit programs'
// own run-time (shell/startup.cpp): libgcc's routines are fast and 600
// bytes long, and setup.exe divides 64-bit numbers a few times per block.
// Includes nothing of ours.
#ifndef TOVARIN_BASE_WIDEDIV_H
#define TOVARIN_BASE_WIDEDIV_H

#include <stdint.h>

// n / d, the quotient rounded towards zero; d is never 0.
inline uint64_t DivideWide(uint64_t n, uint64_t d)
{
    // The dividend's bits move out at the top into the remainder while the
    // quotient's bits move in at the bottom.  A remainder that reaches 2^64
    // (d above 2^63) is carried in top.
    uint64_t r = 0;
    for (int i = 0; i < 64; ++i) {
        uint64_t top = r >> 63;
        r = (r << 1) | (n >> 63);
        n <<= 1;
        if (top != 0 || r >= d) {
            r -= d;
            n |= 1;
        }
    }
    return n;
}

// The same with signs; divide does the unsigned division (the run-time's
// own, which keeps one copy of the loop).
inline int64_t DivideWideSigned(int64_t n, int64_t d,
                                uint64_t (*divide)(uint64_t, uint64_t) = DivideWide)
{
    uint64_t a = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    uint64_t b = d < 0 ? 0 - static_cast<uint64_t>(d) : static_cast<uint64_t>(d);
    uint64_t q = divide(a, b);
    return static_cast<int64_t>((n < 0) != (d < 0) ? 0 - q : q);
}

#endif
