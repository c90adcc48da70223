#pragma once
// Advice for large buffers: their memory in huge pages where the system
// allows it. Filling tens of megabytes of fresh memory page by page costs
// one fault per 4 KB page, which on some machines costs more than the work
// that fills it; in huge pages it is one fault per 2 MB.

#include <cstddef>

namespace vb {

// Advises the whole 2 MB pages inside [data, data + size); smaller buffers
// and systems without the advice are left as they are.
void PreferHugePages(void* data, std::size_t size);
// For a large buffer whose first size bytes of capacity are about to be
// written: PreferHugePages over the capacity, and the first size bytes'
// pages mapped at once, in one call instead of a fault each. Small pages
// left at the ends cost a fault each on first touch however they were
// mapped; a capacity of kHugePageSlack beyond size lets the end, too, sit
// in a huge page (only the start of a buffer may then stay in small ones).
constexpr std::size_t kHugePageSlack = std::size_t{2} << 20;
void PrepareToFill(void* data, std::size_t size, std::size_t capacity);

} // namespace vb
