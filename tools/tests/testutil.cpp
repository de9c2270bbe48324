#include "tools/tests/testutil.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

uint64_t Step(uint64_t* s)
{
    uint64_t z = (*s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::string Slurp(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

}  // namespace

std::string ScratchDir()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    fs::path dir = fs::path(TOOLS_TEST_TMP) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path)
{
    return fs::exists(path);
}

std::vector<std::string> ListDir(const std::string& path)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(path, ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

RunResult RunTool(const std::string& program, const std::vector<std::string>& args)
{
    std::string exe = program.find('/') == std::string::npos ? std::string(TOOLS_BIN_DIR) + "/" + program
                                                             : program;
    std::string base = fs::path(TOOLS_TEST_TMP).string();
    fs::create_directories(base);
    // ctest runs the tests of this program in parallel processes.
    static int counter = 0;
    std::string stem = base + "/run-" + std::to_string(long(getpid())) + "-" + std::to_string(counter++);
    std::string outPath = stem + ".out";
    std::string errPath = stem + ".err";
    std::string cmd = Quote(exe);
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote(outPath) + " 2>" + Quote(errPath);
    int raw = system(cmd.c_str());
    RunResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(outPath);
    r.err = Slurp(errPath);
    remove(outPath.c_str());
    remove(errPath.c_str());
    return r;
}

bool HaveProgram(const std::string& name)
{
    std::string cmd = "command -v " + Quote(name) + " >/dev/null 2>&1";
    return system(cmd.c_str()) == 0;
}

Bytes RandomBytes(size_t n, uint64_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(Step(&seed));
    return b;
}

Bytes TextBytes(size_t n, uint64_t seed)
{
    static const char* const words[] = {"the ", "frame ", "text ", "of ", "page ", "Tovarin ",
                                        "and ", "print ", "column ", "style\r\n", "a ", "layout. "};
    Bytes b;
    while (b.size() < n) {
        const char* w = words[Step(&seed) % 12];
        b.insert(b.end(), w, w + strlen(w));
    }
    b.resize(n);
    return b;
}

Bytes MixedBytes(size_t n, uint64_t seed)
{
    Bytes b;
    while (b.size() < n) {
        size_t len = 1 + Step(&seed) % 700;
        switch (Step(&seed) % 5) {
        case 0: b.insert(b.end(), len, uint8_t(Step(&seed))); break;
        case 1: { Bytes t = TextBytes(len, Step(&seed)); b.insert(b.end(), t.begin(), t.end()); break; }
        case 2: { Bytes t = RandomBytes(len, Step(&seed)); b.insert(b.end(), t.begin(), t.end()); break; }
        case 3:
            // A repeat from up to 5000 bytes back: beyond the ring at times.
            if (!b.empty()) {
                size_t back = 1 + Step(&seed) % std::min<size_t>(b.size(), 5000);
                size_t from = b.size() - back;
                for (size_t k = 0; k < len; ++k) b.push_back(b[from + k]);
            }
            break;
        default: b.insert(b.end(), len, ' '); break;
        }
    }
    b.resize(n);
    return b;
}
