// SZDD expander and compressor.  See szdd.h for the format.
#include "tools/szdd/szdd.h"

#include <string.h>

namespace {

const uint8_t kMagic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};

// A flag byte and eight matches, 17 bytes, expand to at most 8 * 18 = 144
// bytes: no compressed byte stands for more than 9 expanded ones.
const uint64_t kMaxExpansionPerByte = 9;

void PutHeader(uint8_t lastChar, uint32_t expandedBytes, std::vector<uint8_t>* out)
{
    out->assign(kMagic, kMagic + 8);
    out->push_back('A');
    out->push_back(lastChar);
    for (int k = 0; k < 4; ++k) out->push_back(uint8_t(expandedBytes >> (8 * k)));
}

// The match finder works on the data with kSzddRingBytes blanks in front of
// it, so that a position q of that buffer is ring slot (q - 16) & 4095 and
// a match against the ring's initial blanks needs no special case.  Of the
// blanks only the last 18 positions go into the finders: every earlier one
// reads 18 blanks, as position 4078 does, and leaves the window sooner.
const int kHashBits = 14;
const uint32_t kHashSize = 1u << kHashBits;
const uint32_t kNone = 0xFFFFFFFFu;

// Blanks, then the data, then kPadBytes that no match reaches but that
// MatchLength may read.
const size_t kPadBytes = 8;

void MakeBuffer(const uint8_t* data, size_t size, std::vector<uint8_t>* buf)
{
    buf->assign(kSzddRingBytes + size + kPadBytes, ' ');
    if (size != 0) memcpy(buf->data() + kSzddRingBytes, data, size);
}

// How far a and b agree, from len up to limit; reads up to 7 bytes past
// limit.  Compares eight bytes at a time where the byte order allows.
inline size_t MatchLength(const uint8_t* a, const uint8_t* b, size_t len, size_t limit)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    while (len < limit) {
        uint64_t x, y;
        memcpy(&x, a + len, 8);
        memcpy(&y, b + len, 8);
        uint64_t d = x ^ y;
        if (d != 0) {
            len += size_t(__builtin_ctzll(d)) >> 3;
            return len < limit ? len : limit;
        }
        len += 8;
    }
    return limit;
#else
    while (len < limit && a[len] == b[len]) ++len;
    return len;
#endif
}

// Hash chains over the ring, walked to their end: the exhaustive search
// and the lazy parse's finder.
struct MatchFinder {
    const uint8_t* buf;      // blanks, then the data
    size_t end;              // bytes in use
    std::vector<uint32_t> head;
    std::vector<uint32_t> prev;   // indexed by position & 4095
};

