// mkdist: builds a distribution from a manifest (format: manifest.h).
//
//   mkdist [--onedir] [--capacity BYTES] [--cluster BYTES] [--root-entries N]
//          [--setup PATH] [--ctl3d PATH] MANIFEST OUTDIR
//   mkdist --images [FORMAT] [--setup PATH] [--ctl3d PATH] MANIFEST OUTDIR
//   mkdist --cdrom [--setup PATH] [--ctl3d PATH] MANIFEST ISOFILE
//   mkdist --help     prints this usage on standard output
//
// Every form takes --codepage N: the ANSI code page the manifest's target
// paths are in, as the installer will read them (default 1252; 932, 936,
// 949 and 950 have characters of two bytes whose second byte may be "\\").
//
// Writes setup.inf, the installer, ctl3d32.dll when given, and every file,
// compressed or plain, under a unique 8.3 name: all in OUTDIR with --onedir,
// else spread over OUTDIR/disk1, disk2, ... of the given capacity (default
// the 3.5-inch floppy), with the installer's files on disk 1 and no file
// split.  With --images the disks are floppy images OUTDIR/disk1.img, ...
// of the format (floppy.h), the room on each read from the boot sector that
// mformat writes; with --cdrom the one directory is an ISO 9660 image
// (images.h).
//
// mkdist replaces nothing but its own earlier output (output.h): every
// directory it writes holds the marker file .mkdist, which lists what it
// wrote there, every CD-ROM image it writes names mkdist as its application,
// and OUTDIR (ISOFILE) must be new, empty, or such an earlier output holding
// nothing its marker does not list, and must not hold the manifest or a file
// it names.  The output is built in a temporary directory beside OUTDIR and
// takes the place of the earlier one only when everything was written; on
// any error the earlier output stays as it was and nothing is left behind.
// Exit status 0, 1 on a bad manifest or file or a refused OUTDIR, 2 on a
// usage error (the usage goes to standard error).
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/codepages.h"
#include "catalogue/catfile.h"
#include "tools/common/fileio.h"
#include "tools/mkdist/floppy.h"
#include "tools/mkdist/images.h"
#include "tools/mkdist/layout.h"
#include "tools/mkdist/manifest.h"
#include "tools/mkdist/output.h"
#include "tools/szdd/szdd.h"

namespace fs = std::filesystem;

namespace {

struct Item {
    const ManifestFile* entry;
    std::string sourcePath;     // resolved
    std::vector<uint8_t> stored;
    uint64_t expandedBytes;
    bool compressed;
    std::string diskName;
    std::string error;          // set by the worker on failure
};

// A file of disk 1 beside the catalogue's: the installer, ctl3d32.dll, and
// setup.inf itself.  where names the manifest line or the option that gave
// it.
struct Extra {
    std::string name, path, where;
    std::vector<uint8_t> bytes;
};

// What the command line asks for.
struct Options {
    bool onedir;
    bool cdrom;
    const FloppyFormat* images;  // null: directories
    DiskGeometry disk;
    std::string setupOption, ctl3dOption;
    std::string manifestPath, outDir;
    std::string outPath;         // OUTDIR absolute, normal, its links resolved
    OutputKind outKind;
};

// Every problem found before anything is written.
typedef std::vector<ManifestError> Problems;

// The usage on standard output when asked for (status 0), else on standard
// error (status 2).
int Usage(bool asked)
{
    fprintf(asked ? stdout : stderr,
            "usage: mkdist [--onedir] [--capacity BYTES] [--cluster BYTES] [--root-entries N]\n"
            "              [--setup PATH] [--ctl3d PATH] MANIFEST OUTDIR\n"
            "       mkdist --images [FORMAT] [--setup PATH] [--ctl3d PATH] MANIFEST OUTDIR\n"
            "       mkdist --cdrom [--setup PATH] [--ctl3d PATH] MANIFEST ISOFILE\n"
            "       mkdist --help\n"
            "Every form takes --codepage N, the code page of the target paths (1252 when not given).\n"
            "FORMAT, the floppy of the images (1440 when not given):\n");
    for (const FloppyFormat* f = kFloppyFormats; f->name != nullptr; ++f) {
        fprintf(asked ? stdout : stderr, "  %-8s %s\n", f->name, f->description);
    }
    return asked ? 0 : 2;
}

int ParseCount(const char* text, uint64_t* value)
{
    char* end = nullptr;
    if (*text < '0' || *text > '9') return 0;
    *value = strtoull(text, &end, 0);
    return *end == '\0';
}

std::string Resolve(const std::string& base, const std::string& path)
{
    if (path.empty() || path[0] == '/') return path;
    return (fs::path(base) / path).string();
}

// Reads and, when asked, compresses one file.
void Prepare(Item* item)
{
    std::vector<uint8_t> data;
    std::string error;
    if (!ReadWholeFile(item->sourcePath, &data, &error)) {
        item->error = item->entry->source + ": " + error;
        return;
    }
    item->expandedBytes = data.size();
    if (data.size() > 0xFFFFFFFFu) {
        item->error = item->entry->source + ": file of " + std::to_string(data.size()) +
                      " bytes is too large for the catalogue's 32-bit size";
        return;
    }
    item->compressed = false;
    if (item->entry->compress) {
        const std::string& t = item->entry->target;
        uint8_t last = uint8_t(t.empty() ? 0 : t.back());
        if (last >= 'A' && last <= 'Z') last = uint8_t(last - 'A' + 'a');
        std::vector<uint8_t> packed;
        SzddCompress(data.data(), data.size(), last, &packed);
        if (!SzddStorePlain(data.data(), data.size(), packed.size())) {
            item->stored.swap(packed);
            item->compressed = true;
            return;
        }
    }
    item->stored.swap(data);
}

int WriteAll(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        *error = path + ": " + strerror(errno);
        return 0;
    }
    size_t n = bytes.empty() ? 0 : fwrite(bytes.data(), 1, bytes.size(), f);
    int e = errno;
    if (fclose(f) != 0 || n != bytes.size()) {
        *error = path + ": " + strerror(n != bytes.size() ? e : errno);
        return 0;
    }
    return 1;
}

