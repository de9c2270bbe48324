// The setup catalogue "setup.inf": byte layout, reader and writer.
//
// The file is little-endian and unpadded: a 16-byte header, then entryCount
// entries of 792 bytes each, entry i at offset 16 + 792 * i.  Bytes after the
// last entry are not read.  This is the one definition of the format: the
// installer, the distribution tools and the tests all use it.
//
// Portable: no windows.h.  Reading goes through callbacks so that the
// installer can feed it from a file handle and the tests from memory.
#ifndef TOVARIN_CATALOGUE_CATFILE_H
#define TOVARIN_CATALOGUE_CATFILE_H

#include <stddef.h>
#include <stdint.h>

#include "catalogue/options.h"

enum {
    kCatalogueSignature   = 0x100,
    kCatalogueHeaderBytes = 16,
    kCatalogueEntryBytes  = 792,
    kCatalogueNameBytes   = 260,
};

// Results of the reader.
enum {
    kCatalogueOk           = 0,
    kCatalogueInvalid      = -1,  // unreadable, short or malformed, or an entry
                                  // names an unsafe file (catalogue/names.h)
    kCatalogueNoMemory     = -2,  // the entry table cannot be sized or allocated
    kCatalogueMissing      = -3,  // the file cannot be found or opened
};

struct CatalogueHeader {
    uint32_t signature;
    uint32_t entryCount;
    uint32_t totalBytes;
    uint32_t reserved;
};

// One entry in memory: the 792 bytes of the file, then the copied flag.
struct CatalogueEntry {
    char     sourceName[kCatalogueNameBytes];    // bare file name on the disk
    char     targetPath[kCatalogueNameBytes];    // relative to destDir
    char     reservedText[kCatalogueNameBytes];
    uint32_t componentMask;
    uint32_t size;                               // expanded size in bytes
    uint32_t reservedValue;
    uint32_t copied;                             // set once the engine handled it
};

static_assert(sizeof(CatalogueHeader) == kCatalogueHeaderBytes, "header is 16 bytes");
static_assert(offsetof(CatalogueEntry, componentMask) == 780, "mask follows the three texts");
static_assert(offsetof(CatalogueEntry, copied) == kCatalogueEntryBytes, "file bytes, then copied");
static_assert(sizeof(CatalogueEntry) == kCatalogueEntryBytes + 4, "in-memory entry is 796 bytes");

uint32_t ReadLE32(const uint8_t* p);
void WriteLE32(uint8_t* p, uint32_t value);

// Decodes the 16 header bytes.  Returns 1 when the signature is 256 and the
// entry count is not 0, else 0.
int DecodeCatalogueHeader(const uint8_t* bytes, CatalogueHeader* header);

// Decodes 792 entry bytes into entry (copied is cleared).  Returns 1 when
// both names are NUL-terminated within their 260 bytes, else 0.
int DecodeCatalogueEntry(const uint8_t* bytes, CatalogueEntry* entry);

// How many bytes the in-memory table of count entries takes.  Returns 0 when
// count is 0 or the size does not fit a size_t on this platform.
size_t CatalogueTableBytes(uint32_t count);

// Where the reader gets its bytes.  read() fills exactly n bytes and returns
// 1, or returns 0 when fewer bytes are there or the read fails.  fileBytes is
// the size of the whole file; the reader refuses an entry count that the file
// cannot hold before it allocates anything.
struct CatalogueSource {
    int (*read)(void* context, void* buffer, uint32_t n);
    void* context;
    uint64_t fileBytes;
};

// Where the reader gets its table.  allocate() returns a zero-filled block of
// the given size or null; release() frees a block that allocate() returned.
struct CatalogueMemory {
    void* (*allocate)(void* context, size_t bytes);
    void  (*release)(void* context, void* block);
    void* context;
};

// The required bytes that a run starts with: the header total when it equals
// the sum of the entries' sizes (as every catalogue our tools write), else
// that sum, at most 0xFFFFFFFF.
uint32_t StartingRequiredBytes(uint32_t headerTotal, uint64_t sizesSum);

// Reads a whole catalogue: the header, then every entry, each of which must
// have a bare source name and a target inside the destination
// (catalogue/names.h).  On success returns kCatalogueOk, hands the table to
// *entries (the caller releases it) and seeds options: the record cleared,
// the per-component totals (each at most 0xFFFFFFFF), requiredBytes from
// StartingRequiredBytes, fileCount, selectedMask 0xFFFFF, optionalGroupOn 1.
// On failure *entries is null and options is untouched, except after a
// failed or refused entry, when the record has already been cleared.
int ReadCatalogue(const CatalogueSource* source, const CatalogueMemory* memory,
                  CatalogueEntry** entries, InstallOptions* options);

// Writing, for the distribution tools and the tests.
struct CatalogueRecord {
    const char* sourceName;
    const char* targetPath;
    uint32_t componentMask;
    uint32_t size;
};

// Bytes of a catalogue file with count entries.
uint64_t CatalogueFileBytes(uint32_t count);

// Encodes a header with the given values (reserved is written as 0).
void EncodeCatalogueHeader(uint32_t entryCount, uint32_t totalBytes, uint8_t* out16);

// Encodes one entry into 792 bytes, zero-filled past each text.  Returns 1,
// or 0 when a name does not fit its field with its terminator (out is then
// left zero-filled).
int EncodeCatalogueEntry(const CatalogueRecord* record, uint8_t* out792);

// Writes a whole catalogue of count records into out (capacity bytes), with
// the header total equal to the sum of the sizes.  Returns the bytes written,
// or 0 when a name does not fit, count is 0, out is too small, or the
// sizes add up to more than the 32-bit header total can hold.
uint64_t EncodeCatalogue(const CatalogueRecord* records, uint32_t count,
                         uint8_t* out, uint64_t capacity);

#endif