inline uint32_t Hash3(const uint8_t* p)
{
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

void InitFinder(MatchFinder* mf, const uint8_t* buf, size_t end)
{
    mf->buf = buf;
    mf->end = end;
    mf->head.assign(kHashSize, kNone);
    mf->prev.assign(kSzddRingBytes, kNone);
}

inline void Insert(MatchFinder* mf, size_t q)
{
    if (q + kSzddMinMatch > mf->end) return;
    uint32_t h = Hash3(mf->buf + q);
    mf->prev[q & (kSzddRingBytes - 1)] = mf->head[h];
    mf->head[h] = uint32_t(q);
}

// Longest match for position j (j >= kSzddRingBytes) among the positions
// already inserted; *from receives the buffer position of the match.
inline unsigned Longest(const MatchFinder* mf, size_t j, size_t* from)
{
    size_t limit = mf->end - j;
    if (limit > kSzddMaxMatch) limit = kSzddMaxMatch;
    if (limit < kSzddMinMatch) return 0;
    const uint8_t* cur = mf->buf + j;
    const size_t lowest = j - kSzddRingBytes;
    unsigned best = 0;
    uint32_t c = mf->head[Hash3(cur)];
    while (c != kNone && c >= lowest && c < j) {
        const uint8_t* cand = mf->buf + c;
        if (cand[best] == cur[best] || best == 0) {
            unsigned n = unsigned(MatchLength(cand, cur, 0, limit));
            if (n > best) {
                best = n;
                *from = c;
                if (n == limit) break;
            }
        }
        uint32_t next = mf->prev[c & (kSzddRingBytes - 1)];
        if (next >= c) break;   // the slot was taken by a newer position
        c = next;
    }
    return best >= kSzddMinMatch ? best : 0;
}

// Writes items in groups of eight behind one flag byte.
struct ItemWriter {
    std::vector<uint8_t>* out;
    size_t flagAt;
    int count;
};

inline void NextItem(ItemWriter* w)
{
    if (w->count == 8) w->count = 0;
    if (w->count == 0) {
        w->flagAt = w->out->size();
        w->out->push_back(0);
    }
}

inline void PutLiteral(ItemWriter* w, uint8_t byte)
{
    NextItem(w);
    (*w->out)[w->flagAt] = uint8_t((*w->out)[w->flagAt] | (1u << w->count));
    w->out->push_back(byte);
    ++w->count;
}

inline void PutMatch(ItemWriter* w, size_t from, unsigned length)
{
    NextItem(w);
    unsigned slot = unsigned(from - 16) & (kSzddRingBytes - 1);
    w->out->push_back(uint8_t(slot & 0xFF));
    w->out->push_back(uint8_t(((slot >> 4) & 0xF0) | (length - kSzddMinMatch)));
    ++w->count;
}

}  // namespace

const char* SzddResultText(int result)
{
    switch (result) {
    case kSzddOk:             return "no error";
    case kSzddBadMagic:       return "not an SZDD compressed file (bad magic)";
    case kSzddBadMode:        return "unsupported SZDD compression mode (not 'A')";
    case kSzddTruncated:      return "truncated data (the data ends before the length in the header)";
    case kSzddLengthMismatch: return "length mismatch (the data expands past the length in the header)";
    case kSzddTooLarge:       return "file too large for the 32-bit length field";
    default:                  return "unknown error";
    }
}

int SzddHasMagic(const uint8_t* data, size_t size)
{
    return size >= 8 && memcmp(data, kMagic, 8) == 0;
}

int SzddReadHeader(const uint8_t* data, size_t size, SzddHeader* header)
{
    if (size < 8) {
        // A prefix of the magic is a cut-off header; anything else is not SZDD.
        return size != 0 && memcmp(data, kMagic, size) == 0 ? kSzddTruncated : kSzddBadMagic;
    }
    if (!SzddHasMagic(data, size)) return kSzddBadMagic;
    if (size < kSzddHeaderBytes) return kSzddTruncated;
    header->mode = data[8];
    header->lastChar = data[9];
    header->expandedBytes = uint32_t(data[10]) | uint32_t(data[11]) << 8 |
                            uint32_t(data[12]) << 16 | uint32_t(data[13]) << 24;
    if (header->mode != 'A') return kSzddBadMode;
    return kSzddOk;
}

