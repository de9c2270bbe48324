// The setup catalogue: decoding, reading and writing its bytes.
#include "catalogue/catfile.h"

#include "catalogue/names.h"

namespace {

// 1 when the field holds a NUL within its n bytes.
int IsTerminated(const uint8_t* field, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (field[i] == 0)
            return 1;
    }
    return 0;
}

void CopyBytes(void* to, const void* from, size_t n)
{
    uint8_t* d = static_cast<uint8_t*>(to);
    const uint8_t* s = static_cast<const uint8_t*>(from);
    for (size_t i = 0; i < n; ++i)
        d[i] = s[i];
}

void ClearBytes(void* to, size_t n)
{
    uint8_t* d = static_cast<uint8_t*>(to);
    for (size_t i = 0; i < n; ++i)
        d[i] = 0;
}

// Copies text into a field of n bytes, zero-filled after it; 0 when the
// text and its terminator do not fit.
int PutText(uint8_t* field, size_t n, const char* text)
{
    ClearBytes(field, n);
    size_t length = 0;
    while (text[length] != '\0') {
        if (length + 1 >= n)
            return 0;
        ++length;
    }
    CopyBytes(field, text, length);
    return 1;
}

}  // namespace

uint32_t StartingRequiredBytes(uint32_t headerTotal, uint64_t sizesSum)
{
    // The selection starts with every component, so the figure that the
    // component pages add to and subtract from must be the sum of all the
    // component totals; a header that says otherwise would make it wrap.
    if (headerTotal == sizesSum)
        return headerTotal;
    return sizesSum > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(sizesSum);
}

uint32_t ReadLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void WriteLE32(uint8_t* p, uint32_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}

int DecodeCatalogueHeader(const uint8_t* bytes, CatalogueHeader* header)
{
    header->signature  = ReadLE32(bytes + 0);
    header->entryCount = ReadLE32(bytes + 4);
    header->totalBytes = ReadLE32(bytes + 8);
    header->reserved   = ReadLE32(bytes + 12);
    return header->signature == kCatalogueSignature && header->entryCount != 0;
}

int DecodeCatalogueEntry(const uint8_t* bytes, CatalogueEntry* entry)
{
    CopyBytes(entry->sourceName, bytes, kCatalogueNameBytes);
    CopyBytes(entry->targetPath, bytes + 260, kCatalogueNameBytes);
    CopyBytes(entry->reservedText, bytes + 520, kCatalogueNameBytes);
    entry->componentMask = ReadLE32(bytes + 780);
    entry->size          = ReadLE32(bytes + 784);
    entry->reservedValue = ReadLE32(bytes + 788);
    entry->copied        = 0;
    return IsTerminated(bytes, kCatalogueNameBytes) &&
           IsTerminated(bytes + 260, kCatalogueNameBytes);
}

size_t CatalogueTableBytes(uint32_t count)
{
    if (count == 0)
        return 0;
    uint64_t bytes = static_cast<uint64_t>(count) * sizeof(CatalogueEntry);
    if (bytes > static_cast<uint64_t>(static_cast<size_t>(-1)))
        return 0;
    return static_cast<size_t>(bytes);
}

int ReadCatalogue(const CatalogueSource* source, const CatalogueMemory* memory,
                  CatalogueEntry** entries, InstallOptions* options)
{
    *entries = nullptr;

    uint8_t bytes[kCatalogueEntryBytes];
    CatalogueHeader header;
    if (!source->read(source->context, bytes, kCatalogueHeaderBytes))
        return kCatalogueInvalid;
    if (!DecodeCatalogueHeader(bytes, &header))
        return kCatalogueInvalid;

    // A count that the file cannot hold is refused before anything is
    // allocated: a hostile header must not make the reader ask for gigabytes.
    uint64_t available = source->fileBytes >= kCatalogueHeaderBytes
                             ? source->fileBytes - kCatalogueHeaderBytes : 0;
    if (header.entryCount > available / kCatalogueEntryBytes)
        return kCatalogueInvalid;

    size_t tableBytes = CatalogueTableBytes(header.entryCount);
    if (tableBytes == 0)
        return kCatalogueNoMemory;
    CatalogueEntry* table =
        static_cast<CatalogueEntry*>(memory->allocate(memory->context, tableBytes));
    if (table == nullptr)
        return kCatalogueNoMemory;

    ClearBytes(options, sizeof *options);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < header.entryCount; ++i) {
        // An entry that would install from another directory, or outside
        // the destination (a "..", a drive, a root), makes the catalogue
        // as bad as a cut-off one: nothing of it is installed.
        if (!source->read(source->context, bytes, kCatalogueEntryBytes) ||
            !DecodeCatalogueEntry(bytes, &table[i]) || !IsBareFileName(table[i].sourceName) ||
            CheckTargetPath(table[i].targetPath, nullptr) != kTargetOk) {
            memory->release(memory->context, table);
            return kCatalogueInvalid;
        }
        uint32_t* total = &options->componentBytes[ComponentIndex(table[i].componentMask)];
        *total = AddBytes(*total, table[i].size);
        sum += table[i].size;
    }

    options->selectedMask    = kInitialSelection;
    options->optionalGroupOn = 1;
    options->requiredBytes   = StartingRequiredBytes(header.totalBytes, sum);
    options->fileCount       = header.entryCount;
    *entries = table;
    return kCatalogueOk;
}

uint64_t CatalogueFileBytes(uint32_t count)
{
    return kCatalogueHeaderBytes + static_cast<uint64_t>(count) * kCatalogueEntryBytes;
}

void EncodeCatalogueHeader(uint32_t entryCount, uint32_t totalBytes, uint8_t* out16)
{
    WriteLE32(out16 + 0, kCatalogueSignature);
    WriteLE32(out16 + 4, entryCount);
    WriteLE32(out16 + 8, totalBytes);
    WriteLE32(out16 + 12, 0);
}

int EncodeCatalogueEntry(const CatalogueRecord* record, uint8_t* out792)
{
    ClearBytes(out792, kCatalogueEntryBytes);
    if (!PutText(out792, kCatalogueNameBytes, record->sourceName) ||
        !PutText(out792 + 260, kCatalogueNameBytes, record->targetPath)) {
        ClearBytes(out792, kCatalogueEntryBytes);
        return 0;
    }
    WriteLE32(out792 + 780, record->componentMask);
    WriteLE32(out792 + 784, record->size);
    return 1;
}

uint64_t EncodeCatalogue(const CatalogueRecord* records, uint32_t count,
                         uint8_t* out, uint64_t capacity)
{
    uint64_t bytes = CatalogueFileBytes(count);
    if (count == 0 || bytes > capacity)
        return 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (!EncodeCatalogueEntry(&records[i], out + CatalogueFileBytes(i)))
            return 0;
        total += records[i].size;
    }
    if (total > 0xFFFFFFFFu)  // the header total is 32 bits
        return 0;
    EncodeCatalogueHeader(count, static_cast<uint32_t>(total), out);
    return bytes;
}