// Reads the command line into *options.  Returns -1 to go on, else the
// exit status: 0 after --help, 2 on a usage error.
int ParseArguments(int argc, char** argv, Options* options)
{
    options->onedir = false;
    options->cdrom = false;
    options->images = nullptr;
    options->disk = {kFloppyCapacity, kFloppyCluster, kFloppyRootEntries};
    std::vector<std::string> args;
    bool geometryGiven = false;
    size_t afterImages = size_t(-1);  // the positional word right after a bare --images
    std::string formatWord;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        uint64_t v = 0;
        if (a == "--help") {
            return Usage(argc == 2);
        } else if (a == "--onedir") {
            options->onedir = true;
        } else if (a == "--cdrom") {
            options->cdrom = true;
        } else if (a == "--images") {
            // FORMAT may be left out (1440): the word after --images is the
            // format when it names one.
            options->images = &kFloppyFormats[0];
            if (i + 1 < argc && FindFloppyFormat(argv[i + 1]) != nullptr) {
                options->images = FindFloppyFormat(argv[++i]);
            } else if (i + 1 < argc) {
                afterImages = args.size();
                formatWord = argv[i + 1];
            }
        } else if ((a == "--capacity" || a == "--cluster" || a == "--root-entries") && i + 1 < argc) {
            geometryGiven = true;
            if (!ParseCount(argv[++i], &v) || v == 0 || (a == "--root-entries" && v > 0xFFFF)) {
                fprintf(stderr, "mkdist: %s needs a positive number, not \"%s\"\n", a.c_str(), argv[i]);
                return 2;
            }
            if (a == "--capacity") options->disk.capacity = v;
            if (a == "--cluster") options->disk.cluster = v;
            if (a == "--root-entries") options->disk.rootEntries = uint32_t(v);
        } else if (a == "--codepage" && i + 1 < argc) {
            if (!ParseCount(argv[++i], &v) || v > 0xFFFF || !IsHostCodePage(uint32_t(v))) {
                fprintf(stderr, "mkdist: --codepage: no ANSI code page \"%s\" (1252, 874, 1250-1258, 932, 936, "
                                "949 or 950)\n", argv[i]);
                return 2;
            }
            UseHostCodePage(uint32_t(v));
        } else if ((a == "--setup" || a == "--ctl3d") && i + 1 < argc) {
            (a == "--setup" ? options->setupOption : options->ctl3dOption) = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage(false);
        } else {
            args.push_back(a);
        }
    }
    if (args.size() == 3 && afterImages == 0 && args[0] == formatWord) {
        fprintf(stderr, "mkdist: --images: no floppy format \"%s\" (one of:", formatWord.c_str());
        for (const FloppyFormat* f = kFloppyFormats; f->name != nullptr; ++f) fprintf(stderr, " %s", f->name);
        fprintf(stderr, ")\n");
        return 2;
    }
    if (args.size() != 2) return Usage(false);
    if (int(options->onedir) + int(options->cdrom) + int(options->images != nullptr) > 1 ||
        ((options->cdrom || options->images) && geometryGiven)) {
        fprintf(stderr, "mkdist: --onedir, --cdrom and --images exclude each other, and an image's format "
                        "fixes the capacity, the cluster and the root entries\n");
        return 2;
    }
    if (options->cdrom) options->onedir = true;
    options->manifestPath = args[0];
    options->outDir = args[1];
    while (options->outDir.size() > 1 && options->outDir.back() == '/') options->outDir.pop_back();
    std::error_code ec;
    fs::path out = fs::weakly_canonical(fs::absolute(options->outDir), ec);
    if (ec) out = fs::absolute(options->outDir).lexically_normal();
    if (!out.has_filename()) out = out.parent_path();
    options->outPath = out.string();
    options->outKind = options->cdrom ? kOutputCdImage : kOutputDirectory;
    return -1;
}

