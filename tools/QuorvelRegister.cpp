// quorvel-register [-u] <library>
// Registers the component library's classes into the user's registry store
// (its DllRegisterServer), or with -u removes them (DllUnregisterServer).
// Prints the result code; exits 0 only when it is S_OK.

#include "platform/com/Loader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

int main(int argc, char** argv)
{
    bool unregister = false;
    const char* library = nullptr;
    int paths = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0 || std::strcmp(argv[i], "/u") == 0) {
            unregister = true;
        } else {
            library = argv[i];
            ++paths;
        }
    }
    if (paths != 1) {
        std::fprintf(stderr, "usage: quorvel-register [-u] <library>\n");
        return 2;
    }
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(library, ec);
    const HRESULT hr = unregister ? com::UnregisterServer(path) : com::RegisterServer(path);
    std::printf("%s %s: 0x%08X\n", unregister ? "DllUnregisterServer" : "DllRegisterServer", path.c_str(),
                unsigned(hr));
    return hr == S_OK ? 0 : 1;
}
