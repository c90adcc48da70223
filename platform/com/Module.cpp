#include "platform/com/Module.h"

#include <dlfcn.h>

namespace com {

ModuleCounts& Module()
{
    static ModuleCounts counts;
    return counts;
}

std::filesystem::path ThisModulePath()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ThisModulePath), &info) || !info.dli_fname)
        return {};
    std::error_code ec;
    std::filesystem::path path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::filesystem::path(info.dli_fname) : path;
}

} // namespace com
