// Registry text read as a class id: a text either is refused or stands for
// a GUID whose own text reads back to the same GUID, equal to the input but
// for the case of its letters.

#include "platform/com/Guid.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <strings.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto guid = com::ParseGuid(text);
    if (!guid)
        return 0;
    const std::string written = com::GuidText(*guid);
    const auto again = com::ParseGuid(written);
    if (!again || *again != *guid || written.size() != text.size() ||
        strncasecmp(written.data(), text.data(), text.size()) != 0)
        std::abort();
    return 0;
}
