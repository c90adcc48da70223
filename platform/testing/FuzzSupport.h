#pragma once
// What the fuzz targets that write files, or that reach libraries which
// print, share.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tv::fuzzing {

// A folder of this process's own in the temporary folder, made on first use
// and kept for the process's life.
inline const std::filesystem::path& TempFolder()
{
    static const std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return path;
}

// Removes the files of folder whose names start with name but are not name
// itself: what a reader keeps aside of a damaged file would otherwise pile
// up over a run, and each new one costs a look at all before it.
inline void RemoveKeptCopies(const std::filesystem::path& folder, const std::string& name)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string file = entry.path().filename().string();
        if (file != name && file.starts_with(name))
            std::filesystem::remove(entry.path(), ec);
    }
}

// What libraries print on the C library's stderr stream about damaged
// input (libpng's default error printer, which Qt's PNG reader leaves in
// place, writes a line for each broken image) goes nowhere from now on.
// File descriptor 2 itself, where libFuzzer, the sanitizers and the replay
// program report, stays as it is.
inline void SilenceLibraryPrints()
{
    static FILE* const sink = std::fopen("/dev/null", "w");
    if (sink)
        stderr = sink;
}

} // namespace tv::fuzzing
