#pragma once
// A packed DIB in a global block, locked for a scope and checked before
// anything behind its header is touched: a 40-byte header that DibCheckHeader
// accepts, a compression that fits the depth, and the table and rows inside
// the block. Shared by the DIB functions.

#include "buttonlib/media/DibUtil.h"

class DibBlock {
public:
    explicit DibBlock(HGLOBAL h);
    ~DibBlock();
    DibBlock(const DibBlock&) = delete;
    DibBlock& operator=(const DibBlock&) = delete;

    // The header, table and rows are all there.
    bool Whole() const { return whole_; }
    BITMAPINFOHEADER* Header() const { return reinterpret_cast<BITMAPINFOHEADER*>(base_); }
    BITMAPINFO* Info() const { return reinterpret_cast<BITMAPINFO*>(base_); }
    BYTE* Pixels() const { return base_ + sizeof(BITMAPINFOHEADER) + tableBytes_; }
    DWORD ColorCount() const { return colors_; }
    DWORD TableBytes() const { return tableBytes_; }
    // The bytes of the rows (biSizeImage for run-length data).
    DWORD ImageBytes() const { return imageBytes_; }

private:
    HGLOBAL h_;
    BYTE* base_ = nullptr;
    bool whole_ = false;
    DWORD colors_ = 0;
    DWORD tableBytes_ = 0;
    DWORD imageBytes_ = 0;
};
