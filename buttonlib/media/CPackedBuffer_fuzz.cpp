// Feeds arbitrary bytes to the packed media buffer reader and treats what
// it accepts by its inner format code, as the download handlers do: a
// nested packed buffer is not unwrapped again, pictures of every picture
// code are unpacked and decoded, and any other content is unpacked. What
// unpacks packs again to a buffer that reads back the same.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CPackedBuffer.h"
#include "buttonlib/media/CodecFuzzSupport.h"
#include "buttonlib/media/Compression.h"

#include "platform/mfc/CMemFile.h"

#include <climits>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    CPackedBuffer pb;
    if (!pb.Attach(data, int(size)))
        return 0;
    const short code = pb.GetFormatCode();
    if (code == CPackedBuffer::kFormatPacked)
        return 0;
    std::vector<BYTE> out;
    if (!media::UncompressExact(pb.GetData(), pb.GetPackedSize(), pb.GetUnpackedSize(), out))
        return 0;

    if (code == CPackedBuffer::kFormatBmp || code == CPackedBuffer::kFormatImage || code == CPackedBuffer::kFormatJpg) {
        static CAnyImageDecoder decoder;
        codec::fuzzing::SmallBitmap bitmap;
        try {
            decoder.MakeBmpFromMemory(out.data(), int(out.size()), &bitmap, 0);
        } catch (const CTextException&) {
        }
    }

    CPackedBuffer again;
    if (!again.Pack(out.data(), int(out.size()), code))
        std::abort();
    CMemFile file;
    again.Write(file);
    std::vector<BYTE> written = file.Detach();
    CPackedBuffer read;
    std::vector<BYTE> back;
    if (!read.Attach(written.data(), int(written.size())) || read.GetFormatCode() != code ||
        !media::UncompressExact(read.GetData(), read.GetPackedSize(), read.GetUnpackedSize(), back) || back != out)
        std::abort();
    return 0;
}
