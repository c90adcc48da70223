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

} // namespace vb
