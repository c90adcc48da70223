// The mail sender's attachment path as a program of its own: reads the file
// named on the command line in blocks, as the sender does, encodes it to
// base64 in lines of 76 characters as the sender does and writes the lines
// to standard output.
// bench_Base64 runs it beside coreutils' base64 on the same file.

#include "platform/basic/HugePages.h"
#include "platform/basic/MemoryTuning.h"
#include "program/reports/Base64.h"

#include <cstdio>
#include <fstream>
#include <vector>

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary | std::ios::ate);
    if (!file) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const auto size = static_cast<size_t>(file.tellg());
    file.seekg(0);
    Base64::Bytes data;
    data.reserve(size);
    vb::PreferHugePages(data.data(), data.capacity());
    std::vector<char> block(32768);
    while (file) {
        file.read(block.data(), static_cast<std::streamsize>(block.size()));
        data.insert(data.end(), block.begin(), block.begin() + file.gcount());
    }
    const Base64 codec;
    Base64::Bytes lines;
    codec.EncodeB64Lines(76, data, lines);
    if (std::fwrite(lines.data(), 1, lines.size(), stdout) != lines.size())
        return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}
