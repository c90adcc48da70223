#include "platform/testing/TempRoot.h"

#include "platform/basic/App.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace tv::testing {

TempRoot::TempRoot()
{
    oldProgram_ = vb::AppPaths::ProgramFolder();
    oldInstall_ = vb::AppPaths::InstallFolder();
    oldConfig_ = vb::AppPaths::ConfigFolder();
    oldCache_ = vb::AppPaths::CacheFolder();
    std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    root_ = pattern;
    vb::AppPaths::UseRoot(root_);
    for (const auto& p : {ProgramFolder(), InstallFolder(), ConfigFolder()})
        std::filesystem::create_directories(p);
}

TempRoot::~TempRoot()
{
    vb::AppPaths::SetProgramFolder(oldProgram_);
    vb::AppPaths::SetInstallFolder(oldInstall_);
    vb::AppPaths::SetConfigFolder(oldConfig_);
    vb::AppPaths::SetCacheFolder(oldCache_);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

} // namespace tv::testing
