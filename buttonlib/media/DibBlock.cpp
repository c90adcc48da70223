#include "buttonlib/media/DibBlock.h"

DibBlock::DibBlock(HGLOBAL h)
    : h_(h)
{
    base_ = static_cast<BYTE*>(GlobalLock(h));
    if (!base_)
        return;
    const SIZE_T size = GlobalSize(h);
    if (size < sizeof(BITMAPINFOHEADER))
        return;
    const BITMAPINFOHEADER& hdr = *Header();
    DWORD rows = 0;
    if (hdr.biSize != sizeof(BITMAPINFOHEADER) || !DibCheckHeader(hdr, &colors_, &rows))
        return;
    switch (hdr.biCompression) {
    case BI_RGB: imageBytes_ = rows; break;
    case BI_BITFIELDS:
        if (hdr.biBitCount != 16 && hdr.biBitCount != 32)
            return;
        imageBytes_ = rows;
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (hdr.biBitCount != (hdr.biCompression == BI_RLE8 ? 8 : 4) || hdr.biSizeImage == 0)
            return;
        imageBytes_ = hdr.biSizeImage;
        break;
    default: return;
    }
    tableBytes_ = DibTableBytes(&hdr);
    whole_ = static_cast<unsigned long long>(sizeof(BITMAPINFOHEADER)) + tableBytes_ + imageBytes_ <= size;
}

DibBlock::~DibBlock()
{
    if (base_)
        GlobalUnlock(h_);
}