// The installer and ctl3d32.dll, from the options or the manifest, read
// into *extras.
void ReadInstallerFiles(const Options& options, const Manifest& manifest, const std::string& base,
                        std::vector<Extra>* extras, Problems* problems)
{
    std::string setupPath = !options.setupOption.empty() ? options.setupOption
                                                         : Resolve(base, manifest.setupPath);
    if (options.setupOption.empty() && manifest.setupPath.empty()) {
        problems->push_back({0, "no \"setup\" line and no --setup: disk 1 needs the installer"});
    } else {
        extras->push_back({"setup.exe", setupPath,
                           options.setupOption.empty() ? std::to_string(manifest.setupLine) : "--setup",
                           {}});
    }
    if (!options.ctl3dOption.empty() || !manifest.ctl3dPath.empty()) {
        extras->push_back({"ctl3d32.dll",
                           !options.ctl3dOption.empty() ? options.ctl3dOption
                                                        : Resolve(base, manifest.ctl3dPath),
                           options.ctl3dOption.empty() ? std::to_string(manifest.ctl3dLine) : "--ctl3d",
                           {}});
    }
    for (Extra& x : *extras) {
        std::string why;
        if (!ReadWholeFile(x.path, &x.bytes, &why)) {
            problems->push_back({x.where == "--setup" || x.where == "--ctl3d" ? 0 : atoi(x.where.c_str()),
                                 x.path + ": " + why});
        }
    }
}

// One item for every manifest file; when nothing is wrong yet, every file
// read and compressed on all cores.
void PrepareItems(const Manifest& manifest, const std::string& base, std::vector<Item>* items,
                  Problems* problems)
{
    items->resize(manifest.files.size());
    for (size_t i = 0; i < items->size(); ++i) {
        Item& item = (*items)[i];
        item.entry = &manifest.files[i];
        item.sourcePath = Resolve(base, manifest.files[i].source);
        item.expandedBytes = 0;
        item.compressed = false;
    }
    if (!problems->empty()) return;
    std::atomic<size_t> next(0);
    unsigned workers = std::thread::hardware_concurrency();
    if (workers == 0) workers = 1;
    if (workers > 8) workers = 8;
    std::vector<std::thread> pool;
    for (unsigned w = 0; w < workers; ++w) {
        pool.emplace_back([&]() {
            for (size_t i = next++; i < items->size(); i = next++) Prepare(&(*items)[i]);
        });
    }
    for (std::thread& t : pool) t.join();
    uint64_t total = 0;
    for (const Item& item : *items) {
        if (!item.error.empty()) problems->push_back({item.entry->line, item.error});
        total += item.expandedBytes;
    }
    if (problems->empty() && total > 0xFFFFFFFFu) {
        problems->push_back({0, "the files add up to " + std::to_string(total) +
                                    " bytes, more than the catalogue's 32-bit total holds"});
    }
}

