#include "platform/video/VideoFile.h"

#include "platform/video/AviService.h"

#include <cstring>
#include <mutex>
#include <strings.h>

namespace video {

namespace {

struct Hooks {
    std::mutex lock;
    std::string hidden;
    bool libraryHidden = false;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

// The one module the service has; its handle only needs to be unique.
int g_module = 0;

struct Entry {
    const char* name;
    FARPROC proc;
};

template <class F>
FARPROC proc(F f)
{
    return reinterpret_cast<FARPROC>(f);
}

const Entry kEntries[] = {
    {"AVIFileInit", proc(&AviFileInit)},
    {"AVIFileOpen", proc(&AviFileOpen)},
    {"AVIFileExit", proc(&AviFileExit)},
    {"AVIFileInfo", proc(&AviFileInfo)},
    {"AVIFileRelease", proc(&AviFileRelease)},
    {"AVIFileGetStream", proc(&AviFileGetStream)},
    {"AVIStreamInfo", proc(&AviStreamInfo)},
    {"AVIStreamRelease", proc(&AviStreamRelease)},
    {"AVIStreamGetFrameClose", proc(&AviStreamGetFrameClose)},
    {"AVIStreamGetFrame", proc(&AviStreamGetFrame)},
    {"AVIStreamGetFrameOpen", proc(&AviStreamGetFrameOpen)},
    {"AVIStreamReadFormat", proc(&AviStreamReadFormat)},
};

} // namespace

HMODULE LoadLibrary(const char* name)
{
    std::lock_guard guard(hooks().lock);
    if (!name || hooks().libraryHidden || ::strcasecmp(name, "AVIFIL32.DLL") != 0)
        return nullptr;
    return &g_module;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (module != &g_module || !name)
        return nullptr;
    std::lock_guard guard(hooks().lock);
    if (hooks().hidden == name)
        return nullptr;
    for (const Entry& e : kEntries)
        if (std::strcmp(e.name, name) == 0)
            return e.proc;
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    return module == &g_module ? TRUE : FALSE;
}

namespace testing {

void HideEntryPoint(const std::string& name)
{
    std::lock_guard guard(hooks().lock);
    hooks().hidden = name;
}

void HideLibrary(bool hidden)
{
    std::lock_guard guard(hooks().lock);
    hooks().libraryHidden = hidden;
}

} // namespace testing

} // namespace video
