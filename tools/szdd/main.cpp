// szdd: compresses and expands files in the SZDD format.
//
//   szdd compress [-r] IN OUT   -r keeps the last character of IN's name in
//                               the header, as COMPRESS -r does
//   szdd expand IN OUT
//   szdd --help                 prints this usage on standard output
//
// Exit status 0 on success, 1 on a bad file, 2 on a usage error (the usage
// goes to standard error).  OUT is written under a temporary name and
// renamed, so a failure leaves no OUT.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "tools/common/fileio.h"
#include "tools/szdd/szdd.h"

namespace {

// The usage on standard output when asked for (status 0), else on standard
// error (status 2).
int Usage(bool asked)
{
    fprintf(asked ? stdout : stderr,
            "usage: szdd compress [-r] IN OUT\n"
            "       szdd expand IN OUT\n"
            "       szdd --help\n");
    return asked ? 0 : 2;
}

int Fail(const std::string& file, const std::string& cause)
{
    fprintf(stderr, "szdd: %s: %s\n", file.c_str(), cause.c_str());
    return 1;
}

uint8_t LastNameChar(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? 0 : uint8_t(name.back());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage(false);
    std::string command = argv[1];
    if (command == "--help") return Usage(argc == 2);
    bool keepName = false;
    int at = 2;
    if (command == "compress" && at < argc && strcmp(argv[at], "-r") == 0) {
        keepName = true;
        ++at;
    }
    if (argc - at != 2 || (command != "compress" && command != "expand")) return Usage(false);
    std::string in = argv[at], out = argv[at + 1];

    std::vector<uint8_t> data, result;
    std::string error;
    if (!ReadWholeFile(in, &data, &error)) return Fail(in, error);
    if (command == "compress") {
        int r = SzddCompress(data.data(), data.size(), keepName ? LastNameChar(in) : 0, &result);
        if (r != kSzddOk) return Fail(in, SzddResultText(r));
    } else {
        int r = SzddExpand(data.data(), data.size(), &result);
        if (r != kSzddOk) {
            std::string cause = SzddResultText(r);
            SzddHeader header;
            if (r == kSzddTruncated && SzddReadHeader(data.data(), data.size(), &header) == kSzddOk) {
                cause += " (" + std::to_string(result.size()) + " of " +
                         std::to_string(header.expandedBytes) + " bytes decoded)";
            }
            return Fail(in, cause);
        }
    }
    if (!WriteFileAtomic(out, result.data(), result.size(), &error)) return Fail(out, error);
    return 0;
}
