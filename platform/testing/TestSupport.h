#pragma once
// Small helpers the tests of every folder share.

#include "platform/basic/RuntimeError.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tv::testing {

// The runtime error number a statement raises; 0 when it raises none.
template <class F>
int ErrorOf(F&& statement)
{
    try {
        std::forward<F>(statement)();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

inline void WriteRaw(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

inline std::string ReadRaw(const std::filesystem::path& p)
{
    // In blocks: a character at a time costs seconds on large files in the
    // sanitized build.
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    if (in)
        out << in.rdbuf();
    return std::move(out).str();
}

// Lines as a file written by the program holds them: each ends with CR LF.
inline std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string s;
    for (const auto& l : lines)
        s += l + "\r\n";
    return s;
}

} // namespace tv::testing
