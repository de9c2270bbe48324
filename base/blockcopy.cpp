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

namespace {

struct Crc32Table {
    uint32_t entry[256];
};

constexpr Crc32Table MakeCrc32Table()
{
    Crc32Table table = {};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t crc = n;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        table.entry[n] = crc;
    }
    return table;
}

// Made by the compiler: read-only data, nothing to fill at start-up.
constexpr Crc32Table kCrc32 = MakeCrc32Table();

}  // namespace

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* bytes, uint32_t size)
{
    for (uint32_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ kCrc32.entry[(crc ^ bytes[i]) & 0xFFu];
    return crc;
}

int IsFingerprint(const char* text)
{
    for (int i = 0; i < 8; ++i) {
        char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return 0;
    }
    if (text[8] != '-' || text[9] == '\0' || (text[9] == '0' && text[10] != '\0'))
        return 0;
    // The size is a 32-bit count: at most ten digits.
    int digits = 0;
    for (const char* p = text + 9; *p != '\0'; ++p, ++digits) {
        if (*p < '0' || *p > '9' || digits == 10)
            return 0;
    }
    return 1;
}

void FormatFingerprint(uint32_t crc, uint32_t size, char* out)
{
    static const char digits[] = "0123456789ABCDEF";
    crc = ~crc;
    for (int i = 7; i >= 0; --i) {
        out[i] = digits[crc & 0xF];
        crc >>= 4;
    }
    out[8] = '-';
    // Ten digits at most, and their terminator: kFingerprintBytes holds them.
    FormatGrouped(size, 0, out + 9, kFingerprintBytes - 9);
}

