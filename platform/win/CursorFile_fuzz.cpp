// Feeds arbitrary bytes to the cursor parsers every way they are called:
// as a cursor file (.cur or .ani), as a cursor or icon image resource, and
// as a cursor or icon group directory.

#include "platform/win/CursorFile.h"
#include "platform/win/CursorService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const riff::Bytes bytes(data, size);
    win::CursorFile file;
    if (win::ReadCursorFile(bytes, file) && file.First().image.isNull())
        __builtin_trap();
    win::ReadCursorResource(bytes, false, file);
    win::ReadCursorResource(bytes, true, file);
    win::LookupIconIdFromDirectory(bytes, false);
    win::LookupIconIdFromDirectory(bytes, true);
    return 0;
}