int SzddExpand(const uint8_t* data, size_t size, std::vector<uint8_t>* out)
{
    out->clear();
    SzddHeader header;
    int r = SzddReadHeader(data, size, &header);
    if (r != kSzddOk) return r;

    const uint8_t* in = data + kSzddHeaderBytes;
    const size_t inSize = size - kSzddHeaderBytes;
    const size_t want = header.expandedBytes;
    // A length the data cannot reach is refused before anything is allocated.
    if (uint64_t(want) > uint64_t(inSize) * kMaxExpansionPerByte) {
        return kSzddTruncated;
    }
    out->resize(want);
    uint8_t* o = out->data();
    size_t n = 0;     // bytes written
    size_t i = 0;     // bytes read
    while (i < inSize) {
        unsigned flags = in[i++];
        for (int bit = 0; bit < 8 && i < inSize; ++bit, flags >>= 1) {
            if (flags & 1) {
                if (n == want) { out->resize(n); return kSzddLengthMismatch; }
                o[n++] = in[i++];
                continue;
            }
            if (i + 2 > inSize) { out->resize(n); return kSzddTruncated; }
            unsigned b0 = in[i], b1 = in[i + 1];
            i += 2;
            unsigned slot = b0 | (b1 & 0xF0) << 4;
            size_t length = (b1 & 0x0F) + kSzddMinMatch;
            if (length > want - n) { out->resize(n); return kSzddLengthMismatch; }
            // Slot `slot` holds output byte n - d, with d in 1..4096 (d is
            // 4096 when the match starts at the slot about to be written).
            size_t d = (size_t(kSzddRingStart) + n - slot) & (kSzddRingBytes - 1);
            if (d == 0) d = kSzddRingBytes;
            if (d <= n) {
                const uint8_t* s = o + n - d;
                for (size_t k = 0; k < length; ++k) o[n + k] = s[k];
            } else {
                for (size_t k = 0; k < length; ++k) {
                    o[n + k] = n + k >= d ? o[n + k - d] : uint8_t(' ');
                }
            }
            n += length;
        }
    }
    if (n != want) { out->resize(n); return kSzddTruncated; }
    return kSzddOk;
}

