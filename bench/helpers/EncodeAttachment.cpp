// The mail sender's attachment path as a program of its own: encodes the file
// named on the command line while reading it, as the sender does, into one
// message text of base64 lines of 76 characters (the sender composes the
// whole message before it connects), and writes that to standard output.
// bench_Base64 runs it beside coreutils' base64 on the same file.

#include "platform/basic/MemoryTuning.h"
#include "platform/basic/RuntimeError.h"
#include "program/reports/Base64.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(argv[1], ec);
    std::string message;
    try {
        Base64().AppendMimeLines(file, ec ? 0 : static_cast<size_t>(size), message);
    } catch (const vb::RuntimeError& e) {
        std::fprintf(stderr, "cannot read %s: %s\n", argv[1], e.what());
        return 1;
    }
    if (std::fwrite(message.data(), 1, message.size(), stdout) != message.size())
        return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}
