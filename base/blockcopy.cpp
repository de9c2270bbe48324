// The block loop of every file Setup writes (see blockcopy.h).
#include "base/blockcopy.h"

uint32_t NextBlockBytes(uint32_t size, uint32_t written)
{
    uint32_t rest = size - written;
    return rest < kCopyBlockBytes ? rest : kCopyBlockBytes;
}

int CopyBlocks(const BlockSource* source, const BlockSink* sink, uint32_t size, uint8_t* buffer)
{
    uint32_t written = 0;
    int failedReads = 0;
    do {
        uint32_t block = NextBlockBytes(size, written);
        int32_t got = source->read(source->context, buffer, block);
        if (got == kSourceReadAgain) {
            // The failed read may have moved the source on by part of the
            // block: start the block again from where it began.
            if (++failedReads >= kReadAttempts || !source->seek(source->context, written))
                return kBlocksSourceFailed;
            continue;
        }
        if (got < 0 || static_cast<uint32_t>(got) != block)
            return kBlocksSourceFailed;
        if (!sink->write(sink->context, buffer, block))
            return kBlocksWriteFailed;
        written += block;
        failedReads = 0;
        if (sink->progress != nullptr)
            sink->progress(sink->context, block);
    } while (written < size);
    return kBlocksCopied;
}
