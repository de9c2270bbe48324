// Feeds arbitrary bytes to the catalogue reader, twice: once with the true
// file size, once with a size that claims more than is there (a file whose
// reads fail part way).  On success every entry must be well formed, name a
// bare source and a target that stays in the destination, and the totals
// must add up; on failure no table may be handed out or left behind.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "catalogue/catfile.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadInput(void* context, void* buffer, uint32_t n) {
    Input* in = static_cast<Input*>(context);
    if (n > in->size - in->pos) return 0;
    memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return 1;
}

struct Heap {
    int live;
    size_t bytes;
};

void* Allocate(void* context, size_t bytes) {
    Heap* heap = static_cast<Heap*>(context);
    if (bytes > (64u << 20)) return nullptr;
    void* block = calloc(1, bytes);
    if (block) {
        heap->live++;
        heap->bytes = bytes;
    }
    return block;
}

void Release(void* context, void* block) {
    Heap* heap = static_cast<Heap*>(context);
    if (!block) abort();
    heap->live--;
    free(block);
}

void Check(bool condition) {
    if (!condition) abort();
}

bool Terminated(const char* text) { return memchr(text, 0, kCatalogueNameBytes) != nullptr; }

// Nothing that could lead out of a directory: no drive, no root, no '/',
// and no part that Windows reads as "", "." or ".." (it drops the dots and
// blanks at the end of a name).
bool StaysInside(const char* path, bool bare) {
    if (path[0] == '\0' || path[0] == '\\' || strpbrk(path, ":/") != nullptr) return false;
    if (bare && strchr(path, '\\') != nullptr) return false;
    const char* part = path;
    for (;;) {
        const char* end = strchr(part, '\\');
        if (end == nullptr) end = part + strlen(part);
        if (strspn(part, ". ") >= size_t(end - part)) return false;
        if (*end == '\0') return true;
        part = end + 1;
    }
}

void ReadOnce(const uint8_t* data, size_t size, uint64_t fileBytes) {
    Input in = {data, size, 0};
    Heap heap = {0, 0};
    CatalogueSource source = {ReadInput, &in, fileBytes};
    CatalogueMemory memory = {Allocate, Release, &heap};
    InstallOptions options;
    memset(&options, 0xA7, sizeof options);
    const InstallOptions before = options;
    CatalogueEntry* entries = reinterpret_cast<CatalogueEntry*>(&heap);
    int result = ReadCatalogue(&source, &memory, &entries, &options);

    if (result != kCatalogueOk) {
        Check(result == kCatalogueInvalid || result == kCatalogueNoMemory);
        Check(entries == nullptr);
        Check(heap.live == 0);
        // Before the table exists the record is untouched; after, it is cleared.
        Check(memcmp(&options, &before, sizeof options) == 0 ||
              (options.fileCount == 0 && options.requiredBytes == 0 &&
               options.selectedMask == 0 && options.destDir[0] == 0));
        return;
    }

    Check(entries != nullptr && heap.live == 1);
    Check(size >= 16);
    uint32_t count = ReadLE32(data + 4);
    Check(ReadLE32(data) == kCatalogueSignature);
    Check(count != 0 && options.fileCount == count);
    Check(uint64_t(count) * kCatalogueEntryBytes + kCatalogueHeaderBytes <= size);
    Check(heap.bytes >= size_t(count) * sizeof(CatalogueEntry));
    Check(options.selectedMask == 0xFFFFF && options.optionalGroupOn == 1);
    Check(options.destDir[0] == 0 && options.keepSettings == 0 && options.foundList == nullptr);
    uint64_t sizes = 0, totals = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const CatalogueEntry& e = entries[i];
        Check(Terminated(e.sourceName) && Terminated(e.targetPath));
        Check(StaysInside(e.sourceName, true) && StaysInside(e.targetPath, false));
        Check(e.copied == 0);
        Check(memcmp(&e, data + kCatalogueHeaderBytes + size_t(i) * kCatalogueEntryBytes,
                     kCatalogueEntryBytes) == 0);
        sizes += e.size;
    }
    for (int k = 0; k < kComponentCount; ++k) totals += options.componentBytes[k];
    // The header total only when the sizes agree with it; figures past 32
    // bits stop at 0xFFFFFFFF.
    uint32_t header = ReadLE32(data + 8);
    Check(sizes == header ? options.requiredBytes == header
          : sizes <= 0xFFFFFFFFu ? options.requiredBytes == sizes
                                 : options.requiredBytes == 0xFFFFFFFFu);
    Check(sizes > 0xFFFFFFFFu || sizes == totals);
    Release(&heap, entries);
    Check(heap.live == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadOnce(data, size, size);
    ReadOnce(data, size, uint64_t(size) + 4 * kCatalogueEntryBytes);
    return 0;
}
