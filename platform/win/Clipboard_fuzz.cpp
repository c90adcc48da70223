// Feeds arbitrary bytes to the clipboard both ways: as what other programs
// offer (a BMP file, or an image of any other type) read as CF_DIB, and as a
// packed DIB handed to the clipboard.

#include "platform/win/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdint>
#include <cstring>

namespace {

QGuiApplication* app()
{
    static int argc = 1;
    static char name[] = "fuzz_Clipboard";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return instance;
}

void offer(const char* type, const QByteArray& bytes)
{
    auto* mime = new QMimeData;
    mime->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(mime);
    if (!win::OpenClipboard(nullptr))
        __builtin_trap();
    win::GetClipboardData(win::CF_DIB);
    win::CloseClipboard();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    app();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    offer("image/bmp", bytes);
    offer("image/x-other", bytes);

    HGLOBAL block = GlobalAlloc(GHND, size);
    if (block && size)
        std::memcpy(GlobalLock(block), data, size);
    if (block && size)
        GlobalUnlock(block);
    if (!win::OpenClipboard(nullptr))
        __builtin_trap();
    if (!win::SetClipboardData(win::CF_DIB, block))
        GlobalFree(block);
    win::CloseClipboard();
    return 0;
}
