// The block loop that every file Setup writes goes through: a source read
// in blocks of at most 100,000 bytes, each block written before the next is
// read, exactly size bytes in all.  Portable: no windows.h; the source, the
// sink and the progress are callbacks.
#ifndef TOVARIN_BASE_BLOCKCOPY_H
#define TOVARIN_BASE_BLOCKCOPY_H

#include <stdint.h>

#include "base/pathtext.h"

// A source of bytes.  read() gives the number of bytes read, or a negative
// code; kSourceReadAgain (LZ32's LZERROR_READ) says that the medium failed
// this time and another try may read it.  seek() puts the source back at
// offset (counted in the bytes it delivers), 1 on success.
enum {
    kSourceReadAgain = -3,
};
struct BlockSource {
    int32_t (*read)(void* context, uint8_t* buffer, uint32_t bytes);
    int (*seek)(void* context, uint32_t offset);
    void* context;
};

// Where the blocks go: write() gives 1 when every byte was written;
// progress(), when there is one, hears of every block written.
struct BlockSink {
    int (*write)(void* context, const uint8_t* data, uint32_t bytes);
    void (*progress)(void* context, uint32_t bytes);
    void* context;
};

enum BlockCopyResult {
    kBlocksCopied       = 0,
    kBlocksSourceFailed = -1,   // unreadable, damaged or short: the file cannot be made whole
    kBlocksWriteFailed  = -2,   // the sink took fewer bytes (a full disk)
};

// The next block of a file of size bytes of which written are done: the
// rest, at most one full block.
uint32_t NextBlockBytes(uint32_t size, uint32_t written);

// A block that fails with kSourceReadAgain is read again from where it
// began, this many times in all before the file counts as unreadable.
const int kReadAttempts = 3;

// Copies size bytes from source to sink through buffer (at least
// kCopyBlockBytes bytes).  A file of 0 bytes runs the loop once with an
// empty block, so that the progress hears of it.  A source that delivers
// fewer bytes than a block asks for fails the copy: the catalogue's size is
// what the installed file must hold.
int CopyBlocks(const BlockSource* source, const BlockSink* sink, uint32_t size, uint8_t* buffer);

// A file's fingerprint: the CRC-32 (the ZIP polynomial) of its bytes in
// eight upper-case hexadecimal digits, a hyphen, its size in decimal
// ("CBF43926-9").  The CRC is fed block by block as the loop copies: start
// with 0xFFFFFFFF, feed every block, then format with the total size.
// Table-driven, since every byte Setup writes goes through it.
enum {
    kFingerprintBytes = 20,
};
uint32_t UpdateCrc32(uint32_t crc, const uint8_t* bytes, uint32_t size);
void FormatFingerprint(uint32_t crc, uint32_t size, char* out);
// 1 when text is a fingerprint as FormatFingerprint writes it.
int IsFingerprint(const char* text);

#endif