// Gives every item its unique 8.3 name on the disk and encodes the
// catalogue; empty when something is wrong.
std::vector<uint8_t> MakeCatalogue(std::vector<Item>* items, Problems* problems)
{
    std::vector<uint8_t> catalogue;
    if (!problems->empty()) return catalogue;
    std::set<std::string> taken = {"setup.exe", "setup.inf", "ctl3d32.dll"};
    std::vector<CatalogueRecord> records;
    for (Item& item : *items) {
        item.diskName = ShortDiskName(item.entry->target, item.compressed, &taken);
        records.push_back({item.diskName.c_str(), item.entry->target.c_str(),
                           item.entry->component, uint32_t(item.expandedBytes)});
    }
    catalogue.resize(size_t(CatalogueFileBytes(uint32_t(records.size()))));
    if (EncodeCatalogue(records.data(), uint32_t(records.size()), catalogue.data(),
                        catalogue.size()) != catalogue.size()) {
        problems->push_back({0, "the catalogue cannot be encoded"});
    }
    return catalogue;
}

// Spreads the items over disks (all on disk 0 with --onedir): fills
// *diskOf and returns the number of disks.
int PlaceOnDisks(const Options& options, const std::vector<Item>& items,
                 const std::vector<Extra>& extras, std::vector<int>* diskOf, Problems* problems)
{
    diskOf->assign(items.size(), 0);
    int diskCount = 1;
    if (!problems->empty() || options.onedir) return diskCount;
    const DiskGeometry& disk = options.disk;
    std::vector<uint64_t> sizes;
    for (const Item& item : items) sizes.push_back(item.stored.size());
    uint64_t firstBytes = 0;
    for (const Extra& x : extras) firstBytes += DiskBytes(disk, x.bytes.size());
    int bad = SpreadOverDisks(disk, sizes, firstBytes, uint32_t(extras.size()), diskOf);
    if (bad == -2) {
        std::string names;
        for (const Extra& x : extras) names += (names.empty() ? "" : ", ") + x.name;
        problems->push_back({0, names + " take " + std::to_string(firstBytes) +
                                    " bytes and " + std::to_string(extras.size()) +
                                    " root entries, more than disk 1 holds (" + std::to_string(disk.capacity) +
                                    " bytes, " + std::to_string(disk.rootEntries) + " entries)"});
    } else if (bad >= 0 && disk.rootEntries == 0) {
        problems->push_back({items[size_t(bad)].entry->line, "a disk's root directory holds no file"});
    } else if (bad >= 0) {
        const Item& item = items[size_t(bad)];
        problems->push_back({item.entry->line,
                             item.entry->source + ": takes " +
                                 std::to_string(DiskBytes(disk, item.stored.size())) +
                                 " bytes on a disk, more than a disk holds (" +
                                 std::to_string(disk.capacity) + ")"});
    }
    for (int d : *diskOf) diskCount = d + 1 > diskCount ? d + 1 : diskCount;
    return diskCount;
}

void ReportProblems(const std::string& manifestPath, const Problems& problems)
{
    for (const ManifestError& e : problems) {
        if (e.line > 0) {
            fprintf(stderr, "mkdist: %s:%d: %s\n", manifestPath.c_str(), e.line, e.reason.c_str());
        } else {
            fprintf(stderr, "mkdist: %s: %s\n", manifestPath.c_str(), e.reason.c_str());
        }
    }
}

// The directory of disk d (from 0) under root.
std::string DiskDir(const Options& options, const std::string& root, int d)
{
    return options.onedir ? root : (fs::path(root) / ("disk" + std::to_string(d + 1))).string();
}

// Writes every disk's files into root (made here): root itself with
// --onedir, else root/disk1, ...  1, or 0 with *error.
int WriteDisks(const Options& options, const std::vector<Extra>& extras, const std::vector<Item>& items,
               const std::vector<int>& diskOf, int diskCount, const std::string& root, std::string* error)
{
    std::error_code ec;
    for (int d = 0; d < diskCount; ++d) {
        fs::create_directories(DiskDir(options, root, d), ec);
        if (ec) {
            *error = DiskDir(options, root, d) + ": " + ec.message();
            return 0;
        }
    }
    for (const Extra& x : extras) {
        if (!WriteAll((fs::path(DiskDir(options, root, 0)) / x.name).string(), x.bytes, error)) return 0;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        std::string path = (fs::path(DiskDir(options, root, diskOf[i])) / items[i].diskName).string();
        if (!WriteAll(path, items[i].stored, error)) return 0;
    }
    return 1;
}

