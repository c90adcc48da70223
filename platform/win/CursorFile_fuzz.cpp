// Feeds arbitrary bytes to the cursor parsers every way they are called:
// as a cursor file (.cur or .ani) read directly, from memory and from a
// file by the cursor service, as a cursor or icon image resource, as a
// cursor or icon group directory, and as one directory entry of a frame.
// A cursor the service makes is copied, turned into the cursor the window
// shows and destroyed as the button does, and no handle is left behind.
// Qt's image readers (the PNG images of cursors) are held to a small
// allocation and their warnings kept out of the log.

#include "platform/win/CursorFile.h"
#include "platform/win/CursorService.h"

#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"

#include <QImageReader>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The cursor a window shows is made of a pixmap.
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::SilenceLibraryPrints();
    tv::fuzzing::StartGuiApplication(argc, argv);
    QImageReader::setAllocationLimit(4);
    return 0;
}

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// A handle the service made, used as the button uses it and destroyed.
void use(win::HCURSOR cursor)
{
    if (!cursor)
        return;
    const auto file = win::CursorFileFromHandle(cursor);
    check(file && !file->frames.empty() && !file->steps.empty() && !file->First().image.isNull());
    for (std::uint32_t step : file->steps)
        check(step < file->frames.size());
    const win::HCURSOR copy = win::CopyCursor(cursor);
    check(copy != nullptr && win::CursorFromHandle(copy).has_value());
    check(win::DestroyCursor(cursor) && win::DestroyCursor(copy) && !win::DestroyCursor(cursor));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::size_t handles = win::CursorHandleCount();
    const riff::Bytes bytes(data, size);
    win::CursorFile file;
    if (win::ReadCursorFile(bytes, file) && file.First().image.isNull())
        std::abort();
    win::ReadCursorResource(bytes, false, file);
    win::ReadCursorResource(bytes, true, file);
    win::CursorFrame frame;
    win::ReadIconDirectory(bytes, false, frame);
    win::ReadIconDirectory(bytes, true, frame);
    win::LookupIconIdFromDirectory(bytes, false);
    win::LookupIconIdFromDirectory(bytes, true);

    use(win::LoadCursorFromBytes(bytes));
    const std::string path = (tv::fuzzing::TempFolder() / "cursor.cur").string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    use(win::LoadCursorFromFile(path.c_str()));
    std::remove(path.c_str());
    for (bool icon : {false, true})
        use(win::CreateIconFromResource(data, std::uint32_t(size), icon, 0x30000));
    check(win::CursorHandleCount() == handles);
    return 0;
}
