// Feeds arbitrary bytes to the clipboard every way the picture's paste and
// copy reach it: as what other programs offer (a BMP file, a PNG, an image
// of another type, an image object) read as CF_DIB, and as a packed DIB
// put on the emptied clipboard and read back; and asks for the other
// formats, which are refused, and with the clipboard closed, which fails.
// What is read is a packed DIB the clipboard takes again; an uncompressed
// packed DIB put on it comes back byte for byte. Qt's image readers are
// held to a small allocation, so that a few bytes declaring a large image
// are refused.

#include "platform/win/Clipboard.h"

#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"

#include <QClipboard>
#include <QImage>
#include <QImageReader>
#include <QMimeData>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::SilenceLibraryPrints();
    tv::fuzzing::StartGuiApplication(argc, argv);
    QImageReader::setAllocationLimit(4);
    return 0;
}

namespace {

constexpr UINT kOtherFormats[] = {1, 2, 17};

void check(bool ok)
{
    if (!ok)
        std::abort();
}

HGLOBAL copyOf(HGLOBAL h)
{
    const SIZE_T size = GlobalSize(h);
    HGLOBAL copy = GlobalAlloc(GHND, size);
    check(copy != nullptr);
    std::memcpy(GlobalLock(copy), GlobalLock(h), size);
    GlobalUnlock(copy);
    GlobalUnlock(h);
    return copy;
}

// What the clipboard reads as CF_DIB is a packed DIB it would take again.
void paste()
{
    check(win::OpenClipboard(nullptr));
    for (UINT format : kOtherFormats)
        check(win::GetClipboardData(format) == nullptr);
    if (HGLOBAL h = win::GetClipboardData(win::CF_DIB)) {
        HGLOBAL copy = copyOf(h);
        if (!win::SetClipboardData(win::CF_DIB, copy))
            std::abort();
    }
    check(win::CloseClipboard());
}

void offer(const char* type, const QByteArray& bytes)
{
    auto* mime = new QMimeData;
    mime->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(mime);
    paste();
}

// A packed DIB copied as the picture copies itself; what the clipboard took
// reads back as the DIB's header, table and rows.
void copy(const uint8_t* data, size_t size)
{
    HGLOBAL block = GlobalAlloc(GHND, size);
    check(block != nullptr);
    if (size)
        std::memcpy(GlobalLock(block), data, size);
    if (size)
        GlobalUnlock(block);
    for (UINT format : kOtherFormats)
        check(win::SetClipboardData(format, block) == nullptr);
    check(win::OpenClipboard(nullptr));
    check(win::EmptyClipboard());
    for (UINT format : kOtherFormats)
        check(win::SetClipboardData(format, block) == nullptr);
    const bool taken = win::SetClipboardData(win::CF_DIB, block) != nullptr;
    if (!taken)
        GlobalFree(block);
    check(win::CloseClipboard());
    if (!taken)
        return;

    check(win::GetClipboardData(win::CF_DIB) == nullptr);
    check(win::OpenClipboard(nullptr));
    HGLOBAL back = win::GetClipboardData(win::CF_DIB);
    check(back != nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.biCompression == BI_RGB) {
        const SIZE_T n = GlobalSize(back);
        check(n <= size && std::memcmp(GlobalLock(back), data, n) == 0);
        GlobalUnlock(back);
    }
    check(win::CloseClipboard());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    offer("image/bmp", bytes);
    offer("image/png", bytes);
    offer("image/x-other", bytes);
    {
        auto* mime = new QMimeData;
        mime->setImageData(QImage::fromData(bytes));
        QGuiApplication::clipboard()->setMimeData(mime);
        paste();
    }
    copy(data, size);
    return 0;
}
