// Feeds arbitrary bytes to format detection and the any-image decoder the
// way every caller may: the input's last byte chooses the requested depth
// (0, 1, 4, 8, 24 or 32) and the source (memory, or a file whose name is
// plain or ends in .wmf or .emf, which the decoder goes by). The last byte
// stays part of the picture, so that any file is a seed as it is.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CodecFuzzSupport.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// One file per process and name, in the temporary folder.
std::string tempFile(const char* suffix)
{
    return (std::filesystem::temp_directory_path() /
            ("tallyvane-anyimage-" + std::to_string(::getpid()) + suffix)).string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    CAnyImageDecoder::GetFileFormat(data, int(size), int(size));

    static const int kDepths[] = {0, 1, 4, 8, 24, 32};
    static const char* const kNames[] = {nullptr, ".picture", ".picture.wmf", ".picture.EMF"};
    const unsigned selector = size ? data[size - 1] : 0;
    const int bpp = kDepths[selector % 6];
    const char* suffix = kNames[(selector / 6) % 4];

    static CAnyImageDecoder decoder;
    codec::fuzzing::SmallBitmap bitmap;
    const std::string path = suffix ? tempFile(suffix) : std::string();
    if (suffix) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!out)
            std::abort();
    }
    bool decoded = true;
    try {
        if (suffix)
            decoder.MakeBmpFromFile(path.c_str(), &bitmap, bpp);
        else
            decoder.MakeBmpFromMemory(data, int(size), &bitmap, bpp);
    } catch (const CTextException&) {
        decoded = false;
    }
    if (suffix)
        std::filesystem::remove(path);
    if (!decoded)
        return 0;
    // What decodes has the depth asked for, or the decoder's own choice.
    const int got = bitmap.GetBitsPerPixel();
    if ((got != 8 && got != 32) || (bpp == 32 && got != 32) || (bpp != 0 && bpp != 8 && bpp != 32))
        std::abort();
    return 0;
}
