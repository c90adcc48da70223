// Feeds arbitrary bytes to format detection and the any-image decoder the
// way every caller may: the input's last byte chooses the requested depth
// (0, 1, 4, 8, 24 or 32), the source (a file named by what its bytes are,
// memory, or a file whose name is plain or ends in .wmf or .emf, which the
// decoder goes by) and the kind of bitmap (rows in one block, or in a DIB
// section as the picture's loaders use). The last byte stays part of the
// picture, so that any file is a seed as it is; 0 decodes it the way the
// picture's file loader does. Bitmaps refuse pictures above 256 KiB, other
// requests for memory are capped, and a metafile asks for a canvas of a
// bounded size.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CodecFuzzSupport.h"

#include "platform/testing/FuzzAllocationCap.h"
#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Metafiles draw text, which needs the font database.
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::StartGuiApplication(argc, argv);
    return 0;
}

namespace {

constexpr std::size_t kCapBytes = std::size_t(1) << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    std::vector<BYTE> bytes(data, data + size);
    codec::fuzzing::BoundMetafileCanvas(bytes);
    const tv::fuzzing::AllocationCap cap(kCapBytes);
    CAnyImageDecoder::GetFileFormat(bytes.data(), int(size), int(size));
    CAnyImageDecoder::GetFileFormat(bytes.data(), int(std::min<size_t>(size, 16)), int(size));

    static const int kDepths[] = {0, 1, 4, 8, 24, 32};
    const unsigned selector = size ? data[size - 1] : 0;
    const int bpp = kDepths[selector % 6];
    const unsigned source = (selector / 6) % 5;
    static const char* const kNames[] = {nullptr, nullptr, "picture", "picture.wmf", "picture.EMF"};
    const char* name = source == 0 ? codec::fuzzing::NaturalFileName(bytes) : kNames[source];

    static CAnyImageDecoder decoder;
    std::unique_ptr<CGlobalDIB> bitmap;
    if ((selector / 30) % 2)
        bitmap = std::make_unique<codec::fuzzing::SmallBitmap>();
    else
        bitmap = std::make_unique<codec::fuzzing::SmallSectionBitmap>();
    const std::string path = name ? (tv::fuzzing::TempFolder() / name).string() : std::string();
    if (name) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(size));
        if (!out)
            std::abort();
    }
    bool decoded = true;
    try {
        if (name)
            decoder.MakeBmpFromFile(path.c_str(), bitmap.get(), bpp);
        else
            decoder.MakeBmpFromMemory(size ? bytes.data() : data, int(size), bitmap.get(), bpp);
    } catch (const CTextException&) {
        decoded = false;
    }
    if (name)
        std::remove(path.c_str());
    if (!decoded)
        return 0;
    // What decodes has the depth asked for, or the decoder's own choice.
    const int got = bitmap->GetBitsPerPixel();
    if ((got != 8 && got != 32) || (bpp == 32 && got != 32) || (bpp != 0 && bpp != 8 && bpp != 32))
        std::abort();
    return 0;
}
