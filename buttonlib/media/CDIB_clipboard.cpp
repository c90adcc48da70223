// The picture on the clipboard, as a packed DIB (CF_DIB).

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/DibBlock.h"
#include "platform/win/Clipboard.h"

#include <cstring>

BOOL CDIB::CopyToClipboard()
{
    if (!m_pInfo || GetWidth() <= 0 || GetHeight() <= 0)
        return FALSE;
    // The whole table goes with the pixels, whatever became of the palette.
    const std::size_t headBytes = sizeof(BITMAPINFOHEADER) + MaskBytes() + 4 * std::size_t(GetColorCount());
    GlobalBlockOwner block(GlobalAlloc(GHND, headBytes + m_dwImageSize));
    if (!block.get())
        return FALSE;
    {
        GlobalLockScope lock(block.get());
        std::memcpy(lock.get(), m_pInfo, headBytes);
        std::memcpy(lock.get() + headBytes, m_pBits, m_dwImageSize);
    }
    if (!win::OpenClipboard(nullptr))
        return FALSE;
    BOOL ok = FALSE;
    if (win::EmptyClipboard() && win::SetClipboardData(win::CF_DIB, block.get())) {
        block.release();
        ok = TRUE;
    }
    win::CloseClipboard();
    return ok;
}

BOOL CDIB::PasteFromClipboard()
{
    HGLOBAL h = win::GetClipboardData(win::CF_DIB);
    if (!h)
        return FALSE;
    DibBlock block(h);
    if (!block.Whole() || block.Header()->biCompression != BI_RGB)
        return FALSE;
    CreateFromHeader(block.Header()->biWidth, block.Header()->biHeight, block.Info(), RGB(255, 255, 255));
    SetBits(block.Pixels(), 1);
    return TRUE;
}