// Writes disk1.img, ... into dir from the disks' files under stage, each
// disk's files in the order of the catalogue, disk 1's own files first.
int WriteImages(const Options& options, const std::vector<Extra>& extras, const std::vector<Item>& items,
                const std::vector<int>& diskOf, int diskCount, const std::string& stage, const std::string& dir,
                std::string* error)
{
    std::vector<std::vector<ImageFile>> files(static_cast<size_t>(diskCount));
    for (const Extra& x : extras) {
        files[0].push_back({x.name, (fs::path(DiskDir(options, stage, 0)) / x.name).string()});
    }
    for (size_t i = 0; i < items.size(); ++i) {
        files[size_t(diskOf[i])].push_back(
            {items[i].diskName, (fs::path(DiskDir(options, stage, diskOf[i])) / items[i].diskName).string()});
    }
    for (int d = 0; d < diskCount; ++d) {
        std::string image = (fs::path(dir) / ("disk" + std::to_string(d + 1) + ".img")).string();
        if (!WriteFloppyImage(*options.images, d + 1, files[size_t(d)], image, error)) return 0;
    }
    return 1;
}

// Writes the distribution under a temporary name in work (a fresh
// directory beside OUTDIR), marked as mkdist's, then puts it in the place of
// OUTDIR.  1, or 0 with *error, OUTDIR as it was and nothing left behind.
int WriteDistribution(const Options& options, const std::vector<Extra>& extras,
                      const std::vector<Item>& items, const std::vector<int>& diskOf, int diskCount,
                      const std::string& work, std::string* error)
{
    std::string files = (fs::path(work) / "files").string();
    std::string result = (fs::path(work) / "result").string();
    int ok = WriteDisks(options, extras, items, diskOf, diskCount, files, error);
    if (ok && options.images != nullptr) {
        std::error_code ec;
        fs::create_directory(result, ec);
        if (ec) *error = result + ": " + ec.message();
        ok = !ec && WriteImages(options, extras, items, diskOf, diskCount, files, result, error);
    } else if (ok && options.cdrom) {
        ok = WriteCdImage(files, result, error);
    } else if (ok) {
        std::error_code ec;
        fs::rename(files, result, ec);
        if (ec) *error = result + ": " + ec.message();
        ok = !ec;
    }
    if (ok && !options.cdrom) ok = WriteOutputMarker(result, error);
    ok = ok && ReplaceOutput(options.outKind, result, options.outPath, error);
    RemoveTree(work);
    return ok;
}

// A fresh work directory beside OUTDIR, for the output under construction
// and the probe of a floppy format.  1, or 0 with *error.
int MakeWorkDir(const std::string& outPath, std::string* work, std::string* error)
{
    std::error_code ec;
    std::string parent = fs::path(outPath).parent_path().string();
    fs::create_directories(parent, ec);
    if (ec) {
        *error = parent + ": " + ec.message();
        return 0;
    }
    // Another run beside this one may take the same name first.
    for (int tries = 0; tries < 100; ++tries) {
        *work = UnusedNameBeside(outPath, "tmp");
        if (fs::create_directory(*work, ec)) return 1;
        if (ec) break;
    }
    *error = *work + ": " + (ec ? ec.message() : std::string("taken by another run"));
    return 0;
}

// Every file that this run reads: the manifest, the installer's files and
// the manifest's files.  None may lie in OUTDIR, which goes when the new
// output takes its place.  1, or 0 with *error.
int InputsOutsideOutput(const Options& options, const std::vector<Extra>& extras, const Manifest& manifest,
                        const std::string& base, std::string* error)
{
    std::vector<std::pair<std::string, std::string>> inputs;  // path, what it is
    inputs.push_back({options.manifestPath, "the manifest"});
    for (const Extra& x : extras) {
        inputs.push_back({x.path, x.where.compare(0, 2, "--") == 0 ? "the file of " + x.where : "line " + x.where});
    }
    for (const ManifestFile& f : manifest.files) {
        inputs.push_back({Resolve(base, f.source), "line " + std::to_string(f.line)});
    }
    for (const auto& input : inputs) {
        std::error_code ec;
        fs::path path = fs::weakly_canonical(fs::absolute(input.first), ec);
        if (!ec && PathWithin(path.string(), options.outPath)) {
            *error = options.outDir + ": " + (options.cdrom ? "is " : "holds ") + input.first + " (" + input.second +
                     "), which this run reads: give another output";
            return 0;
        }
    }
    return 1;
}

