#pragma once
// A temporary folder holding the program, install, configuration and cache folders
// for the life of the object; the previous folders come back afterwards.

#include <filesystem>

namespace tv::testing {

class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::filesystem::path& Path() const { return root_; }
    std::filesystem::path ProgramFolder() const { return root_ / "program"; }
    std::filesystem::path InstallFolder() const { return root_ / "install"; }
    std::filesystem::path ConfigFolder() const { return root_ / "config"; }
    std::filesystem::path CacheFolder() const { return root_ / "cache"; }

private:
    std::filesystem::path root_;
    std::filesystem::path oldProgram_, oldInstall_, oldConfig_, oldCache_;
};

} // namespace tv::testing
