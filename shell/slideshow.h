// The billboard slideshow's bookkeeping: which billboard shows, on which
// side, and the byte thresholds at which it moves on.  Portable: no
// windows.h; shell/billboard.cpp draws what this decides.
#ifndef TOVARIN_SHELL_SLIDESHOW_H
#define TOVARIN_SHELL_SLIDESHOW_H

#include <stdint.h>

enum {
    kBillboardCount = 5,
    kNoBillboard    = 0xFFFF,
    kLastBillboard  = kBillboardCount - 1,
};

struct BillboardEntry {
    uint16_t bitmapId;
    uint16_t percent;     // share of the grand total
    uint32_t threshold;   // bytes, set when copying starts
};

struct BillboardTableRecord {
    uint16_t currentBillboard;   // 0 to 4, or kNoBillboard
    uint16_t billboardOnLeft;    // non-zero: the current one stands at the left
    BillboardEntry entries[kBillboardCount];
};

// The table as the program starts: no billboard, five shares of 20 %.
constexpr BillboardTableRecord kInitialBillboardTable = {
    kNoBillboard, 0, {{5, 20, 0}, {6, 20, 0}, {7, 20, 0}, {8, 20, 0}, {9, 20, 0}}};

// Sets every entry's threshold from grandTotal.  A share below 2,000,000
// bytes is not worth a billboard: a short middle share goes to the entry
// before it, and a short first or last share leaves only the first and the
// last billboard, for half of the bytes each.
void PrepareBillboardThresholds(BillboardTableRecord* table, uint32_t grandTotal);

// The step to the next billboard once bytesCopied has passed the current
// one's threshold: 0 for no switch now, else k, skipping entries whose
// threshold is 0 but never passing the last entry.  The caller then calls
// MoveBillboard with that k.
int BillboardStep(const BillboardTableRecord* table, uint32_t bytesCopied);

// Moves the show on by k entries: the new entry's threshold takes the old
// one's on top (thresholds accumulate), the side flips.
void MoveBillboard(BillboardTableRecord* table, int k);

// The frame of a billboard bitmap: its rectangle grown by 5 pixels, the
// bitmap's corner at y = 50 and x = 20 from the left or right edge.
struct FrameBox {
    int left, top, right, bottom;
};
FrameBox BillboardFrame(int onLeft, int bitmapWidth, int bitmapHeight, int clientWidth);

#endif
