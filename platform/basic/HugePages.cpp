#include "platform/basic/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace vb {

void PreferHugePages(void* data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t end = begin + size;
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    if (end < first || end - first < kHuge)
        return;
    // Advice only: a refusal changes nothing.
    ::madvise(reinterpret_cast<void*>(first), (end - first) & ~(kHuge - 1), MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace vb
