// Hostile rich text: the reader never fails, and what it reads survives our
// writer unchanged, under the default font's name or any other the box may
// have (the input's first line, as a font family may hold any characters);
// its plain text is there to take.

#include "platform/controls/Rtf.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const controls::RtfDocument doc = controls::ReadRtf(input);
    if (!(controls::ReadRtf(controls::WriteRtf(doc)) == doc))
        std::abort();
    const std::string_view font = input.substr(0, std::min<std::size_t>(input.find('\n'), 40));
    if (!(controls::ReadRtf(controls::WriteRtf(doc, font)) == doc))
        std::abort();
    doc.PlainText();
    return 0;
}
