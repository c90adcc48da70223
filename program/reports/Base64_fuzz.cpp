// Any bytes into the decoder: a clean failure or bytes that encode back to a
// text the decoder reads to the same bytes.

#include "program/reports/Base64.h"

#include "platform/basic/RuntimeError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Base64 codec;
    const Base64::Bytes in(data, data + size);
    Base64::Bytes out, again, back;
    try {
        codec.DecodeB64(in, out);
    } catch (const vb::RuntimeError&) {
        return 0;
    }
    codec.EncodeB64(out, again);
    codec.DecodeB64(again, back);
    if (back != out)
        std::abort();
    return 0;
}
