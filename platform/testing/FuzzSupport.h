#pragma once
// What the fuzz targets that write files share.

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

} // namespace tv::fuzzing
