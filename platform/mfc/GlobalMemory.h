#pragma once
// Movable global memory blocks as the library passes them around (blob
// properties, packed bitmaps, the clipboard). A handle names a block; Lock
// gives its address. Every block is zeroed, whatever the flags say, because
// several callers read fields they never wrote. Requests above a ceiling fail
// as a shortage of memory would.

#include "platform/mfc/WinTypes.h"

struct GlobalBlock;
using HGLOBAL = GlobalBlock*;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_DDESHARE = 0x2000;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// The largest block handed out.
inline constexpr SIZE_T kMaxGlobalBlock = SIZE_T(1) << 30;

// NULL when the size is above the ceiling or memory is short.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The block's address, or NULL for a handle that is not a live block.
void* GlobalLock(HGLOBAL h);
// TRUE while the block is still locked after this call.
BOOL GlobalUnlock(HGLOBAL h);
SIZE_T GlobalSize(HGLOBAL h);
// Resizes keeping the contents (new bytes zeroed); the handle stays the same.
// NULL on failure, the block unchanged.
HGLOBAL GlobalReAlloc(HGLOBAL h, SIZE_T bytes, UINT flags);
// NULL on success; the handle itself when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL h);

// Number of live blocks (tests check that nothing leaks).
SIZE_T GlobalBlockCount();

// Keeps a block locked for a scope; get() is NULL when the handle is not a
// live block.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL h) : h_(h), p_(static_cast<BYTE*>(GlobalLock(h))) {}
    ~GlobalLockScope()
    {
        if (p_)
            GlobalUnlock(h_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    BYTE* get() const { return p_; }

private:
    HGLOBAL h_;
    BYTE* p_;
};

// Frees a block at the end of a scope unless it was released to a new owner.
class GlobalBlockOwner {
public:
    explicit GlobalBlockOwner(HGLOBAL h = nullptr) : h_(h) {}
    ~GlobalBlockOwner()
    {
        if (h_)
            GlobalFree(h_);
    }
    GlobalBlockOwner(const GlobalBlockOwner&) = delete;
    GlobalBlockOwner& operator=(const GlobalBlockOwner&) = delete;
    HGLOBAL get() const { return h_; }
    HGLOBAL release()
    {
        HGLOBAL h = h_;
        h_ = nullptr;
        return h;
    }

private:
    HGLOBAL h_;
};
