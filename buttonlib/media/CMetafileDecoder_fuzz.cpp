// Feeds arbitrary bytes to the metafile decoder every way it is reached: as
// a file named as an enhanced or a Windows metafile through the any-image
// decoder (how the picture's file loader reads one), as a file or memory
// given to the decoder itself (memory has no name, so it is a Windows
// metafile), and as a source of its own, at every depth a caller may ask
// for (0, the loaders' own, and 8 and 32; any other is refused). The first
// byte is the mode: bits 0-2 the way in, the next the depth, then the kind
// of bitmap (rows in one block, or in a DIB section). Bitmaps refuse
// pictures above 256 KiB, other requests for memory are capped, and a
// header that asks for a larger canvas is made to ask for one within
// bounds, so that every picture is still played.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CMetafileDecoder.h"
#include "buttonlib/media/CodecFuzzSupport.h"

#include "platform/testing/FuzzAllocationCap.h"
#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text needs the font database.
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::StartGuiApplication(argc, argv);
    return 0;
}

namespace {

constexpr std::size_t kCapBytes = std::size_t(1) << 20;

class NamedSource : public CImageSource {
public:
    NamedSource(const char* name, const BYTE* data, int size) { Open(name, data, size); }
};

enum class Way { AnyEmf, AnyWmf, FileEmf, FileWmf, Memory, SourceEmf, SourceWmf, AnyInside };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1u << 20))
        return 0;
    const unsigned mode = data[0];
    std::vector<BYTE> bytes(data + 1, data + size);
    codec::fuzzing::BoundMetafileCanvas(bytes);
    const BYTE* picture = bytes.empty() ? data + 1 : bytes.data();
    const int n = int(bytes.size());

    static const int kDepths[] = {0, 8, 32, 1, 4, 24};
    const Way way = Way(mode % 8);
    const int bpp = kDepths[(mode / 8) % 6];
    const tv::fuzzing::AllocationCap cap(kCapBytes);
    std::unique_ptr<CGlobalDIB> bitmap;
    if ((mode / 48) % 2)
        bitmap = std::make_unique<codec::fuzzing::SmallBitmap>();
    else
        bitmap = std::make_unique<codec::fuzzing::SmallSectionBitmap>();

    const char* name = way == Way::AnyEmf || way == Way::FileEmf   ? "fuzz.EMF"
                       : way == Way::AnyWmf || way == Way::FileWmf ? "fuzz.wmf"
                       : way == Way::AnyInside                      ? "fuzz.picture.emf.old"
                                                                   : nullptr;
    const bool viaFile = way == Way::AnyEmf || way == Way::AnyWmf || way == Way::FileEmf || way == Way::FileWmf ||
                         way == Way::AnyInside;
    const std::string path = viaFile ? (tv::fuzzing::TempFolder() / name).string() : std::string();
    if (viaFile) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(picture), std::streamsize(n));
        if (!out)
            std::abort();
    }
    bool decoded = true;
    try {
        static CAnyImageDecoder any;
        static CMetafileDecoder decoder;
        switch (way) {
        case Way::AnyEmf:
        case Way::AnyWmf:
        case Way::AnyInside: any.MakeBmpFromFile(path.c_str(), bitmap.get(), bpp); break;
        case Way::FileEmf:
        case Way::FileWmf: decoder.MakeBmpFromFile(path.c_str(), bitmap.get(), bpp); break;
        case Way::Memory: decoder.MakeBmpFromMemory(picture, n, bitmap.get(), bpp); break;
        case Way::SourceEmf:
        case Way::SourceWmf: {
            NamedSource source(way == Way::SourceEmf ? "memory.emf" : "memory", picture, n);
            decoder.MakeBmp(&source, bitmap.get(), bpp);
            break;
        }
        }
    } catch (const CTextException&) {
        decoded = false;
    }
    if (viaFile)
        std::remove(path.c_str());
    // A picture is 8 bits with the metafile's palette, else 32; only 0 and
    // those two depths may be asked for.
    const int got = bitmap->GetBitsPerPixel();
    if (decoded && ((got != 8 && got != 32) || (bpp != 0 && bpp != got)))
        std::abort();
    return 0;
}
