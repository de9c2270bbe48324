// mksample: writes the data files of the sample Tovarin distribution and
// its manifest.
//
//   mksample OUTDIR --tovarin PATH --setup PATH [--ctl3d PATH]
//
// Every file is generated from a fixed seed, so two runs give the same
// bytes.  The kinds follow what each component holds: text, Write and help
// files, 8-bit and 24-bit pictures, metafiles, font-like and program-like
// binaries, word lists, and JPEG and ZIP files that are already compressed
// (mkdist stores those as they are).  About 20 MB in all; the main
// component 0x40 and the optional component 0x20000 have no files.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/common/fileio.h"

namespace fs = std::filesystem;

namespace {

typedef std::vector<uint8_t> Bytes;

struct Rng {
    uint64_t s;
};

uint64_t Next(Rng* r)
{
    // splitmix64
    uint64_t z = (r->s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t Below(Rng* r, uint32_t n)
{
    return n == 0 ? 0 : uint32_t(Next(r) % n);
}

void Put16(Bytes* b, uint32_t v)
{
    b->push_back(uint8_t(v));
    b->push_back(uint8_t(v >> 8));
}

void Put32(Bytes* b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void PutBE16(Bytes* b, uint32_t v)
{
    b->push_back(uint8_t(v >> 8));
    b->push_back(uint8_t(v));
}

void PutBE32(Bytes* b, uint32_t v)
{
    PutBE16(b, v >> 16);
    PutBE16(b, v & 0xFFFF);
}

void PutText(Bytes* b, const std::string& s)
{
    b->insert(b->end(), s.begin(), s.end());
}

void Fill(Bytes* b, size_t size, Rng* r)
{
    while (b->size() < size) b->push_back(uint8_t(Next(r)));
}

// ---------------------------------------------------------------- text

const char* const kWords[] = {
    "the", "of", "and", "to", "a", "in", "is", "you", "that", "it", "for", "on", "with", "as",
    "page", "frame", "text", "picture", "document", "column", "layout", "style", "font", "size",
    "print", "printer", "choose", "select", "click", "menu", "command", "dialog", "box", "button",
    "Tovarin", "publication", "newsletter", "brochure", "headline", "paragraph", "margin",
    "guide", "line", "spacing", "border", "shade", "colour", "template", "master", "story",
    "import", "export", "filter", "file", "open", "save", "window", "view", "zoom", "ruler",
    "tab", "indent", "kerning", "tracking", "leading", "typeface", "bold", "italic", "caption",
    "table", "chart", "clip", "art", "gallery", "photo", "scan", "resolution", "dots", "inch",
    "when", "then", "each", "all", "can", "will", "your", "this", "from", "by", "or", "be",
    "are", "not", "more", "into", "new", "first", "last", "next", "other", "one", "two",
    "move", "drag", "place", "change", "set", "keep", "wrap", "around", "across", "below",
    "above", "left", "right", "top", "bottom", "edge", "corner", "handle", "tool", "pointer",
    "spelling", "check", "word", "hyphenation", "dictionary", "language", "label", "form",
    "calendar", "card", "letter", "envelope", "sheet", "paper", "portrait", "landscape",
};
const size_t kWordCount = sizeof kWords / sizeof kWords[0];

std::string Sentence(Rng* r)
{
    std::string s;
    unsigned n = 5 + Below(r, 14);
    for (unsigned i = 0; i < n; ++i) {
        // Small indices more often: a rough word-frequency curve.
        uint32_t a = Below(r, uint32_t(kWordCount)), b = Below(r, uint32_t(kWordCount));
        std::string w = kWords[a < b ? a : b];
        if (i == 0) w[0] = char(toupper(w[0]));
        if (i != 0) s += (Below(r, 12) == 0 ? ", " : " ");
        s += w;
    }
    return s + (Below(r, 9) == 0 ? "?" : ".");
}

std::string Paragraph(Rng* r)
{
    std::string p;
    unsigned n = 2 + Below(r, 6);
    for (unsigned i = 0; i < n; ++i) p += (i ? " " : "") + Sentence(r);
    return p;
}

// Paragraphs wrapped at 72 columns with CR LF.
void WrappedText(Bytes* b, size_t size, Rng* r)
{
    while (b->size() < size) {
        std::string p = Paragraph(r);
        size_t col = 0, i = 0;
        while (i < p.size()) {
            size_t sp = p.find(' ', i);
            if (sp == std::string::npos) sp = p.size();
            std::string w = p.substr(i, sp - i);
            if (col + w.size() > 72) {
                PutText(b, "\r\n");
                col = 0;
            }
            PutText(b, (col ? " " : "") + w);
            col += w.size() + (col ? 1 : 0);
            i = sp + 1;
        }
        PutText(b, "\r\n\r\n");
    }
    b->resize(size);
}

// ---------------------------------------------------------------- pictures

// A Windows bitmap file of the given depth (8 or 24).  style 0: flat
// shapes, as clip art; 1: gradients with a little noise, as borders and
// screen shots; 2: noisy photo-like content.
Bytes Bitmap(int width, int height, int bpp, int style, Rng* r)
{
    Bytes b;
    int stride = (width * bpp / 8 + 3) & ~3;
    uint32_t palette = bpp == 8 ? 256 * 4 : 0;
    uint32_t offset = 14 + 40 + palette;
    uint32_t size = offset + uint32_t(stride * height);
    PutText(&b, "BM");
    Put32(&b, size);
    Put32(&b, 0);
    Put32(&b, offset);
    Put32(&b, 40);
    Put32(&b, uint32_t(width));
    Put32(&b, uint32_t(height));
    Put16(&b, 1);
    Put16(&b, uint32_t(bpp));
    Put32(&b, 0);
    Put32(&b, uint32_t(stride * height));
    Put32(&b, 2835);
    Put32(&b, 2835);
    Put32(&b, bpp == 8 ? 256 : 0);
    Put32(&b, 0);
    if (bpp == 8) {
        for (int i = 0; i < 256; ++i) {
            b.push_back(uint8_t((i * 37) & 0xFF));
            b.push_back(uint8_t((i * 91) & 0xFF));
            b.push_back(uint8_t(i));
            b.push_back(0);
        }
    }
    // A few shapes: circles and rectangles of one colour each.
    struct Shape { int x, y, w, h, round; uint8_t c[3]; };
    std::vector<Shape> shapes;
    unsigned count = 4 + Below(r, 10);
    for (unsigned i = 0; i < count; ++i) {
        Shape s;
        s.x = int(Below(r, uint32_t(width)));
        s.y = int(Below(r, uint32_t(height)));
        s.w = 8 + int(Below(r, uint32_t(width / 2)));
        s.h = 8 + int(Below(r, uint32_t(height / 2)));
        s.round = int(Below(r, 2));
        for (int k = 0; k < 3; ++k) s.c[k] = uint8_t(Next(r));
        shapes.push_back(s);
    }
    uint8_t bg[3] = {uint8_t(Next(r)), uint8_t(Next(r)), uint8_t(Next(r))};
    for (int y = 0; y < height; ++y) {
        size_t rowStart = b.size();
        for (int x = 0; x < width; ++x) {
            uint8_t c[3];
            for (int k = 0; k < 3; ++k) {
                c[k] = style == 0 ? bg[k] : uint8_t(bg[k] + (x * (k + 1) + y * (3 - k)) / 4);
            }
            for (const Shape& s : shapes) {
                int64_t dx = x - s.x, dy = y - s.y, w = s.w, h = s.h;
                bool in = s.round ? (dx * dx * h * h + dy * dy * w * w <= w * w * h * h)
                                  : (dx >= 0 && dy >= 0 && dx < w && dy < h);
                if (in) memcpy(c, s.c, 3);
            }
            int noise = style == 0 ? 0 : style == 1 ? 3 : 24;
            for (int k = 0; k < 3 && noise; ++k) {
                c[k] = uint8_t(c[k] + int(Below(r, uint32_t(noise))) - noise / 2);
            }
            if (bpp == 8) {
                b.push_back(uint8_t((c[0] >> 5) << 5 | (c[1] >> 5) << 2 | c[2] >> 6));
            } else {
                b.push_back(c[2]);
                b.push_back(c[1]);
                b.push_back(c[0]);
            }
        }
        while (b.size() - rowStart < size_t(stride)) b.push_back(0);
    }
    return b;
}

// A placeable Windows metafile of polygons and text, as clip art.
Bytes Metafile(size_t size, Rng* r)
{
    Bytes b;
    Put32(&b, 0x9AC6CDD7u);
    Put16(&b, 0);
    Put16(&b, 0); Put16(&b, 0); Put16(&b, 2000); Put16(&b, 2000);
    Put16(&b, 1440);
    Put32(&b, 0);
    Put16(&b, 0x5D2A);  // checksum of the words above, not checked by readers we care for
    Put16(&b, 1); Put16(&b, 9); Put16(&b, 0x300); Put32(&b, uint32_t(size / 2)); Put16(&b, 4);
    Put32(&b, 64); Put16(&b, 0);
    while (b.size() + 64 < size) {
        unsigned points = 3 + Below(r, 20);
        Put32(&b, 4 + points * 2);        // record size in words
        Put16(&b, 0x0324);                // META_POLYGON
        Put16(&b, points);
        int x = int(Below(r, 2000)), y = int(Below(r, 2000));
        for (unsigned i = 0; i < points; ++i) {
            x += int(Below(r, 81)) - 40;
            y += int(Below(r, 81)) - 40;
            Put16(&b, uint32_t(x) & 0xFFFF);
            Put16(&b, uint32_t(y) & 0xFFFF);
        }
        if (Below(r, 8) == 0) {
            Put32(&b, 7);
            Put16(&b, 0x0201);            // META_SETBKCOLOR
            Put32(&b, uint32_t(Next(r)) & 0xFFFFFF);
        }
    }
    while (b.size() + 6 < size) b.push_back(0);
    Put32(&b, 3);
    Put16(&b, 0);
    b.resize(size);
    return b;
}

// JPEG-looking data: real markers around entropy-coded bytes, which are
// random and so do not compress, as in a real JPEG.
Bytes Jpeg(size_t size, Rng* r)
{
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};
    PutText(&b, std::string("JFIF\0", 5));
    Bytes rest = {0x01, 0x01, 0x01, 0x00, 0x48, 0x00, 0x48, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    b.insert(b.end(), rest.begin(), rest.end());
    for (int i = 0; i < 64; ++i) b.push_back(uint8_t(2 + i / 2));
    Bytes sos = {0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00};
    b.insert(b.end(), sos.begin(), sos.end());
    while (b.size() + 2 < size) {
        uint8_t v = uint8_t(Next(r));
        b.push_back(v);
        if (v == 0xFF) b.push_back(0x00);
    }
    b.resize(size - 2);
    b.push_back(0xFF);
    b.push_back(0xD9);
    return b;
}

// A ZIP archive's first member header, then deflated-looking bytes.
Bytes Zip(size_t size, const std::string& member, Rng* r)
{
    Bytes b;
    Put32(&b, 0x04034B50);
    Put16(&b, 20); Put16(&b, 0); Put16(&b, 8); Put16(&b, 0x6000); Put16(&b, 0x2A21);
    Put32(&b, uint32_t(Next(r)));
    Put32(&b, uint32_t(size - 30 - member.size()));
    Put32(&b, uint32_t(size * 3));
    Put16(&b, uint32_t(member.size())); Put16(&b, 0);
    PutText(&b, member);
    Fill(&b, size, r);
    return b;
}

// ---------------------------------------------------------------- binaries

// A 32-bit Windows program or library: the MZ stub, a PE header, code built
// from a handful of instruction shapes with varying operands, a string table
// and import names.  Compresses about as real code does.
Bytes Program(size_t size, Rng* r)
{
    Bytes b;
    PutText(&b, "MZ");
    while (b.size() < 0x3C) b.push_back(b.size() < 0x20 ? uint8_t(Below(r, 4)) : 0);
    Put32(&b, 0x80);
    PutText(&b, std::string("\x0E\x1F\xBA\x0E\x00\xB4\x09\xCD\x21\xB8\x01\x4C\xCD\x21", 14));
    PutText(&b, "This program cannot be run in DOS mode.\r\r\n$");
    while (b.size() < 0x80) b.push_back(0);
    PutText(&b, std::string("PE\0\0", 4));
    Put16(&b, 0x14C); Put16(&b, 4); Put32(&b, 0x2D5A1F00); Put32(&b, 0); Put32(&b, 0);
    Put16(&b, 0xE0); Put16(&b, 0x210E);
    while (b.size() < 0x400) b.push_back(0);
    const size_t codeEnd = size * 7 / 10;
    static const uint8_t shapes[][4] = {
        {0x55, 0x8B, 0xEC, 0}, {0x8B, 0x45, 0x08, 0}, {0x8B, 0x4D, 0x0C, 0}, {0x89, 0x45, 0xFC, 0},
        {0xE8, 1, 1, 1}, {0x6A, 1, 0, 0}, {0x83, 0xC4, 1, 0}, {0x85, 0xC0, 0, 0},
        {0x74, 1, 0, 0}, {0x75, 1, 0, 0}, {0x5D, 0xC2, 1, 0}, {0xFF, 0x15, 1, 1},
        {0x8D, 0x85, 1, 1}, {0x50, 0, 0, 0}, {0x33, 0xC0, 0, 0}, {0xC3, 0, 0, 0},
    };
    while (b.size() < codeEnd) {
        uint32_t a = Below(r, 16), c = Below(r, 16);
        const uint8_t* s = shapes[a < c ? a : c];
        for (int k = 0; k < 4; ++k) {
            if (s[k] == 0 && k > 0) break;
            b.push_back(s[k] == 1 ? uint8_t(Below(r, 4) == 0 ? Next(r) : Below(r, 32) * 4) : s[k]);
        }
    }
    while (b.size() < size) {
        if (Below(r, 3) == 0) {
            static const char* const imports[] = {
                "CreateWindowExA", "DefWindowProcA", "GetMessageA", "DispatchMessageA",
                "CreateFileA", "ReadFile", "WriteFile", "CloseHandle", "GlobalAlloc",
                "GlobalFree", "SelectObject", "DeleteObject", "TextOutA", "BitBlt",
                "LoadStringA", "LoadIconA", "RegisterClassA", "lstrcpyA", "wsprintfA"};
            Put16(&b, Below(r, 400));
            PutText(&b, imports[Below(r, 19)]);
            b.push_back(0);
        } else {
            std::string s = Sentence(r);
            for (char ch : s) {
                b.push_back(uint8_t(ch));
                if (Below(r, 2) == 0) b.push_back(0);   // some strings in UTF-16
            }
            b.push_back(0);
        }
    }
    b.resize(size);
    return b;
}

// A TrueType-like font: a table directory, glyph outlines as small
// delta-coded point lists, metrics and names.
Bytes Font(size_t size, const std::string& family, Rng* r)
{
    Bytes b;
    PutBE32(&b, 0x00010000);
    PutBE16(&b, 9); PutBE16(&b, 128); PutBE16(&b, 3); PutBE16(&b, 16);
    const char* const tags[] = {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "post"};
    for (int i = 0; i < 9; ++i) {
        PutText(&b, tags[i]);
        PutBE32(&b, uint32_t(Next(r)));
        PutBE32(&b, uint32_t(200 + i * (size / 10)));
        PutBE32(&b, uint32_t(size / 10));
    }
    // name table
    const std::string names[] = {family, "Regular", family + " Regular", "Version 1.00",
                                 "Copyright Tovarin Software. All rights reserved."};
    for (const std::string& n : names) {
        for (char ch : n) {
            b.push_back(0);
            b.push_back(uint8_t(ch));
        }
    }
    // hmtx: advance widths and side bearings of 256 glyphs
    for (int g = 0; g < 256; ++g) {
        PutBE16(&b, 400 + Below(r, 800));
        PutBE16(&b, Below(r, 120));
    }
    // glyf: contours of points, coordinates as small deltas with flags
    while (b.size() < size) {
        unsigned contours = 1 + Below(r, 3);
        PutBE16(&b, contours);
        PutBE16(&b, Below(r, 100)); PutBE16(&b, 0); PutBE16(&b, 500 + Below(r, 500)); PutBE16(&b, 700);
        unsigned points = 0;
        for (unsigned c = 0; c < contours; ++c) {
            points += 4 + Below(r, 24);
            PutBE16(&b, points - 1);
        }
        PutBE16(&b, 0);
        for (unsigned p = 0; p < points; ++p) b.push_back(uint8_t(0x01 | (Below(r, 4) << 1)));
        for (unsigned p = 0; p < 2 * points; ++p) b.push_back(uint8_t(Below(r, 64)));
        while (b.size() % 4) b.push_back(0);
    }
    b.resize(size);
    return b;
}

// ---------------------------------------------------------------- documents

// A Write document: the 128-byte header, the text, one character and one
// paragraph property page of defaults.
Bytes WriteDocument(const std::string& text)
{
    Bytes b;
    uint32_t fcMac = uint32_t(128 + text.size());
    uint32_t pnChar = (fcMac + 127) / 128;
    uint32_t pnPara = pnChar + 1;
    uint32_t pnMac = pnPara + 1;
    Put16(&b, 0xBE31); Put16(&b, 0); Put16(&b, 0xAB00);
    for (int i = 0; i < 4; ++i) Put16(&b, 0);
    Put32(&b, fcMac);
    Put16(&b, pnPara);
    for (int i = 0; i < 5; ++i) Put16(&b, pnMac);   // footnotes, sections, ...: none
    while (b.size() < 96) b.push_back(0);
    Put16(&b, pnMac);
    while (b.size() < 128) b.push_back(0);
    PutText(&b, text);
    while (b.size() < pnChar * 128) b.push_back(0);
    for (int page = 0; page < 2; ++page) {
        size_t start = b.size();
        Put32(&b, 128);
        Put32(&b, fcMac);
        Put16(&b, 0xFFFF);        // default properties
        while (b.size() < start + 127) b.push_back(0);
        b.push_back(1);           // one run
    }
    return b;
}

std::string ReadmeText()
{
    return "Tovarin Read Me\r\n\r\n"
           "Thank you for choosing Tovarin. This file holds notes that came too late for the "
           "printed guide.\r\n\r\n"
           "Installing\r\nRun SETUP.EXE from the first disk, or from the directory that holds all "
           "distribution files. Setup asks for each further disk in turn.\r\n\r\n"
           "Documents and settings\r\nTovarin documents end in .TVD; your settings are kept in "
           "TOVARIN.TVS in the program directory. When you install over an earlier version, "
           "Setup can keep your settings.\r\n\r\n";
}

// A Tovarin document: a text header, frames, story text and thumbnails.
Bytes TovarinDocument(size_t size, Rng* r)
{
    Bytes b;
    PutText(&b, "TVD 1.0\r\nPAGE 8.5in 11in PORTRAIT\r\n");
    while (b.size() < size) {
        char line[160];
        snprintf(line, sizeof line, "FRAME %u %u %u %u TEXT STYLE \"%s\"\r\n", Below(r, 600),
                 Below(r, 800), 50 + Below(r, 400), 20 + Below(r, 300), kWords[Below(r, 40)]);
        PutText(&b, line);
        std::string p = Paragraph(r);
        PutText(&b, "STORY " + std::to_string(p.size()) + "\r\n" + p + "\r\n");
        if (Below(r, 6) == 0) {
            Bytes thumb = Bitmap(24 + int(Below(r, 24)), 24 + int(Below(r, 24)), 8, 0, r);
            PutText(&b, "THUMB " + std::to_string(thumb.size()) + "\r\n");
            b.insert(b.end(), thumb.begin(), thumb.end());
        }
    }
    b.resize(size);
    return b;
}

Bytes Settings()
{
    std::string s =
        "[Tovarin]\r\nVersion=1.0\r\nUnits=inches\r\nShowRulers=1\r\nShowGuides=1\r\n"
        "SnapToGuides=1\r\nDefaultFont=Tovarin Serif\r\nDefaultSize=10\r\nAutosave=10\r\n"
        "\r\n[Recent]\r\nFile1=\r\nFile2=\r\nFile3=\r\nFile4=\r\n\r\n[Printer]\r\n"
        "Resolution=300\r\nDuplex=0\r\n\r\n[Paths]\r\nClipArt=CLIPART\r\nTemplates=TEMPLATE\r\n";
    return Bytes(s.begin(), s.end());
}

// A WinHelp-like file: its magic and directory, then topics of text with
// binary topic headers in between.
Bytes HelpFile(size_t size, Rng* r)
{
    Bytes b;
    Put32(&b, 0x00035F3F);
    Put32(&b, 16);
    Put32(&b, 0xFFFFFFFF);
    Put32(&b, uint32_t(size));
    PutText(&b, std::string("|SYSTEM\0|TOPIC\0|CONTEXT\0|FONT\0|Phrases\0", 40));
    uint32_t topic = 0;
    while (b.size() < size) {
        Put32(&b, topic++);
        Put32(&b, uint32_t(Next(r)) & 0xFFFF);
        Put16(&b, 0x20);
        std::string title = Sentence(r);
        PutText(&b, title);
        b.push_back(0);
        for (unsigned k = 0, n = 1 + Below(r, 4); k < n; ++k) {
            PutText(&b, Paragraph(r));
            b.push_back(0);
            b.push_back(uint8_t(0x80 | Below(r, 8)));
        }
    }
    b.resize(size);
    return b;
}

// A word list with hyphenation points, one word a line, sorted, from the
// syllables of a language.
Bytes WordList(size_t size, const char* const* syllables, size_t syllableCount, Rng* r)
{
    std::vector<std::string> words;
    size_t total = 0;
    while (total < size) {
        std::string w;
        unsigned n = 1 + Below(r, 4);
        for (unsigned i = 0; i < n; ++i) w += (i ? "=" : "") + std::string(syllables[Below(r, uint32_t(syllableCount))]);
        words.push_back(w);
        total += w.size() + 2;
    }
    std::sort(words.begin(), words.end());
    Bytes b;
    PutText(&b, "TVLEX 1\r\n");
    for (const std::string& w : words) PutText(&b, w + "\r\n");
    b.resize(size);
    return b;
}

const char* const kFrench[] = {"la", "le", "ment", "tion", "que", "con", "pre", "ré", "eau", "oir",
                               "ais", "ent", "ville", "mai", "son", "pa", "ri", "bon", "jour", "té"};
const char* const kGerman[] = {"ver", "ge", "ung", "keit", "schaft", "lich", "ein", "aus", "stadt",
                               "haus", "bau", "zeit", "wer", "ten", "ber", "spiel", "tag", "nacht"};
const char* const kSpanish[] = {"ción", "mente", "par", "que", "dad", "al", "es", "ta", "do", "ra",
                                "ca", "sa", "pue", "blo", "her", "mo", "so", "ma", "ri", "no"};

// PostScript prolog or printer description text.
Bytes PostScript(size_t size, bool ppd, Rng* r)
{
    Bytes b;
    PutText(&b, ppd ? "*PPD-Adobe: \"4.0\"\r\n*FormatVersion: \"4.0\"\r\n"
                    : "%!PS-Adobe-3.0 Resource-ProcSet\r\n%%Title: Tovarin prolog\r\n");
    while (b.size() < size) {
        char line[200];
        if (ppd) {
            snprintf(line, sizeof line, "*PageSize %s%u/%s %u: \"<</PageSize [%u %u]>>setpagedevice\"\r\n",
                     kWords[Below(r, 30)], Below(r, 50), kWords[Below(r, 30)], Below(r, 9),
                     200 + Below(r, 600), 300 + Below(r, 700));
        } else {
            snprintf(line, sizeof line, "/%s%u { %u %u moveto %u %u lineto %s } bind def\r\n",
                     kWords[Below(r, 60)], Below(r, 100), Below(r, 600), Below(r, 800),
                     Below(r, 600), Below(r, 800), Below(r, 2) ? "stroke" : "fill");
        }
        PutText(&b, line);
    }
    b.resize(size);
    return b;
}

// ---------------------------------------------------------------- the list

enum Kind { kText, kProgram, kFont, kClip8, kBorder, kShot24, kWmf, kPhoto, kZipFile, kDocument,
            kHelp, kFrenchList, kGermanList, kSpanishList, kPsProlog, kPpd };

struct SampleFile {
    const char* target;
    uint32_t component;
    Kind kind;
    uint32_t size;       // bytes; for pictures the width (height follows)
};

const SampleFile kFiles[] = {
    {"tvengine.dll", 0x1, kProgram, 820000},
    {"tvdraw.dll", 0x1, kProgram, 310000},
    {"license.txt", 0x1, kText, 14000},
    {"tvstart.tvd", 0x1, kDocument, 96000},
    // 0x2 import filters
    {"FILTERS\\rtfimp.flt", 0x2, kProgram, 180000},
    {"FILTERS\\wordimp.flt", 0x2, kProgram, 260000},
    {"FILTERS\\wpimp.flt", 0x2, kProgram, 150000},
    {"FILTERS\\txtimp.flt", 0x2, kProgram, 60000},
    {"FILTERS\\tifimp.flt", 0x2, kProgram, 120000},
    {"FILTERS\\pcximp.flt", 0x2, kProgram, 90000},
    // 0x4 fonts
    {"FONTS\\tvserif.ttf", 0x4, kFont, 310000},
    {"FONTS\\tvserifb.ttf", 0x4, kFont, 320000},
    {"FONTS\\tvserifi.ttf", 0x4, kFont, 300000},
    {"FONTS\\tvsans.ttf", 0x4, kFont, 280000},
    {"FONTS\\tvsansb.ttf", 0x4, kFont, 290000},
    {"FONTS\\tvmono.ttf", 0x4, kFont, 210000},
    // 0x8 document templates
    {"TEMPLATE\\letter.tvt", 0x8, kDocument, 60000},
    {"TEMPLATE\\newsletr.tvt", 0x8, kDocument, 140000},
    {"TEMPLATE\\brochure.tvt", 0x8, kDocument, 120000},
    {"TEMPLATE\\flyer.tvt", 0x8, kDocument, 80000},
    {"TEMPLATE\\report.tvt", 0x8, kDocument, 110000},
    {"TEMPLATE\\cards.tvt", 0x8, kDocument, 50000},
    // 0x10 the guide
    {"GUIDE\\guide.hlp", 0x10, kHelp, 1600000},
    {"GUIDE\\guide.cnt", 0x10, kText, 12000},
    {"GUIDE\\tutorial.hlp", 0x10, kHelp, 700000},
    {"GUIDE\\screens.bmp", 0x10, kShot24, 480},
    // 0x20 clip art
    {"CLIPART\\animals.bmp", 0x20, kClip8, 640},
    {"CLIPART\\business.bmp", 0x20, kClip8, 600},
    {"CLIPART\\food.bmp", 0x20, kClip8, 560},
    {"CLIPART\\holidays.bmp", 0x20, kClip8, 640},
    {"CLIPART\\people.bmp", 0x20, kClip8, 620},
    {"CLIPART\\school.bmp", 0x20, kClip8, 500},
    {"CLIPART\\sports.bmp", 0x20, kClip8, 640},
    {"CLIPART\\travel.bmp", 0x20, kClip8, 580},
    {"CLIPART\\arrows.wmf", 0x20, kWmf, 90000},
    {"CLIPART\\symbols.wmf", 0x20, kWmf, 120000},
    {"CLIPART\\maps.wmf", 0x20, kWmf, 260000},
    {"CLIPART\\banners.wmf", 0x20, kWmf, 150000},
    {"CLIPART\\gallery.tvd", 0x20, kDocument, 40000},
    // 0x80 sample documents
    {"SAMPLES\\newsltr1.tvd", 0x80, kDocument, 260000},
    {"SAMPLES\\brochur1.tvd", 0x80, kDocument, 220000},
    {"SAMPLES\\menu.tvd", 0x80, kDocument, 90000},
    {"SAMPLES\\poster.tvd", 0x80, kDocument, 150000},
    {"SAMPLES\\cover.jpg", 0x80, kPhoto, 180000},
    {"SAMPLES\\samples.zip", 0x80, kZipFile, 240000},
    // 0x100 PostScript export
    {"PSEXPORT\\psexport.flt", 0x100, kProgram, 210000},
    {"PSEXPORT\\prolog.ps", 0x100, kPsProlog, 70000},
    {"PSEXPORT\\laser.ppd", 0x100, kPpd, 45000},
    {"PSEXPORT\\color.ppd", 0x100, kPpd, 52000},
    {"PSEXPORT\\imagesetr.ppd", 0x100, kPpd, 61000},
    // 0x200 display typefaces
    {"FONTS\\headline.ttf", 0x200, kFont, 340000},
    {"FONTS\\poster.ttf", 0x200, kFont, 290000},
    {"FONTS\\stencil.ttf", 0x200, kFont, 250000},
    {"FONTS\\outline.ttf", 0x200, kFont, 380000},
    // 0x400 script typefaces
    {"FONTS\\brush.ttf", 0x400, kFont, 420000},
    {"FONTS\\copprpl.ttf", 0x400, kFont, 360000},
    {"FONTS\\chancery.ttf", 0x400, kFont, 330000},
    // 0x800 border art
    {"BORDERS\\classic.bmp", 0x800, kBorder, 500},
    {"BORDERS\\floral.bmp", 0x800, kBorder, 520},
    {"BORDERS\\geometric.bmp", 0x800, kBorder, 480},
    {"BORDERS\\certific.bmp", 0x800, kBorder, 540},
    {"BORDERS\\holiday.bmp", 0x800, kBorder, 500},
    // 0x1000 photo samples: already compressed
    {"PHOTOS\\harbour.jpg", 0x1000, kPhoto, 620000},
    {"PHOTOS\\mountain.jpg", 0x1000, kPhoto, 540000},
    {"PHOTOS\\market.jpg", 0x1000, kPhoto, 480000},
    {"PHOTOS\\garden.jpg", 0x1000, kPhoto, 390000},
    {"PHOTOS\\city.jpg", 0x1000, kPhoto, 450000},
    {"PHOTOS\\portrait.bmp", 0x1000, kShot24, 400},
    // 0x2000 .. 0x8000 dictionaries
    {"DICT\\francais.lex", 0x2000, kFrenchList, 900000},
    {"DICT\\francais.hyp", 0x2000, kFrenchList, 160000},
    {"DICT\\deutsch.lex", 0x4000, kGermanList, 1100000},
    {"DICT\\deutsch.hyp", 0x4000, kGermanList, 180000},
    {"DICT\\espanol.lex", 0x8000, kSpanishList, 850000},
    {"DICT\\espanol.hyp", 0x8000, kSpanishList, 150000},
    // 0x10000 business forms
    {"FORMS\\invoice.tvd", 0x10000, kDocument, 70000},
    {"FORMS\\purchase.tvd", 0x10000, kDocument, 65000},
    {"FORMS\\expense.tvd", 0x10000, kDocument, 55000},
    {"FORMS\\timesht.tvd", 0x10000, kDocument, 50000},
    {"FORMS\\fax.tvd", 0x10000, kDocument, 30000},
    {"FORMS\\letterhd.tvd", 0x10000, kDocument, 45000},
};

Bytes Generate(const SampleFile& s, Rng* r)
{
    Bytes b;
    switch (s.kind) {
    case kText: WrappedText(&b, s.size, r); return b;
    case kProgram: return Program(s.size, r);
    case kFont: {
        std::string name = s.target;
        name = name.substr(name.find('\\') + 1);
        return Font(s.size, "Tovarin " + name.substr(0, name.find('.')), r);
    }
    case kClip8: return Bitmap(int(s.size), int(s.size) * 3 / 4, 8, 0, r);
    case kBorder: return Bitmap(int(s.size), int(s.size) * 4 / 3, 8, 1, r);
    case kShot24: return Bitmap(int(s.size), int(s.size) * 3 / 4, 24, s.component == 0x1000 ? 2 : 1, r);
    case kWmf: return Metafile(s.size, r);
    case kPhoto: return Jpeg(s.size, r);
    case kZipFile: return Zip(s.size, "samples/newsltr2.tvd", r);
    case kDocument: return TovarinDocument(s.size, r);
    case kHelp: return HelpFile(s.size, r);
    case kFrenchList: return WordList(s.size, kFrench, sizeof kFrench / sizeof *kFrench, r);
    case kGermanList: return WordList(s.size, kGerman, sizeof kGerman / sizeof *kGerman, r);
    case kSpanishList: return WordList(s.size, kSpanish, sizeof kSpanish / sizeof *kSpanish, r);
    case kPsProlog: return PostScript(s.size, false, r);
    case kPpd: return PostScript(s.size, true, r);
    }
    return b;
}

std::string HostPath(const std::string& target)
{
    std::string p = target;
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return "data/" + p;
}

int Save(const std::string& path, const Bytes& b)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::string error;
    if (!WriteFileAtomic(path, b.data(), b.size(), &error)) {
        fprintf(stderr, "mksample: %s: %s\n", path.c_str(), error.c_str());
        return 0;
    }
    return 1;
}

std::string Quote(const std::string& s)
{
    return s.find_first_of(" \t") == std::string::npos ? s : "\"" + s + "\"";
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out, tovarin, setup, ctl3d;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--tovarin" && i + 1 < argc) tovarin = argv[++i];
        else if (a == "--setup" && i + 1 < argc) setup = argv[++i];
        else if (a == "--ctl3d" && i + 1 < argc) ctl3d = argv[++i];
        else if (out.empty() && a[0] != '-') out = a;
        else out.clear(), i = argc;
    }
    if (out.empty() || tovarin.empty() || setup.empty()) {
        fprintf(stderr, "usage: mksample OUTDIR --tovarin PATH --setup PATH [--ctl3d PATH]\n");
        return 2;
    }
    std::string manifest =
        "# The sample Tovarin distribution, written by mksample.\n"
        "# file SOURCE TARGET COMPONENT MODE\n";
    manifest += "setup " + Quote(fs::absolute(setup).string()) + "\n";
    if (!ctl3d.empty()) manifest += "ctl3d " + Quote(fs::absolute(ctl3d).string()) + "\n";
    manifest += "file " + Quote(fs::absolute(tovarin).string()) + " tovarin.exe 0x1 compress\n";

    uint64_t total = 0;
    struct Fixed { const char* target; Bytes bytes; };
    Rng docRng = {0x70EA};
    const Fixed fixed[] = {
        {"readme.wri", WriteDocument(ReadmeText() + [&] { Bytes t; WrappedText(&t, 18000, &docRng);
                                                           return std::string(t.begin(), t.end()); }())},
        {"default.tvd", TovarinDocument(6000, &docRng)},
        {"tovarin.tvs", Settings()},
    };
    for (const Fixed& f : fixed) {
        if (!Save(out + "/" + HostPath(f.target), f.bytes)) return 1;
        manifest += "file " + HostPath(f.target) + " " + f.target + " 0x1 compress\n";
        total += f.bytes.size();
    }
    uint32_t index = 0;
    for (const SampleFile& s : kFiles) {
        Rng r = {0x5EED0000ull + ++index};
        Bytes b = Generate(s, &r);
        if (!Save(out + "/" + HostPath(s.target), b)) return 1;
        char comp[16];
        snprintf(comp, sizeof comp, "0x%X", s.component);
        manifest += "file " + HostPath(s.target) + " " + std::string(s.target) + " " + comp + " compress\n";
        total += b.size();
    }
    Bytes m(manifest.begin(), manifest.end());
    if (!Save(out + "/manifest.txt", m)) return 1;
    printf("mksample: %s: %zu data files, %llu bytes\n", out.c_str(),
           sizeof kFiles / sizeof kFiles[0] + 3, static_cast<unsigned long long>(total));
    return 0;
}
