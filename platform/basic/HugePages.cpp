#include "platform/basic/HugePages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace vb {

namespace {

constexpr std::uintptr_t kHuge = kHugePageSlack;

} // namespace

void PreferHugePages(void* data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
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

void PrepareToFill(void* data, std::size_t size, std::size_t capacity)
{
    if (size < kHuge || capacity < size)
        return;
    PreferHugePages(data, capacity);
#ifdef MADV_POPULATE_WRITE
    const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(data) + size;
    // Advice only, as above; contents already there stay as they are.
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
}

} // namespace vb
