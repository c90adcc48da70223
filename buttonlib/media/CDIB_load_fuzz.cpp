// Feeds arbitrary bytes to the picture's loaders through the codecs every
// way the button calls them: from memory keeping the decoded table or
// choosing one by the source depth (downloads), and from a file as media
// paths and the editor's picker load them (a .png file choosing its table,
// a .jpg file keeping the decoded one; the codecs go by the bytes, not by
// the name). The input's last byte picks the file's loader and stays part
// of the picture, so that any picture is a seed as it is. A picture that
// loads has a depth the loader gives and goes to a device bitmap and back;
// one that does not leaves the picture held before as it was. Memory
// requests are capped, so that a few bytes declaring millions of pixels
// fail as a shortage of memory would.

#include "buttonlib/media/CDIB.h"

#include "platform/testing/FuzzAllocationCap.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr std::size_t kCapBytes = std::size_t(1) << 20;

void roundTrip(const CDIB& dib)
{
    if (!dib.IsValid())
        return;
    int bits = 0;
    HBITMAP hbm = dib.CreateBitmap(&bits);
    // A picture may be too large for a device bitmap of the screen's kind.
    if (!hbm) {
        if (bits != 0)
            std::abort();
        return;
    }
    CDIB back;
    try {
        back.Create(hbm, nullptr);
    } catch (const CMemoryException&) {
    }
    DeleteObject(hbm);
}

enum class Loader { Image, Raw };

// Loads into a picture that already holds one: a failed load must keep it.
void load(Loader loader, const char* path, const std::uint8_t* data, std::size_t size)
{
    CDIB dib;
    dib.CreateBlank(3, 2, 24, RGB(10, 20, 30));
    const BOOL loaded = path ? (loader == Loader::Raw ? dib.LoadImageRaw(path) : dib.LoadImage(path))
                             : (loader == Loader::Raw ? dib.LoadImageRaw(data, DWORD(size))
                                                      : dib.LoadImage(data, DWORD(size)));
    if (!loaded) {
        if (!dib.IsValid() || dib.GetWidth() != 3 || dib.GetHeight() != 2 || dib.GetBitCount() != 24 ||
            dib.GetPixel(2, 1) != RGB(10, 20, 30))
            std::abort();
        return;
    }
    // Raw keeps the decoded 8 bits or takes 24; the other also keeps palette
    // PNGs of 1 and 4 bits at their depth.
    const WORD depth = dib.GetBitCount();
    if (!dib.IsValid() || (depth != 8 && depth != 24 && (loader == Loader::Raw || (depth != 1 && depth != 4))))
        std::abort();
    roundTrip(dib);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const tv::fuzzing::AllocationCap cap(kCapBytes);
    load(Loader::Image, nullptr, data, size);
    load(Loader::Raw, nullptr, data, size);

    const bool raw = size && (data[size - 1] & 1);
    const std::string path = (tv::fuzzing::TempFolder() / (raw ? "picture.jpg" : "picture.png")).string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!out)
            std::abort();
    }
    load(raw ? Loader::Raw : Loader::Image, path.c_str(), nullptr, 0);
    std::remove(path.c_str());
    return 0;
}