namespace {

// Binary-tree match finder: per hash of three bytes, a binary search tree
// of the positions in the ring ordered by their next 18 bytes, newest at
// the root.  Inserting a position walks the path where it belongs, which
// passes its lexicographic neighbours and so its longest match, and
// re-roots the tree at the new position.  Children are always older than
// their parent, so the walk stops at the first node out of the window.  The
// node table has 8192 slots so that a position 4096 back never shares the
// new one's slot.
const uint32_t kTreeSlots = 2 * kSzddRingBytes;

struct TreeFinder {
    const uint8_t* buf;
    size_t end;
    std::vector<uint32_t> head;
    std::vector<uint32_t> son;     // 2 per slot: smaller, larger
};

void InitTree(TreeFinder* tf, const uint8_t* buf, size_t end)
{
    tf->buf = buf;
    tf->end = end;
    tf->head.assign(kHashSize, kNone);
    tf->son.assign(2 * kTreeSlots, kNone);
}

// Inserts position j and returns its longest match (0 when under three).
unsigned TreeInsert(TreeFinder* tf, size_t j, size_t* from)
{
    size_t limit = tf->end - j;
    if (limit > kSzddMaxMatch) limit = kSzddMaxMatch;
    if (limit < kSzddMinMatch) return 0;
    const uint8_t* cur = tf->buf + j;
    uint32_t h = Hash3(cur);
    uint32_t c = tf->head[h];
    tf->head[h] = uint32_t(j);
    uint32_t* smaller = &tf->son[2 * (j & (kTreeSlots - 1))];
    uint32_t* larger = smaller + 1;
    size_t lenSmaller = 0, lenLarger = 0;
    unsigned best = 0;
    for (;;) {
        if (c == kNone || j - c > kSzddRingBytes) {
            *smaller = *larger = kNone;
            break;
        }
        uint32_t* pair = &tf->son[2 * (c & (kTreeSlots - 1))];
        const uint8_t* cand = tf->buf + c;
        size_t len = MatchLength(cand, cur, lenSmaller < lenLarger ? lenSmaller : lenLarger, limit);
        if (len > best) {
            best = unsigned(len);
            *from = c;
        }
        if (len == limit) {
            // Equal as far as we look: the new node takes over c's subtrees.
            *smaller = pair[0];
            *larger = pair[1];
            break;
        }
        if (cand[len] < cur[len]) {
            *smaller = c;
            smaller = pair + 1;
            c = *smaller;
            lenSmaller = len;
        } else {
            *larger = c;
            larger = pair;
            c = *larger;
            lenLarger = len;
        }
    }
    return best >= kSzddMinMatch ? best : 0;
}

// Fills length[i] and from[i] (ring slot) with the longest match at every
// position: from the tree, or by walking whole hash chains (exhaustive).
void LongestMatches(const std::vector<uint8_t>& buf, size_t size, bool exhaustive,
                    std::vector<uint8_t>* length, std::vector<uint16_t>* from)
{
    length->assign(size, 0);
    from->assign(size, 0);
    const size_t first = kSzddRingBytes - kSzddMaxMatch;
    if (!exhaustive) {
        TreeFinder tf;
        InitTree(&tf, buf.data(), kSzddRingBytes + size);
        size_t f = 0;
        for (size_t q = first; q < kSzddRingBytes; ++q) TreeInsert(&tf, q, &f);
        // Inside a run of one byte value with 18 of it ahead, the longest
        // match is 18 bytes at distance 1, and the position's 18 bytes equal
        // those of the run's position 18 before its end: only that one goes
        // into the tree, for the positions after it.
        const uint8_t* b = buf.data();
        const size_t end = kSzddRingBytes + size;
        size_t runEnd = 0;
        for (size_t i = 0; i < size; ++i) {
            size_t j = kSzddRingBytes + i;
            if (j >= runEnd) {
                runEnd = j + 1;
                while (runEnd < end && b[runEnd] == b[j]) ++runEnd;
            }
            if (b[j - 1] == b[j] && runEnd - j >= kSzddMaxMatch) {
                (*length)[i] = kSzddMaxMatch;
                (*from)[i] = uint16_t((j - 1 - 16) & (kSzddRingBytes - 1));
                if (runEnd - j == kSzddMaxMatch) TreeInsert(&tf, j, &f);
                continue;
            }
            unsigned l = TreeInsert(&tf, j, &f);
            (*length)[i] = uint8_t(l);
            (*from)[i] = uint16_t((f - 16) & (kSzddRingBytes - 1));
        }
        return;
    }
    MatchFinder mf;
    InitFinder(&mf, buf.data(), kSzddRingBytes + size);
    for (size_t q = first; q < kSzddRingBytes; ++q) Insert(&mf, q);
    for (size_t i = 0; i < size; ++i) {
        size_t j = kSzddRingBytes + i;
        size_t f = 0;
        unsigned l = Longest(&mf, j, &f);
        (*length)[i] = uint8_t(l);
        (*from)[i] = uint16_t((f - 16) & (kSzddRingBytes - 1));
        Insert(&mf, j);
    }
}

int CompressOptimal(const uint8_t* data, size_t size, uint8_t lastChar, bool exhaustive,
                    std::vector<uint8_t>* out)
{
    out->clear();
    if (uint64_t(size) > 0xFFFFFFFFu) return kSzddTooLarge;
    PutHeader(lastChar, uint32_t(size), out);
    if (size == 0) return kSzddOk;

    std::vector<uint8_t> buf;
    MakeBuffer(data, size, &buf);
    std::vector<uint8_t> length;
    std::vector<uint16_t> from;
    LongestMatches(buf, size, exhaustive, &length, &from);

    // bits[i]: fewest bits for data[i..size) at 9 per literal and 17 per
    // match; choice[i]: 1 for a literal, else the match length.  Any prefix
    // of a match is a match, so a match at i may end anywhere in
    // [i + 3, i + length[i]], and since every match costs the same the best
    // one ends where bits is least.  That window only slides down as i
    // does (a match at i + 1 is at least length[i] - 1 long), so a deque of
    // candidate ends, least bits at the back, gives its minimum in
    // amortised constant time.  Ties go to the longer match.
    std::vector<uint32_t> bits(size + 1);
    std::vector<uint8_t> choice(size);
    bits[size] = 0;
    uint32_t ends[32];            // ring of candidate ends, front = newest
    unsigned front = 0, back = 0; // ends[front..back) modulo 32
    for (size_t i = size; i-- > 0;) {
        if (i + kSzddMinMatch <= size) {
            uint32_t j = uint32_t(i + kSzddMinMatch);
            while (front != back && bits[ends[front & 31]] > bits[j]) ++front;
            ends[--front & 31] = j;
        }
        while (front != back && ends[(back - 1) & 31] > i + length[i]) --back;
        uint32_t best = bits[i + 1] + 9;
        unsigned pick = 1;
        if (length[i] >= kSzddMinMatch && front != back) {
            uint32_t j = ends[(back - 1) & 31];
            if (bits[j] + 17 <= best) {
                best = bits[j] + 17;
                pick = unsigned(j - i);
            }
        }
        bits[i] = best;
        choice[i] = uint8_t(pick);
    }

    out->reserve(kSzddHeaderBytes + size / 2 + 16);
    ItemWriter w = {out, 0, 0};
    for (size_t i = 0; i < size;) {
        unsigned l = choice[i];
        if (l == 1) {
            PutLiteral(&w, data[i]);
        } else {
            PutMatch(&w, size_t(from[i]) + 16, l);
        }
        i += l;
    }
    return kSzddOk;
}

}  // namespace

