// The SZDD format of the COMPRESS and EXPAND tools, as LZ32 reads it.
//
// A 14-byte header ("SZDD" 88 F0 27 33, mode 'A', the original name's last
// character or 0, the expanded length as uint32 LE), then groups of a flag
// byte and up to eight items, flags read least significant bit first: 1 is a
// literal byte, 0 a match of two bytes b0 b1 that copies (b1 & 0x0F) + 3
// bytes from the absolute ring position b0 | (b1 & 0xF0) << 4.  The ring has
// 4096 bytes, starts filled with blanks and takes its first byte at 4080; a
// match may run into the bytes it is writing.
//
// Portable: no windows.h.  Plain records and integer results.
#ifndef TOVARIN_TOOLS_SZDD_SZDD_H
#define TOVARIN_TOOLS_SZDD_SZDD_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

enum {
    kSzddHeaderBytes = 14,
    kSzddRingBytes   = 4096,
    kSzddRingStart   = 4096 - 16,
    kSzddMinMatch    = 3,
    kSzddMaxMatch    = 18,
};

// Results of the expander.
enum {
    kSzddOk             = 0,
    kSzddBadMagic       = -1,   // not an SZDD file
    kSzddBadMode        = -2,   // SZDD, but a compression mode other than 'A'
    kSzddTruncated      = -3,   // header or a match cut off by the end of the data
    kSzddLengthMismatch = -4,   // the data expands to another length than the header says
    kSzddTooLarge       = -5,   // the input is too large for this program
};

struct SzddHeader {
    uint8_t  mode;           // 'A'
    uint8_t  lastChar;       // last character of the original name, 0 if unknown
    uint32_t expandedBytes;
};

// A short English text for a result, e.g. "truncated data".
const char* SzddResultText(int result);

// 1 when data starts with the eight SZDD magic bytes.
int SzddHasMagic(const uint8_t* data, size_t size);

// Decodes the header.  kSzddOk, kSzddBadMagic, kSzddBadMode or kSzddTruncated.
int SzddReadHeader(const uint8_t* data, size_t size, SzddHeader* header);

// Expands a whole SZDD file into *out (replaced).  Refuses bad magic, an
// unknown mode, a match cut off by the end of the data, and data that does
// not expand to exactly the header's length; never reads or writes out of
// bounds.  *out holds the bytes decoded so far when an error is returned.
int SzddExpand(const uint8_t* data, size_t size, std::vector<uint8_t>* out);

// Compresses size bytes into a complete SZDD file (header included) in *out,
// with the optimal parse for this format: fewest bits at 9 per literal and 17
// per match.  lastChar goes into the header.  Returns kSzddOk, or
// kSzddTooLarge when size does not fit the 32-bit length field.
int SzddCompress(const uint8_t* data, size_t size, uint8_t lastChar, std::vector<uint8_t>* out);

// The same parse with matches found by comparing every position of the
// ring: slow, the reference that the tests and the bench hold SzddCompress
// against.
int SzddCompressExhaustive(const uint8_t* data, size_t size, uint8_t lastChar,
                           std::vector<uint8_t>* out);

// A one-step lazy parse (a match is put off by one literal when the next
// position has a longer one), kept as the yardstick for the optimal parse's
// time and size: with hash chains searched only where the parse needs a
// match (treeFinder 0), or with the optimal parse's tree (treeFinder 1).
int SzddCompressLazy(const uint8_t* data, size_t size, uint8_t lastChar, int treeFinder,
                     std::vector<uint8_t>* out);

// 1 when a distribution should store these bytes as they are rather than
// compressed: the compressed file is not smaller, and the bytes do not start
// with the SZDD magic (such a plain file would be taken for a compressed one).
int SzddStorePlain(const uint8_t* data, size_t size, size_t compressedSize);

#endif
