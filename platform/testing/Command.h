#pragma once
// Runs the reference tools the tests compare against (ImageMagick, ffmpeg)
// through the shell.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tv::testing {

// A path quoted for the shell.
inline std::string Quote(const std::filesystem::path& p)
{
    std::string out = "'";
    for (char c : p.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The standard output of a command; empty on failure. Its errors are dropped.
inline std::string Capture(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return out;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    if (::pclose(pipe) != 0)
        out.clear();
    return out;
}

// True when the command succeeds; its output is dropped.
inline bool Run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace tv::testing