int SzddCompress(const uint8_t* data, size_t size, uint8_t lastChar, std::vector<uint8_t>* out)
{
    return CompressOptimal(data, size, lastChar, false, out);
}

int SzddCompressExhaustive(const uint8_t* data, size_t size, uint8_t lastChar,
                           std::vector<uint8_t>* out)
{
    return CompressOptimal(data, size, lastChar, true, out);
}

int SzddCompressLazy(const uint8_t* data, size_t size, uint8_t lastChar, int treeFinder,
                     std::vector<uint8_t>* out)
{
    out->clear();
    if (uint64_t(size) > 0xFFFFFFFFu) return kSzddTooLarge;
    PutHeader(lastChar, uint32_t(size), out);
    if (size == 0) return kSzddOk;

    std::vector<uint8_t> buf;
    MakeBuffer(data, size, &buf);
    if (treeFinder) {
        // The tree gives every position's longest match in one pass; the
        // lazy choice then only reads them.
        std::vector<uint8_t> length;
        std::vector<uint16_t> from;
        LongestMatches(buf, size, false, &length, &from);
        ItemWriter w = {out, 0, 0};
        for (size_t i = 0; i < size;) {
            unsigned l = length[i];
            if (l >= kSzddMinMatch && !(i + 1 < size && length[i + 1] > l)) {
                PutMatch(&w, size_t(from[i]) + 16, l);
                i += l;
            } else {
                PutLiteral(&w, data[i]);
                ++i;
            }
        }
        return kSzddOk;
    }
    MatchFinder mf;
    const size_t end = kSzddRingBytes + size;
    InitFinder(&mf, buf.data(), end);
    for (size_t q = kSzddRingBytes - kSzddMaxMatch; q < kSzddRingBytes; ++q) Insert(&mf, q);

    ItemWriter w = {out, 0, 0};
    size_t j = kSzddRingBytes;
    size_t f = 0;
    unsigned l = Longest(&mf, j, &f);
    while (j < end) {
        Insert(&mf, j);
        if (l == 0) {
            PutLiteral(&w, buf[j]);
            ++j;
            l = j < end ? Longest(&mf, j, &f) : 0;
            continue;
        }
        size_t f2 = 0;
        unsigned l2 = (l < kSzddMaxMatch && j + 1 < end) ? Longest(&mf, j + 1, &f2) : 0;
        if (l2 > l) {
            PutLiteral(&w, buf[j]);
            ++j;
            l = l2;
            f = f2;
            continue;
        }
        PutMatch(&w, f, l);
        for (size_t k = 1; k < l; ++k) Insert(&mf, j + k);
        j += l;
        l = j < end ? Longest(&mf, j, &f) : 0;
    }
    return kSzddOk;
}

int SzddStorePlain(const uint8_t* data, size_t size, size_t compressedSize)
{
    if (SzddHasMagic(data, size)) return 0;
    return compressedSize >= size;
}
