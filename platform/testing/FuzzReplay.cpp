// The replay program of one fuzz target, built with the project's own
// compiler, flags and sanitizers and run by CTest: it feeds the target, one
// after another in one process as libFuzzer does, every file its seeds list
// names and every file of its regression folders, each in a block of its
// own exact size. An input that crashes, aborts or trips a sanitizer ends
// the program with that failure; so does a seeds line that names no file,
// since a seed renamed away would otherwise stop being replayed unnoticed.
//
//   replay_Foo --seeds Foo_fuzz.seeds [--inputs Foo_fuzz.regressions]...
//
// A seeds list holds one file glob a line, relative to its own folder; "#"
// starts a comment; a line "\xNN glob" puts the byte NN in front of each
// file (as tools/fuzz.sh reads it). A regression folder that does not exist
// holds no inputs yet.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <glob.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Optional, as for libFuzzer.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

// The sanitizers' settings, as in the test executables.
extern "C" {
const char* __asan_default_options()
{
    return "detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0";
}
const char* __lsan_default_options()
{
    return "suppressions=" TV_SOURCE_DIR "/tools/lsan.supp";
}
const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
}

namespace {

namespace fs = std::filesystem;

struct Input {
    std::string name;
    std::optional<std::uint8_t> prefix;
};

// Where the program reports: the C library's stderr stream as it was at the
// start, which a target may point elsewhere to keep a library quiet.
FILE* g_report = nullptr;

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(g_report ? g_report : stderr, "replay: %s\n", message.c_str());
    std::exit(2);
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The regular files a pattern names, sorted; glob(3) reads it as the shell does.
std::vector<std::string> filesMatching(const std::string& pattern)
{
    glob_t found{};
    std::vector<std::string> files;
    if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) {
            std::error_code ec;
            if (fs::is_regular_file(found.gl_pathv[i], ec))
                files.emplace_back(found.gl_pathv[i]);
        }
    }
    globfree(&found);
    return files;
}

void addSeeds(const fs::path& list, std::vector<Input>& inputs)
{
    std::ifstream in(list);
    if (!in)
        fail("cannot read the seeds list " + list.string());
    const fs::path folder = list.parent_path();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string_view pattern(line);
        pattern = trimmed(pattern.substr(0, pattern.find('#')));
        if (pattern.empty())
            continue;
        std::optional<std::uint8_t> prefix;
        if (pattern.size() > 5 && pattern.starts_with("\\x") && hexDigit(pattern[2]) >= 0 && hexDigit(pattern[3]) >= 0 &&
            pattern[4] == ' ') {
            prefix = std::uint8_t(hexDigit(pattern[2]) * 16 + hexDigit(pattern[3]));
            pattern = trimmed(pattern.substr(5));
        }
        const std::vector<std::string> files = filesMatching((folder / pattern).string());
        if (files.empty())
            fail(list.string() + ":" + std::to_string(number) + ": \"" + std::string(pattern) + "\" names no file");
        for (const std::string& file : files)
            inputs.push_back({file, prefix});
    }
}

void addFolder(const fs::path& folder, std::vector<Input>& inputs)
{
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return;
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    if (ec)
        fail("cannot list " + folder.string() + ": " + ec.message());
    std::sort(files.begin(), files.end());
    for (const std::string& file : files)
        inputs.push_back({file, std::nullopt});
}

std::vector<std::uint8_t> contents(const Input& input)
{
    std::ifstream in(input.name, std::ios::binary);
    if (!in)
        fail("cannot read " + input.name);
    std::vector<std::uint8_t> bytes;
    if (input.prefix)
        bytes.push_back(*input.prefix);
    bytes.insert(bytes.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return bytes;
}

// A temporary folder of the run's own, which the targets' files go into
// (they use the temporary folder the environment names) and which is
// removed at the end.
class RunFolder {
public:
    RunFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = (fs::path(base && *base ? base : "/tmp") / "tallyvane-replay-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            fail(std::string("cannot make a temporary folder: ") + std::strerror(errno));
        path_ = pattern;
        setenv("TMPDIR", path_.c_str(), 1);
    }
    ~RunFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

private:
    fs::path path_;
};

// The arguments live as long as the process: a target may keep them (Qt's
// application object does).
int g_argc = 0;
char** g_argv = nullptr;

} // namespace

int main(int argc, char** argv)
{
    g_report = stderr;
    std::vector<Input> inputs;
    bool haveSeeds = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 < argc && arg == "--seeds") {
            addSeeds(argv[++i], inputs);
            haveSeeds = true;
        } else if (i + 1 < argc && arg == "--inputs") {
            addFolder(argv[++i], inputs);
        } else {
            fail("usage: " + std::string(argv[0]) + " --seeds <list> [--inputs <folder>]...");
        }
    }
    if (!haveSeeds)
        fail("no seeds list given");

    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Static, so that it also goes when a failure ends the program early.
    static RunFolder folder;
    g_argc = 1;
    g_argv = argv;
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&g_argc, &g_argv);

    for (const Input& input : inputs) {
        const std::vector<std::uint8_t> bytes = contents(input);
        std::printf("Running: %s%s (%zu bytes)\n", input.prefix ? "prefixed " : "", input.name.c_str(), bytes.size());
        std::fflush(stdout);
        // A block of exactly the input's size, so that a read past its end is caught.
        const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), block.get());
        const int result = LLVMFuzzerTestOneInput(block.get(), bytes.size());
        if (result != 0 && result != -1)
            fail(input.name + ": the target returned " + std::to_string(result));
    }
    std::printf("Replayed %zu inputs.\n", inputs.size());
    return 0;
}
