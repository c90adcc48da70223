// Feeds arbitrary bytes to the packed media buffer reader and unpacks what
// it accepts, as a download handler would.

#include "buttonlib/media/CPackedBuffer.h"
#include "buttonlib/media/Compression.h"

#include <climits>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    CPackedBuffer pb;
    if (!pb.Attach(data, int(size)))
        return 0;
    std::vector<BYTE> out;
    media::UncompressExact(pb.GetData(), pb.GetPackedSize(), pb.GetUnpackedSize(), out);
    return 0;
}
