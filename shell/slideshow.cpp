#include "shell/slideshow.h"

void PrepareBillboardThresholds(BillboardTableRecord* table, uint32_t grandTotal)
{
    const uint32_t kShortShare = 2000000;
    BillboardEntry* entries = table->entries;
    for (int i = 0; i < kBillboardCount; ++i) {
        // The share rounded to nearest, formed in 64 bits.
        uint64_t share = (static_cast<uint64_t>(grandTotal) * entries[i].percent + 50) / 100;
        uint32_t t = static_cast<uint32_t>(share);
        entries[i].threshold = t;
        if (t >= kShortShare)
            continue;
        if (i == 0 || i == kLastBillboard) {
            entries[0].threshold = grandTotal / 2;
            entries[kLastBillboard].threshold = grandTotal / 2;
            for (int j = 1; j < kLastBillboard; ++j)
                entries[j].threshold = 0;
            return;
        }
        entries[i - 1].threshold += t;
        entries[i].threshold = 0;
    }
}

int BillboardStep(const BillboardTableRecord* table, uint32_t bytesCopied)
{
    int current = table->currentBillboard;
    if (current >= kLastBillboard)
        return 0;  // the last one stays, and none is on show past it
    if (table->entries[current].threshold >= bytesCopied)
        return 0;
    int k = 1;
    while (current + k < kLastBillboard && table->entries[current + k].threshold == 0)
        ++k;
    return k;
}

void MoveBillboard(BillboardTableRecord* table, int k)
{
    int current = table->currentBillboard;
    table->entries[current + k].threshold += table->entries[current].threshold;
    table->currentBillboard = static_cast<uint16_t>(current + k);
    table->billboardOnLeft = table->billboardOnLeft ? 0 : 1;
}

FrameBox BillboardFrame(int onLeft, int bitmapWidth, int bitmapHeight, int clientWidth)
{
    int x = onLeft ? 20 : clientWidth - bitmapWidth - 20;
    FrameBox frame = {x - 5, 45, x + bitmapWidth + 5, 50 + bitmapHeight + 5};
    return frame;
}
