#include "platform/basic/MemoryTuning.h"

#include <malloc.h>

namespace vb {

void TuneMemoryForLargeBuffers()
{
    // Blocks up to 64 MB from the heap, and up to 128 MB of freed heap kept.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
}

} // namespace vb
