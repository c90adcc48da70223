#pragma once
// The program's allocator settings, made once at start. Reports, rowsets
// and attachments build buffers of megabytes and free them again: by
// default each comes fresh from the system and goes back when freed, so
// every use pays a page fault per 4 KB touched, which on some machines
// costs more than the work itself. Kept in the heap instead, freed memory
// serves the next buffer.

namespace vb {

void TuneMemoryForLargeBuffers();

} // namespace vb
