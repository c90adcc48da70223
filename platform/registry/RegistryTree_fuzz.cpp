// Any bytes as a registry file: no crash, and what parses writes back to
// the same contents.
#include "platform/registry/RegistryTree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = winreg::detail::Tree::Parse(text);
    if (parsed.tree) {
        const std::string written = parsed.tree->Serialize();
        auto again = winreg::detail::Tree::Parse(written);
        if (!again.tree || !(*again.tree == *parsed.tree) || again.tree->Serialize() != written)
            std::abort();
    }
    return 0;
}
