// Hostile rich text: the reader never fails, and what it reads survives our
// writer unchanged.

#include "platform/controls/Rtf.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const controls::RtfDocument doc = controls::ReadRtf(input);
    if (!(controls::ReadRtf(controls::WriteRtf(doc)) == doc))
        std::abort();
    return 0;
}