// The summary line, and with disks the bytes each one uses.
void PrintSummary(const Options& options, const std::vector<Extra>& extras, const std::vector<Item>& items,
                  const std::vector<int>& diskOf, int diskCount)
{
    const DiskGeometry& disk = options.disk;
    uint64_t expanded = 0;
    std::vector<uint64_t> used(size_t(diskCount), 0);
    for (const Extra& x : extras) used[0] += DiskBytes(disk, x.bytes.size());
    for (size_t i = 0; i < items.size(); ++i) {
        expanded += items[i].expandedBytes;
        used[size_t(diskOf[i])] += options.onedir ? items[i].stored.size()
                                                  : DiskBytes(disk, items[i].stored.size());
    }
    printf("mkdist: %s: %zu files, %llu bytes expanded", options.outDir.c_str(), items.size(),
           static_cast<unsigned long long>(expanded));
    if (options.cdrom) {
        printf(", one CD-ROM image\n");
    } else if (options.onedir) {
        printf(", one directory\n");
    } else {
        printf(", %d %s of %llu bytes\n", diskCount, options.images ? "disk images" : "disks",
               static_cast<unsigned long long>(disk.capacity));
        if (options.images) {
            printf("  format %s: %llu-byte clusters, %u root entries for files\n", options.images->name,
                   static_cast<unsigned long long>(disk.cluster), disk.rootEntries);
        }
        for (int d = 0; d < diskCount; ++d) {
            printf("  disk%d: %llu bytes used\n", d + 1, static_cast<unsigned long long>(used[size_t(d)]));
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    int status = ParseArguments(argc, argv, &options);
    if (status >= 0) return status;

    std::vector<uint8_t> text;
    std::string error;
    if (!MayReplaceOutput(options.outKind, options.outPath, &error)) {
        fprintf(stderr, "mkdist: %s: %s\n", options.outDir.c_str(), error.c_str());
        return 1;
    }
    if (!ReadWholeFile(options.manifestPath, &text, &error)) {
        fprintf(stderr, "mkdist: %s: %s\n", options.manifestPath.c_str(), error.c_str());
        return 1;
    }
    Manifest manifest;
    Problems problems;
    ParseManifest(std::string(text.begin(), text.end()), &manifest, &problems);
    if (problems.empty() && manifest.files.empty()) problems.push_back({0, "no \"file\" lines"});
    std::string base = fs::path(options.manifestPath).parent_path().string();
    if (base.empty()) base = ".";

    std::vector<Extra> extras;
    ReadInstallerFiles(options, manifest, base, &extras, &problems);
    if (!InputsOutsideOutput(options, extras, manifest, base, &error)) {
        fprintf(stderr, "mkdist: %s\n", error.c_str());
        return 1;
    }
    std::vector<Item> items;
    PrepareItems(manifest, base, &items, &problems);
    extras.push_back({"setup.inf", "", "", MakeCatalogue(&items, &problems)});
    std::string work;
    if (!MakeWorkDir(options.outPath, &work, &error) ||
        (options.images != nullptr &&
         !ProbeFloppyFormat(*options.images, (fs::path(work) / "probe.img").string(), &options.disk, &error))) {
        fprintf(stderr, "mkdist: %s\n", error.c_str());
        RemoveTree(work);
        return 1;
    }
    std::vector<int> diskOf;
    int diskCount = PlaceOnDisks(options, items, extras, &diskOf, &problems);
    if (!problems.empty()) {
        ReportProblems(options.manifestPath, problems);
        RemoveTree(work);
        return 1;
    }

    if (!WriteDistribution(options, extras, items, diskOf, diskCount, work, &error)) {
        fprintf(stderr, "mkdist: %s\n", error.c_str());
        return 1;
    }
    PrintSummary(options, extras, items, diskOf, diskCount);
    return 0;
}
